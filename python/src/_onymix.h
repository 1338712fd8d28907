/* _onymix.h: what the files of onymix._onymix share. The module is the
 * CPython extension of the Python package, a binding of libonymix
 * (include/onymix.h) and nothing more: it converts arguments, calls the
 * library and turns its results into str objects, named tuples and
 * exceptions. Built for the stable ABI of 3.11, and with hidden visibility
 * (setup.py), so that of these names only PyInit__onymix leaves the module.
 *
 * arguments.c checks arguments; entries.c holds the name table's str objects
 * and makes names of its entries; bulk.c makes the lists of the bulk calls;
 * ids.c and values.c are the functions of names by id and of pseudonyms;
 * masks.c those of the maskings of real names;
 * generator.c is onymix.Generator; module.c the other functions and import.
 *
 * What the files make once at import, or once when first needed, is kept
 * in their statics for the life of the process, as the module is never
 * unloaded. The module is initialised in a single phase, so an interpreter
 * that keeps its own objects (one with its own GIL, 3.12 and later) refuses
 * to import it, and the interpreters that do import it share one GIL and
 * these objects, which are immutable. */
#ifndef ONYMIX_PYTHON_MODULE_H
#define ONYMIX_PYTHON_MODULE_H

#define PY_SSIZE_T_CLEAN
#include <Python.h>

#include "onymix.h"

#include <stdint.h>

#define LAST_ID "18446744073709551615"

/* ---- arguments (arguments.c) ------------------------------------------- */

/* The name of value's type, for messages that must not show the value. */
PyObject *type_name(PyObject *value);
/* A mode from a label in any case or a mode number; NULL gives fallback. */
int parse_mode(PyObject *value, int fallback, int *mode);
/* A second of the day, or ONYMIX_NOW for None (or nothing given). */
int parse_second(PyObject *value, long *second);
/* An int from 0 to 2^64 - 1: a seed, a start or an id. what names it in
 * messages; or_none is " or None" where None is allowed too. */
int parse_u64(PyObject *value, const char *what, const char *or_none, unsigned long long *number);
/* A seed, or now for None (or nothing given). */
int parse_seed(PyObject *value, int *now, unsigned long long *seed);
/* The name to start at; a unique generator can only start at the first. */
int parse_start(PyObject *value, int unique, unsigned long long *start);
/* The flags of onymix_open for unique and weighted, which do not go
 * together: refused here, as the library's NULL would read as no memory. */
int sequence_flags(int unique, int weighted, unsigned *flags);
int parse_count(PyObject *value, Py_ssize_t *count);
/* A key: the 16 bytes of a bytes-like object, copied into key, with *given
 * pointing to them; None (or nothing given) is the zero key, given as NULL. */
int parse_key(PyObject *value, unsigned char key[ONYMIX_KEY_SIZE], const unsigned char **given);
/* A masking's key: 16 bytes of a bytes-like object, copied into key. A
 * missing key (NULL), None and the zero key are refused. */
int parse_secret_key(PyObject *value, const char *function, unsigned char key[ONYMIX_KEY_SIZE]);
/* Raises SystemError for a call of the library that failed; returns NULL. */
PyObject *library_failed(const char *function);
/* The tuple of the modes' labels, onymix.MODES; also writes the choices
 * that messages about a bad mode name. */
PyObject *make_modes(void);

/* ---- names from the name table (entries.c) ------------------------------ */

/* Reads the name table and makes onymix.Name, once for the process; returns
 * onymix.Name, a reference the module keeps, or NULL. */
PyObject *prepare_entries(void);
/* The name of a pair of entries (first name, surname, -1 for none). */
PyObject *name_of(const int *pair);
/* Puts the names (or records) of count pairs of entries into list from item
 * at on; with owed, the references of one-part names are counted there until
 * pay_owed (see make_names in bulk.c). */
int put_names(PyObject *list, Py_ssize_t at, const int *entries, int count, int records,
              uint32_t *owed);
/* Adds the references counted in owed (ONYMIX_ENTRY_COUNT counts) to the
 * table's objects, and sets owed to zeros. */
void pay_owed(uint32_t *owed);

/* ---- the bulk path (bulk.c) --------------------------------------------- */

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

int fill_from_generator(const names_source *source, Py_ssize_t done, int count, int *entries);
int fill_from_ids(const names_source *source, Py_ssize_t done, int count, int *entries);
/* A list of count empty slots that no other code can reach until it is
 * handed to PyObject_GC_Track, which the caller does once it is whole. */
PyObject *hidden_list(Py_ssize_t count);
/* A list of count names (or records) from source; shorter only when a
 * unique generator runs out. */
PyObject *make_names(const names_source *source, Py_ssize_t count, int records);

/* ---- the module's functions (ids.c, values.c, masks.c, module.c) -------- */

/* The bytes of a value: a str's UTF-8, or a bytes-like object's bytes, held
 * by view (view->obj is NULL for a str, which the caller keeps). Messages
 * name the value's type only: values may be personal data. */
int value_bytes(PyObject *value, const void **bytes, size_t *length, Py_buffer *view);
/* An iterator over an iterable of values, refusing one str or bytes. */
PyObject *values_iterator(PyObject *values, const char *one);

PyObject *py_name_for_id(PyObject *module, PyObject *args, PyObject *kwargs);
PyObject *py_names_for_ids(PyObject *module, PyObject *args, PyObject *kwargs);
PyObject *py_pseudonym(PyObject *module, PyObject *args, PyObject *kwargs);
PyObject *py_pseudonyms(PyObject *module, PyObject *args, PyObject *kwargs);
PyObject *py_mask_first_name(PyObject *module, PyObject *args, PyObject *kwargs);
PyObject *py_mask_surname(PyObject *module, PyObject *args, PyObject *kwargs);
PyObject *py_mask_full_name(PyObject *module, PyObject *args, PyObject *kwargs);
PyObject *py_mask_first_names(PyObject *module, PyObject *args, PyObject *kwargs);
PyObject *py_mask_surnames(PyObject *module, PyObject *args, PyObject *kwargs);
PyObject *py_mask_full_names(PyObject *module, PyObject *args, PyObject *kwargs);

/* ---- onymix.Generator (generator.c) ------------------------------------- */

/* A generator at name start of its sequence, seeded from seed or now, with
 * the flags of sequence_flags. */
onymix_generator *open_generator(int mode, int now, unsigned long long seed, unsigned flags,
                                 unsigned long long start);
/* The type onymix.Generator, a new reference, or NULL. */
PyObject *make_generator_type(void);

#endif
