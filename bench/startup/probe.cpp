// probe.cpp: the measuring side of the start-up benchmark. Starts the
// baseline and onymix.exe in turn (baseline, onymix, baseline, onymix, ...),
// each from a copy in an empty folder of its own, and for every start takes
//   - the time from just before CreateProcessA until a visible top-level
//     window of that process has the caption "Tavrelon - Onymix",
//   - the time until the process first waits for input (WaitForInputIdle),
//     as extra information,
//   - its peak working set, read after a short settling pause,
// then closes the main window with WM_CLOSE and checks for exit code 0.
// One start of each program is made first and discarded: the first starts in
// a new Wine prefix are slower than the rest.
//
// probe.exe [--rounds N] [--settle MS] BASELINE.EXE ONYMIX.EXE
//
// Prints a line per start, then the medians and the ratios onymix/baseline,
// and last "summary" lines for the calling script. Exits 1 when a start
// fails (no window, early exit, exit code not 0), 2 on bad arguments.
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

const char expected_caption[] = "Tavrelon - Onymix";
const DWORD window_wait_ms = 20000;
const DWORD exit_wait_ms = 10000;

struct program {
    const char *label;
    std::string folder; // empty but for the executable between starts
    std::string path;   // the copy that is started
};

struct start_figures {
    double visible_ms = 0;
    double idle_ms = -1; // negative: WaitForInputIdle gave no answer
    SIZE_T peak_working_set = 0;
};

LARGE_INTEGER counter_frequency;
DWORD settle_ms = 200; // between the window showing and the memory reading

double milliseconds_since(const LARGE_INTEGER &start) {
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart - start.QuadPart) * 1000.0 /
           static_cast<double>(counter_frequency.QuadPart);
}

struct window_search {
    DWORD process_id;
    HWND found;
};

BOOL CALLBACK check_window(HWND window, LPARAM data) {
    window_search *search = reinterpret_cast<window_search *>(data);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != search->process_id || !IsWindowVisible(window))
        return TRUE;
    char text[64] = "";
    GetWindowTextA(window, text, sizeof text);
    if (std::strcmp(text, expected_caption) != 0)
        return TRUE;
    search->found = window;
    return FALSE;
}

