// random.cpp: the generator, in 64-bit integers. Every value it forms is an
// integer below 2^53, so this gives exactly the results of the same
// arithmetic in double precision, on every platform and floating-point unit.
#include "random.h"

#include "../runtime/platform.h"

int64_t random_state = 314159;

namespace {
const int64_t modulus = int64_t(1) << 51;
const int64_t multiplier_high = 9347912; // multiplier = high * 2^26 + low
const int64_t multiplier_low = 25877693;
const int64_t two_26 = int64_t(1) << 26;
const int64_t two_25 = int64_t(1) << 25;
const int32_t seconds_per_day = 86400;
} // namespace

float timer() {
    int32_t ticks = static_cast<int32_t>(platform_tick_count());
    return static_cast<float>(ticks / 1000.0);
}

int64_t seeded_state(int32_t n) {
    if (n >= 0 && n < seconds_per_day)
        return int64_t(n) * 26062497844 + 13031230749;
    int64_t m = n;
    if (m > 0)
        m -= seconds_per_day;
    int64_t x = ((int64_t(1) << 31) + m) % 524288;
    int64_t s = x * (int64_t(1) << 32) + 1;

    int64_t t0 = static_cast<int64_t>(timer());
    int64_t count = 0;
    while (timer() == static_cast<float>(t0))
        count++;

    // 1024 * ((t0 / 256 + count * 337.5) remainder 2^22), formed exactly: the
    // remainder keeps the sign of the dividend, as C++'s % does.
    s += (4 * t0 + 345600 * count) % (int64_t(1) << 32);

    // With a negative tick count the sum can be zero or negative, and such a
    // state would draw outside (0, 1] and index outside a name section. Bring
    // it into [0, 2^51); the state is odd and stays odd, and the draws are
    // the same as from the unreduced state wherever that one was valid.
    s %= modulus;
    if (s < 0)
        s += modulus;
    return s;
}

void randomize(int32_t n) {
    random_state = seeded_state(n);
}

double rnd() {
    int64_t lo = random_state % two_26;
    int64_t hi = (random_state - lo) / two_26;
    int64_t t = multiplier_low * lo;
    int64_t x = multiplier_low * hi + multiplier_high * lo;
    int64_t new_lo = t % two_26;
    x += (t - new_lo) / two_26;
    random_state = (x % two_25) * two_26 + new_lo;
    return static_cast<double>(random_state + 1) / static_cast<double>(modulus);
}
