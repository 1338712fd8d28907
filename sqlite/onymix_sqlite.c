/* onymix_sqlite.c: Onymix's names as SQL functions, a loadable extension of SQLite over
 * include/onymix.h, which converts the arguments, calls the library and turns what it or the
 * conversion refuses into SQLite's errors:
 *
 *   onymix_name(id [, mode [, key]])          onymix_name_for_id
 *   onymix_pseudonym(value [, mode [, key]])  onymix_pseudonym
 *   onymix_generate([mode [, second]])        onymix_generate
 *   onymix_mask_first_name(value, key)        onymix_mask, ONYMIX_MASK_FIRST_NAME
 *   onymix_mask_surname(value, key)           onymix_mask, ONYMIX_MASK_SURNAME
 *   onymix_mask_full_name(value, key)         onymix_mask, ONYMIX_MASK_FULL_NAME
 *
 * A mode is an integer from 0 to 6, or text as onymix_mode_from_text reads it (a label in any case
 * or the number); the defaults are the header's, ONYMIX_DEFAULT_ID_MODE ("Any + Surname") for
 * names and pseudonyms and ONYMIX_DEFAULT_SEQUENCE_MODE ("Male + Surname") for Generate.
 * A key is a 16-byte blob, NULL for the zero key. An id is a whole number from 0 to 2^64 - 1: an
 * integer from 0, or text of digits (for ids beyond SQLite's largest integer) or a real that
 * holds one. A value is text (its UTF-8 bytes) or a blob. A second is a whole number from 0 to
 * 86399, NULL for now. A NULL id or value gives NULL. A masking requires its key, which must not
 * be the zero key, and gives text for text and a blob for a blob.
 *
 * SQLite finds the entry point sqlite3_X_init from the file's name when none is given: X is the
 * lower-case letters of the name before its first '.', a leading "lib" left out. The extension
 * is built as onymix.so, which gives the name below; on Windows it is onymix.sqlite3.dll, which
 * gives the same name and cannot be taken for the library's own onymix.dll. */
#include "sqlite3ext.h"
SQLITE_EXTENSION_INIT1

#include <onymix.h>

#include <limits.h>
#include <string.h>

/* The length of the well-formed UTF-8 character at s (NUL-terminated), or 0 when there is none
 * there: a NUL, a byte that begins no character, an overlong form, a surrogate, or a number beyond
 * U+10FFFF. */
static int utf8_character(const unsigned char *s) {
    unsigned char low = 0x80, high = 0xbf;
    if (s[0] > 0 && s[0] < 0x80)
        return 1;
    if (s[0] < 0xc2 || s[0] > 0xf4)
        return 0;
    int length = s[0] < 0xe0 ? 2 : s[0] < 0xf0 ? 3 : 4;
    if (s[0] == 0xe0)
        low = 0xa0;
    else if (s[0] == 0xed)
        high = 0x9f;
    else if (s[0] == 0xf0)
        low = 0x90;
    else if (s[0] == 0xf4)
        high = 0x8f;
    if (s[1] < low || s[1] > high)
        return 0;
    for (int i = 2; i < length; i++)
        if ((s[i] & 0xc0) != 0x80)
            return 0;
    return length;
}

/* A text as SQL would write it, for a message, which must stay short and be UTF-8 (Python, for
 * one, cannot read another): its first 60 characters quoted, or, when those hold a NUL or bytes
 * that are no UTF-8, its first 30 bytes in hex cast to text. A mode or an id can be text of a
 * gigabyte, whose message SQLite would refuse as too big. */
static char *describe_text(const unsigned char *text, int bytes) {
    enum { characters = 60, hex_bytes = 30 };
    int shown = 0, step = 1;
    for (int i = 0; i < characters && shown < bytes && step > 0; i++) {
        step = utf8_character(text + shown);
        shown += step;
    }
    if (step > 0)
        return sqlite3_mprintf("%.*Q%s", shown, text, shown < bytes ? "..." : "");
    char hex[2 * hex_bytes + 1];
    for (shown = 0; shown < bytes && shown < hex_bytes; shown++)
        sqlite3_snprintf(3, hex + 2 * shown, "%02x", text[shown]);
    hex[2 * shown] = '\0';
    return sqlite3_mprintf("CAST(x'%s' AS TEXT)%s", hex, shown < bytes ? "..." : "");
}

/* The text of a value for a message: as SQL would write it, but for blobs, which may be large
 * and unprintable, and keys, which may be a secret in the wrong form. */
