// csv.h: CSV as RFC 4180 writes it, for onymix-cli's --mask runs (csv.cpp):
// records read one at a time out of a block of bytes, fields found but not
// copied, and a field written back quoted as it was or as its bytes need.
#pragma once

#include "byte_scan.h"

#include <cstddef>
#include <string>
#include <vector>

// A field's bytes as they stand in the input, from begin to end, its quotes
// included when it is quoted.
struct csv_field {
    size_t begin, end;
    bool quoted;
};

// What was wrong, where: the line (1 for the first) and the column (1 for
// the first field of a record). what never holds a value of the input.
struct csv_error {
    unsigned long long line;
    size_t column;
    const char *what;
};

enum class csv_read { record, more, error };

// Reads the record that begins at data[at] into fields. record: at is then
// past its line end (LF or CR LF, none at the end of the input) and line,
// the line at data[at], is moved on by the line breaks read. more: the
// record does not end before size and last is false (more input follows),
// so nothing is changed: call again with more bytes behind. error: error
// says what is wrong. last says that the input ends at size. A CR that is
// not before an LF is a byte of its field.
csv_read csv_read_record(const char *data, size_t size, size_t &at, bool last,
                         std::vector<csv_field> &fields, unsigned long long &line,
                         csv_error &error);

// Reads from data[at] on the records that are one line without quotes,
// ended by an LF, the commonest by far, as csv_read_record reads them but
// in one scan of the bytes, with no list of fields: calls field(begin, end)
// for each field (its end before the CR of a CR LF line end), then
// record(), which says whether the record is taken. Stops before a record
// that is no such line, or is not taken, or begins at stop or later, or
// does not end before end; returns where it stopped, the start of a
// record (at when it read none). The fields of a record not taken have
// been seen already: what was made of them is the caller's to drop.
template <typename Field, typename Record>
size_t csv_read_plain_lines(const char *data, size_t at, size_t end, size_t stop, Field &&field,
                            Record &&record) {
    size_t line = at, begin = at;
    if (at >= stop)
        return at;
    byte_scan::each_among<',', '\n', '"'>(data, at, end, [&](size_t b) {
        if (data[b] == ',') {
            field(begin, b);
            begin = b + 1;
            return true;
        }
        if (data[b] == '"')
            return false;
        field(begin, b > begin && data[b - 1] == '\r' ? b - 1 : b);
        if (!record())
            return false;
        line = begin = b + 1;
        return line < stop;
    });
    return line;
}

// The value of a field: its bytes, or for a quoted field the bytes between
// its quotes with each "" read as ". value points into data, or into
// scratch when quotes had to be taken out.
void csv_value(const char *data, const csv_field &field, std::string &scratch, const char *&value,
               size_t &length);

// The place of the first of length bytes at text that makes a field of
// them quoted: a comma, a quote, CR or LF; length when none does.
inline size_t csv_quote_at(const char *text, size_t length) {
    return byte_scan::first_among<',', '"', '\r', '\n'>(text, length);
}

// Writes a field of length bytes at text at to: quoted when quoted is true
// or when the bytes hold a comma, a quote, CR or LF, each quote then
// written twice. to has room for 2 * length + 2 bytes (every byte a quote,
// written twice, and the quotes around); returns the end of what was
// written.
char *csv_write_field(char *to, const char *text, size_t length, bool quoted);
