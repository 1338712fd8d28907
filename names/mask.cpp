// mask.cpp: the three maskings. Every word is replaced by the pseudonym of
// its folded text; what lies between words is copied. A full name is taken
// apart in passes over its bytes, so that no list of its words is kept and
// nothing is allocated, however long the value.
#include "mask.h"

#include "by_id.h"
#include "first_name_sex.h"
#include "fold.h"
#include "mask_words.h"
#include "modes.h"
#include "name_table.h"

#include <cstring>

namespace {

using byte = unsigned char;

struct span {
    const byte *begin, *end;
    bool empty() const {
        return begin == end;
    }
    size_t size() const {
        return static_cast<size_t>(end - begin);
    }
};

void put_span(span text, mask_output &output) {
    output.put(text.begin, text.size());
}

// The key's state, which every word of a masking (and every masking of a
// bulk call) shares, and the table of the commonest words under it
// (mask_words.h) when there is one.
struct masking {
    const sip_state &key;
    const mask_words *words;
};

// A folded text no longer than this is hashed whole from a buffer; a
// longer one a byte at a time as it is folded.
const size_t buffered = 64;

// Folds text's words joined by one space into out (room for buffered
// bytes) and returns the length, or more than buffered when they may not
// fit (a text that long is hashed as it is folded instead, to the same
// hash).
size_t fold_words(span text, byte *out) {
    size_t length = 0;
    bool space = false;
    for (const byte *at = text.begin; at < text.end;) {
        byte c = *at;
        if (is_white(c)) {
            space = length > 0;
            at++;
            continue;
        }
        // Room for a space and the 2 bytes a character folds to at most.
        if (length + 3 > buffered)
            return buffered + 1;
        if (space)
            out[length++] = ' ';
        space = false;
        if (c < 0x80) {
            out[length++] = c >= 'A' && c <= 'Z' ? static_cast<byte>(c - 'A' + 'a') : c;
            at++;
            continue;
        }
        at = fold_next(at, text.end, [&](byte folded) { out[length++] = folded; });
    }
    return length;
}

// The table entry of the pseudonym in mode under key of text's words,
// folded and joined by one space: what onymix_pseudonym gives for that
// text, hashed whole from a buffer, or, when it is too long for one, as it
// is folded.
int pseudonym_entry(int mode, span text, const masking &m) {
    byte message[1 + buffered];
    message[0] = static_cast<byte>(mode);
    size_t length = fold_words(text, message + 1);
    if (length > buffered) {
        sip_writer hash{m.key, 0, 0};
        hash.add(static_cast<byte>(mode));
        bool space = false;
        for (const byte *at = text.begin; at < text.end;) {
            if (is_white(*at)) {
                space = hash.length > 1;
                at++;
                continue;
            }
            if (space)
                hash.add(' ');
            space = false;
            at = fold_next(at, text.end, [&](byte c) { hash.add(c); });
        }
        return entry_for_hash(mode, hash.finish());
    }
    return entry_for_hash(mode, siphash_from(m.key, message, length + 1));
}

char small(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

const uint64_t ones = 0x0101010101010101u, high = 0x8080808080808080u;

// Bit 7 of each byte of x that is from first to last (ASCII bounds): in
// each byte, bit 7 of its low 7 bits plus an offset says whether it
// reaches a bound, and no carry crosses into the next byte.
uint64_t bytes_between(uint64_t x, byte first, byte last) {
    uint64_t low = x & ~high;
    return (low + (0x80 - first) * ones) & ~(low + (0x7F - last) * ones) & ~x & high;
}

// The letters 'a' to 'z' of 8 bytes as capitals, or with small true
// 'A' to 'Z' as small letters; every other byte as it is.
uint64_t in_case(uint64_t x, bool small) {
    return x ^ (bytes_between(x, small ? 'A' : 'a', small ? 'Z' : 'z') >> 2);
}

// A name of the table in the case of the word it replaces.
void put_name(int entry, text_case wanted, mask_output &output) {
    // Every entry is at most 13 bytes, and 16 may be read.
    char cased[16];
    std::memcpy(cased, name_at(entry), sizeof cased);
    if (wanted != mixed_case)
        for (size_t half = 0; half < sizeof cased; half += 8) {
            uint64_t x;
            std::memcpy(&x, cased + half, 8);
            x = in_case(x, wanted == all_small);
            std::memcpy(cased + half, &x, 8);
        }
    output.put_short(cased, name_length(entry));
}

// ---- Plain words: ASCII letters alone, by far the commonest words, folded
// and cased in one pass and hashed from that folding, as the passes below
// would fold, case and hash them.

// A plain word's message to hash: the mode's byte, then its folding.
struct plain_word {
    byte message[1 + buffered + 8]; // and the 8 zeros after it
    size_t length;                  // of the folding
    text_case wanted;
    const byte *folded() const {
        return message + 1;
    }
    // Its word in the table, or null.
    const mask_word *listed(const masking &m) const {
        return m.words ? m.words->find(folded(), length) : nullptr;
    }
};

// The count bytes (1 to 8) at at as a little-endian number, read in two
// moves that may overlap, as the same byte read twice changes nothing.
uint64_t bytes_at(const byte *at, size_t count) {
    if (count == 8)
        return little_endian(at, 8);
    if (count >= 4)
        return little_endian(at, 4) | little_endian(at + count - 4, 4) << (8 * (count - 4));
    if (count >= 2)
        return little_endian(at, 2) | little_endian(at + count - 2, 2) << (8 * (count - 2));
    return at[0];
}

// Folds word into plain when it is two or more ASCII letters and nothing
// else (one letter alone is an initial); false otherwise. Eight bytes at a
// time: in each, bit 5 of a letter says whether it is small.
bool fold_plain(span word, plain_word &plain) {
    size_t size = word.size();
    if (size < 2 || size > buffered)
        return false;
    uint64_t smalls = 0, capitals = 0;
    for (size_t i = 0; i < size; i += 8) {
        size_t count = size - i < 8 ? size - i : 8;
        uint64_t x = bytes_at(word.begin + i, count), lower = x | 0x20 * ones;
        uint64_t valid = high >> (8 * (8 - count));
        if ((bytes_between(lower, 'a', 'z') & valid) != valid)
            return false;
        smalls |= x & valid >> 2;
        capitals |= ~x & valid >> 2;
        for (size_t k = 0; k < 8; k++)
            plain.message[1 + i + k] = static_cast<byte>(lower >> 8 * k);
    }
    std::memset(plain.message + 1 + size, 0, 8);
    plain.length = size;
    plain.wanted = smalls && capitals ? mixed_case : smalls ? all_small : all_capitals;
    return true;
}

int hashed_entry(int mode, plain_word &plain, const masking &m) {
    plain.message[0] = static_cast<byte>(mode);
    return entry_for_hash(mode, siphash_of_padded(m.key, plain.message, plain.length + 1));
}

// The entry of a plain word's pseudonym in mode: looked up when the table
// holds it, hashed otherwise.
int plain_entry(int mode, plain_word &plain, const masking &m) {
    if (const mask_word *word = plain.listed(m))
        return word->entry[mask_words::place(mode)];
    return hashed_entry(mode, plain, m);
}

// The same as a first name of its own sex.
int plain_first_name_entry(plain_word &plain, const masking &m) {
    if (const mask_word *word = plain.listed(m))
        return word->first_name_entry();
    return hashed_entry(first_name_mode(plain.folded(), plain.length), plain, m);
}

void put_plain(int mode, plain_word &plain, const masking &m, mask_output &output) {
    put_name(plain_entry(mode, plain, m), plain.wanted, output);
}

// A word (or a surname's part of several words) masked in mode, in its case.
void put_word(int mode, span word, const masking &m, mask_output &output) {
    plain_word plain;
    if (fold_plain(word, plain))
        put_plain(mode, plain, m, output);
    else
        put_name(pseudonym_entry(mode, word, m), case_of(word.begin, word.end), output);
}

// ---- Given names: words between white space and hyphens.

bool is_given_break(byte c) {
    return is_white(c) || c == '-';
}

const byte *given_word_end(const byte *at, const byte *end) {
    while (at < end && !is_given_break(*at))
        at++;
    return at;
}

// Initials: one letter alone, or letters each followed by a full stop ("J",
// "J.", "J.R.").
bool is_initials(span word) {
    const byte *at = word.begin;
    letter first = letter_at(at, word.end);
    if (first.kind == no_letter)
        return false;
    if ((at += first.bytes) == word.end)
        return true;
    for (;;) {
        if (*at != '.')
            return false;
        if (++at == word.end)
            return true;
        letter next = letter_at(at, word.end);
        if (next.kind == no_letter || (at += next.bytes) == word.end)
            return false;
    }
}

int mode_of_word(span word) {
    // A listed name has at most 11 letters, folded from at most 2 bytes each.
    byte folded[24];
    if (word.size() > sizeof folded)
        return mode_any;
    return first_name_mode(folded, fold(word.begin, word.size(), folded));
}

// The mode of the first word of text that is no initials, into mode; false
// when there is none.
bool find_sex(span text, int &mode) {
    for (const byte *at = text.begin; at < text.end;) {
        if (is_given_break(*at)) {
            at++;
            continue;
        }
        span word{at, given_word_end(at, text.end)};
        if (!is_initials(word)) {
            mode = mode_of_word(word);
            return true;
        }
        at = word.end;
    }
    return false;
}

// Each letter the first letter of its own masking, in its case; the full
// stops stay.
void put_initials(span word, int mode, const masking &m, mask_output &output) {
    for (const byte *at = word.begin; at < word.end;) {
        if (*at == '.') {
            output.put(at++, 1);
            continue;
        }
        letter l = letter_at(at, word.end);
        char first = name_at(pseudonym_entry(mode, span{at, at + l.bytes}, m))[0];
        if (l.kind == small_letter)
            first = small(first);
        output.put(&first, 1);
        at += l.bytes;
    }
}

void put_given_names(span text, int mode, const masking &m, mask_output &output) {
    for (const byte *at = text.begin; at < text.end;) {
        const byte *gap = at;
        while (at < text.end && is_given_break(*at))
            at++;
        put_span(span{gap, at}, output);
        if (at == text.end)
            break;
        span word{at, given_word_end(at, text.end)};
        if (is_initials(word))
            put_initials(word, mode, m, output);
        else
            put_word(mode, word, m, output);
        at = word.end;
    }
}

void put_first_name(span value, const masking &m, mask_output &output) {
    plain_word plain;
    if (fold_plain(value, plain)) {
        put_name(plain_first_name_entry(plain, m), plain.wanted, output);
        return;
    }
    int mode = mode_any;
    find_sex(value, mode);
    put_given_names(value, mode, m, output);
}

// ---- Surnames: parts between hyphens, each masked as one, and initials
// as initials.

void put_surname(span text, const masking &m, mask_output &output) {
    plain_word plain;
    if (fold_plain(text, plain)) {
        put_plain(mode_surname, plain, m, output);
        return;
    }
    for (const byte *at = text.begin; at < text.end;) {
        const byte *gap = at;
        while (at < text.end && (is_white(*at) || *at == '-'))
            at++;
        put_span(span{gap, at}, output);
        if (at == text.end)
            break;
        const byte *part_end = at;
        while (part_end < text.end && *part_end != '-')
            part_end++;
        while (is_white(part_end[-1]))
            part_end--;
        span part{at, part_end};
        if (is_initials(part))
            put_initials(part, mode_surname, m, output);
        else
            put_word(mode_surname, part, m, output);
        at = part_end;
    }
}

// ---- Full names: words between white space and commas, hyphens alone no
// word.

bool is_full_break(byte c) {
    return is_white(c) || c == ',';
}

// The first word of [at, end), or an empty span at end.
span first_word(const byte *at, const byte *end) {
    while (at < end) {
        while (at < end && is_full_break(*at))
            at++;
        const byte *begin = at;
        bool hyphens = true;
        while (at < end && !is_full_break(*at))
            hyphens &= *at++ == '-';
        if (!hyphens)
            return span{begin, at};
    }
    return span{end, end};
}

// The last word of [begin, end), or an empty span at begin.
span last_word(const byte *begin, const byte *end) {
    while (end > begin) {
        while (end > begin && is_full_break(end[-1]))
            end--;
        const byte *stop = end;
        bool hyphens = true;
        while (end > begin && !is_full_break(end[-1]))
            hyphens &= *--end == '-';
        if (!hyphens)
            return span{end, stop};
    }
    return span{begin, begin};
}

// Whether a word folds to one of the (short, small-letter) texts.
template <size_t count> bool folds_to_one_of(span word, const char *const (&texts)[count]) {
    // The texts are at most 5 bytes: the folding stops as soon as it is
    // longer, which most words are, and a word holds no white space to trim.
    byte folded[8];
    size_t length = 0;
    for (const byte *at = word.begin; at < word.end;) {
        if (length > 5)
            return false;
        at = fold_next(at, word.end, [&](byte c) { folded[length++] = c; });
    }
    for (const char *text : texts)
        if (std::strlen(text) == length && std::memcmp(text, folded, length) == 0)
            return true;
    return false;
}

const char *const suffixes[] = {"jr", "jr.", "sr", "sr.", "ii", "iii", "iv"};
const char *const particles[] = {"van", "von", "de",  "da",  "del", "della", "di", "du",
                                 "la",  "le",  "der", "den", "ter", "bin",   "al"};

bool is_suffix(span word) {
    return folds_to_one_of(word, suffixes);
}

// The segments of a full name between its commas, one after another, each
// with its body: the words that are masked, from its first word to its last
// word that is no suffix. The suffixes after that stay. A segment of
// suffixes alone stays whole when a name (a word that is no suffix) came
// before it, and is all body otherwise, as it then follows no name.
struct segments {
    const byte *at, *end;
    bool done, name_before;

    // The next segment's body (empty when it has none); false after the last.
    bool next(span &body) {
        if (done)
            return false;
        const byte *stop = at;
        while (stop < end && *stop != ',')
            stop++;
        span first = first_word(at, stop), last = last_word(at, stop);
        span name = last;
        while (!name.empty() && is_suffix(name))
            name = last_word(at, name.begin);
        if (!name.empty())
            body = span{first.begin, name.end};
        else if (!first.empty() && !name_before)
            body = span{first.begin, last.end};
        else
            body = span{stop, stop};
        name_before |= !name.empty();
        done = stop == end;
        at = done ? end : stop + 1;
        return true;
    }
};

segments segments_of(span value) {
    return segments{value.begin, value.end, false, false};
}

// "Given Surname": the last word of the body is the surname, with the
// particles just before it while a given word stays before them; the words
// before are the given names.
void put_given_and_surname(span value, span body, const masking &m, mask_output &output) {
    const byte *surname = last_word(body.begin, body.end).begin;
    for (;;) {
        span word = last_word(body.begin, surname);
        if (word.empty() || !folds_to_one_of(word, particles) ||
            last_word(body.begin, word.begin).empty())
            break;
        surname = word.begin;
    }
    span given{body.begin, last_word(body.begin, surname).end};
    int mode = mode_any;
    find_sex(given, mode);
    put_span(span{value.begin, given.begin}, output);
    put_given_names(given, mode, m, output);
    put_span(span{given.end, surname}, output);
    put_surname(span{surname, body.end}, m, output);
    put_span(span{body.end, value.end}, output);
}

// "Surname, Given": the first body is the surname, the bodies after it
// given names, all in the sex of their first word that is no initials.
void put_surname_and_given(span value, const masking &m, mask_output &output) {
    int mode = mode_any;
    segments walk = segments_of(value);
    span body;
    bool past_surname = false;
    while (walk.next(body))
        if (!body.empty()) {
            if (past_surname && find_sex(body, mode))
                break;
            past_surname = true;
        }
    walk = segments_of(value);
    const byte *copied = value.begin;
    past_surname = false;
    while (walk.next(body))
        if (!body.empty()) {
            put_span(span{copied, body.begin}, output);
            if (past_surname)
                put_given_names(body, mode, m, output);
            else
                put_surname(body, m, output);
            past_surname = true;
            copied = body.end;
        }
    put_span(span{copied, value.end}, output);
}

// "Given Surname" of two plain words and one space, the commonest full
// name: the given word masked as a first name, the space, and the surname
// masked, as the rules above make it of any two such words but a surname
// that is a suffix ("Bob Jr"). False, with nothing written, for any other.
bool put_plain_full_name(span value, const masking &m, mask_output &output) {
    const byte *space = static_cast<const byte *>(std::memchr(value.begin, ' ', value.size()));
    if (!space)
        return false;
    span given{value.begin, space}, surname{space + 1, value.end};
    plain_word first, last;
    if (!fold_plain(given, first) || !fold_plain(surname, last) ||
        (surname.size() <= 3 && is_suffix(surname)))
        return false;
    put_name(plain_first_name_entry(first, m), first.wanted, output);
    output.put(space, 1);
    put_plain(mode_surname, last, m, output);
    return true;
}

void put_full_name(span value, const masking &m, mask_output &output) {
    if (put_plain_full_name(value, m, output))
        return;
    segments walk = segments_of(value);
    span body, first{value.end, value.end};
    int bodies = 0;
    while (bodies < 2 && walk.next(body))
        if (!body.empty() && bodies++ == 0)
            first = body;
    if (bodies == 0)
        put_span(value, output);
    else if (bodies == 1)
        put_given_and_surname(value, first, m, output);
    else
        put_surname_and_given(value, m, output);
}

} // namespace

void mask(int kind, const unsigned char *value, size_t length, const unsigned char *key,
          mask_output &output) {
    mask(kind, value, length, sip_start(key), output);
}

void mask(int kind, const unsigned char *value, size_t length, const sip_state &key,
          mask_output &output) {
    mask(kind, value, length, key, nullptr, output);
}

void mask(int kind, const unsigned char *value, size_t length, const sip_state &key,
          const mask_words *words, mask_output &output) {
    if (length == 0)
        return;
    span whole{value, value + length};
    masking m{key, words};
    if (kind == mask_first_name)
        put_first_name(whole, m, output);
    else if (kind == mask_surname)
        put_surname(whole, m, output);
    else
        put_full_name(whole, m, output);
}
