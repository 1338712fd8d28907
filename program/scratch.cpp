// scratch.cpp: the scratch string ring, and join and copy on it.
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
