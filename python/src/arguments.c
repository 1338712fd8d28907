/* arguments.c: the module's arguments checked and converted (see _onymix.h),
 * with TypeError or ValueError naming what was wrong, and the modes as
 * onymix.MODES and as the choices those messages list. */
#include "_onymix.h"

#include <string.h>

/* "'Female', ..., or a mode number 0 to 6", written by make_modes at import
 * and kept for the process. */
static char mode_choices[256];

static int is_number(PyObject *value) {
    return PyLong_Check(value) && !PyBool_Check(value);
}

PyObject *type_name(PyObject *value) {
    return PyType_GetName(Py_TYPE(value));
}

int parse_mode(PyObject *value, int fallback, int *mode) {
    if (value == NULL) {
        *mode = fallback;
        return 0;
    }
    if (PyUnicode_Check(value)) {
        Py_ssize_t size = 0;
        const char *text = PyUnicode_AsUTF8AndSize(value, &size);
        if (text == NULL) /* lone surrogates: no mode either */
            PyErr_Clear();
        else if ((*mode = onymix_mode_from_text(text, (size_t)size)) >= 0)
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

int parse_second(PyObject *value, long *second) {
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

int parse_u64(PyObject *value, const char *what, const char *or_none, unsigned long long *number) {
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

int parse_seed(PyObject *value, int *now, unsigned long long *seed) {
    *now = value == NULL || value == Py_None;
    *seed = 0;
    return *now ? 0 : parse_u64(value, "seed", " or None", seed);
}

int parse_start(PyObject *value, int unique, unsigned long long *start) {
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

int sequence_flags(int unique, int weighted, unsigned *flags) {
    if (unique && weighted) {
        PyErr_SetString(PyExc_ValueError,
                        "weighted does not go with unique: the rarest weighted names come about "
                        "once in ten billion draws, so a unique run would never end");
        return -1;
    }
    *flags = (unique ? ONYMIX_UNIQUE : 0) | (weighted ? ONYMIX_WEIGHTED : 0);
    return 0;
}

int parse_count(PyObject *value, Py_ssize_t *count) {
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

/* A key may be a secret, so messages show its type and length only. */
int parse_key(PyObject *value, unsigned char key[ONYMIX_KEY_SIZE], const unsigned char **given) {
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

/* The name lists are public, so under a known key every masking could be
 * read back by masking every listed name: the zero key, the one None stands
 * for elsewhere, is no key here. */
int parse_secret_key(PyObject *value, const char *function, unsigned char key[ONYMIX_KEY_SIZE]) {
    const unsigned char *given = NULL;
    if (value == NULL || value == Py_None) {
        PyErr_Format(PyExc_TypeError,
                     "%s() needs key=, a secret of %d bytes (a bytes-like object, such as "
                     "os.urandom(%d) kept safe): masking without a secret key can be undone",
                     function, ONYMIX_KEY_SIZE, ONYMIX_KEY_SIZE);
        return -1;
    }
    if (!PyObject_CheckBuffer(value)) {
        PyObject *type = type_name(value);
        if (type != NULL)
            PyErr_Format(PyExc_TypeError, "%s() key must be %d bytes (a bytes-like object), not %U",
                         function, ONYMIX_KEY_SIZE, type);
        Py_XDECREF(type);
        return -1;
    }
    if (parse_key(value, key, &given) < 0)
        return -1;
    for (int i = 0; i < ONYMIX_KEY_SIZE; i++)
        if (key[i] != 0)
            return 0;
    PyErr_Format(PyExc_ValueError,
                 "%s() refuses the zero key: the name lists are public, so a masking under a "
                 "known key can be undone by masking every listed name; use a secret key",
                 function);
    return -1;
}

PyObject *library_failed(const char *function) {
    PyErr_Format(PyExc_SystemError, "%s failed on arguments that were checked", function);
    return NULL;
}

/* The labels, gathered in a list (never a tuple with empty slots). */
PyObject *make_modes(void) {
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
