// controls.cpp: the program's user interface: the main window with its
// controls and menu, and the About window. Only windows, controls, fonts and
// the menu are made here; what fills them is build_windows's.
#include "ids.h"
#include "shell.h"

#include "../names/modes.h"
#include "../program/scratch.h"
#include "version.h"

HWND main_window, about_window;
HWND name_box, stored_names_box, mode_chooser;

namespace {

HWND generate_button, quit_button, store_button;
HWND version_label, credits_label, close_button;
HWND group_frame, logo_picture, about_picture;
HMENU menu_bar, menu_popup;

const char product_version[] = ONYMIX_PROGRAM_VERSION;
const char credits[] = "       by Tavrelon\r\n\r\nCopyright (C) 2026 Tavrelon";

// The modes in the order their labels are added; the list sorts them, and
// its positions are then the mode numbers.
const int modes_in_adding_order[mode_count] = {mode_male, mode_female, mode_male_surname,
                                               mode_female_surname, mode_surname};

} // namespace

void make_windows_and_controls() {
    main_window =
        make_top_window("Tavrelon - Onymix", 0, 0, 140, 170, WS_POPUP | WS_CAPTION | WS_SYSMENU, 0);
    about_window = make_top_window("About Onymix", 0, 0, 140, 170, WS_POPUP | WS_CAPTION, 0);
    ShowWindow(about_window, SW_HIDE);

    name_box = make_edit_box(main_window, IDC_NAME_BOX, 30, 60, 220, 30,
                             WS_CHILD | WS_VISIBLE | WS_BORDER | ES_WANTRETURN | ES_AUTOVSCROLL);
    generate_button =
        make_button("&Generate", main_window, IDC_GENERATE, 20, 50, 40, 15, 0, default_ex_style);
    quit_button = make_button("&Quit", main_window, IDC_QUIT, 90, 140, 40, 15, default_style,
                              default_ex_style);
    store_button = make_button("&Store", main_window, IDC_STORE, 80, 50, 40, 15, default_style,
                               default_ex_style);
    version_label = make_label(join({"Onymix ", product_version}), about_window, IDC_LABEL, 30, 10,
                               130, 18, default_style, 0);
    credits_label = make_label(credits, about_window, IDC_LABEL, 30, 20, 120, 40, default_style, 0);
    close_button = make_button("&Close", about_window, IDC_CLOSE, 95, 150, 40, 15, default_style,
                               default_ex_style);
    stored_names_box = make_edit_box(main_window, IDC_STORED_NAMES, 30, 140, 220, 120,
                                     WS_CHILD | WS_VISIBLE | WS_BORDER | WS_VSCROLL | ES_MULTILINE |
                                         ES_AUTOVSCROLL | ES_AUTOHSCROLL);
    // The stored names may grow well past an edit control's default limit;
    // typing, Store and the load must never be refused for length.
    SendMessageA(stored_names_box, EM_SETLIMITTEXT, 0, 0);
    group_frame =
        make_group_box("", main_window, IDC_GROUP_FRAME, 5, 5, 130, 130, default_style, 0);
    mode_chooser = make_combo_box(main_window, IDC_MODE_CHOOSER, 40, 15, 60, 35, default_style,
                                  default_ex_style);
    logo_picture = make_picture("bmIMAGE", main_window, 20, 280);
    about_picture = make_picture("twImage", about_window, 50, 100);

    for (int i = 0; i < mode_count; i++)
        SendMessageA(mode_chooser, CB_ADDSTRING, static_cast<WPARAM>(i),
                     reinterpret_cast<LPARAM>(mode_labels[modes_in_adding_order[i]]));
    SendMessageA(mode_chooser, CB_SETCURSEL, mode_male_surname, 0);

    HFONT version_font = make_font("Verdana Bold", 10, FW_DONTCARE, FALSE, FALSE, FALSE);
    SendMessageA(version_label, WM_SETFONT, reinterpret_cast<WPARAM>(version_font), 1);
    HFONT name_font = make_font("Verdana Bold", 10, FW_DONTCARE, FALSE, FALSE, FALSE);
    SendMessageA(name_box, WM_SETFONT, reinterpret_cast<WPARAM>(name_font), 1);
}

void build_menu() {
    menu_bar = CreateMenu();
    menu_popup = CreateMenu();
    AppendMenuA(menu_popup, MF_STRING, IDC_ABOUT, "&About...");
    AppendMenuA(menu_popup, MF_STRING, IDC_VISIT, "&Visit " MAKER_HOST "...");
    AppendMenuA(menu_popup, MF_SEPARATOR, 0, "");
    AppendMenuA(menu_popup, MF_STRING, IDC_QUIT, "&Exit");
    // The bar is empty, so inserting before any item appends the popup.
    InsertMenuA(menu_bar, IDM_MENU_INSERT_AT, MF_BYCOMMAND | MF_POPUP,
                reinterpret_cast<UINT_PTR>(menu_popup), "&Menu");
    SetMenu(main_window, menu_bar);
}

void show_main_window() {
    center_on_screen(main_window);
    ShowWindow(group_frame, SW_SHOW);
    ShowWindow(name_box, SW_SHOW);
    ShowWindow(generate_button, SW_SHOW);
    ShowWindow(mode_chooser, SW_SHOW);
    ShowWindow(main_window, SW_SHOW);
    set_topmost(main_window);
}
