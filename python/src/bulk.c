/* bulk.c: the lists of the bulk calls (see _onymix.h), made a chunk of
 * names at a time: the library fills the chunk's entries without the GIL,
 * and entries.c makes their objects with it held, in a list that no other
 * code can reach until it is whole and every reference in it counted. */
#include "_onymix.h"

/* The bulk calls have the library fill the table entries of this many names
 * at a time with the GIL released, then make the objects with it held: few
 * enough for the entries to be read back from the cache. */
#define CHUNK 8192

/* Calls of at least this many one-part names count the references of their
 * names by entry and add them to the objects at the end. */
#define OWED_MIN 65536

int fill_from_generator(const names_source *source, Py_ssize_t done, int count, int *entries) {
    (void)done;
    return onymix_next_entries(source->generator, entries, count);
}

int fill_from_ids(const names_source *source, Py_ssize_t done, int count, int *entries) {
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
PyObject *hidden_list(Py_ssize_t count) {
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
PyObject *make_names(const names_source *source, Py_ssize_t count, int records) {
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
