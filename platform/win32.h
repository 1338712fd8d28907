// win32.h: what the Windows code beside the portable seam shares: UTF-16
// forms of the portable code's UTF-8 texts (paths, messages) for the wide
// calls of Windows, and back. Defined in win32.cpp.
#pragma once

// The UTF-16 form of a UTF-8 text, in memory from std::malloc that the
// caller frees; null only when memory runs out.
wchar_t *wide_from_utf8(const char *text);

// The UTF-8 form of a UTF-16 text, likewise.
char *utf8_from_wide(const wchar_t *text);
