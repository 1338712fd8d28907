/* onymix.c: the onymix extension for PostgreSQL, SQL functions over libonymix (onymix.h). */
#include "postgres.h"

#include <errno.h>
#include <stdlib.h>
#include <string.h>

#include "fmgr.h"
#include "funcapi.h"
#include "lib/stringinfo.h"
#include "mb/pg_wchar.h"
#include "utils/builtins.h"
#include "utils/fmgrprotos.h"
#include "utils/guc.h"
#include "utils/numeric.h"

#include "onymix.h"

PG_MODULE_MAGIC;

void _PG_init(void);

PG_FUNCTION_INFO_V1(onymix_pg_name);
PG_FUNCTION_INFO_V1(onymix_pg_pseudonym_text);
PG_FUNCTION_INFO_V1(onymix_pg_pseudonym_bytea);
PG_FUNCTION_INFO_V1(onymix_pg_names);
PG_FUNCTION_INFO_V1(onymix_pg_generate);
PG_FUNCTION_INFO_V1(onymix_pg_mask_first_name);
PG_FUNCTION_INFO_V1(onymix_pg_mask_surname);
PG_FUNCTION_INFO_V1(onymix_pg_mask_full_name);

/* The text of onymix.key as set; the key itself lives in setting_key. */
static char *key_setting = NULL;
static bool setting_has_key = false;
static unsigned char setting_key[ONYMIX_KEY_SIZE];

/* What the check hook hands the assign hook: a decoded key or none. */
typedef struct key_extra {
    bool has_key;
    unsigned char key[ONYMIX_KEY_SIZE];
} key_extra;

/* A value as error messages show it: clipped, since a mode or seed can be
 * any text or number up to a gigabyte and a message must stay readable. */
static const char *shown(const char *value) {
    const int limit = 60;
    int length = strlen(value);
    if (length <= limit)
        return value;
    return psprintf("%.*s...", pg_mbcliplen(value, length, limit), value);
}

/* The escape form of bytea as byteain reads it, written out again because a
 * check hook must refuse a value rather than raise an error. Returns the
 * byte count, or -1 for malformed text or more than size bytes. */
static int decode_escape(const char *text, unsigned char *out, int size) {
    int count = 0;
    while (*text) {
        unsigned char byte;
        if (text[0] != '\\') {
            byte = (unsigned char)*text++;
        } else if (text[1] == '\\') {
            byte = '\\';
            text += 2;
        } else if (text[1] >= '0' && text[1] <= '3' && text[2] >= '0' && text[2] <= '7' &&
                   text[3] >= '0' && text[3] <= '7') {
            byte = (unsigned char)((text[1] - '0') << 6 | (text[2] - '0') << 3 | (text[3] - '0'));
            text += 4;
        } else {
            return -1;
        }
        if (count == size)
            return -1;
        out[count++] = byte;
    }
    return count;
}

/* onymix.key: empty for none (16 zero bytes, the library's NULL key), or a
 * bytea literal of 16 bytes in hex (\x...) or escape form. The error names
 * the length only: the text may be a mistyped secret, headed for the log. */
static bool check_key(char **newval, void **extra, GucSource source) {
    const char *text = *newval;
    key_extra *decoded = malloc(sizeof *decoded);
    int count;

    (void)source;
    if (!decoded) {
        GUC_check_errcode(ERRCODE_OUT_OF_MEMORY);
        return false;
    }
    memset(decoded, 0, sizeof *decoded);
    if (text == NULL || text[0] == '\0') {
        *extra = decoded;
        return true;
    }
    if (text[0] == '\\' && text[1] == 'x') {
        const char *digits = text + 2;
        count =
            onymix_key_from_hex(digits, strlen(digits), decoded->key) == 0 ? ONYMIX_KEY_SIZE : -1;
    } else {
        count = decode_escape(text, decoded->key, ONYMIX_KEY_SIZE);
    }
    if (count != ONYMIX_KEY_SIZE) {
        free(decoded);
        GUC_check_errcode(ERRCODE_INVALID_PARAMETER_VALUE);
        GUC_check_errdetail("The key must be 16 bytes as a bytea literal, \\x and 32 hex "
                            "digits or the escape form.");
        return false;
    }
    decoded->has_key = true;
    *extra = decoded;
    return true;
}

