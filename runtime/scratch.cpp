// scratch.cpp: the scratch string ring and join, copy and replace on it.
#include "scratch.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {
const int ring_slots = 64;
char *ring[ring_slots];
int ring_next;
} // namespace

char *scratch(size_t length) {
    char *&slot = ring[ring_next];
    ring_next = (ring_next + 1) % ring_slots;
    std::free(slot);
    slot = static_cast<char *>(std::calloc(length + 256, 1));
    if (!slot) {
        // Nothing sensible can go on without memory for a string; stopping
        // here is better than writing through a null pointer.
        std::fputs("Out of memory\n", stderr);
        std::abort();
    }
    return slot;
}

char *join(std::initializer_list<const char *> parts) {
    size_t length = 0;
    for (const char *part : parts)
        length += std::strlen(part);
    char *result = scratch(length);
    char *end = result;
    for (const char *part : parts) {
        size_t n = std::strlen(part);
        std::memcpy(end, part, n);
        end += n;
    }
    return result;
}

char *copy_text(const char *text) {
    return join({text});
}

namespace {

// The first occurrence of find (of find_length > 0 bytes) in text, or null.
// Scans only as far as the match, so repeated searches along a text stay
// linear in its length.
const char *find_in(const char *text, const char *find, size_t find_length) {
    for (; *text; text++)
        if (*text == *find && std::strncmp(text, find, find_length) == 0)
            return text;
    return nullptr;
}

} // namespace

char *replace_text(const char *text, const char *find, const char *with) {
    size_t find_length = std::strlen(find);
    if (find_length == 0)
        return copy_text(text);
    size_t with_length = std::strlen(with);
    size_t count = 0;
    for (const char *at = find_in(text, find, find_length); at;
         at = find_in(at + find_length, find, find_length))
        count++;
    size_t length = std::strlen(text) - count * find_length + count * with_length;
    char *result = scratch(length);
    char *end = result;
    for (const char *at = find_in(text, find, find_length); at;
         at = find_in(text, find, find_length)) {
        std::memcpy(end, text, static_cast<size_t>(at - text));
        end += at - text;
        std::memcpy(end, with, with_length);
        end += with_length;
        text = at + find_length;
    }
    std::strcpy(end, text);
    return result;
}
