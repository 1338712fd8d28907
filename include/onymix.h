/* onymix.h: the Onymix name generator as a C library.
 *
 * Onymix invents person names from the 1990 US Census name lists (4,275
 * female and 1,219 male first names and the 56,342 most common surnames,
 * each list ordered from the most common name to the rarest), compiled into
 * the library. Its generator is fixed: the same mode and seed give the same
 * names in every version, on every platform and in every language the
 * library is used from.
 *
 * Ownership and lifetime
 *   - Every text the library returns (version, labels, the parts of a name
 *     record) is static and read-only, valid for the whole process. Never
 *     free or change it.
 *   - A generator is made by onymix_open and given back with onymix_close;
 *     nothing else allocates. Output goes only into buffers the caller
 *     passes, with their size, and is always NUL-terminated when the size is
 *     not 0.
 *
 * Threads
 *   No function keeps global state. Different generators may be used from
 *   different threads at once; one generator must not be used from two
 *   threads at the same time without a lock of the caller's.
 *
 * Errors
 *   Bad arguments (null pointers, a size of 0, numbers out of range) give -1
 *   or NULL; nothing is written then apart from an empty text where there is
 *   room for one.
 *
 * Link with -lonymix (pkg-config onymix, or find_package(onymix) and the
 * target onymix::onymix in CMake). On Windows the functions use the C
 * calling convention and live in onymix.dll.
 */
#ifndef ONYMIX_H
#define ONYMIX_H

#include <stddef.h>

#if defined(_WIN32)
#define ONYMIX_CALL __cdecl
#else
#define ONYMIX_CALL
#endif

#if defined(ONYMIX_BUILDING) && defined(__GNUC__) && !defined(_WIN32)
#define ONYMIX_API __attribute__((visibility("default")))
#else
#define ONYMIX_API
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Generation modes. The first five are those of the Onymix program's mode
 * chooser, in its order; the last two take a first name from either list:
 * the pick's first draw chooses the female list when it is at most 0.5 and
 * the male list otherwise. */
#define ONYMIX_FEMALE 0
#define ONYMIX_FEMALE_SURNAME 1
#define ONYMIX_MALE 2
#define ONYMIX_MALE_SURNAME 3
#define ONYMIX_SURNAME 4
#define ONYMIX_ANY 5
#define ONYMIX_ANY_SURNAME 6
#define ONYMIX_MODE_COUNT 7

/* A second or seed of -1 means now: the seconds of system uptime. */
#define ONYMIX_NOW (-1)

/* Flags of onymix_open. ONYMIX_UNIQUE: no name twice. ONYMIX_RESEED: every
 * pick re-seeded from the seed, as Generate does, so each name is what
 * onymix_generate gives. */
#define ONYMIX_UNIQUE 1u
#define ONYMIX_RESEED 2u

/* The last second of a day: seconds and seeds run from 0 to this. */
#define ONYMIX_LAST_SECOND 86399L

/* Output formats of onymix_write, one name a line:
 *   ONYMIX_TEXT   the name
 *   ONYMIX_CSV    name,first_name,surname,sex (no quoting is ever needed)
 *   ONYMIX_JSONL  {"name":...,"first_name":...,"surname":...,"sex":...}, the
 *                 keys of parts the mode has none of left out
 * Names are words of ASCII letters, so every text is ASCII (and UTF-8). */
#define ONYMIX_TEXT 0
#define ONYMIX_CSV 1
#define ONYMIX_JSONL 2

/* No line of any format is longer than this, its LF and a NUL included, and
 * no name is longer than 25 characters (11 + 1 + 13). */
#define ONYMIX_LINE_MAX 128

/* The library's version, "1.0.2" for this one. */
ONYMIX_API const char *ONYMIX_CALL onymix_version(void);

/* The label of a mode ("Female", "Female + Surname", "Male",
 * "Male + Surname", "Surname", "Any", "Any + Surname"), or NULL for a number
 * that is no mode. */
ONYMIX_API const char *ONYMIX_CALL onymix_mode_label(int mode);

/* The mode whose label is label, compared without regard to ASCII case;
 * -1 when there is none (or label is NULL). Mode numbers written as text are
 * not labels. */
