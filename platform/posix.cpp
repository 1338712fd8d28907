// posix.cpp: system.h for Linux and other POSIX systems: the monotonic
// clock, /proc/self/exe, stat, fopen, remove and rename, ASCII as the code
// page, the terminal and pipe tests of standard streams, and threads.
#include "system.h"

#include "../runtime/charsets.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <pthread.h>
#include <sys/stat.h>
#include <unistd.h>

uint32_t platform_tick_count() {
    // The monotonic clock counts from system start on Linux.
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    uint64_t ms = uint64_t(now.tv_sec) * 1000 + uint64_t(now.tv_nsec) / 1000000;
    return static_cast<uint32_t>(ms);
}

char *platform_executable_path() {
    // readlink does not say whether it had to cut the path, so grow the
    // buffer until the path fits with room to spare.
    for (size_t size = 1024;; size *= 2) {
        char *path = static_cast<char *>(std::malloc(size));
        if (!path)
            return nullptr;
        ssize_t n = readlink("/proc/self/exe", path, size);
        if (n >= 0 && static_cast<size_t>(n) == size) {
            std::free(path);
            continue;
        }
        path[n < 0 ? 0 : n] = '\0'; // empty: no path is known
        return path;
    }
}

char platform_folder_separator() {
    return '/';
}

bool platform_file_exists(const char *path) {
    struct stat info {};
    return stat(path, &info) == 0;
}

bool platform_is_device(const char *path) {
    struct stat info {};
    return stat(path, &info) == 0 && (S_ISCHR(info.st_mode) || S_ISBLK(info.st_mode) ||
                                      S_ISFIFO(info.st_mode) || S_ISSOCK(info.st_mode));
}

bool platform_is_pipe(std::FILE *stream) {
    struct stat info {};
    return fstat(fileno(stream), &info) == 0 && (S_ISFIFO(info.st_mode) || S_ISSOCK(info.st_mode));
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

bool platform_is_terminal(std::FILE *stream) {
    return isatty(fileno(stream)) == 1;
}

void platform_binary_stream(std::FILE *) {}

bool platform_reader_gone() {
    return errno == EPIPE;
}

namespace {

struct parallel_task {
    void (*task)(unsigned, void *);
    void *context;
    unsigned index;
};

void *run_task(void *argument) {
    const parallel_task *t = static_cast<const parallel_task *>(argument);
    t->task(t->index, t->context);
    return nullptr;
}

} // namespace

void platform_run_parallel(unsigned count, void (*task)(unsigned index, void *context),
                           void *context) {
    // malloc, not new: C programs link this file too.
    parallel_task *tasks = static_cast<parallel_task *>(std::calloc(count, sizeof *tasks));
    pthread_t *threads = static_cast<pthread_t *>(std::calloc(count, sizeof *threads));
    bool *started = static_cast<bool *>(std::calloc(count, sizeof *started));
    for (unsigned i = 1; i < count && tasks && threads && started; i++) {
        tasks[i] = {task, context, i};
        started[i] = pthread_create(&threads[i], nullptr, run_task, &tasks[i]) == 0;
    }
    if (count > 0)
        task(0, context);
    for (unsigned i = 1; i < count; i++)
        if (started && started[i])
            pthread_join(threads[i], nullptr);
        else
            task(i, context);
    std::free(tasks);
    std::free(threads);
    std::free(started);
}

struct platform_gate {
    pthread_mutex_t lock;
    pthread_cond_t changed;
};

platform_gate *platform_gate_open() {
    platform_gate *gate = static_cast<platform_gate *>(std::malloc(sizeof *gate));
    if (!gate)
        return nullptr;
    if (pthread_mutex_init(&gate->lock, nullptr) != 0) {
        std::free(gate);
        return nullptr;
    }
    if (pthread_cond_init(&gate->changed, nullptr) != 0) {
        pthread_mutex_destroy(&gate->lock);
        std::free(gate);
        return nullptr;
    }
    return gate;
}

void platform_gate_close(platform_gate *gate) {
    if (!gate)
        return;
    pthread_cond_destroy(&gate->changed);
    pthread_mutex_destroy(&gate->lock);
    std::free(gate);
}

void platform_gate_lock(platform_gate *gate) {
    pthread_mutex_lock(&gate->lock);
}

void platform_gate_unlock(platform_gate *gate) {
    pthread_mutex_unlock(&gate->lock);
}

void platform_gate_wait(platform_gate *gate) {
    pthread_cond_wait(&gate->changed, &gate->lock);
}

void platform_gate_wake(platform_gate *gate) {
    pthread_cond_broadcast(&gate->changed);
}
