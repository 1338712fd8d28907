// window_class.cpp: what start-up does around building the windows: the
// layout units, the window class with the common controls, and the message
// loop.
#include "shell.h"

#include <commctrl.h>

void compute_layout_units() {
    // With no dialog window MapDialogRect fails and leaves the rectangle as
    // it is, which makes both layout units 2 pixels.
    RECT units = {0, 0, 4, 8};
    MapDialogRect(nullptr, &units);
    unit_x = units.right / 2;
    unit_y = units.bottom / 4;
}

void register_window_class(WNDPROC procedure) {
    WNDCLASSA window_class = {};
    window_class.style = CS_VREDRAW | CS_HREDRAW | CS_OWNDC;
    window_class.lpfnWndProc = procedure;
    window_class.hInstance = module_instance;
    window_class.hIcon = LoadIconA(nullptr, reinterpret_cast<LPCSTR>(IDI_WINLOGO));
    window_class.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    window_class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    window_class.lpszClassName = class_name;
    RegisterClassA(&window_class);

    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_LISTVIEW_CLASSES | ICC_TREEVIEW_CLASSES |
                                                          ICC_BAR_CLASSES | ICC_TAB_CLASSES |
                                                          ICC_UPDOWN_CLASS | ICC_PROGRESS_CLASS |
                                                          ICC_DATE_CLASSES};
    InitCommonControlsEx(&controls);
}

int run_message_loop() {
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        // Dialog keyboard handling (Tab, Enter, Alt+letter) in whichever of
        // the program's windows is active.
        if (IsWindow(GetActiveWindow()) && IsDialogMessageA(GetActiveWindow(), &message))
            continue;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return static_cast<int>(message.wParam);
}
