// harness.cpp: failure counting, files, the registry record, and starting,
// watching and ending copies of onymix.exe from outside the program. Paths
// are UTF-8 here and meet the system through its wide calls, so that the
// program can be run in folders whose names the code page cannot spell.
#include "e2e.h"

#include "../../program/generate.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>

std::string program_exe;
std::string driver_exe, driver_folder;

namespace {

const char *current_case = "";
int failures = 0;
int run_number = 0;
const char registry_key[] = "Software\\Tavrelon\\Onymix 1.0";
const DWORD start_timeout_ms = 10000;
const DWORD exit_timeout_ms = 10000;

std::string vformat(const char *format, va_list arguments) {
    char text[2048];
    std::vsnprintf(text, sizeof text, format, arguments);
    return text;
}

// Where two texts first differ, for texts too long to print whole.
std::string difference(const std::string &expected, const std::string &came) {
    size_t at = 0;
    while (at < expected.size() && at < came.size() && expected[at] == came[at])
        at++;
    size_t from = at > 20 ? at - 20 : 0;
    return "lengths " + std::to_string(expected.size()) + " and " + std::to_string(came.size()) +
           ", first difference at byte " + std::to_string(at) + ": expected ..." +
           shown(expected.substr(from, 60)) + "... came ..." + shown(came.substr(from, 60)) + "...";
}

} // namespace

void begin_case(const char *name) {
    current_case = name;
    failures = 0;
}

int case_failures() {
    return failures;
}

void fail(const char *format, ...) {
    va_list arguments;
    va_start(arguments, format);
    std::printf("  FAIL %s: %s\n", current_case, vformat(format, arguments).c_str());
    va_end(arguments);
    std::fflush(stdout);
    failures++;
}

bool check(bool ok, const char *format, ...) {
    if (ok)
        return true;
    va_list arguments;
    va_start(arguments, format);
    fail("%s", vformat(format, arguments).c_str());
    va_end(arguments);
    return false;
}

bool check_text(const char *what, const std::string &expected, const std::string &came) {
    if (expected == came)
        return true;
    if (expected.size() > 200 || came.size() > 200)
        fail("%s: %s", what, difference(expected, came).c_str());
    else
        fail("%s: expected %s, came %s", what, shown(expected).c_str(), shown(came).c_str());
    return false;
}

bool check_number(const char *what, long long expected, long long came) {
    return check(expected == came, "%s: expected %lld, came %lld", what, expected, came);
}

std::string shown(const std::string &bytes) {
    std::string text = "\"";
    for (unsigned char c : bytes) {
        char escape[8];
        if (c == '\r')
            text += "\\r";
        else if (c == '\n')
            text += "\\n";
        else if (c == '\t')
            text += "\\t";
        else if (c == '"' || c == '\\')
            text += std::string("\\") + static_cast<char>(c);
        else if (c < 0x20 || c >= 0x7F) {
            std::snprintf(escape, sizeof escape, "\\x%02X", c);
            text += escape;
        } else
            text += static_cast<char>(c);
    }
    return text + "\"";
}

// ---- Texts, files and the registry.

std::wstring wide(const std::string &text) {
    int units =
        MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring converted(static_cast<size_t>(units), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &converted[0],
                        units);
    return converted;
}

std::string utf8(const std::wstring &text) {
    int bytes = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr,
                                    0, nullptr, nullptr);
    std::string converted(static_cast<size_t>(bytes), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &converted[0],
                        bytes, nullptr, nullptr);
    return converted;
}

std::string read_file(const std::string &path, bool *exists) {
    std::string bytes;
    std::FILE *file = _wfopen(wide(path).c_str(), L"rb");
    if (exists)
        *exists = file != nullptr;
    if (!file)
        return bytes;
    char block[65536];
    size_t got;
    while ((got = std::fread(block, 1, sizeof block, file)) > 0)
        bytes.append(block, got);
    std::fclose(file);
    return bytes;
}

bool write_file(const std::string &path, const std::string &bytes) {
    std::FILE *file = _wfopen(wide(path).c_str(), L"wb");
    bool ok = file && std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    if (file)
        ok = std::fclose(file) == 0 && ok;
    return check(ok, "could not write %s", path.c_str());
}

