// modes.cpp: the labels of the generation modes, shared by the mode chooser,
// the library and the command line, and how many names each can make.
#include "modes.h"

const char *const mode_labels[all_mode_count] = {
    "Female", "Female + Surname", "Male", "Male + Surname", "Surname", "Any", "Any + Surname"};

long long distinct_names(int mode) {
    if (mode < 0 || mode >= all_mode_count)
        return 0;
    long long first_names = !has_first_name(mode) ? 1
                            : is_any(mode)        ? first_name_key_count
                                                  : first_name_section(mode).span + 1;
    return first_names * (has_surname(mode) ? surname_span + 1 : 1);
}
