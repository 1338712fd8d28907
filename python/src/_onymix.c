/* _onymix.c: onymix._onymix, the CPython extension module of the Python
 * package, a binding of libonymix (include/onymix.h) and nothing more: it
 * converts arguments, calls the library and turns its results into str
 * objects, named tuples and exceptions. Built for the stable ABI of 3.11. */
#define PY_SSIZE_T_CLEAN
#include <Python.h>

#include "onymix.h"

#include <limits.h>
#include <string.h>

/* The bulk calls draw this much text at a time with the GIL released. Of
 * the sizes from 32 KiB to 4 MiB, 1 MiB made a million names fastest. */
#define BLOCK_SIZE (1024 * 1024)
/* And this many records. */
#define RECORD_BATCH 65536

/* Made once at import and kept for the life of the process, as the module
 * is never unloaded. */
static PyObject *name_type;    /* onymix.Name */
static allocfunc name_alloc;   /* its tp_alloc */
static char mode_choices[256]; /* "'Female', ..., or a mode number 0 to 6" */
static PyObject *sex_texts[2]; /* 'female', 'male' */

/* ---- arguments ------------------------------------------------------- */

static int is_number(PyObject *value) {
    return PyLong_Check(value) && !PyBool_Check(value);
}

/* A mode from a label in any case or a mode number; NULL gives the
 * program's default. */