ONYMIX_API int ONYMIX_CALL onymix_mode_from_label(const char *label);

/* How many different names a mode can make (Female 4,275, Male 1,219,
 * Surname 56,342, Any 5,163, the full-name modes those first-name counts
 * times 56,342); -1 for a number that is no mode. */
ONYMIX_API long ONYMIX_CALL onymix_distinct_names(int mode);

/* What one press of Generate in the Onymix program shows at whole second
 * `second` of system uptime (0 to 86399) in `mode` (0 to 6): every pick is
 * re-seeded from that second. ONYMIX_NOW (-1) seeds every pick from the
 * current uptime, exactly as the program does, past a day of uptime too.
 * Writes the name, NUL-terminated, into out and returns its length. Returns
 * -1, writing "" when size > 0, for a bad mode, a bad second, a NULL out or
 * a size too small for the name and its NUL. */
ONYMIX_API int ONYMIX_CALL onymix_generate(int mode, long second, char *out, size_t size);

/* A generator of names, seeded once; its state is its own. */
typedef struct onymix_generator onymix_generator;

/* A generator whose names are those of onymix-cli --mode mode --seed seed
 * --count N, one after another: seeded once from second `seed` (0 to
 * 86399), or from the seconds of uptime for ONYMIX_NOW (-1), and every
 * pick drawing on from there. With ONYMIX_UNIQUE in flags, a name already
 * made is left out, until every name of the mode has been made. With
 * ONYMIX_RESEED instead, every pick is re-seeded from `seed` (or from the
 * uptime at that moment), so each name is the one onymix_generate gives;
 * the two flags do not go together.
 * Returns NULL for a bad mode, seed or flag, or when there is not enough
 * memory. Give it back with onymix_close. */
ONYMIX_API onymix_generator *ONYMIX_CALL onymix_open(int mode, long seed, unsigned flags);

/* Gives back a generator and everything it holds. NULL is allowed. */
ONYMIX_API void ONYMIX_CALL onymix_close(onymix_generator *g);

/* The next name, NUL-terminated, into out; returns its length (1 to 25).
 * Returns 0, writing "" when size > 0, when a unique generator has made
 * every name its mode can make (and from then on). Returns -1, writing ""
 * when size > 0, when g or out is NULL or size is too small for the name
 * and its NUL: then nothing is used up, and the same name comes at the next
 * call with room. */
ONYMIX_API int ONYMIX_CALL onymix_next(onymix_generator *g, char *out, size_t size);

/* A name in parts. The texts point into the library's name table and are
 * valid for the whole process. */
typedef struct onymix_name {
    const char *first_name; /* NULL in the Surname mode */
    const char *surname;    /* NULL in the first-name modes */
    const char *sex;        /* "female" or "male": the list the first name
                               came from; NULL when there is none */
} onymix_name;

/* The next name as a record, the same name onymix_next would give: returns
 * 1 and fills *name; 0 when a unique generator has made every name; -1 when
 * g or name is NULL. *name is left as it was unless 1 is returned. */
ONYMIX_API int ONYMIX_CALL onymix_next_name(onymix_generator *g, onymix_name *name);

/* The line that comes before the names of a format: "name,first_name,
 * surname,sex\n" for ONYMIX_CSV, "" for the others; NULL for a bad format. */
ONYMIX_API const char *ONYMIX_CALL onymix_format_header(int format);

/* The bulk call: the next names of g, as many as fit into out (size bytes)
 * and at most count, each as one whole line of the format ending in LF,
 * then a NUL. Stores the length of the text (without the NUL) in *length
 * when length is not NULL. Returns the number of names written: fewer than
 * count only when the next line does not fit (it is not used up) or when a
 * unique generator has made every name, and 0 only in the last case (or for
 * a count of 0). Returns -1, writing nothing, for a NULL g or out, a bad
 * format, a negative count, or a size below ONYMIX_LINE_MAX. */
ONYMIX_API int ONYMIX_CALL onymix_write(onymix_generator *g, int format, int count, char *out,
                                        size_t size, size_t *length);

#ifdef __cplusplus
}
#endif

#endif /* ONYMIX_H */
