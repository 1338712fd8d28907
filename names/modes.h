// modes.h: the generation modes, and the drawing of one name of a mode with
// the generator, which is how the library draws every name (draw_name). The
// Windows program's Generate takes its modes from here too, but makes its
// picks over its own global state (program/generate.h), the same draws.
#pragma once

#include "generator.h"
#include "weighted.h"

#include <cstdint>

// Generation modes, numbered by the position of their label in the sorted
// list of the mode chooser.
const int mode_female = 0;
const int mode_female_surname = 1;
const int mode_male = 2;
const int mode_male_surname = 3;
const int mode_surname = 4;
const int mode_count = 5;

// Two modes beyond the mode chooser's (the library and the command line
// have them): a first name of either list, and that followed by a surname.
const int mode_any = 5;
const int mode_any_surname = 6;
const int all_mode_count = 7;

// The labels of all seven modes, indexed by mode number (so the first five
// in the sorted order of the mode chooser).
extern const char *const mode_labels[all_mode_count];

inline bool is_any(int mode) {
    return mode == mode_any || mode == mode_any_surname;
}

inline bool has_first_name(int mode) {
    return mode != mode_surname;
}

inline bool has_surname(int mode) {
    return mode == mode_female_surname || mode == mode_male_surname || mode == mode_any_surname ||
           mode == mode_surname;
}

// The list a mode takes its first name from; for the Any modes the first
// draw of each pick chooses (pick_any_first_name).
inline section first_name_section(int mode) {
    return mode == mode_female || mode == mode_female_surname ? female_section : male_section;
}

// How many draws one name of a mode takes: two for each pick (the Any
// modes' first draw chooses the list), so two or four.
inline int draws_per_name(int mode) {
    return 2 * (has_first_name(mode) + has_surname(mode));
}

// How many different names a mode can make (Female 4,275, Male 1,219,
// Surname 56,342, Any 5,163, the full names those first-name counts times
// 56,342); 0 for a number that is no mode.
long long distinct_names(int mode);

// How each pick of a name starts: re-seeded from the current whole second of
// uptime (what Generate does), re-seeded to one fixed state (a Generate at
// a given second), or drawing on from the running sequence.
enum pick_seeding { seed_from_uptime, seed_fixed, draw_on };

// Table indices of one drawn name; -1 where the mode has no such part.
struct drawn_name {
    int first_name, surname;
};

// What a name is drawn as: its mode (0 to 6), how each of its picks starts
// (for seed_fixed, from seed_state), and whether its picks are weighted by
// the census frequencies or even.
struct name_source {
    int mode;
    pick_seeding seeding;
    uint64_t seed_state;
    bool weighted = false;
};

// The state a pick starts from.
inline uint64_t start_pick(const name_source &source, uint64_t state) {
    if (source.seeding == draw_on)
        return state;
    if (source.seeding == seed_fixed)
        return source.seed_state;
    return static_cast<uint64_t>(state_from_uptime());
}

// The next name of the source from state; the first name is always picked
// before the surname.
inline drawn_name draw_name(const name_source &source, uint64_t &state) {
    drawn_name name{-1, -1};
    int mode = source.mode;
    bool reseeded = source.seeding != draw_on;
    if (has_first_name(mode)) {
        if (reseeded)
            state = start_pick(source, state);
        if (source.weighted)
            name.first_name = is_any(mode) ? pick_weighted_any_first_name(state)
                                           : pick_weighted_entry(state, first_name_section(mode));
        // A section of its own in each branch, so that its span is a constant.
        else if (is_any(mode))
            name.first_name = pick_any_first_name(state);
        else if (mode == mode_female || mode == mode_female_surname)
            name.first_name = pick_entry(state, female_section);
        else
            name.first_name = pick_entry(state, male_section);
    }
    if (has_surname(mode)) {
        if (reseeded)
            state = start_pick(source, state);
        name.surname = source.weighted ? pick_weighted_entry(state, surname_section)
                                       : pick_entry(state, surname_section);
    }
    return name;
}
