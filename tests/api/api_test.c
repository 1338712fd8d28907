/* api_test.c: the tests of libonymix's public interface, written in C as its
 * users write, against nothing but onymix.h. Each group of cases is run by
 * name (api_test GROUP...), or all of them; failures are counted and each
 * says what was expected and what came.
 *
 * ONYMIX_GOLDEN_DIR names tests/golden, ONYMIX_DATA_DIR names/data. */
#include "onymix.h"

#include <limits.h>
#include <pthread.h>
#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static int failures;
static const char *group;

static void fail(const char *format, ...) __attribute__((format(printf, 1, 2)));
static void fail(const char *format, ...) {
    va_list arguments;
    va_start(arguments, format);
    fprintf(stderr, "FAIL %s: ", group);
    vfprintf(stderr, format, arguments);
    fputc('\n', stderr);
    va_end(arguments);
    failures++;
}

#define EXPECT_INT(what, expected, came)                                                           \
    do {                                                                                           \
        long long e_ = (expected), c_ = (came);                                                    \
        if (e_ != c_)                                                                              \
            fail("%s: expected %lld, came %lld", (what), e_, c_);                                  \
    } while (0)

static void expect_text(const char *what, const char *expected, const char *came) {
    if (!expected || !came) {
        if (expected != came)
            fail("%s: expected %s%s%s, came %s%s%s", what, expected ? "\"" : "",
                 expected ? expected : "NULL", expected ? "\"" : "", came ? "\"" : "",
                 came ? came : "NULL", came ? "\"" : "");
        return;
    }
    if (strcmp(expected, came) != 0)
        fail("%s: expected \"%s\", came \"%s\"", what, expected, came);
}

/* ---- Files: the golden sequences and the name lists. */

/* The whole file as one NUL-terminated text, or NULL. */
static char *read_file(const char *path) {
    FILE *file = fopen(path, "rb");
    if (!file)
        return NULL;
    size_t size = 0, capacity = 1 << 16;
    char *text = malloc(capacity);
    size_t n;
    while (text && (n = fread(text + size, 1, capacity - size - 1, file)) > 0) {
        size += n;
        if (capacity - size - 1 == 0) {
            char *bigger = realloc(text, capacity *= 2);
            if (!bigger)
                free(text);
            text = bigger;
        }
    }
    fclose(file);
    if (text)
        text[size] = '\0';
    return text;
}

static char *golden(const char *name) {
    char path[1024];
    snprintf(path, sizeof path, "%s/%s", ONYMIX_GOLDEN_DIR, name);
    char *text = read_file(path);
    if (!text)
        fail("cannot read %s", path);
    return text;
}

/* The next line of *text (cut at its LF, which is replaced by a NUL), or
 * NULL at the end. */
static char *next_line(char **text) {
    char *line = *text;
    if (!line || !*line)
        return NULL;
    char *lf = strchr(line, '\n');
    if (lf) {
        *lf = '\0';
        *text = lf + 1;
    } else {
        *text = line + strlen(line);
    }
    return line;
}

static const int golden_seeds[] = {0, 1, 43200, 86399};

/* ---- The cases. */

static void labels_and_counts(void) {
    static const char *const labels[] = {
        "Female", "Female + Surname", "Male", "Male + Surname", "Surname", "Any", "Any + Surname"};
    static const long counts[] = {4275,  4275L * 56342, 1219,         1219L * 56342,
                                  56342, 5163,          5163L * 56342};
    expect_text("onymix_version()", ONYMIX_EXPECTED_VERSION, onymix_version());
    for (int mode = 0; mode < ONYMIX_MODE_COUNT; mode++) {
        expect_text("onymix_mode_label", labels[mode], onymix_mode_label(mode));
        EXPECT_INT(labels[mode], mode, onymix_mode_from_label(labels[mode]));
        EXPECT_INT("distinct names", counts[mode], onymix_distinct_names(mode));
    }
    EXPECT_INT("ONYMIX_MALE_SURNAME", 3, ONYMIX_MALE_SURNAME);
    EXPECT_INT("ONYMIX_ANY_SURNAME", 6, ONYMIX_ANY_SURNAME);
    static const char *const other_case[] = {"female", "MALE + SURNAME", "aNy + sUrNaMe"};
    static const int other_case_modes[] = {0, 3, 6};
    for (int i = 0; i < 3; i++)
        EXPECT_INT(other_case[i], other_case_modes[i], onymix_mode_from_label(other_case[i]));
    static const char *const not_labels[] = {"",      "3",   " Male", "Male ",     "Male+Surname",
                                             "Males", "Mal", "Any +", "\xc4\xb0ny"};
    for (size_t i = 0; i < sizeof not_labels / sizeof *not_labels; i++)
        EXPECT_INT(not_labels[i], -1, onymix_mode_from_label(not_labels[i]));
    EXPECT_INT("onymix_mode_from_label(NULL)", -1, onymix_mode_from_label(NULL));
    static const int bad_modes[] = {-1, 7, INT_MIN, INT_MAX};
    for (int i = 0; i < 4; i++) {
        expect_text("label of a bad mode", NULL, onymix_mode_label(bad_modes[i]));
        EXPECT_INT("distinct names of a bad mode", -1, onymix_distinct_names(bad_modes[i]));
    }
}

/* The text of a case of mode-texts.txt with its escapes (\\, \t, \xHH)
 * decoded into out, which has room for it; its length, or -1 for a broken
 * escape. */
static int hex_digit(char c) {
    const char *digits = "0123456789abcdef";
    const char *at = c ? strchr(digits, c >= 'A' && c <= 'F' ? c - 'A' + 'a' : c) : NULL;
    return at ? (int)(at - digits) : -1;
}

static long decode_case(const char *text, unsigned char *out) {
    long n = 0;
    for (; *text; text++) {
        if (*text != '\\') {
            out[n++] = (unsigned char)*text;
        } else if (text[1] == '\\' || text[1] == 't') {
            out[n++] = *++text == 't' ? '\t' : '\\';
        } else if (text[1] == 'x' && hex_digit(text[2]) >= 0 && hex_digit(text[3]) >= 0) {
            out[n++] = (unsigned char)(hex_digit(text[2]) << 4 | hex_digit(text[3]));
            text += 3;
        } else {
            return -1;
        }
    }
    return n;
}

/* The shared cases of a mode given as text, each read from a buffer of
 * exactly its bytes (so that the sanitizers catch a read past them) and
 * from one with a digit behind, which must not count. */
static void mode_texts(void) {
    char *text = golden("mode-texts.txt"), *cursor = text, *line;
    int cases = 0, refused = 0;
    while ((line = next_line(&cursor))) {
        if (line[0] == '#' || line[0] == '\0')
            continue;
        char *tab = strchr(line, '\t');
        unsigned char *followed = malloc(strlen(line) + 1);
        long length = tab && followed ? (*tab = '\0', decode_case(line, followed)) : -1;
        char *exact = length >= 0 ? malloc(length ? (size_t)length : 1) : NULL;
        if (!exact) {
            fail("mode-texts.txt: a line that is no case: %s", line);
            free(followed);
            continue;
        }
        int expected = atoi(tab + 1);
        memcpy(exact, followed, (size_t)length);
        followed[length] = '3';
        char what[300];
        snprintf(what, sizeof what, "onymix_mode_from_text(\"%s\", %ld)", line, length);
        EXPECT_INT(what, expected, onymix_mode_from_text(exact, (size_t)length));
        EXPECT_INT(what, expected, onymix_mode_from_text((char *)followed, (size_t)length));
        cases++;
        refused += expected == -1;
        free(exact);
        free(followed);
    }
    free(text);
    if (cases < 100 || refused < 30 || cases - refused < 30)
        fail("mode-texts.txt: %d cases, %d refused: the file is cut short", cases, refused);
    EXPECT_INT("onymix_mode_from_text(NULL, 0)", -1, onymix_mode_from_text(NULL, 0));
}

/* Every golden sequence, through each way of taking names: one at a time,
 * as records, and in bulk through a buffer of the smallest allowed size. */
static void golden_sequences(void) {
    for (int mode = 0; mode < ONYMIX_MODE_COUNT; mode++) {
        for (int s = 0; s < 4; s++) {
            char file[64];
            snprintf(file, sizeof file, "sequence-%d-%d.txt", mode, golden_seeds[s]);
            char *text = golden(file);
            if (!text)
                continue;
            onymix_generator *one = onymix_open(mode, golden_seeds[s], 0);
            onymix_generator *records = onymix_open(mode, golden_seeds[s], 0);
            onymix_generator *bulk = onymix_open(mode, golden_seeds[s], 0);
            onymix_generator *batched = onymix_open(mode, golden_seeds[s], 0);
            onymix_name batch[7];
            int in_batch = 0, batch_size = 0;
            if (!one || !records || !bulk || !batched) {
                fail("onymix_open(%d, %d, 0) gave NULL", mode, golden_seeds[s]);
                continue;
            }
            char block[ONYMIX_LINE_MAX], *pending = block, *cursor = text, *line;
            block[0] = '\0';
            int lines = 0;
            while ((line = next_line(&cursor)) != NULL) {
                char what[128], name[ONYMIX_LINE_MAX];
                snprintf(what, sizeof what, "%s, line %d", file, lines + 1);
                int length = onymix_next(one, name, sizeof name);
                EXPECT_INT(what, (long long)strlen(line), length);
                expect_text(what, line, name);

                onymix_name record;
                EXPECT_INT("onymix_next_name", 1, onymix_next_name(records, &record));
                snprintf(name, sizeof name, "%s%s%s", record.first_name ? record.first_name : "",
                         record.first_name && record.surname ? " " : "",
                         record.surname ? record.surname : "");
                expect_text(what, line, name);
                if (in_batch == batch_size) {
                    batch_size = onymix_next_names(batched, batch, 7);
                    EXPECT_INT("onymix_next_names of 7", 7, batch_size);
                    in_batch = 0;
                }
                onymix_name *from_batch = &batch[in_batch++];
                if (from_batch->first_name != record.first_name ||
                    from_batch->surname != record.surname || from_batch->sex != record.sex)
                    fail("%s: onymix_next_names gave another record than onymix_next_name", what);
                int female_mode = mode == ONYMIX_FEMALE || mode == ONYMIX_FEMALE_SURNAME;
                int male_mode = mode == ONYMIX_MALE || mode == ONYMIX_MALE_SURNAME;
                int any_mode = mode == ONYMIX_ANY || mode == ONYMIX_ANY_SURNAME;
                int first_only = mode == ONYMIX_FEMALE || mode == ONYMIX_MALE || mode == ONYMIX_ANY;
                if ((record.first_name == NULL) != (mode == ONYMIX_SURNAME) ||
                    (record.surname == NULL) != first_only)
                    fail("%s: the record has the wrong parts", what);
                if (!any_mode)
                    expect_text(what,
                                female_mode ? "female"
                                : male_mode ? "male"
                                            : NULL,
                                record.sex);
                else if (!record.sex ||
                         (strcmp(record.sex, "female") && strcmp(record.sex, "male")))
                    fail("%s: sex is neither female nor male", what);

                if (!*pending) {
                    size_t got = 0;
                    if (onymix_write(bulk, ONYMIX_TEXT, 1000, block, sizeof block, &got) < 1)
                        fail("%s: onymix_write gave no name", what);
                    EXPECT_INT("the length onymix_write tells", (long long)strlen(block),
                               (long long)got);
                    pending = block;
                }
                char *lf = strchr(pending, '\n');
                if (!lf) {
                    fail("%s: a bulk line without LF: \"%s\"", what, pending);
                    break;
                }
                *lf = '\0';
                expect_text(what, line, pending);
                pending = lf + 1;
                lines++;
            }
            EXPECT_INT(file, 1000, lines);
            onymix_close(one);
            onymix_close(records);
            onymix_close(bulk);
            onymix_close(batched);
            free(text);
        }
    }
}

