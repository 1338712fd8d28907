/* _onymix.c: onymix._onymix, the CPython extension module of the Python
 * package, a binding of libonymix (include/onymix.h) and nothing more: it
 * converts arguments, calls the library and turns its results into str
 * objects, named tuples and exceptions. Built for the stable ABI of 3.11. */
#define PY_SSIZE_T_CLEAN
#include <Python.h>

#include "onymix.h"

#include <limits.h>
#include <stdint.h>
#include <string.h>

/* The bulk calls have the library fill the table entries of this many names
 * at a time with the GIL released, then make the objects with it held: few
 * enough for the entries to be read back from the cache. */
#define CHUNK 8192
/* The values of pseudonyms are gathered this many at a time. */
#define VALUE_CHUNK 1024

#define LAST_ID "18446744073709551615"

/* Made once at import, or once when first needed, and kept for the life of
 * the process, as the module is never unloaded. The module is initialised
 * in a single phase, so an interpreter that keeps its own objects (one with
 * its own GIL, 3.12 and later) refuses to import it, and the interpreters
 * that do import it share one GIL and these objects, which are immutable. */
static PyObject *name_type;    /* onymix.Name */
static allocfunc name_alloc;   /* its tp_alloc */
static char mode_choices[256]; /* "'Female', ..., or a mode number 0 to 6" */
static PyObject *sex_texts[2]; /* 'female', 'male' */
/* The name table: the text of each entry in ENTRY_ROOM bytes, its length in
 * the last of them (one cache line holds both, and a full name is put
 * together with copies of one fixed size), and its str, made the first time
 * the entry is handed out, so that a name that comes again is the same
 * object and one-part names cost no new string. */
#define ENTRY_ROOM 16
static unsigned char entry_text[ONYMIX_ENTRY_COUNT][ENTRY_ROOM];
static PyObject *entry_object[ONYMIX_ENTRY_COUNT];

static size_t entry_length(int index) {
    return entry_text[index][ENTRY_ROOM - 1];
}

/* ---- arguments ------------------------------------------------------- */

static int is_number(PyObject *value) {
    return PyLong_Check(value) && !PyBool_Check(value);
}

/* The name of value's type, for messages that must not show the value. */
static PyObject *type_name(PyObject *value) {
    return PyType_GetName(Py_TYPE(value));
}

/* A mode from a label in any case or a mode number; NULL gives fallback. */
static int parse_mode(PyObject *value, int fallback, int *mode) {
    if (value == NULL) {
        *mode = fallback;
        return 0;
    }
    if (PyUnicode_Check(value)) {
        Py_ssize_t size = 0;
        const char *text = PyUnicode_AsUTF8AndSize(value, &size);
        if (text == NULL) /* lone surrogates: no label either */
            PyErr_Clear();
        else if ((size_t)size == strlen(text) && (*mode = onymix_mode_from_label(text)) >= 0)
            return 0;
    } else if (is_number(value)) {
        int overflow = 0;
        long number = PyLong_AsLongAndOverflow(value, &overflow);
        if (number == -1 && PyErr_Occurred())
            return -1;
        if (!overflow && number >= 0 && number < ONYMIX_MODE_COUNT) {
            *mode = (int)number;
            return 0;
        }
    } else {
        PyErr_Format(PyExc_TypeError, "mode must be a str or an int, not %R; the modes are %s",
                     value, mode_choices);
        return -1;
    }
    PyErr_Format(PyExc_ValueError, "not a mode: %R; the modes are %s", value, mode_choices);
    return -1;
}

/* A second of the day, or ONYMIX_NOW for None (or nothing given). */
static int parse_second(PyObject *value, long *second) {
    if (value == NULL || value == Py_None) {
        *second = ONYMIX_NOW;
        return 0;
    }
    if (!is_number(value)) {
        PyErr_Format(PyExc_TypeError, "second must be an int from 0 to %ld or None, not %R",
                     ONYMIX_LAST_SECOND, value);
        return -1;
    }
    int overflow = 0;
    long number = PyLong_AsLongAndOverflow(value, &overflow);
    if (number == -1 && PyErr_Occurred())
        return -1;
    if (overflow || number < 0 || number > ONYMIX_LAST_SECOND) {
        PyErr_Format(PyExc_ValueError, "second must be a second of the day, 0 to %ld, not %R",
                     ONYMIX_LAST_SECOND, value);
        return -1;
    }
    *second = number;
    return 0;
}

/* An int from 0 to 2^64 - 1: a seed, a start or an id. what names it in
 * messages; or_none is " or None" where None is allowed too. */
static int parse_u64(PyObject *value, const char *what, const char *or_none,
                     unsigned long long *number) {
    if (!is_number(value)) {
        PyErr_Format(PyExc_TypeError, "%s must be an int from 0 to " LAST_ID "%s, not %R", what,
                     or_none, value);
        return -1;
    }
    *number = PyLong_AsUnsignedLongLong(value);
    if (*number == (unsigned long long)-1 && PyErr_Occurred()) {
        if (!PyErr_ExceptionMatches(PyExc_OverflowError))
            return -1;
        PyErr_Clear();
        PyErr_Format(PyExc_ValueError, "%s must be from 0 to " LAST_ID ", not %R", what, value);
        return -1;
    }
    return 0;
}

/* A seed, or now for None (or nothing given). */
static int parse_seed(PyObject *value, int *now, unsigned long long *seed) {
    *now = value == NULL || value == Py_None;
    *seed = 0;
    return *now ? 0 : parse_u64(value, "seed", " or None", seed);
}

/* The name to start at; a unique generator can only start at the first. */
static int parse_start(PyObject *value, int unique, unsigned long long *start) {
    *start = 0;
    if (value == NULL || parse_u64(value, "start", "", start) < 0)
        return value == NULL ? 0 : -1;
    if (unique && *start != 0) {
        PyErr_Format(PyExc_ValueError,
                     "start must be 0 for unique names, whose sequence leaves names out, not %R",
                     value);
        return -1;
    }
    return 0;
}

static int parse_count(PyObject *value, Py_ssize_t *count) {
    if (!is_number(value)) {
        PyErr_Format(PyExc_TypeError, "count must be an int, not %R", value);
        return -1;
    }
    Py_ssize_t number = PyLong_AsSsize_t(value);
    if (number == -1 && PyErr_Occurred()) {
        if (!PyErr_ExceptionMatches(PyExc_OverflowError))
            return -1;
        PyErr_Clear();
        number = -1;
    }
    if (number < 0) {
        PyErr_Format(PyExc_ValueError, "count must be from 0 to %zd, not %R", PY_SSIZE_T_MAX,
                     value);
        return -1;
    }
    *count = number;
    return 0;
}

