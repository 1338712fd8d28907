// shell.h: the Windows program's global handles, its window and control
// factory, and the routines that build and run its windows.
#pragma once

#include <windows.h>

// The window class of both top-level windows, and what start-up keeps.
extern char class_name[64];
extern HINSTANCE module_instance;
extern int unit_x, unit_y; // pixels per layout unit, horizontally and vertically

// Windows and controls, made once by build_windows and never destroyed.
extern HWND main_window, about_window;
extern HWND name_box, stored_names_box, mode_chooser;

// The window and control factory. Positions and sizes are in layout units;
// a style of 0 asks for the factory's default style, an extended style of
// default_ex_style for its default extended style (buttons and comboboxes).
const DWORD default_style = 0;
const DWORD default_ex_style = 0xFFFFFFFF;
HWND make_top_window(const char *caption, int x, int y, int width, int height, DWORD style,
                     DWORD ex_style);
HWND make_button(const char *caption, HWND parent, int id, int x, int y, int width, int height,
                 DWORD style, DWORD ex_style);
HWND make_label(const char *caption, HWND parent, int id, int x, int y, int width, int height,
                DWORD style, DWORD ex_style);
HWND make_group_box(const char *caption, HWND parent, int id, int x, int y, int width, int height,
                    DWORD style, DWORD ex_style);
HWND make_combo_box(HWND parent, int id, int x, int y, int width, int height, DWORD style,
                    DWORD ex_style);
HFONT make_font(const char *face, int points, int weight, int italic, int underline,
                int strike_out);

// The two edit boxes and the two pictures are placed in pixels and keep the
// system's font. An edit box has a sunken edge; a picture shows the bitmap
// resource named by bitmap_name at its own size.
HWND make_edit_box(HWND parent, int id, int x, int y, int width, int height, DWORD style);
HWND make_picture(const char *bitmap_name, HWND parent, int x, int y);

// The whole text of a window, in a scratch buffer; never null.
char *read_text(HWND window);
void write_text(HWND window, const char *text);

void center_on_screen(HWND window);
void set_topmost(HWND window);
void clear_topmost(HWND window);

// Start-up around the windows: the layout units (before any window), the
// window class "class_name" with the given procedure and the common
// controls, and the message loop, which returns the quit code.
void compute_layout_units();
void register_window_class(WNDPROC procedure);
int run_message_loop();

// Builds the whole user interface (or, with another instance running, only
// posts the quit message).
void build_windows();

// The parts of it that only make the user interface: both windows (the About
// window hidden) with every control, the mode list and the fonts; the menu;
// and the centred, shown, topmost main window.
void make_windows_and_controls();
void build_menu();
void show_main_window();

// The one window procedure of both windows.
LRESULT CALLBACK on_window_message(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