/* What one Generate shows, and a re-seeding generator, which shows it
 * every time. */
static void golden_generate(void) {
    char *text = golden("generate.txt"), *cursor = text, *line;
    int lines = 0;
    while ((line = next_line(&cursor)) != NULL) {
        int mode = 0;
        long second = 0;
        char expected[64] = "";
        if (sscanf(line, "%d\t%ld\t%63[^\n]", &mode, &second, expected) != 3) {
            fail("generate.txt: bad line \"%s\"", line);
            continue;
        }
        char name[32], what[96];
        snprintf(what, sizeof what, "onymix_generate(%d, %ld)", mode, second);
        EXPECT_INT(what, (long long)strlen(expected), onymix_generate(mode, second, name, 32));
        expect_text(what, expected, name);
        onymix_generator *g = onymix_open(mode, second, ONYMIX_RESEED);
        for (int i = 0; g && i < 3; i++) {
            onymix_next(g, name, sizeof name);
            expect_text("a re-seeding generator", expected, name);
        }
        onymix_close(g);
        lines++;
    }
    EXPECT_INT("lines of generate.txt", 63, lines);
    free(text);
    /* The examples every user meets first. */
    char name[32];
    onymix_generate(ONYMIX_MALE_SURNAME, 0, name, sizeof name);
    expect_text("Male + Surname at second 0", "Emmitt Verhagen", name);
    onymix_generate(ONYMIX_ANY, 1, name, sizeof name);
    expect_text("Any at second 1", "Porfirio", name);
}

/* The lines of the three formats, against the records of the same names. */
static void formats(void) {
    expect_text("csv header", "name,first_name,surname,sex\n", onymix_format_header(ONYMIX_CSV));
    expect_text("text header", "", onymix_format_header(ONYMIX_TEXT));
    expect_text("jsonl header", "", onymix_format_header(ONYMIX_JSONL));
    expect_text("header of format 3", NULL, onymix_format_header(3));
    expect_text("header of format -1", NULL, onymix_format_header(-1));
    static const char *const format_labels[] = {"text", "csv", "jsonl"};
    for (int format = 0; format < 3; format++) {
        expect_text("onymix_format_label", format_labels[format], onymix_format_label(format));
        EXPECT_INT(format_labels[format], format, onymix_format_from_label(format_labels[format]));
    }
    EXPECT_INT("JSONL", ONYMIX_JSONL, onymix_format_from_label("JSONL"));
    expect_text("label of format 3", NULL, onymix_format_label(3));
    static const char *const not_formats[] = {"", "json", "csv ", "1", "tex"};
    for (int i = 0; i < 5; i++)
        EXPECT_INT(not_formats[i], -1, onymix_format_from_label(not_formats[i]));
    EXPECT_INT("onymix_format_from_label(NULL)", -1, onymix_format_from_label(NULL));
    for (int mode = 0; mode < ONYMIX_MODE_COUNT; mode++) {
        for (int format = ONYMIX_CSV; format <= ONYMIX_JSONL; format++) {
            onymix_generator *lines = onymix_open(mode, 4711, 0);
            onymix_generator *records = onymix_open(mode, 4711, 0);
            static char block[1 << 17];
            int n = onymix_write(lines, format, 1000, block, sizeof block, NULL);
            EXPECT_INT("names in a 128 KiB block", 1000, n);
            char *cursor = block, *line;
            for (int i = 0; i < n && (line = next_line(&cursor)) != NULL; i++) {
                onymix_name r;
                onymix_next_name(records, &r);
                char name[32], expected[ONYMIX_LINE_MAX];
                snprintf(name, sizeof name, "%s%s%s", r.first_name ? r.first_name : "",
                         r.first_name && r.surname ? " " : "", r.surname ? r.surname : "");
                if (format == ONYMIX_CSV) {
                    snprintf(expected, sizeof expected, "%s,%s,%s,%s", name,
                             r.first_name ? r.first_name : "", r.surname ? r.surname : "",
                             r.sex ? r.sex : "");
                } else {
                    int at = snprintf(expected, sizeof expected, "{\"name\":\"%s\"", name);
                    if (r.first_name)
                        at += snprintf(expected + at, sizeof expected - at,
                                       ",\"first_name\":\"%s\"", r.first_name);
                    if (r.surname)
                        at += snprintf(expected + at, sizeof expected - at, ",\"surname\":\"%s\"",
                                       r.surname);
                    if (r.sex)
                        at +=
                            snprintf(expected + at, sizeof expected - at, ",\"sex\":\"%s\"", r.sex);
                    snprintf(expected + at, sizeof expected - at, "}");
                }
                expect_text(format == ONYMIX_CSV ? "csv line" : "jsonl line", expected, line);
                if (strlen(line) + 2 > ONYMIX_LINE_MAX)
                    fail("a line longer than ONYMIX_LINE_MAX: %s", line);
            }
            onymix_close(lines);
            onymix_close(records);
        }
    }
}

/* Unique output until every name is out: each of the 1,219 male names once,
 * then nothing, through every call. */
static void unique_exhaustion(void) {
    char path[1024];
    snprintf(path, sizeof path, "%s/male.txt", ONYMIX_DATA_DIR);
    char *male = read_file(path);
    if (!male) {
        fail("cannot read %s", path);
        return;
    }
    onymix_generator *g = onymix_open(ONYMIX_MALE, 1, ONYMIX_UNIQUE);
    onymix_generator *bulk = onymix_open(ONYMIX_MALE, 1, ONYMIX_UNIQUE);
    static char names[1219][16];
    int made = 0;
    char name[16];
    EXPECT_INT("onymix_left before any name", 1219, onymix_left(g));
    while (made < 1300 && onymix_next(g, name, sizeof name) > 0) {
        if (made == 1000) /* the 1,001st has just come */
            EXPECT_INT("onymix_left after 1001 names", 218, onymix_left(g));
        for (int i = 0; i < made; i++)
            if (!strcmp(names[i], name))
                fail("%s came twice", name);
        if (made < 1219)
            strcpy(names[made], name);
        made++;
    }
    EXPECT_INT("unique male names", 1219, made);
    char *cursor = male, *line;
    while ((line = next_line(&cursor)) != NULL) {
        int found = 0;
        for (int i = 0; i < made && i < 1219 && !found; i++)
            found = !strcmp(names[i], line);
        if (!found)
            fail("%s never came", line);
    }
    strcpy(name, "x");
    EXPECT_INT("onymix_next after the last name", 0, onymix_next(g, name, sizeof name));
    expect_text("onymix_next after the last name", "", name);
    EXPECT_INT("onymix_next once more", 0, onymix_next(g, name, sizeof name));
    EXPECT_INT("onymix_left after the last name", 0, onymix_left(g));
    onymix_name batch[4];
    EXPECT_INT("onymix_next_names after the last name", 0, onymix_next_names(g, batch, 4));
    onymix_name record = {"kept", "kept", "kept"};
    EXPECT_INT("onymix_next_name after the last name", 0, onymix_next_name(g, &record));
    expect_text("the record is left as it was", "kept", record.first_name);
    char block[ONYMIX_LINE_MAX];
    EXPECT_INT("onymix_write after the last name", 0,
               onymix_write(g, ONYMIX_TEXT, 5, block, sizeof block, NULL));

    /* The bulk call gives the same names in the same order, and stops at the
     * last even when more are asked for. */
    static char all[1219 * 16];
    size_t length = 0;
    EXPECT_INT("onymix_write of 5000 unique male names", 1219,
               onymix_write(bulk, ONYMIX_TEXT, 5000, all, sizeof all, &length));
    cursor = all;
    for (int i = 0; i < 1219 && (line = next_line(&cursor)) != NULL; i++)
        expect_text("bulk unique name", names[i], line);
    EXPECT_INT("onymix_write then", 0, onymix_write(bulk, ONYMIX_TEXT, 1, all, sizeof all, NULL));
    EXPECT_INT("onymix_left then", 0, onymix_left(bulk));

    /* Records in bulk count against the same names: asked for more than are
     * left, they give what is left. */
    onymix_generator *records = onymix_open(ONYMIX_MALE, 1, ONYMIX_UNIQUE);
    static onymix_name all_records[1300];
    EXPECT_INT("onymix_next_names of the first 1200", 1200,
               onymix_next_names(records, all_records, 1200));
    EXPECT_INT("onymix_left after 1200 records", 19, onymix_left(records));
    EXPECT_INT("onymix_next_names of 100 more", 19,
               onymix_next_names(records, all_records + 1200, 100));
    for (int i = 0; i < 1219; i++)
        expect_text("unique record", names[i], all_records[i].first_name);
    onymix_generator *endless = onymix_open(ONYMIX_MALE, 1, 0);
    EXPECT_INT("onymix_left of a generator that is not unique", -1, onymix_left(endless));
    onymix_close(endless);
    onymix_close(records);
    onymix_close(g);
    onymix_close(bulk);
    free(male);
}

