// menu_probe.cpp: a hook DLL that the end-to-end driver places in the
// program's thread. Wine does not let one process read another's menus or
// font objects, and a control may change the style it was created with, so
// this code, running in the program, logs every window as it is created and,
// on the driver's probe message, sends that log, the floating-point control
// state it read at each command and a description of the menus and fonts
// back as text.
#include "probe.h"

#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

// The text in quotes, with CR and LF escaped so that it stays on one line.
std::string quoted(const char *text) {
    std::string out = "\"";
    for (; *text; text++)
        out += *text == '\r' ? "\\r" : *text == '\n' ? "\\n" : std::string(1, *text);
    return out + "\"";
}

// "menu NAME items N", then "menu NAME I ..." per item; a popup is described
// after its item as NAME/I.
void describe_menu(std::string &out, HMENU menu, const std::string &name) {
    int count = GetMenuItemCount(menu);
    out += "menu " + name + " items " + std::to_string(count) + "\n";
    for (int i = 0; i < count; i++) {
        char text[256] = {};
        MENUITEMINFOA item = {};
        item.cbSize = sizeof item;
        item.fMask = MIIM_FTYPE | MIIM_ID | MIIM_STATE | MIIM_SUBMENU | MIIM_STRING;
        item.dwTypeData = text;
        item.cch = sizeof text;
        GetMenuItemInfoA(menu, static_cast<UINT>(i), TRUE, &item);
        // A popup item's ID is its popup's handle, which says nothing.
        std::string state = (item.fState & MFS_GRAYED) ? " grayed " : " enabled ";
        std::string line = "menu " + name + " " + std::to_string(i);
        if (item.hSubMenu)
            out += line + " popup" + state + quoted(text) + "\n";
        else if (item.fType & MFT_SEPARATOR)
            out += line + " separator id " + std::to_string(item.wID) + "\n";
        else
            out += line + " string id " + std::to_string(item.wID) + state + quoted(text) + "\n";
        if (item.hSubMenu)
            describe_menu(out, item.hSubMenu, name + "/" + std::to_string(i));
    }
}

// One line per direct child: its ID and its font, "none", "gui" for the
// stock GUI font, or the font's face, height, weight and effects (italic,
// underline, strike-out) and its number among the distinct font objects.
void describe_fonts(std::string &out, HWND window, const char *name,
                    std::vector<HFONT> &font_objects) {
    HGDIOBJ gui_font = GetStockObject(DEFAULT_GUI_FONT);
    int i = 0;
    for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        HFONT font = reinterpret_cast<HFONT>(SendMessageA(child, WM_GETFONT, 0, 0));
        out += std::string("font ") + name + " " + std::to_string(i++) + " id " +
               std::to_string(GetDlgCtrlID(child)) + " ";
        LOGFONTA description = {};
        if (!font) {
            out += "none\n";
        } else if (font == gui_font) {
            out += "gui\n";
        } else if (GetObjectA(font, sizeof description, &description) != sizeof description) {
            out += "unreadable\n";
        } else {
            size_t number = std::find(font_objects.begin(), font_objects.end(), font) -
                            font_objects.begin() + 1;
            if (number > font_objects.size())
                font_objects.push_back(font);
            out += quoted(description.lfFaceName) + " height " +
                   std::to_string(description.lfHeight) + " weight " +
                   std::to_string(description.lfWeight) + " effects " +
                   std::to_string(description.lfItalic) + std::to_string(description.lfUnderline) +
                   std::to_string(description.lfStrikeOut) + " object " + std::to_string(number) +
                   "\n";
        }
    }
}

// Every window the program asked for, in order, as the creation hook saw it.
std::string creations;

// The floating-point control state at each command, read before the
// program's window procedure handles it: the state its work runs under.
std::string command_readings;

void read_floating_point_state(unsigned command) {
    unsigned short x87 = 0;
    unsigned int mxcsr = 0;
    __asm__ __volatile__("fnstcw %0" : "=m"(x87));
    __asm__ __volatile__("stmxcsr %0" : "=m"(mxcsr));
    char line[80];
    wsprintfA(line, "fpu at command %u x87 0x%04X mxcsr 0x%08X\n", command, x87, mxcsr);
    command_readings += line;
}

