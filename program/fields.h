// fields.h: the windowed program's window as its commands see it: the two
// text boxes, the mode chooser, the questions and the end of the message
// loop. Store, Quit and Generate are written against these alone, so they
// run the same with a window system (shell/fields.cpp, over the controls
// of shell/) and without one (the tests' doubles, tests/support/).
#pragma once

// The two text boxes of the main window.
enum text_field { field_name_box, field_stored_names };

// The whole text of the field, in a scratch buffer; never null.
char *platform_read_field(text_field field);

// Replaces the whole text of the field.
void platform_write_field(text_field field, const char *text);

// The generation mode selected in the mode chooser, -1 when none is.
int platform_selected_mode();

// Asks a yes/no question; true only for the answer Yes.
bool platform_ask_yes_no(const char *question, const char *caption);

// Tells the user that the stored-names file could not be used (the line on
// the standard error stream is already written): message is the whole text
// to show, in UTF-8. With retry_offered the user may ask to try again; true
// only for that answer.
bool platform_report_file_failure(const char *message, bool retry_offered);

// Asks the message loop to end with this code once the current command is done.
void platform_end_loop(int code);