/* Bad arguments give -1 or NULL and write nothing beyond an empty text. */
static void bad_arguments(void) {
    char out[64];
    static const int bad_modes[] = {-1, 7, 8, INT_MIN, INT_MAX};
    static const long bad_seconds[] = {-2, 86400, 86401, LONG_MIN, LONG_MAX};
    for (int i = 0; i < 5; i++) {
        strcpy(out, "x");
        EXPECT_INT("onymix_generate of a bad mode", -1, onymix_generate(bad_modes[i], 0, out, 64));
        expect_text("onymix_generate of a bad mode", "", out);
        strcpy(out, "x");
        EXPECT_INT("onymix_generate of a bad second", -1,
                   onymix_generate(3, bad_seconds[i], out, 64));
        expect_text("onymix_generate of a bad second", "", out);
        if (onymix_open(bad_modes[i], 0, 0) || onymix_open(3, bad_seconds[i], 0))
            fail("onymix_open of a bad mode or seed gave a generator");
    }
    static const unsigned bad_flags[] = {
        8, 16, 0x80000000u, ~0u, ONYMIX_UNIQUE | ONYMIX_RESEED, ONYMIX_UNIQUE | ONYMIX_WEIGHTED};
    for (size_t i = 0; i < sizeof bad_flags / sizeof *bad_flags; i++)
        if (onymix_open(3, 0, bad_flags[i]))
            fail("onymix_open with flags %#x gave a generator", bad_flags[i]);
    EXPECT_INT("onymix_generate into NULL", -1, onymix_generate(3, 0, NULL, 64));
    strcpy(out, "x");
    EXPECT_INT("onymix_generate with size 0", -1, onymix_generate(3, 0, out, 0));
    expect_text("size 0 leaves the buffer alone", "x", out);

    /* "Emmitt Verhagen" is 15 characters: 16 bytes are enough, 15 are not. */
    memset(out, '#', sizeof out);
    EXPECT_INT("onymix_generate into 16 bytes", 15, onymix_generate(3, 0, out, 16));
    expect_text("onymix_generate into 16 bytes", "Emmitt Verhagen", out);
    memset(out, '#', sizeof out);
    EXPECT_INT("onymix_generate into 15 bytes", -1, onymix_generate(3, 0, out, 15));
    expect_text("onymix_generate into 15 bytes", "", out);
    if (out[1] != '#')
        fail("onymix_generate into 15 bytes wrote past the empty text");

    EXPECT_INT("onymix_next(NULL)", -1, onymix_next(NULL, out, sizeof out));
    onymix_name record;
    EXPECT_INT("onymix_next_name(NULL)", -1, onymix_next_name(NULL, &record));
    onymix_close(NULL);
    char block[ONYMIX_LINE_MAX + 1];
    EXPECT_INT("onymix_write(NULL)", -1, onymix_write(NULL, 0, 1, block, sizeof block, NULL));
    EXPECT_INT("onymix_next_names(NULL)", -1, onymix_next_names(NULL, &record, 1));
    EXPECT_INT("onymix_left(NULL)", -1, onymix_left(NULL));

    onymix_generator *g = onymix_open(3, 0, 0);
    EXPECT_INT("onymix_next_name into NULL", -1, onymix_next_name(g, NULL));
    EXPECT_INT("onymix_next_names into NULL", -1, onymix_next_names(g, NULL, 1));
    EXPECT_INT("onymix_next_names of -1", -1, onymix_next_names(g, &record, -1));
    EXPECT_INT("onymix_next_names of 0", 0, onymix_next_names(g, &record, 0));
    EXPECT_INT("onymix_next into NULL", -1, onymix_next(g, NULL, 64));
    strcpy(out, "x");
    EXPECT_INT("onymix_next with size 0", -1, onymix_next(g, out, 0));
    expect_text("size 0 leaves the buffer alone", "x", out);
    EXPECT_INT("onymix_next into 17 bytes", -1, onymix_next(g, out, 17));
    expect_text("onymix_next into 17 bytes", "", out);
    static const int bad_formats[] = {-1, 3, INT_MIN, INT_MAX};
    for (int i = 0; i < 4; i++)
        EXPECT_INT("onymix_write of a bad format", -1,
                   onymix_write(g, bad_formats[i], 1, block, sizeof block, NULL));
    EXPECT_INT("onymix_write into NULL", -1, onymix_write(g, 0, 1, NULL, sizeof block, NULL));
    EXPECT_INT("onymix_write of -1 names", -1, onymix_write(g, 0, -1, block, sizeof block, NULL));
    EXPECT_INT("onymix_write of INT_MIN names", -1,
               onymix_write(g, 0, INT_MIN, block, sizeof block, NULL));
    EXPECT_INT("onymix_write into ONYMIX_LINE_MAX - 1 bytes", -1,
               onymix_write(g, 0, 1, block, ONYMIX_LINE_MAX - 1, NULL));
    size_t length = 99;
    EXPECT_INT("onymix_write of 0 names", 0, onymix_write(g, 0, 0, block, sizeof block, &length));
    EXPECT_INT("the length of 0 names", 0, (long long)length);
    /* None of that used a name up: the first comes now, into just enough room
     * ("Emmitt Santacruce", 17 characters, the first of seed 0). */
    EXPECT_INT("onymix_next into 18 bytes", 17, onymix_next(g, out, 18));
    expect_text("the first name after the refusals", "Emmitt Santacruce", out);
    onymix_close(g);
}

/* A name that does not fit is not used up, in either call. */
static void exact_room(void) {
    onymix_generator *expected = onymix_open(ONYMIX_ANY_SURNAME, 43200, 0);
    onymix_generator *next = onymix_open(ONYMIX_ANY_SURNAME, 43200, 0);
    onymix_generator *bulk = onymix_open(ONYMIX_ANY_SURNAME, 43200, ONYMIX_UNIQUE);
    onymix_generator *bulk_expected = onymix_open(ONYMIX_ANY_SURNAME, 43200, ONYMIX_UNIQUE);
    for (int i = 0; i < 3000; i++) {
        char name[32], tight[32];
        int length = onymix_next(expected, name, sizeof name);
        /* One byte short, then exactly enough. */
        EXPECT_INT("a name one byte too long for the room", -1,
                   onymix_next(next, tight, (size_t)length));
        EXPECT_INT("the same name with room", length, onymix_next(next, tight, (size_t)length + 1));
        expect_text("the same name with room", name, tight);
    }
    /* Buffers of every size from ONYMIX_LINE_MAX up cut the lines at
     * different places; the names are those of one long run. */
    static char whole[1 << 16];
    size_t whole_length = 0;
    onymix_write(bulk_expected, ONYMIX_JSONL, 500, whole, sizeof whole, &whole_length);
    size_t at = 0;
    for (size_t size = ONYMIX_LINE_MAX; at < whole_length; size++) {
        char block[512];
        size_t length = 0;
        int n = onymix_write(bulk, ONYMIX_JSONL, 500, block, size, &length);
        if (n < 1 || length >= size || block[length] != '\0' || block[length - 1] != '\n') {
            fail("onymix_write into %zu bytes gave %d names and %zu bytes", size, n, length);
            break;
        }
        if (at + length > whole_length || memcmp(whole + at, block, length) != 0) {
            fail("onymix_write into %zu bytes went off the sequence at byte %zu", size, at);
            break;
        }
        at += length;
    }
    onymix_close(expected);
    onymix_close(next);
    onymix_close(bulk);
    onymix_close(bulk_expected);
}

/* ---- stored.txt. */

/* The stored text of size bytes, checked against the text and encoding
 * expected. */
static void expect_load(const char *what, const char *bytes, size_t size, const char *text,
                        int mark, int charset) {
    char *got = NULL;
    size_t length = 99;
    int got_mark = -1, got_charset = -1;
    int status = onymix_stored_text(bytes, size, &got, &length, &got_mark, &got_charset);
    EXPECT_INT(what, 0, status);
    if (status != 0)
        return;
    expect_text(what, text, got);
    EXPECT_INT(what, (long long)strlen(text), (long long)length);
    EXPECT_INT(what, mark, got_mark);
    EXPECT_INT(what, charset, got_charset);
    onymix_free(got);
}

/* The bytes saved for text, checked against those expected. */
static void expect_save(const char *what, const char *text, int mark, int charset,
                        const char *bytes, size_t size) {
    void *got = NULL;
    size_t got_size = 0;
    int status = onymix_stored_bytes(text, mark, charset, &got, &got_size, NULL);
    EXPECT_INT(what, 0, status);
    if (status == 0 && (got_size != size || memcmp(got, bytes, size) != 0))
        fail("%s: expected %zu bytes, came %zu, or other bytes", what, size, got_size);
    onymix_free(got);
}

