/* masks.c: the maskings of real names (onymix_mask, onymix_mask_values):
 * mask_first_name() and the others for one value, and mask_first_names()
 * and the others for an iterable of values. A str gives a str (its UTF-8
 * masked) and a bytes-like object bytes; in the bulk calls None, NaN and
 * pandas.NA, the missing values of a table's column, stay as they are. */
#include "_onymix.h"

#include <limits.h>
#include <math.h>

/* The values of a bulk call are gathered this many at a time, and their
 * maskings written into MASK_ROOM bytes at first, more when one does not
 * fit. */
#define MASK_CHUNK 1024
#define MASK_ROOM 65536

enum { MISSING, TEXT, BYTES };

static PyObject *make_masking(const char *out, size_t length, int what) {
    return what == TEXT ? PyUnicode_DecodeUTF8(out, (Py_ssize_t)length, NULL)
                        : PyBytes_FromStringAndSize(out, (Py_ssize_t)length);
}

/* For a masking the library refused although its arguments were checked:
 * one too long for an int, or else a fault. */
static PyObject *masking_failed(size_t length, const char *function) {
    if (length > INT_MAX / ONYMIX_MASK_GROWTH) {
        PyErr_Format(PyExc_ValueError, "a value of %zu bytes is too long to mask", length);
        return NULL;
    }
    return library_failed(function);
}

static PyObject *mask_one(int kind, const char *function, PyObject *args, PyObject *kwargs) {
    static char *keywords[] = {"value", "key", NULL};
    char format[64];
    PyObject *value = NULL, *key_arg = NULL;
    unsigned char key[ONYMIX_KEY_SIZE];
    const void *bytes = NULL;
    size_t length = 0;
    Py_buffer view;
    PyOS_snprintf(format, sizeof format, "O|$O:%s", function);
    if (!PyArg_ParseTupleAndKeywords(args, kwargs, format, keywords, &value, &key_arg) ||
        parse_secret_key(key_arg, function, key) < 0 ||
        value_bytes(value, &bytes, &length, &view) < 0)
        return NULL;
    int what = view.obj == NULL ? TEXT : BYTES;
    char room[256], *out = room;
    int needed = onymix_mask(kind, bytes, length, key, room, sizeof room);
    if (needed >= (int)sizeof room) {
        out = PyMem_Malloc((size_t)needed + 1);
        if (out == NULL)
            PyErr_NoMemory();
        else
            needed = onymix_mask(kind, bytes, length, key, out, (size_t)needed + 1);
    }
    PyObject *result = NULL;
    if (out != NULL)
        result = needed < 0 ? masking_failed(length, "onymix_mask")
                            : make_masking(out, (size_t)needed, what);
    if (out != room)
        PyMem_Free(out);
    if (view.obj != NULL)
        PyBuffer_Release(&view);
    return result;
}

/* Items gathered for the library's calls: each item's kind, the bytes of
 * those that are values (value j is item place[j]), and what holds them. */
typedef struct {
    PyObject *items[MASK_CHUNK];
    Py_buffer views[MASK_CHUNK];
    unsigned char what[MASK_CHUNK];
    int place[MASK_CHUNK];
    const void *bytes[MASK_CHUNK];
    size_t lengths[MASK_CHUNK];
    size_t ends[MASK_CHUNK];
} mask_chunk;

static void release_items(mask_chunk *chunk, int count) {
    for (int i = 0; i < count; i++) {
        if (chunk->views[i].obj != NULL)
            PyBuffer_Release(&chunk->views[i]);
        Py_DECREF(chunk->items[i]);
    }
}

/* Whether item, a float or neither a str nor a bytes-like object, is a
 * missing value:
 * None, NaN (a float, numpy's too, that is not equal to itself) or
 * pandas.NA. A value of pandas.NA's type can only come once pandas has been
 * imported, so pandas is never imported here: *na is pandas.NA, looked up
 * the first time it can be there, or None when that pandas has no NA. */
