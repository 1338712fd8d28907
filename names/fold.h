// fold.h: the folding by which a masking compares and hashes a name, so
// that "SMITH", "smith" and " Smith" are one: ASCII white space trimmed,
// ASCII capitals in lower case, and the Latin-1 letters U+00C0 to U+00FF
// (in UTF-8 the bytes C3 80 to C3 BF) as their base letters in lower case;
// every other byte stays as it is. Beside it, the case of the letters it
// knows, which a masking's letter case follows.
#pragma once

#include <cstddef>

inline bool is_white(unsigned char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

// The base letters of U+00C0 to U+00FF, indexed by the second UTF-8 byte
// less 0x80; empty for the two that are no letters (multiplication and
// division signs), which stay as they are.
extern const char latin1_bases[64][3];

// Folds the character at at (before end), handing each of its 1 or 2
// folded bytes to emit, and returns where the next character starts.
template <typename Emit>
inline const unsigned char *fold_next(const unsigned char *at, const unsigned char *end,
                                      Emit &&emit) {
    unsigned char c = *at;
    if (c >= 'A' && c <= 'Z') {
        emit(static_cast<unsigned char>(c - 'A' + 'a'));
        return at + 1;
    }
    if (c == 0xC3 && end - at >= 2 && (at[1] & 0xC0) == 0x80) {
        const char *base = latin1_bases[at[1] - 0x80];
        if (base[0]) {
            emit(static_cast<unsigned char>(base[0]));
            if (base[1])
                emit(static_cast<unsigned char>(base[1]));
            return at + 2;
        }
    }
    emit(c);
    return at + 1;
}

// The folding of length bytes at text into out, which has room for
// length bytes (a folding is never longer than its text); returns its
// length.
size_t fold(const unsigned char *text, size_t length, unsigned char *out);

enum letter_case { no_letter, small_letter, capital_letter };

// A letter that folding knows, at the start of [at, end): its case, and
// how many bytes it takes (1, or 2 for U+00C0 to U+00FF); no_letter with
// 1 byte for anything else. Sharp s (U+00DF) is a small letter, as it has
// no capital among them.
struct letter {
    letter_case kind;
    int bytes;
};
letter letter_at(const unsigned char *at, const unsigned char *end);

// How the letters fold knows are written in [begin, end): all capitals,
// all small, or anything else (mixed, or no such letter at all).
enum text_case { mixed_case, all_small, all_capitals };
text_case case_of(const unsigned char *begin, const unsigned char *end);