static char *describe(sqlite3_value *value, int show_content) {
    switch (sqlite3_value_type(value)) {
    case SQLITE_NULL:
        return sqlite3_mprintf("NULL");
    case SQLITE_INTEGER:
        return show_content ? sqlite3_mprintf("%lld", sqlite3_value_int64(value))
                            : sqlite3_mprintf("an integer");
    case SQLITE_FLOAT:
        return show_content ? sqlite3_mprintf("%!.15g", sqlite3_value_double(value))
                            : sqlite3_mprintf("a real");
    case SQLITE_TEXT: {
        const unsigned char *text = sqlite3_value_text(value);
        int bytes = sqlite3_value_bytes(value);
        if (!text)
            return NULL;
        return show_content ? describe_text(text, bytes)
                            : sqlite3_mprintf("text of %d byte%s", bytes, bytes == 1 ? "" : "s");
    }
    default:
        return sqlite3_mprintf("a blob of %d byte%s", sqlite3_value_bytes(value),
                               sqlite3_value_bytes(value) == 1 ? "" : "s");
    }
}

/* Every function is registered with its own name as its user data, so that each message says
 * which call of a query refused. */
static void refuse(sqlite3_context *context, const char *what, sqlite3_value *value,
                   int show_content, const char *wanted) {
    char *shown = describe(value, show_content);
    char *message =
        shown ? sqlite3_mprintf("%s: not %s: %s (%s)", (const char *)sqlite3_user_data(context),
                                what, shown, wanted)
              : NULL;
    if (message)
        sqlite3_result_error(context, message, -1);
    else
        sqlite3_result_error_nomem(context);
    sqlite3_free(message);
    sqlite3_free(shown);
}

/* Text of decimal digits alone, as a number from 0 to 2^64 - 1. Its length is SQLite's, so that
 * a NUL inside the text is no end of it. */
static int digits_number(sqlite3_value *value, unsigned long long *number) {
    const unsigned char *text = sqlite3_value_text(value);
    int length = sqlite3_value_bytes(value);
    if (!text || length == 0)
        return 0;
    unsigned long long n = 0;
    for (int i = 0; i < length; i++) {
        unsigned digit = (unsigned)(text[i] - '0');
        if (digit > 9 || n > (ULLONG_MAX - digit) / 10)
            return 0;
        n = n * 10 + digit;
    }
    *number = n;
    return 1;
}

/* A whole number from 0 to 2^64 - 1 in any of SQLite's types but blob. */
static int whole_number(sqlite3_value *value, unsigned long long *number) {
    switch (sqlite3_value_type(value)) {
    case SQLITE_INTEGER: {
        sqlite3_int64 n = sqlite3_value_int64(value);
        if (n < 0)
            return 0;
        *number = (unsigned long long)n;
        return 1;
    }
    case SQLITE_FLOAT: {
        /* NaN fails the first test; below 2^64 the conversion is defined, and exact only for
         * a whole number. */
        double d = sqlite3_value_double(value);
        if (!(d >= 0.0 && d < 18446744073709551616.0) || (double)(unsigned long long)d != d)
            return 0;
        *number = (unsigned long long)d;
        return 1;
    }
    case SQLITE_TEXT:
        return digits_number(value, number);
    default:
        return 0;
    }
}

/* The mode of argument `index`, or `fallback` when the call has no such argument; -1 once the
 * error is set. */
static int mode_argument(sqlite3_context *context, int argc, sqlite3_value **argv, int index,
                         int fallback) {
    if (index >= argc)
        return fallback;
    sqlite3_value *value = argv[index];
    int mode = -1;
    if (sqlite3_value_type(value) == SQLITE_INTEGER) {
        sqlite3_int64 number = sqlite3_value_int64(value);
        if (number >= 0 && number < ONYMIX_MODE_COUNT)
            mode = (int)number;
    } else if (sqlite3_value_type(value) == SQLITE_TEXT) {
        /* Its length is SQLite's, so that a NUL inside is refused with the rest. */
        const char *text = (const char *)sqlite3_value_text(value);
        if (text)
            mode = onymix_mode_from_text(text, (size_t)sqlite3_value_bytes(value));
    }
    if (mode < 0)
        refuse(context, "a mode", value, 1,
               "a label such as 'Male + Surname' in any case, or a number from 0 to 6");
    return mode;
}

/* The key of argument `index`, NULL for the zero key; 0 once the error is set. */
static int key_argument(sqlite3_context *context, int argc, sqlite3_value **argv, int index,
                        const unsigned char **key) {
    *key = NULL;
    if (index >= argc || sqlite3_value_type(argv[index]) == SQLITE_NULL)
        return 1;
    if (sqlite3_value_type(argv[index]) == SQLITE_BLOB) {
        const unsigned char *bytes = sqlite3_value_blob(argv[index]);
        if (sqlite3_value_bytes(argv[index]) == ONYMIX_KEY_SIZE) {
            *key = bytes;
            return 1;
        }
    }
    refuse(context, "a key", argv[index], 0, "a blob of 16 bytes, or NULL for the zero key");
    return 0;
}

