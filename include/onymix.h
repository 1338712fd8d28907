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
 *   - A generator is made by onymix_open and given back with onymix_close.
 *     Output goes into buffers the caller passes, with their size, and is
 *     always NUL-terminated when the size is not 0; only the calls on
 *     stored.txt (at the end) hand back memory of their own, which the
 *     caller gives back with onymix_free.
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

/* The modes every front-end takes when none is given: Male + Surname, the
 * mode the Onymix program starts with, for sequences and Generate; Any +
 * Surname, the mode with the most names, for names by id and pseudonyms. */
#define ONYMIX_DEFAULT_SEQUENCE_MODE ONYMIX_MALE_SURNAME
#define ONYMIX_DEFAULT_ID_MODE ONYMIX_ANY_SURNAME

/* A second or seed of -1 means now: the seconds of system uptime. */
#define ONYMIX_NOW (-1)

/* Flags of onymix_open. ONYMIX_UNIQUE: no name twice. ONYMIX_RESEED: every
 * pick re-seeded from the seed, as Generate does, so each name is what
 * onymix_generate gives. ONYMIX_WEIGHTED: every name drawn as often as the
 * 1990 census found it (onymix(3), "Weighted picks") instead of evenly from
 * its list; the same draws, so seeking works as without it. */
#define ONYMIX_UNIQUE 1u
#define ONYMIX_RESEED 2u
#define ONYMIX_WEIGHTED 4u

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

/* The library's version, "1.2.0" for this one. */
ONYMIX_API const char *ONYMIX_CALL onymix_version(void);

/* The label of a mode ("Female", "Female + Surname", "Male",
 * "Male + Surname", "Surname", "Any", "Any + Surname"), or NULL for a number
 * that is no mode. */
ONYMIX_API const char *ONYMIX_CALL onymix_mode_label(int mode);

/* The mode whose label is label, compared without regard to ASCII case;
 * -1 when there is none (or label is NULL). This is the strict reading, of
 * a label exactly as onymix_mode_label writes it but for case: no blanks
 * around it or other spacing, and mode numbers written as text are not
 * labels. A mode a person typed is read with onymix_mode_from_text. */
ONYMIX_API int ONYMIX_CALL onymix_mode_from_label(const char *label);

/* The mode that length bytes at text name, read as every front-end reads a
 * mode given as text; no NUL is needed at the end. Accepted, with any
 * number of ASCII spaces and tabs before and after:
 *   - a label in any ASCII case, with any number of spaces and tabs, none
 *     too, on either side of its "+": "male", "Male+Surname",
 *     "ANY  +\tsurname";
 *   - a mode's number, 0 to 6, in decimal digits, any number of leading
 *     zeros among them: "3", "03", "0".
 * Everything else gives -1: an empty text or blanks alone, a sign ("+3",
 * "-0"), any other spacing ("Male Surname", "Fe male", line ends), any
 * other character (a NUL byte among them; bytes beyond ASCII never match,
 * as case is ASCII case), and a NULL text. */
ONYMIX_API int ONYMIX_CALL onymix_mode_from_text(const char *text, size_t length);

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
 * the two flags do not go together. ONYMIX_WEIGHTED draws each name by the
 * census frequencies; it goes with ONYMIX_RESEED but not with ONYMIX_UNIQUE
 * (the rarest names are about one draw in ten billion, so a weighted run of
 * every name would never end).
 * Returns NULL for a bad mode, seed or flag or flags that do not go
 * together, or when there is not enough memory. Give it back with onymix_close. */
ONYMIX_API onymix_generator *ONYMIX_CALL onymix_open(int mode, long seed, unsigned flags);

/* The same at any seed from 0 to 2^64 - 1: seeds 0 to 86399 are the seconds
 * of onymix_open, and give exactly its sequences; any other seed s starts
 * from the state (SipHash-2-4 under 16 zero bytes of the 8 bytes of s,
 * little endian) >> 13, made odd. There is no "now" among these seeds.
 * Returns NULL for a bad mode or flag, or when there is not enough memory. */
ONYMIX_API onymix_generator *ONYMIX_CALL onymix_open_seed(int mode, unsigned long long seed,
                                                          unsigned flags);

