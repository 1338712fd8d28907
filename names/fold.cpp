// fold.cpp: the Latin-1 letters' base letters, folding a whole text, and the
// case of the letters folding knows.
#include "fold.h"

const char latin1_bases[64][3] = {
    // U+00C0 to U+00DF: the capitals, with the multiplication sign, and sharp s.
    "a", "a", "a", "a", "a", "a", "ae", "c", "e", "e", "e", "e", "i", "i", "i", "i", //
    "d", "n", "o", "o", "o", "o", "o", "", "o", "u", "u", "u", "u", "y", "th", "ss", //
    // U+00E0 to U+00FF: the small letters, with the division sign.
    "a", "a", "a", "a", "a", "a", "ae", "c", "e", "e", "e", "e", "i", "i", "i", "i", //
    "d", "n", "o", "o", "o", "o", "o", "", "o", "u", "u", "u", "u", "y", "th", "y"};

size_t fold(const unsigned char *text, size_t length, unsigned char *out) {
    const unsigned char *end = text + length;
    while (text < end && is_white(*text))
        text++;
    while (end > text && is_white(end[-1]))
        end--;
    size_t folded = 0;
    while (text < end)
        text = fold_next(text, end, [&](unsigned char c) { out[folded++] = c; });
    return folded;
}

letter letter_at(const unsigned char *at, const unsigned char *end) {
    unsigned char c = *at;
    if (c >= 'A' && c <= 'Z')
        return letter{capital_letter, 1};
    if (c >= 'a' && c <= 'z')
        return letter{small_letter, 1};
    if (c == 0xC3 && end - at >= 2 && (at[1] & 0xC0) == 0x80 && latin1_bases[at[1] - 0x80][0])
        return letter{at[1] < 0x9F ? capital_letter : small_letter, 2};
    return letter{no_letter, 1};
}

text_case case_of(const unsigned char *begin, const unsigned char *end) {
    bool small = false, capital = false;
    while (begin < end) {
        letter l = letter_at(begin, end);
        small |= l.kind == small_letter;
        capital |= l.kind == capital_letter;
        begin += l.bytes;
    }
    if (small == capital)
        return mixed_case;
    return capital ? all_capitals : all_small;
}
