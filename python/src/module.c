/* module.c: the module onymix._onymix itself: generate() and names(), the
 * table of its functions, and its import. */
#include "_onymix.h"

static PyObject *py_generate(PyObject *module, PyObject *args, PyObject *kwargs) {
    (void)module;
    static char *keywords[] = {"mode", "second", NULL};
    PyObject *mode_arg = NULL, *second_arg = NULL;
    int mode = 0;
    long second = 0;
    if (!PyArg_ParseTupleAndKeywords(args, kwargs, "|OO:generate", keywords, &mode_arg,
                                     &second_arg) ||
        parse_mode(mode_arg, ONYMIX_DEFAULT_SEQUENCE_MODE, &mode) < 0 ||
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
    static char *keywords[] = {"count", "mode", "seed", "unique", "start", "weighted", NULL};
    PyObject *count_arg = NULL, *mode_arg = NULL, *seed_arg = NULL, *start_arg = NULL;
    int unique = 0, weighted = 0, mode = 0, now = 0;
    unsigned long long seed = 0, start = 0;
    unsigned flags = 0;
    Py_ssize_t count = 0;
    if (!PyArg_ParseTupleAndKeywords(args, kwargs, "O|OOpOp:names", keywords, &count_arg, &mode_arg,
                                     &seed_arg, &unique, &start_arg, &weighted) ||
        parse_count(count_arg, &count) < 0 ||
        parse_mode(mode_arg, ONYMIX_DEFAULT_SEQUENCE_MODE, &mode) < 0 ||
        parse_seed(seed_arg, &now, &seed) < 0 || parse_start(start_arg, unique, &start) < 0 ||
        sequence_flags(unique, weighted, &flags) < 0)
        return NULL;
    onymix_generator *g = open_generator(mode, now, seed, flags, start);
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

static PyMethodDef module_methods[] = {
    {"generate", (PyCFunction)(void (*)(void))py_generate, METH_VARARGS | METH_KEYWORDS,
     "generate($module, /, mode='Male + Surname', second=None)\n--\n\n"
     "The name one press of Generate in the Onymix program shows at whole second\n"
     "second of system uptime (0 to 86399), or now for None."},
    {"names", (PyCFunction)(void (*)(void))py_names, METH_VARARGS | METH_KEYWORDS,
     "names($module, /, count, mode='Male + Surname', seed=None, unique=False, start=0, "
     "weighted=False)\n--\n\n"
     "The count names that onymix-cli --count count --mode mode --seed seed\n"
     "[--unique] [--weighted] prints, as a list of str: names start to\n"
     "start + count - 1 of the sequence of seed (0 to 2**64 - 1; None seeds from\n"
     "the seconds of uptime). With unique, a count above the mode's number of\n"
     "different names raises ValueError before anything is drawn, and start must\n"
     "be 0. With weighted, each name comes as often as the 1990 census found it;\n"
     "not with unique (ValueError)."},
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
    {"mask_first_name", (PyCFunction)(void (*)(void))py_mask_first_name,
     METH_VARARGS | METH_KEYWORDS,
     "mask_first_name($module, /, value, *, key)\n--\n\n"
     "The masking of a first name (or several: \"Mary Ann\", \"Jean-Luc\") under\n"
     "key, a secret of 16 bytes: an invented first name of the same sex, the\n"
     "same for the same name in any letter case (onymix_mask). A str gives a\n"
     "str, a bytes-like object bytes."},
    {"mask_surname", (PyCFunction)(void (*)(void))py_mask_surname, METH_VARARGS | METH_KEYWORDS,
     "mask_surname($module, /, value, *, key)\n--\n\n"
     "The masking of a surname under key, a secret of 16 bytes: an invented\n"
     "surname, the same wherever the surname stands, so that families stay\n"
     "families. A str gives a str, a bytes-like object bytes."},
    {"mask_full_name", (PyCFunction)(void (*)(void))py_mask_full_name, METH_VARARGS | METH_KEYWORDS,
     "mask_full_name($module, /, value, *, key)\n--\n\n"
     "The masking of a full name (\"Mary Smith\", \"Smith, Mary\", \"John\n"
     "Smith Jr.\") under key, a secret of 16 bytes: its given names masked as\n"
     "mask_first_name does and its surname as mask_surname does. A str gives a\n"
     "str, a bytes-like object bytes."},
    {"mask_first_names", (PyCFunction)(void (*)(void))py_mask_first_names,
     METH_VARARGS | METH_KEYWORDS,
     "mask_first_names($module, /, values, *, key)\n--\n\n"
     "The maskings of an iterable of values (a pandas Series too) as\n"
     "mask_first_name gives them, as a list; None, NaN and pandas.NA stay\n"
     "as they are."},
    {"mask_surnames", (PyCFunction)(void (*)(void))py_mask_surnames, METH_VARARGS | METH_KEYWORDS,
     "mask_surnames($module, /, values, *, key)\n--\n\n"
     "The maskings of an iterable of values (a pandas Series too) as\n"
     "mask_surname gives them, as a list; None, NaN and pandas.NA stay\n"
     "as they are."},
    {"mask_full_names", (PyCFunction)(void (*)(void))py_mask_full_names,
     METH_VARARGS | METH_KEYWORDS,
     "mask_full_names($module, /, values, *, key)\n--\n\n"
     "The maskings of an iterable of values (a pandas Series too) as\n"
     "mask_full_name gives them, as a list; None, NaN and pandas.NA stay\n"
     "as they are."},
    {NULL, NULL, 0, NULL}};

/* Initialised in a single phase (m_size -1), on purpose: see _onymix.h. */
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

PyMODINIT_FUNC PyInit__onymix(void) {
    PyObject *module = PyModule_Create(&module_def);
    if (module == NULL)
        return NULL;
    PyObject *name_type = prepare_entries(), *generator_type = NULL, *modes = NULL;
    if (name_type == NULL || (generator_type = make_generator_type()) == NULL ||
        PyModule_AddObjectRef(module, "Generator", generator_type) < 0 ||
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
