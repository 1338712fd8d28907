// cases_windows.cpp: the two windows, their controls and menu as laid out,
// the About window and the topmost band, commands that must change nothing,
// keyboard navigation, pictures of the screen, and the floating-point state
// the generator runs under, as read inside the program.
#include "e2e.h"
#include "probe.h"

#include "../../program/generate.h"

#include <cstdio>
#include <cstring>

namespace {

const int window_width = 288, window_height = 364;

struct control_row {
    const char *what;
    int id;
    const char *class_name;
    const char *text;        // null: not checked
    int x, y, width, height; // height -1: not checked
};

// What the window system made of the program's requests, in creation order
// (which is also the children's z-order). The styles asked for are checked
// in case_creation_requests; the pictures take their size from the bitmaps.
const control_row main_controls[] = {
    {"name box", id_name_box, "Edit", "", 30, 60, 220, 30},
    {"Generate button", id_generate, "Button", "&Generate", 40, 100, 80, 30},
    {"Quit button", id_quit, "Button", "&Quit", 180, 280, 80, 30},
    {"Store button", id_store, "Button", "&Store", 160, 100, 80, 30},
    {"stored-names box", id_stored_names, "Edit", "", 30, 140, 220, 120},
    {"group frame", id_group_frame, "Button", "", 10, 10, 260, 260},
    {"mode chooser", id_mode_chooser, "ComboBox", "Male + Surname", 80, 30, 120, -1},
    {"logo picture", 0, "Static", nullptr, 20, 280, 32, 24},
};

const control_row about_controls[] = {
    {"version label", id_label, "Static", "Onymix " ONYMIX_EXPECTED_PROGRAM_VERSION, 60, 20, 260,
     36},
    {"credits label", id_label, "Static", "       by Tavrelon\r\n\r\nCopyright (C) 2026 Tavrelon",
     60, 40, 240, 80},
    {"Close button", id_close, "Button", "&Close", 190, 300, 80, 30},
    {"About picture", 0, "Static", nullptr, 50, 100, 175, 176},
};

void check_controls(HWND parent, const control_row *rows, size_t count) {
    std::vector<HWND> children = children_of(parent);
    check_number("number of controls", static_cast<long long>(count),
                 static_cast<long long>(children.size()));
    for (size_t i = 0; i < count && i < children.size(); i++) {
        const control_row &row = rows[i];
        HWND control = children[i];
        std::string what = std::string(row.what) + " (control " + std::to_string(i + 1) + ")";
        check_number((what + ", ID").c_str(), row.id, GetDlgCtrlID(control));
        check(lstrcmpiA(class_of(control).c_str(), row.class_name) == 0,
              "%s: class expected %s, came %s", what.c_str(), row.class_name,
              class_of(control).c_str());
        if (row.text)
            check_text((what + ", text").c_str(), row.text, text_of(control));
        check_rect(what.c_str(), control, row.x, row.y, row.width, row.height);
    }
}

RECT centred() {
    int x = (GetSystemMetrics(SM_CXSCREEN) - window_width) / 2;
    int y = (GetSystemMetrics(SM_CYSCREEN) - window_height) / 2;
    return {x, y, x + window_width, y + window_height};
}

// required bits must be set, forbidden ones clear.
void check_style(const char *what, HWND window, DWORD required, DWORD forbidden) {
    DWORD style = static_cast<DWORD>(GetWindowLongPtrA(window, GWL_STYLE));
    check((style & required) == required && !(style & forbidden),
          "%s: style 0x%08lX lacks 0x%08lX or holds some of 0x%08lX", what, style,
          required & ~style, style & forbidden);
}

int z_position(HWND window) {
    int position = 0;
    for (HWND w = GetTopWindow(nullptr); w; w = GetWindow(w, GW_HWNDNEXT), position++)
        if (w == window)
            return position;
    return -1;
}

void check_about_open(const app_run &app, const char *when) {
    RECT r = {}, expected = centred();
    GetWindowRect(app.about, &r);
    check(IsWindowVisible(app.about), "%s: the About window is hidden", when);
    check(EqualRect(&r, &expected), "%s: About window expected at %s, came %s", when,
          rect_shown(expected).c_str(), rect_shown(r).c_str());
    check(is_topmost(app.about), "%s: the About window is not topmost", when);
    check(!is_topmost(app.main), "%s: the main window is still topmost", when);
    check(z_position(app.about) < z_position(app.main),
          "%s: the About window is not above the main window", when);
}

void check_working(const app_run &app, const char *when) {
    check(!IsWindowVisible(app.about), "%s: the About window is shown", when);
    check(IsWindowVisible(app.main), "%s: the main window is hidden", when);
    check(is_topmost(app.main), "%s: the main window is not topmost", when);
}

// What a command could change, seen from outside.
struct state {
    std::string name, stored, chooser;
    LRESULT selection;
    bool main_shown, about_shown, main_topmost, about_topmost;
    RECT main_rect, about_rect;
};

state state_of(const app_run &app) {
    state s;
    s.name = text_of(name_box(app));
    s.stored = text_of(stored_box(app));
    s.chooser = text_of(mode_chooser(app));
    s.selection = send(mode_chooser(app), CB_GETCURSEL);
    s.main_shown = IsWindowVisible(app.main);
    s.about_shown = IsWindowVisible(app.about);
    s.main_topmost = is_topmost(app.main);
    s.about_topmost = is_topmost(app.about);
    GetWindowRect(app.main, &s.main_rect);
    GetWindowRect(app.about, &s.about_rect);
    return s;
}

void check_unchanged(const std::string &after, const app_run &app, const state &before) {
    check(still_running(app), "%s: the program ended", after.c_str());
    if (!still_running(app))
        return;
    state now = state_of(app);
    check_text((after + ": name box").c_str(), before.name, now.name);
    check_text((after + ": stored-names box").c_str(), before.stored, now.stored);
    check_text((after + ": mode chooser").c_str(), before.chooser, now.chooser);
    check_number((after + ": mode selected").c_str(), before.selection, now.selection);
    check(before.main_shown == now.main_shown && before.about_shown == now.about_shown,
          "%s: visibility changed", after.c_str());
    check(before.main_topmost == now.main_topmost && before.about_topmost == now.about_topmost,
          "%s: the topmost band changed", after.c_str());
    check(EqualRect(&before.main_rect, &now.main_rect) &&
              EqualRect(&before.about_rect, &now.about_rect),
          "%s: a window moved", after.c_str());
    check(find_question(app) == nullptr, "%s: a dialog is showing", after.c_str());
}

// ---- The probe inside the program's thread.

std::string probe_reply;

LRESULT CALLBACK receive_probe_reply(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message != WM_COPYDATA)
        return DefWindowProcA(window, message, wparam, lparam);
    const COPYDATASTRUCT *data = reinterpret_cast<const COPYDATASTRUCT *>(lparam);
    probe_reply.assign(static_cast<const char *>(data->lpData), data->cbData);
    return TRUE;
}

