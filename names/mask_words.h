// mask_words.h: the pseudonyms of the commonest words of real names under
// one key, worked out once, so that the many maskings of a run look such a
// word up instead of hashing it (and, for a first name, looking up its
// sex). The words are every first name of the lists and the 5,000
// commonest surnames, 9,523 texts: a table of them (400 KB) stays in the
// processor's caches, where one of every listed word would not, and a
// word looked up far away in memory costs more than its hash. The entries
// are the ones the hash gives (mask.h), so a masking made with the table
// is the one made without it; only its cost changes. The table holds what
// the key makes of those names, and the key's state, as secret as the
// key: both are wiped when it goes.
#pragma once

#include "modes.h"
#include "siphash.h"

#include <cstddef>
#include <cstdint>

// A word: its folded text (small ASCII letters) in two little-endian
// words, the bytes after it zero but for byte 15, which holds the place in
// entry of its sex as a first name (first_name_mode); and the table
// entries of its pseudonyms as a female, a male and an either first name,
// and as a surname, in that order (mask_words::place).
struct mask_word {
    uint64_t text[2];
    uint16_t entry[4];

    // The entry of its pseudonym as a first name of its own sex.
    int first_name_entry() const {
        return entry[text[1] >> 56];
    }
};

class mask_words {
  public:
    // The longest word of the lists.
    static const size_t longest = 13;
    // The surnames looked up, from the commonest.
    static const int looked_up_surnames = 5000;

    // The words under a key's state (sip_start of its 16 bytes); none, when
    // there was no memory for them (made says so).
    explicit mask_words(const sip_state &key);
    ~mask_words();
    mask_words(const mask_words &) = delete;
    mask_words &operator=(const mask_words &) = delete;
    bool made() const {
        return slots != nullptr;
    }
    // The key's state the words were made under.
    const sip_state &key() const {
        return key_state;
    }

    // The word of length bytes of small ASCII letters at folded, which the
    // caller follows with 8 zero bytes (so that 16 bytes may be read), or
    // null when it is none of the table's. Only for words that were made.
    const mask_word *find(const unsigned char *folded, size_t length) const {
        if (length > longest)
            return nullptr;
        uint64_t low = little_endian_word<uint64_t>(folded);
        uint64_t high = length > 8 ? little_endian_word<uint64_t>(folded + 8) : 0;
        uint64_t mixed = mixed_of(low, high), tag = ones * tag_of(mixed);
        // The tags of eight slots at a time from the word's own: a word is
        // in none after the first empty one. The slots themselves are read
        // only where the tag is the word's, so that a word that is none of
        // the table's, as most rare surnames are, seldom leaves the tags.
        for (size_t group = slot_of(mixed);; group = (group + 8) & (slot_count - 1)) {
            uint64_t tags8 = little_endian_word<uint64_t>(tags + group);
            uint64_t empty = zero_bytes(tags8);
            // The slots before the first empty one (all eight when none is).
            uint64_t candidates = zero_bytes(tags8 ^ tag) & ((empty & -empty) - 1);
            for (; candidates; candidates &= candidates - 1) {
                const mask_word &word =
                    slots[(group + static_cast<size_t>(__builtin_ctzll(candidates)) / 8) &
                          (slot_count - 1)];
                if (word.text[0] == low && (word.text[1] & ~sex_byte) == high)
                    return &word;
            }
            if (empty)
                return nullptr;
        }
    }

    // The place in mask_word::entry of a mode: mode_female, mode_male,
    // mode_any or mode_surname.
    static int place(int mode) {
        return mode == mode_female ? 0 : mode == mode_male ? 1 : mode == mode_any ? 2 : 3;
    }

  private:
    // Room for the words with more than a third of it left empty, so that
    // a word that is none of them is found missing at once.
    static const int slot_bits = 14;
    static const size_t slot_count = size_t(1) << slot_bits;
    static const size_t memory_size = slot_count * sizeof(mask_word) + slot_count + 8;
    static const uint64_t sex_byte = uint64_t(0xFF) << 56;
    static const uint64_t ones = 0x0101010101010101u;
    sip_state key_state;
    // slot_count of them, and after them in the same memory from calloc
    // the tags: for each slot a byte of its word's hash, 0 when it is
    // empty, the first eight again at the end, so that eight may be read
    // from any slot on.
    mask_word *slots;
    unsigned char *tags;

    static uint64_t mixed_of(uint64_t low, uint64_t high) {
        uint64_t mixed = low * 0x9E3779B97F4A7C15u ^ high * 0xC2B2AE3D27D4EB4Fu;
        return (mixed ^ mixed >> 29) * 0xBF58476D1CE4E5B9u;
    }
    static size_t slot_of(uint64_t mixed) {
        return static_cast<size_t>(mixed >> (64 - slot_bits));
    }
    // Never 0, and from other bits than the slot's.
    static unsigned char tag_of(uint64_t mixed) {
        return static_cast<unsigned char>(0x80 | (mixed & 0x7F));
    }
    // Bit 7 of each byte of x that is 0, and no other bit.
    static uint64_t zero_bytes(uint64_t x) {
        const uint64_t lows = 0x7F7F7F7F7F7F7F7Fu;
        return ~(((x & lows) + lows) | x | lows);
    }
};
