// e2e.h: the end-to-end driver's helpers: failure counting with readable
// messages, a copy of onymix.exe started in a folder of its own, its windows
// and controls seen from outside, files and the registry record.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

// Command and control IDs of the program, as its users' tools see them.
const int id_visit = 1001;
const int id_quit = 1003; // the Quit button and the Exit menu item
const int id_stored_names = 1005;
const int id_store = 1006;
const int id_mode_chooser = 1015;
const int id_close = 1016;
const int id_about = 1017;
const int id_name_box = 1019;
const int id_generate = 1021;
const int id_group_frame = 1500;
const int id_label = 1501;

const char question_text[] = "Save stored names to file?";

// ---- Results of the running case.

void begin_case(const char *name);
int case_failures();
void fail(const char *format, ...) __attribute__((format(printf, 1, 2)));
bool check(bool ok, const char *format, ...) __attribute__((format(printf, 2, 3)));
bool check_text(const char *what, const std::string &expected, const std::string &came);
bool check_number(const char *what, long long expected, long long came);
// Bytes as a quoted C-like string: \r, \n, \t and other control bytes escaped.
std::string shown(const std::string &bytes);

// ---- Texts, files and the registry. Texts and paths are UTF-8.

std::wstring wide(const std::string &text);
std::string utf8(const std::wstring &text);

std::string read_file(const std::string &path, bool *exists = nullptr);
bool write_file(const std::string &path, const std::string &bytes);
bool path_exists(const std::string &path);
bool is_folder(const std::string &path);
bool make_folder(const std::string &path);
// The names in a folder (path ending in a backslash), sorted, joined by ", ".
std::string folder_listing(const std::string &folder);
void remove_tree(const std::string &path);

// The value "Path" of HKCU\Software\Tavrelon\Onymix 1.0; "<missing>" when
// absent. type receives its registry type.
std::string registry_path_value(DWORD *type = nullptr);
void set_registry_path_value(const std::string &text);

// ---- The program under test.

// onymix.exe as the driver was given it, in Windows form.
extern std::string program_exe;
// The driver itself, and its folder ending in a backslash.
extern std::string driver_exe, driver_folder;

// One copy of the program in a fresh temporary folder: root\ holds the
// program's folder (app\ unless named otherwise), with onymix.exe, and the
// program's standard error. The destructor ends the program if it still
// runs and removes the folders.
struct app_run {
    std::string root, folder, stderr_path;
    PROCESS_INFORMATION process = {};
    HWND main = nullptr, about = nullptr;
    explicit app_run(const std::string &folder_name = "app");
    ~app_run();
    app_run(const app_run &) = delete;
    app_run &operator=(const app_run &) = delete;
    std::string stored_path() const {
        return folder + "stored.txt";
    }
    std::string stderr_text() const;
};

// Starts the program with a command line (by default its quoted path), the
// case root as working folder and the standard error into a file.
bool start(app_run &app, const std::string &command_line = "", DWORD creation_flags = 0);
// Waits until the main window is visible and the program answers messages.
bool wait_for_windows(app_run &app);
// Both, with stored.txt holding bytes beforehand (or missing).
bool start_and_wait(app_run &app);
bool start_and_wait(app_run &app, const std::string &stored);
bool still_running(const app_run &app);

// Top-level windows of a process, optionally only those of one class.
std::vector<HWND> windows_of(DWORD process_id, const char *class_name = nullptr);
std::string class_of(HWND window);
// The question's dialog of the program when it is showing.
HWND find_question(const app_run &app);

enum quit_way { by_quit_button, by_exit_command, by_close_message, by_close_box, by_closing_about };
// Ends the run the given way and waits for the process. answer is IDYES or
// IDNO for a question that must come (its text, caption, owner and buttons
// are checked), or 0 when no question may come. Returns the exit code, or -1
// when the program had to be ended by force.
int quit(app_run &app, quit_way way, int answer);
int wait_for_exit(app_run &app, int answer);
// Asks the program to end the given way, without waiting for it.
void begin_quit(const app_run &app, quit_way way);

// A visible dialog of the program other than not_this, waited for up to
// 10 s; null, and a failure, when none comes.
HWND wait_for_dialog(const app_run &app, HWND not_this = nullptr);
// Checks a message box of the program: its text (read whole, with the wide
// call), the caption "Onymix", its owner, exactly the buttons listed and
// the icon, a system icon such as IDI_QUESTION, as it shows on the screen.
void check_message_box(HWND box, const std::string &text, HWND owner,
                       const std::vector<int> &buttons, LPCSTR icon);
// The same for the boxes that report a failure, which show IDI_ERROR.
void check_error_box(HWND box, const std::string &text, HWND owner,
                     const std::vector<int> &buttons);

// ---- Windows and controls of another process.

// SendMessageTimeout with 5 s; a program that does not answer is a failure.
LRESULT send(HWND window, UINT message, WPARAM wparam = 0, LPARAM lparam = 0);
// Waits until the program's thread has handled everything sent before.
void sync(const app_run &app);
std::string text_of(HWND window);
// The text through the wide call, as UTF-8: whole whatever the code page.
std::string wide_text_of(HWND window);
void set_text(HWND window, const std::string &text);
void click(HWND button);
HWND name_box(const app_run &app);
HWND stored_box(const app_run &app);
HWND mode_chooser(const app_run &app);
// The direct children of a window in z-order (creation order for the program).
std::vector<HWND> children_of(HWND parent);
// A window's rectangle in its parent's client coordinates (screen
// coordinates for a top-level window).
RECT rect_in_parent(HWND window);
bool is_topmost(HWND window);
std::string rect_shown(const RECT &r);
bool check_rect(const char *what, HWND window, int x, int y, int width, int height);
// Generates in mode (selected first) and returns what the name box shows,
// with expected set to the core's name for the same whole second of uptime.
bool generate_in_one_second(const app_run &app, int mode, std::string &came, std::string &expected);

// ---- Screen pictures.

struct picture {
    int width = 0, height = 0;
    std::vector<unsigned> pixels; // 0xRRGGBB, rows from the top
};
picture capture_screen(const RECT &area);
// The area read off the screen again and again until shows(picture) holds
// or timeout_ms have passed: a window can be visible to Win32 a moment
// before the display shows it painted. The last picture read.
picture capture_until(const RECT &area, const std::function<bool(const picture &)> &shows,
                      DWORD timeout_ms);
bool save_bmp(const picture &image, const std::string &path);
// A bitmap resource of an executable, as it would be drawn.
picture resource_bitmap(const std::string &module_path, const char *name);
// A system icon (IDI_QUESTION...) drawn at the size given on background.
picture system_icon(LPCSTR id, int width, int height, unsigned background);
// Pixels of shot that break a one-to-one colour mapping from expected (so a
// monochrome bitmap drawn in any two colours still matches); -1 when the
// sizes differ. first describes the first such pixel.
int mismatched_pixels(const picture &expected, const picture &shot, std::string &first);
