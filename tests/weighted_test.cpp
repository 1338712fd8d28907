// Tests of the weighted pick: every entry of every list is picked by exactly
// the draws of its interval of the cumulative weights, the lowest and the
// highest of them included, and by none beside them.
#include "../names/name_table.h"
#include "../names/weighted.h"

#include <gtest/gtest.h>

namespace {

#ifdef __SIZEOF_INT128__
using wide = unsigned __int128;

// The pick of state s is entry i exactly when C(i-1) * 2^51 < (s + 1) * W
// <= C(i) * 2^51: the lowest such s is floor(C(i-1) * 2^51 / W) and the
// highest floor(C(i) * 2^51 / W) - 1.
uint64_t first_state_past(uint64_t cumulative, uint64_t total) {
    return static_cast<uint64_t>((wide(cumulative) << 51) / total);
}

// total: the list's total weight as onymix(3) gives it.
void expect_exact_intervals(section s, int (*offset)(uint64_t), uint64_t total, const char *list) {
    ASSERT_EQ(total_weight(s), total) << list;
    uint64_t low = 0;
    for (int place = 0; place <= s.span; place++) {
        uint64_t next = first_state_past(cumulative_weight(s, place), total);
        ASSERT_LT(low, next) << list << " entry " << place << " has no draw";
        ASSERT_EQ(offset(low), place) << list << " entry " << place << ", lowest draw " << low;
        ASSERT_EQ(offset(next - 1), place) << list << " entry " << place << ", highest draw";
        low = next;
    }
    EXPECT_EQ(low, state_modulus) << list << ": the intervals cover every state";
}

TEST(WeightedPick, EveryEntryIsPickedByExactlyItsInterval) {
    // James 3.318 of the male list's 90.052; the surnames scaled by the
    // 55,342 unlisted ones, which share 56.616 of 100 evenly.
    expect_exact_intervals(male_section, weighted_male_offset, 90052, "male");
    expect_exact_intervals(female_section, weighted_female_offset, 89940, "female");
    expect_exact_intervals(surname_section, weighted_surname_offset, uint64_t(100000) * 55342,
                           "surname");
    EXPECT_EQ(cumulative_weight(male_section, 0), 3318u);
    EXPECT_EQ(cumulative_weight(surname_section, 999), uint64_t(43384) * 55342);
    EXPECT_EQ(cumulative_weight(surname_section, 1000) - cumulative_weight(surname_section, 999),
              56616u);
}
#endif

} // namespace