static int parse_mode(PyObject *value, int *mode) {
    if (value == NULL) {
        *mode = ONYMIX_MALE_SURNAME;
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
static int parse_second(PyObject *value, const char *what, long *second) {
    if (value == NULL || value == Py_None) {
        *second = ONYMIX_NOW;
        return 0;
    }
    if (!is_number(value)) {
        PyErr_Format(PyExc_TypeError, "%s must be an int from 0 to %ld or None, not %R", what,
                     ONYMIX_LAST_SECOND, value);
        return -1;
    }
    int overflow = 0;
    long number = PyLong_AsLongAndOverflow(value, &overflow);
    if (number == -1 && PyErr_Occurred())
        return -1;
    if (overflow || number < 0 || number > ONYMIX_LAST_SECOND) {
        PyErr_Format(PyExc_ValueError, "%s must be a second of the day, 0 to %ld, not %R", what,
                     ONYMIX_LAST_SECOND, value);
        return -1;
    }
    *second = number;
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

static PyObject *library_failed(const char *function) {
    PyErr_Format(PyExc_SystemError, "%s failed on arguments that were checked", function);
    return NULL;
}

/* ---- the bulk path ---------------------------------------------------- */

/* A part of a record: the table's text, or None for a part the mode has
 * none of. */
static PyObject *part(const char *text) {
    if (text == NULL)
        Py_RETURN_NONE;
    return PyUnicode_FromString(text);
}

/* An onymix.Name from a record of the library, made as tuple.__new__ makes
 * an instance of a subclass. The sex takes only two values, made once. */
static PyObject *record_from_name(const onymix_name *name) {
    PyObject *fields[4] = {NULL, NULL, NULL, NULL};
    fields[1] = part(name->first_name);
    fields[2] = part(name->surname);
    if (name->sex == NULL)
        fields[3] = Py_NewRef(Py_None);
    else
        fields[3] = Py_NewRef(sex_texts[strcmp(name->sex, "male") == 0]);
    if (fields[1] != NULL && fields[2] != NULL)
        fields[0] = name->first_name == NULL ? Py_NewRef(fields[2])
                    : name->surname == NULL
                        ? Py_NewRef(fields[1])
                        : PyUnicode_FromFormat("%s %s", name->first_name, name->surname);
    PyObject *record = fields[0] != NULL ? name_alloc((PyTypeObject *)name_type, 4) : NULL;
    if (record == NULL) {
        for (int i = 0; i < 4; i++)
            Py_XDECREF(fields[i]);
        return NULL;
    }
    for (int i = 0; i < 4; i++)
        PyTuple_SetItem(record, i, fields[i]);
    /* Only str and None in it: it can be in no cycle, and a million records
     * in the collector's lists would make every collection slow. */
    PyObject_GC_UnTrack(record);
    return record;
}

/* A list of the next count names of g as str; shorter only when a unique g
 * runs out. The library writes each block with the GIL released; the
 * objects are made after it. */
static PyObject *draw_names(onymix_generator *g, Py_ssize_t count) {
    PyObject *list = PyList_New(count);
    char *block = PyMem_Malloc(BLOCK_SIZE);
    Py_ssize_t made = 0;
    if (block == NULL)
        PyErr_NoMemory();
    if (list == NULL || block == NULL)
        goto fail;
    while (made < count) {
        int wanted = count - made > INT_MAX ? INT_MAX : (int)(count - made);
        size_t length = 0;
        int written;
        Py_BEGIN_ALLOW_THREADS
        written = onymix_write(g, ONYMIX_TEXT, wanted, block, BLOCK_SIZE, &length);
        Py_END_ALLOW_THREADS
        if (written < 0) {
            library_failed("onymix_write");
            goto fail;
        }
        if (written == 0)
            break;
        const char *line = block, *text_end = block + length;
        for (int i = 0; i < written; i++) {
            const char *end = memchr(line, '\n', (size_t)(text_end - line));
            PyObject *item = PyUnicode_FromStringAndSize(line, end - line);
            if (item == NULL)
                goto fail;
            PyList_SetItem(list, made++, item);
            line = end + 1;
        }
        if (made < count && PyErr_CheckSignals() < 0)
            goto fail;
    }
    if (made < count && PyList_SetSlice(list, made, count, NULL) < 0)
        goto fail;
    goto done;
fail:
    Py_CLEAR(list);
done:
    PyMem_Free(block);
    return list;
}

/* The same names as onymix.Name records, drawn as the library's records a
 * batch at a time. */
static PyObject *draw_records(onymix_generator *g, Py_ssize_t count) {
    PyObject *list = PyList_New(count);
    onymix_name *batch = PyMem_Malloc(RECORD_BATCH * sizeof *batch);
    Py_ssize_t made = 0;
    if (batch == NULL)
        PyErr_NoMemory();
    if (list == NULL || batch == NULL)
        goto fail;
    while (made < count) {
        int wanted = count - made > RECORD_BATCH ? RECORD_BATCH : (int)(count - made);
        int drawn;
        Py_BEGIN_ALLOW_THREADS
        drawn = onymix_next_names(g, batch, wanted);
        Py_END_ALLOW_THREADS
        if (drawn < 0) {
            library_failed("onymix_next_names");
            goto fail;
        }
        if (drawn == 0)
            break;
        for (int i = 0; i < drawn; i++) {
            PyObject *record = record_from_name(&batch[i]);
            if (record == NULL)
                goto fail;
            PyList_SetItem(list, made++, record);
        }
        if (made < count && PyErr_CheckSignals() < 0)
            goto fail;
    }
    if (made < count && PyList_SetSlice(list, made, count, NULL) < 0)
        goto fail;
    goto done;
fail:
    Py_CLEAR(list);
done:
    PyMem_Free(batch);
    return list;
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
    PyObject *mode, *seed;
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
    static char *keywords[] = {"mode", "seed", "unique", NULL};
    PyObject *mode_arg = NULL, *seed_arg = NULL;
    int unique = 0, mode = 0;
    long seed = 0;
    if (!PyArg_ParseTupleAndKeywords(args, kwargs, "|OOp:Generator", keywords, &mode_arg, &seed_arg,
                                     &unique) ||
        parse_mode(mode_arg, &mode) < 0 || parse_second(seed_arg, "seed", &seed) < 0)
        return NULL;
    allocfunc alloc = (allocfunc)PyType_GetSlot(type, Py_tp_alloc);
    GeneratorObject *self = (GeneratorObject *)alloc(type, 0);
    if (self == NULL)
        return NULL;
    self->mode = PyUnicode_FromString(onymix_mode_label(mode));
    self->seed = seed == ONYMIX_NOW ? Py_None : seed_arg;
    Py_INCREF(self->seed);
    self->unique = unique;
    self->lock = PyThread_allocate_lock();
    self->generator = onymix_open(mode, seed, unique ? ONYMIX_UNIQUE : 0);
    if (self->mode == NULL || self->lock == NULL || self->generator == NULL) {
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
    freefunc free_slot = (freefunc)PyType_GetSlot(type, Py_tp_free);
    free_slot(self);
    Py_DECREF(type);
}

static PyObject *generator_next(GeneratorObject *self) {
    char name[ONYMIX_LINE_MAX];
    if (lock_generator(self) < 0)
        return NULL;
    int length = onymix_next(self->generator, name, sizeof name);
    unlock_generator(self);
    if (length < 0)
        return library_failed("onymix_next");
    if (length == 0) /* a unique generator has made every name */
        return NULL;
    return PyUnicode_FromStringAndSize(name, length);
}

static PyObject *generator_draw(GeneratorObject *self, PyObject *count_arg, int records) {
    Py_ssize_t count = 0;
    if (parse_count(count_arg, &count) < 0 || lock_generator(self) < 0)
        return NULL;
    PyObject *list =
        records ? draw_records(self->generator, count) : draw_names(self->generator, count);
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
    return PyUnicode_FromFormat("onymix.Generator(mode=%R, seed=%R, unique=%s)", self->mode,
                                self->seed, self->unique ? "True" : "False");
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
    {Py_tp_doc, "Generator(mode='Male + Surname', seed=None, unique=False)\n--\n\n"
                "Names of one mode drawn on from one seeding, as onymix-cli --count gives\n"
                "them: seeded from second seed (0 to 86399), or from the seconds of system\n"
                "uptime for None. With unique, no name comes twice, and iteration ends once\n"
                "every name of the mode has been made.\n\n"
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
        parse_mode(mode_arg, &mode) < 0 || parse_second(second_arg, "second", &second) < 0)
        return NULL;
    char name[ONYMIX_LINE_MAX];
    int length = onymix_generate(mode, second, name, sizeof name);
    if (length < 0)
        return library_failed("onymix_generate");
    return PyUnicode_FromStringAndSize(name, length);
}

static PyObject *py_names(PyObject *module, PyObject *args, PyObject *kwargs) {
    (void)module;
    static char *keywords[] = {"count", "mode", "seed", "unique", NULL};
    PyObject *count_arg = NULL, *mode_arg = NULL, *seed_arg = NULL;
    int unique = 0, mode = 0;
    long seed = 0;
    Py_ssize_t count = 0;
    if (!PyArg_ParseTupleAndKeywords(args, kwargs, "O|OOp:names", keywords, &count_arg, &mode_arg,
                                     &seed_arg, &unique) ||
        parse_count(count_arg, &count) < 0 || parse_mode(mode_arg, &mode) < 0 ||
        parse_second(seed_arg, "seed", &seed) < 0)
        return NULL;
    onymix_generator *g = onymix_open(mode, seed, unique ? ONYMIX_UNIQUE : 0);
    if (g == NULL)
        return PyErr_NoMemory();
    long left = onymix_left(g);
    if (left >= 0 && count > left) {
        onymix_close(g);
        PyErr_Format(PyExc_ValueError,
                     "count %zd is more than the %ld different names of mode '%s'", count, left,
                     onymix_mode_label(mode));
        return NULL;
    }
    PyObject *list = draw_names(g, count);
    onymix_close(g);
    return list;
}

static PyMethodDef module_methods[] = {
    {"generate", (PyCFunction)(void (*)(void))py_generate, METH_VARARGS | METH_KEYWORDS,
     "generate($module, /, mode='Male + Surname', second=None)\n--\n\n"
     "The name one press of Generate in the Onymix program shows at whole second\n"
     "second of system uptime (0 to 86399), or now for None."},
    {"names", (PyCFunction)(void (*)(void))py_names, METH_VARARGS | METH_KEYWORDS,
     "names($module, /, count, mode='Male + Surname', seed=None, unique=False)\n--\n\n"
     "The count names that onymix-cli --count count --mode mode --seed seed\n"
     "[--unique] prints, as a list of str. seed None seeds from the seconds of\n"
     "uptime. With unique, a count above the mode's number of different names\n"
     "raises ValueError before anything is drawn."},
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

static PyObject *make_modes(void) {
    PyObject *modes = PyTuple_New(ONYMIX_MODE_COUNT);
    if (modes == NULL)
        return NULL;
    size_t used = 0;
    for (int mode = 0; mode < ONYMIX_MODE_COUNT; mode++) {
        const char *label = onymix_mode_label(mode);
        PyObject *text = PyUnicode_FromString(label);
        if (text == NULL) {
            Py_DECREF(modes);
            return NULL;
        }
        PyTuple_SetItem(modes, mode, text);
        used +=
            (size_t)PyOS_snprintf(mode_choices + used, sizeof mode_choices - used, "'%s', ", label);
    }
    PyOS_snprintf(mode_choices + used, sizeof mode_choices - used, "or a mode number 0 to %d",
                  ONYMIX_MODE_COUNT - 1);
    return modes;
}

PyMODINIT_FUNC PyInit__onymix(void) {
    PyObject *module = PyModule_Create(&module_def);
    if (module == NULL)
        return NULL;
    PyObject *generator_type = NULL, *modes = NULL;
    if (name_type == NULL && (name_type = make_name_type()) == NULL)
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
