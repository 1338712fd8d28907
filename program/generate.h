// generate.h: the Windows program's Generate: its one generator state for
// the whole run, the procedures over it that pick a name for the chosen
// mode, and the command that shows the name. The arithmetic of the draws is
// generator.h's and the modes are modes.h's, as in the library; only the
// state is the program's.
#pragma once

#include "../names/modes.h"

#include <cstdint>

// The program's generator state, an integer in [0, 2^51). Starts at 314159;
// seeding replaces it before the first draw.
extern int64_t random_state;

// Seeds the program's generator: random_state becomes seeded_state(n).
void randomize(int32_t n);

// Advances the program's generator once and returns the draw, in (0, 1].
double rnd();

// One entry of the section starting at first with span span (its size less
// one), as a scratch copy: re-seeds from the current whole second of uptime,
// then draws twice.
char *pick(int first, int span);

// The name for a generation mode, as a scratch string: one pick, or a first
// name and a surname picked in that order and joined by a space; empty for
// a number that is no mode of the mode chooser (-1 is what the chooser
// reports with nothing selected).
const char *generate(int mode);

// The name shown in the name box by the last Generate; at most 25 characters
// (11 + 1 + 13) can reach it.
extern char generated_name[2048];

// The Generate command: builds the name for the mode selected in the mode
// chooser, keeps it in generated_name and puts it into the name box.
void generate_command();
