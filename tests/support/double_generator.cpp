// double_generator.cpp: the double-precision oracle of the generator.
#include "double_generator.h"

#include "../../names/modes.h"
#include "../../names/name_table.h"

#include <cmath>

namespace {
const double two_26 = 67108864.0, two_25 = 33554432.0, two_51 = 2251799813685248.0;
const double multiplier_high = 9347912.0, multiplier_low = 25877693.0;
} // namespace

double_generator::double_generator(int32_t n) : state(n * 26062497844.0 + 13031230749.0) {}

double double_generator::rnd() {
    double lo = std::fmod(state, two_26);
    double hi = (state - lo) / two_26;
    double t = multiplier_low * lo;
    double x = multiplier_low * hi + multiplier_high * lo;
    double new_lo = std::fmod(t, two_26);
    x += (t - new_lo) / two_26;
    state = std::fmod(x, two_25) * two_26 + new_lo;
    return (state + 1) / two_51;
}

int offset_for_draw(double r, int span) {
    return static_cast<int>(static_cast<long double>(r) * span + 0.5L);
}

std::string double_generator::next_name(int mode) {
    std::string name;
    if (mode != mode_surname) {
        double r1 = rnd(), r2 = rnd();
        bool female = mode == mode_female || mode == mode_female_surname ||
                      ((mode == mode_any || mode == mode_any_surname) && r1 <= 0.5);
        int first = female ? female_first : male_first;
        int span = female ? female_span : male_span;
        name = name_at(first + offset_for_draw(r2, span));
    }
    if (has_surname(mode)) {
        rnd();
        double r = rnd();
        if (!name.empty())
            name += ' ';
        name += name_at(surname_first + offset_for_draw(r, surname_span));
    }
    return name;
}
