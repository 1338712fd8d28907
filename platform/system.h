// system.h: what the portable code needs from the system it runs on.
//
// Every platform supplies all of it in one file of this folder (Windows the
// gate in a second), and the build links its own (CMakeLists.txt):
//   win32.cpp  Windows: GetTickCount, the wide file calls, the system code page
//              (win32_gate.cpp: the gate, which only onymix-cli imports)
//   posix.cpp  Linux and other POSIX systems: the monotonic clock, stdio,
//              ASCII as the code page
//   web.cpp    the WebAssembly build: the clock its JavaScript host gives
//              and UTF-8 as the code page; it has no files or streams, so
//              it supplies nothing else and links nothing that needs them
// The tests link doubles instead (tests/support/fake_platform.cpp). The
// windowed program's text fields and questions are a seam of the program's
// own, program/fields.h.
//
// Every path given to or returned by these services is UTF-8, so that a
// folder of any name works wherever the portable code passes it on; the
// platform turns it into whatever its system calls take. Nothing here keeps
// state or uses the scratch ring, so the library may link it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

// Milliseconds since the system started, modulo 2^32.
uint32_t platform_tick_count();

// The full path of the running executable, whole however long, in UTF-8,
// in memory from std::malloc that the caller frees; "" when no path is
// known, null only when memory runs out.
char *platform_executable_path();

// The character that ends a folder name in a path: '\\' on Windows, '/' on POSIX.
char platform_folder_separator();

// True when something, a folder included, exists under exactly this path.
bool platform_file_exists(const char *path);

// True when path names a device or a pipe (/dev/null, a FIFO; NUL or CON
// on Windows): something that takes what is written to it as it comes, and
// that a file put in its place would replace.
bool platform_is_device(const char *path);

// True when stream is a pipe or a socket: another program at its other
// end, writing what is read as it makes it (pg_dump | onymix-cli).
bool platform_is_pipe(std::FILE *stream);
// Opens the file at path as std::fopen does with mode ("rb" or "wb");
// null when it cannot be opened. The caller closes it with std::fclose.
std::FILE *platform_open_file(const char *path, const char *mode);

// Removes the file at path. True on success.
bool platform_remove_file(const char *path);

// Puts the file 'from' in the place of 'to' in one step, replacing 'to' if
// it exists. True on success; on failure 'to' is as it was.
bool platform_replace_file(const char *from, const char *to);

// Runs task(i, context) for each i from 0 to count - 1, each on a thread of
// its own (the first on the calling thread), and returns when all have
// ended. A thread that cannot be started has its task run on the calling
// thread instead, so every task always runs.
void platform_run_parallel(unsigned count, void (*task)(unsigned index, void *context),
                           void *context);

// A lock, and the waiting for a change that it guards, for the tasks of
// platform_run_parallel to hand one another work: a thread that waits at
// the gate spends no processor time. platform_gate_open gives null when
// the system has no room for one; platform_gate_close ends it, with no
// thread left waiting.
struct platform_gate;
platform_gate *platform_gate_open();
void platform_gate_close(platform_gate *gate);
void platform_gate_lock(platform_gate *gate);
void platform_gate_unlock(platform_gate *gate);

// Called locked: unlocks, waits until another thread calls
// platform_gate_wake (or, rarely, for no reason), and locks again.
void platform_gate_wait(platform_gate *gate);

// Wakes every thread waiting at the gate.
void platform_gate_wake(platform_gate *gate);

// The conversions between UTF-16 and the system code page, the 8-bit
// character set of the text boxes and of stored.txt. Each converts the
// whole input (count UTF-16 code units, or length bytes; a NUL is a
// character like any other and none is added) and returns how many units
// the result takes. It writes the result to out only when room holds all
// of it, so a call with room 0 (out may then be null) measures. *exact is
// set on every call: false when some character has no form of its own on
// the other side (it is replaced, by '?' or U+FFFD, or the result is empty),
// half a surrogate pair included.
size_t platform_code_page_from_utf16(const uint16_t *units, size_t count, char *out, size_t room,
                                     bool *exact);
size_t platform_utf16_from_code_page(const char *text, size_t length, uint16_t *out, size_t room,
                                     bool *exact);

// Whether stream is a terminal (a console on Windows) rather than a file or
// a pipe.
bool platform_is_terminal(std::FILE *stream);

// Makes stream, a standard stream not yet used, carry its bytes as they
// are. On Windows the standard streams start as text, which reads CR LF as
// LF and ends at the byte 0x1A (Ctrl+Z); POSIX streams are always bytes, so
// there this does nothing.
void platform_binary_stream(std::FILE *stream);

// After a write to standard output failed: true when it failed because the
// reader has gone away (a closed pipe), which is no error, only the end of
// the wanted output. On POSIX the caller ignores SIGPIPE first, so that the
// write fails instead of ending the process.
bool platform_reader_gone();
