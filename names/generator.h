// generator.h: the generator every name is drawn with, and the pick of one
// entry of a section of the name table.
//
// A multiplicative congruential generator modulo 2^51 with multiplier
// 627327780969661, seeded from a second of system uptime. Its results are
// part of the product (the same seed gives the same names in every version,
// on every platform), so it is carried here rather than taken from a
// runtime library. Everything is integer arithmetic: the state is a whole
// number below 2^51 and every offset is formed exactly. A caller keeps its
// own state; nothing here is global, so any thread may draw.
#pragma once

#include "name_table.h"

#include <cstdint>

const uint64_t multiplier = 627327780969661; // 9347912 * 2^26 + 25877693
const uint64_t state_modulus = uint64_t(1) << 51;

// One draw: the state after it. The draw itself is (state + 1) / 2^51, a
// number in (0, 1].
inline uint64_t advanced_state(uint64_t state) {
    // The state is below 2^51, so the product modulo 2^64 has the right low
    // 51 bits.
    return (state * multiplier) & (state_modulus - 1);
}

// The seconds of a day: the seeds 0 to seconds_per_day - 1 are the seconds
// of the day, each with a state of its own.
const int32_t seconds_per_day = 86400;

// The system tick count in seconds: milliseconds since start read as a
// signed 32-bit number, divided by 1000, rounded to single precision.
// Negative after 2^31 ms (about 24.9 days) of uptime.
float timer();

// The state that seeding with n gives. A second of the day (0 to 86399) maps
// straight to a state spread evenly over the range; anything else seeds from
// the value and the timer, waiting while the timer reads a whole second.
int64_t seeded_state(int32_t n);

// Seeding from now: the state seeded_state gives for the timer cut to a
// whole number of seconds, as Generate re-seeds each pick.
int64_t state_from_uptime();

// The state a seed gives: for a second of the day (0 to 86399) the state
// seeded_state gives, and for any other seed s, (SipHash-2-4 under 16 zero
// bytes of le64(s)) >> 13, made odd, so that the 2^64 seeds spread over the
// states as the seconds of a day do.
uint64_t state_of_seed(uint64_t seed);

// The state after names names of draws_per_name draws each, in O(log names):
// state times the multiplier to the power draws_per_name * names, modulo
// 2^51, which may be more draws than 64 bits count.
uint64_t jumped_state(uint64_t state, uint64_t draws_per_name, uint64_t names);

// The offset into a section of span span (its size less one) that the draw
// (state + 1) / 2^51 selects: the draw times span plus one half, truncated,
// so 0 <= offset <= span. That is floor(((state + 1) * span + 2^50) / 2^51);
// the product needs up to 67 bits, so state + 1 is split at bit 26 and the
// high part's quotient carried apart.
inline int offset_of(uint64_t state, int span) {
    const uint64_t two_50 = uint64_t(1) << 50;
    uint64_t a = state + 1;
    uint64_t high = (a >> 26) * static_cast<uint64_t>(span); // below 2^42
    uint64_t low = (a & ((uint64_t(1) << 26) - 1)) * static_cast<uint64_t>(span);
    uint64_t quotient = high >> 25;
    uint64_t rest = ((high & ((uint64_t(1) << 25) - 1)) << 26) + low + two_50;
    return static_cast<int>(quotient + (rest >> 51));
}

// A section of the name table: the index of its first entry and its span.
struct section {
    int first, span;
};

const section male_section{male_first, male_span};
const section female_section{female_first, female_span};
const section surname_section{surname_first, surname_span};

// One pick: two draws, and the entry of the section that the second
// selects. The first draw only chose the direction of rounding, which for a
// draw in (0, 1] and a positive span is always upwards; it still advances
// the sequence, so it is made.
inline int pick_entry(uint64_t &state, section s) {
    state = advanced_state(advanced_state(state));
    return s.first + offset_of(state, s.span);
}

// The first-name pick of the two modes that take a first name from either
// list: the first draw chooses the female list when it is at most 0.5,
// which (state + 1) / 2^51 is exactly when state < 2^50, and the male list
// otherwise; the second draw picks from that list.
inline int pick_any_first_name(uint64_t &state) {
    state = advanced_state(state);
    bool female = state < state_modulus / 2;
    state = advanced_state(state);
    // Each branch with its own constant span, which the product is cheaper by.
    return female ? female_section.first + offset_of(state, female_section.span)
                  : male_section.first + offset_of(state, male_section.span);
}
