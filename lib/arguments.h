// arguments.h: what the library's files share in checking arguments and in
// writing one name into a caller's buffer.
#pragma once

#include "../names/lines.h"

#include <climits>
#include <cstddef>
#include <cstring>

inline bool valid_mode(int mode) {
    return mode >= 0 && mode < all_mode_count;
}

inline bool valid_format(int format) {
    return format >= 0 && format < format_count;
}

// At most INT_MAX names a call, as the count of names is returned as an int.
inline size_t at_most_int(size_t count) {
    return count > static_cast<size_t>(INT_MAX) ? static_cast<size_t>(INT_MAX) : count;
}

// Values are given unless there are none, and each is given unless empty.
inline bool valid_values(const void *const *values, const size_t *lengths, size_t count) {
    if (count > 0 && (!values || !lengths))
        return false;
    for (size_t i = 0; i < count; i++)
        if (!values[i] && lengths[i] > 0)
            return false;
    return true;
}

// An empty text into out, when it has room for one.
inline void clear(char *out, size_t size) {
    if (out && size > 0)
        *out = '\0';
}

// The name as text, NUL-terminated, into out; its length, or -1 (with ""
// written when size > 0) when size has no room for it and its NUL.
inline int copy_name(drawn_name name, char *out, size_t size) {
    char line[longest_line];
    size_t length = static_cast<size_t>(write_line(line, name, format_text) - line) - 1;
    if (length + 1 > size) {
        clear(out, size);
        return -1;
    }
    std::memcpy(out, line, length);
    out[length] = '\0';
    return static_cast<int>(length);
}
