// onymix_cli.cpp: onymix-cli, the name generator on the command line.
//
// Without --count it does what one Generate command does: every pick
// re-seeds from the current whole second of uptime (or from --seed). With
// --count N the generator is seeded once and the picks draw on from its
// sequence, so the N names differ.
#include "../names/picker.h"
#include "../names/random.h"

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

const char usage[] =
    "usage: onymix-cli [--mode M] [--seed S] [--count N]\n"
    "  --mode M   Female, \"Female + Surname\", Male, \"Male + Surname\" (the default)\n"
    "             or Surname, in any case, or the mode number 0 to 4\n"
    "  --seed S   seed with second S (0 to 86399) instead of the seconds of uptime\n"
    "  --count N  print N names, one a line, drawn on from one seeding\n"
    "  --help     show this and exit\n";

int bad_usage(const char *what, const char *value) {
    if (value)
        std::fprintf(stderr, "onymix-cli: %s: %s\n", what, value);
    else
        std::fprintf(stderr, "onymix-cli: %s\n", what);
    std::fputs(usage, stderr);
    return 2;
}

// A whole decimal number from lowest to highest, or false.
bool parse_number(const char *text, long long lowest, long long highest, long long &value) {
    if (*text < '0' || *text > '9')
        return false;
    errno = 0;
    char *end = nullptr;
    long long n = std::strtoll(text, &end, 10);
    if (errno || *end || n < lowest || n > highest)
        return false;
    value = n;
    return true;
}

bool same_ignoring_case(const char *a, const char *b) {
    for (; *a && *b; a++, b++)
        if (std::tolower(static_cast<unsigned char>(*a)) !=
            std::tolower(static_cast<unsigned char>(*b)))
            return false;
    return *a == *b;
}

int parse_mode(const char *text) {
    for (int mode = 0; mode < mode_count; mode++)
        if (same_ignoring_case(text, mode_labels[mode]))
            return mode;
    long long number = 0;
    if (parse_number(text, 0, mode_count - 1, number))
        return static_cast<int>(number);
    return -1;
}

} // namespace

int main(int argc, char **argv) {
    int mode = mode_male_surname;
    bool seeded = false;
    long long second = 0;
    bool counted = false;
    long long count = 1;

    for (int i = 1; i < argc; i++) {
        const char *option = argv[i];
        if (std::strcmp(option, "--help") == 0 || std::strcmp(option, "-h") == 0) {
            std::fputs(usage, stdout);
            return 0;
        }
        bool takes_value = std::strcmp(option, "--mode") == 0 ||
                           std::strcmp(option, "--seed") == 0 ||
                           std::strcmp(option, "--count") == 0;
        if (!takes_value)
            return bad_usage("unknown option", option);
        if (i + 1 >= argc)
            return bad_usage("missing value after", option);
        const char *value = argv[++i];
        if (std::strcmp(option, "--mode") == 0) {
            mode = parse_mode(value);
            if (mode < 0)
                return bad_usage("not a mode", value);
        } else if (std::strcmp(option, "--seed") == 0) {
            if (!parse_number(value, 0, 86399, second))
                return bad_usage("seed must be a second of the day, 0 to 86399", value);
            seeded = true;
        } else {
            if (!parse_number(value, 0, 1000000000000LL, count))
                return bad_usage("count must be a whole number from 0", value);
            counted = true;
        }
    }

    pick_seeding seeding = seeded ? seed_from_second : seed_from_uptime;
    if (counted) {
        // Seed once, as the first pick of a Generate would, then let every
        // pick draw on from the sequence.
        randomize(seeded ? static_cast<int32_t>(second) : static_cast<int32_t>(timer()));
        seeding = draw_on;
    }
    for (long long i = 0; i < count; i++) {
        std::fputs(generate(mode, seeding, static_cast<int32_t>(second)), stdout);
        std::fputc('\n', stdout);
    }
    if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
        std::perror("onymix-cli: writing the names");
        return 1;
    }
    return 0;
}
