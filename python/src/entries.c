/* entries.c: the name table as the module hands it out (see _onymix.h):
 * each entry's text, read once from the library, and its str, made the
 * first time it is handed out; names and onymix.Name records made of
 * entries, one at a time or a bulk call's chunk at a time. put_names, the
 * hot loop of the bulk calls, is here with all it calls, so that the
 * compiler can put them together. */
#include "_onymix.h"

#include <string.h>

/* Made at the first import, or when first needed, and kept for the process
 * (see _onymix.h). */
static PyObject *name_type;    /* onymix.Name */
static allocfunc name_alloc;   /* its tp_alloc */
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

/* The name of a pair of entries, inline in put_names's loop. */
static inline PyObject *pair_name(const int *pair) {
    if (pair[0] < 0)
        return entry_str(pair[1]);
    if (pair[1] < 0)
        return entry_str(pair[0]);
    return full_name(pair[0], pair[1]);
}

PyObject *name_of(const int *pair) {
    return pair_name(pair);
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
 * objects: see make_names (bulk.c). */
int put_names(PyObject *list, Py_ssize_t at, const int *entries, int count, int records,
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
        PyObject *item = records ? record_of(entries + 2 * i) : pair_name(entries + 2 * i);
        if (item == NULL || PyList_SetItem(list, at + i, item) < 0)
            return -1;
    }
    return 0;
}

/* Adds the references a call owes to the table's objects to their counts,
 * one Py_INCREF a reference, as the object's own header says to count them
 * (an immortal object of 3.12 and later stays correct under it). The loop
 * of one object runs in its cache line. */
void pay_owed(uint32_t *owed) {
    for (int i = 0; i < ONYMIX_ENTRY_COUNT; i++) {
        for (uint32_t n = owed[i]; n > 0; n--)
            Py_INCREF(entry_object[i]);
        owed[i] = 0;
    }
}

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

PyObject *prepare_entries(void) {
    if ((entry_length(0) == 0 && read_entries() < 0) ||
        (name_type == NULL && (name_type = make_name_type()) == NULL))
        return NULL;
    name_alloc = (allocfunc)PyType_GetSlot((PyTypeObject *)name_type, Py_tp_alloc);
    for (int i = 0; i < 2; i++)
        if (sex_texts[i] == NULL &&
            (sex_texts[i] = PyUnicode_InternFromString(i ? "male" : "female")) == NULL)
            return NULL;
    return name_type;
}