static int is_missing(PyObject *item, PyObject **na) {
    if (item == Py_None)
        return 1;
    if (PyFloat_Check(item)) {
        double number = PyFloat_AsDouble(item);
        if (number == -1.0 && PyErr_Occurred())
            return -1;
        return isnan(number);
    }
    if (*na == NULL) {
        PyObject *name = PyUnicode_FromString("pandas");
        PyObject *pandas = name != NULL ? PyImport_GetModule(name) : NULL;
        Py_XDECREF(name);
        if (pandas == NULL)
            return PyErr_Occurred() ? -1 : 0;
        *na = PyObject_GetAttrString(pandas, "NA");
        Py_DECREF(pandas);
        if (*na == NULL) {
            if (!PyErr_ExceptionMatches(PyExc_AttributeError))
                return -1;
            PyErr_Clear();
            *na = Py_NewRef(Py_None);
        }
    }
    return item == *na;
}

/* Gathers the next items of iterator into chunk, at most MASK_CHUNK, and
 * the bytes of those that are values; at is how many came before, for
 * messages. Returns how many items, with *values how many are values, or
 * -1 (having let go of them). */
static int gather_items(PyObject *iterator, mask_chunk *chunk, PyObject **na, Py_ssize_t at,
                        int *values) {
    int count = 0, found = 0;
    PyObject *item;
    while (count < MASK_CHUNK && (item = PyIter_Next(iterator)) != NULL) {
        chunk->items[count] = item;
        chunk->views[count].obj = NULL;
        int missing = 0;
        /* A float is never a value, though numpy's float64 has the buffer
         * protocol: its bytes are a number, not a name. */
        if (!PyUnicode_Check(item) && (PyFloat_Check(item) || !PyObject_CheckBuffer(item)) &&
            (missing = is_missing(item, na)) == 0) {
            PyObject *type = type_name(item);
            if (type != NULL)
                PyErr_Format(PyExc_TypeError,
                             "values must be str or bytes-like values (None, NaN and pandas.NA "
                             "stay as they are), not %U, at index %zd",
                             type, at + count);
            Py_XDECREF(type);
            missing = -1;
        }
        if (missing == 0 && value_bytes(item, &chunk->bytes[found], &chunk->lengths[found],
                                        &chunk->views[count]) < 0)
            missing = -1;
        if (missing < 0) {
            release_items(chunk, count + 1);
            return -1;
        }
        chunk->what[count] = missing ? MISSING : chunk->views[count].obj == NULL ? TEXT : BYTES;
        if (!missing)
            chunk->place[found++] = count;
        count++;
    }
    if (PyErr_Occurred()) {
        release_items(chunk, count);
        return -1;
    }
    *values = found;
    return count;
}

/* Puts the count gathered items, values masked, into part, a hidden list of
 * count slots. The maskings go into *out (*size bytes), made larger when
 * the next one does not fit. */
static int mask_items(int kind, const unsigned char *key, mask_chunk *chunk, int count, int values,
                      char **out, size_t *size, PyObject *part) {
    for (int i = 0; i < count; i++)
        if (chunk->what[i] == MISSING && PyList_SetItem(part, i, Py_NewRef(chunk->items[i])) < 0)
            return -1;
    int done = 0;
    while (done < values) {
        int made;
        Py_BEGIN_ALLOW_THREADS
        made = onymix_mask_values(kind, key, chunk->bytes + done, chunk->lengths + done,
                                  (size_t)(values - done), *out, *size, chunk->ends);
        Py_END_ALLOW_THREADS
        if (made < 0) {
            library_failed("onymix_mask_values");
            return -1;
        }
        if (made == 0) {
            size_t length = chunk->lengths[done];
            int needed = onymix_mask(kind, chunk->bytes[done], length, key, NULL, 0);
            if (needed < 0) {
                masking_failed(length, "onymix_mask");
                return -1;
            }
            size_t room = *size * 2 > (size_t)needed ? *size * 2 : (size_t)needed + 1;
            char *grown = PyMem_Realloc(*out, room);
            if (grown == NULL) {
                PyErr_NoMemory();
                return -1;
            }
            *out = grown;
            *size = room;
            continue;
        }
        size_t start = 0;
        for (int k = 0; k < made; k++) {
            int i = chunk->place[done + k];
            PyObject *masking = make_masking(*out + start, chunk->ends[k] - start, chunk->what[i]);
            if (masking == NULL || PyList_SetItem(part, i, masking) < 0)
                return -1;
            start = chunk->ends[k];
        }
        done += made;
    }
    return 0;
}

