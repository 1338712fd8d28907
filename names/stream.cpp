// stream.cpp: the streaming path of onymix-cli. It keeps the generator state
// in a local integer while it fills a buffer and forms the offsets from the
// state directly; the sequence and the offsets are those of rnd() and
// offset_for_draw(), which the tests check name for name.
#include "stream.h"

#include "name_table.h"
#include "random.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace {

const uint64_t multiplier = 627327780969661;
const uint64_t state_mask = (uint64_t(1) << 51) - 1;
const uint64_t half_range = uint64_t(1) << 50;
const int first_name_count = surname_first; // both first-name lists
const long long surname_count = surname_span + 1;

// One draw: the state times the multiplier modulo 2^51. The state is below
// 2^51, so the product modulo 2^64 has the right low 51 bits.
inline uint64_t advance(uint64_t state) {
    return (state * multiplier) & state_mask;
}

// The offset that the draw (state + 1) / 2^51 selects in a section of span
// span, as offset_for_draw() forms it.
inline int offset_of(uint64_t state, int span) {
    return offset_for_numerator(state + 1, span);
}

// An ordinary pick: the first draw is spent, the second chooses the entry.
inline int pick_index(uint64_t &state, int first, int span) {
    state = advance(advance(state));
    return first + offset_of(state, span);
}

// The first-name pick of the Any modes: the first draw, (state + 1) / 2^51,
// is at most 0.5 exactly when state < 2^50, and then the female list is used.
inline int pick_any_first_name(uint64_t &state) {
    state = advance(state);
    bool female = state < half_range;
    state = advance(state);
    return female ? female_first + offset_of(state, female_span)
                  : male_first + offset_of(state, male_span);
}

// Each entry padded to 16 bytes with its length in the last byte, so that a
// copy is one fixed 16-byte move; the buffer's slack takes the overhang.
struct name_slot {
    char text[15];
    unsigned char length;
};
name_slot slots[name_table_size];
bool slots_ready = false;

void prepare_slots() {
    for (int i = 0; i < name_table_size; i++) {
        const char *text = name_at(i);
        size_t length = std::strlen(text); // at most 13 letters
        std::memcpy(slots[i].text, text, length);
        slots[i].length = static_cast<unsigned char>(length);
    }
    slots_ready = true;
}

// The same first name can be in both lists; in the Any modes it is one name.
// any_keys numbers the distinct first-name texts in alphabetical order.
int16_t any_keys[first_name_count];
int any_key_count = 0;

void prepare_any_keys() {
    if (any_key_count)
        return;
    int16_t order[first_name_count];
    for (int i = 0; i < first_name_count; i++)
        order[i] = static_cast<int16_t>(i);
    std::sort(order, order + first_name_count,
              [](int16_t a, int16_t b) { return std::strcmp(name_at(a), name_at(b)) < 0; });
    int key = -1;
    for (int i = 0; i < first_name_count; i++) {
        if (i == 0 || std::strcmp(name_at(order[i - 1]), name_at(order[i])) != 0)
            key++;
        any_keys[order[i]] = static_cast<int16_t>(key);
    }
    any_key_count = key + 1;
}

bool is_any(int mode) {
    return mode == mode_any || mode == mode_any_surname;
}

bool has_surname(int mode) {
    return mode == mode_female_surname || mode == mode_male_surname || mode == mode_any_surname ||
           mode == mode_surname;
}

// How many different first names the mode can make; 1 for Surname (none).
long long first_name_range(int mode) {
    if (mode == mode_female || mode == mode_female_surname)
        return female_span + 1;
    if (mode == mode_male || mode == mode_male_surname)
        return male_span + 1;
    if (is_any(mode)) {
        prepare_any_keys();
        return any_key_count;
    }
    return 1;
}

// Table indices of one drawn name; -1 where the mode has no such part.
struct drawn_name {
    int first_name, surname;
};

// The bit of a name in the mode's set.
uint64_t name_key(int mode, drawn_name name) {
    uint64_t key = 0;
    if (name.first_name >= 0)
        key = is_any(mode)
                  ? any_keys[name.first_name]
                  : name.first_name - (name.first_name < female_first ? male_first : female_first);
    if (name.surname >= 0)
        key = key * surname_count + (name.surname - surname_first);
    return key;
}

inline char *put_text(char *out, const char *text, size_t length) {
    std::memcpy(out, text, length);
    return out + length;
}

inline char *put_name(char *out, int index) {
    std::memcpy(out, slots[index].text, 16);
    return out + slots[index].length;
}

template <size_t size> inline char *put_literal(char *out, const char (&text)[size]) {
    return put_text(out, text, size - 1);
}

// The name as text prints it: first name, a space and surname, or either alone.
inline char *put_whole_name(char *out, drawn_name name) {
    if (name.first_name >= 0) {
        out = put_name(out, name.first_name);
        if (name.surname >= 0)
            *out++ = ' ';
    }
    if (name.surname >= 0)
        out = put_name(out, name.surname);
    return out;
}

