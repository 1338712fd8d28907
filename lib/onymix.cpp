// onymix.cpp: the public C library of include/onymix.h over the generator
// of names/: labels, Generate and the generators. Checks every argument,
// then hands the work to names/lines.h; a generator is one stream with its
// own state and, for unique output, its own set of the names made. Nothing
// here is global, and nothing is allocated but the generator itself. The
// calls on stored.txt are in stored.cpp.
#define ONYMIX_BUILDING
#include "onymix.h"

#include "arguments.h"

#include "../names/lines.h"
#include "../names/name_table.h"
#include "version.h"

#include <cstdlib>
#include <cstring>

// The numbers of onymix.h are the core's, written twice because the header
// is C and stands alone; here they are held to each other. (The marks of
// stored.txt are held in stored.cpp.)
static_assert(ONYMIX_FEMALE == mode_female && ONYMIX_FEMALE_SURNAME == mode_female_surname &&
                  ONYMIX_MALE == mode_male && ONYMIX_MALE_SURNAME == mode_male_surname &&
                  ONYMIX_SURNAME == mode_surname && ONYMIX_ANY == mode_any &&
                  ONYMIX_ANY_SURNAME == mode_any_surname && ONYMIX_MODE_COUNT == all_mode_count,
              "the modes are numbered as modes.h numbers them");
static_assert(ONYMIX_LAST_SECOND == seconds_per_day - 1, "the seeds of the day are its seconds");
static_assert(ONYMIX_TEXT == format_text && ONYMIX_CSV == format_csv &&
                  ONYMIX_JSONL == format_jsonl && format_count == 3,
              "the formats are numbered as lines.h numbers them");
static_assert(ONYMIX_LINE_MAX >= line_max + 1, "the longest line, its LF and a NUL fit");
static_assert(ONYMIX_ENTRY_COUNT == name_table_size && male_first == 0 &&
                  ONYMIX_FIRST_FEMALE_ENTRY == female_first &&
                  ONYMIX_FIRST_SURNAME_ENTRY == surname_first,
              "the entries are numbered as name_table.h numbers them");

struct onymix_generator {
    name_stream stream;
    // The state right after seeding, which a seek counts from.
    uint64_t seeded;
    name_set seen;
    // For unique output: how many names are made, and how many there are.
    long long made, limit;
};