/* A key: the 16 bytes of a bytes-like object, copied into key, with *given
 * pointing to them; None (or nothing given) is the zero key, given as NULL.
 * A key may be a secret, so messages show its type and length only. */
static int parse_key(PyObject *value, unsigned char key[ONYMIX_KEY_SIZE],
                     const unsigned char **given) {
    *given = NULL;
    if (value == NULL || value == Py_None)
        return 0;
    if (!PyObject_CheckBuffer(value)) {
        PyObject *type = type_name(value);
        if (type != NULL)
            PyErr_Format(PyExc_TypeError,
                         "key must be %d bytes (a bytes-like object) or None, not %U",
                         ONYMIX_KEY_SIZE, type);
        Py_XDECREF(type);
        return -1;
    }
    Py_buffer view;
    if (PyObject_GetBuffer(value, &view, PyBUF_SIMPLE) < 0)
        return -1;
    int right = view.len == ONYMIX_KEY_SIZE;
    if (right)
        memcpy(key, view.buf, ONYMIX_KEY_SIZE);
    else
        PyErr_Format(PyExc_ValueError, "key must be %d bytes, not %zd", ONYMIX_KEY_SIZE, view.len);
    PyBuffer_Release(&view);
    *given = right ? key : NULL;
    return right ? 0 : -1;
}

static PyObject *library_failed(const char *function) {
    PyErr_Format(PyExc_SystemError, "%s failed on arguments that were checked", function);
    return NULL;
}

/* ---- names from the name table ------------------------------------------ */

/* The str of table entry index, made the first time it is asked for. */
static PyObject *entry_str(int index) {
    PyObject *text = entry_object[index];
    if (text == NULL) {
        text = PyUnicode_FromStringAndSize((const char *)entry_text[index],
                                           (Py_ssize_t)entry_length(index));
        if (text == NULL)
            return NULL;
        entry_object[index] = text;
    }
    return Py_NewRef(text);
}

/* A full name, one new str made from its parts' text in one copy. */
static inline PyObject *full_name(int first_name, int surname) {
    char text[2 * ENTRY_ROOM + 1];
    size_t first_length = entry_length(first_name), surname_length = entry_length(surname);
    memcpy(text, entry_text[first_name], ENTRY_ROOM);
    text[first_length] = ' ';
    memcpy(text + first_length + 1, entry_text[surname], ENTRY_ROOM);
    return PyUnicode_FromStringAndSize(text, (Py_ssize_t)(first_length + 1 + surname_length));
}

/* The name of a pair of entries (first name, surname, -1 for none). */
static PyObject *name_of(const int *pair) {
    if (pair[0] < 0)
        return entry_str(pair[1]);
    if (pair[1] < 0)
        return entry_str(pair[0]);
    return full_name(pair[0], pair[1]);
}

static PyObject *part_of(int entry) {
    return entry < 0 ? Py_NewRef(Py_None) : entry_str(entry);
}

/* An onymix.Name from a pair of entries, made as tuple.__new__ makes an
 * instance of a subclass. */
static PyObject *record_of(const int *pair) {
    PyObject *fields[4] = {NULL, NULL, NULL, NULL};
    fields[1] = part_of(pair[0]);
    fields[2] = part_of(pair[1]);
    /* The table's male first names come before the female ones. */
    fields[3] = Py_NewRef(pair[0] < 0 ? Py_None : sex_texts[pair[0] < ONYMIX_FIRST_FEMALE_ENTRY]);
    if (fields[1] != NULL && fields[2] != NULL)
        fields[0] = pair[0] < 0   ? Py_NewRef(fields[2])
                    : pair[1] < 0 ? Py_NewRef(fields[1])
                                  : full_name(pair[0], pair[1]);
    PyObject *record = fields[0] != NULL ? name_alloc((PyTypeObject *)name_type, 4) : NULL;
    /* Only str and None in it: it can be in no cycle, and a million records
     * in the collector's lists would make every collection slow. Untracked
     * before its slots are filled, it is never seen with one empty. */
    if (record != NULL)
        PyObject_GC_UnTrack(record);
    for (int i = 0; i < 4; i++) {
        if (record != NULL && PyTuple_SetItem(record, i, fields[i]) < 0)
            Py_CLEAR(record); /* which took fields[i] with it */
        else if (record == NULL)
            Py_XDECREF(fields[i]);
    }
    return record;
}

/* The names fall anywhere in the table, so what a name is made of is asked
 * for this many names ahead, to be in the cache when it is used. In the
 * loops themselves, as GCC takes a function that only prefetches for one
 * without effects and drops its calls. */
#define AHEAD 16
#if defined(__GNUC__)
#define PREFETCH(address, write) __builtin_prefetch(address, write)
#else
#define PREFETCH(address, write) ((void)(address))
#endif

/* Sets items at to at + count - 1 of list to the names (or records) of count
 * pairs of entries, which are all of one shape in one call. With owed, the
 * references of one-part names are counted there, by entry, not in their
 * objects: see make_names. */
