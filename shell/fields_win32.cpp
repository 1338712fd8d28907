// fields_win32.cpp: the text fields, mode chooser, questions and loop end of
// runtime/platform.h in the Windows program: the name box, the stored-names
// box, the mode chooser, message boxes and the quit message.
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

bool platform_report_file_failure(const char *message, bool retry_offered) {
    // At start-up no window is shown yet, so the box has no owner; at Quit it
    // belongs to the window the user was working in, like the question.
    if (!retry_offered) {
        MessageBoxA(nullptr, message, "Onymix", MB_OK | MB_ICONERROR);
        return false;
    }
    return MessageBoxA(GetActiveWindow(), message, "Onymix", MB_RETRYCANCEL | MB_ICONERROR) ==
           IDRETRY;
}

void platform_end_loop(int code) {
    PostQuitMessage(code);
}
