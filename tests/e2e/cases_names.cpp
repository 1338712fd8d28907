// cases_names.cpp: Generate in every mode against the core's own result for
// the same second, the mode chooser's edge cases, Store, and typing limits.
#include "e2e.h"

#include "../../program/generate.h"

#include <algorithm>

namespace {

long long spaces_in(const std::string &text) {
    return std::count(text.begin(), text.end(), ' ');
}

} // namespace

void case_generate_each_mode() {
    app_run app;
    if (!start_and_wait(app))
        return;
    // Typed text is overwritten by the first Generate.
    set_text(name_box(app), "typed by hand");
    for (int mode = 0; mode < mode_count; mode++) {
        std::string came, expected;
        if (!generate_in_one_second(app, mode, came, expected))
            continue;
        std::string what = std::string("name box after Generate in mode ") + mode_labels[mode];
        check_text(what.c_str(), expected, came);
        bool full = mode == mode_female_surname || mode == mode_male_surname;
        check_number((what + ", spaces").c_str(), full ? 1 : 0, spaces_in(came));
    }
}

void case_generate_edges() {
    app_run app;
    if (!start_and_wait(app))
        return;
    HWND chooser = mode_chooser(app), box = name_box(app);
    HWND generate_button = GetDlgItem(app.main, id_generate);

    // Within one second of uptime every Generate shows the same name.
    bool same_second = false;
    for (int attempt = 0; attempt < 8 && !same_second; attempt++) {
        DWORD into_second = GetTickCount() % 1000;
        if (into_second > 800)
            Sleep(1000 - into_second + 40);
        DWORD before = GetTickCount();
        click(generate_button);
        std::string first = text_of(box);
        click(generate_button);
        std::string second = text_of(box);
        same_second = before / 1000 == GetTickCount() / 1000;
        if (same_second)
            check_text("the second Generate in the same second", first, second);
    }
    check(same_second, "no two Generates fell into one second in 8 tries");

    // With nothing selected the name is empty.
    set_text(box, "Zed");
    send(chooser, CB_SETCURSEL, static_cast<WPARAM>(-1));
    check_number("mode selected after CB_SETCURSEL -1", -1, send(chooser, CB_GETCURSEL));
    click(generate_button);
    check_text("name box after Generate with no mode selected", "", text_of(box));

    // Choosing a mode, by the keyboard as a user would and by the chooser's
    // own notifications, generates nothing.
    set_text(box, "Keep Me");
    send(chooser, CB_SETCURSEL, 3);
    HWND field = GetWindow(chooser, GW_CHILD);
    send(field ? field : chooser, WM_KEYDOWN, VK_DOWN, 0x01500001);
    send(field ? field : chooser, WM_KEYUP, VK_DOWN, 0xC1500001);
    check_number("mode selected after the Down key", 4, send(chooser, CB_GETCURSEL));
    send(app.main, WM_COMMAND, MAKEWPARAM(id_mode_chooser, CBN_SELCHANGE),
         reinterpret_cast<LPARAM>(chooser));
    send(app.main, WM_COMMAND, MAKEWPARAM(id_mode_chooser, CBN_SELENDOK),
         reinterpret_cast<LPARAM>(chooser));
    check_text("name box after choosing another mode", "Keep Me", text_of(box));
}

void case_store_edges() {
    app_run app;
    if (!start_and_wait(app))
        return;
    HWND box = stored_box(app), name = name_box(app), store = GetDlgItem(app.main, id_store);
    click(store);
    check_text("Store with both boxes empty", "", text_of(box));
    set_text(name, "Ann");
    click(store);
    check_text("Store into the empty list", "Ann", text_of(box));
    click(store);
    check_text("Store of the same name again", "Ann\r\nAnn", text_of(box));
    set_text(name, "");
    click(store);
    check_text("Store with an empty name box", "Ann\r\nAnn\r\n", text_of(box));
    click(GetDlgItem(app.main, id_generate));
    std::string generated = text_of(name);
    click(store);
    check_text("Store of a generated name", "Ann\r\nAnn\r\n\r\n" + generated, text_of(box));
    check_number("exit code", 0, quit(app, by_quit_button, IDYES));
    check_text("stored.txt", "Ann\r\nAnn\r\n\r\n" + generated, read_file(app.stored_path()));
}

void case_typing_limits() {
    app_run app;
    if (!start_and_wait(app))
        return;
    // The name box does not scroll: typing stops at its visible width.
    HWND name = name_box(app);
    for (int i = 0; i < 60; i++)
        send(name, WM_CHAR, 'W', 1);
    std::string typed = text_of(name);
    check(!typed.empty() && typed.size() < 60 && typed.find_first_not_of('W') == std::string::npos,
          "name box after typing 60 W: expected fewer W than that, came %s", shown(typed).c_str());
    // Lines of the stored-names box do not wrap.
    set_text(stored_box(app), std::string(300, 'x'));
    check_number("lines in the stored-names box holding one 300-character line", 1,
                 send(stored_box(app), EM_GETLINECOUNT));
}
