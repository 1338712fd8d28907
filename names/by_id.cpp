// by_id.cpp: the numbering of a mode's names, the keyed permutation of names
// by id, and the hash of pseudonyms.
#include "by_id.h"

#include "name_table.h"

namespace {

// The smallest whole number whose square is at least n.
constexpr uint64_t side_of(uint64_t n) {
    uint64_t side = 0;
    while (side * side < n)
        side++;
    return side;
}

const uint64_t female_count = female_span + 1, male_count = male_span + 1;
const uint64_t surname_count = surname_span + 1, any_count = first_name_key_count;

// One pass of the permutation of [0, a) x [0, b): eight rounds, the even
// ones adding to u a hash of v, the odd ones to v a hash of u, each hash
// SipHash-2-4 of le64(block) u8(mode) u8(round) le64(v or u), 18 bytes.
// after_block is the key's state with the block's word compressed, which
// every round shares. The divisors are constants of each mode, so that the
// exact reductions compile to multiplications.
template <uint64_t a, uint64_t b>
inline void permute(const sip_state &after_block, unsigned mode, uint64_t &u, uint64_t &v) {
    for (unsigned round = 0; round < 8; round++) {
        uint64_t x = round % 2 == 0 ? v : u;
        sip_state state = after_block;
        sip_compress(state, mode | round << 8 | (x & 0xFFFFFFFFFFFFu) << 16);
        uint64_t f = sip_finish(state, x >> 48, 18);
        if (round % 2 == 0) {
            u += f % a;
            u -= u >= a ? a : 0;
        } else {
            v += f % b;
            v -= v >= b ? b : 0;
        }
    }
}

// The number of id's name among the n names of a mode whose pairs are
// [0, a) x [0, b): passes repeat until the pair is a number below n (a
// full-name mode's pairs all are), which brings every place of the block
// to a number of its own.
template <uint64_t a, uint64_t b, uint64_t n>
inline uint64_t permuted(uint64_t id, unsigned mode, const sip_state &key) {
    uint64_t place = id % n;
    uint64_t u = place / b, v = place % b;
    sip_state after_block = key;
    sip_compress(after_block, id / n);
    do
        permute<a, b>(after_block, mode, u, v);
    while (u * b + v >= n);
    return u * b + v;
}

// First name u of a mode's list.
int first_name_of(int mode, uint64_t u) {
    if (is_any(mode))
        return first_name_of_key(static_cast<int>(u));
    return first_name_section(mode).first + static_cast<int>(u);
}

// The high 64 bits of the 96-bit product of x and n (n below 2^32).
uint64_t high_product(uint64_t x, uint64_t n) {
    uint64_t high = (x >> 32) * n, low = (x & 0xFFFFFFFFu) * n;
    return (high + (low >> 32)) >> 32;
}

} // namespace

drawn_name name_of_number(int mode, uint64_t number) {
    if (mode == mode_surname)
        return drawn_name{-1, surname_first + static_cast<int>(number)};
    if (!has_surname(mode))
        return drawn_name{first_name_of(mode, number), -1};
    return drawn_name{first_name_of(mode, number / surname_count),
                      surname_first + static_cast<int>(number % surname_count)};
}

uint64_t number_for_id(int mode, uint64_t id, const sip_state &key) {
    const unsigned m = static_cast<unsigned>(mode);
    switch (mode) {
    case mode_female:
        return permuted<side_of(female_count), side_of(female_count), female_count>(id, m, key);
    case mode_female_surname:
        return permuted<female_count, surname_count, female_count * surname_count>(id, m, key);
    case mode_male:
        return permuted<side_of(male_count), side_of(male_count), male_count>(id, m, key);
    case mode_male_surname:
        return permuted<male_count, surname_count, male_count * surname_count>(id, m, key);
    case mode_surname:
        return permuted<side_of(surname_count), side_of(surname_count), surname_count>(id, m, key);
    case mode_any:
        return permuted<side_of(any_count), side_of(any_count), any_count>(id, m, key);
    default:
        return permuted<any_count, surname_count, any_count * surname_count>(id, m, key);
    }
}

uint64_t number_for_value(int mode, const void *value, size_t length, const unsigned char *key) {
    return number_for_hash(
        mode, siphash_after_byte(key, static_cast<unsigned char>(mode), value, length));
}

uint64_t number_for_hash(int mode, uint64_t hash) {
    return high_product(hash, static_cast<uint64_t>(distinct_names(mode)));
}
