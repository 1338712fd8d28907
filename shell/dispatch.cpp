// dispatch.cpp: the window procedure of both windows. Every button and menu
// command is handled here to its end, by a chain of independent tests on the
// command ID in a fixed order.
#include "ids.h"
#include "shell.h"

#include "../program/generate.h"
#include "../program/stored_names.h"

#include <shellapi.h>

namespace {

// Hands the maker's home page to the system's handler. shell32 is loaded
// only here, when the page is asked for: it is a large library that nothing
// else in the program needs, and importing it would add to every start-up.
void open_home_page() {
    HMODULE shell = LoadLibraryExA("shell32.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    FARPROC found = shell ? GetProcAddress(shell, "ShellExecuteA") : nullptr;
    if (!found)
        return;
    auto shell_execute =
        reinterpret_cast<decltype(&ShellExecuteA)>(reinterpret_cast<void (*)()>(found));
    shell_execute(nullptr, nullptr, MAKER_HOME_PAGE, nullptr, nullptr, SW_HIDE);
}

} // namespace

LRESULT CALLBACK on_window_message(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
    case WM_COMMAND: {
        int id = LOWORD(wparam);
        if (id == IDC_ABOUT) {
            center_on_screen(about_window);
            ShowWindow(about_window, SW_SHOW);
            clear_topmost(main_window);
            set_topmost(about_window);
        }
        if (id == IDC_CLOSE) {
            ShowWindow(about_window, SW_HIDE);
            set_topmost(main_window);
        }
        if (id == IDC_STORE)
            store_name();
        if (id == IDC_GENERATE)
            generate_command();
        if (id == IDC_VISIT)
            open_home_page();
        if (id == IDC_QUIT) {
            offer_save_on_quit();
            return 0;
        }
        return DefWindowProcA(window, message, wparam, lparam);
    }
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        // WM_CLOSE included: the default destroys the window.
        return DefWindowProcA(window, message, wparam, lparam);
    }
}