static void stored(void) {
    /* The load: non-empty lines, each followed by CR LF; a NUL ends its
     * line's text. The save: CRs dropped, LF as CR LF. */
    static const struct {
        const char *file;
        size_t size;
        const char *text;
    } loads[] = {
        {"", 0, ""},
        {"\r\n\r\n\n", 5, ""},
        {"A\r\nB", 4, "A\r\nB\r\n"},
        {"A\r\n\r\nB\r\n\r\n", 10, "A\r\nB\r\n"},
        {"A\nB\r\n\n\nC", 8, "A\r\nB\r\nC\r\n"},
        {"A\rB\r\n", 5, "A\rB\r\n"},
        {"AB\0C\r\n\0D\r\nE", 11, "AB\r\nE\r\n"},
    };
    for (size_t i = 0; i < sizeof loads / sizeof *loads; i++)
        expect_load(loads[i].text, loads[i].file, loads[i].size, loads[i].text, ONYMIX_MARK_NONE,
                    ONYMIX_CHARSET_UTF8);
    expect_save("save", "A\n\nX\r\nY\rZ", ONYMIX_MARK_NONE, ONYMIX_CHARSET_UTF8, "A\r\n\r\nX\r\nYZ",
                10);

    /* 8-bit text: UTF-8 when it is well-formed, windows-1252 otherwise, and
     * either written back byte for byte. */
    expect_load("UTF-8", "Zo\xC3\xAB\r\n\xE2\x82\xAC\r\n", 11, "Zo\xC3\xAB\r\n\xE2\x82\xAC\r\n",
                ONYMIX_MARK_NONE, ONYMIX_CHARSET_UTF8);
    const char cp1252[] = "Zo\xEB\r\n\x80 \x8A\x9F\r\n";
    const char cp1252_text[] = "Zo\xC3\xAB\r\n\xE2\x82\xAC \xC5\xA0\xC5\xB8\r\n";
    expect_load("windows-1252", cp1252, sizeof cp1252 - 1, cp1252_text, ONYMIX_MARK_NONE,
                ONYMIX_CHARSET_WINDOWS_1252);
    expect_save("windows-1252", cp1252_text, ONYMIX_MARK_NONE, ONYMIX_CHARSET_WINDOWS_1252, cp1252,
                sizeof cp1252 - 1);
    char every[256];
    size_t count = 0;
    for (int byte = 1; byte < 256; byte++)
        if (byte != '\n' && byte != '\r')
            every[count++] = (char)byte;
    every[count++] = '\r';
    every[count++] = '\n';
    char *text = NULL;
    int mark = -1, charset = -1;
    EXPECT_INT("every byte", 0, onymix_stored_text(every, count, &text, NULL, &mark, &charset));
    EXPECT_INT("every byte: windows-1252", ONYMIX_CHARSET_WINDOWS_1252, charset);
    if (text)
        expect_save("every byte back", text, mark, charset, every, count);
    onymix_free(text);

    /* The marks: kept out of the text and written back; 8-bit text that
     * begins like a mark is saved behind the UTF-8 mark. */
    expect_load("UTF-8 mark", "\xEF\xBB\xBFZo\xC3\xAB\r\n", 9, "Zo\xC3\xAB\r\n", ONYMIX_MARK_UTF8,
                ONYMIX_CHARSET_UTF8);
    expect_save("UTF-8 mark", "Zo\xC3\xAB\r\n", ONYMIX_MARK_UTF8, ONYMIX_CHARSET_UTF8,
                "\xEF\xBB\xBFZo\xC3\xAB\r\n", 9);
    expect_save("a text like a mark", "\xC3\xBF\xC3\xBEt", ONYMIX_MARK_NONE,
                ONYMIX_CHARSET_WINDOWS_1252, "\xEF\xBB\xBF\xFF\xFEt", 6);
    const char le[] = "\xFF\xFEZ\0\xEB\0\r\0\n\0\x3D\xD8\x00\xDE\r\0\n\0";
    const char be[] = "\xFE\xFF\0Z\0\xEB\0\r\0\n\xD8\x3D\xDE\x00\0\r\0\n";
    const char le_text[] = "Z\xC3\xAB\r\n\xF0\x9F\x98\x80\r\n";
    expect_load("UTF-16 LE", le, sizeof le - 1, le_text, ONYMIX_MARK_UTF16LE, ONYMIX_CHARSET_UTF8);
    expect_load("UTF-16 BE", be, sizeof be - 1, le_text, ONYMIX_MARK_UTF16BE, ONYMIX_CHARSET_UTF8);
    expect_save("UTF-16 LE", le_text, ONYMIX_MARK_UTF16LE, ONYMIX_CHARSET_UTF8, le, sizeof le - 1);
    expect_save("UTF-16 BE", le_text, ONYMIX_MARK_UTF16BE, ONYMIX_CHARSET_UTF8, be, sizeof be - 1);

    /* What cannot be shown is refused with its mark; what cannot be saved
     * names the place of the first character lost. */
    EXPECT_INT("half a character", ONYMIX_UNSHOWABLE,
               onymix_stored_text("\xFF\xFE\x41\0\x42", 5, &text, NULL, &mark, NULL));
    EXPECT_INT("half a character: its mark", ONYMIX_MARK_UTF16LE, mark);
    if (text)
        fail("a refused load handed out a text");
    EXPECT_INT("half a surrogate pair", ONYMIX_UNSHOWABLE,
               onymix_stored_text("\xFE\xFF\xD8\x3D\0A", 6, &text, NULL, NULL, NULL));
    void *bytes = (void *)"kept";
    size_t size = 0, at = 99;
    EXPECT_INT("omega in windows-1252", ONYMIX_UNSAVABLE,
               onymix_stored_bytes("Zo\xC3\xAB \xCE\xA9", ONYMIX_MARK_NONE,
                                   ONYMIX_CHARSET_WINDOWS_1252, &bytes, &size, &at));
    EXPECT_INT("omega's place", 5, (long long)at);
    if (bytes)
        fail("a refused save handed out bytes");
    EXPECT_INT(
        "no UTF-8 for UTF-16", ONYMIX_UNSAVABLE,
        onymix_stored_bytes("A\xFF", ONYMIX_MARK_UTF16BE, ONYMIX_CHARSET_UTF8, &bytes, &size, &at));
    EXPECT_INT("the byte that is no UTF-8", 1, (long long)at);

    /* Store and Quit. */
    static const char *const stores[][3] = {
        {"", "X", "X"}, {"A\r\nB\r\n", "X", "A\r\nB\r\n\r\nX"}, {"A", "", "A\r\n"}, {"", "", ""}};
    for (int i = 0; i < 4; i++) {
        char *list = onymix_store(stores[i][0], stores[i][1]);
        expect_text("onymix_store", stores[i][2], list);
        onymix_free(list);
    }
    expect_text("the question at Quit", "Save stored names to file?", onymix_quit_question("A"));
    expect_text("no question for an empty list", NULL, onymix_quit_question(""));

    /* Bad arguments. */
    EXPECT_INT("onymix_stored_text into NULL", -1,
               onymix_stored_text("A", 1, NULL, NULL, NULL, NULL));
    EXPECT_INT("onymix_stored_text of NULL bytes", -1,
               onymix_stored_text(NULL, 1, &text, NULL, NULL, NULL));
    EXPECT_INT("onymix_stored_text of no bytes", 0,
               onymix_stored_text(NULL, 0, &text, NULL, NULL, NULL));
    onymix_free(text);
    static const int bad_encodings[][2] = {{-1, 0}, {4, 0}, {0, 2}, {0, -1}, {2, 1}, {3, 1}};
    for (int i = 0; i < 6; i++)
        EXPECT_INT("onymix_stored_bytes of a bad encoding", -1,
                   onymix_stored_bytes("A", bad_encodings[i][0], bad_encodings[i][1], &bytes, &size,
                                       NULL));
    EXPECT_INT("onymix_stored_bytes of NULL", -1,
               onymix_stored_bytes(NULL, 0, 0, &bytes, &size, NULL));
    EXPECT_INT("onymix_stored_bytes into NULL", -1,
               onymix_stored_bytes("A", 0, 0, NULL, &size, NULL));
    expect_text("onymix_store(NULL, ...)", NULL, onymix_store(NULL, "X"));
    expect_text("onymix_store(..., NULL)", NULL, onymix_store("A", NULL));
    expect_text("onymix_quit_question(NULL)", NULL, onymix_quit_question(NULL));
    onymix_free(NULL);
}

/* ---- Names by id, pseudonyms, far seeds and seeks. */

static const char *const key_names[] = {"00000000000000000000000000000000",
                                        "000102030405060708090a0b0c0d0e0f"};
static const unsigned char counting_key[16] = {0, 1, 2,  3,  4,  5,  6,  7,
                                               8, 9, 10, 11, 12, 13, 14, 15};

/* The key of a golden file: NULL (16 zero bytes) or 00 01 .. 0f. */
static const unsigned char *key_of(int k) {
    return k == 0 ? NULL : counting_key;
}

/* The name of id as one call writes it, and as the two bulk calls do, as a
 * run and in an array, and as entries. */
static void check_id(int mode, int k, unsigned long long id, const char *expected) {
    char what[160], name[ONYMIX_LINE_MAX], block[ONYMIX_LINE_MAX + 8];
    snprintf(what, sizeof what, "%s, key %d, id %llu", onymix_mode_label(mode), k, id);
    EXPECT_INT(what, (long long)strlen(expected),
               onymix_name_for_id(mode, id, key_of(k), name, sizeof name));
    expect_text(what, expected, name);
    size_t length = 0;
    EXPECT_INT(
        what, 1,
        onymix_write_ids(mode, key_of(k), id, NULL, 1, ONYMIX_TEXT, block, sizeof block, &length));
    block[length ? length - 1 : 0] = '\0';
    expect_text(what, expected, block);
    EXPECT_INT(
        what, 1,
        onymix_write_ids(mode, key_of(k), 0, &id, 1, ONYMIX_TEXT, block, sizeof block, &length));
    block[length ? length - 1 : 0] = '\0';
    expect_text(what, expected, block);
    int entries[2];
    EXPECT_INT(what, 1, onymix_entries_for_ids(mode, key_of(k), id, NULL, 1, entries));
    snprintf(name, sizeof name, "%s%s%s", entries[0] >= 0 ? onymix_entry(entries[0]) : "",
             entries[0] >= 0 && entries[1] >= 0 ? " " : "",
             entries[1] >= 0 ? onymix_entry(entries[1]) : "");
    expect_text(what, expected, name);
}