static void assign_key(const char *newval, void *extra) {
    const key_extra *decoded = extra;
    (void)newval;
    setting_has_key = decoded->has_key;
    memcpy(setting_key, decoded->key, ONYMIX_KEY_SIZE);
}

/* The key is shown and set by superusers alone, so that ordinary roles can
 * mask with it without being able to read it. */
void _PG_init(void) {
    DefineCustomStringVariable(
        "onymix.key", "Key of the onymix functions when no key is given.",
        "16 bytes as a bytea literal; empty means 16 zero bytes, which is no secret, for names "
        "and pseudonyms, and is refused by maskings.",
        &key_setting, "", PGC_SUSET, GUC_SUPERUSER_ONLY | GUC_NOT_IN_SAMPLE, check_key, assign_key,
        NULL);
    MarkGUCPrefixReserved("onymix");
}

/* The hint of a refused mode, with the library's labels. */
static char *modes_hint(void) {
    StringInfoData hint;
    int mode;
    initStringInfo(&hint);
    appendStringInfoString(&hint, "The modes are ");
    for (mode = 0; mode < ONYMIX_MODE_COUNT; mode++)
        appendStringInfo(&hint, "%s%s",
                         mode == 0                       ? ""
                         : mode == ONYMIX_MODE_COUNT - 1 ? " and "
                                                         : ", ",
                         onymix_mode_label(mode));
    appendStringInfo(&hint, ", in any case, or their numbers 0 to %d.", ONYMIX_MODE_COUNT - 1);
    return hint.data;
}

/* A mode as the library reads one given as text. */
static int mode_argument(text *argument) {
    int mode = onymix_mode_from_text(VARDATA_ANY(argument), VARSIZE_ANY_EXHDR(argument));
    if (mode < 0)
        ereport(ERROR, (errcode(ERRCODE_INVALID_PARAMETER_VALUE),
                        errmsg("\"%s\" is not an onymix mode", shown(text_to_cstring(argument))),
                        errhint("%s", modes_hint())));
    return mode;
}

/* The key a function takes: its own third argument when it has one, which
 * must not be NULL (only a call that leaves the key out reads the setting,
 * which keeps the three-argument forms immutable); the setting otherwise.
 * NULL means 16 zero bytes, as the library reads it. */
static const unsigned char *key_argument(FunctionCallInfo fcinfo, int argument) {
    bytea *key;
    if (PG_NARGS() <= argument)
        return setting_has_key ? setting_key : NULL;
    if (PG_ARGISNULL(argument))
        ereport(ERROR, (errcode(ERRCODE_INVALID_PARAMETER_VALUE), errmsg("onymix key is NULL"),
                        errhint("Leave the key out to use the setting onymix.key.")));
    key = PG_GETARG_BYTEA_PP(argument);
    /* The key's length, never its bytes: they may be a secret. */
    if (VARSIZE_ANY_EXHDR(key) != ONYMIX_KEY_SIZE)
        ereport(ERROR, (errcode(ERRCODE_INVALID_PARAMETER_VALUE),
                        errmsg("onymix key must be %d bytes, not %zu", ONYMIX_KEY_SIZE,
                               (size_t)VARSIZE_ANY_EXHDR(key))));
    return (const unsigned char *)VARDATA_ANY(key);
}

/* Refusals of arguments that were checked before the call are faults of
 * this module or the library, not of the caller. */
static text *name_result(int length, const char *name, const char *call) {
    if (length <= 0)
        elog(ERROR, "%s refused arguments that were checked", call);
    return cstring_to_text_with_len(name, length);
}

/* onymix_name(id bigint, mode text[, key bytea]) */
Datum onymix_pg_name(PG_FUNCTION_ARGS) {
    const unsigned char *key = key_argument(fcinfo, 2);
    char name[ONYMIX_LINE_MAX];
    int64 id;
    int mode;

    if (PG_ARGISNULL(0) || PG_ARGISNULL(1))
        PG_RETURN_NULL();
    id = PG_GETARG_INT64(0);
    if (id < 0)
        ereport(ERROR, (errcode(ERRCODE_INVALID_PARAMETER_VALUE),
                        errmsg("onymix id " INT64_FORMAT " is negative", id)));
    mode = mode_argument(PG_GETARG_TEXT_PP(1));
    PG_RETURN_TEXT_P(
        name_result(onymix_name_for_id(mode, (unsigned long long)id, key, name, sizeof name), name,
                    "onymix_name_for_id"));
}

