// stored_names.cpp: locating, loading and saving the stored-names file.
//
// Files are read and written as bytes, through the platform's calls, which
// take the UTF-8 path whole; what the bytes mean (line ends, marks, UTF-16)
// is store/stored_text.cpp's, so that every build reads and writes the same
// bytes. No byte has a meaning of its own beyond those (0x1A does not end a
// file).
#include "stored_names.h"

#include "fields.h"
#include "scratch.h"

#include "../platform/system.h"
#include "../store/stored_text.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

const char *stored_names_path = "stored.txt";

namespace {

void write_error_line(const char *line) {
    std::fprintf(stderr, "%s\n", line);
    std::fflush(stderr);
}

// Ends a start-up that cannot go on: the message on the standard error
// stream and to the user, then exit code 1.
[[noreturn]] void fail_at_start(const char *message) {
    write_error_line(message);
    platform_report_file_failure(message, false);
    std::exit(1);
}

} // namespace

void fail_on_file(const char *path) {
    fail_at_start(join({"Can't open file ", path}));
}

char *program_folder() {
    char *found = platform_executable_path();
    if (!found)
        fail_at_start("Out of memory");
    char *path = copy_text(found);
    std::free(found);
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

// The encoding the load found, for the save to write back.
stored_encoding found_encoding = encoding_code_page;

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
    found_encoding = encoding_code_page;
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

    stored_text loaded = stored_text_from_bytes(data, size);
    std::free(data);
    if (loaded.outcome == text_unshowable)
        fail_at_start(join(
            {"Can't read file ", stored_names_path, ": it holds characters Onymix cannot show"}));
    if (loaded.outcome != text_read)
        fail_on_file(stored_names_path);
    found_encoding = loaded.encoding;
    char *text = scratch(loaded.length);
    std::memcpy(text, loaded.text, loaded.length);
    std::free(loaded.text);
    return text;
}

namespace {

// One attempt at the save; false, with the old file as it was and no
// temporary file left behind, when any step fails.
bool try_save() {
    size_t size = 0;
    char *bytes =
        stored_bytes_from_text(platform_read_field(field_stored_names), found_encoding, &size);
    if (!bytes)
        return false;

    // Write a complete new file beside the old one and only then put it in
    // the old one's place, so that a failure at any point (disk full, device
    // gone) leaves the user's file as it was.
    const char *temporary = join({stored_names_path, ".new"});
    std::FILE *file = platform_open_file(temporary, "wb");
    if (!file) {
        std::free(bytes);
        return false;
    }
    bool written = std::fwrite(bytes, 1, size, file) == size;
    std::free(bytes);
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
        write_error_line(join({"Can't open file ", stored_names_path}));
        if (!platform_report_file_failure(
                join({"Can't save stored names to file ", stored_names_path}), true))
            std::exit(1);
    }
}
