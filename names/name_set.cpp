// name_set.cpp: the keys of names and the sets of unique output.
#include "name_set.h"

#include "name_table.h"

#include <cstdlib>

bool name_set_open(name_set &set, int mode) {
    size_t words = static_cast<size_t>((distinct_names(mode) + 63) / 64);
    set.bits = static_cast<uint64_t *>(std::calloc(words ? words : 1, sizeof(uint64_t)));
    return set.bits != nullptr;
}

void name_set_close(name_set &set) {
    std::free(set.bits);
    set.bits = nullptr;
}

uint64_t name_key(int mode, drawn_name name) {
    uint64_t key = 0;
    if (name.first_name >= 0)
        key = is_any(mode)
                  ? first_name_key(name.first_name)
                  : name.first_name - (name.first_name < female_first ? male_first : female_first);
    if (name.surname >= 0)
        key = key * (surname_span + 1) + (name.surname - surname_first);
    return key;
}
