// cases_files.cpp: the stored-names file through whole runs: the load at
// start-up, the question at Quit and Exit, the save and its failures, a
// list far longer than an edit control's default limit, files in UTF-16 or
// with the UTF-8 mark, and a program folder whose name the code page cannot
// spell.
#include "e2e.h"

#include <cstdio>

namespace {

const char *way_name(quit_way way) {
    switch (way) {
    case by_quit_button:
        return "Quit button";
    case by_exit_command:
        return "Exit command";
    case by_close_message:
        return "WM_CLOSE";
    case by_close_box:
        return "close box";
    default:
        return "WM_CLOSE to the About window";
    }
}

void store(const app_run &app, const std::string &name) {
    set_text(name_box(app), name);
    click(GetDlgItem(app.main, id_store));
}

// stored.txt must hold bytes, and the folder nothing but the program and it.
void check_stored_file(const app_run &app, const std::string &bytes) {
    bool exists = false;
    std::string came = read_file(app.stored_path(), &exists);
    if (check(exists, "stored.txt is missing"))
        check_text("stored.txt", bytes, came);
    check_text("the program's folder", "onymix.exe, stored.txt", folder_listing(app.folder));
}

// The error lines the program writes, one for each failure; text mode may
// give them a CR before the LF.
void check_error_lines(const app_run &app, int failures) {
    std::string error = app.stderr_text(), line;
    for (size_t at; (at = error.find("\r\n")) != std::string::npos;)
        error.replace(at, 2, "\n");
    for (int i = 0; i < failures; i++)
        line += "Can't open file " + app.stored_path() + "\n";
    check_text("standard error", line, error);
}

void check_open_failure(const app_run &app, int code, int failures = 1) {
    check_number("exit code", 1, code);
    check_error_lines(app, failures);
}

// A start-up that cannot go on: the box with message and OK comes before any
// window is shown, and OK ends the run with exit code 1 and the message on
// the standard error stream.
void check_start_refused(app_run &app, const std::string &message) {
    HWND box = wait_for_dialog(app);
    check_error_box(box, message, nullptr, {IDOK});
    for (HWND window : windows_of(app.process.dwProcessId, "Onymix"))
        check(!IsWindowVisible(window), "the window \"%s\" was shown", text_of(window).c_str());
    check(still_running(app), "the program ended before its box was answered");
    if (box)
        click(GetDlgItem(box, IDOK));
    check_number("exit code", 1, wait_for_exit(app, 0));
    std::string error = app.stderr_text();
    for (size_t at; (at = error.find("\r\n")) != std::string::npos;)
        error.replace(at, 2, "\n");
    check_text("standard error", message + "\n", error);
}

// Quits the given way, answers Yes to the question and returns the box that
// reports the failed save, checked.
HWND quit_into_failed_save(app_run &app, quit_way way) {
    begin_quit(app, way);
    HWND question = wait_for_dialog(app);
    if (!question)
        return nullptr;
    check_message_box(question, question_text, app.main, {IDYES, IDNO}, IDI_QUESTION);
    click(GetDlgItem(question, IDYES));
    HWND box = wait_for_dialog(app, question);
    check_error_box(box, "Can't save stored names to file " + app.stored_path(), app.main,
                    {IDRETRY, IDCANCEL});
    return box;
}

// Gives up a failed save with Cancel: exit code 1 and the old file intact.
void cancel_failed_save(app_run &app, HWND box, int failures) {
    if (box)
        click(GetDlgItem(box, IDCANCEL));
    check_open_failure(app, wait_for_exit(app, 0), failures);
}

} // namespace

void case_quit_empty_box() {
    // No file at start: it is created empty, and no way of quitting asks.
    static const quit_way ways[] = {by_quit_button, by_exit_command};
    for (quit_way way : ways) {
        app_run app;
        if (!start_and_wait(app))
            return;
        check_text("stored-names box at start", "", text_of(stored_box(app)));
        bool created = false;
        check_text("stored.txt after start-up", "", read_file(app.stored_path(), &created));
        check(created, "stored.txt was not created at start-up");
        int code = quit(app, way, 0);
        check_number(way_name(way), 0, code);
        check_stored_file(app, "");
    }
}

