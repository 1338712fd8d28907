// stored_names.h: the stored-names file, "stored.txt" in the program's
// folder, and the Store and Quit operations on the stored-names box.
//
// The file holds one name a line with CR LF line ends (the forms it may take
// are store/stored_text.h's). It is read once at start-up and written only
// when the user agrees at Quit, in the encoding the load found. Paths are
// UTF-8.
// Every failure writes a line on the standard error stream ("Can't open file
// <path>", or for a list that cannot be shown the box's text) and is
// reported to the user. A file that cannot be opened, created, read or
// shown at start-up ends the process with exit code 1, untouched; a failed
// save is offered again and ends the process with exit code 1 only when the
// user gives up.
#pragma once

// The folder of the running executable, ending in its separator, as a UTF-8
// scratch string.
char *program_folder();

// The full path of the stored-names file; set by form_stored_names_path.
extern const char *stored_names_path;

// Forms stored_names_path from the program folder. Called once at start-up.
void form_stored_names_path();

// The stored text: the file's non-empty lines in file order, each followed
// by CR LF, as a scratch string; empty for an empty file. Creates the file
// (empty) when it is missing. A UTF-16 file with a character the code page
// lacks ends the process with "Can't read file <path>: it holds characters
// Onymix cannot show".
char *load_stored_names();

// Writes the stored-names box to the file: every CR dropped and every LF
// written as CR LF, in the encoding the load found. The old file is
// replaced only once the new one is completely written. On failure the user
// may retry, which reads the box afresh; giving up ends the process with
// exit code 1, the file intact.
void save_stored_names();

// Store: appends the name box's text to the stored-names box as a new line.
void store_name();

// Quit: when the stored-names box is not empty, asks whether to save it and
// saves on Yes; then ends the message loop with code 0.
void offer_save_on_quit();

// Writes "Can't open file <path>" to the standard error stream, reports it
// to the user and ends the process with exit code 1.
[[noreturn]] void fail_on_file(const char *path);
