/* generator.c: onymix.Generator, names of one mode drawn on from one
 * seeding, one at a time or a bulk call at a time, by any thread. */
#include "_onymix.h"

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
    int unique, weighted;
} GeneratorObject;

onymix_generator *open_generator(int mode, int now, unsigned long long seed, unsigned flags,
                                 unsigned long long start) {
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
    static char *keywords[] = {"mode", "seed", "unique", "start", "weighted", NULL};
    PyObject *mode_arg = NULL, *seed_arg = NULL, *start_arg = NULL;
    int unique = 0, weighted = 0, mode = 0, now = 0;
    unsigned long long seed = 0, start = 0;
    unsigned flags = 0;
    if (!PyArg_ParseTupleAndKeywords(args, kwargs, "|OOpOp:Generator", keywords, &mode_arg,
                                     &seed_arg, &unique, &start_arg, &weighted) ||
        parse_mode(mode_arg, ONYMIX_DEFAULT_SEQUENCE_MODE, &mode) < 0 ||
        parse_seed(seed_arg, &now, &seed) < 0 || parse_start(start_arg, unique, &start) < 0 ||
        sequence_flags(unique, weighted, &flags) < 0)
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
    self->weighted = weighted;
    self->lock = PyThread_allocate_lock();
    if (self->mode == NULL || self->seed == NULL || (start != 0 && self->start == NULL) ||
        self->lock == NULL ||
        (self->generator = open_generator(mode, now, seed, flags, start)) == NULL) {
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

/* weighted only when set, so that the repr of an even generator is what it
 * always was. */
static PyObject *generator_repr(GeneratorObject *self) {
    const char *weighted = self->weighted ? ", weighted=True" : "";
    if (self->start == NULL)
        return PyUnicode_FromFormat("onymix.Generator(mode=%R, seed=%R, unique=%s%s)", self->mode,
                                    self->seed, self->unique ? "True" : "False", weighted);
    return PyUnicode_FromFormat("onymix.Generator(mode=%R, seed=%R, unique=%s, start=%R%s)",
                                self->mode, self->seed, self->unique ? "True" : "False",
                                self->start, weighted);
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
    {Py_tp_doc, "Generator(mode='Male + Surname', seed=None, unique=False, start=0, "
                "weighted=False)\n--\n\n"
                "Names of one mode drawn on from one seeding, as onymix-cli --count gives\n"
                "them: seeded from seed, an int from 0 to 2**64 - 1 (0 to 86399 are the\n"
                "seconds of the program), or from the seconds of system uptime for None.\n"
                "start=k begins at name k of the sequence, at once however large k is.\n"
                "With unique, no name comes twice (start must then be 0), and iteration\n"
                "ends once every name of the mode has been made. With weighted, each name\n"
                "comes as often as the 1990 census found it (onymix-cli --weighted); not\n"
                "with unique.\n\n"
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

PyObject *make_generator_type(void) {
    return PyType_FromSpec(&generator_spec);
}