/* Keys written as hex digits: the counting key in either case gives the
 * golden files' names; every other text is refused at its first wrong
 * character, or for its length, and leaves the key as it was. */
static void keys_from_hex(void) {
    unsigned char key[ONYMIX_KEY_SIZE];
    char name[ONYMIX_LINE_MAX], expected[ONYMIX_LINE_MAX];
    const char *const spellings[] = {"000102030405060708090a0b0c0d0e0f",
                                     "000102030405060708090A0B0C0D0E0F"};
    for (int i = 0; i < 2; i++) {
        memset(key, 0xEE, sizeof key);
        EXPECT_INT(spellings[i], 0, onymix_key_from_hex(spellings[i], 32, key));
        if (memcmp(key, counting_key, sizeof key) != 0)
            fail("%s: not the bytes 00 01 .. 0f", spellings[i]);
    }
    memset(key, 0xEE, sizeof key);
    EXPECT_INT("32 zeros", 0, onymix_key_from_hex(key_names[0], 32, key));
    for (size_t i = 0; i < sizeof key; i++)
        EXPECT_INT("a byte of 32 zeros", 0, key[i]);
    EXPECT_INT("ff..ff", 0, onymix_key_from_hex("ffffffffffffffffffffffffffffffff", 32, key));
    for (size_t i = 0; i < sizeof key; i++)
        EXPECT_INT("a byte of ff..ff", 0xFF, key[i]);
    /* A name under the parsed key is the golden one under the counting key. */
    onymix_key_from_hex(key_names[1], 32, key);
    onymix_name_for_id(ONYMIX_ANY_SURNAME, 12345, key, name, sizeof name);
    onymix_name_for_id(ONYMIX_ANY_SURNAME, 12345, counting_key, expected, sizeof expected);
    expect_text("a name under the parsed key", expected, name);

    static const struct {
        const char *text;
        size_t length;
        int result;
    } refused[] = {
        {"", 0, -1},
        {"000102030405060708090a0b0c0d0e0", 31, -1},
        {"000102030405060708090a0b0c0d0e0f0", 33, -1},
        {"000102030405060708090a0b0c0d0e0f00", 34, -1},
        {"g00102030405060708090a0b0c0d0e0f", 32, 1},
        {"000102030405060708090a0b0c0d0e0g", 32, 32},
        {"00010203040506 708090a0b0c0d0e0f", 32, 15},
        {"0x0102030405060708090a0b0c0d0e0f", 32, 2},
        {"000102030405060708090a0b0c0d0e0f\n", 33, 33},
        {"00010203:", 9, 9},
        {"0001020304050607\0008090a0b0c0d0e0f", 32, 17},
    };
    for (size_t i = 0; i < sizeof refused / sizeof *refused; i++) {
        char what[80];
        snprintf(what, sizeof what, "the text %zu of the refused", i);
        memset(key, 0xEE, sizeof key);
        EXPECT_INT(what, refused[i].result,
                   onymix_key_from_hex(refused[i].text, refused[i].length, key));
        for (size_t b = 0; b < sizeof key; b++)
            if (key[b] != 0xEE) {
                fail("%s: the key was written", what);
                break;
            }
    }
    /* Only length characters are read: a key inside a longer text. */
    EXPECT_INT("the first 32 of 34", 0,
               onymix_key_from_hex("000102030405060708090a0b0c0d0e0fzz", 32, key));
    EXPECT_INT("NULL text", -1, onymix_key_from_hex(NULL, 32, key));
    EXPECT_INT("NULL key", -1, onymix_key_from_hex(key_names[1], 32, NULL));
}

/* ---- Maskings. */

static const char *const mask_files[] = {"mask-first-", "mask-surname-", "mask-full-"};

/* A field of a masking file with its escapes (\\, \t, \n, \r, \xHH) undone,
 * into out, which is as long as the field; its length. */
static size_t unescape(const char *field, char *out) {
    size_t n = 0;
    while (*field) {
        if (*field != '\\') {
            out[n++] = *field++;
        } else if (field[1] == 'x') {
            unsigned byte = 0;
            sscanf(field + 2, "%2x", &byte);
            out[n++] = (char)byte;
            field += 4;
        } else {
            char c = field[1];
            out[n++] = c == 't' ? '\t' : c == 'n' ? '\n' : c == 'r' ? '\r' : c;
            field += 2;
        }
    }
    return n;
}

enum { mask_lines = 128 };

static onymix_masker *counting_masker;

/* onymix_mask_values under counting_key, or (by_masker) onymix_masker_values
 * under a masker of it. */
static int bulk_masking(int by_masker, int kind, const void *const *values, const size_t *lengths,
                        size_t count, char *out, size_t size, size_t *ends) {
    if (!by_masker)
        return onymix_mask_values(kind, counting_key, values, lengths, count, out, size, ends);
    if (!counting_masker && !(counting_masker = onymix_masker_open(counting_key))) {
        fail("no masker of the counting key");
        return -2;
    }
    return onymix_masker_values(counting_masker, kind, values, lengths, count, out, size, ends);
}

/* Each value of a file masked alone, with its length asked first; then all
 * of them in one bulk call, and again through a buffer with room for few. */
static void golden_maskings(void) {
    static char values[mask_lines][256], expected[mask_lines][256], bulk[1 << 15];
    static const void *pointers[mask_lines];
    static size_t lengths[mask_lines], ends[mask_lines];
    for (int kind = 0; kind < 3; kind++) {
        char file[96];
        snprintf(file, sizeof file, "%s%s.txt", mask_files[kind], key_names[1]);
        char *text = golden(file), *cursor = text, *line;
        int count = 0;
        while (text && (line = next_line(&cursor)) != NULL && count < mask_lines) {
            char *tab = strchr(line, '\t'), out[256], what[400];
            if (!tab) {
                fail("%s: a line without a tab", file);
                break;
            }
            *tab = '\0';
            lengths[count] = unescape(line, values[count]);
            pointers[count] = values[count];
            size_t length = unescape(tab + 1, expected[count]);
            expected[count][length] = '\0';
            snprintf(what, sizeof what, "%s: the masking of \"%s\"", file, line);
            EXPECT_INT(what, (long long)length,
                       onymix_mask(kind, values[count], lengths[count], counting_key, NULL, 0));
            EXPECT_INT(
                what, (long long)length,
                onymix_mask(kind, values[count], lengths[count], counting_key, out, sizeof out));
            expect_text(what, expected[count], out);
            /* The same alone through a masker, its length asked first. */
            if (!counting_masker)
                counting_masker = onymix_masker_open(counting_key);
            EXPECT_INT(
                what, (long long)length,
                onymix_masker_mask(counting_masker, kind, values[count], lengths[count], NULL, 0));
            EXPECT_INT(what, (long long)length,
                       onymix_masker_mask(counting_masker, kind, values[count], lengths[count], out,
                                          sizeof out));
            expect_text(what, expected[count], out);
            if (length > ONYMIX_MASK_GROWTH * lengths[count])
                fail("%s: longer than ONYMIX_MASK_GROWTH allows", what);
            count++;
        }
        EXPECT_INT(file, kind == 0 ? 81 : kind == 1 ? 48 : 105, count);
        free(text);

        /* In one call, and in 24 bytes: some maskings one by one, some two
         * at once, some not at all, each refused one longer than the room
         * left; by the key and by a masker of it. */
        for (int by = 0; by < 2; by++) {
            const char *how = by ? "by a masker" : "by the key";
            EXPECT_INT(
                how, count,
                bulk_masking(by, kind, pointers, lengths, (size_t)count, bulk, sizeof bulk, ends));
            for (int i = 0; i < count; i++) {
                size_t start = i ? ends[i - 1] : 0;
                if (ends[i] - start != strlen(expected[i]) ||
                    memcmp(bulk + start, expected[i], ends[i] - start) != 0)
                    fail("%s: bulk masking %d %s is \"%.*s\", not \"%s\"", file, i, how,
                         (int)(ends[i] - start), bulk + start, expected[i]);
            }
            if (bulk[ends[count - 1]] != '\0')
                fail("%s: no NUL after the bulk maskings %s", file, how);
            for (int done = 0, calls = 0; done < count && calls < 2 * mask_lines; calls++) {
                int n = bulk_masking(by, kind, pointers + done, lengths + done,
                                     (size_t)(count - done), bulk, 24, ends);
                if (n == 0 && strlen(expected[done]) < 24)
                    fail("%s: masking %d fits into 24 bytes but was not given %s", file, done, how);
                for (int i = 0; i < n; i++) {
                    size_t start = i ? ends[i - 1] : 0;
                    if (ends[i] - start != strlen(expected[done + i]) ||
                        memcmp(bulk + start, expected[done + i], ends[i] - start) != 0)
                        fail("%s: masking %d in a small buffer differs %s", file, done + i, how);
                }
                done += n ? n : 1;
            }
        }
    }
    onymix_masker_close(counting_masker);
    counting_masker = NULL;
}

/* An ASCII text in capitals or in small letters, in place. */
static char *in_case(char *text, int capitals) {
    for (char *c = text; *c; c++)
        if (*c >= (capitals ? 'a' : 'A') && *c <= (capitals ? 'z' : 'Z'))
            *c = (char)(*c ^ 0x20);
    return text;
}

/* Every listed first name keeps its sex: its masking is its pseudonym in
 * the mode of the list where it stands higher, in its case. A full name is
 * its masked given name, a space and its masked surname, or the other way
 * round around ", ". */
