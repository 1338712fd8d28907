// platform_posix.cpp: the system services of platform.h for native POSIX
// builds (Linux): the monotonic clock, /proc/self/exe, stat, fopen, remove
// and rename, and a file-failure report that asks no one.
#include "platform.h"
#include "scratch.h"

#include <cstdio>
#include <ctime>
#include <sys/stat.h>
#include <unistd.h>

uint32_t platform_tick_count() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    uint64_t ms = uint64_t(now.tv_sec) * 1000 + uint64_t(now.tv_nsec) / 1000000;
    return static_cast<uint32_t>(ms);
}

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

bool platform_report_file_failure(const char *, bool) {
    // A native program has no window to ask in; the line on the standard
    // error stream is all the report there is.
    return false;
}
