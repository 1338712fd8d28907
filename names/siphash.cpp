// siphash.cpp: SipHash-2-4 of whole messages.
#include "siphash.h"

sip_state sip_start(const unsigned char *key) {
    static const unsigned char zero_key[16] = {0};
    if (!key)
        key = zero_key;
    uint64_t k0 = little_endian(key, 8), k1 = little_endian(key + 8, 8);
    return sip_state{k0 ^ 0x736f6d6570736575u, k1 ^ 0x646f72616e646f6du, k0 ^ 0x6c7967656e657261u,
                     k1 ^ 0x7465646279746573u};
}

uint64_t siphash_after_byte(const unsigned char *key, unsigned char first, const void *message,
                            size_t length) {
    // The message seen through an 8-byte window: the first byte, then the
    // bytes given, whole words compressed as the window fills.
    const unsigned char *bytes = static_cast<const unsigned char *>(message);
    sip_state state = sip_start(key);
    uint64_t word = first;
    int filled = 1;
    for (size_t i = 0; i < length; i++) {
        word |= static_cast<uint64_t>(bytes[i]) << (8 * filled);
        if (++filled == 8) {
            sip_compress(state, word);
            word = 0;
            filled = 0;
        }
    }
    return sip_finish(state, word, length + 1);
}

uint64_t siphash(const unsigned char *key, const void *message, size_t length) {
    return siphash_from(sip_start(key), message, length);
}

uint64_t siphash_from(const sip_state &key, const void *message, size_t length) {
    const unsigned char *bytes = static_cast<const unsigned char *>(message);
    sip_state state = key;
    size_t whole = length / 8 * 8;
    for (size_t i = 0; i < whole; i += 8)
        sip_compress(state, little_endian(bytes + i, 8));
    return sip_finish(state, little_endian(bytes + whole, length - whole), length);
}

uint64_t siphash_of_padded(const sip_state &key, const unsigned char *message, size_t length) {
    sip_state state = key;
    size_t whole = length / 8 * 8;
    for (size_t i = 0; i < whole; i += 8)
        sip_compress(state, little_endian(message + i, 8));
    return sip_finish(state, little_endian(message + whole, 8), length);
}