void case_quit_answers() {
    // The load, two Stores and the question, by the Quit button and by the
    // Exit command, with both answers.
    static const quit_way ways[] = {by_quit_button, by_exit_command};
    static const int answers[] = {IDNO, IDYES};
    for (quit_way way : ways)
        for (int answer : answers) {
            app_run app;
            if (!start_and_wait(app, "A\r\nB\r\n"))
                return;
            check_text("stored-names box after the load", "A\r\nB\r\n", text_of(stored_box(app)));
            store(app, "X");
            store(app, "Y");
            check_text("stored-names box after Store X, Store Y", "A\r\nB\r\n\r\nX\r\nY",
                       text_of(stored_box(app)));
            int code = quit(app, way, answer);
            std::printf("    %s, answer %s: exit code %d\n", way_name(way),
                        answer == IDYES ? "Yes" : "No", code);
            check_number("exit code", 0, code);
            check_stored_file(app, answer == IDYES ? "A\r\nB\r\n\r\nX\r\nY" : "A\r\nB\r\n");
        }
}

void case_close_saves_nothing() {
    static const quit_way ways[] = {by_close_message, by_close_box, by_closing_about};
    for (quit_way way : ways) {
        app_run app;
        if (!start_and_wait(app, "A\r\nB"))
            return;
        store(app, "X");
        check_number(way_name(way), 0, quit(app, way, 0));
        check_stored_file(app, "A\r\nB");
    }
}

void case_quit_after_emptying_box() {
    app_run app;
    if (!start_and_wait(app, "Ann\r\n"))
        return;
    set_text(stored_box(app), "");
    check_number("exit code", 0, quit(app, by_quit_button, 0));
    check_stored_file(app, "Ann\r\n");
}

void case_load_and_save_forms() {
    // What the load makes of a file, and what a save of the unchanged box
    // writes back (an empty box is never saved).
    static const struct {
        const char *what;
        std::string file, box, saved;
    } rows[] = {
        {"CR LF lines", "A\r\nB\r\n", "A\r\nB\r\n", "A\r\nB\r\n"},
        {"no final line end", "A\r\nB", "A\r\nB\r\n", "A\r\nB\r\n"},
        {"empty lines", "A\r\n\r\nB\r\n\r\n", "A\r\nB\r\n", "A\r\nB\r\n"},
        {"empty lines only", "\r\n\r\n", "", "\r\n\r\n"},
        {"bare LF", "A\nB\n", "A\r\nB\r\n", "A\r\nB\r\n"},
        {"spaces", "  \r\nC \r\n", "  \r\nC \r\n", "  \r\nC \r\n"},
        {"lone CR", "A\rB\r\n", "A\rB\r\n", "AB\r\n"},
        {"NUL bytes", std::string("A\0x\r\n\0y\r\nB\r\n", 12), "A\r\nB\r\n", "A\r\nB\r\n"},
    };
    for (const auto &row : rows) {
        std::printf("    %s\n", row.what);
        app_run app;
        if (!start_and_wait(app, row.file))
            continue;
        check_text("stored-names box after the load", row.box, text_of(stored_box(app)));
        check_number("exit code", 0, quit(app, by_quit_button, row.box.empty() ? 0 : IDYES));
        check_stored_file(app, row.saved);
    }
}

