// name_set.h: the names a unique generator has already made: one bit per
// name text its mode can make, numbered by name_key.
#pragma once

#include "modes.h"
#include "name_table.h"

#include <cstdint>

// The bit of a name in its mode's set: different names of a mode have
// different keys, from 0 to distinct_names(mode) - 1. The Any modes number
// their first names by text, as the same text may be in both lists.
inline uint64_t name_key(int mode, drawn_name name) {
    uint64_t key = 0;
    if (name.first_name >= 0)
        key = is_any(mode)
                  ? first_name_key(name.first_name)
                  : name.first_name - (name.first_name < female_first ? male_first : female_first);
    if (name.surname >= 0)
        key = key * (surname_span + 1) + (name.surname - surname_first);
    return key;
}

// Open with name_set_open; the bits are zero-filled on demand by the system,
// so only the part that is used costs memory.
struct name_set {
    uint64_t *bits;
};

// False when there is not enough memory.
bool name_set_open(name_set &set, int mode);
void name_set_close(name_set &set);

inline bool name_set_has(const name_set &set, uint64_t key) {
    return (set.bits[key / 64] >> (key % 64)) & 1;
}
inline void name_set_add(name_set &set, uint64_t key) {
    set.bits[key / 64] |= uint64_t(1) << (key % 64);
}