static int put_names(PyObject *list, Py_ssize_t at, const int *entries, int count, int records,
                     uint32_t *owed) {
    /* With the list's room checked, PyList_SetItem cannot fail below; were
     * it to, it would drop a reference that owed had not yet added. */
    if (at < 0 || count < 0 || PyList_Size(list) - at < count) {
        PyErr_SetString(PyExc_SystemError, "a list of names has no room for them");
        return -1;
    }
    if (count > 0 && entries[0] >= 0 && entries[1] >= 0 && !records) {
        /* Full names, made anew from their parts' text. */
        for (int i = 0; i < count; i++) {
            if (i + AHEAD < count) {
                PREFETCH(entry_text[entries[2 * (i + AHEAD)]], 0);
                PREFETCH(entry_text[entries[2 * (i + AHEAD) + 1]], 0);
            }
            PyObject *item = full_name(entries[2 * i], entries[2 * i + 1]);
            if (item == NULL || PyList_SetItem(list, at + i, item) < 0)
                return -1;
        }
        return 0;
    }
    if (owed != NULL) {
        for (int i = 0; i < count; i++) {
            int entry = entries[2 * i] < 0 ? entries[2 * i + 1] : entries[2 * i];
            if (i + AHEAD < count) {
                const int *ahead = entries + 2 * (i + AHEAD);
                int later = ahead[0] < 0 ? ahead[1] : ahead[0];
                PREFETCH(&entry_object[later], 0);
                PREFETCH(&owed[later], 1);
            }
            PyObject *text = entry_object[entry];
            if (text == NULL) { /* made now, the reference the table keeps */
                if ((text = entry_str(entry)) == NULL)
                    return -1;
                Py_DECREF(text);
            }
            /* Counted in owed the moment it is put in the list. */
            owed[entry]++;
            if (PyList_SetItem(list, at + i, text) < 0)
                return -1;
        }
        return 0;
    }
    /* The parts' objects, whose reference counts are written, found in
     * entry_object, which is asked for further ahead still; entry 0 stands in
     * for a part there is none of. */
    for (int i = 0; i < count; i++) {
        if (i + 2 * AHEAD < count) {
            int first_name = entries[2 * (i + 2 * AHEAD)];
            int surname = entries[2 * (i + 2 * AHEAD) + 1];
            PREFETCH(&entry_object[first_name < 0 ? 0 : first_name], 0);
            PREFETCH(&entry_object[surname < 0 ? 0 : surname], 0);
        }
        if (i + AHEAD < count) {
            int first_name = entries[2 * (i + AHEAD)], surname = entries[2 * (i + AHEAD) + 1];
            PREFETCH(entry_object[first_name < 0 ? 0 : first_name], 1);
            PREFETCH(entry_object[surname < 0 ? 0 : surname], 1);
        }
        PyObject *item = records ? record_of(entries + 2 * i) : name_of(entries + 2 * i);
        if (item == NULL || PyList_SetItem(list, at + i, item) < 0)
            return -1;
    }
    return 0;
}

/* ---- the bulk path ---------------------------------------------------- */

/* Calls of at least this many one-part names count the references of their
 * names by entry and add them to the objects at the end. */
#define OWED_MIN 65536

/* Adds the references a call owes to the table's objects to their counts,
 * one Py_INCREF a reference, as the object's own header says to count them
 * (an immortal object of 3.12 and later stays correct under it). The loop
 * of one object runs in its cache line. */
static void pay_owed(uint32_t *owed) {
    for (int i = 0; i < ONYMIX_ENTRY_COUNT; i++) {
        for (uint32_t n = owed[i]; n > 0; n--)
            Py_INCREF(entry_object[i]);
        owed[i] = 0;
    }
}

/* Where a bulk call's names come from: fill puts the entries of count names,
 * from name number done of the call on, into entries and returns how many
 * it put; it runs without the GIL. */
typedef struct names_source {
    int (*fill)(const struct names_source *source, Py_ssize_t done, int count, int *entries);
    const char *function; /* the library's call, for errors */
    onymix_generator *generator;
    int mode;
    const unsigned char *key;
    unsigned long long first;      /* the first of a run of ids, */
    const unsigned long long *ids; /* or the ids */
} names_source;

static int fill_from_generator(const names_source *source, Py_ssize_t done, int count,
                               int *entries) {
    (void)done;
    return onymix_next_entries(source->generator, entries, count);
}

static int fill_from_ids(const names_source *source, Py_ssize_t done, int count, int *entries) {
    return onymix_entries_for_ids(
        source->mode, source->key, source->first + (unsigned long long)done,
        source->ids != NULL ? source->ids + done : NULL, (size_t)count, entries);
}

/* A list that no other code can reach until it is handed to
 * PyObject_GC_Track: it is made with count empty slots, which other code
 * must never see, and a signal handler, a finalizer or the collector run by
 * an allocation, or another thread while the GIL is let go, could find it
 * through the collector (gc.get_objects()) if it were tracked. Nothing
 * else refers to it. */
static PyObject *hidden_list(Py_ssize_t count) {
    PyObject *list = PyList_New(count);
    if (list != NULL)
        PyObject_GC_UnTrack(list);
    return list;
}

/* A list of count names (or records) from source; shorter only when a
 * unique generator runs out.
 *
 * A million one-part names fall on each of a mode's objects many times, and
 * the objects are megabytes apart: writing each one's reference count once
 * a call, not once a name, keeps them out of the cache. Until then the list
 * holds references not yet counted, which is sound only because the list is
 * hidden until they are (hidden_list), and the table's own reference keeps
 * every object alive. */
static PyObject *make_names(const names_source *source, Py_ssize_t count, int records) {
    PyObject *list = hidden_list(count);
    int *entries = PyMem_Malloc(2 * CHUNK * sizeof *entries);
    uint32_t *owed = NULL;
    Py_ssize_t made = 0;
    if (entries == NULL)
        PyErr_NoMemory();
    if (list == NULL || entries == NULL)
        goto fail;
    while (made < count) {
        int wanted = count - made > CHUNK ? CHUNK : (int)(count - made);
        int filled;
        Py_BEGIN_ALLOW_THREADS
        filled = source->fill(source, made, wanted, entries);
        Py_END_ALLOW_THREADS
        if (filled < 0) {
            library_failed(source->function);
            goto fail;
        }
        if (filled == 0)
            break;
        if (made == 0 && !records && count >= OWED_MIN && count <= UINT32_MAX &&
            (entries[0] < 0 || entries[1] < 0))
            owed = PyMem_Calloc(ONYMIX_ENTRY_COUNT, sizeof *owed); /* NULL: counted now */
        if (put_names(list, made, entries, filled, records, owed) < 0)
            goto fail;
        made += filled;
        /* Signal handlers run while the list is hidden, the last time just
         * before it is shown, so that none is pending when it comes back. */
        if (PyErr_CheckSignals() < 0)
            goto fail;
    }
    if (owed != NULL)
        pay_owed(owed);
    if (made < count && PyList_SetSlice(list, made, count, NULL) < 0)
        goto fail;
    PyObject_GC_Track(list); /* whole, and every reference in it counted */
    goto done;
fail:
    if (owed != NULL)
        pay_owed(owed);
    Py_CLEAR(list);
done:
    PyMem_Free(owed);
    PyMem_Free(entries);
    return list;
}

