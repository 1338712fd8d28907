// copy_text.cpp: COPY's text format (copy_text.h). The escapes are read as
// the server's COPY FROM reads them, not as they are usually written, so
// that the value masked is the value the table would have held: \x with no
// hex digit is an x, a backslash before any other byte is that byte, and
// an octal escape keeps its low eight bits.
#include "copy_text.h"
#include "byte_scan.h"

#include "../runtime/hex.h"

#include <cstring>

namespace {

bool is_octal(char c) {
    return c >= '0' && c <= '7';
}

// The byte of the escape whose letter is text[at] (after its backslash),
// at then past the escape.
unsigned char read_escape(const char *text, size_t length, size_t &at) {
    char c = text[at++];
    switch (c) {
    case 'b':
        return '\b';
    case 'f':
        return '\f';
    case 'n':
        return '\n';
    case 'r':
        return '\r';
    case 't':
        return '\t';
    case 'v':
        return '\v';
    case 'x': {
        if (at >= length || hex_digit(text[at]) < 0)
            return 'x';
        int value = hex_digit(text[at++]);
        if (at < length && hex_digit(text[at]) >= 0)
            value = value * 16 + hex_digit(text[at++]);
        return static_cast<unsigned char>(value);
    }
    default:
        if (!is_octal(c))
            return static_cast<unsigned char>(c);
        int value = c - '0';
        for (int more = 0; more < 2 && at < length && is_octal(text[at]); more++)
            value = value * 8 + (text[at++] - '0');
        return static_cast<unsigned char>(value & 0377);
    }
}

} // namespace

const char *copy_field_fault(const char *text, size_t length) {
    for (size_t at = 0; at < length;) {
        if (text[at] == '\r')
            return "a carriage return that is not written \\r";
        if (text[at++] != '\\')
            continue;
        if (text[at] == '.')
            return "an end-of-data mark \\. inside a line";
        // The server takes no zero byte into text: the row would not load.
        if (read_escape(text, length, at) == 0)
            return "an escape of a zero byte";
    }
    return nullptr;
}

void copy_value(const char *data, size_t begin, size_t end, bool escaped, std::string &scratch,
                const char *&value, size_t &length) {
    if (!escaped) {
        value = data + begin;
        length = end - begin;
        return;
    }
    const char *text = data + begin;
    size_t size = end - begin;
    scratch.clear();
    for (size_t at = 0; at < size;) {
        const void *slash = std::memchr(text + at, '\\', size - at);
        size_t plain = slash ? static_cast<const char *>(slash) - text : size;
        scratch.append(text + at, plain - at);
        at = plain;
        if (at < size) {
            at++;
            scratch += static_cast<char>(read_escape(text, size, at));
        }
    }
    value = scratch.data();
    length = scratch.size();
}

char *copy_write_field(char *to, const char *text, size_t length) {
    for (size_t i = 0; i < length; i++) {
        char c = text[i];
        char letter;
        switch (c) {
        case '\\':
            letter = '\\';
            break;
        case '\b':
            letter = 'b';
            break;
        case '\f':
            letter = 'f';
            break;
        case '\n':
            letter = 'n';
            break;
        case '\r':
            letter = 'r';
            break;
        case '\t':
            letter = 't';
            break;
        case '\v':
            letter = 'v';
            break;
        default:
            *to++ = c;
            continue;
        }
        *to++ = '\\';
        *to++ = letter;
    }
    return to;
}
