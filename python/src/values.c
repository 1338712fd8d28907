/* values.c: pseudonym() and pseudonyms(), and the values they take: a str,
 * as its UTF-8, or a bytes-like object. */
#include "_onymix.h"

/* The values of pseudonyms are gathered this many at a time. */
#define VALUE_CHUNK 1024

int value_bytes(PyObject *value, const void **bytes, size_t *length, Py_buffer *view) {
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

/* An iterator over values, which must be an iterable of str or bytes-like
 * values: one str or bytes would be taken apart into characters or numbers,
 * and one() takes one of them. Values may be personal data, so messages
 * show their type only. */
PyObject *values_iterator(PyObject *values, const char *one) {
    if (PyUnicode_Check(values) || PyObject_CheckBuffer(values)) {
        PyObject *type = type_name(values);
        if (type != NULL)
            PyErr_Format(PyExc_TypeError,
                         "values must be an iterable of str or bytes-like values, not one %U; "
                         "%s() takes one",
                         type, one);
        Py_XDECREF(type);
        return NULL;
    }
    return PyObject_GetIter(values);
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

PyObject *py_pseudonym(PyObject *module, PyObject *args, PyObject *kwargs) {
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
        parse_mode(mode_arg, ONYMIX_DEFAULT_ID_MODE, &mode) < 0 ||
        parse_key(key_arg, key_bytes, &key) < 0 || value_bytes(value, &bytes, &length, &view) < 0)
        return NULL;
    int made = onymix_entries_for_pseudonyms(mode, key, &bytes, &length, 1, pair);
    if (view.obj != NULL)
        PyBuffer_Release(&view);
    if (made != 1)
        return library_failed("onymix_entries_for_pseudonyms");
    return name_of(pair);
}

PyObject *py_pseudonyms(PyObject *module, PyObject *args, PyObject *kwargs) {
    (void)module;
    static char *keywords[] = {"values", "mode", "key", NULL};
    PyObject *values = NULL, *mode_arg = NULL, *key_arg = NULL;
    int mode = 0;
    unsigned char key_bytes[ONYMIX_KEY_SIZE];
    const unsigned char *key = NULL;
    if (!PyArg_ParseTupleAndKeywords(args, kwargs, "O|OO:pseudonyms", keywords, &values, &mode_arg,
                                     &key_arg) ||
        parse_mode(mode_arg, ONYMIX_DEFAULT_ID_MODE, &mode) < 0 ||
        parse_key(key_arg, key_bytes, &key) < 0)
        return NULL;
    PyObject *iterator = values_iterator(values, "pseudonym");
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
