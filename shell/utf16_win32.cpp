// utf16_win32.cpp: UTF-8 to UTF-16 and back with the system's converters, as
// declared in utf16_win32.h.
#include "utf16_win32.h"

#include "../runtime/scratch.h"

#include <windows.h>

wchar_t *utf16_from_utf8(const char *text) {
    int units = MultiByteToWideChar(CP_UTF8, 0, text, -1, nullptr, 0);
    if (units <= 0)
        units = 1;
    wchar_t *wide = reinterpret_cast<wchar_t *>(scratch(size_t(units) * sizeof(wchar_t)));
    MultiByteToWideChar(CP_UTF8, 0, text, -1, wide, units);
    return wide;
}

char *utf8_from_utf16(const wchar_t *text) {
    int bytes = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (bytes <= 0)
        bytes = 1;
    char *narrow = scratch(size_t(bytes));
    WideCharToMultiByte(CP_UTF8, 0, text, -1, narrow, bytes, nullptr, nullptr);
    return narrow;
}
