// fields.cpp: program/fields.h in the Windows program: the name box, the
// stored-names box and the mode chooser made by controls.cpp, message boxes
// and the quit message. The boxes' texts are 8-bit in the system code page;
// only a report's message, which names a path, is UTF-8.
#include "shell.h"

#include "../platform/win32.h"
#include "../program/fields.h"

#include <cstdlib>

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
    // The message names a path, which only the wide call shows whole. At
    // start-up no window is shown yet, so the box has no owner; at Quit it
    // belongs to the window the user was working in, like the question.
    wchar_t *text = wide_from_utf8(message);
    bool retry = false;
    if (!retry_offered)
        MessageBoxW(nullptr, text ? text : L"", L"Onymix", MB_OK | MB_ICONERROR);
    else
        retry = MessageBoxW(GetActiveWindow(), text ? text : L"", L"Onymix",
                            MB_RETRYCANCEL | MB_ICONERROR) == IDRETRY;
    std::free(text);
    return retry;
}

void platform_end_loop(int code) {
    PostQuitMessage(code);
}
