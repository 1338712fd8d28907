// platform.h: the few services the portable core needs from the system it
// runs on. Each is defined once per platform and the build links one set:
// the system services in platform_posix.cpp for native builds and in
// shell/platform_win32.cpp on Windows; the text fields, mode chooser,
// questions and loop end in shell/fields_win32.cpp, for the Windows program
// (native programs have no window system and use none of them, apart from
// the file-failure report, which platform_posix.cpp answers with "no"); all
// of them in tests/fake_platform.cpp for the tests. The clock, the one
// service the name generator uses, has files of its own beside the library
// that needs nothing else (lib/clock_posix.cpp, lib/clock_win32.cpp,
// lib/clock_web.cpp). The WebAssembly build carries the stored-names rules
// of store/stored_text.h too, and lib/platform_web.cpp gives them the
// code-page conversions, with UTF-8 as the code page.
//
// Every path given to or returned by these services is UTF-8, so that a
// folder of any name works wherever the core passes it on; the platform
// turns it into whatever its system calls take.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

// Milliseconds since the system started, modulo 2^32.
uint32_t platform_tick_count();

// The full path of the running executable, whole however long, in UTF-8, in
// a scratch buffer (valid for 64 further scratch requests).
char *platform_executable_path();

// The character that ends a folder name in a path: '\\' on Windows, '/' on POSIX.
char platform_folder_separator();

// True when something, a folder included, exists under exactly this path.
bool platform_file_exists(const char *path);

// Opens the file at path as std::fopen does with mode ("rb" or "wb");
// null when it cannot be opened. The caller closes it with std::fclose.
std::FILE *platform_open_file(const char *path, const char *mode);

// Removes the file at path. True on success.
bool platform_remove_file(const char *path);

// Puts the file 'from' in the place of 'to' in one step, replacing 'to' if
// it exists. True on success; on failure 'to' is as it was.
bool platform_replace_file(const char *from, const char *to);

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

// The two text boxes of the main window as the logic sees them.
enum text_field { field_name_box, field_stored_names };

// The whole text of the field, in a scratch buffer; never null.
char *platform_read_field(text_field field);

// Replaces the whole text of the field.
void platform_write_field(text_field field, const char *text);

// The generation mode selected in the mode chooser, -1 when none is.
int platform_selected_mode();

// Asks a yes/no question; true only for the answer Yes.
bool platform_ask_yes_no(const char *question, const char *caption);

// Tells the user that the stored-names file could not be used (the line on
// the standard error stream is already written): message is the whole text
// to show. With retry_offered the user may ask to try again; true only for
// that answer. Where no one can be asked, nothing is shown and the answer is
// no.
bool platform_report_file_failure(const char *message, bool retry_offered);

// Asks the message loop to end with this code once the current command is done.
void platform_end_loop(int code);