bool path_exists(const std::string &path) {
    return GetFileAttributesW(wide(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool is_folder(const std::string &path) {
    DWORD attributes = GetFileAttributesW(wide(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool make_folder(const std::string &path) {
    return check(CreateDirectoryW(wide(path).c_str(), nullptr) != 0, "could not make the folder %s",
                 path.c_str());
}

namespace {

// The names in a folder (path ending in a backslash) other than . and ..
std::vector<std::string> names_in(const std::string &folder) {
    std::vector<std::string> names;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(wide(folder + "*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return names;
    do {
        std::string name = utf8(found.cFileName);
        if (name != "." && name != "..")
            names.push_back(name);
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return names;
}

} // namespace

std::string folder_listing(const std::string &folder) {
    std::vector<std::string> names = names_in(folder);
    std::sort(names.begin(), names.end());
    std::string listing;
    for (const std::string &name : names)
        listing += (listing.empty() ? "" : ", ") + name;
    return listing;
}

void remove_tree(const std::string &path) {
    if (!is_folder(path)) {
        SetFileAttributesW(wide(path).c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileW(wide(path).c_str());
        return;
    }
    for (const std::string &name : names_in(path + "\\"))
        remove_tree(path + "\\" + name);
    RemoveDirectoryW(wide(path).c_str());
}

std::string registry_path_value(DWORD *type) {
    HKEY key;
    if (type)
        *type = REG_NONE;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, registry_key, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return "<missing>";
    wchar_t data[4096] = {};
    DWORD size = sizeof data - sizeof *data, value_type = REG_NONE;
    LONG result =
        RegQueryValueExW(key, L"Path", nullptr, &value_type, reinterpret_cast<BYTE *>(data), &size);
    RegCloseKey(key);
    if (type)
        *type = value_type;
    if (result != ERROR_SUCCESS)
        return "<missing>";
    std::wstring text(data, size / sizeof *data);
    // REG_SZ data may or may not carry its NUL.
    while (!text.empty() && text.back() == L'\0')
        text.pop_back();
    return utf8(text);
}

void set_registry_path_value(const std::string &text) {
    HKEY key;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, registry_key, 0, nullptr, 0, KEY_WRITE, nullptr, &key,
                        nullptr) != ERROR_SUCCESS) {
        fail("could not create the registry key %s", registry_key);
        return;
    }
    std::wstring data = wide(text);
    RegSetValueExW(key, L"Path", 0, REG_SZ, reinterpret_cast<const BYTE *>(data.c_str()),
                   static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
}

// ---- The program under test.

app_run::app_run(const std::string &folder_name) {
    wchar_t temp[MAX_PATH] = {}, long_temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    if (!GetLongPathNameW(temp, long_temp, MAX_PATH))
        lstrcpynW(long_temp, temp, MAX_PATH);
    root = utf8(long_temp) + "onymix-e2e-" + std::to_string(GetCurrentProcessId()) + "-" +
           std::to_string(++run_number) + "\\";
    folder = root + folder_name + "\\";
    stderr_path = root + "stderr.txt";
    remove_tree(root.substr(0, root.size() - 1));
    make_folder(root);
    make_folder(folder);
    check(CopyFileW(wide(program_exe).c_str(), wide(folder + "onymix.exe").c_str(), FALSE) != 0,
          "could not copy %s into %s", program_exe.c_str(), folder.c_str());
}

app_run::~app_run() {
    if (process.hProcess) {
        if (still_running(*this)) {
            TerminateProcess(process.hProcess, 99);
            WaitForSingleObject(process.hProcess, 5000);
        }
        CloseHandle(process.hProcess);
        CloseHandle(process.hThread);
    }
    remove_tree(root.substr(0, root.size() - 1));
}

std::string app_run::stderr_text() const {
    return read_file(stderr_path);
}

bool start(app_run &app, const std::string &command_line, DWORD creation_flags) {
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    HANDLE error =
        CreateFileW(wide(app.stderr_path).c_str(), GENERIC_WRITE,
                    FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit, CREATE_ALWAYS, 0, nullptr);
    HANDLE input = CreateFileA("NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                               OPEN_EXISTING, 0, nullptr);
    HANDLE output = CreateFileA("NUL", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                                OPEN_EXISTING, 0, nullptr);
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = input;
    startup.hStdOutput = output;
    startup.hStdError = error;
    std::string exe = app.folder + "onymix.exe";
    std::wstring line = wide(command_line.empty() ? "\"" + exe + "\"" : command_line);
    std::vector<wchar_t> writable(line.begin(), line.end());
    writable.push_back(L'\0');
    BOOL started =
        CreateProcessW(wide(exe).c_str(), writable.data(), nullptr, nullptr, TRUE, creation_flags,
                       nullptr, wide(app.root).c_str(), &startup, &app.process);
    CloseHandle(error);
    CloseHandle(input);
    CloseHandle(output);
    return check(started != 0, "could not start %s (error %lu)", exe.c_str(), GetLastError());
}

bool still_running(const app_run &app) {
    return app.process.hProcess && WaitForSingleObject(app.process.hProcess, 0) == WAIT_TIMEOUT;
}

namespace {

struct window_search {
    DWORD process_id;
    const char *class_name;
    std::vector<HWND> found;
};

BOOL CALLBACK collect_window(HWND window, LPARAM context) {
    window_search &search = *reinterpret_cast<window_search *>(context);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == search.process_id && (!search.class_name || class_of(window) == search.class_name))
        search.found.push_back(window);
    return TRUE;
}

} // namespace

std::vector<HWND> windows_of(DWORD process_id, const char *class_name) {
    window_search search = {process_id, class_name, {}};
    EnumWindows(collect_window, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::string class_of(HWND window) {
    char name[256] = {};
    GetClassNameA(window, name, sizeof name);
    return name;
}

bool wait_for_windows(app_run &app) {
    DWORD begin = GetTickCount();
    while (GetTickCount() - begin < start_timeout_ms) {
        if (!still_running(app)) {
            DWORD code = 0;
            GetExitCodeProcess(app.process.hProcess, &code);
            fail("the program ended during start-up with exit code %lu; its standard error: %s",
                 code, shown(app.stderr_text()).c_str());
            return false;
        }
        app.main = app.about = nullptr;
        for (HWND window : windows_of(app.process.dwProcessId, "Onymix")) {
            std::string caption = text_of(window);
            if (caption == "Tavrelon - Onymix")
                app.main = window;
            else if (caption == "About Onymix")
                app.about = window;
        }
        if (app.main && app.about && IsWindowVisible(app.main)) {
            sync(app);
            return true;
        }
        Sleep(10);
    }
    fail("no visible window \"Tavrelon - Onymix\" with an \"About Onymix\" beside it within %lu ms",
         start_timeout_ms);
    return false;
}

bool start_and_wait(app_run &app) {
    return start(app) && wait_for_windows(app);
}

bool start_and_wait(app_run &app, const std::string &stored) {
    return write_file(app.stored_path(), stored) && start_and_wait(app);
}

HWND find_question(const app_run &app) {
    for (HWND window : windows_of(app.process.dwProcessId, "#32770"))
        if (IsWindowVisible(window))
            return window;
    return nullptr;
}

namespace {

// Waits until a dialog's thread has handled what was sent before and the
// dialog has painted itself.
void sync_dialog(HWND dialog) {
    send(dialog, WM_NULL);
    RedrawWindow(dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    send(dialog, WM_NULL);
}

const struct {
    LPCSTR id;
    const char *name;
} message_box_icons[] = {{IDI_ERROR, "error"},
                         {IDI_QUESTION, "question"},
                         {IDI_WARNING, "warning"},
                         {IDI_INFORMATION, "information"}};

const char *icon_name(LPCSTR id) {
    for (const auto &icon : message_box_icons)
        if (icon.id == id)
            return icon.name;
    return "unknown";
}

// Pixels of shot that differ from expected by more than a rounding in any
// colour channel; -1 when the sizes differ.
int differing_pixels(const picture &expected, const picture &shot) {
    if (expected.width != shot.width || expected.height != shot.height)
        return -1;
    int count = 0;
    for (size_t i = 0; i < shot.pixels.size(); i++)
        for (int channel = 0; channel < 24; channel += 8) {
            int want = expected.pixels[i] >> channel & 0xFF, got = shot.pixels[i] >> channel & 0xFF;
            if (want - got > 2 || got - want > 2) {
                count++;
                break;
            }
        }
    return count;
}

// The icon of a message box as the screen shows it, against each system
// icon a message box can show, drawn by the system on the box's background.
void check_box_icon(HWND box, LPCSTR expected) {
    HWND icon = nullptr;
    for (HWND child : children_of(box))
        if (class_of(child) == "Static" &&
            (GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON)
            icon = child;
    if (!check(icon != nullptr, "the message box shows no icon"))
        return;
    // Read again until the display shows the box painted; a failure reports
    // what it showed last.
    RECT area;
    GetWindowRect(icon, &area);
    LPCSTR closest = nullptr;
    int closest_count = -1, expected_count = -1;
    bool matches = false;
    sync_dialog(box);
    picture shot = capture_until(
        area,
        [&](const picture &shown) {
            if (shown.pixels.empty())
                return true;
            // The icons leave their corners clear, so a corner shows the background.
            unsigned background = shown.pixels[0];
            closest = nullptr;
            closest_count = expected_count = -1;
            for (const auto &candidate : message_box_icons) {
                int count = differing_pixels(
                    system_icon(candidate.id, shown.width, shown.height, background), shown);
                if (candidate.id == expected)
                    expected_count = count;
                if (count >= 0 && (closest_count < 0 || count < closest_count)) {
                    closest = candidate.id;
                    closest_count = count;
                }
            }
            matches =
                closest == expected && expected_count * 50 <= static_cast<int>(shown.pixels.size());
            return matches;
        },
        3000);
    if (!check(!shot.pixels.empty(), "the message box's icon has no size"))
        return;
    check(matches,
          "the message box's icon (%d x %d pixels) is not the %s icon: %d pixels differ from "
          "that, %d from the %s icon",
          shot.width, shot.height, icon_name(expected), expected_count, closest_count,
          icon_name(closest));
}

} // namespace

void check_message_box(HWND box, const std::string &text, HWND owner,
                       const std::vector<int> &buttons, LPCSTR icon) {
    // A message box shows its text in the static control 0xFFFF.
    check_text("the message box's text", text, wide_text_of(GetDlgItem(box, 0xFFFF)));
    check_text("the message box's caption", "Onymix", text_of(box));
    check(GetWindow(box, GW_OWNER) == owner, "the message box's owner is %p, not %p",
          static_cast<void *>(GetWindow(box, GW_OWNER)), static_cast<void *>(owner));
    static const struct {
        int id;
        const char *name;
    } all_buttons[] = {{IDOK, "OK"},       {IDCANCEL, "Cancel"}, {IDABORT, "Abort"},
                       {IDRETRY, "Retry"}, {IDIGNORE, "Ignore"}, {IDYES, "Yes"},
                       {IDNO, "No"}};
    std::string expected, came;
    for (const auto &button : all_buttons) {
        if (std::find(buttons.begin(), buttons.end(), button.id) != buttons.end())
            expected += std::string(expected.empty() ? "" : " ") + button.name;
        HWND control = GetDlgItem(box, button.id);
        if (control && IsWindowVisible(control))
            came += std::string(came.empty() ? "" : " ") + button.name;
    }
    check_text("the message box's buttons", expected, came);
    check_box_icon(box, icon);
}

int wait_for_exit(app_run &app, int answer) {
    bool asked = false;
    DWORD begin = GetTickCount();
    while (WaitForSingleObject(app.process.hProcess, 10) == WAIT_TIMEOUT) {
        if (GetTickCount() - begin > exit_timeout_ms) {
            fail("the program did not end within %lu ms%s", exit_timeout_ms,
                 answer && !asked ? " and asked no question" : "");
            TerminateProcess(app.process.hProcess, 99);
            WaitForSingleObject(app.process.hProcess, 5000);
            return -1;
        }
        HWND question = asked ? nullptr : find_question(app);
        if (!question)
            continue;
        asked = true;
        if (!answer) {
            fail("a question came where none may: %s",
                 shown(text_of(GetDlgItem(question, 0xFFFF))).c_str());
            click(GetDlgItem(question, IDNO));
            continue;
        }
        check_message_box(question, question_text, app.main, {IDYES, IDNO}, IDI_QUESTION);
        click(GetDlgItem(question, answer));
    }
    if (answer && !asked)
        fail("the program ended without asking %s", shown(question_text).c_str());
    DWORD code = 0;
    GetExitCodeProcess(app.process.hProcess, &code);
    return static_cast<int>(code);
}

void begin_quit(const app_run &app, quit_way way) {
    // Posted, not sent: the question is modal inside the command's handling.
    switch (way) {
    case by_quit_button:
        PostMessageA(GetDlgItem(app.main, id_quit), BM_CLICK, 0, 0);
        break;
    case by_exit_command:
        PostMessageA(app.main, WM_COMMAND, id_quit, 0);
        break;
    case by_close_message:
        PostMessageA(app.main, WM_CLOSE, 0, 0);
        break;
    case by_close_box:
        PostMessageA(app.main, WM_SYSCOMMAND, SC_CLOSE, 0);
        break;
    case by_closing_about:
        // It has no close box, but a WM_DESTROY of either window ends the run.
        PostMessageA(app.about, WM_CLOSE, 0, 0);
        break;
    }
}

int quit(app_run &app, quit_way way, int answer) {
    begin_quit(app, way);
    return wait_for_exit(app, answer);
}

HWND wait_for_dialog(const app_run &app, HWND not_this) {
    DWORD begin = GetTickCount();
    while (GetTickCount() - begin < exit_timeout_ms && still_running(app)) {
        for (HWND window : windows_of(app.process.dwProcessId, "#32770"))
            if (window != not_this && IsWindowVisible(window)) {
                sync_dialog(window);
                return window;
            }
        Sleep(10);
    }
    fail("no message box came%s", still_running(app) ? " within 10 s" : "; the program ended");
    return nullptr;
}

void check_error_box(HWND box, const std::string &text, HWND owner,
                     const std::vector<int> &buttons) {
    if (box)
        check_message_box(box, text, owner, buttons, IDI_ERROR);
}

// ---- Windows and controls of another process.

LRESULT send(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutA(window, message, wparam, lparam, SMTO_NORMAL, 5000, &result))
        fail("message 0x%04X to window %p got no answer (error %lu)", message,
             static_cast<void *>(window), GetLastError());
    return static_cast<LRESULT>(result);
}

void sync(const app_run &app) {
    send(app.main, WM_NULL);
}

std::string text_of(HWND window) {
    LRESULT length = send(window, WM_GETTEXTLENGTH);
    std::string text(static_cast<size_t>(length) + 1, '\0');
    LRESULT got = send(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(&text[0]));
    text.resize(static_cast<size_t>(std::max<LRESULT>(0, std::min<LRESULT>(got, length))));
    return text;
}

std::string wide_text_of(HWND window) {
    DWORD_PTR length = 0, got = 0;
    std::wstring text;
    if (!SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_NORMAL, 5000, &length))
        fail("window %p did not tell its text's length", static_cast<void *>(window));
    text.resize(length + 1);
    if (length && !SendMessageTimeoutW(window, WM_GETTEXT, text.size(),
                                       reinterpret_cast<LPARAM>(&text[0]), SMTO_NORMAL, 5000, &got))
        fail("window %p did not tell its text", static_cast<void *>(window));
    text.resize(std::min<size_t>(got, length));
    return utf8(text);
}

void set_text(HWND window, const std::string &text) {
    send(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void click(HWND button) {
    check(button != nullptr, "no button to click");
    send(button, BM_CLICK);
}

HWND name_box(const app_run &app) {
    return GetDlgItem(app.main, id_name_box);
}

HWND stored_box(const app_run &app) {
    return GetDlgItem(app.main, id_stored_names);
}

HWND mode_chooser(const app_run &app) {
    return GetDlgItem(app.main, id_mode_chooser);
}

std::vector<HWND> children_of(HWND parent) {
    std::vector<HWND> children;
    for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        children.push_back(child);
    return children;
}

RECT rect_in_parent(HWND window) {
    RECT r = {};
    GetWindowRect(window, &r);
    HWND parent = (GetWindowLongPtrA(window, GWL_STYLE) & WS_CHILD) ? GetParent(window) : nullptr;
    if (parent)
        MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT *>(&r), 2);
    return r;
}

bool is_topmost(HWND window) {
    return (GetWindowLongPtrA(window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
}

std::string rect_shown(const RECT &r) {
    char text[96];
    std::snprintf(text, sizeof text, "(%ld, %ld) %ld x %ld", r.left, r.top, r.right - r.left,
                  r.bottom - r.top);
    return text;
}

bool check_rect(const char *what, HWND window, int x, int y, int width, int height) {
    RECT r = rect_in_parent(window);
    // A height of -1 leaves the height unchecked.
    if (height < 0)
        r.bottom = r.top + height;
    RECT expected = {x, y, x + width, y + height};
    return check(EqualRect(&r, &expected) != 0, "%s: expected %s, came %s", what,
                 rect_shown(expected).c_str(), rect_shown(r).c_str());
}

bool generate_in_one_second(const app_run &app, int mode, std::string &came,
                            std::string &expected) {
    send(mode_chooser(app), CB_SETCURSEL, static_cast<WPARAM>(mode));
    HWND button = GetDlgItem(app.main, id_generate);
    for (int attempt = 0; attempt < 8; attempt++) {
        // The program seeds from the whole second of uptime: stay clear of
        // the boundaries, where a single-precision reading may round over.
        DWORD into_second = GetTickCount() % 1000;
        if (into_second < 30 || into_second > 900)
            Sleep(1000 - into_second + 40);
        DWORD before = GetTickCount();
        click(button);
        came = text_of(name_box(app));
        expected = generate(mode);
        DWORD after = GetTickCount();
        if (before / 1000 == after / 1000 && before % 1000 >= 30 && after % 1000 <= 970)
            return true;
    }
    fail("Generate in mode %d: no click fell well inside one second of uptime in 8 tries", mode);
    return false;
}