/* A generator at name start of its sequence, seeded from seed or now. */
static onymix_generator *open_generator(int mode, int now, unsigned long long seed, int unique,
                                        unsigned long long start) {
    unsigned flags = unique ? ONYMIX_UNIQUE : 0;
    onymix_generator *g =
        now ? onymix_open(mode, ONYMIX_NOW, flags) : onymix_open_seed(mode, seed, flags);
    if (g == NULL) {
        PyErr_NoMemory();
        return NULL;
    }
    if (start != 0 && onymix_seek(g, start) < 0) {
        onymix_close(g);
        library_failed("onymix_seek");
        return NULL;
    }
    return g;
}

/* ---- ids --------------------------------------------------------------- */

/* The ids of names_for_ids: a run of count ids from first (ids NULL), or
 * count ids at ids, in the caller's buffer (view) or in one of ours (own). */
typedef struct {
    unsigned long long first;
    const unsigned long long *ids;
    Py_ssize_t count;
    Py_buffer view;
    unsigned long long *own;
} id_list;

static void release_ids(id_list *list) {
    if (list->view.obj != NULL)
        PyBuffer_Release(&list->view);
    PyMem_Free(list->own);
}

/* A range of step 1, taken as a run of ids without going through it. */
static int ids_from_run(PyObject *range, id_list *list) {
    PyObject *start = PyObject_GetAttrString(range, "start");
    PyObject *stop = start != NULL ? PyObject_GetAttrString(range, "stop") : NULL;
    PyObject *one = PyLong_FromLong(1);
    PyObject *last = stop != NULL && one != NULL ? PyNumber_Subtract(stop, one) : NULL;
    int empty = last != NULL ? PyObject_RichCompareBool(start, stop, Py_GE) : -1;
    unsigned long long last_id = 0;
    int result = empty < 0 ? -1 : 0;
    if (empty == 0 && (parse_u64(start, "every id", "", &list->first) < 0 ||
                       parse_u64(last, "every id", "", &last_id) < 0))
        result = -1;
    /* The ids are all in the run, so its length is at most 2^64 and can be
     * too long for a list only. */
    if (empty == 0 && result == 0 && (list->count = PyObject_Size(range)) < 0)
        result = -1;
    Py_XDECREF(start);
    Py_XDECREF(stop);
    Py_XDECREF(one);
    Py_XDECREF(last);
    return result;
}

/* A one-dimensional buffer of 64-bit ints, read in place when it is a plain
 * array of unsigned ones, or copied. */
static int ids_from_buffer(PyObject *value, id_list *list) {
    if (PyObject_GetBuffer(value, &list->view, PyBUF_RECORDS_RO) < 0)
        return -1;
    const Py_buffer *view = &list->view;
    const char *format = view->format != NULL ? view->format : "B", *code = format;
    if (*code == '@' || *code == '=' || *code == (PY_LITTLE_ENDIAN ? '<' : '>') ||
        (!PY_LITTLE_ENDIAN && *code == '!'))
        code++;
    if (view->itemsize != 8 || code[0] == '\0' || code[1] != '\0' || !strchr("QqLl", code[0])) {
        PyErr_Format(PyExc_TypeError,
                     "a buffer of ids must hold 64-bit ints (format 'Q', 'q', 'L' or 'l' of 8 "
                     "bytes), not format '%s' of %zd bytes",
                     format, view->itemsize);
        return -1;
    }
    if (view->ndim != 1) {
        PyErr_Format(PyExc_ValueError,
                     "a buffer of ids must be one-dimensional, not %d-dimensional", view->ndim);
        return -1;
    }
    const char *items = view->buf;
    Py_ssize_t stride = view->strides[0];
    list->count = view->shape[0];
    if (code[0] == 'q' || code[0] == 'l')
        for (Py_ssize_t i = 0; i < list->count; i++) {
            long long id;
            memcpy(&id, items + i * stride, sizeof id);
            if (id < 0) {
                PyErr_Format(PyExc_ValueError, "every id must be from 0 to " LAST_ID ", not %lld",
                             id);
                return -1;
            }
        }
    if (stride == 8 && (uintptr_t)items % _Alignof(unsigned long long) == 0) {
        list->ids = (const unsigned long long *)(const void *)items;
        return 0;
    }
    list->own = PyMem_Malloc(list->count > 0 ? (size_t)list->count * 8 : 1);
    if (list->own == NULL) {
        PyErr_NoMemory();
        return -1;
    }
    for (Py_ssize_t i = 0; i < list->count; i++)
        memcpy(&list->own[i], items + i * stride, 8);
    list->ids = list->own;
    return 0;
}

static int ids_from_iterable(PyObject *value, id_list *list) {
    PyObject *iterator = PyObject_GetIter(value);
    if (iterator == NULL) {
        PyObject *type = PyErr_ExceptionMatches(PyExc_TypeError) ? type_name(value) : NULL;
        if (type != NULL) {
            PyErr_Clear();
            PyErr_Format(PyExc_TypeError,
                         "ids must be a range, an iterable of ints or a buffer of 64-bit ints, "
                         "not %U",
                         type);
            Py_DECREF(type);
        }
        return -1;
    }
    Py_ssize_t room = 0;
    PyObject *item;
    while ((item = PyIter_Next(iterator)) != NULL) {
        unsigned long long id = 0;
        int bad = parse_u64(item, "every id", "", &id);
        Py_DECREF(item);
        if (bad < 0)
            break;
        if (list->count == room) {
            room = room < 1024 ? 1024 : room * 2;
            unsigned long long *grown = PyMem_Realloc(list->own, (size_t)room * sizeof id);
            if (grown == NULL) {
                PyErr_NoMemory();
                break;
            }
            list->own = grown;
        }
        list->own[list->count++] = id;
    }
    Py_DECREF(iterator);
    list->ids = list->own;
    return PyErr_Occurred() ? -1 : 0;
}

static int parse_ids(PyObject *value, id_list *list) {
    memset(list, 0, sizeof *list);
    if (PyObject_TypeCheck(value, &PyRange_Type)) {
        PyObject *step = PyObject_GetAttrString(value, "step");
        PyObject *one = PyLong_FromLong(1);
        int run = step != NULL && one != NULL ? PyObject_RichCompareBool(step, one, Py_EQ) : -1;
        Py_XDECREF(step);
        Py_XDECREF(one);
        if (run != 0)
            return run < 0 ? -1 : ids_from_run(value, list);
    }
    if (PyObject_CheckBuffer(value))
        return ids_from_buffer(value, list);
    return ids_from_iterable(value, list);
}

/* ---- values of pseudonyms ------------------------------------------------ */

