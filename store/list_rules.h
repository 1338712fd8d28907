// list_rules.h: the rules of Store and Quit on the stored-names list as
// text, apart from any window: the program's commands apply them to its
// boxes (program/list_operations.cpp), and the library hands them to the
// web page.
#pragma once

// What Store puts between the list and the name it appends: CR LF, or
// nothing when the list is empty (the name then becomes the whole list).
const char *store_separator(const char *list);

// The question Quit asks before it saves the list, "Save stored names to
// file?"; null when it asks nothing, which is when the list is empty (an
// empty list is never saved).
const char *quit_question(const char *list);

// The caption of the question.
extern const char program_caption[];
