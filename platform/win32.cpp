// win32.cpp: system.h on Windows: GetTickCount, GetModuleFileNameW,
// FindFirstFileW, _wfopen, DeleteFileW, MoveFileExW, the system code page
// through WideCharToMultiByte and MultiByteToWideChar, and the console and
// pipe tests of standard streams, CreateThread. Paths come and go as UTF-8 and meet the
// system as UTF-16, so that a folder whose name the code page cannot spell
// works.
#include "system.h"
#include "win32.h"

#include "../runtime/charsets.h"

#include <windows.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <fcntl.h>
#include <initializer_list>
#include <io.h>

static_assert(sizeof(wchar_t) == sizeof(uint16_t), "Windows' wide characters are UTF-16 units");

wchar_t *wide_from_utf8(const char *text) {
    size_t length = std::strlen(text);
    bool exact = true;
    size_t count = utf16_from_utf8(text, length, nullptr, 0, &exact);
    wchar_t *wide = static_cast<wchar_t *>(std::malloc((count + 1) * sizeof(wchar_t)));
    if (!wide)
        return nullptr;
    utf16_from_utf8(text, length, reinterpret_cast<uint16_t *>(wide), count, &exact);
    wide[count] = L'\0';
    return wide;
}

char *utf8_from_wide(const wchar_t *text) {
    size_t count = std::wcslen(text);
    const uint16_t *units = reinterpret_cast<const uint16_t *>(text);
    bool exact = true;
    size_t length = utf8_from_utf16(units, count, nullptr, 0, &exact);
    char *narrow = static_cast<char *>(std::malloc(length + 1));
    if (!narrow)
        return nullptr;
    utf8_from_utf16(units, count, narrow, length, &exact);
    narrow[length] = '\0';
    return narrow;
}

uint32_t platform_tick_count() {
    return GetTickCount();
}

char *platform_executable_path() {
    // GetModuleFileNameW cuts a path that does not fit and says so only by
    // filling the buffer, so grow it until the path fits with room to spare.
    for (DWORD size = 1024;; size *= 2) {
        wchar_t *path = static_cast<wchar_t *>(std::malloc(size * sizeof(wchar_t)));
        if (!path)
            return nullptr;
        DWORD n = GetModuleFileNameW(GetModuleHandleW(nullptr), path, size);
        if (n < size) {
            path[n] = L'\0';
            char *narrow = utf8_from_wide(path);
            std::free(path);
            return narrow;
        }
        std::free(path);
    }
}

char platform_folder_separator() {
    return '\\';
}

bool platform_file_exists(const char *path) {
    wchar_t *wide = wide_from_utf8(path);
    WIN32_FIND_DATAW found;
    HANDLE search = wide ? FindFirstFileW(wide, &found) : INVALID_HANDLE_VALUE;
    std::free(wide);
    if (search == INVALID_HANDLE_VALUE)
        return false;
    FindClose(search);
    return true;
}

bool platform_is_device(const char *path) {
    // Opened for no reading or writing, only to ask what it is.
    wchar_t *wide = wide_from_utf8(path);
    HANDLE file = wide
                      ? CreateFileW(wide, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr)
                      : INVALID_HANDLE_VALUE;
    std::free(wide);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD type = GetFileType(file);
    CloseHandle(file);
    return type == FILE_TYPE_CHAR || type == FILE_TYPE_PIPE;
}

bool platform_is_pipe(std::FILE *stream) {
    HANDLE file = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stream)));
    return file != INVALID_HANDLE_VALUE && GetFileType(file) == FILE_TYPE_PIPE;
}

std::FILE *platform_open_file(const char *path, const char *mode) {
    wchar_t *wide_path = wide_from_utf8(path), *wide_mode = wide_from_utf8(mode);
    std::FILE *file = wide_path && wide_mode ? _wfopen(wide_path, wide_mode) : nullptr;
    std::free(wide_path);
    std::free(wide_mode);
    return file;
}

bool platform_remove_file(const char *path) {
    wchar_t *wide = wide_from_utf8(path);
    bool removed = wide && DeleteFileW(wide) != 0;
    std::free(wide);
    return removed;
}

bool platform_replace_file(const char *from, const char *to) {
    wchar_t *wide_from = wide_from_utf8(from), *wide_to = wide_from_utf8(to);
    bool replaced =
        wide_from && wide_to &&
        MoveFileExW(wide_from, wide_to, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
    std::free(wide_from);
    std::free(wide_to);
    return replaced;
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

bool platform_is_terminal(std::FILE *stream) {
    return _isatty(_fileno(stream)) != 0;
}

void platform_binary_stream(std::FILE *stream) {
    _setmode(_fileno(stream), _O_BINARY);
}

bool platform_reader_gone() {
    // The runtime reports these as EINVAL or EPIPE; the system error, kept
    // by the runtime in _doserrno, tells. Wine says "not connected".
    for (unsigned long error : {static_cast<unsigned long>(GetLastError()), _doserrno})
        if (error == ERROR_BROKEN_PIPE || error == ERROR_NO_DATA ||
            error == ERROR_PIPE_NOT_CONNECTED)
            return true;
    return errno == EPIPE;
}

namespace {

struct parallel_task {
    void (*task)(unsigned, void *);
    void *context;
    unsigned index;
};

DWORD WINAPI run_task(LPVOID argument) {
    const parallel_task *t = static_cast<const parallel_task *>(argument);
    t->task(t->index, t->context);
    return 0;
}

} // namespace

void platform_run_parallel(unsigned count, void (*task)(unsigned index, void *context),
                           void *context) {
    // malloc, not new: C programs link this file too.
    parallel_task *tasks = static_cast<parallel_task *>(std::calloc(count, sizeof *tasks));
    HANDLE *threads = static_cast<HANDLE *>(std::calloc(count, sizeof *threads));
    for (unsigned i = 1; i < count && tasks && threads; i++) {
        tasks[i] = {task, context, i};
        threads[i] = CreateThread(nullptr, 0, run_task, &tasks[i], 0, nullptr);
    }
    if (count > 0)
        task(0, context);
    for (unsigned i = 1; i < count; i++)
        if (threads && threads[i]) {
            WaitForSingleObject(threads[i], INFINITE);
            CloseHandle(threads[i]);
        } else {
            task(i, context);
        }
    std::free(tasks);
    std::free(threads);
}
