// lines.h: names as lines of text, CSV or JSON, many at once, for the
// library's bulk and one-name calls. Each name is drawn with draw_name and
// its entries copied straight into the caller's buffer: no scratch string
// and no allocation per name. Nothing here keeps global state: each stream
// carries its own generator state, so different streams may be used from
// different threads at once.
#pragma once

#include "modes.h"
#include "name_set.h"

#include <cstddef>
#include <cstdint>

// How each name is written: the name alone, a CSV row or a JSON object, one a
// line (LF).
enum name_format { format_text, format_csv, format_jsonl };
const int format_count = 3;

// The labels of the formats, indexed by format: "text", "csv", "jsonl".
extern const char *const format_labels[format_count];

// The line that comes before the names: the CSV header, empty otherwise.
const char *format_header(name_format format);

// The longest line of any format, its LF included: a JSON object of a first
// name of 11 letters and a surname of 13.
const size_t line_max = 105;

// The room write_line needs after out: entries are copied in fixed 16-byte
// moves that may reach past the end of the line.
const size_t longest_line = 160;

// One run of names: what to draw, how to write it, the generator state it
// draws on, and how many names are left. With unique set, a drawn name
// already in it is skipped (its draws are used up) and does not count; then
// remaining must be no more than the names of the mode not yet in the set.
struct name_stream {
    name_source source;
    name_format format;
    uint64_t state;
    long long remaining;
    name_set *unique;
};

// Draws the next name of the stream, whether or not it is in the unique set.
inline drawn_name draw_name(name_stream &stream) {
    return draw_name(stream.source, stream.state);
}

// Writes the line of one name at out, which must have longest_line bytes of
// room, and returns the end of the line.
char *write_line(char *out, drawn_name name, name_format format);

// Writes the line of one name at out when it fits before end, and returns
// the end of the line; null, writing nothing, when it does not fit.
char *put_line(char *out, char *end, drawn_name name, name_format format);

// Writes whole lines into [out, end) until no names remain or the next line
// does not fit, and returns the new end of the written text. A name whose
// line does not fit is not used up: the stream's state is left before it.
char *fill_names(name_stream &stream, char *out, char *end);
