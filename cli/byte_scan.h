// byte_scan.h: where a few given bytes are in a text, looked at sixteen
// bytes at a time with SSE2, or eight in a machine word elsewhere: the
// scans of onymix-cli's CSV and COPY readers and writers, which look for a
// handful of bytes in long runs of others. ONYMIX_SCAN_WORDS takes the
// words where SSE2 would serve, so that their tests run here too.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__) && !defined(ONYMIX_SCAN_WORDS)
#include <emmintrin.h>
#define ONYMIX_SCAN_SSE2 1
#endif

namespace byte_scan {

// count bytes of text (at most eight), the first in the low byte whatever
// the machine's byte order, so that the lowest bit set of a match is its
// first byte; zeros above them.
template <size_t count> inline uint64_t little_at(const char *text) {
    uint64_t word = 0;
    std::memcpy(&word, text, count);
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_BIG_ENDIAN__
    word = __builtin_bswap64(word);
#endif
    return word;
}
inline uint64_t word_at(const char *text) {
    return little_at<8>(text);
}
inline uint64_t four_at(const char *text) {
    return little_at<4>(text);
}

// The high bit of each byte of word that is c, and no other bit: exact,
// as no carry crosses from one byte into the next.
inline uint64_t bytes_of(uint64_t word, char c) {
    const uint64_t ones = 0x0101010101010101u, lows = 0x7F7F7F7F7F7F7F7Fu;
    uint64_t x = word ^ (ones * static_cast<unsigned char>(c));
    return ~(((x & lows) + lows) | x | lows);
}

// The bytes among bytes... in the stretch at text: a bit for each, the
// first byte's lowest, bits_a_byte apart.
#ifdef ONYMIX_SCAN_SSE2
const size_t stretch = 16, bits_a_byte = 1;
template <char... bytes> inline unsigned among_of(__m128i got) {
    __m128i found = _mm_setzero_si128();
    ((found = _mm_or_si128(found, _mm_cmpeq_epi8(got, _mm_set1_epi8(bytes)))), ...);
    return static_cast<unsigned>(_mm_movemask_epi8(found));
}
template <char... bytes> inline uint64_t among_at(const char *text) {
    return among_of<bytes...>(_mm_loadu_si128(reinterpret_cast<const __m128i *>(text)));
}
#else
const size_t stretch = 8, bits_a_byte = 8;
template <char... bytes> inline uint64_t among_at(const char *text) {
    uint64_t word = word_at(text);
    return (bytes_of(word, bytes) | ...);
}
#endif

// The same of the count bytes at text, fewer than a stretch: the rest are
// taken as zeros, which must be none of bytes.
template <char... bytes> inline uint64_t among_in(const char *text, size_t count) {
    char last[stretch] = {};
    std::memcpy(last, text, count);
    return among_at<bytes...>(last);
}

// Calls visit(place) for each byte among bytes... from text[begin] to
// text[end], in order, while visit returns true; false when it stopped.
template <char... bytes, typename Visit>
inline bool each_among(const char *text, size_t begin, size_t end, Visit &&visit) {
    size_t at = begin;
#ifdef ONYMIX_SCAN_SSE2
    // Four stretches at once, in one mask of 64 bits: a loop over the bytes
    // found ends once for 64 bytes, where the processor seldom guesses
    // when, rather than once for each 16.
    for (; end - at >= 4 * stretch; at += 4 * stretch) {
        uint64_t found = among_at<bytes...>(text + at) | among_at<bytes...>(text + at + 16) << 16 |
                         among_at<bytes...>(text + at + 32) << 32 |
                         among_at<bytes...>(text + at + 48) << 48;
        for (; found; found &= found - 1)
            if (!visit(at + static_cast<size_t>(__builtin_ctzll(found))))
                return false;
    }
#endif
    for (; at < end; at += stretch) {
        uint64_t found = end - at >= stretch ? among_at<bytes...>(text + at)
                                             : among_in<bytes...>(text + at, end - at);
        for (; found; found &= found - 1)
            if (!visit(at + static_cast<size_t>(__builtin_ctzll(found)) / bits_a_byte))
                return false;
    }
    return true;
}

// Where the first of length bytes at text, fewer than a stretch, that is
// among bytes... is, or length when none is: the few bytes of a name, in
// two loads of eight bytes (or of four, in one word) that may overlap.
template <char... bytes> inline size_t first_among_short(const char *text, size_t length) {
    if (length < 4) {
        for (size_t i = 0; i < length; i++)
            if (((text[i] == bytes) || ...))
                return i;
        return length;
    }
    size_t half = length >= 8 ? 8 : 4;
    uint64_t low = half == 8 ? word_at(text) : four_at(text) | four_at(text + length - 4) << 32;
    uint64_t high = half == 8 ? word_at(text + length - 8) : 0; // zeros: none of bytes
    size_t index;
#ifdef ONYMIX_SCAN_SSE2
    __m128i got = _mm_set_epi64x(static_cast<long long>(high), static_cast<long long>(low));
    unsigned found = among_of<bytes...>(got);
    if (!found)
        return length;
    index = static_cast<size_t>(__builtin_ctz(found));
#else
    if (uint64_t found = (bytes_of(low, bytes) | ...))
        index = static_cast<size_t>(__builtin_ctzll(found)) / 8;
    else if (uint64_t later = (bytes_of(high, bytes) | ...))
        index = 8 + static_cast<size_t>(__builtin_ctzll(later)) / 8;
    else
        return length;
#endif
    // A byte of the second load stands that far from the end of the text.
    return index < half ? index : length - 2 * half + index;
}

// Where the first of length bytes at text that is among bytes... is, or
// length when none is. The bytes after the last whole stretch are looked
// at in the last stretch of the text, again in part.
template <char... bytes> inline size_t first_among(const char *text, size_t length) {
    if (length < stretch)
        return first_among_short<bytes...>(text, length);
    size_t i = 0;
    for (; i + stretch <= length; i += stretch)
        if (uint64_t found = among_at<bytes...>(text + i))
            return i + static_cast<size_t>(__builtin_ctzll(found)) / bits_a_byte;
    if (i == length)
        return length;
    uint64_t found = among_at<bytes...>(text + length - stretch);
    return found ? length - stretch + static_cast<size_t>(__builtin_ctzll(found)) / bits_a_byte
                 : length;
}

} // namespace byte_scan
