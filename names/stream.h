// stream.h: many names at once for onymix-cli. Picks table indices with the
// program's generator, exactly as generate() would pick them, and copies the
// entries straight into a caller's output buffer: no scratch string and no
// allocation per name.
#pragma once

#include "picker.h"

#include <cstddef>
#include <cstdint>

// How each name is written: the name alone, a CSV row or a JSON object, one a
// line (LF).
enum name_format { format_text, format_csv, format_jsonl };

// The line that comes before the names: the CSV header, empty otherwise.
const char *format_header(name_format format);

// The room fill_names needs at the end of the buffer for one more line.
const size_t longest_line = 160;

// Names already written, for unique output: one bit per name text the mode
// can make. Open with name_set_open; the bits are zero-filled on demand by
// the system, so only the part that is used costs memory.
struct name_set {
    uint64_t *bits;
};

// How many different name texts a mode can make.
long long distinct_names(int mode);

// False when there is not enough memory.
bool name_set_open(name_set &set, int mode);
void name_set_close(name_set &set);

// One run of names: what to draw, how to write it, and how many are left.
// With unique set, a drawn name already in it is skipped (its draws are used
// up) and does not count.
struct name_stream {
    int mode;
    name_format format;
    pick_seeding seeding;
    int32_t second;
    long long remaining;
    name_set *unique;
};

// Writes whole lines into [out, end) until no names remain or less than
// longest_line bytes of room are left, and returns the new end of the
// written text. Draws on from the generator state (random_state), re-seeding
// before every pick as stream.seeding says, as generate() does.
char *fill_names(name_stream &stream, char *out, char *end);
