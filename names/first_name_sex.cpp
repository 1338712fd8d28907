// first_name_sex.cpp: a first name looked up by halving in the index of the
// distinct first names in text order, within the stretch of its first three
// letters (a few names), over the small table of the letters after its
// first two, which the build generates from the census lists
// (cmake/embed_first_names.cmake), so that nothing is built at run time.
#include "first_name_sex.h"

#include "modes.h"
#include "name_table.h"

#include <cstddef>

#include "first_name_index.inc"

static_assert(FIRST_NAME_INDEX_COUNT == first_name_key_count, "every first name once");

namespace {

// Compares the length bytes of a folded name after its first two with a
// row's tail, as strcmp does.
int compare(const unsigned char *folded, size_t length, const char *tail) {
    for (size_t i = 0; i < length; i++) {
        unsigned char c = static_cast<unsigned char>(tail[i]);
        if (c == '\0')
            return 1;
        if (folded[i] != c)
            return folded[i] < c ? -1 : 1;
    }
    return tail[length] == '\0' ? 0 : -1;
}

} // namespace

int first_name_mode(const unsigned char *folded, size_t length) {
    // A listed name has 2 to 11 letters, so a tail of at most 9.
    if (length < 2 || length > 11 || folded[0] < 'a' || folded[0] > 'z' || folded[1] < 'a' ||
        folded[1] > 'z')
        return mode_any;
    int third = 0;
    if (length > 2) {
        if (folded[2] < 'a' || folded[2] > 'z')
            return mode_any;
        third = folded[2] - 'a' + 1;
    }
    int stretch = ((folded[0] - 'a') * 26 + (folded[1] - 'a')) * 27 + third;
    int low = first_name_stretches[stretch], high = first_name_stretches[stretch + 1];
    while (low < high) {
        int middle = low + (high - low) / 2;
        int order = compare(folded + 2, length - 2, first_name_tails[middle]);
        if (order == 0) {
            unsigned male = first_names_by_text[middle][0], female = first_names_by_text[middle][1];
            if (male == female)
                return mode_any;
            return male < female ? mode_male : mode_female;
        }
        if (order < 0)
            high = middle;
        else
            low = middle + 1;
    }
    return mode_any;
}
