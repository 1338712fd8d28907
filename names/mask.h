// mask.h: the maskings of real people's names under a secret key. Every
// word becomes a pseudonym of its folded text (fold.h), so that the same
// name always gives the same fake: a first name one of its own sex
// (first_name_sex.h), a surname one surname, which keeps families
// together; a full name is taken apart into given names and surname. The
// fake is written in the letter case of the word it replaces, and every
// byte that is no word (white space, hyphens, commas, the suffixes Jr., Sr.,
// II, III and IV, the full stops of initials) stays where it was, so that
// the masking of UTF-8 is UTF-8 and holds no NUL. The rules are written
// down in man/onymix.3.
#pragma once

#include "siphash.h"

#include <cstddef>
#include <cstring>

enum mask_kind { mask_first_name, mask_surname, mask_full_name };
const int mask_kind_count = 3;

// A masking is at most this many bytes for each byte of its value: a word
// of one byte may become a surname of 13 letters, and nothing grows more.
const size_t mask_growth = 13;

// Where a masking goes: its bytes into out for as long as they all fit
// into size, and its whole length counted whether they fit or not.
struct mask_output {
    char *out;
    size_t size;
    size_t length;
    void put(const void *bytes, size_t count) {
        // Byte by byte: the pieces are a few bytes long, shorter than a
        // call of memcpy takes.
        if (length <= size && count <= size - length)
            for (size_t i = 0; i < count; i++)
                out[length + i] = static_cast<const char *>(bytes)[i];
        length += count;
    }
    // The same for at most 16 bytes, in two moves of a few bytes each.
    void put_short(const char *bytes, size_t count) {
        if (length <= size && count <= size - length) {
            char *to = out + length;
            if (count >= 8) {
                std::memcpy(to, bytes, 8);
                std::memcpy(to + count - 8, bytes + count - 8, 8);
            } else if (count >= 4) {
                std::memcpy(to, bytes, 4);
                std::memcpy(to + count - 4, bytes + count - 4, 4);
            } else {
                for (size_t i = 0; i < count; i++)
                    to[i] = bytes[i];
            }
        }
        length += count;
    }
};

// The masking of length bytes at value, of a kind, under a key of 16 bytes
// (which must not be null), into output; no NUL is written.
void mask(int kind, const unsigned char *value, size_t length, const unsigned char *key,
          mask_output &output);

// The same under the key's state (sip_start of its 16 bytes), for many
// maskings under one key, which is then mixed in once.
void mask(int kind, const unsigned char *value, size_t length, const sip_state &key,
          mask_output &output);

class mask_words;

// The same with the commonest words under that key looked up in a table
// (mask_words.h) rather than hashed, which gives the same masking; words
// may be null.
void mask(int kind, const unsigned char *value, size_t length, const sip_state &key,
          const mask_words *words, mask_output &output);
