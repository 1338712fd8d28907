// platform_posix.cpp: the system services of platform.h for native POSIX
// builds (Linux): /proc/self/exe, stat, fopen, remove and rename, ASCII as
// the code page, and a file-failure report that asks no one. The clock is
// lib/clock_posix.cpp.
#include "plain_code_page.h"
#include "platform.h"
#include "scratch.h"

#include <cstdio>
#include <sys/stat.h>
#include <unistd.h>

char *platform_executable_path() {
    // readlink does not say whether it had to cut the path, so grow the
    // buffer until the path fits with room to spare.
    for (size_t size = 1024;; size *= 2) {
        char *path = scratch(size);
        ssize_t n = readlink("/proc/self/exe", path, size);
        if (n < 0)
            return path; // empty: no path is known
        if (static_cast<size_t>(n) < size) {
            path[n] = '\0';
            return path;
        }
    }
}

char platform_folder_separator() {
    return '/';
}

bool platform_file_exists(const char *path) {
    struct stat info {};
    return stat(path, &info) == 0;
}

std::FILE *platform_open_file(const char *path, const char *mode) {
    // The system takes a path as its bytes, so UTF-8 names work as they are.
    return std::fopen(path, mode);
}

bool platform_remove_file(const char *path) {
    return std::remove(path) == 0;
}

bool platform_replace_file(const char *from, const char *to) {
    return std::rename(from, to) == 0;
}

// POSIX has no 8-bit code page of its own: its text is UTF-8, in which a
// byte from 0x80 up is no character alone. Only ASCII converts exactly, so
// a list that the 8-bit text cannot hold is refused rather than garbled.
size_t platform_code_page_from_utf16(const uint16_t *units, size_t count, char *out, size_t room,
                                     bool *exact) {
    return plain_code_page_from_utf16(units, count, out, room, 0x7F, exact);
}

size_t platform_utf16_from_code_page(const char *text, size_t length, uint16_t *out, size_t room,
                                     bool *exact) {
    return utf16_from_plain_code_page(text, length, out, room, 0x7F, exact);
}

bool platform_report_file_failure(const char *, bool) {
    // A native program has no window to ask in; the line on the standard
    // error stream is all the report there is.
    return false;
}
