// list_rules.cpp: the rules of Store and Quit on the list's text.
#include "list_rules.h"

const char program_caption[] = "Onymix";

const char *store_separator(const char *list) {
    return *list ? "\r\n" : "";
}

const char *quit_question(const char *list) {
    return *list ? "Save stored names to file?" : nullptr;
}
