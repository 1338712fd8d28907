// platform_win32.cpp: the system services of runtime/platform.h on Windows:
// GetTickCount, GetModuleFileNameW, FindFirstFileW, _wfopen, DeleteFileW and
// MoveFileExW. Paths come and go as UTF-8 and meet the system as UTF-16, so
// that a folder whose name the code page cannot spell works.
#include "../runtime/platform.h"
#include "../runtime/scratch.h"
#include "utf16_win32.h"

#include <windows.h>

#include <cstdio>

uint32_t platform_tick_count() {
    return GetTickCount();
}

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
