// mask_cache.cpp: the cache of maskings (mask_cache.h), an open-addressing
// table over one string of the values' and maskings' bytes. The table
// doubles as it fills, so that a column of a few thousand names keeps a
// small one, near the processor.
#include "mask_cache.h"

#include "byte_scan.h"

#include <algorithm>
#include <cstring>

namespace {

const size_t first_slots = 1024;

uint64_t mixed(uint64_t x) {
    x ^= x >> 32;
    x *= 0xD6E8FEB86659FD93u;
    return x ^ x >> 32;
}

uint32_t tag_of(uint64_t hash) {
    uint32_t tag = static_cast<uint32_t>(hash >> 32);
    return tag ? tag : 1;
}

// The first 8 bytes of a value, the first byte lowest, and zeros after a
// shorter one's: the whole of most names, so that they are compared
// without memcmp. Loads that may overlap, as a byte read twice changes
// nothing, within the value's bytes.
inline uint64_t head_of(const char *value, size_t length) {
    using byte_scan::four_at;
    if (length >= 8)
        return byte_scan::word_at(value);
    if (length >= 4)
        return four_at(value) | four_at(value + length - 4) << (8 * (length - 4));
    const unsigned char *bytes = reinterpret_cast<const unsigned char *>(value);
    return length == 0 ? 0
                       : bytes[0] | static_cast<uint64_t>(bytes[length / 2]) << (8 * (length / 2)) |
                             static_cast<uint64_t>(bytes[length - 1]) << (8 * (length - 1));
}

} // namespace

mask_cache::mask_cache(uint64_t seed_, size_t most_values_, size_t most_bytes_)
    : most_values(most_values_ ? most_values_ : 1), most_bytes(most_bytes_), seed(mixed(seed_)) {}

uint64_t mask_cache::hash_of(const char *value, size_t length, uint64_t head) const {
    uint64_t h = (seed ^ head) * 0x9E3779B97F4A7C15u ^ length;
    for (size_t i = 8; i < length; i += 8) {
        // The bytes after the head in words, the last of them overlapping
        // the one before: which bytes they are follows from the length.
        uint64_t word;
        std::memcpy(&word, value + (i + 8 <= length ? i : length - 8), 8);
        h = (h ^ word) * 0x9E3779B97F4A7C15u;
    }
    return mixed(h);
}

const mask_cache::slot *mask_cache::slot_of(const char *value, size_t length, uint64_t head,
                                            uint64_t hash) const {
    uint32_t tag = tag_of(hash);
    size_t mask = slots.size() - 1;
    for (size_t at = static_cast<size_t>(hash) & mask;; at = (at + 1) & mask) {
        const slot &s = slots[at];
        if (s.hash == 0)
            return nullptr;
        if (s.head == head && s.hash == tag && s.length == length &&
            (length <= 8 || std::memcmp(bytes.data() + s.at + 8, value + 8, length - 8) == 0))
            return &s;
    }
}

bool mask_cache::find_kept(const char *value, size_t length, const char *&text, size_t &masked) {
    if (used == 0 || length > longest)
        return false;
    uint64_t head = head_of(value, length);
    const slot *s = slot_of(value, length, head, hash_of(value, length, head));
    if (!s)
        return false;
    text = bytes.data() + s->at + length;
    masked = s->masked;
    found++;
    return true;
}

void mask_cache::forget() {
    forgets++;
    // Fewer values found again than one in four kept: the cache costs more
    // than it saves, and rests for four fillings' worth of values, twice as
    // long each time it comes back to no better, up to 64 fillings' worth.
    if (found < used / 4) {
        rest = rest ? std::min(2 * rest, 64 * most_values) : 4 * most_values;
        resting = rest;
        slots = std::vector<slot>();
        bytes = std::string();
    } else {
        rest = 0;
        slots.assign(slots.size(), slot{});
        bytes.clear();
    }
    used = found = 0;
}

void mask_cache::keep_one(const char *value, size_t length, const char *text, size_t masked) {
    if (length > longest || length + masked > most_bytes)
        return;
    if (used == most_values || bytes.size() + length + masked > most_bytes) {
        forget();
        if (resting)
            return;
    }
    // At most half full, so that a search ends soon at a free slot.
    if (2 * (used + 1) > slots.size()) {
        std::vector<slot> old(std::max(first_slots, 2 * slots.size()));
        old.swap(slots);
        for (const slot &s : old)
            if (s.hash) {
                size_t at = hash_of(bytes.data() + s.at, s.length, s.head) & (slots.size() - 1);
                while (slots[at].hash)
                    at = (at + 1) & (slots.size() - 1);
                slots[at] = s;
            }
    }
    uint64_t head = head_of(value, length), h = hash_of(value, length, head);
    if (slot_of(value, length, head, h))
        return; // kept already
    size_t mask = slots.size() - 1, at = static_cast<size_t>(h) & mask;
    while (slots[at].hash != 0)
        at = (at + 1) & mask;
    slots[at] = slot{head, tag_of(h), static_cast<uint32_t>(bytes.size()),
                     static_cast<uint32_t>(length), static_cast<uint32_t>(masked)};
    bytes.append(value, length);
    bytes.append(text, masked);
    used++;
}
