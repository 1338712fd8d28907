// input.cpp: what onymix-cli reads (cli.h): the key file, and standard
// input in lines for the runs of --by-id and --pseudonymize, each of which
// writes the names of a batch of lines before it reads on.
#include "cli.h"

#include "../platform/system.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

// A line of input as a message shows it: quoted, the bytes that are no
// printable ASCII as \xNN, and cut after 40 bytes.
std::string quoted(const char *text, size_t length) {
    std::string shown = "\"";
    for (size_t i = 0; i < length && i < 40; i++) {
        unsigned char c = static_cast<unsigned char>(text[i]);
        if (c >= 0x20 && c < 0x7F && c != '"' && c != '\\') {
            shown += static_cast<char>(c);
        } else {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02x", c);
            shown += escaped;
        }
    }
    return shown + (length > 40 ? "\"..." : "\"");
}

bool all_digits(const char *text, size_t length) {
    for (size_t i = 0; i < length; i++)
        if (text[i] < '0' || text[i] > '9')
            return false;
    return length > 0;
}

// Bytes of standard input into at, at most room. From a terminal a line at
// a time, so that its names come as each is typed; otherwise as much as
// there is. end is set at the end of the input.
size_t read_input(char *at, size_t room, bool typed, bool &end) {
    if (!typed) {
        size_t got = std::fread(at, 1, room, stdin);
        end = got < room;
        return got;
    }
    size_t got = 0;
    while (got < room) {
        int c = std::getc(stdin);
        if (c == EOF) {
            end = true;
            break;
        }
        at[got++] = static_cast<char>(c);
        if (c == '\n')
            break;
    }
    return got;
}

// Standard input in lines, each without its LF or CR LF (the last may have
// neither), handed to take(values, lengths, count, number, code) in batches
// of the lines the input buffer holds whole; number is the first one's line
// number. take returns false to end the run with code. Returns the run's
// exit code.
template <class Take> int read_lines(Take take) {
    bool typed = platform_is_terminal(stdin);
    std::vector<char> input(block_size);
    std::vector<const void *> values;
    std::vector<size_t> lengths;
    size_t held = 0;
    unsigned long long number = 1;
    for (bool end = false; !end;) {
        held += read_input(input.data() + held, input.size() - held, typed, end);
        if (std::ferror(stdin)) {
            int error = errno;
            progress_clear();
            std::fprintf(stderr, "onymix-cli: reading standard input: %s\n", std::strerror(error));
            return 1;
        }
        values.clear();
        lengths.clear();
        const char *text = input.data();
        size_t used = 0;
        while (const void *found = std::memchr(text + used, '\n', held - used)) {
            size_t lf = static_cast<size_t>(static_cast<const char *>(found) - text);
            values.push_back(text + used);
            lengths.push_back(lf - used - (lf > used && text[lf - 1] == '\r'));
            used = lf + 1;
        }
        if (end && used < held) {
            values.push_back(text + used);
            lengths.push_back(held - used);
            used = held;
        }
        int code = 0;
        if (!values.empty() && !take(values.data(), lengths.data(), values.size(), number, code))
            return code;
        number += values.size();
        std::memmove(input.data(), input.data() + used, held - used);
        held -= used;
        if (held == input.size()) // one line fills the buffer
            input.resize(2 * input.size());
    }
    return 0;
}

} // namespace

int read_key_file(const char *path, unsigned char key[ONYMIX_KEY_SIZE]) {
    std::FILE *file = platform_open_file(path, "rb");
    if (!file) {
        std::fprintf(stderr, "onymix-cli: key file %s: %s\n", path, std::strerror(errno));
        return 2;
    }
    char bytes[2 * ONYMIX_KEY_SIZE + 3];
    size_t size = std::fread(bytes, 1, sizeof bytes, file);
    int error = std::ferror(file) ? errno : 0;
    std::fclose(file);
    if (error) {
        std::fprintf(stderr, "onymix-cli: key file %s: %s\n", path, std::strerror(error));
        return 2;
    }
    if (size == ONYMIX_KEY_SIZE) {
        std::memcpy(key, bytes, ONYMIX_KEY_SIZE);
        return 0;
    }
    size_t digits = 2 * ONYMIX_KEY_SIZE;
    bool ends_well = size == digits || (size == digits + 1 && bytes[digits] == '\n') ||
                     (size == digits + 2 && bytes[digits] == '\r' && bytes[digits + 1] == '\n');
    if (ends_well && parse_key(bytes, digits, key).empty())
        return 0;
    std::fprintf(stderr,
                 "onymix-cli: key file %s: no key: it must hold 16 bytes, or 32 hex digits "
                 "and an optional newline\n",
                 path);
    return 2;
}

int write_by_id(int mode, const unsigned char *key, int format) {
    std::vector<unsigned long long> ids;
    return read_lines([&](const void *const *lines, const size_t *lengths, size_t count,
                          unsigned long long number, int &code) {
        ids.resize(count);
        for (size_t i = 0; i < count; i++) {
            const char *line = static_cast<const char *>(lines[i]);
            if (parse_unsigned(line, line + lengths[i], ids[i]))
                continue;
            // The names of the lines before, then the message.
            if (!write_listed_ids(mode, key, ids.data(), i, format, code) || !put_header(code))
                return false;
            progress_clear();
            std::string why = lengths[i] == 0 ? "an empty line is no id"
                              : all_digits(line, lengths[i])
                                  ? "too large for an id, which is at most 18446744073709551615"
                                  : "not an id, a decimal number from 0 to 18446744073709551615";
            std::fprintf(stderr, "onymix-cli: line %s of standard input: %s: %s\n",
                         std::to_string(number + i).c_str(), why.c_str(),
                         quoted(line, lengths[i]).c_str());
            code = 2;
            return false;
        }
        return write_listed_ids(mode, key, ids.data(), count, format, code);
    });
}

int write_pseudonyms_of_lines(int mode, const unsigned char *key, int format) {
    return read_lines([&](const void *const *lines, const size_t *lengths, size_t count,
                          unsigned long long, int &code) {
        return write_pseudonyms(mode, key, lines, lengths, count, format, code);
    });
}
