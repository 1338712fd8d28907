// charsets.h: conversions between UTF-16 and the 8-bit character sets that
// no system has to be asked about: ASCII and Latin-1 (byte n is U+00nn up
// to a last byte, 0x7F or 0xFF), UTF-8, and windows-1252, the code page of
// Western Windows. They serve the platforms that have no code page of their
// own (POSIX, the WebAssembly build), the test doubles, and the library's
// reading and writing of stored.txt. Same contract as the code-page
// conversions of platform/system.h: the whole input is converted, the
// result is written only when room holds all of it (room 0 measures), the
// count of units is returned, and *exact tells whether every character had
// a form of its own on the other side.
#pragma once

#include <cstddef>
#include <cstdint>

size_t plain_code_page_from_utf16(const uint16_t *units, size_t count, char *out, size_t room,
                                  unsigned last, bool *exact);
size_t utf16_from_plain_code_page(const char *text, size_t length, uint16_t *out, size_t room,
                                  unsigned last, bool *exact);

// UTF-8: half a surrogate pair becomes '?', a byte that starts no
// well-formed character (overlong forms and encoded surrogates included)
// U+FFFD; both make the result inexact.
size_t utf8_from_utf16(const uint16_t *units, size_t count, char *out, size_t room, bool *exact);
size_t utf16_from_utf8(const char *text, size_t length, uint16_t *out, size_t room, bool *exact);

// windows-1252: each of the 256 bytes is a character of its own (the five
// that the code page leaves undefined are the C1 controls of their number,
// as the WHATWG Encoding Standard reads them), so text read from it writes
// back byte for byte. What it lacks becomes '?'.
size_t windows_1252_from_utf16(const uint16_t *units, size_t count, char *out, size_t room,
                               bool *exact);
size_t utf16_from_windows_1252(const char *text, size_t length, uint16_t *out, size_t room,
                               bool *exact);

// Whether the bytes are well-formed UTF-8 throughout.
bool is_utf8(const char *text, size_t length);