// The probe's two hooks on the program's thread, set while it is suspended
// at start so that the creation hook sees every window.
struct probe_hooks {
    HHOOK creation = nullptr, calls = nullptr;
    ~probe_hooks() {
        if (creation)
            UnhookWindowsHookEx(creation);
        if (calls)
            UnhookWindowsHookEx(calls);
    }
};

HOOKPROC hook_proc(HMODULE dll, const char *name) {
    return reinterpret_cast<HOOKPROC>(reinterpret_cast<void (*)()>(GetProcAddress(dll, name)));
}

bool start_probed(app_run &app, probe_hooks &hooks) {
    if (!start(app, "", CREATE_SUSPENDED))
        return false;
    std::string dll = driver_folder + "menu_probe.dll";
    HMODULE probe = LoadLibraryA(dll.c_str());
    DWORD thread = app.process.dwThreadId;
    if (probe) {
        hooks.creation =
            SetWindowsHookExA(WH_CBT, hook_proc(probe, PROBE_CREATION_HOOK_NAME), probe, thread);
        hooks.calls =
            SetWindowsHookExA(WH_CALLWNDPROC, hook_proc(probe, PROBE_HOOK_NAME), probe, thread);
    }
    ResumeThread(app.process.hThread);
    return check(probe != nullptr, "could not load %s", dll.c_str()) &&
           check(hooks.creation && hooks.calls, "could not hook the program's thread (error %lu)",
                 GetLastError()) &&
           wait_for_windows(app);
}

