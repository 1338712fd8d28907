// random.h: the program's own random number generator.
//
// A multiplicative congruential generator modulo 2^51 with multiplier
// 627327780969661, seeded from the second of system uptime. Its results are
// part of the program's behaviour (the same second gives the same name), so
// it is used instead of the runtime library's.
#pragma once

#include <cstdint>

// The generator state, an integer in [0, 2^51). Starts at 314159; seeding
// replaces it before the first draw.
extern int64_t random_state;

// The system tick count in seconds: milliseconds since start read as a
// signed 32-bit number, divided by 1000, rounded to single precision.
// Negative after 2^31 ms (about 24.9 days) of uptime.
float timer();

// The state that seeding with n gives. A second of the day (0 to 86399) maps
// straight to a state spread evenly over the range; anything else seeds from
// the value and the timer, waiting while the timer reads a whole second.
// Touches no global state, so any thread may call it.
int64_t seeded_state(int32_t n);

// Seeds the generator: random_state becomes seeded_state(n).
void randomize(int32_t n);

// One draw from state: the state after it, in [0, 2^51). The draw itself is
// (that state + 1) / 2^51.
inline uint64_t advanced_state(uint64_t state) {
    // The state is below 2^51, so the product modulo 2^64 has the right low
    // 51 bits.
    return (state * 627327780969661u) & ((uint64_t(1) << 51) - 1);
}

// Advances the state once and returns a draw in (0, 1].
double rnd();
