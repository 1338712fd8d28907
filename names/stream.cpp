// stream.cpp: the streaming path. It keeps the generator state in a local
// integer while it fills a buffer and forms the offsets from the state
// directly; the sequence and the offsets are those of rnd() and
// offset_for_draw(), which the tests check name for name.
#include "stream.h"

#include "name_table.h"
#include "random.h"

#include <cstdlib>
#include <cstring>

namespace {

const uint64_t half_range = uint64_t(1) << 50;
const long long surname_count = surname_span + 1;

// The offset that the draw (state + 1) / 2^51 selects in a section of span
// span, as offset_for_draw() forms it.
inline int offset_of(uint64_t state, int span) {
    return offset_for_numerator(state + 1, span);
}

// An ordinary pick: the first draw is spent, the second chooses the entry.
inline int pick_index(uint64_t &state, int first, int span) {
    state = advanced_state(advanced_state(state));
    return first + offset_of(state, span);
}

// The first-name pick of the Any modes: the first draw, (state + 1) / 2^51,
// is at most 0.5 exactly when state < 2^50, and then the female list is used.
inline int pick_any_first_name(uint64_t &state) {
    state = advanced_state(state);
    bool female = state < half_range;
    state = advanced_state(state);
    return female ? female_first + offset_of(state, female_span)
                  : male_first + offset_of(state, male_span);
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
    if (is_any(mode))
        return first_name_key_count;
    return 1;
}

inline char *put_text(char *out, const char *text, size_t length) {
    std::memcpy(out, text, length);
    return out + length;
}

// A part of a name as it is copied: the entry's text and its length.
struct entry {
    const char *text;
    size_t length;
};

inline entry entry_of(int index) {
    return entry{name_at(index), name_length(index)};
}

// Every entry can be read 16 bytes wide (the table is padded for it); what
// is copied past the entry is overwritten by what follows or lies beyond the
// end of the text.
inline char *put_entry(char *out, entry part) {
    std::memcpy(out, part.text, 16);
    return out + part.length;
}

template <size_t size> inline char *put_literal(char *out, const char (&text)[size]) {
    return put_text(out, text, size - 1);
}

// The name as text prints it: first name, a space and surname, or either alone.
inline char *put_whole_name(char *out, bool has_first, entry first, bool has_surname,
                            entry surname) {
    if (has_first) {
        out = put_entry(out, first);
        if (has_surname)
            *out++ = ' ';
    }
    if (has_surname)
        out = put_entry(out, surname);
    return out;
}

// Re-seeds before a pick as generate() does, and returns the state to draw on.
inline uint64_t start_pick(const name_stream &stream, uint64_t state) {
    if (stream.seeding == draw_on)
        return state;
    int32_t second =
        stream.seeding == seed_from_uptime ? static_cast<int32_t>(timer()) : stream.second;
    return static_cast<uint64_t>(seeded_state(second));
}

// The state is passed apart from the stream, so that a loop keeps it in a
// register: the lines written through char pointers could alias the stream.
inline drawn_name draw(const name_stream &stream, uint64_t &state) {
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

inline char *write(char *out, drawn_name name, name_format format) {
    // Each part is looked up once, however often the format repeats it.
    bool has_first = name.first_name >= 0, has_surname = name.surname >= 0;
    entry first = has_first ? entry_of(name.first_name) : entry{"", 0};
    entry surname = has_surname ? entry_of(name.surname) : entry{"", 0};
    bool male = has_first && name.first_name < female_first;
    if (format == format_text) {
        out = put_whole_name(out, has_first, first, has_surname, surname);
    } else if (format == format_csv) {
        out = put_whole_name(out, has_first, first, has_surname, surname);
        *out++ = ',';
        if (has_first)
            out = put_entry(out, first);
        *out++ = ',';
        if (has_surname)
            out = put_entry(out, surname);
        *out++ = ',';
        if (has_first)
            out = male ? put_literal(out, "male") : put_literal(out, "female");
    } else {
        out = put_literal(out, "{\"name\":\"");
        out = put_whole_name(out, has_first, first, has_surname, surname);
        if (has_first) {
            out = put_literal(out, "\",\"first_name\":\"");
            out = put_entry(out, first);
        }
        if (has_surname) {
            out = put_literal(out, "\",\"surname\":\"");
            out = put_entry(out, surname);
        }
        if (has_first)
            out = male ? put_literal(out, "\",\"sex\":\"male")
                       : put_literal(out, "\",\"sex\":\"female");
        out = put_literal(out, "\"}");
    }
    *out++ = '\n';
    return out;
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
    set.bits = static_cast<uint64_t *>(std::calloc(words ? words : 1, sizeof(uint64_t)));
    return set.bits != nullptr;
}

void name_set_close(name_set &set) {
    std::free(set.bits);
    set.bits = nullptr;
}

uint64_t name_key(int mode, drawn_name name) {
    uint64_t key = 0;
    if (name.first_name >= 0)
        key = is_any(mode)
                  ? first_name_key(name.first_name)
                  : name.first_name - (name.first_name < female_first ? male_first : female_first);
    if (name.surname >= 0)
        key = key * surname_count + (name.surname - surname_first);
    return key;
}

drawn_name draw_name(name_stream &stream) {
    return draw(stream, stream.state);
}

char *write_line(char *out, drawn_name name, name_format format) {
    return write(out, name, format);
}

char *fill_names(name_stream &stream, char *out, char *end) {
    // The state, the count and the mode's settings live in locals while the
    // buffer fills.
    const name_stream settings = stream;
    const name_format format = stream.format;
    uint64_t state = stream.state;
    long long remaining = stream.remaining;
    name_set *unique = stream.unique;

    // While there is room for the longest line and its overhang, lines are
    // written in place.
    if (!unique) {
        while (remaining > 0 && static_cast<size_t>(end - out) >= longest_line) {
            out = write(out, draw(settings, state), format);
            remaining--;
        }
    }
    // Unique names: the bits of a big set are mostly out of the cache, so a
    // batch of names is drawn and their words fetched ahead, then checked in
    // order. A batch never holds more names than are still wanted or than
    // fit, so no drawn name is left over when the loop ends.
    const int batch_size = 32;
    while (unique && remaining > 0 && static_cast<size_t>(end - out) >= longest_line) {
        long long batch = static_cast<long long>(static_cast<size_t>(end - out) / longest_line);
        if (batch > remaining)
            batch = remaining;
        if (batch > batch_size)
            batch = batch_size;
        drawn_name names[batch_size];
        uint64_t keys[batch_size];
        for (int i = 0; i < batch; i++) {
            names[i] = draw(settings, state);
            keys[i] = name_key(settings.mode, names[i]);
#if defined(__GNUC__)
            __builtin_prefetch(&unique->bits[keys[i] / 64]);
#endif
        }
        for (int i = 0; i < batch; i++) {
            if (name_set_has(*unique, keys[i]))
                continue;
            name_set_add(*unique, keys[i]);
            out = write(out, names[i], format);
            remaining--;
        }
    }
    // The last stretch of the buffer: each line is made apart and copied
    // when it fits; the first that does not fit is given back.
    while (remaining > 0) {
        uint64_t before = state;
        drawn_name name = draw(settings, state);
        uint64_t key = 0;
        if (unique) {
            key = name_key(settings.mode, name);
            if (name_set_has(*unique, key))
                continue;
        }
        char line[longest_line];
        size_t length = static_cast<size_t>(write(line, name, format) - line);
        if (length > static_cast<size_t>(end - out)) {
            state = before;
            break;
        }
        if (unique)
            name_set_add(*unique, key);
        out = put_text(out, line, length);
        remaining--;
    }
    stream.state = state;
    stream.remaining = remaining;
    return out;
}