/* The bytes of a value: a str's UTF-8, or a bytes-like object's bytes, held
 * by view (view->obj is NULL for a str, which the caller keeps). */
static int value_bytes(PyObject *value, const void **bytes, size_t *length, Py_buffer *view) {
    view->obj = NULL;
    if (PyUnicode_Check(value)) {
        Py_ssize_t size = 0;
        const char *text = PyUnicode_AsUTF8AndSize(value, &size);
        if (text == NULL)
            return -1;
        *bytes = text;
        *length = (size_t)size;
        return 0;
    }
    if (!PyObject_CheckBuffer(value)) {
        PyObject *type = type_name(value);
        if (type != NULL)
            PyErr_Format(PyExc_TypeError, "a value must be a str or a bytes-like object, not %U",
                         type);
        Py_XDECREF(type);
        return -1;
    }
    if (PyObject_GetBuffer(value, view, PyBUF_SIMPLE) < 0) {
        view->obj = NULL;
        return -1;
    }
    *bytes = view->buf;
    *length = (size_t)view->len;
    return 0;
}

/* Values gathered for one call of the library, and what holds their bytes. */
typedef struct {
    PyObject *items[VALUE_CHUNK];
    Py_buffer views[VALUE_CHUNK];
    const void *bytes[VALUE_CHUNK];
    size_t lengths[VALUE_CHUNK];
    int entries[2 * VALUE_CHUNK];
} value_chunk;

static void release_values(value_chunk *chunk, int count) {
    for (int i = 0; i < count; i++) {
        if (chunk->views[i].obj != NULL)
            PyBuffer_Release(&chunk->views[i]);
        Py_DECREF(chunk->items[i]);
    }
}

/* Gathers the next values of iterator into chunk, at most VALUE_CHUNK;
 * returns how many, or -1 (having let go of them). */
static int gather_values(PyObject *iterator, value_chunk *chunk) {
    int count = 0;
    PyObject *item;
    while (count < VALUE_CHUNK && (item = PyIter_Next(iterator)) != NULL) {
        chunk->items[count] = item;
        if (value_bytes(item, &chunk->bytes[count], &chunk->lengths[count], &chunk->views[count]) <
            0) {
            release_values(chunk, count + 1);
            return -1;
        }
        count++;
    }
    if (PyErr_Occurred()) {
        release_values(chunk, count);
        return -1;
    }
    return count;
}

/* ---- onymix.Generator ------------------------------------------------- */

typedef struct {
    PyObject_HEAD
    onymix_generator *generator;
    /* onymix.h allows one thread at a time on a generator; the bulk calls
     * run without the GIL, so the object keeps its own lock. */
    PyThread_type_lock lock;
    /* The thread holding the lock, 0 for none; read and written only with
     * the GIL held. */
    unsigned long owner;
    PyObject *mode, *seed, *start; /* start: NULL for 0 */
    int unique;
} GeneratorObject;

/* Waits for the lock without the GIL, so that the thread holding it can
 * take the GIL back and finish. The thread that holds it already can come
 * back only through code run while it draws (a finalizer the collector
 * calls, a signal handler), and would wait for itself: it gets an error. */
static int lock_generator(GeneratorObject *self) {
    if (!PyThread_acquire_lock(self->lock, NOWAIT_LOCK)) {
        if (self->owner == PyThread_get_thread_ident()) {
            PyErr_SetString(PyExc_RuntimeError, "this Generator is already drawing in this thread");
            return -1;
        }
        Py_BEGIN_ALLOW_THREADS
        PyThread_acquire_lock(self->lock, WAIT_LOCK);
        Py_END_ALLOW_THREADS
    }
    self->owner = PyThread_get_thread_ident();
    return 0;
}

static void unlock_generator(GeneratorObject *self) {
    self->owner = 0;
    PyThread_release_lock(self->lock);
}

static PyObject *generator_new(PyTypeObject *type, PyObject *args, PyObject *kwargs) {
    static char *keywords[] = {"mode", "seed", "unique", "start", NULL};
    PyObject *mode_arg = NULL, *seed_arg = NULL, *start_arg = NULL;
    int unique = 0, mode = 0, now = 0;
    unsigned long long seed = 0, start = 0;
    if (!PyArg_ParseTupleAndKeywords(args, kwargs, "|OOpO:Generator", keywords, &mode_arg,
                                     &seed_arg, &unique, &start_arg) ||
        parse_mode(mode_arg, ONYMIX_MALE_SURNAME, &mode) < 0 ||
        parse_seed(seed_arg, &now, &seed) < 0 || parse_start(start_arg, unique, &start) < 0)
        return NULL;
    allocfunc alloc = (allocfunc)PyType_GetSlot(type, Py_tp_alloc);
    GeneratorObject *self = (GeneratorObject *)alloc(type, 0);
    if (self == NULL)
        return NULL;
    self->mode = PyUnicode_FromString(onymix_mode_label(mode));
    /* Plain ints for repr, not the arguments, which may be of a subclass of
     * int that refers back to this object. */
    self->seed = now ? Py_NewRef(Py_None) : PyLong_FromUnsignedLongLong(seed);
    self->start = start != 0 ? PyLong_FromUnsignedLongLong(start) : NULL;
    self->unique = unique;
    self->lock = PyThread_allocate_lock();
    if (self->mode == NULL || self->seed == NULL || (start != 0 && self->start == NULL) ||
        self->lock == NULL ||
        (self->generator = open_generator(mode, now, seed, unique, start)) == NULL) {
        Py_DECREF(self);
        return PyErr_Occurred() ? NULL : PyErr_NoMemory();
    }
    return (PyObject *)self;
}

static void generator_dealloc(GeneratorObject *self) {
    PyTypeObject *type = Py_TYPE((PyObject *)self);
    onymix_close(self->generator);
    if (self->lock != NULL)
        PyThread_free_lock(self->lock);
    Py_XDECREF(self->mode);
    Py_XDECREF(self->seed);
    Py_XDECREF(self->start);
    freefunc free_slot = (freefunc)PyType_GetSlot(type, Py_tp_free);
    free_slot(self);
    Py_DECREF(type);
}

static PyObject *generator_next(GeneratorObject *self) {
    int pair[2];
    if (lock_generator(self) < 0)
        return NULL;
    int drawn = onymix_next_entries(self->generator, pair, 1);
    unlock_generator(self);
    if (drawn < 0)
        return library_failed("onymix_next_entries");
    if (drawn == 0) /* a unique generator has made every name */
        return NULL;
    return name_of(pair);
}