static text *pseudonym(FunctionCallInfo fcinfo, const unsigned char *key, const char *value,
                       size_t length) {
    char name[ONYMIX_LINE_MAX];
    int mode = mode_argument(PG_GETARG_TEXT_PP(1));
    return name_result(onymix_pseudonym(mode, value, length, key, name, sizeof name), name,
                       "onymix_pseudonym");
}

/* A text's UTF-8 bytes, so that a name does not depend on the database's
 * encoding; *length is the text's length, then that of its UTF-8. */
static const char *utf8_argument(text *value, size_t *length) {
    const char *utf8;
    *length = VARSIZE_ANY_EXHDR(value);
    utf8 = pg_server_to_any(VARDATA_ANY(value), *length, PG_UTF8);
    /* A converted text is a new NUL-terminated string of its own length. */
    if (utf8 != VARDATA_ANY(value))
        *length = strlen(utf8);
    return utf8;
}

/* onymix_pseudonym(value text, mode text[, key bytea]): the value's UTF-8
 * bytes, so that a name does not depend on the database's encoding. */
Datum onymix_pg_pseudonym_text(PG_FUNCTION_ARGS) {
    const unsigned char *key = key_argument(fcinfo, 2);
    const char *utf8;
    size_t length;

    if (PG_ARGISNULL(0) || PG_ARGISNULL(1))
        PG_RETURN_NULL();
    utf8 = utf8_argument(PG_GETARG_TEXT_PP(0), &length);
    PG_RETURN_TEXT_P(pseudonym(fcinfo, key, utf8, length));
}

/* onymix_pseudonym(value bytea, mode text[, key bytea]) */
Datum onymix_pg_pseudonym_bytea(PG_FUNCTION_ARGS) {
    const unsigned char *key = key_argument(fcinfo, 2);
    bytea *value;

    if (PG_ARGISNULL(0) || PG_ARGISNULL(1))
        PG_RETURN_NULL();
    value = PG_GETARG_BYTEA_PP(0);
    PG_RETURN_TEXT_P(pseudonym(fcinfo, key, VARDATA_ANY(value), VARSIZE_ANY_EXHDR(value)));
}

/* A seed from 0 to 2^64 - 1, given as numeric since bigint stops at 2^63:
 * its whole part written out by the server, then read as unsigned. */
static unsigned long long seed_argument(Numeric seed) {
    bool whole = !numeric_is_nan(seed) && !numeric_is_inf(seed);
    unsigned long long value = 0;

    if (whole) {
        Datum truncated =
            DirectFunctionCall2(numeric_trunc, NumericGetDatum(seed), Int32GetDatum(0));
        const char *digits = DatumGetCString(DirectFunctionCall1(numeric_out, truncated));
        char *end;
        errno = 0;
        value = strtoull(digits, &end, 10);
        whole = DatumGetBool(DirectFunctionCall2(numeric_eq, NumericGetDatum(seed), truncated)) &&
                digits[0] != '-' && errno != ERANGE && *end == '\0';
    }
    if (!whole)
        ereport(ERROR,
                (errcode(ERRCODE_INVALID_PARAMETER_VALUE),
                 errmsg("onymix seed %s is not a whole number from 0 to 18446744073709551615",
                        shown(DatumGetCString(
                            DirectFunctionCall1(numeric_out, NumericGetDatum(seed)))))));
    return value;
}

/* Closes the generator with the memory of the call, however the call ends:
 * at its last row, at a LIMIT, or at an error. */
static void close_generator(void *generator) {
    onymix_close(*(onymix_generator **)generator);
}

/* onymix_names(count bigint, mode text, seed numeric, start bigint,
 * is_unique boolean, weighted boolean) RETURNS SETOF text: one row a call,
 * so that no count is held in memory. */
