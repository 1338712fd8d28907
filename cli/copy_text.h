// copy_text.h: the text format of PostgreSQL's COPY, as pg_dump writes a
// table's rows, for onymix-cli's --dump runs (copy_text.cpp): a field's
// escapes checked, its value read out of them, and a value written back
// escaped as COPY TO writes it.
#pragma once

#include "byte_scan.h"

#include <cstddef>
#include <string>

// What is wrong with the escapes of a field of length bytes at text, in
// words that show none of its bytes, or null when COPY FROM reads it as a
// value that can be masked. The field holds no unescaped tab or LF, and
// ends with no lone backslash.
const char *copy_field_fault(const char *text, size_t length);

// The value of the field from data[begin] to data[end]: its bytes, or when
// escaped is true (it holds a backslash) the bytes COPY FROM reads out of
// its escapes. value points into data, or into scratch.
void copy_value(const char *data, size_t begin, size_t end, bool escaped, std::string &scratch,
                const char *&value, size_t &length);

// The place of the first of length bytes at text that COPY TO writes
// escaped: a backslash, or one of backspace to CR (\b \t \n \v \f \r);
// length when there is none.
inline size_t copy_escape_at(const char *text, size_t length) {
    return byte_scan::first_among<'\\', '\b', '\t', '\n', '\v', '\f', '\r'>(text, length);
}

// Writes a value of length bytes at text at to as COPY TO writes it: a
// backslash doubled; backspace, form feed, LF, CR, tab and vertical tab
// as \b \f \n \r \t \v; every other byte as it is. to has room for
// 2 * length bytes; returns the end of what was written.
char *copy_write_field(char *to, const char *text, size_t length);