/* The bytes of a value, text (its UTF-8) or a blob; 0 for NULL, which gives NULL, and once the
 * error is set. */
static int value_argument(sqlite3_context *context, sqlite3_value *value, int show_content,
                          const void **bytes, size_t *length) {
    switch (sqlite3_value_type(value)) {
    case SQLITE_NULL:
        return 0;
    case SQLITE_TEXT:
        *bytes = sqlite3_value_text(value);
        break;
    case SQLITE_BLOB:
        *bytes = sqlite3_value_blob(value);
        break;
    default:
        /* A number's text form is SQLite's choice, not the caller's, so the caller casts. */
        refuse(context, "a value", value, show_content, "text or a blob; CAST a number AS TEXT");
        return 0;
    }
    *length = (size_t)sqlite3_value_bytes(value);
    if (!*bytes && *length > 0) {
        sqlite3_result_error_nomem(context);
        return 0;
    }
    return 1;
}

static void name_result(sqlite3_context *context, int length, const char *name) {
    if (length < 0)
        sqlite3_result_error(context, "onymix: the library refused arguments that were checked",
                             -1);
    else
        sqlite3_result_text(context, name, length, SQLITE_TRANSIENT);
}

static void name_function(sqlite3_context *context, int argc, sqlite3_value **argv) {
    const unsigned char *key;
    int mode = mode_argument(context, argc, argv, 1, ONYMIX_DEFAULT_ID_MODE);
    if (mode < 0 || !key_argument(context, argc, argv, 2, &key))
        return;
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL)
        return;
    unsigned long long id;
    if (!whole_number(argv[0], &id)) {
        refuse(context, "an id", argv[0], 1, "a whole number from 0 to 18446744073709551615");
        return;
    }
    char name[ONYMIX_LINE_MAX];
    name_result(context, onymix_name_for_id(mode, id, key, name, sizeof name), name);
}

static void pseudonym_function(sqlite3_context *context, int argc, sqlite3_value **argv) {
    const unsigned char *key;
    int mode = mode_argument(context, argc, argv, 1, ONYMIX_DEFAULT_ID_MODE);
    if (mode < 0 || !key_argument(context, argc, argv, 2, &key))
        return;
    const void *bytes;
    size_t length;
    if (!value_argument(context, argv[0], 1, &bytes, &length))
        return;
    char name[ONYMIX_LINE_MAX];
    name_result(context, onymix_pseudonym(mode, bytes, length, key, name, sizeof name), name);
}

static const char second_wanted[] = "a whole number from 0 to 86399, or NULL for now";

static void generate_function(sqlite3_context *context, int argc, sqlite3_value **argv) {
    int mode = mode_argument(context, argc, argv, 0, ONYMIX_DEFAULT_SEQUENCE_MODE);
    if (mode < 0)
        return;
    /* The library says which seconds there are; its "now", -1, is NULL here, as no negative
     * number is a whole number. */
    sqlite3_value *given = argc > 1 && sqlite3_value_type(argv[1]) != SQLITE_NULL ? argv[1] : NULL;
    long second = ONYMIX_NOW;
    if (given) {
        unsigned long long number;
        if (!whole_number(given, &number) || number > LONG_MAX) {
            refuse(context, "a second", given, 1, second_wanted);
            return;
        }
        second = (long)number;
    }
    char name[ONYMIX_LINE_MAX];
    int length = onymix_generate(mode, second, name, sizeof name);
    if (length < 0 && given)
        refuse(context, "a second", given, 1, second_wanted);
    else
        name_result(context, length, name);
}

/* The maskings, by the kinds of onymix.h. Each is registered with its entry as its user data,
 * which refuse() reads as the function's name, the entry's first member. */
static const struct mask_function_kind {
    char name[24];
    int kind;
} mask_kinds[] = {
    {"onymix_mask_first_name", ONYMIX_MASK_FIRST_NAME},
    {"onymix_mask_surname", ONYMIX_MASK_SURNAME},
    {"onymix_mask_full_name", ONYMIX_MASK_FULL_NAME},
};

static void no_key(sqlite3_context *context, const char *function, const char *why) {
    char *message =
        sqlite3_mprintf("%s: %s (a secret blob of 16 bytes, not all zero)", function, why);
    if (message)
        sqlite3_result_error(context, message, -1);
    else
        sqlite3_result_error_nomem(context);
    sqlite3_free(message);
}

