// mask_words.cpp: the table of the commonest words under one key, an open
// hash table of their folded texts, each entry hashed as a masking hashes
// it: SipHash of the mode's byte and the folded text.
#include "mask_words.h"

#include "by_id.h"
#include "first_name_sex.h"
#include "name_table.h"

#include <cstdlib>

namespace {

// The modes of the places of mask_word::entry.
const int modes[4] = {mode_female, mode_male, mode_any, mode_surname};

// Zeros over size bytes at memory, through a volatile pointer, so that the
// wiping is not left out as a store that nothing reads.
void wipe(void *memory, size_t size) {
    volatile unsigned char *bytes = static_cast<unsigned char *>(memory);
    for (size_t i = 0; i < size; i++)
        bytes[i] = 0;
}

} // namespace

mask_words::mask_words(const sip_state &key)
    : key_state(key), slots(static_cast<mask_word *>(std::calloc(1, memory_size))),
      tags(slots ? reinterpret_cast<unsigned char *>(slots + slot_count) : nullptr) {
    for (int index = 0; made() && index < surname_first + looked_up_surnames; index++) {
        // The mode's byte, the folded text and the zeros after it.
        unsigned char message[1 + 16] = {};
        const char *name = name_at(index);
        size_t length = name_length(index);
        bool letters = length >= 2 && length <= longest;
        for (size_t i = 0; letters && i < length; i++) {
            unsigned char c = static_cast<unsigned char>(name[i]) | 0x20;
            letters = c >= 'a' && c <= 'z';
            message[1 + i] = c;
        }
        // A word of other bytes would never be looked up (the lists hold
        // none); a text met before is a name of both first-name lists, or
        // a first name that is a surname too.
        if (!letters || find(message + 1, length))
            continue;
        uint64_t low = little_endian_word<uint64_t>(message + 1);
        uint64_t high = little_endian_word<uint64_t>(message + 9);
        uint64_t mixed = mixed_of(low, high);
        size_t at = slot_of(mixed);
        while (slots[at].text[0] != 0)
            at = (at + 1) & (slot_count - 1);
        tags[at] = tag_of(mixed);
        if (at < 8)
            tags[slot_count + at] = tags[at];
        mask_word &word = slots[at];
        int sex = first_name_mode(message + 1, length);
        word.text[0] = low;
        word.text[1] = high | static_cast<uint64_t>(place(sex)) << 56;
        for (int p = 0; p < 4; p++) {
            message[0] = static_cast<unsigned char>(modes[p]);
            word.entry[p] = static_cast<uint16_t>(
                entry_for_hash(modes[p], siphash_from(key, message, length + 1)));
        }
    }
}

mask_words::~mask_words() {
    wipe(&key_state, sizeof key_state);
    if (!made())
        return;
    wipe(slots, memory_size);
    std::free(slots);
}