Datum onymix_pg_names(PG_FUNCTION_ARGS) {
    FuncCallContext *call;
    onymix_generator **generator;
    char name[ONYMIX_LINE_MAX];

    if (SRF_IS_FIRSTCALL()) {
        MemoryContextCallback *closing;
        MemoryContext caller;
        int64 count, start;
        bool unique;
        unsigned flags;
        int mode;

        call = SRF_FIRSTCALL_INIT();
        /* NULL in, no rows out, as for a strict function; only the seed's
         * NULL has a meaning: now. */
        if (PG_ARGISNULL(0) || PG_ARGISNULL(1) || PG_ARGISNULL(3) || PG_ARGISNULL(4) ||
            PG_ARGISNULL(5))
            SRF_RETURN_DONE(call);
        count = PG_GETARG_INT64(0);
        mode = mode_argument(PG_GETARG_TEXT_PP(1));
        start = PG_GETARG_INT64(3);
        unique = PG_GETARG_BOOL(4);
        flags = (unique ? ONYMIX_UNIQUE : 0) | (PG_GETARG_BOOL(5) ? ONYMIX_WEIGHTED : 0);
        if (count < 0)
            ereport(ERROR, (errcode(ERRCODE_INVALID_PARAMETER_VALUE),
                            errmsg("onymix count " INT64_FORMAT " is negative", count)));
        if (start < 0)
            ereport(ERROR, (errcode(ERRCODE_INVALID_PARAMETER_VALUE),
                            errmsg("onymix start " INT64_FORMAT " is negative", start)));
        if (unique && start != 0)
            ereport(ERROR,
                    (errcode(ERRCODE_INVALID_PARAMETER_VALUE),
                     errmsg("onymix start " INT64_FORMAT " cannot be used with is_unique", start),
                     errdetail("Unique names are not a plain run of the sequence.")));
        /* Refused here: the library's refusal, a NULL generator, would read
         * as no memory below. */
        if (unique && PG_GETARG_BOOL(5))
            ereport(ERROR,
                    (errcode(ERRCODE_INVALID_PARAMETER_VALUE),
                     errmsg("onymix weighted cannot be used with is_unique"),
                     errdetail("The rarest weighted names come about once in ten billion draws, "
                               "so a unique run would never end.")));

        caller = MemoryContextSwitchTo(call->multi_call_memory_ctx);
        generator = palloc0(sizeof *generator);
        closing = palloc(sizeof *closing);
        closing->func = close_generator;
        closing->arg = generator;
        MemoryContextRegisterResetCallback(call->multi_call_memory_ctx, closing);
        MemoryContextSwitchTo(caller);
        call->user_fctx = generator;

        if (PG_ARGISNULL(2))
            *generator = onymix_open(mode, ONYMIX_NOW, flags);
        else
            *generator = onymix_open_seed(mode, seed_argument(PG_GETARG_NUMERIC(2)), flags);
        if (!*generator)
            ereport(ERROR, (errcode(ERRCODE_OUT_OF_MEMORY),
                            errmsg("out of memory for an onymix generator")));
        if (unique && count > onymix_left(*generator))
            ereport(ERROR, (errcode(ERRCODE_INVALID_PARAMETER_VALUE),
                            errmsg("onymix count " INT64_FORMAT
                                   " is more than the %ld different names of mode %s",
                                   count, onymix_left(*generator), onymix_mode_label(mode))));
        if (start > 0 && onymix_seek(*generator, (unsigned long long)start) != 0)
            elog(ERROR, "onymix_seek refused a start that was checked");
        call->max_calls = (uint64)count;
    }

    call = SRF_PERCALL_SETUP();
    generator = call->user_fctx;
    if (call->call_cntr < call->max_calls)
        SRF_RETURN_NEXT(call,
                        PointerGetDatum(name_result(onymix_next(*generator, name, sizeof name),
                                                    name, "onymix_next")));
    SRF_RETURN_DONE(call);
}