static PyObject *generator_draw(GeneratorObject *self, PyObject *count_arg, int records) {
    Py_ssize_t count = 0;
    if (parse_count(count_arg, &count) < 0 || lock_generator(self) < 0)
        return NULL;
    names_source source = {.fill = fill_from_generator,
                           .function = "onymix_next_entries",
                           .generator = self->generator};
    PyObject *list = make_names(&source, count, records);
    unlock_generator(self);
    return list;
}

static PyObject *generator_take(GeneratorObject *self, PyObject *count) {
    return generator_draw(self, count, 0);
}

static PyObject *generator_records(GeneratorObject *self, PyObject *count) {
    return generator_draw(self, count, 1);
}

static PyObject *generator_repr(GeneratorObject *self) {
    if (self->start == NULL)
        return PyUnicode_FromFormat("onymix.Generator(mode=%R, seed=%R, unique=%s)", self->mode,
                                    self->seed, self->unique ? "True" : "False");
    return PyUnicode_FromFormat("onymix.Generator(mode=%R, seed=%R, unique=%s, start=%R)",
                                self->mode, self->seed, self->unique ? "True" : "False",
                                self->start);
}

static PyMethodDef generator_methods[] = {
    {"take", (PyCFunction)(void (*)(void))generator_take, METH_O,
     "take($self, count, /)\n--\n\n"
     "The next count names as a list of str, drawn in one bulk call. A unique\n"
     "generator gives fewer when it runs out of names (none once it has made\n"
     "every name of its mode)."},
    {"records", (PyCFunction)(void (*)(void))generator_records, METH_O,
     "records($self, count, /)\n--\n\n"
     "The next count names as a list of onymix.Name records, the same names\n"
     "take(count) would give. A unique generator gives fewer when it runs out."},
    {NULL, NULL, 0, NULL}};

static PyType_Slot generator_slots[] = {
    {Py_tp_doc, "Generator(mode='Male + Surname', seed=None, unique=False, start=0)\n--\n\n"
                "Names of one mode drawn on from one seeding, as onymix-cli --count gives\n"
                "them: seeded from seed, an int from 0 to 2**64 - 1 (0 to 86399 are the\n"
                "seconds of the program), or from the seconds of system uptime for None.\n"
                "start=k begins at name k of the sequence, at once however large k is.\n"
                "With unique, no name comes twice (start must then be 0), and iteration\n"
                "ends once every name of the mode has been made.\n\n"
                "An iterator of str, with take() and records() for many names at once.\n"
                "It may be shared between threads: each call draws alone."},
    {Py_tp_new, generator_new},
    {Py_tp_dealloc, generator_dealloc},
    {Py_tp_iter, PyObject_SelfIter},
    {Py_tp_iternext, generator_next},
    {Py_tp_methods, generator_methods},
    {Py_tp_repr, generator_repr},
    {0, NULL}};

static PyType_Spec generator_spec = {"onymix.Generator", sizeof(GeneratorObject), 0,
                                     Py_TPFLAGS_DEFAULT, generator_slots};

/* ---- module functions ------------------------------------------------- */

static PyObject *py_generate(PyObject *module, PyObject *args, PyObject *kwargs) {
    (void)module;
    static char *keywords[] = {"mode", "second", NULL};
    PyObject *mode_arg = NULL, *second_arg = NULL;
    int mode = 0;
    long second = 0;
    if (!PyArg_ParseTupleAndKeywords(args, kwargs, "|OO:generate", keywords, &mode_arg,
                                     &second_arg) ||
        parse_mode(mode_arg, ONYMIX_MALE_SURNAME, &mode) < 0 ||
        parse_second(second_arg, &second) < 0)
        return NULL;
    char name[ONYMIX_LINE_MAX];
    int length = onymix_generate(mode, second, name, sizeof name);
    if (length < 0)
        return library_failed("onymix_generate");
    return PyUnicode_FromStringAndSize(name, length);
}

static PyObject *py_names(PyObject *module, PyObject *args, PyObject *kwargs) {
    (void)module;
    static char *keywords[] = {"count", "mode", "seed", "unique", "start", NULL};
    PyObject *count_arg = NULL, *mode_arg = NULL, *seed_arg = NULL, *start_arg = NULL;
    int unique = 0, mode = 0, now = 0;
    unsigned long long seed = 0, start = 0;
    Py_ssize_t count = 0;
    if (!PyArg_ParseTupleAndKeywords(args, kwargs, "O|OOpO:names", keywords, &count_arg, &mode_arg,
                                     &seed_arg, &unique, &start_arg) ||
        parse_count(count_arg, &count) < 0 ||
        parse_mode(mode_arg, ONYMIX_MALE_SURNAME, &mode) < 0 ||
        parse_seed(seed_arg, &now, &seed) < 0 || parse_start(start_arg, unique, &start) < 0)
        return NULL;
    onymix_generator *g = open_generator(mode, now, seed, unique, start);
    if (g == NULL)
        return NULL;
    long left = onymix_left(g);
    if (left >= 0 && count > left) {
        onymix_close(g);
        PyErr_Format(PyExc_ValueError,
                     "count %zd is more than the %ld different names of mode '%s'", count, left,
                     onymix_mode_label(mode));
        return NULL;
    }
    names_source source = {
        .fill = fill_from_generator, .function = "onymix_next_entries", .generator = g};
    PyObject *list = make_names(&source, count, 0);
    onymix_close(g);
    return list;
}

static PyObject *py_name_for_id(PyObject *module, PyObject *args, PyObject *kwargs) {
    (void)module;
    static char *keywords[] = {"id", "mode", "key", NULL};
    PyObject *id_arg = NULL, *mode_arg = NULL, *key_arg = NULL;
    int mode = 0, pair[2];
    unsigned long long id = 0;
    unsigned char key_bytes[ONYMIX_KEY_SIZE];
    const unsigned char *key = NULL;
    if (!PyArg_ParseTupleAndKeywords(args, kwargs, "O|OO:name_for_id", keywords, &id_arg, &mode_arg,
                                     &key_arg) ||
        parse_u64(id_arg, "id", "", &id) < 0 ||
        parse_mode(mode_arg, ONYMIX_ANY_SURNAME, &mode) < 0 ||
        parse_key(key_arg, key_bytes, &key) < 0)
        return NULL;
    if (onymix_entries_for_ids(mode, key, id, NULL, 1, pair) != 1)
        return library_failed("onymix_entries_for_ids");
    return name_of(pair);
}

