// baseline.cpp: the start-up floor for the start-up benchmark. The same user
// interface as onymix.exe, window for window and control for control (class
// fields, styles, texts, IDs, positions, fonts, bitmaps, menu, topmost main
// window and the same message loop), with nothing behind it: no name table,
// no stored-names file, no registry value, none of the commands. The window
// procedure only closes. What onymix.exe costs above this program is the
// name table, the stored names and our own code. It is built from the
// program's own window and control factory (shell/factory.cpp, with the
// scratch ring it uses) and IDs, so the two cannot drift apart.
//
// The class is "OnymixBaseline" so that it can never be taken for a running
// instance of the program; the main window has the program's caption, which
// is what the probe waits for.
#include "../../shell/ids.h"
#include "../../shell/shell.h"

#include <cstring>

// The factory's header names the program's global handles; the baseline
// keeps its own.
HWND main_window, about_window;
HWND name_box, stored_names_box, mode_chooser;

namespace {

const char credits[] = "       by Tavrelon\r\n\r\nCopyright (C) 2026 Tavrelon";
const char *const mode_labels[] = {"Male", "Female", "Male + Surname", "Female + Surname",
                                   "Surname"};
const DWORD default_ex_style = static_cast<DWORD>(-1);

LRESULT CALLBACK on_message(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wparam, lparam);
}

void build_baseline_windows() {
    main_window =
        make_top_window("Tavrelon - Onymix", 0, 0, 140, 170, WS_POPUP | WS_CAPTION | WS_SYSMENU, 0);
    about_window = make_top_window("About Onymix", 0, 0, 140, 170, WS_POPUP | WS_CAPTION, 0);
    ShowWindow(about_window, SW_HIDE);

    name_box = make_edit_box(main_window, IDC_NAME_BOX, 30, 60, 220, 30,
                             WS_CHILD | WS_VISIBLE | WS_BORDER | ES_WANTRETURN | ES_AUTOVSCROLL);
    HWND generate_button =
        make_button("&Generate", main_window, IDC_GENERATE, 20, 50, 40, 15, 0, default_ex_style);
    make_button("&Quit", main_window, IDC_QUIT, 90, 140, 40, 15, 0, default_ex_style);
    make_button("&Store", main_window, IDC_STORE, 80, 50, 40, 15, 0, default_ex_style);
    HWND version_label = make_label("Onymix 1.0.2", about_window, IDC_LABEL, 30, 10, 130, 18, 0, 0);
    make_label(credits, about_window, IDC_LABEL, 30, 20, 120, 40, 0, 0);
    make_button("&Close", about_window, IDC_CLOSE, 95, 150, 40, 15, 0, default_ex_style);
    stored_names_box = make_edit_box(main_window, IDC_STORED_NAMES, 30, 140, 220, 120,
                                     WS_CHILD | WS_VISIBLE | WS_BORDER | WS_VSCROLL | ES_MULTILINE |
                                         ES_AUTOVSCROLL | ES_AUTOHSCROLL);
    SendMessageA(stored_names_box, EM_SETLIMITTEXT, 0, 0);
    HWND group_frame = make_group_box("", main_window, IDC_GROUP_FRAME, 5, 5, 130, 130, 0, 0);
    mode_chooser =
        make_combo_box(main_window, IDC_MODE_CHOOSER, 40, 15, 60, 35, 0, default_ex_style);
    make_picture("bmIMAGE", main_window, 20, 280);
    make_picture("twImage", about_window, 50, 100);

    for (int i = 0; i < 5; i++)
        SendMessageA(mode_chooser, CB_ADDSTRING, static_cast<WPARAM>(i),
                     reinterpret_cast<LPARAM>(mode_labels[i]));
    SendMessageA(mode_chooser, CB_SETCURSEL, 3, 0);

    HFONT version_font = make_font("Verdana Bold", 10, 0, 0, 0, 0);
    SendMessageA(version_label, WM_SETFONT, reinterpret_cast<WPARAM>(version_font), 1);
    HFONT name_font = make_font("Verdana Bold", 10, 0, 0, 0, 0);
    SendMessageA(name_box, WM_SETFONT, reinterpret_cast<WPARAM>(name_font), 1);

    HMENU menu_bar = CreateMenu();
    HMENU menu_popup = CreateMenu();
    AppendMenuA(menu_popup, MF_STRING, IDC_ABOUT, "&About...");
    AppendMenuA(menu_popup, MF_STRING, IDC_VISIT, "&Visit " MAKER_HOST "...");
    AppendMenuA(menu_popup, MF_SEPARATOR, 0, "");
    AppendMenuA(menu_popup, MF_STRING, IDC_QUIT, "&Exit");
    InsertMenuA(menu_bar, 1012, MF_BYCOMMAND | MF_POPUP, reinterpret_cast<UINT_PTR>(menu_popup),
                "&Menu");
    SetMenu(main_window, menu_bar);

    center_on_screen(main_window);
    ShowWindow(group_frame, SW_SHOW);
    ShowWindow(name_box, SW_SHOW);
    ShowWindow(generate_button, SW_SHOW);
    ShowWindow(mode_chooser, SW_SHOW);
    ShowWindow(main_window, SW_SHOW);
    set_topmost(main_window);
}

} // namespace

int WINAPI WinMain(HINSTANCE module, HINSTANCE, LPSTR, int) {
    module_instance = module;
    std::strcpy(class_name, "OnymixBaseline");

    compute_layout_units();
    register_window_class(on_message);
    build_baseline_windows();

    return run_message_loop();
}