/* onymix_generate(mode text, second integer): one Generate; NULL is now. */
Datum onymix_pg_generate(PG_FUNCTION_ARGS) {
    char name[ONYMIX_LINE_MAX];
    long second = ONYMIX_NOW;
    int mode;

    if (PG_ARGISNULL(0))
        PG_RETURN_NULL();
    mode = mode_argument(PG_GETARG_TEXT_PP(0));
    if (!PG_ARGISNULL(1)) {
        second = PG_GETARG_INT32(1);
        if (second < 0 || second > ONYMIX_LAST_SECOND)
            ereport(ERROR, (errcode(ERRCODE_INVALID_PARAMETER_VALUE),
                            errmsg("onymix second %ld is not a second of the day, 0 to %ld", second,
                                   ONYMIX_LAST_SECOND)));
    }
    PG_RETURN_TEXT_P(
        name_result(onymix_generate(mode, second, name, sizeof name), name, "onymix_generate"));
}

/* The key of a masking: its own second argument or the setting, as
 * key_argument reads them, but never none or the zero key. The lists of
 * names are public: under a known key anyone could mask every listed name
 * and so read maskings back. */
static const unsigned char *mask_key(FunctionCallInfo fcinfo) {
    static const unsigned char zero[ONYMIX_KEY_SIZE];
    const unsigned char *key = key_argument(fcinfo, 1);
    if (!key)
        ereport(ERROR, (errcode(ERRCODE_INVALID_PARAMETER_VALUE),
                        errmsg("onymix masking needs a secret key, and onymix.key is empty"),
                        errhint("Set onymix.key, or give the key as the second argument.")));
    if (memcmp(key, zero, ONYMIX_KEY_SIZE) == 0)
        ereport(ERROR, (errcode(ERRCODE_INVALID_PARAMETER_VALUE),
                        errmsg("onymix masking needs a secret key, not 16 zero bytes"),
                        errhint("The key of 16 zero bytes is known to all.")));
    return key;
}

/* The masking of a text as a kind of value, in the database's encoding. A
 * masking may be longer than ONYMIX_LINE_MAX: a longer one than the first
 * room holds is asked for again with the length the library gives. */
static Datum mask(FunctionCallInfo fcinfo, int kind) {
    const unsigned char *key = mask_key(fcinfo);
    const char *utf8;
    size_t length, room;
    text *result;
    char *converted;
    int masked;

    if (PG_ARGISNULL(0))
        PG_RETURN_NULL();
    utf8 = utf8_argument(PG_GETARG_TEXT_PP(0), &length);
    room = ONYMIX_LINE_MAX;
    result = palloc(VARHDRSZ + room);
    masked = onymix_mask(kind, utf8, length, key, VARDATA(result), room);
    if (masked >= 0 && (size_t)masked >= room && (size_t)masked < MaxAllocSize - VARHDRSZ) {
        room = (size_t)masked + 1;
        result = repalloc(result, VARHDRSZ + room);
        masked = onymix_mask(kind, utf8, length, key, VARDATA(result), room);
    }
    if (masked < 0 || (size_t)masked >= room)
        ereport(ERROR, (errcode(ERRCODE_PROGRAM_LIMIT_EXCEEDED),
                        errmsg("the onymix masking of a value of %zu bytes is too long", length)));
    SET_VARSIZE(result, VARHDRSZ + masked);
    if (GetDatabaseEncoding() == PG_UTF8)
        PG_RETURN_TEXT_P(result);
    converted = pg_any_to_server(VARDATA(result), masked, PG_UTF8);
    if (converted != VARDATA(result))
        result = cstring_to_text(converted);
    PG_RETURN_TEXT_P(result);
}

/* onymix_mask_first_name(value text[, key bytea]) */
Datum onymix_pg_mask_first_name(PG_FUNCTION_ARGS) {
    return mask(fcinfo, ONYMIX_MASK_FIRST_NAME);
}

/* onymix_mask_surname(value text[, key bytea]) */
Datum onymix_pg_mask_surname(PG_FUNCTION_ARGS) {
    return mask(fcinfo, ONYMIX_MASK_SURNAME);
}

/* onymix_mask_full_name(value text[, key bytea]) */
Datum onymix_pg_mask_full_name(PG_FUNCTION_ARGS) {
    return mask(fcinfo, ONYMIX_MASK_FULL_NAME);
}
