// name_set.cpp: the sets of unique output.
#include "name_set.h"

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
