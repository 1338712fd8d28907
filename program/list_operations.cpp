// list_operations.cpp: the Store and Quit commands on the stored-names box.
// They see the boxes only as text fields and the question only as a yes/no
// answer, so they run the same with and without a window system.
#include "stored_names.h"

#include "fields.h"
#include "scratch.h"

#include "../store/list_rules.h"

void store_name() {
    // The whole texts, however long: nothing in the list is ever cut.
    const char *list = platform_read_field(field_stored_names);
    const char *name = platform_read_field(field_name_box);
    platform_write_field(field_stored_names, join({list, store_separator(list), name}));
}

void offer_save_on_quit() {
    const char *question = quit_question(platform_read_field(field_stored_names));
    if (question && platform_ask_yes_no(question, program_caption))
        save_stored_names();
    platform_end_loop(0);
}