namespace {

bool valid_second(long second) {
    return second == ONYMIX_NOW || (second >= 0 && second <= ONYMIX_LAST_SECOND);
}

char lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool same_ignoring_case(const char *a, const char *b) {
    for (; *a && *b; a++, b++)
        if (lower(*a) != lower(*b))
            return false;
    return *a == *b;
}

// The label among count labels that equals label but for case, or -1.
int find_label(const char *label, const char *const *labels, int count) {
    if (!label)
        return -1;
    for (int i = 0; i < count; i++)
        if (same_ignoring_case(label, labels[i]))
            return i;
    return -1;
}

bool blank(char c) {
    return c == ' ' || c == '\t';
}

// Whether the text from begin to end is label but for ASCII case and the
// blanks around its "+": a label's only spaces are those, and each of them
// stands for any number of blanks, none too.
bool spelled_like(const char *begin, const char *end, const char *label) {
    for (; *label; label++) {
        if (*label == ' ') {
            while (begin < end && blank(*begin))
                begin++;
        } else if (begin == end || lower(*begin++) != lower(*label)) {
            return false;
        }
    }
    return begin == end;
}

// The mode number that digits alone from begin to end write, or -1.
int mode_number(const char *begin, const char *end) {
    while (end - begin > 1 && *begin == '0')
        begin++;
    return end - begin == 1 && *begin >= '0' && *begin < '0' + all_mode_count ? *begin - '0' : -1;
}

// How many names a stream made from a second (0 to 86399) or from now
// (ONYMIX_NOW) starts each pick from: the one state of that second, or
// the uptime at each pick.
pick_seeding reseeding(long second) {
    return second == ONYMIX_NOW ? seed_from_uptime : seed_fixed;
}

uint64_t state_of_second(long second) {
    return second == ONYMIX_NOW ? 0
                                : static_cast<uint64_t>(seeded_state(static_cast<int32_t>(second)));
}

// Known flags, and no unique generator that re-seeds or weighs.
bool valid_flags(unsigned flags) {
    const unsigned known = ONYMIX_UNIQUE | ONYMIX_RESEED | ONYMIX_WEIGHTED;
    return (flags & ~known) == 0 &&
           !((flags & ONYMIX_UNIQUE) && (flags & (ONYMIX_RESEED | ONYMIX_WEIGHTED)));
}

// A generator of names drawn from source, starting at state.
onymix_generator *make_generator(name_source source, uint64_t state, unsigned flags) {
    onymix_generator *g = static_cast<onymix_generator *>(std::calloc(1, sizeof *g));
    if (!g)
        return nullptr;
    source.weighted = (flags & ONYMIX_WEIGHTED) != 0;
    g->stream = name_stream{source, format_text, state, 0, nullptr};
    g->seeded = state;
    if (flags & ONYMIX_UNIQUE) {
        if (!name_set_open(g->seen, source.mode)) {
            std::free(g);
            return nullptr;
        }
        g->stream.unique = &g->seen;
        g->limit = distinct_names(source.mode);
    }
    return g;
}

bool exhausted(const onymix_generator *g) {
    return g->stream.unique && g->made >= g->limit;
}

// The next name of g that is not yet made, with the state before it (the
// skipped names already made are used up in either case). Only called when
// such a name exists.
drawn_name next_new_name(onymix_generator *g, uint64_t &before, uint64_t &key) {
    for (;;) {
        before = g->stream.state;
        drawn_name name = draw_name(g->stream);
        if (!g->stream.unique)
            return name;
        key = name_key(g->stream.source.mode, name);
        if (!name_set_has(g->seen, key))
            return name;
    }
}

void count_made(onymix_generator *g, uint64_t key) {
    if (g->stream.unique) {
        name_set_add(g->seen, key);
        g->made++;
    }
}

// The next name of g, counted as made. Only called when one is left.
drawn_name take_name(onymix_generator *g) {
    uint64_t before = 0, key = 0;
    drawn_name name = next_new_name(g, before, key);
    count_made(g, key);
    return name;
}

onymix_name record_of(drawn_name name) {
    onymix_name record;
    record.first_name = name.first_name >= 0 ? name_at(name.first_name) : nullptr;
    record.surname = name.surname >= 0 ? name_at(name.surname) : nullptr;
    record.sex = name.first_name < 0 ? nullptr : name.first_name < female_first ? "male" : "female";
    return record;
}

} // namespace