std::string probe_report(const app_run &app) {
    static HWND receiver = nullptr;
    if (!receiver) {
        WNDCLASSA receiver_class = {};
        receiver_class.lpfnWndProc = receive_probe_reply;
        receiver_class.hInstance = GetModuleHandleA(nullptr);
        receiver_class.lpszClassName = "Onymix e2e probe reply";
        RegisterClassA(&receiver_class);
        receiver = CreateWindowExA(0, receiver_class.lpszClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE,
                                   nullptr, receiver_class.hInstance, nullptr);
    }
    probe_reply.clear();
    send(app.main, RegisterWindowMessageA(PROBE_MESSAGE_NAME), reinterpret_cast<WPARAM>(app.about),
         reinterpret_cast<LPARAM>(receiver));
    check(!probe_reply.empty(), "the probe in the program's thread sent no answer");
    return probe_reply;
}

// The lines of a report that start with prefix.
std::string lines_starting(const std::string &report, const std::string &prefix) {
    std::string lines;
    for (size_t at = 0; at < report.size();) {
        size_t end = report.find('\n', at);
        end = end == std::string::npos ? report.size() : end + 1;
        if (report.compare(at, prefix.size(), prefix) == 0)
            lines += report.substr(at, end - at);
        at = end;
    }
    return lines;
}

// Waits until a picture control shows its bitmap, then checks it.
void check_picture_shown(const char *what, HWND control, const picture &bitmap) {
    RECT r = {};
    GetWindowRect(control, &r);
    std::string first;
    int wrong = -1;
    picture shot = capture_until(
        r,
        [&](const picture &shown) {
            return (wrong = mismatched_pixels(bitmap, shown, first)) == 0;
        },
        3000);
    if (wrong == 0)
        return;
    fail("%s on the screen: %d pixels differ from its bitmap (%dx%d shown, %dx%d bitmap); %s", what,
         wrong, shot.width, shot.height, bitmap.width, bitmap.height, first.c_str());
}

} // namespace

void case_main_window_frame() {
    app_run app;
    if (!start_and_wait(app))
        return;
    check_number("windows of class Onymix", 2,
                 static_cast<long long>(windows_of(app.process.dwProcessId, "Onymix").size()));
    RECT r = {}, expected = centred();
    GetWindowRect(app.main, &r);
    check(EqualRect(&r, &expected), "main window: expected %s, came %s",
          rect_shown(expected).c_str(), rect_shown(r).c_str());
    check_style("main window", app.main, WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE,
                WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_CHILD);
    check_number("main window's extended style, topmost aside", 0,
                 GetWindowLongPtrA(app.main, GWL_EXSTYLE) & ~WS_EX_TOPMOST &
                     ~static_cast<LONG_PTR>(WS_EX_WINDOWEDGE));
    check(is_topmost(app.main), "the main window is not topmost after start-up");
    check(GetWindow(app.main, GW_OWNER) == nullptr, "the main window has an owner");
    // The menu bar takes its height from the client area, not the outer size.
    check(GetMenu(app.main) != nullptr, "the main window has no menu bar");
    RECT client = {};
    GetClientRect(app.main, &client);
    AdjustWindowRectEx(&client, static_cast<DWORD>(GetWindowLongPtrA(app.main, GWL_STYLE)), TRUE,
                       static_cast<DWORD>(GetWindowLongPtrA(app.main, GWL_EXSTYLE)));
    check(client.right - client.left == window_width && client.bottom - client.top == window_height,
          "client area with frame, caption and menu bar: expected %d x %d, came %s", window_width,
          window_height, rect_shown(client).c_str());
    check_number("process exit code", 0, quit(app, by_close_message, 0));
}

void case_about_window_frame() {
    app_run app;
    if (!start_and_wait(app))
        return;
    check_text("About window class", "Onymix", class_of(app.about));
    check(!IsWindowVisible(app.about), "the About window is shown at start");
    check_rect("About window at start", app.about, 0, 0, window_width, window_height);
    check_style("About window", app.about, WS_POPUP | WS_CAPTION,
                WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_CHILD);
    check(!is_topmost(app.about), "the About window is topmost at start");
    check(GetWindow(app.about, GW_OWNER) == nullptr, "the About window has an owner");
    check(GetMenu(app.about) == nullptr, "the About window has a menu");
    check_number("process exit code", 0, quit(app, by_close_message, 0));
}

void case_main_window_controls() {
    app_run app;
    if (!start_and_wait(app))
        return;
    check_controls(app.main, main_controls, sizeof main_controls / sizeof *main_controls);
    HWND logo = GetWindow(GetWindow(app.main, GW_CHILD), GW_HWNDLAST);
    check(send(logo, STM_GETIMAGE, IMAGE_BITMAP) != 0, "the logo picture holds no bitmap");
}

