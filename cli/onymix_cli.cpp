// onymix_cli.cpp: onymix-cli, the name generator on the command line, a
// client of the library's public interface (onymix.h); of the system it
// needs only what the platform's seam says of its standard streams.
//
// Without --count it does what one Generate command does: every pick
// re-seeds from the current whole second of uptime (or from --seed). With
// --count N the generator is seeded once and the picks draw on from its
// sequence, so the N names differ. The names are written by the library's
// bulk call in large blocks, so memory stays the same however many are
// asked for.
#include "onymix.h"

#include "../platform/system.h"

#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <getopt.h>
#include <string>

namespace {

const char usage[] =
    "usage: onymix-cli [-m M] [-s S] [-n N] [-u] [-f F]\n"
    "  -m, --mode M    Female, \"Female + Surname\", Male, \"Male + Surname\" (the default),\n"
    "                  Surname, Any or \"Any + Surname\", in any case, or the mode number\n"
    "                  0 to 6; Any takes a first name from either list\n"
    "  -s, --seed S    seed with second S (0 to 86399) instead of the seconds of uptime\n"
    "  -n, --count N   print N names, one a line, drawn on from one seeding\n"
    "  -u, --unique    print no name twice: repeats are left out until N names are out\n"
    "  -f, --format F  text (the default), csv or jsonl\n"
    "  -V, --version   show the version and exit\n"
    "  -h, --help      show this and exit\n";

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

int parse_mode(const char *text) {
    int mode = onymix_mode_from_label(text);
    long long number = 0;
    if (mode < 0 && parse_number(text, 0, ONYMIX_MODE_COUNT - 1, number))
        mode = static_cast<int>(number);
    return mode;
}

const option long_options[] = {
    {"mode", required_argument, nullptr, 'm'},   {"seed", required_argument, nullptr, 's'},
    {"count", required_argument, nullptr, 'n'},  {"unique", no_argument, nullptr, 'u'},
    {"format", required_argument, nullptr, 'f'}, {"version", no_argument, nullptr, 'V'},
    {"help", no_argument, nullptr, 'h'},         {nullptr, 0, nullptr, 0}};

// '+': stop at the first word that is no option, so that it is reported in
// its place; ':': report a missing value apart from an unknown option.
const char short_options[] = "+:m:s:n:uf:Vh";

} // namespace

int main(int argc, char **argv) {
    int mode = ONYMIX_MALE_SURNAME;
    bool seeded = false;
    long long second = 0;
    bool counted = false;
    long long count = 1;
    bool unique = false;
    int format = ONYMIX_TEXT;

    opterr = 0;
    for (;;) {
        int option = getopt_long(argc, argv, short_options, long_options, nullptr);
        if (option == -1)
            break;
        const char *written = argv[optind - 1];
        switch (option) {
        case 'h':
            std::fputs(usage, stdout);
            return 0;
        case 'V':
            std::printf("onymix-cli %s\n", onymix_version());
            return 0;
        case 'u':
            unique = true;
            break;
        case 'm':
            mode = parse_mode(optarg);
            if (mode < 0)
                return bad_usage("not a mode", optarg);
            break;
        case 's':
            if (!parse_number(optarg, 0, 86399, second))
                return bad_usage("seed must be a second of the day, 0 to 86399", optarg);
            seeded = true;
            break;
        case 'n':
            if (!parse_number(optarg, 0, 1000000000000LL, count))
                return bad_usage("count must be a whole number from 0", optarg);
            counted = true;
            break;
        case 'f':
            format = onymix_format_from_label(optarg);
            if (format < 0)
                return bad_usage("not a format (text, csv or jsonl)", optarg);
            break;
        case ':':
            return bad_usage("missing value after", written);
        default:
            // An unknown long option leaves optopt 0; a long option without a
            // value given one leaves its letter; otherwise it is a letter
            // that is no option.
            if (optopt == 0)
                return bad_usage("unknown option", written);
            if (std::strchr("uVh", optopt) && std::strncmp(written, "--", 2) == 0)
                return bad_usage("takes no value", written);
            char letter[3] = {'-', static_cast<char>(optopt), '\0'};
            return bad_usage("unknown option", letter);
        }
    }
    if (optind < argc)
        return bad_usage("unknown option", argv[optind]);

    // Without a count, one Generate: every pick re-seeded. One name is
    // always unique.
    long seed = seeded ? static_cast<long>(second) : ONYMIX_NOW;
    unsigned flags = !counted ? ONYMIX_RESEED : unique ? ONYMIX_UNIQUE : 0;
    onymix_generator *generator = onymix_open(mode, seed, flags);
    if (!generator) {
        std::fputs(unique ? "onymix-cli: not enough memory for --unique\n"
                          : "onymix-cli: not enough memory\n",
                   stderr);
        return 1;
    }
    long left = onymix_left(generator);
    if (left >= 0 && count > left) {
        onymix_close(generator);
        std::string limit =
            "count is more than the " + std::to_string(left) + " different names of the mode";
        return bad_usage(limit.c_str(), std::to_string(count).c_str());
    }

    // A closed pipe then fails the write with EPIPE instead of killing the
    // process, and the run ends quietly below.
#ifdef SIGPIPE
    std::signal(SIGPIPE, SIG_IGN);
#endif
    // The blocks are written as they are; stdio must hold nothing back.
    std::setvbuf(stdout, nullptr, _IONBF, 0);

    static char block[1 << 16];
    const char *header = onymix_format_header(format);
    size_t header_length = std::strlen(header);
    std::memcpy(block, header, header_length);
    char *out = block + header_length;
    long long remaining = count;
    for (;;) {
        size_t length = 0;
        int wanted = remaining < INT_MAX ? static_cast<int>(remaining) : INT_MAX;
        int written =
            onymix_write(generator, format, wanted, out, sizeof block - (out - block), &length);
        remaining -= written > 0 ? written : 0;
        length += static_cast<size_t>(out - block);
        if (length && std::fwrite(block, 1, length, stdout) != length) {
            onymix_close(generator);
            if (platform_reader_gone())
                return 0;
            std::perror("onymix-cli: writing the names");
            return 1;
        }
        out = block;
        if (remaining == 0 || written <= 0)
            break;
    }
    onymix_close(generator);
    if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
        std::perror("onymix-cli: writing the names");
        return 1;
    }
    return 0;
}
