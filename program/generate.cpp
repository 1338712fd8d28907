// generate.cpp: the Windows program's generator state and its picks.
#include "generate.h"

#include "scratch.h"

#include "../names/name_table.h"

int64_t random_state = 314159;

void randomize(int32_t n) {
    random_state = seeded_state(n);
}

double rnd() {
    random_state = static_cast<int64_t>(advanced_state(static_cast<uint64_t>(random_state)));
    return static_cast<double>(random_state + 1) / static_cast<double>(state_modulus);
}

char *pick(int first, int span) {
    random_state = state_from_uptime();
    // The first draw only chose the direction of rounding: upwards for every
    // draw in (0, 1] and a positive span.
    rnd();
    rnd();
    return copy_text(name_at(first + offset_of(static_cast<uint64_t>(random_state), span)));
}

const char *generate(int mode) {
    if (mode < 0 || mode >= mode_count)
        return "";
    // The first name is always picked before the surname.
    const char *first_name = "";
    if (has_first_name(mode)) {
        section list = first_name_section(mode);
        first_name = pick(list.first, list.span);
    }
    if (!has_surname(mode))
        return first_name;
    const char *surname = pick(surname_section.first, surname_section.span);
    return *first_name ? join({first_name, " ", surname}) : surname;
}
