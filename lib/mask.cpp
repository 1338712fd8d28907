// mask.cpp: the calls of include/onymix.h that mask real names, over
// names/mask.h: one value into a caller's buffer, snprintf-like, and many
// one after another into one buffer, under a key or a masker, which holds
// the commonest words under its key (names/mask_words.h). All refuse a key
// that is no secret.
#define ONYMIX_BUILDING
#include "onymix.h"

#include "arguments.h"

#include "../names/mask.h"
#include "../names/mask_words.h"

#include <cstdlib>
#include <new>

static_assert(ONYMIX_MASK_FIRST_NAME == mask_first_name && ONYMIX_MASK_SURNAME == mask_surname &&
                  ONYMIX_MASK_FULL_NAME == mask_full_name && mask_kind_count == 3,
              "the kinds are numbered as mask.h numbers them");
static_assert(ONYMIX_MASK_GROWTH == mask_growth, "the growth is mask.h's");

namespace {

bool valid_kind(int kind) {
    return kind >= 0 && kind < mask_kind_count;
}

// A key is given and is not the zero key, under which anyone can undo a
// masking by masking every listed name.
bool secret_key(const unsigned char *key) {
    if (!key)
        return false;
    unsigned char any = 0;
    for (int i = 0; i < ONYMIX_KEY_SIZE; i++)
        any |= key[i];
    return any != 0;
}

const unsigned char *bytes_of(const void *value) {
    return static_cast<const unsigned char *>(value);
}

// The maskings of count values under a key's state, and its table of words
// when there is one, into out as onymix_mask_values writes them.
int mask_values(int kind, const sip_state &key, const mask_words *words, const void *const *values,
                const size_t *lengths, size_t count, char *out, size_t size, size_t *ends) {
    size_t used = 0, masked = 0;
    for (count = at_most_int(count); masked < count; masked++) {
        // The room before the last byte, which the NUL keeps.
        mask_output output{out + used, size - 1 - used, 0};
        mask(kind, bytes_of(values[masked]), lengths[masked], key, words, output);
        if (output.length > output.size)
            break;
        used += output.length;
        ends[masked] = used;
    }
    out[used] = '\0';
    return static_cast<int>(masked);
}

// A masking's NUL after it, or "" when it did not fit, and the length to
// return, as snprintf gives it.
int ended(const mask_output &output) {
    if (output.length >= output.size)
        clear(output.out, output.size);
    else
        output.out[output.length] = '\0';
    return output.length > static_cast<size_t>(INT_MAX) ? -1 : static_cast<int>(output.length);
}

bool valid_one(int kind, const void *value, size_t length, const char *out, size_t size) {
    return valid_kind(kind) && (value || length == 0) && (out || size == 0);
}

bool valid_bulk(int kind, const void *const *values, const size_t *lengths, size_t count,
                const char *out, size_t size, const size_t *ends) {
    return valid_kind(kind) && out && size > 0 && (count == 0 || ends) &&
           valid_values(values, lengths, count);
}

} // namespace

// The key's words, and its state, which they keep.
struct onymix_masker {
    mask_words words;
    explicit onymix_masker(const sip_state &key) : words(key) {}
};

extern "C" {

int onymix_mask(int kind, const void *value, size_t length, const unsigned char *key, char *out,
                size_t size) {
    if (!secret_key(key) || !valid_one(kind, value, length, out, size)) {
        clear(out, size);
        return -1;
    }
    mask_output output{out, size, 0};
    mask(kind, bytes_of(value), length, key, output);
    return ended(output);
}

int onymix_mask_values(int kind, const unsigned char *key, const void *const *values,
                       const size_t *lengths, size_t count, char *out, size_t size, size_t *ends) {
    if (!secret_key(key) || !valid_bulk(kind, values, lengths, count, out, size, ends))
        return -1;
    // The key mixed in once for every masking of the call.
    return mask_values(kind, sip_start(key), nullptr, values, lengths, count, out, size, ends);
}

onymix_masker *onymix_masker_open(const unsigned char *key) {
    if (!secret_key(key))
        return nullptr;
    // From malloc, as the library's other objects, so that it needs no
    // C++ runtime.
    void *memory = std::malloc(sizeof(onymix_masker));
    if (!memory)
        return nullptr;
    onymix_masker *m = new (memory) onymix_masker(sip_start(key));
    if (!m->words.made()) {
        onymix_masker_close(m);
        return nullptr;
    }
    return m;
}

void onymix_masker_close(onymix_masker *m) {
    if (!m)
        return;
    m->~onymix_masker();
    std::free(m);
}

int onymix_masker_mask(const onymix_masker *m, int kind, const void *value, size_t length,
                       char *out, size_t size) {
    if (!m || !valid_one(kind, value, length, out, size)) {
        clear(out, size);
        return -1;
    }
    mask_output output{out, size, 0};
    mask(kind, bytes_of(value), length, m->words.key(), &m->words, output);
    return ended(output);
}

int onymix_masker_values(const onymix_masker *m, int kind, const void *const *values,
                         const size_t *lengths, size_t count, char *out, size_t size,
                         size_t *ends) {
    if (!m || !valid_bulk(kind, values, lengths, count, out, size, ends))
        return -1;
    return mask_values(kind, m->words.key(), &m->words, values, lengths, count, out, size, ends);
}

} // extern "C"