/* Makes name number index (0 for the first) of g's sequence, counted from
 * its seeding whatever was drawn before, the next one, in a few dozen
 * multiplications however large index is: every name of Female, Male,
 * Surname and Any takes 2 draws and every full name 4, so the state becomes
 * the seeded state times the multiplier to the power (draws per name *
 * index), modulo 2^51. Returns 0; -1 for NULL or a unique or re-seeding
 * generator, whose names are not a plain run of draws. */
ONYMIX_API int ONYMIX_CALL onymix_seek(onymix_generator *g, unsigned long long index);

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

/* The next names of g as records, in one call: fills names[0] to
 * names[n - 1] with the names onymix_next_name would give one after
 * another, and returns n: count, or fewer only when a unique generator runs
 * out (0 once it has made every name, or for a count of 0). Returns -1,
 * filling nothing, when g or names is NULL or count is negative. */
ONYMIX_API int ONYMIX_CALL onymix_next_names(onymix_generator *g, onymix_name *names, int count);

/* How many more names g can give. For a unique generator, the names of its
 * mode it has not made yet: once that is 0, onymix_next gives 0 and the
 * bulk calls give nothing more, so a caller that must have count names can
 * refuse a larger count before drawing any. -1 for a generator that is not
 * unique, which never runs out, and for NULL. */
ONYMIX_API long ONYMIX_CALL onymix_left(const onymix_generator *g);

/* The label of a format ("text", "csv", "jsonl"), or NULL for a number that
 * is no format. */
ONYMIX_API const char *ONYMIX_CALL onymix_format_label(int format);

/* The format whose label is label, compared without regard to ASCII case;
 * -1 when there is none (or label is NULL). */
ONYMIX_API int ONYMIX_CALL onymix_format_from_label(const char *label);

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

/* ---- Names by id -----------------------------------------------------------
 * Every id, an unsigned 64-bit number, has a name of its own in each mode,
 * computed from the id alone: different ids within one block of N
 * consecutive ids (N = onymix_distinct_names(mode), the first block 0 to
 * N - 1) get different names, in any process, in any order, with no memory
 * kept. A pseudonym turns any bytes into a name: the same bytes always give
 * the same name, and different bytes may share one. Both are keyed: under
 * a secret 16-byte key, the names cannot be told without it. A NULL key
 * means 16 zero bytes, which is fine for test data but no secret. The
 * algorithms are fixed for ever and written down in onymix(3). */

/* The size of a key. */
#define ONYMIX_KEY_SIZE 16

/* A key from its text, as a command line or a setting holds it: exactly
 * 2 * ONYMIX_KEY_SIZE hex digits, in either case, the first two making
 * key[0]. Returns 0 with the key in key; otherwise key is left as it was and
 * the result is the place (1 for the first character) of the first
 * character that is no hex digit or, when every one is, -1 for a text of
 * another length or a NULL text or key. */
ONYMIX_API int ONYMIX_CALL onymix_key_from_hex(const char *text, size_t length, unsigned char *key);

/* The name of id in mode under key (NULL or ONYMIX_KEY_SIZE bytes),
 * NUL-terminated, into out; returns its length. Returns -1, writing "" when
 * size > 0, for a bad mode, a NULL out or a size too small. */
ONYMIX_API int ONYMIX_CALL onymix_name_for_id(int mode, unsigned long long id,
                                              const unsigned char *key, char *out, size_t size);

/* The pseudonym of length bytes at value (which may be NULL when length is
 * 0) in mode under key, as onymix_name_for_id writes a name. */
ONYMIX_API int ONYMIX_CALL onymix_pseudonym(int mode, const void *value, size_t length,
                                            const unsigned char *key, char *out, size_t size);

/* Bulk calls, which write lines of a format as onymix_write does: as many
 * of the names as fit into out (size bytes, at least ONYMIX_LINE_MAX) and
 * at most count, each one whole line ending in LF, then a NUL; the text's
 * length in *length when length is not NULL. They return the number of
 * names written, fewer than count only when the next line does not fit
 * (and at most INT_MAX), so that the next call starts with the first name
 * left out; -1, writing nothing, for a bad mode or format, a NULL out, a
 * size below ONYMIX_LINE_MAX or NULL arrays.
 *
 * onymix_write_ids: the names of ids[0] to ids[count - 1] or, when ids is
 * NULL, of the count ids from first on (first + count - 1 must not pass
 * 2^64 - 1; -1 when it would). */
