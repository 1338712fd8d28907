// picker.h: picking names from the table, and the generation modes.
#pragma once

#include <cstdint>

// Generation modes, numbered by the position of their label in the sorted
// list of the mode chooser.
const int mode_female = 0;
const int mode_female_surname = 1;
const int mode_male = 2;
const int mode_male_surname = 3;
const int mode_surname = 4;
const int mode_count = 5;

// Two modes of the command line only (the mode chooser has no such items, and
// generate() makes nothing for them): a first name of either list, and that
// followed by a surname. The first draw of the first-name pick (which the
// other modes discard) chooses the list: female when it is at most 0.5, male
// otherwise.
const int mode_any = 5;
const int mode_any_surname = 6;
const int stream_mode_count = 7;

// The labels of all seven modes, indexed by mode number (so the first five
// in the sorted order of the mode chooser).
extern const char *const mode_labels[stream_mode_count];

// The name shown in the name box by the last Generate; at most 25 characters
// (11 + 1 + 13) can reach it.
extern char generated_name[2048];

// How each pick starts: re-seeded from the current whole second of uptime
// (what Generate does), re-seeded from a given second, or drawing on from
// the generator's running sequence without re-seeding.
enum pick_seeding { seed_from_uptime, seed_from_second, draw_on };

// One entry of the section starting at first with span span (its size less
// one), as a scratch copy. Re-seeds as seeding says, then draws twice.
char *pick(int first, int span, pick_seeding seeding = seed_from_uptime, int32_t second = 0);

// The offset into a section of span span that a draw r in (0, 1] selects:
// r * span + 0.5 truncated, computed exactly, so 0 <= offset <= span.
int offset_for_draw(double r, int span);

// The same for the draw a / 2^51, a whole number from 1 to 2^51 (the state
// after the draw, plus one): floor((a * span + 2^50) / 2^51). The product
// needs up to 67 bits, so a is split at bit 26 and the high part's quotient
// carried separately; nothing is rounded on any platform.
inline int offset_for_numerator(uint64_t a, int span) {
    const uint64_t two_50 = uint64_t(1) << 50;
    uint64_t high = (a >> 26) * static_cast<uint64_t>(span); // below 2^42
    uint64_t low = (a & ((uint64_t(1) << 26) - 1)) * static_cast<uint64_t>(span);
    uint64_t quotient = high >> 25;
    uint64_t rest = ((high & ((uint64_t(1) << 25) - 1)) << 26) + low + two_50;
    return static_cast<int>(quotient + (rest >> 51));
}

// The name for a generation mode, as a scratch string; empty for a number
// that is no mode (-1 is what the mode chooser reports with nothing selected).
const char *generate(int mode, pick_seeding seeding = seed_from_uptime, int32_t second = 0);

// The Generate command: builds the name for the mode selected in the mode
// chooser, keeps it in generated_name and puts it into the name box.
void generate_command();