void case_about_window_controls() {
    app_run app;
    if (!start_and_wait(app))
        return;
    check_controls(app.about, about_controls, sizeof about_controls / sizeof *about_controls);
    HWND picture_control = GetWindow(GetWindow(app.about, GW_CHILD), GW_HWNDLAST);
    check(send(picture_control, STM_GETIMAGE, IMAGE_BITMAP) != 0,
          "the About picture holds no bitmap");
}

void case_mode_chooser_at_start() {
    static const char *const items[] = {"Female", "Female + Surname", "Male", "Male + Surname",
                                        "Surname"};
    app_run app;
    if (!start_and_wait(app))
        return;
    HWND chooser = mode_chooser(app);
    check_number("items in the mode chooser", 5, send(chooser, CB_GETCOUNT));
    for (int i = 0; i < 5; i++) {
        // Across processes the item text must be asked for in UTF-16.
        wchar_t wide[64] = {};
        DWORD_PTR length = 0;
        SendMessageTimeoutW(chooser, CB_GETLBTEXT, static_cast<WPARAM>(i),
                            reinterpret_cast<LPARAM>(wide), SMTO_NORMAL, 5000, &length);
        char text[64] = {};
        WideCharToMultiByte(CP_ACP, 0, wide, -1, text, sizeof text, nullptr, nullptr);
        check_text(("mode chooser item " + std::to_string(i)).c_str(), items[i], text);
    }
    check_number("mode selected", 3, send(chooser, CB_GETCURSEL));
    check_text("mode chooser's field", "Male + Surname", text_of(chooser));
    check_text("name box", "", text_of(name_box(app)));
    check_text("stored-names box", "", text_of(stored_box(app)));
}

void case_creation_requests() {
    // What the program asks of CreateWindowExA, in order: class, text, style,
    // extended style, position, size, ID (menu handle) and parent.
    static const char *const requests[] = {
        "onymix \"Tavrelon - Onymix\" style 0x80C80000 ex 0x00000000 "
        "at 0 0 size 288 364 id 0 parent none",
        "onymix \"About Onymix\" style 0x80C00000 ex 0x00000000 "
        "at 0 0 size 288 364 id 0 parent none",
        "edit null style 0x50801040 ex 0x00000200 "
        "at 30 60 size 220 30 id 1019 parent main",
        "button \"&Generate\" style 0x50010000 ex 0x00020000 "
        "at 40 100 size 80 30 id 1021 parent main",
        "button \"&Quit\" style 0x50010000 ex 0x00020000 "
        "at 180 280 size 80 30 id 1003 parent main",
        "button \"&Store\" style 0x50010000 ex 0x00020000 "
        "at 160 100 size 80 30 id 1006 parent main",
        "static \"Onymix " ONYMIX_EXPECTED_PROGRAM_VERSION "\" style 0x50000100 ex 0x00000000 "
        "at 60 20 size 260 36 id 1501 parent about",
        "static \"       by Tavrelon\\r\\n\\r\\nCopyright (C) 2026 Tavrelon\" style 0x50000100 "
        "ex 0x00000000 at 60 40 size 240 80 id 1501 parent about",
        "button \"&Close\" style 0x50010000 ex 0x00020000 "
        "at 190 300 size 80 30 id 1016 parent about",
        "edit null style 0x50A000C4 ex 0x00000200 "
        "at 30 140 size 220 120 id 1005 parent main",
        "button \"\" style 0x50000007 ex 0x00000000 "
        "at 10 10 size 260 260 id 1500 parent main",
        "combobox null style 0x50210102 ex 0x00000200 "
        "at 80 30 size 120 70 id 1015 parent main",
        "static \"bmIMAGE\" style 0x5000000E ex 0x00000000 "
        "at 20 280 size 0 0 id 0 parent main",
        "static \"twImage\" style 0x5000000E ex 0x00000000 "
        "at 50 100 size 0 0 id 0 parent about",
    };
    app_run app;
    probe_hooks hooks;
    if (!start_probed(app, hooks))
        return;
    std::string created = lines_starting(probe_report(app), "create ");
    // The window system adds WS_EX_WINDOWEDGE to a window with a caption
    // before the hook sees it; the program asks for extended style 0.
    for (size_t at; (at = created.find("ex 0x00000100")) != std::string::npos;)
        created.replace(at, 13, "ex 0x00000000");
    size_t count = sizeof requests / sizeof *requests, line = 0;
    for (size_t at = 0; at < created.size(); line++) {
        size_t end = created.find('\n', at);
        std::string came = created.substr(at + 7, end - at - 7); // without "create "
        at = end + 1;
        if (line < count)
            check_text(("window " + std::to_string(line + 1) + " created").c_str(), requests[line],
                       came);
    }
    check_number("windows created", static_cast<long long>(count), static_cast<long long>(line));
}

