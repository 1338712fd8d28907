// utf16_win32.h: the UTF-16 form of the core's UTF-8 texts (paths and
// messages) for the wide calls of Windows, and back, in scratch buffers.
#pragma once

wchar_t *utf16_from_utf8(const char *text);
char *utf8_from_utf16(const wchar_t *text);