HWND visible_main_window(DWORD process_id) {
    window_search search = {process_id, nullptr};
    EnumWindows(check_window, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// Copies the executable into a new, empty folder under the temporary folder.
bool prepare(program &p, const char *executable) {
    char temp[MAX_PATH];
    if (!GetTempPathA(sizeof temp, temp))
        return false;
    p.folder = std::string(temp) + "startup-bench-" + std::to_string(GetCurrentProcessId()) + "-" +
               p.label;
    if (!CreateDirectoryA(p.folder.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS)
        return false;
    p.path = p.folder + "\\" + p.label + ".exe";
    return CopyFileA(executable, p.path.c_str(), FALSE) != 0;
}

// Leaves the folder holding only the executable again: onymix.exe creates
// its (empty) stored-names file beside itself at every start.
void empty_folder(const program &p) {
    DeleteFileA((p.folder + "\\stored.txt").c_str());
}

void remove_folder(const program &p) {
    if (p.folder.empty())
        return;
    empty_folder(p);
    DeleteFileA(p.path.c_str());
    RemoveDirectoryA(p.folder.c_str());
}

bool start_once(const program &p, start_figures &figures) {
    empty_folder(p);
    std::string command_line = "\"" + p.path + "\"";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};

    LARGE_INTEGER start;
    QueryPerformanceCounter(&start);
    if (!CreateProcessA(p.path.c_str(), &command_line[0], nullptr, nullptr, FALSE, 0, nullptr,
                        p.folder.c_str(), &startup, &process)) {
        std::printf("  %s: CreateProcessA failed, error %lu\n", p.label, GetLastError());
        return false;
    }

    HWND window = nullptr;
    bool ended_early = false;
    while (!(window = visible_main_window(process.dwProcessId))) {
        if (WaitForSingleObject(process.hProcess, 0) == WAIT_OBJECT_0) {
            ended_early = true;
            break;
        }
        if (milliseconds_since(start) > window_wait_ms)
            break;
        Sleep(1);
    }
    figures.visible_ms = milliseconds_since(start);

    bool ok = window != nullptr;
    if (!ok) {
        std::printf("  %s: %s\n", p.label,
                    ended_early ? "ended before showing its window"
                                : "no visible window within the time allowed");
    } else {
        if (WaitForInputIdle(process.hProcess, window_wait_ms) == 0)
            figures.idle_ms = milliseconds_since(start);
        Sleep(settle_ms);
        PROCESS_MEMORY_COUNTERS memory = {};
        memory.cb = sizeof memory;
        if (GetProcessMemoryInfo(process.hProcess, &memory, sizeof memory)) {
            figures.peak_working_set = memory.PeakWorkingSetSize;
        } else {
            std::printf("  %s: GetProcessMemoryInfo failed, error %lu\n", p.label, GetLastError());
            ok = false;
        }
        PostMessageA(window, WM_CLOSE, 0, 0);
    }

    if (WaitForSingleObject(process.hProcess, exit_wait_ms) != WAIT_OBJECT_0) {
        std::printf("  %s: still running after WM_CLOSE; ended by the probe\n", p.label);
        TerminateProcess(process.hProcess, 99);
        WaitForSingleObject(process.hProcess, exit_wait_ms);
        ok = false;
    }
    DWORD exit_code = 0;
    GetExitCodeProcess(process.hProcess, &exit_code);
    if (ok && exit_code != 0) {
        std::printf("  %s: exit code %lu\n", p.label, exit_code);
        ok = false;
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return ok;
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

void print_start(const char *round, const char *label, const start_figures &f) {
    char idle[32] = "n/a";
    if (f.idle_ms >= 0)
        std::snprintf(idle, sizeof idle, "%.1f", f.idle_ms);
    std::printf("%-7s %-9s %10.1f %10s %14.0f\n", round, label, f.visible_ms, idle,
                static_cast<double>(f.peak_working_set) / 1024.0);
    std::fflush(stdout);
}

int usage() {
    std::fprintf(stderr, "usage: probe.exe [--rounds N] [--settle MS] BASELINE.EXE ONYMIX.EXE\n");
    return 2;
}

} // namespace

int main(int argc, char **argv) {
    int rounds = 15;
    std::vector<const char *> executables;
    for (int i = 1; i < argc; i++) {
        if (std::strcmp(argv[i], "--rounds") == 0 && i + 1 < argc)
            rounds = std::atoi(argv[++i]);
        else if (std::strcmp(argv[i], "--settle") == 0 && i + 1 < argc)
            settle_ms = static_cast<DWORD>(std::strtoul(argv[++i], nullptr, 10));
        else
            executables.push_back(argv[i]);
    }
    if (executables.size() != 2 || rounds < 1)
        return usage();
    QueryPerformanceFrequency(&counter_frequency);
    program programs[2] = {{"baseline", "", ""}, {"onymix", "", ""}};
    for (int k = 0; k < 2; k++) {
        if (!prepare(programs[k], executables[k])) {
            std::printf("cannot copy %s into a folder of its own (error %lu)\n", executables[k],
                        GetLastError());
            remove_folder(programs[0]);
            remove_folder(programs[1]);
            return 1;
        }
    }

    std::printf("%d rounds, baseline then onymix in each; %lu ms settling before the memory "
                "reading\n\n",
                rounds, settle_ms);
    std::printf("%-7s %-9s %10s %10s %14s\n", "round", "program", "visible ms", "idle ms",
                "peak WS KiB");

    bool failed = false;
    for (int k = 0; k < 2 && !failed; k++) {
        start_figures f;
        failed = !start_once(programs[k], f);
        print_start("warm-up", programs[k].label, f);
    }

    std::vector<double> visible[2], idle[2], peak[2];
    for (int r = 1; r <= rounds && !failed; r++) {
        for (int k = 0; k < 2 && !failed; k++) {
            start_figures f;
            failed = !start_once(programs[k], f);
            print_start(std::to_string(r).c_str(), programs[k].label, f);
            visible[k].push_back(f.visible_ms);
            if (f.idle_ms >= 0)
                idle[k].push_back(f.idle_ms);
            peak[k].push_back(static_cast<double>(f.peak_working_set) / 1024.0);
        }
    }
    remove_folder(programs[0]);
    remove_folder(programs[1]);
    if (failed) {
        std::printf("\na start failed; no figures\n");
        return 1;
    }

    double visible_base = median(visible[0]), visible_onymix = median(visible[1]);
    double peak_base = median(peak[0]), peak_onymix = median(peak[1]);
    auto spread = [](std::vector<double> v) {
        std::sort(v.begin(), v.end());
        return std::make_pair(v.front(), v.back());
    };
    std::printf("\nmedians over %d rounds          baseline     onymix   onymix/baseline\n",
                rounds);
    std::printf("start-up to visible (ms)     %10.1f %10.1f   %.3f\n", visible_base, visible_onymix,
                visible_onymix / visible_base);
    if (idle[0].size() == static_cast<size_t>(rounds) &&
        idle[1].size() == static_cast<size_t>(rounds)) {
        double idle_base = median(idle[0]), idle_onymix = median(idle[1]);
        std::printf("start-up to input idle (ms)  %10.1f %10.1f   %.3f\n", idle_base, idle_onymix,
                    idle_onymix / idle_base);
    } else {
        std::printf("start-up to input idle (ms)  not available for every start\n");
    }
    std::printf("peak working set (KiB)       %10.0f %10.0f   %.3f\n", peak_base, peak_onymix,
                peak_onymix / peak_base);
    auto vb = spread(visible[0]), vo = spread(visible[1]);
    auto pb = spread(peak[0]), po = spread(peak[1]);
    std::printf("range, visible (ms)          %4.1f-%-5.1f %4.1f-%.1f\n", vb.first, vb.second,
                vo.first, vo.second);
    std::printf("range, peak WS (KiB)         %.0f-%.0f %.0f-%.0f\n", pb.first, pb.second, po.first,
                po.second);

    std::printf("\nsummary startup_ms %.1f %.1f %.4f\n", visible_base, visible_onymix,
                visible_onymix / visible_base);
    std::printf("summary peak_kib %.0f %.0f %.4f\n", peak_base, peak_onymix,
                peak_onymix / peak_base);
    return 0;
}