static void mask_by_the_lists(void) {
    for (int e = 0; e < ONYMIX_FIRST_SURNAME_ENTRY; e++) {
        int male = e < ONYMIX_FIRST_FEMALE_ENTRY ? e : -1;
        int female = male < 0 ? e - ONYMIX_FIRST_FEMALE_ENTRY : -1;
        int other_first = male < 0 ? 0 : ONYMIX_FIRST_FEMALE_ENTRY,
            other_end = male < 0 ? ONYMIX_FIRST_FEMALE_ENTRY : ONYMIX_FIRST_SURNAME_ENTRY;
        for (int o = other_first; o < other_end; o++)
            if (!strcmp(onymix_entry(o), onymix_entry(e))) {
                if (male < 0)
                    male = o;
                else
                    female = o - ONYMIX_FIRST_FEMALE_ENTRY;
            }
        int mode = female < 0 || (male >= 0 && male < female) ? ONYMIX_MALE : ONYMIX_FEMALE;
        char name[32], small[32], expected[32], got[32];
        snprintf(name, sizeof name, "%s", onymix_entry(e));
        snprintf(small, sizeof small, "%s", name);
        onymix_pseudonym(mode, in_case(small, 0), strlen(small), counting_key, expected,
                         sizeof expected);
        onymix_mask(ONYMIX_MASK_FIRST_NAME, name, strlen(name), counting_key, got, sizeof got);
        expect_text(name, expected, got);
        onymix_mask(ONYMIX_MASK_FIRST_NAME, in_case(name, 1), strlen(name), counting_key, got,
                    sizeof got);
        expect_text(name, in_case(expected, 1), got);
    }
    onymix_generator *g = onymix_open_seed(ONYMIX_ANY_SURNAME, 25, 0);
    for (int i = 0; i < 2000; i++) {
        onymix_name name;
        char full[64], given[64], surname[64], expected[160], got[160];
        onymix_next_name(g, &name);
        onymix_mask(ONYMIX_MASK_FIRST_NAME, name.first_name, strlen(name.first_name), counting_key,
                    given, sizeof given);
        onymix_mask(ONYMIX_MASK_SURNAME, name.surname, strlen(name.surname), counting_key, surname,
                    sizeof surname);
        snprintf(full, sizeof full, "%s %s", name.first_name, name.surname);
        snprintf(expected, sizeof expected, "%s %s", given, surname);
        onymix_mask(ONYMIX_MASK_FULL_NAME, full, strlen(full), counting_key, got, sizeof got);
        expect_text(full, expected, got);
        snprintf(full, sizeof full, "%s, %s", name.surname, name.first_name);
        snprintf(expected, sizeof expected, "%s, %s", surname, given);
        onymix_mask(ONYMIX_MASK_FULL_NAME, full, strlen(full), counting_key, got, sizeof got);
        expect_text(full, expected, got);
    }
    /* Words of ASCII letters alone in any case, masked alone, and with a
     * byte beside them that makes the masking take the value apart: the
     * words' maskings are the same. */
    for (int i = 0; i < 2000; i++) {
        onymix_name name;
        char given[32], surname[32], value[80], expected[160], got[160], alone[2][64];
        onymix_next_name(g, &name);
        snprintf(given, sizeof given, "%s", name.first_name);
        snprintf(surname, sizeof surname, "%s", name.surname);
        for (size_t c = 0; i % 4 == 3 && c < strlen(given); c += 2)
            given[c] = (char)(given[c] ^ 0x20); /* every other letter in the other case */
        if (i % 4 < 2) {
            in_case(given, i % 2);
            in_case(surname, i % 2);
        }
        onymix_mask(ONYMIX_MASK_FIRST_NAME, given, strlen(given), counting_key, alone[0], 64);
        onymix_mask(ONYMIX_MASK_SURNAME, surname, strlen(surname), counting_key, alone[1], 64);
        snprintf(value, sizeof value, "%s  %s", given, surname);
        snprintf(expected, sizeof expected, "%s  %s", alone[0], alone[1]);
        onymix_mask(ONYMIX_MASK_FULL_NAME, value, strlen(value), counting_key, got, sizeof got);
        expect_text(value, expected, got);
        snprintf(value, sizeof value, "%s ", given);
        snprintf(expected, sizeof expected, "%s ", alone[0]);
        onymix_mask(ONYMIX_MASK_FIRST_NAME, value, strlen(value), counting_key, got, sizeof got);
        expect_text(value, expected, got);
        snprintf(value, sizeof value, " %s", surname);
        snprintf(expected, sizeof expected, " %s", alone[1]);
        onymix_mask(ONYMIX_MASK_SURNAME, value, strlen(value), counting_key, got, sizeof got);
        expect_text(value, expected, got);
    }
    /* A surname of many words is the pseudonym of their foldings joined by
     * one space, however long: around 64 folded bytes, and beyond. */
    for (int words = 10; words <= 20; words++) {
        char value[256] = "", folded[128] = "", expected[32], got[32];
        for (int w = 0; w < words; w++) {
            strcat(value, w ? " \t \xC3\x96st" : "\xC3\x96st");
            strcat(folded, w ? " ost" : "ost");
        }
        onymix_pseudonym(ONYMIX_SURNAME, folded, strlen(folded), counting_key, expected,
                         sizeof expected);
        onymix_mask(ONYMIX_MASK_SURNAME, value, strlen(value), counting_key, got, sizeof got);
        expect_text(folded, expected, got);
    }
    onymix_close(g);
}

/* What a masking refuses, and how it asks for room. */
static void mask_refusals_and_room(void) {
    static const unsigned char zero_key[ONYMIX_KEY_SIZE];
    const char *value = "Mary Smith";
    char out[64];
    const struct {
        const char *what;
        int kind;
        const unsigned char *key;
        const char *value;
        char *out;
    } refused[] = {
        {"a NULL key", ONYMIX_MASK_FULL_NAME, NULL, value, out},
        {"the zero key", ONYMIX_MASK_FULL_NAME, zero_key, value, out},
        {"kind -1", -1, counting_key, value, out},
        {"kind 3", 3, counting_key, value, out},
        {"a NULL value", ONYMIX_MASK_FIRST_NAME, counting_key, NULL, out},
        {"a NULL out", ONYMIX_MASK_SURNAME, counting_key, value, NULL},
    };
    const void *values[] = {value, value};
    size_t lengths[] = {10, 10}, ends[2] = {77, 77};
    for (size_t i = 0; i < sizeof refused / sizeof *refused; i++) {
        memset(out, '#', sizeof out);
        EXPECT_INT(refused[i].what, -1,
                   onymix_mask(refused[i].kind, refused[i].value, 10, refused[i].key,
                               refused[i].out, sizeof out));
        if (refused[i].out && out[0] != '\0')
            fail("%s: no empty text written", refused[i].what);
        memset(out, '#', sizeof out);
        const void *these[] = {refused[i].value, value};
        EXPECT_INT(refused[i].what, -1,
                   onymix_mask_values(refused[i].kind, refused[i].key, these, lengths, 2,
                                      refused[i].out, sizeof out, ends));
        if (out[0] != '#' || ends[0] != 77)
            fail("%s: the refused bulk call wrote", refused[i].what);
    }
    EXPECT_INT("NULL ends", -1,
               onymix_mask_values(0, counting_key, values, lengths, 2, out, sizeof out, NULL));
    EXPECT_INT("NULL lengths", -1,
               onymix_mask_values(0, counting_key, values, NULL, 2, out, sizeof out, ends));
    EXPECT_INT("size 0", -1, onymix_mask_values(0, counting_key, values, lengths, 2, out, 0, ends));
    EXPECT_INT("no values", 0, onymix_mask_values(0, counting_key, NULL, NULL, 0, out, 1, NULL));
    expect_text("no values", "", out);

    /* "Hildegarde Eusebio": its length without room, "" and its length with
     * too little, the masking with one byte more. */
    EXPECT_INT("the length asked", 18,
               onymix_mask(ONYMIX_MASK_FULL_NAME, value, 10, counting_key, NULL, 0));
    static const size_t rooms[] = {1, 11, 18};
    for (int i = 0; i < 3; i++) {
        memset(out, '#', sizeof out);
        EXPECT_INT("too little room", 18,
                   onymix_mask(ONYMIX_MASK_FULL_NAME, value, 10, counting_key, out, rooms[i]));
        if (out[0] != '\0' || out[18] != '#')
            fail("too little room (%zu bytes): not \"\", or written past it", rooms[i]);
    }
    EXPECT_INT("room for it", 18,
               onymix_mask(ONYMIX_MASK_FULL_NAME, value, 10, counting_key, out, 19));
    expect_text("room for it", "Hildegarde Eusebio", out);
    EXPECT_INT("the bulk call with room for one", 1,
               onymix_mask_values(ONYMIX_MASK_FULL_NAME, counting_key, values, lengths, 2, out,
                                  19 + 17, ends));
    EXPECT_INT("its end", 18, (long long)ends[0]);
    expect_text("the bulk call with room for one", "Hildegarde Eusebio", out);
}

/* A masker's maskings are the key's: every name of the table in its case,
 * in capitals and in small letters, and with its last letter changed (a
 * word that may be none, different only there), as a first name alone and
 * after a given name of each sex and of neither (so as a first name in
 * every mode), as a surname, and in full names. */
