// generator.cpp: the timer and the seeding of the generator, in 64-bit
// integers. Every value formed is an integer below 2^53, so this gives
// exactly what the same arithmetic gives in double precision.
#include "generator.h"

#include "siphash.h"

#include "../platform/system.h"

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
    const int64_t modulus = static_cast<int64_t>(state_modulus);
    s %= modulus;
    if (s < 0)
        s += modulus;
    return s;
}

int64_t state_from_uptime() {
    return seeded_state(static_cast<int32_t>(timer()));
}

uint64_t state_of_seed(uint64_t seed) {
    if (seed < static_cast<uint64_t>(seconds_per_day))
        return static_cast<uint64_t>(seeded_state(static_cast<int32_t>(seed)));
    unsigned char bytes[8];
    for (int i = 0; i < 8; i++)
        bytes[i] = static_cast<unsigned char>(seed >> (8 * i));
    return siphash(nullptr, bytes, 8) >> 13 | 1;
}

namespace {

// The multiplier to the power draws, modulo 2^64 (of which the low 51 bits
// are the power modulo 2^51), by squaring.
uint64_t multiplier_power(uint64_t base, uint64_t exponent) {
    uint64_t power = 1;
    for (; exponent > 0; exponent >>= 1, base *= base)
        if (exponent & 1)
            power *= base;
    return power;
}

} // namespace

uint64_t jumped_state(uint64_t state, uint64_t draws_per_name, uint64_t names) {
    uint64_t per_name = multiplier_power(multiplier, draws_per_name);
    return (state * multiplier_power(per_name, names)) & (state_modulus - 1);
}
