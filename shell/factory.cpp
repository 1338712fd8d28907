// factory.cpp: the window and control factory. Takes positions and sizes in
// layout units, fills in the program's default styles and gives every new
// window the stock GUI font; also fonts, window texts, centring and the
// topmost switch.
#include "shell.h"

#include "../program/scratch.h"

char class_name[64];
HINSTANCE module_instance;
int unit_x, unit_y;

namespace {

const DWORD default_button_style = WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON;
const DWORD default_label_style = WS_CHILD | WS_VISIBLE | SS_NOTIFY | SS_LEFT;
const DWORD default_group_box_style = WS_CHILD | WS_VISIBLE | BS_GROUPBOX;
const DWORD default_combo_box_style =
    WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_TABSTOP | CBS_SORT | CBS_DROPDOWN;

void use_gui_font(HWND window) {
    SendMessageA(window, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), 0);
}

HWND make_child(const char *window_class, const char *text, HWND parent, int id, int x, int y,
                int width, int height, DWORD style, DWORD ex_style) {
    HWND child =
        CreateWindowExA(ex_style, window_class, text, style, x * unit_x, y * unit_y, width * unit_x,
                        height * unit_y, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                        module_instance, nullptr);
    use_gui_font(child);
    return child;
}

} // namespace

HWND make_top_window(const char *caption, int x, int y, int width, int height, DWORD style,
                     DWORD ex_style) {
    HWND window = CreateWindowExA(ex_style, class_name, caption, style, x * unit_x, y * unit_y,
                                  (width + 4) * unit_x, (height + 12) * unit_y, nullptr, nullptr,
                                  module_instance, nullptr);
    use_gui_font(window);
    return window;
}

HWND make_button(const char *caption, HWND parent, int id, int x, int y, int width, int height,
                 DWORD style, DWORD ex_style) {
    return make_child("button", caption, parent, id, x, y, width, height,
                      style ? style : default_button_style,
                      ex_style == default_ex_style ? WS_EX_STATICEDGE : ex_style);
}

HWND make_label(const char *caption, HWND parent, int id, int x, int y, int width, int height,
                DWORD style, DWORD ex_style) {
    return make_child("static", caption, parent, id, x, y, width, height,
                      style ? style : default_label_style, ex_style);
}

HWND make_group_box(const char *caption, HWND parent, int id, int x, int y, int width, int height,
                    DWORD style, DWORD ex_style) {
    return make_child("button", caption, parent, id, x, y, width, height,
                      style ? style : default_group_box_style, ex_style);
}

HWND make_combo_box(HWND parent, int id, int x, int y, int width, int height, DWORD style,
                    DWORD ex_style) {
    return make_child("Combobox", nullptr, parent, id, x, y, width, height,
                      style ? style : default_combo_box_style,
                      ex_style == default_ex_style ? WS_EX_CLIENTEDGE : ex_style);
}

HFONT make_font(const char *face, int points, int weight, int italic, int underline,
                int strike_out) {
    HDC screen = GetDC(nullptr);
    int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    int height = -(points * dpi / 72);
    return CreateFontA(height, 0, 0, 0, weight, static_cast<DWORD>(italic),
                       static_cast<DWORD>(underline), static_cast<DWORD>(strike_out), ANSI_CHARSET,
                       OUT_TT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                       DEFAULT_PITCH | FF_DONTCARE, face);
}

HWND make_picture(const char *bitmap_name, HWND parent, int x, int y) {
    // A static control with SS_BITMAP loads the bitmap resource named by its
    // text and takes the bitmap's size.
    return CreateWindowExA(0, "static", bitmap_name, WS_CHILD | WS_VISIBLE | SS_BITMAP, x, y, 0, 0,
                           parent, nullptr, module_instance, nullptr);
}

HWND make_edit_box(HWND parent, int id, int x, int y, int width, int height, DWORD style) {
    return CreateWindowExA(WS_EX_CLIENTEDGE, "edit", nullptr, style, x, y, width, height, parent,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), module_instance,
                           nullptr);
}

char *read_text(HWND window) {
    // The whole text, however long: the stored-names box may hold far more
    // than a fixed buffer, and a cut here would lose names at the next save.
    int length = GetWindowTextLengthA(window);
    char *text = scratch(length > 0 ? static_cast<size_t>(length) : 0);
    if (length > 0)
        GetWindowTextA(window, text, length + 1);
    return text;
}

void write_text(HWND window, const char *text) {
    SetWindowTextA(window, text);
}

void center_on_screen(HWND window) {
    RECT r;
    GetWindowRect(window, &r);
    int w = r.right - r.left, h = r.bottom - r.top;
    int sw = GetSystemMetrics(SM_CXSCREEN), sh = GetSystemMetrics(SM_CYSCREEN);
    SetWindowPos(window, HWND_TOP, (sw - w) / 2, (sh - h) / 2, 0, 0, SWP_NOSIZE);
}

void set_topmost(HWND window) {
    SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);
}

void clear_topmost(HWND window) {
    SetWindowPos(window, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);
}
