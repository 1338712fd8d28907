// plain_code_page.h: conversions for the code pages whose byte n is the
// character U+00nn for every n up to a last one: ASCII (last 0x7F) and
// Latin-1 (last 0xFF). They are the code pages of the platforms that have
// no system code page of their own: POSIX builds and the test doubles.
// Same contract as the code-page conversions of platform.h.
#pragma once

#include <cstddef>
#include <cstdint>

size_t plain_code_page_from_utf16(const uint16_t *units, size_t count, char *out, size_t room,
                                  unsigned last, bool *exact);
size_t utf16_from_plain_code_page(const char *text, size_t length, uint16_t *out, size_t room,
                                  unsigned last, bool *exact);