std::string hex(unsigned long value) {
    char text[16];
    wsprintfA(text, "0x%08lX", value);
    return text;
}

void log_creation(HWND window, const CREATESTRUCTA &create) {
    // Only the program's own windows: its two top-level windows and their
    // direct children (not the parts a combobox makes for itself).
    char class_name[64] = {}, parent_class[64] = {}, parent_text[64] = {};
    GetClassNameA(window, class_name, sizeof class_name);
    if (create.hwndParent) {
        GetClassNameA(create.hwndParent, parent_class, sizeof parent_class);
        GetWindowTextA(create.hwndParent, parent_text, sizeof parent_text);
    }
    bool top = !create.hwndParent && lstrcmpA(class_name, "Onymix") == 0;
    if (!top && lstrcmpA(parent_class, "Onymix") != 0)
        return;
    // The parent is named by its caption.
    std::string parent = top ? "none" : quoted(parent_text);
    if (parent == "\"Tavrelon - Onymix\"")
        parent = "main";
    else if (parent == "\"About Onymix\"")
        parent = "about";
    // The manifest's activation context turns "edit" into a versioned name
    // such as "6.0.2600.2982!Edit"; the part after the '!' is the class.
    std::string asked =
        HIWORD(reinterpret_cast<UINT_PTR>(create.lpszClass)) != 0 ? create.lpszClass : class_name;
    asked = asked.substr(asked.find('!') + 1);
    CharLowerA(&asked[0]);
    creations +=
        "create " + asked + " " + (create.lpszName ? quoted(create.lpszName) : "null") + " style " +
        hex(static_cast<unsigned long>(create.style)) + " ex " + hex(create.dwExStyle) + " at " +
        std::to_string(create.x) + " " + std::to_string(create.y) + " size " +
        std::to_string(create.cx) + " " + std::to_string(create.cy) + " id " +
        std::to_string(reinterpret_cast<UINT_PTR>(create.hMenu)) + " parent " + parent + "\n";
}

std::string describe(HWND main_window, HWND about_window) {
    std::string out = creations + command_readings;
    describe_menu(out, GetMenu(main_window), "bar");
    out += GetMenu(about_window) ? "menu about present\n" : "menu about none\n";
    HDC screen = GetDC(nullptr);
    out += "dpi " + std::to_string(GetDeviceCaps(screen, LOGPIXELSY)) + "\n";
    ReleaseDC(nullptr, screen);
    std::vector<HFONT> font_objects;
    describe_fonts(out, main_window, "main", font_objects);
    describe_fonts(out, about_window, "about", font_objects);
    return out;
}

} // namespace

extern "C" __declspec(dllexport) LRESULT CALLBACK
    probe_creation_hook(int code, WPARAM wparam, LPARAM lparam) {
    if (code == HCBT_CREATEWND)
        log_creation(reinterpret_cast<HWND>(wparam),
                     *reinterpret_cast<const CBT_CREATEWNDA *>(lparam)->lpcs);
    return CallNextHookEx(nullptr, code, wparam, lparam);
}

extern "C" __declspec(dllexport) LRESULT CALLBACK
    probe_call_window_proc(int code, WPARAM wparam, LPARAM lparam) {
    static const UINT probe_message = RegisterWindowMessageA(PROBE_MESSAGE_NAME);
    const CWPSTRUCT *call = reinterpret_cast<const CWPSTRUCT *>(lparam);
    if (code == HC_ACTION && call->message == WM_COMMAND)
        read_floating_point_state(LOWORD(call->wParam));
    if (code == HC_ACTION && call->message == probe_message) {
        std::string text = describe(call->hwnd, reinterpret_cast<HWND>(call->wParam));
        COPYDATASTRUCT data = {0, static_cast<DWORD>(text.size()), &text[0]};
        SendMessageA(reinterpret_cast<HWND>(call->lParam), WM_COPYDATA,
                     reinterpret_cast<WPARAM>(call->hwnd), reinterpret_cast<LPARAM>(&data));
    }
    return CallNextHookEx(nullptr, code, wparam, lparam);
}
