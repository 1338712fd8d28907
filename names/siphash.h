// siphash.h: SipHash-2-4 (Aumasson and Bernstein), the keyed hash the names
// by id and the pseudonyms draw on: a 16-byte key, any bytes, a 64-bit
// number. Plain integer arithmetic, the same on every platform; nothing is
// global.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

// The hash's state: the key mixed in, and the 8-byte words compressed so far.
struct sip_state {
    uint64_t v0, v1, v2, v3;
};

inline uint64_t rotated_left(uint64_t x, int bits) {
    return (x << bits) | (x >> (64 - bits));
}

inline void sip_round(sip_state &s) {
    s.v0 += s.v1;
    s.v1 = rotated_left(s.v1, 13);
    s.v1 ^= s.v0;
    s.v0 = rotated_left(s.v0, 32);
    s.v2 += s.v3;
    s.v3 = rotated_left(s.v3, 16);
    s.v3 ^= s.v2;
    s.v0 += s.v3;
    s.v3 = rotated_left(s.v3, 21);
    s.v3 ^= s.v0;
    s.v2 += s.v1;
    s.v1 = rotated_left(s.v1, 17);
    s.v1 ^= s.v2;
    s.v2 = rotated_left(s.v2, 32);
}

// The state of a key, 16 bytes; null means 16 zero bytes.
sip_state sip_start(const unsigned char *key);

// Compresses one 8-byte word of the message (little endian).
inline void sip_compress(sip_state &s, uint64_t word) {
    s.v3 ^= word;
    sip_round(s);
    sip_round(s);
    s.v0 ^= word;
}

// The hash, from the state after the message's whole words: last holds its
// last 0 to 7 bytes (little endian) and length is the whole message's.
inline uint64_t sip_finish(sip_state s, uint64_t last, size_t length) {
    sip_compress(s, last | static_cast<uint64_t>(length) << 56);
    s.v2 ^= 0xff;
    sip_round(s);
    sip_round(s);
    sip_round(s);
    sip_round(s);
    return s.v0 ^ s.v1 ^ s.v2 ^ s.v3;
}

// The little-endian number of n (2, 4 or 8) bytes: read in one move where
// the machine is little-endian itself.
template <typename word> inline uint64_t little_endian_word(const unsigned char *bytes) {
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
    word value;
    std::memcpy(&value, bytes, sizeof value);
    return value;
#else
    uint64_t value = 0;
    for (size_t i = sizeof(word); i > 0; i--)
        value = value << 8 | bytes[i - 1];
    return value;
#endif
}

// The little-endian number of the first count (0 to 8) bytes at bytes.
inline uint64_t little_endian(const unsigned char *bytes, size_t count) {
    if (count == 8)
        return little_endian_word<uint64_t>(bytes);
    if (count == 4)
        return little_endian_word<uint32_t>(bytes);
    if (count == 2)
        return little_endian_word<uint16_t>(bytes);
    uint64_t value = 0;
    for (size_t i = count; i > 0; i--)
        value = value << 8 | bytes[i - 1];
    return value;
}

// SipHash-2-4 of a message handed over a byte at a time, for a message that
// is made as it is hashed (a folded name) and so never stored.
struct sip_writer {
    sip_state state;
    uint64_t word;
    size_t length;
    void add(unsigned char byte) {
        word |= static_cast<uint64_t>(byte) << (8 * (length % 8));
        if (++length % 8 == 0) {
            sip_compress(state, word);
            word = 0;
        }
    }
    uint64_t finish() const {
        return sip_finish(state, word, length);
    }
};

// SipHash-2-4 of length bytes under key (null: 16 zero bytes).
uint64_t siphash(const unsigned char *key, const void *message, size_t length);

// The same under a key's state (sip_start), for a caller that hashes many
// messages under one key and so mixes the key in once.
uint64_t siphash_from(const sip_state &key, const void *message, size_t length);

// The same of length bytes that the caller's buffer follows with zero bytes
// to the end of the 8-byte word after the last whole one (8 of them when
// length is a multiple of 8), so that the message is read a word at a time.
uint64_t siphash_of_padded(const sip_state &key, const unsigned char *message, size_t length);

// The same of a message of one byte, first, and then length bytes.
uint64_t siphash_after_byte(const unsigned char *key, unsigned char first, const void *message,
                            size_t length);
