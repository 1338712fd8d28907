// platform_win32.cpp: the system services of runtime/platform.h on Windows:
// GetModuleFileNameW, FindFirstFileW, _wfopen, DeleteFileW, MoveFileExW, and
// the system code page through WideCharToMultiByte and MultiByteToWideChar.
// Paths come and go as UTF-8 and meet the system as UTF-16, so that a folder
// whose name the code page cannot spell works. The clock is
// lib/clock_win32.cpp.
#include "../runtime/platform.h"
#include "../runtime/scratch.h"
#include "utf16_win32.h"

#include <windows.h>

#include <climits>
#include <cstdio>

char *platform_executable_path() {
    // GetModuleFileNameW cuts a path that does not fit and says so only by
    // filling the buffer, so grow it until the path fits with room to spare.
    for (DWORD size = 1024;; size *= 2) {
        wchar_t *path = reinterpret_cast<wchar_t *>(scratch(size * sizeof(wchar_t)));
        DWORD n = GetModuleFileNameW(GetModuleHandleW(nullptr), path, size);
        if (n < size) {
            path[n] = L'\0';
            return utf8_from_utf16(path);
        }
    }
}

char platform_folder_separator() {
    return '\\';
}

bool platform_file_exists(const char *path) {
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(utf16_from_utf8(path), &found);
    if (search == INVALID_HANDLE_VALUE)
        return false;
    FindClose(search);
    return true;
}

std::FILE *platform_open_file(const char *path, const char *mode) {
    return _wfopen(utf16_from_utf8(path), utf16_from_utf8(mode));
}

bool platform_remove_file(const char *path) {
    return DeleteFileW(utf16_from_utf8(path)) != 0;
}

bool platform_replace_file(const char *from, const char *to) {
    return MoveFileExW(utf16_from_utf8(from), utf16_from_utf8(to),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

size_t platform_code_page_from_utf16(const uint16_t *units, size_t count, char *out, size_t room,
                                     bool *exact) {
    *exact = count <= INT_MAX;
    if (count == 0 || !*exact)
        return 0;
    // A character with no form of its own must not become a look-alike
    // (best fit) or '?' unnoticed. UTF-8 as the system code page, which
    // Windows offers, takes neither flag nor report; there only half a
    // surrogate pair has no form, and it makes the call fail; the flag is
    // taken only with the code page named as CP_UTF8.
    bool utf8 = GetACP() == CP_UTF8;
    UINT code_page = utf8 ? CP_UTF8 : CP_ACP;
    DWORD flags = utf8 ? WC_ERR_INVALID_CHARS : WC_NO_BEST_FIT_CHARS;
    BOOL used_default = FALSE;
    BOOL *report = utf8 ? nullptr : &used_default;
    const wchar_t *wide = reinterpret_cast<const wchar_t *>(units);
    int n = WideCharToMultiByte(code_page, flags, wide, static_cast<int>(count), nullptr, 0,
                                nullptr, report);
    if (n > 0 && room >= static_cast<size_t>(n)) {
        used_default = FALSE;
        n = WideCharToMultiByte(code_page, flags, wide, static_cast<int>(count), out, n, nullptr,
                                report);
    }
    *exact = n > 0 && !used_default;
    return n > 0 ? static_cast<size_t>(n) : 0;
}

size_t platform_utf16_from_code_page(const char *text, size_t length, uint16_t *out, size_t room,
                                     bool *exact) {
    *exact = length <= INT_MAX;
    if (length == 0 || !*exact)
        return 0;
    // A byte that is no character of the code page fails the call rather
    // than becoming U+FFFD.
    int n = MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, text, static_cast<int>(length),
                                nullptr, 0);
    if (n > 0 && room >= static_cast<size_t>(n))
        n = MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, text, static_cast<int>(length),
                                reinterpret_cast<wchar_t *>(out), n);
    *exact = n > 0;
    return n > 0 ? static_cast<size_t>(n) : 0;
}