ONYMIX_API int ONYMIX_CALL onymix_write_ids(int mode, const unsigned char *key,
                                            unsigned long long first, const unsigned long long *ids,
                                            size_t count, int format, char *out, size_t size,
                                            size_t *length);

/* onymix_write_pseudonyms: the pseudonyms of count values, value i being
 * lengths[i] bytes at values[i]. */
ONYMIX_API int ONYMIX_CALL onymix_write_pseudonyms(int mode, const unsigned char *key,
                                                   const void *const *values, const size_t *lengths,
                                                   size_t count, int format, char *out, size_t size,
                                                   size_t *length);

/* ---- Masking real names ---------------------------------------------------
 * A masking replaces a real person's name by an invented one under a secret
 * key: every word becomes the pseudonym (as onymix_pseudonym gives it) of
 * its folded text, so that the same name always gives the same fake, in
 * every table, file and run. A first name keeps its sex, a surname becomes
 * the same fake surname wherever it stands (families stay families), and a
 * full name is taken apart into given names and a surname. The fake is
 * written in the letter case of the word it replaces, and every byte that
 * is no word (white space, hyphens, commas, the suffixes Jr., Sr., II, III
 * and IV, the full stops of initials) stays where it was: the masking of
 * UTF-8 is UTF-8, and no masking holds a NUL byte. The rules are fixed for
 * ever and written down in onymix(3).
 *
 * A masking needs a secret key. The name lists are public, so under a known
 * key anyone could mask every listed name and so read the maskings back:
 * a NULL key and the key of 16 zero bytes are refused. What no masking that
 * gives the same fake for the same value can hide: how often each name
 * occurs. The library keeps nothing: a masking is a pure function of the
 * value and the key, safe from any thread. */

/* Kinds of value: */
#define ONYMIX_MASK_FIRST_NAME 0 /* "Mary", "Mary Ann", "Jean-Luc", "J. Robert" */
#define ONYMIX_MASK_SURNAME 1    /* "Smith", "Smith-Jones", "van Beethoven" */
#define ONYMIX_MASK_FULL_NAME 2  /* "Mary Smith", "Smith, Mary", "John Smith Jr." */

/* No masking is longer than ONYMIX_MASK_GROWTH bytes for each byte of its
 * value, so ONYMIX_MASK_GROWTH * length + 1 bytes always hold a masking and
 * its NUL. A masking can be longer than ONYMIX_LINE_MAX. */
#define ONYMIX_MASK_GROWTH 13

/* The masking of the length bytes at value (which may be NULL when length
 * is 0) as a kind of value, under key (ONYMIX_KEY_SIZE bytes). Returns its
 * length without the NUL, as snprintf does: when size is more than that,
 * the masking and a NUL are written into out; otherwise "" is written (when
 * size > 0; the rest of out may have been written over), and a call with
 * that length + 1 bytes gets it. out may be NULL when size is 0, to learn
 * the length. Returns -1, writing "" when size > 0, for a bad kind, a NULL
 * key or the zero key, a NULL value with a length above 0, a NULL out with
 * a size above 0, or a masking longer than INT_MAX bytes. */
ONYMIX_API int ONYMIX_CALL onymix_mask(int kind, const void *value, size_t length,
                                       const unsigned char *key, char *out, size_t size);

/* The bulk call: the maskings of count values, value i being lengths[i]
 * bytes at values[i], one after another into out (size bytes) with nothing
 * between them, as many as fit with a NUL after the last. ends[i] is where
 * masking i ends: it is the bytes of out from ends[i - 1] (0 for the first)
 * up to ends[i]. Returns the number of values masked, at most INT_MAX and
 * fewer than count only when the next masking does not fit, so that the
 * next call starts with it; 0 when the first does not fit
 * (ONYMIX_MASK_GROWTH * lengths[0] + 1 bytes always do). The bytes of out
 * after the NUL may have been written over. Returns -1, writing nothing,
 * for a bad kind, a NULL key or the zero key, a NULL out or a size of 0,
 * NULL arrays with a count above 0, or a NULL value with a length above 0. */