static void masker_as_key(void) {
    static const char *const forms[3][5] = {
        {"%s", "Mary %s", "John %s", "Zebulon %s", "J. %s"},
        {"%s", "%s-Smith", "van %s", "%s.", "O'%s"},
        {"%s Smith", "Mary %s", "%s, John", "Smith, %s", "%s-%s %s"},
    };
    onymix_masker *m = onymix_masker_open(counting_key);
    if (!m) {
        fail("no masker of the counting key");
        return;
    }
    enum { per_name = 5 * 4 };
    for (int e = -1; e < ONYMIX_ENTRY_COUNT; e++) {
        /* Before the table's names, words that are none of them. */
        const char *name = e < 0 ? "Marys" : onymix_entry(e);
        char words[4][32], texts[per_name][128], by_key[per_name * 13 * 128],
            by_masker[sizeof by_key];
        const void *values[per_name];
        size_t lengths[per_name], key_ends[per_name], masker_ends[per_name];
        snprintf(words[0], sizeof words[0], "%s", name);
        snprintf(words[1], sizeof words[1], "%s", name);
        in_case(words[1], 1);
        snprintf(words[2], sizeof words[2], "%s", e < 0 ? "Abcdefghijklmn" : name);
        in_case(words[2], 0);
        snprintf(words[3], sizeof words[3], "%s", name);
        words[3][strlen(name) - 1] = name[strlen(name) - 1] == 'q' ? 'x' : 'q';
        for (int kind = 0; kind < 3; kind++) {
            for (int i = 0; i < per_name; i++) {
                const char *w = words[i % 4];
                snprintf(texts[i], sizeof texts[i], forms[kind][i / 4], w, w, w);
                values[i] = texts[i];
                lengths[i] = strlen(texts[i]);
            }
            int k = onymix_mask_values(kind, counting_key, values, lengths, per_name, by_key,
                                       sizeof by_key, key_ends);
            int n = onymix_masker_values(m, kind, values, lengths, per_name, by_masker,
                                         sizeof by_masker, masker_ends);
            if (k != per_name || n != k || memcmp(key_ends, masker_ends, sizeof key_ends) != 0 ||
                memcmp(by_key, by_masker, key_ends[per_name - 1] + 1) != 0) {
                fail("the masker's maskings of \"%s\" as kind %d differ from the key's", name,
                     kind);
                e = ONYMIX_ENTRY_COUNT;
                break;
            }
        }
    }
    onymix_masker_close(m);

    static const unsigned char zero_key[ONYMIX_KEY_SIZE];
    if (onymix_masker_open(NULL) || onymix_masker_open(zero_key))
        fail("a masker of no key or of the zero key");
    onymix_masker_close(NULL);
    const void *values[] = {"Mary"};
    size_t lengths[] = {4}, ends[] = {77};
    char out[16] = "#";
    EXPECT_INT("a NULL masker", -1,
               onymix_masker_values(NULL, 0, values, lengths, 1, out, sizeof out, ends));
    if (out[0] != '#' || ends[0] != 77)
        fail("a NULL masker: written");

    /* One value: refused as onymix_mask refuses, "" when it does not fit. */
    m = onymix_masker_open(counting_key);
    EXPECT_INT("one value, a NULL masker", -1, onymix_masker_mask(NULL, 0, "Mary", 4, out, 16));
    expect_text("one value, a NULL masker", "", out);
    EXPECT_INT("one value, a bad kind", -1, onymix_masker_mask(m, 3, "Mary", 4, out, 16));
    EXPECT_INT("one value, a NULL value", -1, onymix_masker_mask(m, 0, NULL, 4, out, 16));
    EXPECT_INT("one value, a NULL out", -1, onymix_masker_mask(m, 0, "Mary", 4, NULL, 16));
    int length = onymix_mask(2, "Mary Smith", 10, counting_key, NULL, 0);
    strcpy(out, "#");
    EXPECT_INT("one value, no room for its NUL", length,
               onymix_masker_mask(m, 2, "Mary Smith", 10, out, (size_t)length));
    expect_text("one value, no room for its NUL", "", out);
    EXPECT_INT("one value, empty", 0, onymix_masker_mask(m, 1, NULL, 0, out, 16));
    expect_text("one value, empty", "", out);
    onymix_masker_close(m);
}

static void golden_by_id(void) {
    for (int mode = 0; mode < ONYMIX_MODE_COUNT; mode++) {
        for (int k = 0; k < 2; k++) {
            char file[96];
            snprintf(file, sizeof file, "ids-%d-%s.txt", mode, key_names[k]);
            char *text = golden(file), *cursor = text, *line;
            int lines = 0;
            while (text && (line = next_line(&cursor)) != NULL) {
                char *tab = strchr(line, '\t');
                if (!tab) {
                    fail("%s: a line without a tab", file);
                    break;
                }
                *tab = '\0';
                check_id(mode, k, strtoull(line, NULL, 10), tab + 1);
                lines++;
            }
            EXPECT_INT(file, 1009, lines);
            free(text);
        }
        /* The first 1000 ids as one run, in one block of lines. */
        static char block[1 << 16];
        char file[96];
        snprintf(file, sizeof file, "ids-%d-%s.txt", mode, key_names[1]);
        char *text = golden(file), *cursor = text, *line;
        size_t length = 0;
        EXPECT_INT("a run of 1000 ids", 1000,
                   onymix_write_ids(mode, counting_key, 0, NULL, 1000, ONYMIX_TEXT, block,
                                    sizeof block, &length));
        char *at = block;
        for (int i = 0; i < 1000 && text && (line = next_line(&cursor)) != NULL; i++) {
            char *lf = strchr(at, '\n');
            if (!lf)
                break;
            *lf = '\0';
            expect_text("a run of 1000 ids", strchr(line, '\t') + 1, at);
            at = lf + 1;
        }
        free(text);
    }
}

static void golden_pseudonyms(void) {
    for (int k = 0; k < 2; k++) {
        char file[96];
        snprintf(file, sizeof file, "pseudonyms-%s.txt", key_names[k]);
        char *text = golden(file), *cursor = text, *line;
        int lines = 0;
        while (text && (line = next_line(&cursor)) != NULL) {
            int mode = atoi(line);
            char *hex = strchr(line, '\t'), *name = hex ? strchr(hex + 1, '\t') : NULL;
            if (!name) {
                fail("%s: a line without two tabs", file);
                break;
            }
            *name++ = '\0';
            unsigned char value[256];
            size_t length = strlen(++hex) / 2;
            for (size_t i = 0; i < length; i++)
                sscanf(hex + 2 * i, "%2hhx", &value[i]);
            char what[400], got[ONYMIX_LINE_MAX], block[ONYMIX_LINE_MAX + 8];
            snprintf(what, sizeof what, "pseudonym of %s in mode %d, key %d", hex, mode, k);
            EXPECT_INT(
                what, (long long)strlen(name),
                onymix_pseudonym(mode, length ? value : NULL, length, key_of(k), got, sizeof got));
            expect_text(what, name, got);
            const void *values[1] = {value};
            size_t written = 0;
            EXPECT_INT(what, 1,
                       onymix_write_pseudonyms(mode, key_of(k), values, &length, 1, ONYMIX_TEXT,
                                               block, sizeof block, &written));
            block[written ? written - 1 : 0] = '\0';
            expect_text(what, name, block);
            lines++;
        }
        EXPECT_INT(file, 7 * 36, lines);
        free(text);
    }
}

/* The 1000 names after a generator's start against a golden file. */
static void expect_golden_names(const char *file, onymix_generator *g) {
    char *text = golden(file), *cursor = text, *line, name[ONYMIX_LINE_MAX];
    int lines = 0;
    while (text && (line = next_line(&cursor)) != NULL) {
        onymix_next(g, name, sizeof name);
        expect_text(file, line, name);
        lines++;
    }
    EXPECT_INT(file, 1000, lines);
    free(text);
}

static void far_seeds_and_seeks(void) {
    static const unsigned long long seeds[] = {86400, 4294967296ull, 18446744073709551615ull};
    static const unsigned long long starts[] = {1000000, 1000000000000ull, 9223372036854775808ull};
    for (int mode = 0; mode < ONYMIX_MODE_COUNT; mode++) {
        for (int i = 0; i < 3; i++) {
            char file[96];
            snprintf(file, sizeof file, "sequence-%d-%llu.txt", mode, seeds[i]);
            onymix_generator *g = onymix_open_seed(mode, seeds[i], 0);
            expect_golden_names(file, g);
            onymix_close(g);
            snprintf(file, sizeof file, "sequence-%d-0-from-%llu.txt", mode, starts[i]);
            g = onymix_open_seed(mode, 0, 0);
            char name[ONYMIX_LINE_MAX];
            onymix_next(g, name, sizeof name); /* a seek counts from the seeding */
            EXPECT_INT("onymix_seek", 0, onymix_seek(g, starts[i]));
            expect_golden_names(file, g);
            onymix_close(g);
        }
        /* The seconds of the day are onymix_open's; a seek to k gives what
         * k names drawn give. */
        char a[ONYMIX_LINE_MAX], b[ONYMIX_LINE_MAX];
        onymix_generator *old = onymix_open(mode, 43200, 0),
                         *seeded = onymix_open_seed(mode, 43200, 0);
        onymix_generator *sought = onymix_open_seed(mode, 43200, 0);
        for (int k = 0; k < 300; k++) {
            onymix_next(old, a, sizeof a);
            onymix_seek(sought, (unsigned long long)k);
            onymix_next(sought, b, sizeof b);
            expect_text("a seek to k", a, b);
            onymix_next(seeded, b, sizeof b);
            expect_text("onymix_open_seed at a second of the day", a, b);
        }
        onymix_close(old);
        onymix_close(seeded);
        onymix_close(sought);
    }
    onymix_generator *unique = onymix_open_seed(ONYMIX_MALE, 5, ONYMIX_UNIQUE);
    onymix_generator *reseeding = onymix_open_seed(ONYMIX_MALE, 5, ONYMIX_RESEED);
    EXPECT_INT("onymix_seek of a unique generator", -1, onymix_seek(unique, 3));
    EXPECT_INT("onymix_seek of a re-seeding generator", -1, onymix_seek(reseeding, 3));
    EXPECT_INT("onymix_seek(NULL)", -1, onymix_seek(NULL, 3));
    char name[ONYMIX_LINE_MAX], again[ONYMIX_LINE_MAX];
    onymix_next(reseeding, name, sizeof name);
    onymix_next(reseeding, again, sizeof again);
    expect_text("a re-seeding generator at a far seed", name, again);
    onymix_close(unique);
    onymix_close(reseeding);
    if (onymix_open_seed(7, 5, 0) || onymix_open_seed(0, 5, 8))
        fail("onymix_open_seed of a bad mode or flag gave a generator");
}

/* Weighted sequences: their golden files, seeks, the flags they go with,
 * and the census shares over 10 million Male + Surname names. */
