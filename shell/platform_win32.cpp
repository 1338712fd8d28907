// platform_win32.cpp: the system services of runtime/platform.h on Windows:
// GetModuleFileNameA, FindFirstFileA and MoveFileExA. The clock is
// lib/clock_win32.cpp.
#include "../runtime/platform.h"
#include "../runtime/scratch.h"

#include <windows.h>

char *platform_executable_path() {
    // GetModuleFileNameA cuts a path that does not fit and says so only by
    // filling the buffer, so grow it until the path fits with room to spare.
    for (DWORD size = 1024;; size *= 2) {
        char *path = scratch(size);
        DWORD n = GetModuleFileNameA(GetModuleHandleA(nullptr), path, size);
        if (n < size) {
            path[n] = '\0';
            return path;
        }
    }
}

char platform_folder_separator() {
    return '\\';
}

bool platform_file_exists(const char *path) {
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(path, &found);
    if (search == INVALID_HANDLE_VALUE)
        return false;
    FindClose(search);
    return true;
}

bool platform_replace_file(const char *from, const char *to) {
    return MoveFileExA(from, to, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}
