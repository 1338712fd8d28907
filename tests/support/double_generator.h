// double_generator.h: the generator as first written down, in double
// precision: the state held in a double, its product with the multiplier
// formed by splitting it at bit 26 so that every intermediate is a whole
// number below 2^53, the draw (s + 1) / 2^51, and the offset r * span + 0.5
// truncated, in the x87 unit's extended precision as the Windows program
// runs. A test oracle: the integer code of names/ must give what this gives,
// draw for draw and name for name.
#pragma once

#include <cstdint>
#include <string>

struct double_generator {
    double state;

    // Seeded with second n of the day (0 to 86399).
    explicit double_generator(int32_t n);

    // Advances the state once and returns the draw, in (0, 1].
    double rnd();

    // The name of a mode (0 to 6) that the next picks draw, on from the
    // running sequence: for each pick one draw that only decides the
    // rounding (and, in the Any modes, the list: female when it is at most
    // 0.5), and one that selects the entry.
    std::string next_name(int mode);
};

// The offset into a section of span span that the draw r selects: r * span +
// 0.5, truncated toward zero.
int offset_for_draw(double r, int span);