/* A masking requires its key: under the zero key anyone could mask every listed name and so
 * read the maskings back. No message shows the value, a real person's name, or the key. */
static void mask_function(sqlite3_context *context, int argc, sqlite3_value **argv) {
    const struct mask_function_kind *function = sqlite3_user_data(context);
    static const unsigned char zero[ONYMIX_KEY_SIZE];
    /* The type before the bytes: reading them may change what sqlite3_value_type says. */
    const unsigned char *key =
        argc < 2 || sqlite3_value_type(argv[1]) != SQLITE_BLOB ? NULL : sqlite3_value_blob(argv[1]);
    if (!key || sqlite3_value_bytes(argv[1]) != ONYMIX_KEY_SIZE) {
        if (argc < 2)
            no_key(context, function->name, "a masking needs a key");
        else
            refuse(context, "a key", argv[1], 0, "a secret blob of 16 bytes, not all zero");
        return;
    }
    if (memcmp(key, zero, ONYMIX_KEY_SIZE) == 0) {
        no_key(context, function->name, "the zero key is no secret");
        return;
    }
    const void *bytes;
    size_t length;
    int value_is_blob = sqlite3_value_type(argv[0]) == SQLITE_BLOB;
    if (!value_argument(context, argv[0], 0, &bytes, &length))
        return;
    char stack[ONYMIX_LINE_MAX];
    char *out = stack;
    int needed = onymix_mask(function->kind, bytes, length, key, stack, sizeof stack);
    /* A masking longer than the stack's room is made again in memory of its size, which SQLite
     * frees. */
    if (needed >= (int)sizeof stack) {
        out = sqlite3_malloc64((sqlite3_uint64)needed + 1);
        if (!out) {
            sqlite3_result_error_nomem(context);
            return;
        }
        if (onymix_mask(function->kind, bytes, length, key, out, (size_t)needed + 1) != needed) {
            sqlite3_free(out);
            out = stack;
            needed = -1;
        }
    }
    if (needed < 0)
        sqlite3_result_error(context, "onymix: the library refused arguments that were checked",
                             -1);
    else if (value_is_blob)
        sqlite3_result_blob64(context, out, (sqlite3_uint64)needed,
                              out == stack ? SQLITE_TRANSIENT : sqlite3_free);
    else
        sqlite3_result_text64(context, out, (sqlite3_uint64)needed,
                              out == stack ? SQLITE_TRANSIENT : sqlite3_free, SQLITE_UTF8);
}

#ifdef _WIN32
__declspec(dllexport)
#endif
    int sqlite3_onymix_init(sqlite3 *db, char **error, const sqlite3_api_routines *api) {
    SQLITE_EXTENSION_INIT2(api);
    (void)error;
    /* Names and pseudonyms depend on their arguments alone. Generate reads the uptime, and
     * what it gives for now tells the host's second of uptime, which a schema from elsewhere
     * must not learn when trusted_schema is off: it is neither deterministic nor innocuous. */
    static const struct {
        const char *name;
        int fewest, most;
        int flags;
        void (*call)(sqlite3_context *, int, sqlite3_value **);
    } functions[] = {
        {"onymix_name", 1, 3, SQLITE_DETERMINISTIC | SQLITE_INNOCUOUS, name_function},
        {"onymix_pseudonym", 1, 3, SQLITE_DETERMINISTIC | SQLITE_INNOCUOUS, pseudonym_function},
        {"onymix_generate", 0, 2, 0, generate_function},
    };
    for (size_t i = 0; i < sizeof functions / sizeof functions[0]; i++) {
        for (int arity = functions[i].fewest; arity <= functions[i].most; arity++) {
            int rc = sqlite3_create_function(
                db, functions[i].name, arity, SQLITE_UTF8 | functions[i].flags,
                (void *)functions[i].name, functions[i].call, NULL, NULL);
            if (rc != SQLITE_OK)
                return rc;
        }
    }
    /* Maskings depend on their arguments alone; the one-argument form only says that the key is
     * missing, which SQLite's "wrong number of arguments" would not. */
    for (size_t i = 0; i < sizeof mask_kinds / sizeof mask_kinds[0]; i++) {
        for (int arity = 1; arity <= 2; arity++) {
            int rc = sqlite3_create_function(db, mask_kinds[i].name, arity,
                                             SQLITE_UTF8 | SQLITE_DETERMINISTIC | SQLITE_INNOCUOUS,
                                             (void *)&mask_kinds[i], mask_function, NULL, NULL);
            if (rc != SQLITE_OK)
                return rc;
        }
    }
    return SQLITE_OK;
}
