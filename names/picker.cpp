// picker.cpp: picks names from the table with the program's generator.
#include "picker.h"

#include "name_table.h"
#include "random.h"
#include "../runtime/scratch.h"

int offset_for_draw(double r, int span) {
    // r is (s + 1) / 2^51 for a state s, exactly, so r * 2^51 is a whole
    // number of at most 51 bits.
    return offset_for_numerator(static_cast<uint64_t>(r * 2251799813685248.0), span);
}

char *pick(int first, int span, pick_seeding seeding, int32_t second) {
    if (seeding == seed_from_uptime)
        randomize(static_cast<int32_t>(timer()));
    else if (seeding == seed_from_second)
        randomize(second);
    // The first draw only chose the direction of rounding, which for a draw
    // in (0, 1] and a positive span is always upwards; it still advances the
    // sequence, so it is made.
    rnd();
    double r = rnd();
    return copy_text(name_at(first + offset_for_draw(r, span)));
}

const char *generate(int mode, pick_seeding seeding, int32_t second) {
    switch (mode) {
    case mode_female:
        return pick(female_first, female_span, seeding, second);
    case mode_male:
        return pick(male_first, male_span, seeding, second);
    case mode_surname:
        return pick(surname_first, surname_span, seeding, second);
    case mode_female_surname:
    case mode_male_surname: {
        // The first name is always picked before the surname.
        const char *first_name = mode == mode_female_surname
                                     ? pick(female_first, female_span, seeding, second)
                                     : pick(male_first, male_span, seeding, second);
        const char *surname = pick(surname_first, surname_span, seeding, second);
        return join({first_name, " ", surname});
    }
    default:
        return "";
    }
}