static PyObject *py_names_for_ids(PyObject *module, PyObject *args, PyObject *kwargs) {
    (void)module;
    static char *keywords[] = {"ids", "mode", "key", NULL};
    PyObject *ids_arg = NULL, *mode_arg = NULL, *key_arg = NULL;
    int mode = 0;
    unsigned char key_bytes[ONYMIX_KEY_SIZE];
    const unsigned char *key = NULL;
    if (!PyArg_ParseTupleAndKeywords(args, kwargs, "O|OO:names_for_ids", keywords, &ids_arg,
                                     &mode_arg, &key_arg) ||
        parse_mode(mode_arg, ONYMIX_ANY_SURNAME, &mode) < 0 ||
        parse_key(key_arg, key_bytes, &key) < 0)
        return NULL;
    id_list ids;
    PyObject *list = NULL;
    if (parse_ids(ids_arg, &ids) == 0) {
        names_source source = {.fill = fill_from_ids,
                               .function = "onymix_entries_for_ids",
                               .mode = mode,
                               .key = key,
                               .first = ids.first,
                               .ids = ids.ids};
        list = make_names(&source, ids.count, 0);
    }
    release_ids(&ids);
    return list;
}

static PyObject *py_pseudonym(PyObject *module, PyObject *args, PyObject *kwargs) {
    (void)module;
    static char *keywords[] = {"value", "mode", "key", NULL};
    PyObject *value = NULL, *mode_arg = NULL, *key_arg = NULL;
    int mode = 0, pair[2];
    unsigned char key_bytes[ONYMIX_KEY_SIZE];
    const unsigned char *key = NULL;
    const void *bytes = NULL;
    size_t length = 0;
    Py_buffer view;
    if (!PyArg_ParseTupleAndKeywords(args, kwargs, "O|OO:pseudonym", keywords, &value, &mode_arg,
                                     &key_arg) ||
        parse_mode(mode_arg, ONYMIX_ANY_SURNAME, &mode) < 0 ||
        parse_key(key_arg, key_bytes, &key) < 0 || value_bytes(value, &bytes, &length, &view) < 0)
        return NULL;
    int made = onymix_entries_for_pseudonyms(mode, key, &bytes, &length, 1, pair);
    if (view.obj != NULL)
        PyBuffer_Release(&view);
    if (made != 1)
        return library_failed("onymix_entries_for_pseudonyms");
    return name_of(pair);
}

static PyObject *py_pseudonyms(PyObject *module, PyObject *args, PyObject *kwargs) {
    (void)module;
    static char *keywords[] = {"values", "mode", "key", NULL};
    PyObject *values = NULL, *mode_arg = NULL, *key_arg = NULL;
    int mode = 0;
    unsigned char key_bytes[ONYMIX_KEY_SIZE];
    const unsigned char *key = NULL;
    if (!PyArg_ParseTupleAndKeywords(args, kwargs, "O|OO:pseudonyms", keywords, &values, &mode_arg,
                                     &key_arg) ||
        parse_mode(mode_arg, ONYMIX_ANY_SURNAME, &mode) < 0 ||
        parse_key(key_arg, key_bytes, &key) < 0)
        return NULL;
    /* One str or bytes would be taken apart into characters or numbers.
     * Values may be personal data, so messages show their type only. */
    if (PyUnicode_Check(values) || PyObject_CheckBuffer(values)) {
        PyObject *type = type_name(values);
        if (type != NULL)
            PyErr_Format(PyExc_TypeError,
                         "values must be an iterable of str or bytes-like values, not one %U; "
                         "pseudonym() takes one",
                         type);
        Py_XDECREF(type);
        return NULL;
    }
    PyObject *iterator = PyObject_GetIter(values);
    /* Hidden while it grows, so that code the iterator runs cannot cut it
     * between the parts it is made of. */
    PyObject *list = iterator != NULL ? hidden_list(0) : NULL;
    value_chunk *chunk = list != NULL ? PyMem_Malloc(sizeof *chunk) : NULL;
    if (list != NULL && chunk == NULL)
        PyErr_NoMemory();
    if (chunk == NULL)
        goto fail;
    for (;;) {
        int count = gather_values(iterator, chunk), made;
        if (count <= 0) {
            if (count < 0)
                goto fail;
            break;
        }
        Py_BEGIN_ALLOW_THREADS
        made = onymix_entries_for_pseudonyms(mode, key, chunk->bytes, chunk->lengths, (size_t)count,
                                             chunk->entries);
        Py_END_ALLOW_THREADS
        release_values(chunk, count);
        if (made != count) {
            library_failed("onymix_entries_for_pseudonyms");
            goto fail;
        }
        Py_ssize_t at = PyList_Size(list);
        PyObject *part = hidden_list(count);
        int failed = part == NULL || put_names(part, 0, chunk->entries, count, 0, NULL) < 0 ||
                     PyList_SetSlice(list, at, at, part) < 0;
        Py_XDECREF(part);
        if (failed || PyErr_CheckSignals() < 0)
            goto fail;
    }
    PyObject_GC_Track(list);
    goto done;
fail:
    Py_CLEAR(list);
done:
    PyMem_Free(chunk);
    Py_XDECREF(iterator);
    return list;
}

