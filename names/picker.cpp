// picker.cpp: picks names from the table with the program's generator.
#include "picker.h"

#include "name_table.h"
#include "random.h"
#include "../runtime/scratch.h"

const char *const mode_labels[mode_count] = {"Female", "Female + Surname", "Male", "Male + Surname",
                                             "Surname"};

int offset_for_draw(double r, int span) {
    // r is (s + 1) / 2^51 for a state s, exactly, so a = s + 1 is an integer
    // of at most 51 bits, and the offset is floor((a * span + 2^50) / 2^51).
    // The product needs up to 67 bits: split a at bit 26 and carry the high
    // part's quotient separately, so nothing is rounded on any platform.
    const uint64_t two_50 = uint64_t(1) << 50;
    uint64_t a = static_cast<uint64_t>(r * 2251799813685248.0);
    uint64_t high = (a >> 26) * static_cast<uint64_t>(span); // below 2^42
    uint64_t low = (a & ((uint64_t(1) << 26) - 1)) * static_cast<uint64_t>(span);
    uint64_t quotient = high >> 25;
    uint64_t rest = ((high & ((uint64_t(1) << 25) - 1)) << 26) + low + two_50;
    return static_cast<int>(quotient + (rest >> 51));
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