ONYMIX_API int ONYMIX_CALL onymix_mask_values(int kind, const unsigned char *key,
                                              const void *const *values, const size_t *lengths,
                                              size_t count, char *out, size_t size, size_t *ends);

/* A masker: the maskings of one key, for many values. Opening one works
 * out once what the key makes of the commonest words of names, every first
 * name of the lists and the 5,000 commonest surnames (some 38,000 hashes,
 * a few milliseconds, and 400 KB kept until it is closed); then its
 * maskings look those words up instead of hashing them. They are the
 * maskings onymix_mask_values gives, byte for byte, in less time when
 * there are many. An open masker is only read, so one masker serves any
 * number of threads at once. What it holds is as secret as its key:
 * onymix_masker_close wipes it. */
typedef struct onymix_masker onymix_masker;

/* A masker of key (ONYMIX_KEY_SIZE bytes); NULL for a NULL key or the zero
 * key, or when there is not enough memory. */
ONYMIX_API onymix_masker *ONYMIX_CALL onymix_masker_open(const unsigned char *key);

/* Wipes and frees m; a NULL m is nothing to do. */
ONYMIX_API void ONYMIX_CALL onymix_masker_close(onymix_masker *m);

/* onymix_mask under m's key: the same masking of the same value, written
 * and returned as that call writes and returns it; -1, writing "" when
 * size > 0, for a NULL m and for what that call refuses. */
ONYMIX_API int ONYMIX_CALL onymix_masker_mask(const onymix_masker *m, int kind, const void *value,
                                              size_t length, char *out, size_t size);

/* onymix_mask_values under m's key: the same maskings of the same values,
 * written and returned as that call writes and returns them; -1, writing
 * nothing, for a NULL m and for what that call refuses. */
ONYMIX_API int ONYMIX_CALL onymix_masker_values(const onymix_masker *m, int kind,
                                                const void *const *values, const size_t *lengths,
                                                size_t count, char *out, size_t size, size_t *ends);

/* ---- The name table ---------------------------------------------------------
 * For bindings that keep one string object per name: the table's entries
 * are numbered 0 to ONYMIX_ENTRY_COUNT - 1, the 1,219 male first names
 * first, then the 4,275 female first names, then the 56,342 surnames, each
 * list from its most common name down. These calls give a name as the
 * entries of its parts, two ints: the first name's entry and the surname's,
 * -1 for a part the mode has none of. */
#define ONYMIX_ENTRY_COUNT 61836
#define ONYMIX_FIRST_FEMALE_ENTRY 1219
#define ONYMIX_FIRST_SURNAME_ENTRY 5494

/* The text of an entry (static), or NULL for a number that is none. */
ONYMIX_API const char *ONYMIX_CALL onymix_entry(int index);

/* The next names of g as entries, 2 * n ints into entries, the same names
 * onymix_next would give; n is count, or fewer only when a unique generator
 * runs out. -1 for a NULL g or entries, or a negative count. */
ONYMIX_API int ONYMIX_CALL onymix_next_entries(onymix_generator *g, int *entries, int count);

/* The names of ids as entries, as onymix_write_ids picks the ids; returns
 * count (or INT_MAX, when count is more), or -1 as onymix_write_ids does. */
ONYMIX_API int ONYMIX_CALL onymix_entries_for_ids(int mode, const unsigned char *key,
                                                  unsigned long long first,
                                                  const unsigned long long *ids, size_t count,
                                                  int *entries);

/* The pseudonyms of values as entries, likewise. */
ONYMIX_API int ONYMIX_CALL onymix_entries_for_pseudonyms(int mode, const unsigned char *key,
                                                         const void *const *values,
                                                         const size_t *lengths, size_t count,
                                                         int *entries);