void case_menu_bar() {
    app_run app;
    probe_hooks hooks;
    if (!start_probed(app, hooks))
        return;
    std::string report = probe_report(app);
    if (report.empty())
        return;
    check_text("menus as read inside the program",
               "menu bar items 1\n"
               "menu bar 0 popup enabled \"&Menu\"\n"
               "menu bar/0 items 4\n"
               "menu bar/0 0 string id 1017 enabled \"&About...\"\n"
               "menu bar/0 1 string id 1001 enabled \"&Visit www.tavrelon.com...\"\n"
               "menu bar/0 2 separator id 0\n"
               "menu bar/0 3 string id 1003 enabled \"&Exit\"\n"
               "menu about none\n",
               lines_starting(report, "menu "));
    // The items' commands: About opens the About window, Exit is Quit.
    send(app.main, WM_COMMAND, id_about);
    check_about_open(app, "after the About item");
    check_number("exit code after the Exit item", 0, quit(app, by_exit_command, 0));
}

void case_control_fonts() {
    app_run app;
    probe_hooks hooks;
    if (!start_probed(app, hooks))
        return;
    std::string report = probe_report(app);
    if (report.empty())
        return;
    int dpi = 0;
    std::sscanf(lines_starting(report, "dpi ").c_str(), "dpi %d", &dpi);
    // Each of the two Verdana controls has a font object of its own.
    std::string verdana = "\"Verdana Bold\" height " + std::to_string(-(10 * dpi / 72)) +
                          " weight 0 effects 000 object ";
    check_text("fonts of the controls as read inside the program",
               "font main 0 id 1019 " + verdana + "1\n" +
                   "font main 1 id 1021 gui\n"
                   "font main 2 id 1003 gui\n"
                   "font main 3 id 1006 gui\n"
                   "font main 4 id 1005 none\n"
                   "font main 5 id 1500 gui\n"
                   "font main 6 id 1015 gui\n"
                   "font main 7 id 0 none\n"
                   "font about 0 id 1501 " +
                   verdana + "2\n" +
                   "font about 1 id 1501 gui\n"
                   "font about 2 id 1016 gui\n"
                   "font about 3 id 0 none\n",
               lines_starting(report, "font "));
}

// The floating-point state as each Generate command reaches the window
// procedure, read by the probe in the program's own thread.
void case_generator_precision() {
    app_run app;
    probe_hooks hooks;
    if (!start_probed(app, hooks))
        return;
    std::string came, expected;
    if (generate_in_one_second(app, mode_male_surname, came, expected))
        check_text("name box after Generate", expected, came);
    std::string readings = lines_starting(probe_report(app), "fpu at command 1021 ");
    check(!readings.empty(), "the probe saw no Generate command reach the window procedure");
    for (size_t at = 0; at < readings.size(); at = readings.find('\n', at) + 1) {
        unsigned x87 = 0, mxcsr = 0;
        if (!check(std::sscanf(readings.c_str() + at, "fpu at command 1021 x87 %x mxcsr %x", &x87,
                               &mxcsr) == 2,
                   "unreadable probe line %s", shown(readings.substr(at)).c_str()))
            return;
#if defined(__i386__)
        // 32-bit code computes in the x87 unit: its precision control (bits
        // 8-9) must say 64-bit mantissa, its rounding control (bits 10-11)
        // round to nearest.
        check((x87 >> 8 & 3) == 3,
              "x87 precision control at Generate: expected 11 (64-bit mantissa), came %u%u "
              "(control word 0x%04X)",
              x87 >> 9 & 1, x87 >> 8 & 1, x87);
        check((x87 >> 10 & 3) == 0,
              "x87 rounding control at Generate: expected 00 (to nearest), came %u%u "
              "(control word 0x%04X)",
              x87 >> 11 & 1, x87 >> 10 & 1, x87);
#else
        // 64-bit code computes doubles in SSE registers, where the x87
        // precision control plays no part; what does is MXCSR: rounding
        // (bits 13-14) to nearest, no flushing of tiny results to zero
        // (bit 15) and no treating of tiny inputs as zero (bit 6).
        check((mxcsr >> 13 & 3) == 0 && !(mxcsr & 0x8000) && !(mxcsr & 0x40),
              "MXCSR at Generate: expected rounding 00, flush-to-zero 0 and "
              "denormals-are-zero 0, came 0x%08X",
              mxcsr);
#endif
    }
    check_number("exit code", 0, quit(app, by_close_message, 0));
}

