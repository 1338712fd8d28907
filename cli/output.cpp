// output.cpp: how onymix-cli writes its names (cli.h): each run through one
// of the library's bulk calls into one block, written to standard output as
// it is, so that memory stays the same however many names are asked for.
// The format's header waits in the block (pending bytes) until the first
// names are written behind it.
#include "cli.h"

#include "../platform/system.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>

namespace {

char block[block_size];
size_t pending = 0;

// Writes length bytes of block, which hold `names` names. False when they
// could not be written: code is then the run's exit code, reader_gone or 1
// after a message for any other failure.
bool put(size_t length, unsigned long long names, int &code) {
    if (length && std::fwrite(block, 1, length, stdout) != length) {
        bool gone = platform_reader_gone();
        int error = errno;
        progress_clear();
        code = gone ? reader_gone : 1;
        if (!gone)
            std::fprintf(stderr, "onymix-cli: writing the names: %s\n", std::strerror(error));
        return false;
    }
    progress_add(names);
    return true;
}

// Names 0 to last of a bulk call, written block by block: write(done, out,
// size, length) is the library's call for the names from the done-th on.
// False, with code the run's exit code, when the output failed.
template <class Write>
bool write_bulk(unsigned long long last, const char *call, Write write, int &code) {
    for (unsigned long long done = 0;;) {
        size_t length = 0;
        int made = write(done, block + pending, sizeof block - pending, &length);
        if (made <= 0)
            return code = out_of_order(call), false;
        length += pending;
        pending = 0;
        if (!put(length, static_cast<unsigned long long>(made), code))
            return false;
        if (static_cast<unsigned long long>(made) - 1 >= last - done)
            return true;
        done += static_cast<unsigned long long>(made);
    }
}

} // namespace

void begin_output(int format) {
    const char *header = onymix_format_header(format);
    pending = std::strlen(header);
    std::memcpy(block, header, pending);
}

bool put_header(int &code) {
    size_t length = pending;
    pending = 0;
    return put(length, 0, code);
}

int out_of_order(const char *call) {
    progress_clear();
    std::fprintf(stderr, "onymix-cli: %s refused the names (a bug)\n", call);
    return 1;
}

int write_sequence(onymix_generator *g, int format, long long count) {
    long long remaining = count;
    int code = 0;
    for (;;) {
        size_t length = 0;
        int wanted = remaining < INT_MAX ? static_cast<int>(remaining) : INT_MAX;
        int made =
            onymix_write(g, format, wanted, block + pending, sizeof block - pending, &length);
        remaining -= made > 0 ? made : 0;
        length += pending;
        pending = 0;
        if (!put(length, made > 0 ? made : 0, code))
            return code;
        if (remaining == 0 || made <= 0)
            return 0;
    }
}

int write_id_range(int mode, const unsigned char *key, unsigned long long first,
                   unsigned long long last, int format) {
    int code = 0;
    write_bulk(
        last - first, "onymix_write_ids",
        [&](unsigned long long done, char *out, size_t size, size_t *length) {
            unsigned long long after = last - first - done; // names after this one
            size_t count = after < size ? static_cast<size_t>(after) + 1 : size;
            return onymix_write_ids(mode, key, first + done, nullptr, count, format, out, size,
                                    length);
        },
        code);
    return code;
}

bool write_listed_ids(int mode, const unsigned char *key, const unsigned long long *ids,
                      size_t count, int format, int &code) {
    return count == 0 || write_bulk(
                             count - 1, "onymix_write_ids",
                             [&](unsigned long long done, char *out, size_t size, size_t *length) {
                                 return onymix_write_ids(mode, key, 0, ids + done, count - done,
                                                         format, out, size, length);
                             },
                             code);
}

bool write_pseudonyms(int mode, const unsigned char *key, const void *const *values,
                      const size_t *lengths, size_t count, int format, int &code) {
    return count == 0 ||
           write_bulk(
               count - 1, "onymix_write_pseudonyms",
               [&](unsigned long long done, char *out, size_t size, size_t *length) {
                   return onymix_write_pseudonyms(mode, key, values + done, lengths + done,
                                                  count - done, format, out, size, length);
               },
               code);
}
