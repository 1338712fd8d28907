// stream.h: many names at once, for the library's bulk and one-name calls.
// Picks table indices with the program's generator, exactly as generate()
// would pick them, and copies the entries straight into a caller's output
// buffer: no scratch string and no allocation per name. Nothing here keeps
// global state: each stream carries its own generator state, so different
// streams may be used from different threads at once.
#pragma once

#include "picker.h"

#include <cstddef>
#include <cstdint>

// How each name is written: the name alone, a CSV row or a JSON object, one a
// line (LF).
enum name_format { format_text, format_csv, format_jsonl };
const int format_count = 3;

// The line that comes before the names: the CSV header, empty otherwise.
const char *format_header(name_format format);

// The longest line of any format, its LF included: a JSON object of a first
// name of 11 letters and a surname of 13.
const size_t line_max = 105;

// The room write_line needs after out: entries are copied in fixed 16-byte
// moves that may reach past the end of the line.
const size_t longest_line = 160;

// Table indices of one drawn name; -1 where the mode has no such part.
struct drawn_name {
    int first_name, surname;
};

// Names already written, for unique output: one bit per name text the mode
// can make. Open with name_set_open; the bits are zero-filled on demand by
// the system, so only the part that is used costs memory.
struct name_set {
    uint64_t *bits;
};

// How many different name texts a mode can make; 0 for a number that is no
// mode.
long long distinct_names(int mode);

// False when there is not enough memory.
bool name_set_open(name_set &set, int mode);
void name_set_close(name_set &set);

// The bit of a name in its mode's set: different names of a mode have
// different keys, from 0 to distinct_names(mode) - 1.
uint64_t name_key(int mode, drawn_name name);

inline bool name_set_has(const name_set &set, uint64_t key) {
    return (set.bits[key / 64] >> (key % 64)) & 1;
}
inline void name_set_add(name_set &set, uint64_t key) {
    set.bits[key / 64] |= uint64_t(1) << (key % 64);
}

// One run of names: what to draw, how to write it, the generator state it
// draws on, and how many names are left. With unique set, a drawn name
// already in it is skipped (its draws are used up) and does not count; then
// remaining must be no more than the names of the mode not yet in the set.
struct name_stream {
    int mode;
    name_format format;
    pick_seeding seeding;
    int32_t second;
    uint64_t state;
    long long remaining;
    name_set *unique;
};

// Draws the next name of the stream (whether or not it is in the unique
// set): re-seeds before each pick as stream.seeding says, as generate()
// does, and the first name is always picked before the surname.
drawn_name draw_name(name_stream &stream);

// Writes the line of one name at out, which must have longest_line bytes of
// room, and returns the end of the line.
char *write_line(char *out, drawn_name name, name_format format);

// Writes whole lines into [out, end) until no names remain or the next line
// does not fit, and returns the new end of the written text. A name whose
// line does not fit is not used up: the stream's state is left before it.
char *fill_names(name_stream &stream, char *out, char *end);
