// Tests of what names by id stand on: SipHash-2-4 against its published
// vectors, the numbering of a mode's names, and the generator's jumps.
#include "../names/by_id.h"
#include "../names/generator.h"
#include "../names/name_table.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace {

TEST(SipHash, ThePublishedVectors) {
    // Key 00 01 .. 0f, messages 00 01 .. (n - 1).
    unsigned char key[16], message[64];
    for (int i = 0; i < 16; i++)
        key[i] = static_cast<unsigned char>(i);
    for (int i = 0; i < 64; i++)
        message[i] = static_cast<unsigned char>(i);
    EXPECT_EQ(siphash(key, message, 0), 0x726fdb47dd0e0e31u);
    EXPECT_EQ(siphash(key, message, 15), 0xa129ca6149be45e5u);
    // A byte in front is the same message made longer, across every length
    // of the last word.
    for (size_t length = 0; length < 40; length++)
        EXPECT_EQ(siphash_after_byte(key, message[0], message + 1, length),
                  siphash(key, message, length + 1))
            << length;
    EXPECT_EQ(siphash(nullptr, message, 9),
              siphash(std::vector<unsigned char>(16).data(), message, 9));
}

TEST(NameNumbers, EachNameOfAModeHasOneNumber) {
    for (int mode = 0; mode < all_mode_count; mode++) {
        long long count = distinct_names(mode);
        std::set<std::string> names;
        // Full-name modes: every first name with the surnames at both ends.
        for (long long n = 0; n < count;
             n += has_first_name(mode) && has_surname(mode) ? 56341 : 1) {
            drawn_name name = name_of_number(mode, static_cast<uint64_t>(n));
            std::string text = name.first_name >= 0 ? name_at(name.first_name) : "";
            text += name.surname >= 0 ? std::string("/") + name_at(name.surname) : "";
            ASSERT_TRUE(names.insert(text).second) << mode_labels[mode] << ": " << text << " twice";
            ASSERT_EQ(name.first_name >= 0, has_first_name(mode));
            ASSERT_EQ(name.surname >= 0, has_surname(mode));
        }
    }
    EXPECT_STREQ(name_at(name_of_number(mode_any, 1219).first_name), "Linda")
        << "after the male names come the female names that are no male names (Mary and Patricia "
           "are)";
}

TEST(Generator, AJumpIsThatManyDrawsWhateverItsSize) {
    uint64_t state = state_of_seed(4711), walked = state;
    for (uint64_t draws = 0; draws < 200; draws++) {
        ASSERT_EQ(jumped_state(state, 1, draws), walked) << draws;
        walked = advanced_state(walked);
    }
    const uint64_t big = uint64_t(1) << 62;
    EXPECT_EQ(jumped_state(jumped_state(state, 1, big), 1, big), jumped_state(state, 2, big))
        << "2^63 draws, as two names' draws per name";
    EXPECT_EQ(jumped_state(state, 4, 3), jumped_state(state, 1, 12));
    EXPECT_EQ(state_of_seed(86399), static_cast<uint64_t>(seeded_state(86399)));
    for (uint64_t seed : {uint64_t(86400), uint64_t(1) << 32, ~uint64_t(0)})
        EXPECT_EQ(state_of_seed(seed) % 2, 1u) << seed;
}

} // namespace
