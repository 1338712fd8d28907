// fields_win32.cpp: the text fields, mode chooser, question and loop end of
// runtime/platform.h in the Windows program: the name box, the stored-names
// box, the mode chooser, a message box and the quit message.
#include "../runtime/platform.h"
#include "shell.h"

char *platform_read_field(text_field field) {
    return read_text(field == field_name_box ? name_box : stored_names_box);
}

void platform_write_field(text_field field, const char *text) {
    write_text(field == field_name_box ? name_box : stored_names_box, text);
}

int platform_selected_mode() {
    return static_cast<int>(SendMessageA(mode_chooser, CB_GETCURSEL, 0, 0));
}

bool platform_ask_yes_no(const char *question, const char *caption) {
    return MessageBoxA(GetActiveWindow(), question, caption, MB_YESNO | MB_ICONQUESTION) == IDYES;
}

void platform_end_loop(int code) {
    PostQuitMessage(code);
}
