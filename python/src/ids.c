/* ids.c: name_for_id() and names_for_ids(), and the ids that names_for_ids
 * takes: a range, a buffer of 64-bit ints or an iterable of ints. */
#include "_onymix.h"

#include <string.h>

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

PyObject *py_name_for_id(PyObject *module, PyObject *args, PyObject *kwargs) {
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
        parse_mode(mode_arg, ONYMIX_DEFAULT_ID_MODE, &mode) < 0 ||
        parse_key(key_arg, key_bytes, &key) < 0)
        return NULL;
    if (onymix_entries_for_ids(mode, key, id, NULL, 1, pair) != 1)
        return library_failed("onymix_entries_for_ids");
    return name_of(pair);
}

PyObject *py_names_for_ids(PyObject *module, PyObject *args, PyObject *kwargs) {
    (void)module;
    static char *keywords[] = {"ids", "mode", "key", NULL};
    PyObject *ids_arg = NULL, *mode_arg = NULL, *key_arg = NULL;
    int mode = 0;
    unsigned char key_bytes[ONYMIX_KEY_SIZE];
    const unsigned char *key = NULL;
    if (!PyArg_ParseTupleAndKeywords(args, kwargs, "O|OO:names_for_ids", keywords, &ids_arg,
                                     &mode_arg, &key_arg) ||
        parse_mode(mode_arg, ONYMIX_DEFAULT_ID_MODE, &mode) < 0 ||
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