void case_about_and_close() {
    app_run app;
    if (!start_and_wait(app, "Ann\r\n"))
        return;
    check_working(app, "at start");
    send(app.main, WM_COMMAND, id_about);
    check_about_open(app, "after About");
    send(app.main, WM_COMMAND, id_about);
    check_about_open(app, "after About twice");
    // The About window is not modal; clicking in the main window activates
    // it, and the About window stays above.
    click(GetDlgItem(app.main, id_generate));
    click(GetDlgItem(app.main, id_store));
    check_about_open(app, "after Generate and Store");
    check_text("stored-names box", "Ann\r\n\r\n" + text_of(name_box(app)),
               text_of(stored_box(app)));
    click(GetDlgItem(app.about, id_close));
    check_working(app, "after Close");
    send(app.about, WM_COMMAND, id_close);
    check_working(app, "after Close twice");
    send(app.main, WM_COMMAND, id_about);
    check_about_open(app, "after About again");
    check_number("exit code", 0, quit(app, by_quit_button, IDNO));
    check_text("stored.txt", "Ann\r\n", read_file(app.stored_path()));
}

void case_visit_changes_nothing() {
    app_run app;
    if (!start_and_wait(app, "Ann\r\n"))
        return;
    // For this run the handler of http addresses in the test prefix is the
    // driver, which records the address the shell hands it. (Wine reads the
    // handler from HKCR alone, so it is replaced there and put back after.)
    const char handler_key[] = "http\\shell\\open\\command";
    char old_handler[1024] = {};
    DWORD old_size = sizeof old_handler;
    bool had_handler = RegGetValueA(HKEY_CLASSES_ROOT, handler_key, nullptr, RRF_RT_REG_SZ, nullptr,
                                    old_handler, &old_size) == ERROR_SUCCESS;
    std::string record = app.root + "visited.txt";
    std::string handler = "\"" + driver_exe + "\" --record-url \"" + record + "\" \"%1\"";
    check(RegSetKeyValueA(HKEY_CLASSES_ROOT, handler_key, nullptr, REG_SZ, handler.c_str(),
                          static_cast<DWORD>(handler.size() + 1)) == ERROR_SUCCESS,
          "could not register the http handler");

    click(GetDlgItem(app.main, id_generate));
    state before = state_of(app);
    send(app.main, WM_COMMAND, id_visit);
    check_unchanged("after Visit", app, before);
    send(app.main, WM_COMMAND, id_about);
    before = state_of(app);
    send(app.main, WM_COMMAND, id_visit);
    check_unchanged("after Visit with the About window open", app, before);

    const std::string visited = "http://www.tavrelon.com/index.htm\n";
    for (DWORD begin = GetTickCount(); GetTickCount() - begin < 5000; Sleep(20))
        if (read_file(record).size() >= 2 * visited.size())
            break;
    if (had_handler)
        RegSetKeyValueA(HKEY_CLASSES_ROOT, handler_key, nullptr, REG_SZ, old_handler,
                        static_cast<DWORD>(std::strlen(old_handler) + 1));
    else
        RegDeleteKeyA(HKEY_CLASSES_ROOT, handler_key);
    check_text("addresses handed to the http handler", visited + visited, read_file(record));
    check_number("exit code", 0, quit(app, by_close_message, 0));
}

