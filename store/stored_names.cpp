// stored_names.cpp: locating, loading and saving the stored-names file.
//
// Files are read and written as bytes, through the platform's calls, which
// take the UTF-8 path whole, and the line ends are translated here, so that
// every build reads and writes the same bytes: on reading, a CR
// directly before an LF is dropped; on writing, every LF becomes CR LF. No
// other byte has a meaning (0x1A does not end the file).
#include "stored_names.h"

#include "../runtime/platform.h"
#include "../runtime/scratch.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

const char *stored_names_path = "stored.txt";

namespace {

void write_failure_line(const char *path) {
    std::fprintf(stderr, "Can't open file %s\n", path);
    std::fflush(stderr);
}

} // namespace

void fail_on_file(const char *path) {
    write_failure_line(path);
    platform_report_file_failure(join({"Can't open file ", path}), false);
    std::exit(1);
}

char *program_folder() {
    char *path = platform_executable_path();
    char separator = platform_folder_separator();
    // The first character is never examined, so a path that is only a
    // separator stays whole.
    for (size_t i = std::strlen(path); i > 1; i--) {
        if (path[i - 1] == separator) {
            path[i] = '\0';
            break;
        }
    }
    return path;
}

void form_stored_names_path() {
    // Kept for the whole run, so it is copied out of the scratch ring; a path
    // formed by an earlier call is released.
    static char *kept;
    const char *path = join({program_folder(), "stored.txt"});
    size_t size = std::strlen(path) + 1;
    char *formed = static_cast<char *>(std::malloc(size));
    if (!formed)
        fail_on_file(path);
    std::memcpy(formed, path, size);
    std::free(kept);
    kept = formed;
    stored_names_path = kept;
}

namespace {

// The whole content of an open file; size is set to its length.
char *read_whole_file(std::FILE *file, size_t &size) {
    size_t capacity = 64 * 1024;
    char *data = static_cast<char *>(std::malloc(capacity));
    size = 0;
    while (data) {
        size += std::fread(data + size, 1, capacity - size, file);
        if (size < capacity)
            break;
        capacity *= 2;
        char *bigger = static_cast<char *>(std::realloc(data, capacity));
        if (!bigger)
            std::free(data);
        data = bigger;
    }
    return data;
}

} // namespace

char *load_stored_names() {
    if (!platform_file_exists(stored_names_path)) {
        std::FILE *created = platform_open_file(stored_names_path, "wb");
        if (!created || std::fclose(created) != 0)
            fail_on_file(stored_names_path);
        return scratch(0);
    }

    std::FILE *file = platform_open_file(stored_names_path, "rb");
    if (!file)
        fail_on_file(stored_names_path);
    size_t size = 0;
    char *data = read_whole_file(file, size);
    // A read that fails part way (a folder on POSIX, a device error) would
    // leave names out, and the next save would lose them: treat it like a
    // file that cannot be opened.
    bool failed = !data || std::ferror(file);
    std::fclose(file);
    if (failed) {
        std::free(data);
        fail_on_file(stored_names_path);
    }

    // Each line of n bytes and its LF becomes at most n bytes and CR LF.
    char *text = scratch(size + size / 2 + 2);
    char *end = text;
    size_t line_start = 0;
    for (size_t i = 0; i <= size; i++) {
        bool line_end = i == size || data[i] == '\n';
        if (!line_end)
            continue;
        // The line's text is its bytes up to the LF, less a CR directly
        // before the LF, and stops at a NUL byte.
        size_t line_end_at = i;
        if (i < size && line_end_at > line_start && data[line_end_at - 1] == '\r')
            line_end_at--;
        size_t length = line_end_at - line_start;
        const void *nul = std::memchr(data + line_start, '\0', length);
        if (nul)
            length = static_cast<size_t>(static_cast<const char *>(nul) - (data + line_start));
        if (length > 0) {
            std::memcpy(end, data + line_start, length);
            end += length;
            *end++ = '\r';
            *end++ = '\n';
        }
        line_start = i + 1;
    }
    std::free(data);
    return text;
}

namespace {

// Writes text with every LF as CR LF; false on any write error.
bool write_with_crlf(std::FILE *file, const char *text) {
    while (*text) {
        const char *lf = std::strchr(text, '\n');
        size_t length = lf ? static_cast<size_t>(lf - text) : std::strlen(text);
        if (std::fwrite(text, 1, length, file) != length)
            return false;
        if (!lf)
            break;
        if (std::fwrite("\r\n", 1, 2, file) != 2)
            return false;
        text = lf + 1;
    }
    return true;
}

} // namespace

namespace {

// One attempt at the save; false, with the old file as it was and no
// temporary file left behind, when any step fails.
bool try_save() {
    const char *text = replace_text(platform_read_field(field_stored_names), "\r", "");

    // Write a complete new file beside the old one and only then put it in
    // the old one's place, so that a failure at any point (disk full, device
    // gone) leaves the user's file as it was.
    const char *temporary = join({stored_names_path, ".new"});
    std::FILE *file = platform_open_file(temporary, "wb");
    if (!file)
        return false;
    bool written = write_with_crlf(file, text);
    written = std::fflush(file) == 0 && written && !std::ferror(file);
    written = std::fclose(file) == 0 && written;
    if (!written || !platform_replace_file(temporary, stored_names_path)) {
        platform_remove_file(temporary);
        return false;
    }
    return true;
}

} // namespace

void save_stored_names() {
    // The names of the whole run are only in the box: a failed save is
    // reported and may be tried again (the user may free the file or the
    // disk meanwhile); only giving up ends the process.
    while (!try_save()) {
        write_failure_line(stored_names_path);
        if (!platform_report_file_failure(
                join({"Can't save stored names to file ", stored_names_path}), true))
            std::exit(1);
    }
}
