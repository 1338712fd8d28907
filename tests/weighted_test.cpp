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

void expect_exact_intervals(section s, int (*offset)(uint64_t), const char *list) {
    uint64_t total = total_weight(s);
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
    expect_exact_intervals(male_section, weighted_male_offset, "male");
    expect_exact_intervals(female_section, weighted_female_offset, "female");
    expect_exact_intervals(surname_section, weighted_surname_offset, "surname");
}
#endif

TEST(WeightedPick, WeightsAreTheCensusPercents) {
    // James 3.318 of the male list's 90.052; Mary 2.629 of 89.940; Smith
    // 1.006 of the first 1,000 surnames' 43.384, each of the 55,342 others
    // sharing 56.616 evenly, all scaled by 55,342.
    EXPECT_EQ(total_weight(male_section), 90052u);
    EXPECT_EQ(cumulative_weight(male_section, 0), 3318u);
    EXPECT_EQ(total_weight(female_section), 89940u);
    EXPECT_EQ(cumulative_weight(female_section, 0), 2629u);
    EXPECT_EQ(total_weight(surname_section), uint64_t(100000) * 55342);
    EXPECT_EQ(cumulative_weight(surname_section, 0), uint64_t(1006) * 55342);
    EXPECT_EQ(cumulative_weight(surname_section, 999), uint64_t(43384) * 55342);
    EXPECT_EQ(cumulative_weight(surname_section, 1000) - cumulative_weight(surname_section, 999),
              56616u);
    EXPECT_EQ(cumulative_weight(surname_section, surname_span), total_weight(surname_section));
}

TEST(WeightedPick, TargetIsExactAtTheEndsOfTheRange) {
    // q = floor((s * W + W - 1) / 2^51): 0 for the lowest state of a
    // weight-1 list, W - 1 for the highest state of the largest list.
    EXPECT_EQ(weighted_target(0, 1), 0u);
    EXPECT_EQ(weighted_target(state_modulus - 1, 1), 0u);
    EXPECT_EQ(weighted_target(state_modulus - 1, surname_total_weight), surname_total_weight - 1);
    EXPECT_EQ(weighted_target(0, surname_total_weight), 0u);
    // The largest q whose product crosses the split at bit 26.
    uint64_t s = (uint64_t(1) << 26) - 1;
    EXPECT_EQ(weighted_target(s, surname_total_weight),
              (s * surname_total_weight + surname_total_weight - 1) >> 51);
}

} // namespace
