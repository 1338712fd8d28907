// weighted.h: the weighted pick, which draws a name as often as the census
// found it rather than evenly from its list.
//
// Each list carries weights in whole numbers. A first name weighs its
// census percent in thousandths (James 3,318 of the male list's 90,052). The
// census gives the first 1,000 surnames their percents and no more, so the
// other surnames share evenly what those leave of 100 percent; to keep that
// share whole, every surname weight is scaled by the number of them sharing
// it: a listed surname weighs its thousandths times 55,342, and each of the
// 55,342 others 100,000 - 43,384 = 56,616, which totals 100,000 * 55,342.
//
// A pick takes the same two draws as an even one, so a weighted sequence
// seeks as an even one does. With s the state after the second draw and W
// the list's total weight, the draw (s + 1) / 2^51 times W falls in the
// interval (C(i-1), C(i)] of exactly one entry i, C(i) being the weights of
// entries 0 to i together: that entry is the pick. In integers, q =
// floor((s * W + W - 1) / 2^51) and the pick is the first entry whose C(i)
// exceeds q.
#pragma once

#include "generator.h"

#include <cstdint>

// The largest total weight of a list (the surnames'), below 2^33: the
// products formed in weighted_target stay within 64 bits for any total up
// to 2^33.
const uint64_t surname_total_weight = uint64_t(100000) * 55342;

// q = floor((s * W + W - 1) / 2^51) for a state s below 2^51 and a total W
// below 2^33, in 64 bits: s * W needs up to 84, so s is split at bit 26 and
// the high part's quotient is carried apart, as offset_of does.
inline uint64_t weighted_target(uint64_t state, uint64_t total) {
    uint64_t high = (state >> 26) * total; // below 2^58
    uint64_t low = (state & ((uint64_t(1) << 26) - 1)) * total;
    uint64_t rest = ((high & ((uint64_t(1) << 25) - 1)) << 26) + low + (total - 1);
    return (high >> 25) + (rest >> 51);
}

// The place in the male, the female or the surname list that the state
// after a pick's second draw selects.
int weighted_male_offset(uint64_t state);
int weighted_female_offset(uint64_t state);
int weighted_surname_offset(uint64_t state);

// The total weight of a section's list and the weights of its entries up to
// and with the one at place, which the tests hold the picks to.
uint64_t total_weight(section s);
uint64_t cumulative_weight(section s, int place);

// One weighted pick: two draws, and the entry of the section the second
// selects.
inline int pick_weighted_entry(uint64_t &state, section s) {
    state = advanced_state(advanced_state(state));
    if (s.first == surname_first)
        return s.first + weighted_surname_offset(state);
    return s.first +
           (s.first == female_first ? weighted_female_offset(state) : weighted_male_offset(state));
}

// The weighted first name of the Any modes: the first draw chooses the list
// as the even pick's does, half the time each; the second picks from it by
// its weights.
inline int pick_weighted_any_first_name(uint64_t &state) {
    state = advanced_state(state);
    bool female = state < state_modulus / 2;
    state = advanced_state(state);
    return female ? female_first + weighted_female_offset(state)
                  : male_first + weighted_male_offset(state);
}
