// startup.cpp: the Windows program from its entry point to the end of its
// message loop: floating-point precision, the command line, the layout
// units, the window class and the loop.
#include "shell.h"

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
    const unsigned short precision_64_bits = 0x300; // the control word's precision field
    unsigned short control = 0;
    __asm__ __volatile__("fnstcw %0" : "=m"(control));
    control |= precision_64_bits;
    __asm__ __volatile__("fldcw %0" : : "m"(control));
#elif defined(_M_IX86)
    _controlfp(_PC_64, _MCW_PC);
#endif
}

int main_procedure(HINSTANCE instance, HINSTANCE, char *, int) {
    std::strcpy(class_name, "Onymix");
    compute_layout_units();
    module_instance = instance;
    register_window_class(on_window_message);
    build_windows();
    return run_message_loop();
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
