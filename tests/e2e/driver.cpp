// driver.cpp: the end-to-end suite of onymix.exe, a Windows console program
// that runs each case against fresh copies of the program and counts what
// fails instead of stopping at the first failure.
//
//   onymix_e2e ONYMIX_EXE [CASE...]       runs the cases named, or all
//   onymix_e2e ONYMIX_EXE --check-list CASE...
//                                         fails unless CASE... are exactly
//                                         the suite's cases
//   onymix_e2e --record-url FILE URL      appends URL to FILE: the handler
//                                         of http addresses while Visit is
//                                         tested
#include "e2e.h"

#include <cstdio>
#include <cstring>
#include <set>

void case_quit_empty_box();
void case_quit_answers();
void case_close_saves_nothing();
void case_quit_after_emptying_box();
void case_load_and_save_forms();
void case_save_fails_file_held();
void case_save_fails_temporary_is_folder();
void case_save_retried();
void case_startup_fails_stored_is_folder();
void case_long_list_kept_whole();
void case_folder_named_in_any_script();
void case_folder_named_in_any_script_failures();
void case_marked_files_keep_their_encoding();
void case_utf16_file_the_code_page_cannot_show();
void case_registry_path_each_start();
void case_second_copy_exits_quietly();
void case_command_line_ignored();
void case_main_window_frame();
void case_about_window_frame();
void case_main_window_controls();
void case_about_window_controls();
void case_mode_chooser_at_start();
void case_creation_requests();
void case_menu_bar();
void case_control_fonts();
void case_generator_precision();
void case_about_and_close();
void case_visit_changes_nothing();
void case_unknown_commands_change_nothing();
void case_tab_order();
void case_screenshots();
void case_generate_each_mode();
void case_generate_edges();
void case_store_edges();
void case_typing_limits();

namespace {

const struct {
    const char *name;
    void (*run)();
} cases[] = {
    {"quit_empty_box", case_quit_empty_box},
    {"quit_answers", case_quit_answers},
    {"close_saves_nothing", case_close_saves_nothing},
    {"quit_after_emptying_box", case_quit_after_emptying_box},
    {"load_and_save_forms", case_load_and_save_forms},
    {"save_fails_file_held", case_save_fails_file_held},
    {"save_fails_temporary_is_folder", case_save_fails_temporary_is_folder},
    {"save_retried", case_save_retried},
    {"startup_fails_stored_is_folder", case_startup_fails_stored_is_folder},
    {"long_list_kept_whole", case_long_list_kept_whole},
    {"folder_named_in_any_script", case_folder_named_in_any_script},
    {"folder_named_in_any_script_failures", case_folder_named_in_any_script_failures},
    {"marked_files_keep_their_encoding", case_marked_files_keep_their_encoding},
    {"utf16_file_the_code_page_cannot_show", case_utf16_file_the_code_page_cannot_show},
    {"registry_path_each_start", case_registry_path_each_start},
    {"second_copy_exits_quietly", case_second_copy_exits_quietly},
    {"command_line_ignored", case_command_line_ignored},
    {"main_window_frame", case_main_window_frame},
    {"about_window_frame", case_about_window_frame},
    {"main_window_controls", case_main_window_controls},
    {"about_window_controls", case_about_window_controls},
    {"mode_chooser_at_start", case_mode_chooser_at_start},
    {"creation_requests", case_creation_requests},
    {"menu_bar", case_menu_bar},
    {"control_fonts", case_control_fonts},
    {"generator_precision", case_generator_precision},
    {"about_and_close", case_about_and_close},
    {"visit_changes_nothing", case_visit_changes_nothing},
    {"unknown_commands_change_nothing", case_unknown_commands_change_nothing},
    {"tab_order", case_tab_order},
    {"screenshots", case_screenshots},
    {"generate_each_mode", case_generate_each_mode},
    {"generate_edges", case_generate_edges},
    {"store_edges", case_store_edges},
    {"typing_limits", case_typing_limits},
};

// CMake hands over a Unix path; Wine sees the Unix root as drive Z:.
std::string windows_path(const char *path) {
    std::string converted = path[0] == '/' ? std::string("Z:") + path : path;
    for (char &c : converted)
        if (c == '/')
            c = '\\';
    return converted;
}

// A copy left running by an earlier, interrupted case would make every start
// a second instance. Ends copies that the suite started (they run from its
// temporary folders); any other copy is reported.
bool no_copy_running() {
    HWND window;
    while ((window = FindWindowA("Onymix", nullptr)) != nullptr) {
        DWORD process_id = 0;
        GetWindowThreadProcessId(window, &process_id);
        HANDLE process = OpenProcess(
            PROCESS_TERMINATE | PROCESS_QUERY_LIMITED_INFORMATION | SYNCHRONIZE, FALSE, process_id);
        char image[MAX_PATH] = {};
        DWORD size = sizeof image;
        if (process)
            QueryFullProcessImageNameA(process, 0, image, &size);
        bool ours = std::strstr(image, "\\onymix-e2e-") != nullptr;
        std::printf("  a copy of Onymix is already running: %s (process %lu)%s\n", image,
                    process_id, ours ? ", left by the suite; ending it" : "");
        if (ours) {
            TerminateProcess(process, 99);
            WaitForSingleObject(process, 5000);
        }
        if (process)
            CloseHandle(process);
        if (!ours)
            return false;
    }
    return true;
}

int check_list(int count, char **names) {
    std::set<std::string> given(names, names + count), known;
    for (const auto &c : cases)
        known.insert(c.name);
    for (const std::string &name : known)
        if (!given.count(name))
            std::printf("case %s is not registered with CTest\n", name.c_str());
    for (const std::string &name : given)
        if (!known.count(name))
            std::printf("no case %s in the driver\n", name.c_str());
    return given == known ? 0 : 1;
}

} // namespace

int main(int argc, char **argv) {
    // Standing in for the system's web browser (case visit_changes_nothing).
    if (argc == 4 && std::strcmp(argv[1], "--record-url") == 0) {
        std::FILE *record = std::fopen(argv[2], "ab");
        if (!record)
            return 1;
        std::fprintf(record, "%s\n", argv[3]);
        return std::fclose(record) == 0 ? 0 : 1;
    }
    if (argc < 2) {
        std::printf("usage: %s ONYMIX_EXE [CASE...] | ONYMIX_EXE --check-list CASE...\n", argv[0]);
        return 2;
    }
    if (argc >= 3 && std::strcmp(argv[2], "--check-list") == 0)
        return check_list(argc - 3, argv + 3);
    program_exe = windows_path(argv[1]);
    char self[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    driver_exe = driver_folder = self;
    driver_folder.erase(driver_folder.rfind('\\') + 1);

    std::set<std::string> wanted(argv + 2, argv + argc);
    bool run_all = wanted.empty();
    int passed = 0, failed = 0;
    for (const auto &c : cases) {
        if (!run_all && !wanted.erase(c.name))
            continue;
        begin_case(c.name);
        DWORD begin = GetTickCount();
        if (no_copy_running())
            c.run();
        else
            fail("another copy of Onymix runs on this desktop");
        bool ok = case_failures() == 0;
        (ok ? passed : failed)++;
        std::printf("%s %s (%lu ms)\n", ok ? "PASS" : "FAIL", c.name, GetTickCount() - begin);
        std::fflush(stdout);
    }
    for (const std::string &name : wanted) {
        std::printf("FAIL %s: no such case\n", name.c_str());
        failed++;
    }
    std::printf("%d passed, %d failed\n", passed, failed);
    return failed ? 1 : 0;
}