/* ---- stored.txt ----------------------------------------------------------
 * The Onymix program keeps the names its user stores in "stored.txt": one
 * name a line, CR LF line ends, 8-bit text in the system code page. It also
 * reads a file that another editor saved with a byte-order mark, and saves
 * the list back in the form it found. These calls apply the program's rules
 * for a program that has the file's bytes and shows the list as UTF-8 text
 * (the web page does): loading, Store, the question at Quit, and saving.
 *
 * An 8-bit file (no mark, or behind the UTF-8 mark) is read as UTF-8 when
 * its text is well-formed UTF-8, and otherwise as windows-1252, the code
 * page of the program on Western systems, in which every byte is a
 * character of its own, so that it is written back byte for byte. */

/* How a file is encoded: its byte-order mark, */
#define ONYMIX_MARK_NONE 0    /* no mark: every file the program makes */
#define ONYMIX_MARK_UTF8 1    /* EF BB BF, then 8-bit text */
#define ONYMIX_MARK_UTF16LE 2 /* FF FE, then UTF-16 little endian */
#define ONYMIX_MARK_UTF16BE 3 /* FE FF, then UTF-16 big endian */
/* and the character set of its 8-bit text (UTF-16 files hold Unicode,
 * which the calls take and give as UTF-8: their charset is UTF-8). */
#define ONYMIX_CHARSET_UTF8 0
#define ONYMIX_CHARSET_WINDOWS_1252 1

/* The bytes cannot be shown as text: UTF-16 that ends in half a character
 * or holds half a surrogate pair. The program refuses to load such a file,
 * and leaves it untouched. */
#define ONYMIX_UNSHOWABLE (-2)
/* The text holds a character the encoding has no form for (or, for UTF-16,
 * bytes that are no UTF-8), so saving it would lose it. */
#define ONYMIX_UNSAVABLE (-3)

/* The stored text of a file of size bytes, as the program loads it: the
 * file's non-empty lines in file order, each followed by CR LF (a line ends
 * at LF or CR LF, and a NUL ends the text of its line), as UTF-8. Stores
 * the text, NUL-terminated, in *text (give it back with onymix_free), its
 * length in *length, and the file's encoding in *mark and *charset, each
 * when not NULL (*mark is set even when the bytes cannot be shown), and
 * returns 0. Returns ONYMIX_UNSHOWABLE for bytes that cannot be shown, and
 * -1 when text is NULL, bytes is NULL with a size above 0, or memory runs
 * out; *text is NULL then. */
ONYMIX_API int ONYMIX_CALL onymix_stored_text(const void *bytes, size_t size, char **text,
                                              size_t *length, int *mark, int *charset);

/* The bytes of the file the program saves for a list holding text (UTF-8,
 * the stored-names box's text), in the encoding mark and charset: every CR
 * dropped, every LF written as CR LF, the mark in front. 8-bit text that
 * would itself begin with the bytes of a mark is written behind the UTF-8
 * mark, so that it reads back the same. Stores the bytes in *bytes (give
 * them back with onymix_free) and their count in *size, and returns 0.
 * Returns ONYMIX_UNSAVABLE when a character cannot be written in the
 * encoding, with its byte offset in text in *bad_at when that is not NULL;
 * -1 when text, bytes or size is NULL, for a mark or charset that is none
 * of the above or a UTF-16 mark with windows-1252, or when memory runs out.
 * *bytes is NULL then. */
ONYMIX_API int ONYMIX_CALL onymix_stored_bytes(const char *text, int mark, int charset,
                                               void **bytes, size_t *size, size_t *bad_at);

/* Store: the list after the program's Store appends name to it: the list,
 * CR LF when the list is not empty, then name. In memory that the caller
 * gives back with onymix_free; NULL when list or name is NULL or memory
 * runs out. */
ONYMIX_API char *ONYMIX_CALL onymix_store(const char *list, const char *name);

/* Quit: the question the program asks before it saves list, "Save stored
 * names to file?" (static text), or NULL when it asks nothing and saves
 * nothing, which is when the list is empty (or NULL). Yes saves the list,
 * No leaves the file as it was; either way the program ends. */
ONYMIX_API const char *ONYMIX_CALL onymix_quit_question(const char *list);

/* Gives back memory that onymix_stored_text, onymix_stored_bytes or
 * onymix_store handed out. NULL is allowed. */
ONYMIX_API void ONYMIX_CALL onymix_free(void *memory);

#ifdef __cplusplus
}
#endif

#endif /* ONYMIX_H */
