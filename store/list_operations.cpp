// list_operations.cpp: the Store and Quit commands on the stored-names box.
// They see the boxes only as text fields and the question only as a yes/no
// answer, so they run the same with and without a window system.
#include "stored_names.h"

#include "../runtime/platform.h"
#include "../runtime/scratch.h"

void store_name() {
    // The whole texts, however long: nothing in the list is ever cut.
    const char *list = platform_read_field(field_stored_names);
    const char *separator = *list ? "\r\n" : "";
    const char *name = platform_read_field(field_name_box);
    platform_write_field(field_stored_names, join({list, separator, name}));
}

void offer_save_on_quit() {
    const char *list = platform_read_field(field_stored_names);
    if (*list && platform_ask_yes_no("Save stored names to file?", "Onymix"))
        save_stored_names();
    platform_end_loop(0);
}