static void weighted(void) {
    static const unsigned long long seeds[] = {1, 43200, 18446744073709551615ull};
    char file[96], name[ONYMIX_LINE_MAX], again[ONYMIX_LINE_MAX];
    for (int mode = 0; mode < ONYMIX_MODE_COUNT; mode++) {
        for (int i = 0; i < 3; i++) {
            snprintf(file, sizeof file, "weighted-%d-%llu.txt", mode, seeds[i]);
            onymix_generator *g = onymix_open_seed(mode, seeds[i], ONYMIX_WEIGHTED);
            expect_golden_names(file, g);
            onymix_close(g);
        }
        snprintf(file, sizeof file, "weighted-%d-1-from-1000000000000.txt", mode);
        onymix_generator *g = onymix_open_seed(mode, 1, ONYMIX_WEIGHTED);
        EXPECT_INT("onymix_seek of a weighted generator", 0, onymix_seek(g, 1000000000000ull));
        expect_golden_names(file, g);
        onymix_close(g);
    }
    if (onymix_open_seed(ONYMIX_MALE, 1, ONYMIX_WEIGHTED | ONYMIX_UNIQUE))
        fail("a unique weighted generator was made");
    onymix_generator *reseeding = onymix_open_seed(ONYMIX_MALE, 1, ONYMIX_WEIGHTED | ONYMIX_RESEED);
    onymix_generator *first = onymix_open_seed(ONYMIX_MALE, 1, ONYMIX_WEIGHTED);
    onymix_next(reseeding, name, sizeof name);
    onymix_next(first, again, sizeof again);
    expect_text("a re-seeding weighted generator's first name", again, name);
    onymix_next(reseeding, name, sizeof name);
    expect_text("a re-seeding weighted generator's second name", again, name);
    EXPECT_INT("onymix_left of a weighted generator", -1, (int)onymix_left(first));
    onymix_close(reseeding);
    onymix_close(first);

    /* James 3.685% of the male first names, Smith 1.006% of the surnames,
     * the first 1,000 surnames 43.384% together. */
    enum { total = 10000000, batch = 4096 };
    static int entries[2 * batch];
    long james = 0, smith = 0, listed = 0;
    onymix_generator *sample = onymix_open_seed(ONYMIX_MALE_SURNAME, 2026, ONYMIX_WEIGHTED);
    for (int made = 0; made < total; made += batch) {
        int n = onymix_next_entries(sample, entries, batch);
        for (int i = 0; i < n; i++) {
            /* James and Smith are the first entries of their lists. */
            james += entries[2 * i] == 0;
            smith += entries[2 * i + 1] == ONYMIX_FIRST_SURNAME_ENTRY;
            listed += entries[2 * i + 1] < ONYMIX_FIRST_SURNAME_ENTRY + 1000;
        }
    }
    expect_text("the first male entry", "James", onymix_entry(0));
    expect_text("the first surname entry", "Smith", onymix_entry(ONYMIX_FIRST_SURNAME_ENTRY));
    onymix_close(sample);
    double james_share = 100.0 * james / total, smith_share = 100.0 * smith / total,
           listed_share = 100.0 * listed / total;
    if (james_share < 3.685 - 0.03 || james_share > 3.685 + 0.03 || smith_share < 1.006 - 0.016 ||
        smith_share > 1.006 + 0.016 || listed_share < 43.384 - 0.08 || listed_share > 43.384 + 0.08)
        fail("weighted shares: James %.4f%%, Smith %.4f%%, the first 1,000 surnames %.4f%%",
             james_share, smith_share, listed_share);
}

/* What the names by id promise beyond their golden files. */
static void by_id_properties(void) {
    /* Every id of a block of Male gets a name of its own: the 1,219 names. */
    for (unsigned long long block = 0; block < 3; block++) {
        unsigned long long first =
            block == 2 ? 18446744073709551615ull / 1219 * 1219 - 1219 : block * 1219;
        static int entries[2 * 1219];
        static char seen[ONYMIX_ENTRY_COUNT];
        memset(seen, 0, sizeof seen);
        EXPECT_INT("a block of Male ids", 1219,
                   onymix_entries_for_ids(ONYMIX_MALE, NULL, first, NULL, 1219, entries));
        int distinct = 0;
        for (int i = 0; i < 1219; i++)
            if (entries[2 * i] >= 0 && entries[2 * i] < 1219 && !seen[entries[2 * i]]++)
                distinct++;
        EXPECT_INT("different Male names in a block", 1219, distinct);
    }
    /* 2 million consecutive Male + Surname ids, 2 million different names. */
    enum { count = 2000000 };
    int *entries = malloc(2 * count * sizeof *entries);
    unsigned char *bits = calloc((1219ul * 56342 + 7) / 8, 1);
    if (!entries || !bits) {
        fail("no memory");
        return;
    }
    EXPECT_INT(
        "2 million ids", count,
        onymix_entries_for_ids(ONYMIX_MALE_SURNAME, counting_key, 5000000, NULL, count, entries));
    long repeats = 0;
    for (int i = 0; i < count; i++) {
        unsigned long n = (unsigned long)entries[2 * i] * 56342 +
                          (unsigned long)(entries[2 * i + 1] - ONYMIX_FIRST_SURNAME_ENTRY);
        repeats += (bits[n / 8] >> (n % 8)) & 1;
        bits[n / 8] |= (unsigned char)(1 << (n % 8));
    }
    EXPECT_INT("repeated names among 2 million ids", 0, repeats);
    free(bits);
    /* A key differing in any one byte gives other names to nearly every id. */
    for (int byte = 0; byte < 16; byte++) {
        unsigned char key[16];
        memcpy(key, counting_key, 16);
        key[byte] ^= 0x01;
        int same = 0;
        for (unsigned long long id = 0; id < 1000; id++) {
            char a[64], b[64];
            onymix_name_for_id(ONYMIX_ANY_SURNAME, id, counting_key, a, sizeof a);
            onymix_name_for_id(ONYMIX_ANY_SURNAME, id, key, b, sizeof b);
            same += !strcmp(a, b);
        }
        if (same > 10)
            fail("key byte %d changed: %d of 1000 names stayed the same", byte, same);
    }
    free(entries);
}

/* Two threads, each with its own generators, get exactly what one thread
 * gets; onymix_generate may be called from both at once. */
struct thread_work {
    int mode, seed;
    unsigned flags;
    char *text; /* filled in */
    size_t length;
};

enum { thread_names = 200000 };

static void make_names(struct thread_work *work) {
    size_t capacity = (size_t)thread_names * ONYMIX_LINE_MAX;
    work->text = malloc(capacity);
    work->length = 0;
    onymix_generator *g = onymix_open(work->mode, work->seed, work->flags);
    if (!g || !work->text)
        return;
    int made = 0;
    while (made < thread_names) {
        size_t length = 0;
        int n =
            onymix_write(g, ONYMIX_CSV, thread_names - made, work->text + work->length,
                         capacity - work->length < 4096 ? capacity - work->length : 4096, &length);
        if (n <= 0)
            break;
        made += n;
        work->length += length;
        char name[32];
        if (onymix_generate(work->mode, work->seed, name, sizeof name) < 0)
            break;
    }
    onymix_close(g);
}

static void *run_thread(void *work) {
    make_names(work);
    return NULL;
}

static void threads(void) {
    struct thread_work alone[2] = {{ONYMIX_ANY_SURNAME, 7, ONYMIX_UNIQUE, NULL, 0},
                                   {ONYMIX_FEMALE_SURNAME, 86399, 0, NULL, 0}};
    struct thread_work together[2];
    memcpy(together, alone, sizeof together);
    for (int i = 0; i < 2; i++)
        make_names(&alone[i]);
    pthread_t thread[2];
    for (int i = 0; i < 2; i++)
        if (pthread_create(&thread[i], NULL, run_thread, &together[i]) != 0)
            fail("cannot start a thread");
    for (int i = 0; i < 2; i++)
        pthread_join(thread[i], NULL);
    for (int i = 0; i < 2; i++) {
        if (!alone[i].text || !together[i].text || alone[i].length == 0)
            fail("thread %d made no names", i);
        else if (alone[i].length != together[i].length ||
                 memcmp(alone[i].text, together[i].text, alone[i].length) != 0)
            fail("thread %d: the names made beside another thread differ from those made alone", i);
        free(alone[i].text);
        free(together[i].text);
    }
}

static const struct {
    const char *name;
    void (*run)(void);
} groups[] = {
    {"labels_and_counts", labels_and_counts},
    {"golden_sequences", golden_sequences},
    {"golden_generate", golden_generate},
    {"formats", formats},
    {"unique_exhaustion", unique_exhaustion},
    {"bad_arguments", bad_arguments},
    {"exact_room", exact_room},
    {"threads", threads},
    {"stored", stored},
    {"golden_by_id", golden_by_id},
    {"golden_pseudonyms", golden_pseudonyms},
    {"far_seeds_and_seeks", far_seeds_and_seeks},
    {"by_id_properties", by_id_properties},
    {"keys_from_hex", keys_from_hex},
    {"mode_texts", mode_texts},
    {"golden_maskings", golden_maskings},
    {"mask_by_the_lists", mask_by_the_lists},
    {"mask_refusals_and_room", mask_refusals_and_room},
    {"masker_as_key", masker_as_key},
    {"weighted", weighted},
};

int main(int argc, char **argv) {
    int count = (int)(sizeof groups / sizeof *groups), ran = 0;
    for (int i = 0; i < count; i++) {
        int wanted = argc < 2;
        for (int a = 1; a < argc; a++)
            wanted |= !strcmp(argv[a], groups[i].name);
        if (!wanted)
            continue;
        group = groups[i].name;
        int before = failures;
        groups[i].run();
        printf("%s %s\n", failures == before ? "ok  " : "FAIL", group);
        ran++;
    }
    if (ran == 0 || (argc > 1 && ran != argc - 1)) {
        fprintf(stderr, "api_test: unknown group among the arguments\n");
        return 2;
    }
    printf("%d failure%s\n", failures, failures == 1 ? "" : "s");
    return failures ? 1 : 0;
}