static PyObject *mask_many(int kind, const char *function, const char *one, PyObject *args,
                           PyObject *kwargs) {
    static char *keywords[] = {"values", "key", NULL};
    char format[64];
    PyObject *values = NULL, *key_arg = NULL;
    unsigned char key[ONYMIX_KEY_SIZE];
    PyOS_snprintf(format, sizeof format, "O|$O:%s", function);
    if (!PyArg_ParseTupleAndKeywords(args, kwargs, format, keywords, &values, &key_arg) ||
        parse_secret_key(key_arg, function, key) < 0)
        return NULL;
    PyObject *iterator = values_iterator(values, one), *na = NULL;
    /* Hidden while it grows, so that code the iterator runs cannot cut it
     * between the parts it is made of, and each part until it is whole. */
    PyObject *list = iterator != NULL ? hidden_list(0) : NULL;
    mask_chunk *chunk = list != NULL ? PyMem_Malloc(sizeof *chunk) : NULL;
    size_t size = MASK_ROOM;
    char *out = chunk != NULL ? PyMem_Malloc(size) : NULL;
    if (list != NULL && out == NULL)
        PyErr_NoMemory();
    if (out == NULL)
        goto fail;
    Py_ssize_t at = 0;
    for (;;) {
        int found = 0, count = gather_items(iterator, chunk, &na, at, &found);
        if (count <= 0) {
            if (count < 0)
                goto fail;
            break;
        }
        PyObject *part = hidden_list(count);
        int failed =
            part == NULL || mask_items(kind, key, chunk, count, found, &out, &size, part) < 0;
        release_items(chunk, count);
        failed = failed || PyList_SetSlice(list, at, at, part) < 0;
        Py_XDECREF(part);
        at += count;
        if (failed || PyErr_CheckSignals() < 0)
            goto fail;
    }
    PyObject_GC_Track(list);
    goto done;
fail:
    Py_CLEAR(list);
done:
    PyMem_Free(out);
    PyMem_Free(chunk);
    Py_XDECREF(na);
    Py_XDECREF(iterator);
    return list;
}

PyObject *py_mask_first_name(PyObject *module, PyObject *args, PyObject *kwargs) {
    (void)module;
    return mask_one(ONYMIX_MASK_FIRST_NAME, "mask_first_name", args, kwargs);
}

PyObject *py_mask_surname(PyObject *module, PyObject *args, PyObject *kwargs) {
    (void)module;
    return mask_one(ONYMIX_MASK_SURNAME, "mask_surname", args, kwargs);
}

PyObject *py_mask_full_name(PyObject *module, PyObject *args, PyObject *kwargs) {
    (void)module;
    return mask_one(ONYMIX_MASK_FULL_NAME, "mask_full_name", args, kwargs);
}

PyObject *py_mask_first_names(PyObject *module, PyObject *args, PyObject *kwargs) {
    (void)module;
    return mask_many(ONYMIX_MASK_FIRST_NAME, "mask_first_names", "mask_first_name", args, kwargs);
}

PyObject *py_mask_surnames(PyObject *module, PyObject *args, PyObject *kwargs) {
    (void)module;
    return mask_many(ONYMIX_MASK_SURNAME, "mask_surnames", "mask_surname", args, kwargs);
}

PyObject *py_mask_full_names(PyObject *module, PyObject *args, PyObject *kwargs) {
    (void)module;
    return mask_many(ONYMIX_MASK_FULL_NAME, "mask_full_names", "mask_full_name", args, kwargs);
}
