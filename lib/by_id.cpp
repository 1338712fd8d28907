// by_id.cpp: the calls of include/onymix.h on names by id and pseudonyms,
// over names/by_id.h: one name into a caller's buffer, and many as lines
// or as entries of the name table.
#define ONYMIX_BUILDING
#include "onymix.h"

#include "arguments.h"

#include "../names/by_id.h"
#include "../names/lines.h"
#include "../names/name_table.h"
#include "../runtime/hex.h"

#include <climits>
#include <cstring>

namespace {

// The ids of a bulk call: ids[0..count) or, with ids null, count from first.
struct id_list {
    unsigned long long first;
    const unsigned long long *ids;
    uint64_t at(size_t i) const {
        return ids ? ids[i] : first + i;
    }
};

bool valid_ids(id_list list, size_t count) {
    return list.ids || count == 0 || count - 1 <= ~0ull - list.first;
}

drawn_name name_of_id(int mode, uint64_t id, const sip_state &key) {
    return name_of_number(mode, number_for_id(mode, id, key));
}

drawn_name pseudonym_of(int mode, const void *value, size_t length, const unsigned char *key) {
    return name_of_number(mode, number_for_value(mode, value, length, key));
}

// The lines of count names, name(i) for each i, into out as onymix_write
// writes them.
template <typename Name>
int write_names(Name name, size_t count, int format, char *out, size_t size, size_t *length) {
    char *at = out, *end = out + size - 1;
    size_t written = 0;
    for (count = at_most_int(count); written < count; written++) {
        char *next = put_line(at, end, name(written), static_cast<name_format>(format));
        if (!next)
            break;
        at = next;
    }
    *at = '\0';
    if (length)
        *length = static_cast<size_t>(at - out);
    return static_cast<int>(written);
}

template <typename Name> int entries_of(Name name, size_t count, int *entries) {
    count = at_most_int(count);
    for (size_t i = 0; i < count; i++) {
        drawn_name drawn = name(i);
        entries[2 * i] = drawn.first_name;
        entries[2 * i + 1] = drawn.surname;
    }
    return static_cast<int>(count);
}

bool valid_lines(int mode, int format, const char *out, size_t size) {
    return valid_mode(mode) && valid_format(format) && out && size >= ONYMIX_LINE_MAX;
}

} // namespace

extern "C" {

int onymix_key_from_hex(const char *text, size_t length, unsigned char *key) {
    if (!text || !key)
        return -1;
    for (size_t i = 0; i < length; i++)
        if (hex_digit(text[i]) < 0)
            return i < INT_MAX ? static_cast<int>(i + 1) : -1;
    if (length != 2 * ONYMIX_KEY_SIZE)
        return -1;
    for (size_t i = 0; i < ONYMIX_KEY_SIZE; i++)
        key[i] =
            static_cast<unsigned char>(hex_digit(text[2 * i]) << 4 | hex_digit(text[2 * i + 1]));
    return 0;
}

int onymix_name_for_id(int mode, unsigned long long id, const unsigned char *key, char *out,
                       size_t size) {
    if (!valid_mode(mode) || !out) {
        clear(out, size);
        return -1;
    }
    return copy_name(name_of_id(mode, id, sip_start(key)), out, size);
}

int onymix_pseudonym(int mode, const void *value, size_t length, const unsigned char *key,
                     char *out, size_t size) {
    if (!valid_mode(mode) || !out || (!value && length > 0)) {
        clear(out, size);
        return -1;
    }
    return copy_name(pseudonym_of(mode, value, length, key), out, size);
}

int onymix_write_ids(int mode, const unsigned char *key, unsigned long long first,
                     const unsigned long long *ids, size_t count, int format, char *out,
                     size_t size, size_t *length) {
    id_list list{first, ids};
    if (!valid_lines(mode, format, out, size) || !valid_ids(list, count))
        return -1;
    sip_state keyed = sip_start(key);
    return write_names([&](size_t i) { return name_of_id(mode, list.at(i), keyed); }, count, format,
                       out, size, length);
}

int onymix_write_pseudonyms(int mode, const unsigned char *key, const void *const *values,
                            const size_t *lengths, size_t count, int format, char *out, size_t size,
                            size_t *length) {
    if (!valid_lines(mode, format, out, size) || !valid_values(values, lengths, count))
        return -1;
    return write_names([&](size_t i) { return pseudonym_of(mode, values[i], lengths[i], key); },
                       count, format, out, size, length);
}

int onymix_entries_for_ids(int mode, const unsigned char *key, unsigned long long first,
                           const unsigned long long *ids, size_t count, int *entries) {
    id_list list{first, ids};
    if (!valid_mode(mode) || !entries || !valid_ids(list, count))
        return -1;
    sip_state keyed = sip_start(key);
    return entries_of([&](size_t i) { return name_of_id(mode, list.at(i), keyed); }, count,
                      entries);
}

int onymix_entries_for_pseudonyms(int mode, const unsigned char *key, const void *const *values,
                                  const size_t *lengths, size_t count, int *entries) {
    if (!valid_mode(mode) || !entries || !valid_values(values, lengths, count))
        return -1;
    return entries_of([&](size_t i) { return pseudonym_of(mode, values[i], lengths[i], key); },
                      count, entries);
}

} // extern "C"
