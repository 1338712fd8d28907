// copy_text.cpp: COPY's text format (copy_text.h). The escapes are read as
// the server's COPY FROM reads them, not as they are usually written, so
// that the value masked is the value the table would have held: \x with no
// hex digit is an x, a backslash before any other byte is that byte, and
// an octal escape keeps its low eight bits.
#include "copy_text.h"

#include "../runtime/hex.h"

#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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

size_t copy_escape_at(const char *text, size_t length) {
    size_t i = 0;
#if defined(__SSE2__)
    for (; i + 16 <= length; i += 16) {
        __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i *>(text + i));
        // Backspace to CR: the bytes that, less 8 (the lowest wrapping
        // round), are at most 5.
        __m128i low = _mm_sub_epi8(bytes, _mm_set1_epi8('\b'));
        int found = _mm_movemask_epi8(
            _mm_or_si128(_mm_cmpeq_epi8(_mm_min_epu8(low, _mm_set1_epi8('\r' - '\b')), low),
                         _mm_cmpeq_epi8(bytes, _mm_set1_epi8('\\'))));
        if (found)
            return i + static_cast<size_t>(__builtin_ctz(static_cast<unsigned>(found)));
    }
#endif
    for (; i < length; i++) {
        unsigned char c = static_cast<unsigned char>(text[i]);
        if (c == '\\' || (c >= '\b' && c <= '\r'))
            return i;
    }
    return length;
}

char *copy_write_field(char *to, const char *text, size_t length) {
    // Eight bytes at a time while none is a backslash or from backspace to
    // CR: in each byte, bit 7 of its low 7 bits plus an offset says whether
    // it reaches a bound, and a backslash is zero once xored with itself.
    const uint64_t ones = 0x0101010101010101u, low = 0x7F7F7F7F7F7F7F7Fu;
    size_t i = 0;
    for (; i + 8 <= length; i += 8) {
        uint64_t x, y;
        std::memcpy(&x, text + i, 8);
        y = x ^ '\\' * ones;
        uint64_t below_cr = ~(((x & low) + (0x80 - '\r' - 1) * ones) | x) & ~low;
        uint64_t backslash = ~(((y & low) + low) | y | low);
        uint64_t from_backspace = ((x & low) + (0x80 - '\b') * ones) & ~x & ~low;
        if ((below_cr & from_backspace) | backslash)
            break;
        std::memcpy(to, text + i, 8);
        to += 8;
    }
    for (; i < length; i++) {
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