// Held open for reading only: the save can write its new file but cannot put
// it in this one's place.
HANDLE hold_file(const std::string &path) {
    HANDLE held = CreateFileW(wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    check(held != INVALID_HANDLE_VALUE, "could not hold %s open", path.c_str());
    return held;
}

void case_save_fails_file_held() {
    app_run app;
    if (!start_and_wait(app, "A\r\nB\r\n"))
        return;
    store(app, "X");
    HANDLE held = hold_file(app.stored_path());
    HWND box = quit_into_failed_save(app, by_quit_button);
    check(!path_exists(app.stored_path() + ".new"), "the failed save left stored.txt.new");
    cancel_failed_save(app, box, 1);
    if (held != INVALID_HANDLE_VALUE)
        CloseHandle(held);
    check_stored_file(app, "A\r\nB\r\n");
}

void case_save_fails_temporary_is_folder() {
    app_run app;
    if (!start_and_wait(app, "A\r\n"))
        return;
    make_folder(app.stored_path() + ".new");
    store(app, "X");
    cancel_failed_save(app, quit_into_failed_save(app, by_exit_command), 1);
    check_text("stored.txt", "A\r\n", read_file(app.stored_path()));
    check(is_folder(app.stored_path() + ".new"), "stored.txt.new is no longer the folder it was");
}

void case_save_retried() {
    // Retry while the file is still held fails again with the same box;
    // once it is free, Retry saves the box as it is then, and Quit goes on.
    app_run app;
    if (!start_and_wait(app, "A\r\n"))
        return;
    store(app, "X");
    HANDLE held = hold_file(app.stored_path());
    HWND first = quit_into_failed_save(app, by_quit_button);
    if (!first) {
        CloseHandle(held);
        return;
    }
    click(GetDlgItem(first, IDRETRY));
    HWND second = wait_for_dialog(app, first);
    check_error_box(second, "Can't save stored names to file " + app.stored_path(), app.main,
                    {IDRETRY, IDCANCEL});
    CloseHandle(held);
    // The box is modal, but the list can still change behind it.
    set_text(stored_box(app), "A\r\n\r\nX\r\nZ");
    if (second)
        click(GetDlgItem(second, IDRETRY));
    int code = wait_for_exit(app, 0);
    check_number("exit code", 0, code);
    check_stored_file(app, "A\r\n\r\nX\r\nZ");
    check_error_lines(app, 2);
}

void case_startup_fails_stored_is_folder() {
    app_run app;
    if (!make_folder(app.stored_path()) || !start(app))
        return;
    check_start_refused(app, "Can't open file " + app.stored_path());
    check(is_folder(app.stored_path()), "stored.txt is no longer a folder");
}

void case_long_list_kept_whole() {
    // 5,000 names, about 55,000 characters: far past 2047 and past an edit
    // control's default limit of 30,000.
    std::string file;
    for (int i = 1; i <= 5000; i++) {
        char line[32];
        std::snprintf(line, sizeof line, "Name%05d\r\n", i);
        file += line;
    }
    app_run app;
    if (!start_and_wait(app, file))
        return;
    HWND box = stored_box(app);
    check_number("length of the stored-names box", static_cast<long long>(file.size()),
                 send(box, WM_GETTEXTLENGTH));
    check_text("stored-names box after the load", file, text_of(box));

    // Typing at the end is not refused for length.
    LRESULT end = send(box, WM_GETTEXTLENGTH);
    send(box, EM_SETSEL, static_cast<WPARAM>(end), end);
    send(box, WM_CHAR, 'Q', 1);
    store(app, "Zed");
    check_text("stored-names box after typing Q and Store Zed", file + "Q\r\nZed", text_of(box));
    check_number("exit code", 0, quit(app, by_quit_button, IDYES));
    check_stored_file(app, file + "Q\r\nZed");
}

namespace {

// A folder name in Cyrillic, Chinese and an emoji, which is outside the
// Basic Multilingual Plane: no 8-bit code page spells all of it.
const char named_folder[] = u8"\u041E\u043B\u044C\u0433\u0430 \u4E2D\u6587 \U0001F600";

// The bytes of UTF-16 text with its mark.
std::string utf16_file(const std::wstring &text, bool big_endian) {
    std::string bytes = big_endian ? "\xFE\xFF" : "\xFF\xFE";
    for (wchar_t unit : text) {
        char low = static_cast<char>(unit & 0xFF), high = static_cast<char>(unit >> 8 & 0xFF);
        bytes += big_endian ? high : low;
        bytes += big_endian ? low : high;
    }
    return bytes;
}

} // namespace

void case_folder_named_in_any_script() {
    // The program starts there, makes stored.txt there, records the folder
    // whole and saves into it.
    set_registry_path_value("sentinel");
    app_run app(named_folder);
    if (!start_and_wait(app))
        return;
    bool created = false;
    check_text("stored.txt after start-up", "", read_file(app.stored_path(), &created));
    check(created, "stored.txt was not created in %s", app.folder.c_str());
    DWORD type = REG_NONE;
    check_text("registry value Path", app.folder, registry_path_value(&type));
    check_number("registry value Path's type", REG_SZ, type);
    store(app, "Anna");
    store(app, "Zo\xEB");
    check_number("exit code", 0, quit(app, by_quit_button, IDYES));
    check_stored_file(app, "Anna\r\nZo\xEB");
    check_text("standard error", "", app.stderr_text());
}

void case_folder_named_in_any_script_failures() {
    // The boxes and the lines on the standard error stream name the path
    // whole: at start-up, and when the save at Quit fails.
    {
        app_run app(named_folder);
        if (make_folder(app.stored_path()) && start(app))
            check_start_refused(app, "Can't open file " + app.stored_path());
    }
    app_run app(named_folder);
    if (!start_and_wait(app, "Anna\r\n"))
        return;
    store(app, "Bob");
    HANDLE held = hold_file(app.stored_path());
    cancel_failed_save(app, quit_into_failed_save(app, by_quit_button), 1);
    if (held != INVALID_HANDLE_VALUE)
        CloseHandle(held);
    check_stored_file(app, "Anna\r\n");
}

void case_marked_files_keep_their_encoding() {
    // As Notepad saves "Unicode", "Unicode big endian" and "UTF-8 with BOM":
    // the names show (in the code page, 1252 here), and Quit with Yes
    // writes them back in the same form with CR LF line ends.
    static const struct {
        const char *what;
        std::string before, box, after;
    } rows[] = {
        {"UTF-16 LE", utf16_file(L"Anna\r\nBob\r\nZo\u00EB\r\n", false),
         "Anna\r\nBob\r\nZo\xEB\r\n", utf16_file(L"Anna\r\nBob\r\nZo\u00EB\r\n\r\nX", false)},
        {"UTF-16 BE", utf16_file(L"Anna\nBob\r\n\r\nZo\u00EB", true), "Anna\r\nBob\r\nZo\xEB\r\n",
         utf16_file(L"Anna\r\nBob\r\nZo\u00EB\r\n\r\nX", true)},
        {"UTF-8 mark", "\xEF\xBB\xBFZo\xC3\xAB\r\nAnna\r\n", "Zo\xC3\xAB\r\nAnna\r\n",
         "\xEF\xBB\xBFZo\xC3\xAB\r\nAnna\r\n\r\nX"},
    };
    for (const auto &row : rows) {
        std::printf("    %s\n", row.what);
        app_run app;
        if (!start_and_wait(app, row.before))
            continue;
        check_text("stored-names box after the load", row.box, text_of(stored_box(app)));
        store(app, "X");
        check_number("exit code", 0, quit(app, by_quit_button, IDYES));
        check_stored_file(app, row.after);
    }
}

void case_utf16_file_the_code_page_cannot_show() {
    // The file is left as it is, the box says why and the run ends.
    static const struct {
        const char *what;
        std::string file;
    } rows[] = {
        {"Cyrillic", utf16_file(L"Anna\r\n\u041E\u043B\u044C\u0433\u0430\r\n", false)},
        {"an emoji, big endian", utf16_file(L"Anna\r\n\U0001F600\r\n", true)},
        {"half a character at the end", utf16_file(L"Anna\r\nBob\r\n", false) + "Z"},
    };
    for (const auto &row : rows) {
        std::printf("    %s\n", row.what);
        app_run app;
        if (!write_file(app.stored_path(), row.file) || !start(app))
            continue;
        check_start_refused(app, "Can't read file " + app.stored_path() +
                                     ": it holds characters Onymix cannot show");
        check_stored_file(app, row.file);
    }
}
