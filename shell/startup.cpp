// startup.cpp: the Windows program from its entry point to the end of its
// message loop: floating-point precision, the command line, the layout
// units, the window class and the loop.
#include "shell.h"

#include <commctrl.h>
#include <float.h>
#include <cstdlib>
#include <cstring>

namespace {

// Extended precision (64-bit mantissa) for all floating-point work of the
// run. Only the x87 unit of 32-bit builds has a precision control; 64-bit
// builds compute in SSE registers, and the generator is exact in integers
// anyway, so there is nothing to set there.
void set_extended_precision() {
#if defined(__i386__) && defined(__GNUC__)
    unsigned short control = 0;
    __asm__ __volatile__("fnstcw %0" : "=m"(control));
    control |= 0x300;
    __asm__ __volatile__("fldcw %0" : : "m"(control));
#elif defined(_M_IX86)
    _controlfp(_PC_64, _MCW_PC);
#endif
}

int main_procedure(HINSTANCE instance, HINSTANCE, char *, int) {
    std::strcpy(class_name, "Onymix");

    // With no dialog window MapDialogRect fails and leaves the rectangle as
    // it is, which makes both layout units 2 pixels.
    RECT units = {0, 0, 4, 8};
    MapDialogRect(nullptr, &units);
    unit_x = units.right / 2;
    unit_y = units.bottom / 4;

    module_instance = instance;

    WNDCLASSA window_class = {};
    window_class.style = CS_VREDRAW | CS_HREDRAW | CS_OWNDC;
    window_class.lpfnWndProc = on_window_message;
    window_class.hInstance = instance;
    window_class.hIcon = LoadIconA(nullptr, reinterpret_cast<LPCSTR>(IDI_WINLOGO));
    window_class.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    window_class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    window_class.lpszClassName = class_name;
    RegisterClassA(&window_class);

    INITCOMMONCONTROLSEX controls = {sizeof controls, 0x13F};
    InitCommonControlsEx(&controls);

    build_windows();

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

// Skips the program name on the command line and runs the program. The rest
// of the line is passed on but plays no part: the program takes no arguments.
int run_with_command_line() {
    char *line = GetCommandLineA();
    if (*line == '"') {
        char *closing = std::strchr(line + 1, '"');
        if (closing) {
            line = closing + 1;
            while (*line == ' ')
                line++;
        }
    } else {
        while (*line && *line != ' ')
            line++;
        while (*line == ' ')
            line++;
    }
    return main_procedure(GetModuleHandleA(nullptr), nullptr, line, 1);
}

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    set_extended_precision();
    std::exit(run_with_command_line());
}
