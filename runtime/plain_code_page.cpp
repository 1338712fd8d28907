// plain_code_page.cpp: UTF-16 to and from ASCII or Latin-1, one unit for one
// byte; what has no form on the other side becomes '?' or U+FFFD.
#include "plain_code_page.h"

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
            out[i] = fits ? static_cast<uint16_t>(byte) : 0xFFFD;
    }
    return length;
}
