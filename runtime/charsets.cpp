// charsets.cpp: UTF-16 to and from ASCII, Latin-1, UTF-8 and windows-1252.
#include "charsets.h"

namespace {

const uint16_t replacement = 0xFFFD;

bool is_high_surrogate(uint32_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}

bool is_low_surrogate(uint32_t unit) {
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

// The code point of the UTF-8 character at text[i], and its length in *used;
// -1 (and one byte used) for a byte that starts no well-formed character:
// overlong forms, encoded surrogates and values past U+10FFFF included.
long utf8_character(const unsigned char *text, size_t length, size_t i, size_t *used) {
    *used = 1;
    unsigned lead = text[i];
    if (lead < 0x80)
        return static_cast<long>(lead);
    size_t tail = lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC0 ? 1 : 0;
    if (tail == 0 || lead > 0xF4 || length - i <= tail)
        return -1;
    unsigned long value = lead & (0x3Fu >> tail);
    for (size_t k = 1; k <= tail; k++) {
        unsigned next = text[i + k];
        if ((next & 0xC0) != 0x80)
            return -1;
        value = value << 6 | (next & 0x3F);
    }
    static const unsigned long smallest[] = {0, 0x80, 0x800, 0x10000};
    if (value < smallest[tail] || value > 0x10FFFF || is_high_surrogate(value) ||
        is_low_surrogate(value))
        return -1;
    *used = tail + 1;
    return static_cast<long>(value);
}

// Bytes 0x80 to 0x9F of windows-1252; the other bytes are the Latin-1
// characters of the same number.
const uint16_t windows_1252_high[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

uint16_t windows_1252_unit(unsigned char byte) {
    return byte >= 0x80 && byte < 0xA0 ? windows_1252_high[byte - 0x80] : byte;
}

// The windows-1252 byte of a UTF-16 unit, or -1 when it has none.
int windows_1252_byte(uint16_t unit) {
    if (unit < 0x80 || (unit >= 0xA0 && unit <= 0xFF))
        return unit;
    for (int i = 0; i < 32; i++)
        if (windows_1252_high[i] == unit)
            return 0x80 + i;
    return -1;
}

} // namespace

size_t plain_code_page_from_utf16(const uint16_t *units, size_t count, char *out, size_t room,
                                  unsigned last, bool *exact) {
    *exact = true;
    for (size_t i = 0; i < count; i++) {
        bool fits = units[i] <= last;
        *exact = *exact && fits;
        if (room >= count)
            out[i] = fits ? static_cast<char>(units[i]) : '?';
    }
    return count;
}

size_t utf16_from_plain_code_page(const char *text, size_t length, uint16_t *out, size_t room,
                                  unsigned last, bool *exact) {
    *exact = true;
    for (size_t i = 0; i < length; i++) {
        unsigned byte = static_cast<unsigned char>(text[i]);
        bool fits = byte <= last;
        *exact = *exact && fits;
        if (room >= length)
            out[i] = fits ? static_cast<uint16_t>(byte) : replacement;
    }
    return length;
}

size_t utf8_from_utf16(const uint16_t *units, size_t count, char *out, size_t room, bool *exact) {
    *exact = true;
    // The first pass measures; the second writes, when the whole fits.
    size_t total = 0;
    for (int pass = 0; pass < 2; pass++) {
        if (pass == 1 && (room < total || !out))
            break;
        size_t at = 0;
        for (size_t i = 0; i < count; i++) {
            uint32_t value = units[i];
            if (is_high_surrogate(value) && i + 1 < count && is_low_surrogate(units[i + 1])) {
                value = 0x10000 + ((value - 0xD800) << 10) + (units[i + 1] - 0xDC00);
                i++;
            } else if (is_high_surrogate(value) || is_low_surrogate(value)) {
                *exact = false;
                value = '?';
            }
            unsigned char bytes[4];
            size_t n;
            if (value < 0x80) {
                bytes[0] = static_cast<unsigned char>(value);
                n = 1;
            } else {
                n = value < 0x800 ? 2 : value < 0x10000 ? 3 : 4;
                static const unsigned char lead[] = {0, 0, 0xC0, 0xE0, 0xF0};
                for (size_t k = n - 1; k > 0; k--, value >>= 6)
                    bytes[k] = static_cast<unsigned char>(0x80 | (value & 0x3F));
                bytes[0] = static_cast<unsigned char>(lead[n] | value);
            }
            if (pass == 1)
                for (size_t k = 0; k < n; k++)
                    out[at + k] = static_cast<char>(bytes[k]);
            at += n;
        }
        total = at;
    }
    return total;
}

size_t utf16_from_utf8(const char *text, size_t length, uint16_t *out, size_t room, bool *exact) {
    *exact = true;
    const unsigned char *bytes = reinterpret_cast<const unsigned char *>(text);
    size_t total = 0;
    for (int pass = 0; pass < 2; pass++) {
        if (pass == 1 && (room < total || !out))
            break;
        size_t at = 0;
        for (size_t i = 0; i < length;) {
            size_t used = 1;
            long value = utf8_character(bytes, length, i, &used);
            i += used;
            if (value < 0) {
                *exact = false;
                value = replacement;
            }
            if (value >= 0x10000) {
                if (pass == 1) {
                    out[at] = static_cast<uint16_t>(0xD800 + ((value - 0x10000) >> 10));
                    out[at + 1] = static_cast<uint16_t>(0xDC00 + ((value - 0x10000) & 0x3FF));
                }
                at += 2;
            } else {
                if (pass == 1)
                    out[at] = static_cast<uint16_t>(value);
                at++;
            }
        }
        total = at;
    }
    return total;
}

size_t windows_1252_from_utf16(const uint16_t *units, size_t count, char *out, size_t room,
                               bool *exact) {
    *exact = true;
    for (size_t i = 0; i < count; i++) {
        int byte = windows_1252_byte(units[i]);
        *exact = *exact && byte >= 0;
        if (room >= count)
            out[i] = static_cast<char>(byte >= 0 ? byte : '?');
    }
    return count;
}

size_t utf16_from_windows_1252(const char *text, size_t length, uint16_t *out, size_t room,
                               bool *exact) {
    *exact = true;
    if (room >= length)
        for (size_t i = 0; i < length; i++)
            out[i] = windows_1252_unit(static_cast<unsigned char>(text[i]));
    return length;
}

bool is_utf8(const char *text, size_t length) {
    const unsigned char *bytes = reinterpret_cast<const unsigned char *>(text);
    for (size_t i = 0; i < length;) {
        size_t used = 1;
        if (utf8_character(bytes, length, i, &used) < 0)
            return false;
        i += used;
    }
    return true;
}
