// baseline.cpp: the start-up floor for the start-up benchmark. The same user
// interface as onymix.exe, window for window and control for control (class
// fields, styles, texts, IDs, positions, fonts, bitmaps, menu, topmost main
// window and the same message loop), with nothing behind it: no name table,
// no stored-names file, no registry value, none of the commands. The window
// procedure only closes. What onymix.exe costs above this program is the
// name table, the stored names and our own code. It is built from the
// program's own interface code (shell/controls.cpp, factory.cpp and
// window_class.cpp, with the scratch ring the factory uses and the mode
// labels the chooser shows), so the two cannot drift apart.
//
// The class is "OnymixBaseline" so that it can never be taken for a running
// instance of the program; the main window has the program's caption, which
// is what the probe waits for.
#include "../../shell/shell.h"

#include <cstring>

namespace {

LRESULT CALLBACK on_message(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wparam, lparam);
}

} // namespace

int WINAPI WinMain(HINSTANCE module, HINSTANCE, LPSTR, int) {
    module_instance = module;
    std::strcpy(class_name, "OnymixBaseline");

    compute_layout_units();
    register_window_class(on_message);
    make_windows_and_controls();
    build_menu();
    show_main_window();

    return run_message_loop();
}
