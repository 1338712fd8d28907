// by_id.h: names by id and pseudonyms, which need no sequence and no memory.
//
// The N names of a mode (distinct_names) are numbered by pairs (u, v) in
// [0, a) x [0, b): in a full-name mode u is the first name (of a list of a
// names) and v the surname (b = 56,342), the number u * b + v; in a mode of
// one list a = b = the smallest whole number whose square is at least N,
// and the pair is the number u * b + v when that is below N. An id's block
// is id / N and its place id % N; a keyed permutation of the pairs, eight
// rounds of SipHash-2-4 that change u and v in turn, takes the place to the
// number of its name, so that within a block different ids get different
// names. A pseudonym is the number a keyed hash of the value falls on.
// Both are fixed for ever: the same mode, id or value and key give the
// same name in every version (man/onymix.3 writes them down).
#pragma once

#include "modes.h"
#include "siphash.h"

#include <cstddef>
#include <cstdint>

// The name of number (0 to distinct_names(mode) - 1) of a mode.
drawn_name name_of_number(int mode, uint64_t number);

// The number of the name of id in a mode under a key (sip_start of its 16
// bytes).
uint64_t number_for_id(int mode, uint64_t id, const sip_state &key);

// The number of the pseudonym of length bytes of value in a mode under a key.
uint64_t number_for_value(int mode, const void *value, size_t length, const unsigned char *key);

// The same from the value's hash, SipHash-2-4 under the key of the mode's
// byte followed by the value, for a caller that hashes a value as it makes
// it.
uint64_t number_for_hash(int mode, uint64_t hash);

// The table entry of the pseudonym, in a mode of one list (a first name's or
// the surnames'), of the value that hashes to hash.
inline int entry_for_hash(int mode, uint64_t hash) {
    drawn_name name = name_of_number(mode, number_for_hash(mode, hash));
    return mode == mode_surname ? name.surname : name.first_name;
}