static PyMethodDef module_methods[] = {
    {"generate", (PyCFunction)(void (*)(void))py_generate, METH_VARARGS | METH_KEYWORDS,
     "generate($module, /, mode='Male + Surname', second=None)\n--\n\n"
     "The name one press of Generate in the Onymix program shows at whole second\n"
     "second of system uptime (0 to 86399), or now for None."},
    {"names", (PyCFunction)(void (*)(void))py_names, METH_VARARGS | METH_KEYWORDS,
     "names($module, /, count, mode='Male + Surname', seed=None, unique=False, start=0)\n--\n\n"
     "The count names that onymix-cli --count count --mode mode --seed seed\n"
     "[--unique] prints, as a list of str: names start to start + count - 1 of\n"
     "the sequence of seed (0 to 2**64 - 1; None seeds from the seconds of\n"
     "uptime). With unique, a count above the mode's number of different names\n"
     "raises ValueError before anything is drawn, and start must be 0."},
    {"name_for_id", (PyCFunction)(void (*)(void))py_name_for_id, METH_VARARGS | METH_KEYWORDS,
     "name_for_id($module, /, id, mode='Any + Surname', key=None)\n--\n\n"
     "The name of id (0 to 2**64 - 1) under key (16 bytes, or None for 16 zero\n"
     "bytes): always the same, and different for different ids within each block\n"
     "of as many consecutive ids as the mode has names."},
    {"names_for_ids", (PyCFunction)(void (*)(void))py_names_for_ids, METH_VARARGS | METH_KEYWORDS,
     "names_for_ids($module, /, ids, mode='Any + Surname', key=None)\n--\n\n"
     "The names of ids as name_for_id gives them, as a list of str. ids is a\n"
     "range (one of step 1 is not gone through), an iterable of ints or a buffer\n"
     "of 64-bit ints, such as array.array('Q') or a numpy array of uint64."},
    {"pseudonym", (PyCFunction)(void (*)(void))py_pseudonym, METH_VARARGS | METH_KEYWORDS,
     "pseudonym($module, /, value, mode='Any + Surname', key=None)\n--\n\n"
     "The name that value (a str, taken as UTF-8, or bytes-like) stands for\n"
     "under key (16 bytes, or None for 16 zero bytes): the same value always\n"
     "gives the same name; different values may share one."},
    {"pseudonyms", (PyCFunction)(void (*)(void))py_pseudonyms, METH_VARARGS | METH_KEYWORDS,
     "pseudonyms($module, /, values, mode='Any + Surname', key=None)\n--\n\n"
     "The pseudonyms of an iterable of values, as a list of str."},
    {NULL, NULL, 0, NULL}};

static struct PyModuleDef module_def = {
    PyModuleDef_HEAD_INIT,
    "onymix._onymix",
    "The binding of libonymix; use it through the onymix package.",
    -1,
    module_methods,
    NULL,
    NULL,
    NULL,
    NULL};

/* ---- import ----------------------------------------------------------- */

static const char *const name_fields[][2] = {
    {"name", "The whole name, as text output gives it."},
    {"first_name", "The first name, or None in the Surname mode."},
    {"surname", "The surname, or None in the first-name modes."},
    {"sex", "'female' or 'male', the list the first name came from; None without one."}};

static PyObject *make_name_type(void) {
    PyObject *collections = PyImport_ImportModule("collections");
    PyObject *namedtuple = collections ? PyObject_GetAttrString(collections, "namedtuple") : NULL;
    PyObject *args = Py_BuildValue("s(ssss)", "Name", name_fields[0][0], name_fields[1][0],
                                   name_fields[2][0], name_fields[3][0]);
    PyObject *kwargs = Py_BuildValue("{ss}", "module", "onymix");
    PyObject *type = namedtuple && args && kwargs ? PyObject_Call(namedtuple, args, kwargs) : NULL;
    Py_XDECREF(collections);
    Py_XDECREF(namedtuple);
    Py_XDECREF(args);
    Py_XDECREF(kwargs);
    if (type == NULL)
        return NULL;
    for (int i = -1; i < 4; i++) {
        PyObject *target =
            i < 0 ? Py_NewRef(type) : PyObject_GetAttrString(type, name_fields[i][0]);
        PyObject *doc =
            PyUnicode_FromString(i < 0 ? "Name(name, first_name, surname, sex)\n\n"
                                         "A name in parts, as Generator.records() gives it."
                                       : name_fields[i][1]);
        int failed =
            target == NULL || doc == NULL || PyObject_SetAttrString(target, "__doc__", doc) < 0;
        Py_XDECREF(target);
        Py_XDECREF(doc);
        if (failed) {
            Py_DECREF(type);
            return NULL;
        }
    }
    return type;
}

/* The labels, gathered in a list (never a tuple with empty slots). */
static PyObject *make_modes(void) {
    PyObject *labels = PyList_New(0);
    size_t used = 0;
    for (int mode = 0; labels != NULL && mode < ONYMIX_MODE_COUNT; mode++) {
        const char *label = onymix_mode_label(mode);
        PyObject *text = PyUnicode_FromString(label);
        if (text == NULL || PyList_Append(labels, text) < 0)
            Py_CLEAR(labels);
        Py_XDECREF(text);
        used +=
            (size_t)PyOS_snprintf(mode_choices + used, sizeof mode_choices - used, "'%s', ", label);
    }
    PyOS_snprintf(mode_choices + used, sizeof mode_choices - used, "or a mode number 0 to %d",
                  ONYMIX_MODE_COUNT - 1);
    PyObject *modes = labels != NULL ? PyList_AsTuple(labels) : NULL;
    Py_XDECREF(labels);
    return modes;
}

/* The text and length of every entry of the name table. */
static int read_entries(void) {
    for (int i = 0; i < ONYMIX_ENTRY_COUNT; i++) {
        const char *text = onymix_entry(i);
        size_t length = text != NULL ? strlen(text) : 0;
        if (length == 0 || length >= ENTRY_ROOM) {
            library_failed("onymix_entry");
            return -1;
        }
        memcpy(entry_text[i], text, length);
        entry_text[i][ENTRY_ROOM - 1] = (unsigned char)length;
    }
    return 0;
}

PyMODINIT_FUNC PyInit__onymix(void) {
    PyObject *module = PyModule_Create(&module_def);
    if (module == NULL)
        return NULL;
    PyObject *generator_type = NULL, *modes = NULL;
    if ((entry_length(0) == 0 && read_entries() < 0) ||
        (name_type == NULL && (name_type = make_name_type()) == NULL))
        goto fail;
    name_alloc = (allocfunc)PyType_GetSlot((PyTypeObject *)name_type, Py_tp_alloc);
    for (int i = 0; i < 2; i++)
        if (sex_texts[i] == NULL &&
            (sex_texts[i] = PyUnicode_InternFromString(i ? "male" : "female")) == NULL)
            goto fail;
    generator_type = PyType_FromSpec(&generator_spec);
    if (generator_type == NULL || PyModule_AddObjectRef(module, "Generator", generator_type) < 0 ||
        PyModule_AddObjectRef(module, "Name", name_type) < 0 || (modes = make_modes()) == NULL ||
        PyModule_AddObjectRef(module, "MODES", modes) < 0 ||
        PyModule_AddStringConstant(module, "__version__", onymix_version()) < 0)
        goto fail;
    Py_DECREF(generator_type);
    Py_DECREF(modes);
    return module;
fail:
    Py_XDECREF(generator_type);
    Py_XDECREF(modes);
    Py_DECREF(module);
    return NULL;
}