// Entries are capitalised words of ASCII letters (the build checks it), so
// no CSV quoting and no JSON escaping is ever needed.
char *write_line(char *out, drawn_name name, name_format format) {
    bool male = name.first_name >= 0 && name.first_name < female_first;
    if (format == format_text) {
        out = put_whole_name(out, name);
    } else if (format == format_csv) {
        out = put_whole_name(out, name);
        *out++ = ',';
        if (name.first_name >= 0)
            out = put_name(out, name.first_name);
        *out++ = ',';
        if (name.surname >= 0)
            out = put_name(out, name.surname);
        *out++ = ',';
        if (name.first_name >= 0)
            out = male ? put_literal(out, "male") : put_literal(out, "female");
    } else {
        out = put_literal(out, "{\"name\":\"");
        out = put_whole_name(out, name);
        if (name.first_name >= 0) {
            out = put_literal(out, "\",\"first_name\":\"");
            out = put_name(out, name.first_name);
        }
        if (name.surname >= 0) {
            out = put_literal(out, "\",\"surname\":\"");
            out = put_name(out, name.surname);
        }
        if (name.first_name >= 0)
            out = male ? put_literal(out, "\",\"sex\":\"male")
                       : put_literal(out, "\",\"sex\":\"female");
        out = put_literal(out, "\"}");
    }
    *out++ = '\n';
    return out;
}

// Re-seeds before a pick as generate() does, and returns the state to draw on.
inline uint64_t start_pick(const name_stream &stream, uint64_t state) {
    if (stream.seeding == draw_on)
        return state;
    randomize(stream.seeding == seed_from_uptime ? static_cast<int32_t>(timer()) : stream.second);
    return static_cast<uint64_t>(random_state);
}

// One name of the mode, the first name always picked before the surname.
inline drawn_name draw_name(const name_stream &stream, uint64_t &state) {
    drawn_name name{-1, -1};
    int mode = stream.mode;
    if (mode != mode_surname) {
        state = start_pick(stream, state);
        if (is_any(mode))
            name.first_name = pick_any_first_name(state);
        else if (mode == mode_female || mode == mode_female_surname)
            name.first_name = pick_index(state, female_first, female_span);
        else
            name.first_name = pick_index(state, male_first, male_span);
    }
    if (has_surname(mode)) {
        state = start_pick(stream, state);
        name.surname = pick_index(state, surname_first, surname_span);
    }
    return name;
}

} // namespace

const char *format_header(name_format format) {
    return format == format_csv ? "name,first_name,surname,sex\n" : "";
}

long long distinct_names(int mode) {
    if (mode < 0 || mode >= stream_mode_count)
        return 0;
    return first_name_range(mode) * (has_surname(mode) ? surname_count : 1);
}

bool name_set_open(name_set &set, int mode) {
    size_t words = static_cast<size_t>((distinct_names(mode) + 63) / 64);
    set.bits = static_cast<uint64_t *>(std::calloc(words, sizeof(uint64_t)));
    return set.bits != nullptr;
}

void name_set_close(name_set &set) {
    std::free(set.bits);
    set.bits = nullptr;
}

char *fill_names(name_stream &stream, char *out, char *end) {
    if (!slots_ready)
        prepare_slots();
    if (is_any(stream.mode))
        prepare_any_keys();
    uint64_t state = static_cast<uint64_t>(random_state);
    if (!stream.unique) {
        while (stream.remaining > 0 && static_cast<size_t>(end - out) >= longest_line) {
            out = write_line(out, draw_name(stream, state), stream.format);
            stream.remaining--;
        }
    }
    // Unique names: the bits of a big set are mostly out of the cache, so a
    // batch of names is drawn and their words fetched ahead, then checked in
    // order. A batch never holds more names than are still wanted or than
    // fit, so no drawn name is left over when the call returns.
    const int batch_size = 32;
    while (stream.unique && stream.remaining > 0 &&
           static_cast<size_t>(end - out) >= longest_line) {
        long long fit = static_cast<long long>(static_cast<size_t>(end - out) / longest_line);
        int batch = static_cast<int>(std::min<long long>({batch_size, stream.remaining, fit}));
        drawn_name names[batch_size];
        uint64_t keys[batch_size];
        for (int i = 0; i < batch; i++) {
            names[i] = draw_name(stream, state);
            keys[i] = name_key(stream.mode, names[i]);
#if defined(__GNUC__)
            __builtin_prefetch(&stream.unique->bits[keys[i] / 64]);
#endif
        }
        for (int i = 0; i < batch; i++) {
            uint64_t &word = stream.unique->bits[keys[i] / 64];
            uint64_t bit = uint64_t(1) << (keys[i] % 64);
            if (word & bit)
                continue;
            word |= bit;
            out = write_line(out, names[i], stream.format);
            stream.remaining--;
        }
    }
    random_state = static_cast<int64_t>(state);
    return out;
}
