// progress.cpp: onymix-cli's line of progress on standard error, for runs
// that take a while (cli.h). It appears about a second into the run, is
// redrawn four times a second in place (a carriage return, no newline) and
// is cleared at the end, leaving the terminal as it was. The clock is read
// once a block of output, every few thousand names.
#include "cli.h"

#include "../platform/system.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>

namespace {

bool on = false, known = false;
double total = 0, done = 0;
uint32_t start = 0, last = 0;
size_t width = 0; // of the line on the terminal, 0 when none is
std::string counted = "names";

// How many, in three figures: 987, 12.3k, 4.56M, 18.4E.
std::string amount(double n) {
    const char *const units[] = {"", "k", "M", "G", "T", "P", "E"};
    int unit = 0;
    for (; n >= 999.5 && unit < 6; unit++)
        n /= 1000;
    char text[32];
    std::snprintf(text, sizeof text,
                  unit == 0 || n >= 99.95 ? "%.0f%s"
                  : n >= 9.995            ? "%.1f%s"
                                          : "%.2f%s",
                  n, units[unit]);
    return text;
}

// Seconds as m:ss or h:mm:ss, and a long time in days or years.
std::string duration(double seconds) {
    char text[48];
    if (!(seconds < 100.0 * 3600)) {
        double days = seconds / 86400;
        if (days < 1000)
            std::snprintf(text, sizeof text, "%.0f days", days);
        else
            std::snprintf(text, sizeof text, "%.3g years", days / 365.25);
        return text;
    }
    long s = std::lround(seconds);
    if (s < 3600)
        std::snprintf(text, sizeof text, "%ld:%02ld", s / 60, s % 60);
    else
        std::snprintf(text, sizeof text, "%ld:%02ld:%02ld", s / 3600, s / 60 % 60, s % 60);
    return text;
}

void draw(double seconds) {
    double rate = done / seconds;
    double left = rate > 0 ? (total - done) / rate : HUGE_VAL;
    // A run about to end is not worth a line.
    if (!width && known && left < 0.3)
        return;
    std::string line = "onymix-cli: " + amount(done);
    if (known) {
        char percent[16];
        std::snprintf(percent, sizeof percent, " (%d%%)",
                      static_cast<int>(std::floor(100 * done / total)));
        line += " of " + amount(total) + " " + counted + percent + ", " + amount(rate) + " " +
                counted + "/s, " + duration(left) + " left";
    } else {
        line += " " + counted + ", " + amount(rate) + " " + counted + "/s";
    }
    size_t length = line.size();
    if (length < width)
        line.append(width - length, ' ');
    line.insert(0, 1, '\r');
    std::fwrite(line.data(), 1, line.size(), stderr);
    if (length > width)
        width = length;
}

} // namespace

void progress_begin(bool show, bool names_known, double names, const char *unit) {
    on = show;
    counted = unit;
    known = names_known;
    total = names;
    done = 0;
    if (on)
        start = last = platform_tick_count();
}

void progress_add(unsigned long long names) {
    if (!on)
        return;
    done += static_cast<double>(names);
    uint32_t now = platform_tick_count();
    uint32_t elapsed = now - start; // modulo 2^32, like the clock
    if (elapsed < 1000 || (width && now - last < 250))
        return;
    last = now;
    draw(elapsed / 1000.0);
}

void progress_clear() {
    if (width) {
        std::string blank = "\r" + std::string(width, ' ') + "\r";
        std::fwrite(blank.data(), 1, blank.size(), stderr);
        width = 0;
    }
    on = false;
}