void case_unknown_commands_change_nothing() {
    app_run app;
    if (!start_and_wait(app, "Ann\r\n"))
        return;
    click(GetDlgItem(app.main, id_generate));
    click(GetDlgItem(app.main, id_store));
    set_text(name_box(app), "Typed");
    // Menu-like commands, and the notifications the controls themselves send.
    static const struct {
        int id, code;
        bool from_control, to_about;
    } commands[] = {
        {IDOK, 0, false, false},
        {IDCANCEL, 0, false, false},
        {id_name_box, 0, false, false},
        {id_mode_chooser, 0, false, false},
        {id_group_frame, 0, false, false},
        {id_stored_names, 0, false, false},
        {id_label, 0, false, false},
        {id_name_box, EN_CHANGE, true, false},
        {id_stored_names, EN_CHANGE, true, false},
        {id_mode_chooser, CBN_SELCHANGE, true, false},
        {IDOK, 0, false, true},
        {IDCANCEL, 0, false, true},
        {id_label, 0, false, true},
    };
    state before = state_of(app);
    for (const auto &command : commands) {
        HWND target = command.to_about ? app.about : app.main;
        HWND from = command.from_control ? GetDlgItem(app.main, command.id) : nullptr;
        send(target, WM_COMMAND, MAKEWPARAM(command.id, command.code),
             reinterpret_cast<LPARAM>(from));
        char after[96];
        std::snprintf(after, sizeof after, "after WM_COMMAND %d (code %d) to the %s window",
                      command.id, command.code, command.to_about ? "About" : "main");
        check_unchanged(after, app, before);
        // Each command answers only for what it changed itself.
        if (still_running(app))
            before = state_of(app);
    }
    check_number("exit code", 0, quit(app, by_quit_button, IDNO));
    check_text("stored.txt", "Ann\r\n", read_file(app.stored_path()));
}

void case_tab_order() {
    app_run app;
    if (!start_and_wait(app))
        return;
    HWND chooser = mode_chooser(app);
    auto focus = [&]() {
        GUITHREADINFO info = {};
        info.cbSize = sizeof info;
        GetGUIThreadInfo(app.process.dwThreadId, &info);
        return info.hwndFocus;
    };
    auto focus_name = [&](HWND window) -> std::string {
        if (!window)
            return "nothing";
        if (window == app.main)
            return "the main window";
        if (window == chooser || GetParent(window) == chooser)
            return "mode chooser";
        switch (GetDlgCtrlID(window)) {
        case id_generate:
            return "Generate";
        case id_quit:
            return "Quit";
        case id_store:
            return "Store";
        case id_name_box:
            return "name box";
        case id_stored_names:
            return "stored-names box";
        }
        return "control " + std::to_string(GetDlgCtrlID(window));
    };
    std::string order;
    for (int press = 0; press < 5; press++) {
        HWND before = focus();
        HWND target = before ? before : app.main;
        PostMessageA(target, WM_KEYDOWN, VK_TAB, 0x000F0001);
        PostMessageA(target, WM_KEYUP, VK_TAB, 0xC00F0001);
        DWORD begin = GetTickCount();
        while (focus() == before && GetTickCount() - begin < 2000)
            Sleep(5);
        // The mode chooser hands the focus on to its edit field while it
        // handles getting it; a read in between would see the chooser
        // itself, and the next Tab would then wait only for that hand-over.
        sync(app);
        order += (press ? ", " : "") + focus_name(focus());
    }
    check_text("focus after each of five Tabs", "Generate, Quit, Store, mode chooser, Generate",
               order);
}

void case_screenshots() {
    app_run app;
    if (!start_and_wait(app, "Ann\r\nBob\r\n"))
        return;
    std::string folder = driver_folder + "screenshots\\";
    CreateDirectoryA(folder.c_str(), nullptr);
    click(GetDlgItem(app.main, id_generate));
    check(!text_of(name_box(app)).empty(), "Generate left the name box empty");
    std::string exe = app.folder + "onymix.exe";
    check_picture_shown("the logo picture", GetWindow(GetWindow(app.main, GW_CHILD), GW_HWNDLAST),
                        resource_bitmap(exe, "BMIMAGE"));
    RECT r = {};
    GetWindowRect(app.main, &r);
    save_bmp(capture_screen(r), folder + "main.bmp");

    send(app.main, WM_COMMAND, id_about);
    check_picture_shown("the About picture", GetWindow(GetWindow(app.about, GW_CHILD), GW_HWNDLAST),
                        resource_bitmap(exe, "TWIMAGE"));
    GetWindowRect(app.about, &r);
    save_bmp(capture_screen(r), folder + "about.bmp");
    std::printf("    screenshots in %s\n", folder.c_str());
}
