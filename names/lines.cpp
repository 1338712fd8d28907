// lines.cpp: writing names as lines, and filling a buffer with them. The
// generator state lives in a local integer while a buffer fills.
#include "lines.h"

#include "name_table.h"

#include <cstdlib>
#include <cstring>

namespace {

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

const char *const format_labels[format_count] = {"text", "csv", "jsonl"};

const char *format_header(name_format format) {
    return format == format_csv ? "name,first_name,surname,sex\n" : "";
}

char *write_line(char *out, drawn_name name, name_format format) {
    return write(out, name, format);
}

char *put_line(char *out, char *end, drawn_name name, name_format format) {
    if (static_cast<size_t>(end - out) >= longest_line)
        return write(out, name, format);
    char line[longest_line];
    size_t length = static_cast<size_t>(write(line, name, format) - line);
    return length <= static_cast<size_t>(end - out) ? put_text(out, line, length) : nullptr;
}

char *fill_names(name_stream &stream, char *out, char *end) {
    // The state, the count and the mode's settings live in locals while the
    // buffer fills.
    const name_source source = stream.source;
    const name_format format = stream.format;
    uint64_t state = stream.state;
    long long remaining = stream.remaining;
    name_set *unique = stream.unique;
    auto next_name = [&]() { return draw_name(source, state); };

    // While there is room for the longest line and its overhang, lines are
    // written in place.
    if (!unique) {
        while (remaining > 0 && static_cast<size_t>(end - out) >= longest_line) {
            out = write(out, next_name(), format);
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
            names[i] = next_name();
            keys[i] = name_key(source.mode, names[i]);
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
        drawn_name name = next_name();
        uint64_t key = 0;
        if (unique) {
            key = name_key(source.mode, name);
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
