// cases_shell.cpp: start-up as a whole: the registry record, one instance at
// a time, and a command line that changes nothing.
#include "e2e.h"

#include <cstdio>

void case_registry_path_each_start() {
    // Every start of a first instance records its own folder.
    for (int run = 0; run < 2; run++) {
        set_registry_path_value("sentinel");
        app_run app;
        if (!start_and_wait(app))
            return;
        DWORD type = REG_NONE;
        check_text("registry value Path", app.folder, registry_path_value(&type));
        check_number("registry value Path's type", REG_SZ, type);
        check_number("exit code", 0, quit(app, by_close_message, 0));
    }
}

void case_second_copy_exits_quietly() {
    app_run first;
    if (!start_and_wait(first, "Ann\r\n"))
        return;
    set_registry_path_value("sentinel");

    app_run second;
    if (!start(second))
        return;
    DWORD begin = GetTickCount();
    bool made_window = false;
    while (still_running(second) && GetTickCount() - begin < 10000) {
        made_window = made_window || !windows_of(second.process.dwProcessId, "Onymix").empty();
        Sleep(5);
    }
    DWORD took = GetTickCount() - begin;
    check_number("the second copy's exit code", 0, wait_for_exit(second, 0));
    check(took < 3000, "the second copy took %lu ms to end", took);
    check(!made_window, "the second copy made a window of class Onymix");
    check_text("registry value Path after the second copy", "sentinel", registry_path_value());
    check_text("the second copy's folder", "onymix.exe", folder_listing(second.folder));
    check_text("the second copy's standard error", "", second.stderr_text());

    // The first copy runs on untouched.
    check(IsWindowVisible(first.main) && is_topmost(first.main),
          "the first copy's main window is no longer visible and topmost");
    check_text("the first copy's stored-names box", "Ann\r\n", text_of(stored_box(first)));
    check_number("the first copy's exit code", 0, quit(first, by_quit_button, IDNO));
    check_text("stored.txt of the first copy", "Ann\r\n", read_file(first.stored_path()));
}

void case_command_line_ignored() {
    // {exe} stands for the program's full path.
    static const char *const lines[] = {
        "\"{exe}\" Female --mode 0 /seed 7 \"two words\"",
        "{exe} extra words   and spaces",
        "{exe}\tafter a tab",
        "\"{exe} with an unclosed quote",
    };
    for (const char *pattern : lines) {
        app_run app;
        std::string line = pattern;
        line.replace(line.find("{exe}"), 5, app.folder + "onymix.exe");
        std::printf("    command line %s\n", shown(line).c_str());
        if (!write_file(app.stored_path(), "Ann\r\n") || !start(app, line) ||
            !wait_for_windows(app))
            continue;
        check_text("stored-names box", "Ann\r\n", text_of(stored_box(app)));
        check_text("name box", "", text_of(name_box(app)));
        check_text("mode chooser", "Male + Surname", text_of(mode_chooser(app)));
        check_text("registry value Path", app.folder, registry_path_value());
        check(!path_exists(app.root + "stored.txt"), "stored.txt was made in the working folder");
        check_number("exit code", 0, quit(app, by_quit_button, IDNO));
    }
}