extern "C" {

const char *onymix_version(void) {
    return ONYMIX_VERSION;
}

const char *onymix_mode_label(int mode) {
    return valid_mode(mode) ? mode_labels[mode] : nullptr;
}

int onymix_mode_from_label(const char *label) {
    return find_label(label, mode_labels, all_mode_count);
}

int onymix_mode_from_text(const char *text, size_t length) {
    if (!text)
        return -1;
    const char *begin = text, *end = text + length;
    while (begin < end && blank(*begin))
        begin++;
    while (end > begin && blank(end[-1]))
        end--;
    if (begin < end && *begin >= '0' && *begin <= '9')
        return mode_number(begin, end);
    for (int mode = 0; mode < all_mode_count; mode++)
        if (spelled_like(begin, end, mode_labels[mode]))
            return mode;
    return -1;
}

const char *onymix_format_label(int format) {
    return valid_format(format) ? format_labels[format] : nullptr;
}

int onymix_format_from_label(const char *label) {
    return find_label(label, format_labels, format_count);
}

long onymix_distinct_names(int mode) {
    return valid_mode(mode) ? static_cast<long>(distinct_names(mode)) : -1;
}

int onymix_generate(int mode, long second, char *out, size_t size) {
    if (!valid_mode(mode) || !valid_second(second) || !out || size == 0) {
        clear(out, size);
        return -1;
    }
    uint64_t state = 0;
    drawn_name name =
        draw_name(name_source{mode, reseeding(second), state_of_second(second)}, state);
    return copy_name(name, out, size);
}

onymix_generator *onymix_open(int mode, long seed, unsigned flags) {
    if (!valid_second(seed))
        return nullptr;
    if (seed != ONYMIX_NOW)
        return onymix_open_seed(mode, static_cast<unsigned long long>(seed), flags);
    if (!valid_mode(mode) || !valid_flags(flags))
        return nullptr;
    // Now: a re-seeding generator reads the clock at every pick, any other
    // once, here.
    if (flags & ONYMIX_RESEED)
        return make_generator(name_source{mode, seed_from_uptime, 0}, 0, flags);
    return make_generator(name_source{mode, draw_on, 0}, static_cast<uint64_t>(state_from_uptime()),
                          flags);
}

onymix_generator *onymix_open_seed(int mode, unsigned long long seed, unsigned flags) {
    if (!valid_mode(mode) || !valid_flags(flags))
        return nullptr;
    uint64_t state = state_of_seed(seed);
    if (flags & ONYMIX_RESEED)
        return make_generator(name_source{mode, seed_fixed, state}, 0, flags);
    return make_generator(name_source{mode, draw_on, 0}, state, flags);
}

int onymix_seek(onymix_generator *g, unsigned long long index) {
    if (!g || g->stream.unique || g->stream.source.seeding != draw_on)
        return -1;
    g->stream.state = jumped_state(
        g->seeded, static_cast<uint64_t>(draws_per_name(g->stream.source.mode)), index);
    return 0;
}

void onymix_close(onymix_generator *g) {
    if (!g)
        return;
    name_set_close(g->seen);
    std::free(g);
}

int onymix_next(onymix_generator *g, char *out, size_t size) {
    if (!g || !out) {
        clear(out, size);
        return -1;
    }
    if (exhausted(g)) {
        clear(out, size);
        return 0;
    }
    uint64_t before = 0, key = 0;
    int length = copy_name(next_new_name(g, before, key), out, size);
    if (length < 0) {
        g->stream.state = before;
        return -1;
    }
    count_made(g, key);
    return length;
}

int onymix_next_name(onymix_generator *g, onymix_name *record) {
    if (!g || !record)
        return -1;
    if (exhausted(g))
        return 0;
    *record = record_of(take_name(g));
    return 1;
}

int onymix_next_names(onymix_generator *g, onymix_name *names, int count) {
    if (!g || !names || count < 0)
        return -1;
    int made = 0;
    for (; made < count && !exhausted(g); made++)
        names[made] = record_of(take_name(g));
    return made;
}

int onymix_next_entries(onymix_generator *g, int *entries, int count) {
    if (!g || !entries || count < 0)
        return -1;
    int made = 0;
    for (; made < count && !exhausted(g); made++) {
        drawn_name name = take_name(g);
        entries[2 * made] = name.first_name;
        entries[2 * made + 1] = name.surname;
    }
    return made;
}

const char *onymix_entry(int index) {
    return index >= 0 && index < name_table_size ? name_at(index) : nullptr;
}

long onymix_left(const onymix_generator *g) {
    if (!g || !g->stream.unique)
        return -1;
    return static_cast<long>(g->limit - g->made);
}

const char *onymix_format_header(int format) {
    return valid_format(format) ? format_header(static_cast<name_format>(format)) : nullptr;
}

int onymix_write(onymix_generator *g, int format, int count, char *out, size_t size,
                 size_t *length) {
    if (!g || !out || !valid_format(format) || count < 0 || size < ONYMIX_LINE_MAX)
        return -1;
    long long wanted = count;
    if (g->stream.unique && wanted > g->limit - g->made)
        wanted = g->limit - g->made;
    g->stream.format = static_cast<name_format>(format);
    g->stream.remaining = wanted;
    char *end = fill_names(g->stream, out, out + size - 1);
    *end = '\0';
    if (length)
        *length = static_cast<size_t>(end - out);
    long long written = wanted - g->stream.remaining;
    g->stream.remaining = 0;
    if (g->stream.unique)
        g->made += written;
    return static_cast<int>(written);
}

} // extern "C"
