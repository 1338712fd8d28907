// onymix_cli.cpp: onymix-cli, the name generator on the command line, a
// client of the library's public interface (onymix.h); of the system it
// needs only what the platform's seam says of its standard streams and its
// clock.
//
// Without --count it does what one Generate command does: every pick
// re-seeds from the current whole second of uptime (or from --seed). With
// --count N the generator is seeded once and the picks draw on from its
// sequence, so the N names differ. --ids, --by-id and --pseudonymize write
// names by id and pseudonyms instead, which need no generator. Every name
// is written by one of the library's bulk calls in large blocks, so memory
// stays the same however many are asked for (only a line of standard input
// longer than the input buffer grows it).
#include "onymix.h"

#include "../platform/system.h"

#include <cerrno>
#include <climits>
#include <cmath>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <getopt.h>
#include <new>
#include <string>
#include <vector>

namespace {

const char usage[] =
    "usage: onymix-cli [-m M] [-s S] [-n N] [--start K] [-u] [-f F] [--quiet]\n"
    "       onymix-cli --ids FROM-TO | --by-id | --pseudonymize\n"
    "                  [-m M] [--key HEX | --key-file FILE] [-f F] [--quiet]\n"
    "  -m, --mode M        Female, \"Female + Surname\", Male, \"Male + Surname\",\n"
    "                      Surname, Any or \"Any + Surname\", in any case, or the mode\n"
    "                      number 0 to 6; Any takes a first name from either list.\n"
    "                      The default is \"Male + Surname\", and \"Any + Surname\"\n"
    "                      (the most names) for --ids, --by-id and --pseudonymize\n"
    "  -s, --seed S        seed with S (0 to 18446744073709551615) instead of the\n"
    "                      seconds of uptime; 0 to 86399 are the seconds of the day\n"
    "  -n, --count N       print N names, one a line, drawn on from one seeding\n"
    "      --start K       begin at name K (0 is the first) of the sequence; without\n"
    "                      --count, print name K alone\n"
    "  -u, --unique        print no name twice: repeats are left out until N names\n"
    "                      are out\n"
    "      --ids FROM-TO   print the names of ids FROM to TO, both included, each id\n"
    "                      0 to 18446744073709551615\n"
    "      --by-id         print the name of each id read from standard input, one\n"
    "                      decimal number a line\n"
    "      --pseudonymize  print the pseudonym of each line of standard input (its\n"
    "                      bytes, without the LF or CR LF), in the same order\n"
    "      --key HEX       the key of names by id and pseudonyms, 32 hex digits;\n"
    "                      without one, 16 zero bytes, which keep nothing secret\n"
    "      --key-file FILE read the key from FILE: 16 bytes, or 32 hex digits and\n"
    "                      an optional newline\n"
    "  -f, --format F      text (the default), csv or jsonl\n"
    "      --quiet         show no progress (shown on standard error when it is a\n"
    "                      terminal and the names go elsewhere, after a second)\n"
    "  -V, --version       show the version and exit\n"
    "  -h, --help          show this and exit\n";

const unsigned long long largest_id = ~0ull; // 2^64 - 1

int bad_usage(const char *what, const char *value) {
    if (value)
        std::fprintf(stderr, "onymix-cli: %s: %s\n", what, value);
    else
        std::fprintf(stderr, "onymix-cli: %s\n", what);
    std::fputs(usage, stderr);
    return 2;
}

int conflict(const char *option, const char *other) {
    return bad_usage((std::string(option) + " does not go with " + other).c_str(), nullptr);
}

// Decimal digits and nothing else, 0 to 2^64 - 1, from begin to end.
bool parse_unsigned(const char *begin, const char *end, unsigned long long &value) {
    if (begin == end)
        return false;
    unsigned long long n = 0;
    for (const char *p = begin; p < end; p++) {
        unsigned digit = static_cast<unsigned char>(*p) - static_cast<unsigned>('0');
        if (digit > 9 || n > (largest_id - digit) / 10)
            return false;
        n = n * 10 + digit;
    }
    value = n;
    return true;
}

// A whole decimal number from 0 to highest, or false.
bool parse_number(const char *text, long long highest, long long &value) {
    unsigned long long n = 0;
    if (!parse_unsigned(text, text + std::strlen(text), n) ||
        n > static_cast<unsigned long long>(highest))
        return false;
    value = static_cast<long long>(n);
    return true;
}

bool all_digits(const char *text, size_t length) {
    for (size_t i = 0; i < length; i++)
        if (text[i] < '0' || text[i] > '9')
            return false;
    return length > 0;
}

int parse_mode(const char *text) {
    int mode = onymix_mode_from_label(text);
    long long number = 0;
    if (mode < 0 && parse_number(text, ONYMIX_MODE_COUNT - 1, number))
        mode = static_cast<int>(number);
    return mode;
}

// "" for a key written as 32 hex digits (either case), then in key;
// otherwise what is wrong with the text, without showing it: it may be all
// but a secret.
std::string parse_key(const char *text, size_t length, unsigned char key[ONYMIX_KEY_SIZE]) {
    if (length != 2 * ONYMIX_KEY_SIZE)
        return "it has " + std::to_string(length) + " characters";
    int wrong = onymix_key_from_hex(text, length, key);
    return wrong > 0 ? "character " + std::to_string(wrong) + " is no hex digit" : "";
}

// The key in the file at path: 16 bytes, or 32 hex digits and LF or CR LF
// or nothing. 0, or 2 after a message.
int read_key_file(const char *path, unsigned char key[ONYMIX_KEY_SIZE]) {
    std::FILE *file = platform_open_file(path, "rb");
    if (!file) {
        std::fprintf(stderr, "onymix-cli: key file %s: %s\n", path, std::strerror(errno));
        return 2;
    }
    char bytes[2 * ONYMIX_KEY_SIZE + 3];
    size_t size = std::fread(bytes, 1, sizeof bytes, file);
    int error = std::ferror(file) ? errno : 0;
    std::fclose(file);
    if (error) {
        std::fprintf(stderr, "onymix-cli: key file %s: %s\n", path, std::strerror(error));
        return 2;
    }
    if (size == ONYMIX_KEY_SIZE) {
        std::memcpy(key, bytes, ONYMIX_KEY_SIZE);
        return 0;
    }
    size_t digits = 2 * ONYMIX_KEY_SIZE;
    bool ends_well = size == digits || (size == digits + 1 && bytes[digits] == '\n') ||
                     (size == digits + 2 && bytes[digits] == '\r' && bytes[digits + 1] == '\n');
    if (ends_well && parse_key(bytes, digits, key).empty())
        return 0;
    std::fprintf(stderr,
                 "onymix-cli: key file %s: no key: it must hold 16 bytes, or 32 hex digits "
                 "and an optional newline\n",
                 path);
    return 2;
}

// A line of input as a message shows it: quoted, the bytes that are no
// printable ASCII as \xNN, and cut after 40 bytes.
std::string quoted(const char *text, size_t length) {
    std::string shown = "\"";
    for (size_t i = 0; i < length && i < 40; i++) {
        unsigned char c = static_cast<unsigned char>(text[i]);
        if (c >= 0x20 && c < 0x7F && c != '"' && c != '\\') {
            shown += static_cast<char>(c);
        } else {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02x", c);
            shown += escaped;
        }
    }
    return shown + (length > 40 ? "\"..." : "\"");
}

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

// The line of progress on standard error, for runs that take a while: it
// appears about a second into the run, is redrawn four times a second in
// place (a carriage return, no newline) and is cleared at the end, leaving
// the terminal as it was. The clock is read once a block of output, every
// few thousand names.
class progress {
  public:
    // on: whether to show it at all; total: the names of the run, when known.
    void begin(bool on, bool known, double total) {
        on_ = on;
        known_ = known;
        total_ = total;
        done_ = 0;
        if (on)
            start_ = last_ = platform_tick_count();
    }

    void add(unsigned long long names) {
        if (!on_)
            return;
        done_ += static_cast<double>(names);
        uint32_t now = platform_tick_count();
        uint32_t elapsed = now - start_; // modulo 2^32, like the clock
        if (elapsed < 1000 || (width_ && now - last_ < 250))
            return;
        last_ = now;
        draw(elapsed / 1000.0);
    }

    void clear() {
        if (width_) {
            std::string blank = "\r" + std::string(width_, ' ') + "\r";
            std::fwrite(blank.data(), 1, blank.size(), stderr);
            width_ = 0;
        }
        on_ = false;
    }

  private:
    void draw(double seconds) {
        double rate = done_ / seconds;
        double left = rate > 0 ? (total_ - done_) / rate : HUGE_VAL;
        // A run about to end is not worth a line.
        if (!width_ && known_ && left < 0.3)
            return;
        std::string line = "onymix-cli: " + amount(done_);
        if (known_) {
            char percent[16];
            std::snprintf(percent, sizeof percent, " (%d%%)",
                          static_cast<int>(std::floor(100 * done_ / total_)));
            line += " of " + amount(total_) + " names" + percent + ", " + amount(rate) +
                    " names/s, " + duration(left) + " left";
        } else {
            line += " names, " + amount(rate) + " names/s";
        }
        size_t length = line.size();
        if (length < width_)
            line.append(width_ - length, ' ');
        line.insert(0, 1, '\r');
        std::fwrite(line.data(), 1, line.size(), stderr);
        if (length > width_)
            width_ = length;
    }

    bool on_ = false, known_ = false;
    double total_ = 0, done_ = 0;
    uint32_t start_ = 0, last_ = 0;
    size_t width_ = 0; // of the line on the terminal, 0 when none is
};

// The output: one block, in which the format's header waits (pending bytes)
// until the first names are written behind it.
char block[1 << 16];
size_t pending = 0;
progress meter;

// The code of a run that ended because the reader of its output has gone:
// the end of the wanted output, no error, so exit code 0.
const int reader_gone = -1;

// Writes length bytes of block, which hold `names` names. False when they
// could not be written: code is then the run's exit code, reader_gone or 1
// after a message for any other failure.
bool put(size_t length, unsigned long long names, int &code) {
    if (length && std::fwrite(block, 1, length, stdout) != length) {
        bool gone = platform_reader_gone();
        int error = errno;
        meter.clear();
        code = gone ? reader_gone : 1;
        if (!gone)
            std::fprintf(stderr, "onymix-cli: writing the names: %s\n", std::strerror(error));
        return false;
    }
    meter.add(names);
    return true;
}

int out_of_order(const char *call) {
    meter.clear();
    std::fprintf(stderr, "onymix-cli: %s refused the names (a bug)\n", call);
    return 1;
}

// The format's header alone, when no names came behind it.
bool put_header(int &code) {
    size_t length = pending;
    pending = 0;
    return put(length, 0, code);
}

// The sequence of g: count names.
int write_sequence(onymix_generator *g, int format, long long count) {
    long long remaining = count;
    int code = 0;
    for (;;) {
        size_t length = 0;
        int wanted = remaining < INT_MAX ? static_cast<int>(remaining) : INT_MAX;
        int made =
            onymix_write(g, format, wanted, block + pending, sizeof block - pending, &length);
        remaining -= made > 0 ? made : 0;
        length += pending;
        pending = 0;
        if (!put(length, made > 0 ? made : 0, code))
            return code;
        if (remaining == 0 || made <= 0)
            return 0;
    }
}

// Names 0 to last of a bulk call, written block by block: write(done, out,
// size, length) is the library's call for the names from the done-th on.
// False, with code the run's exit code, when the output failed.
template <class Write>
bool write_bulk(unsigned long long last, const char *call, Write write, int &code) {
    for (unsigned long long done = 0;;) {
        size_t length = 0;
        int made = write(done, block + pending, sizeof block - pending, &length);
        if (made <= 0)
            return code = out_of_order(call), false;
        length += pending;
        pending = 0;
        if (!put(length, static_cast<unsigned long long>(made), code))
            return false;
        if (static_cast<unsigned long long>(made) - 1 >= last - done)
            return true;
        done += static_cast<unsigned long long>(made);
    }
}

// The names of ids first to last, both included (which may be all 2^64).
int write_id_range(int mode, const unsigned char *key, unsigned long long first,
                   unsigned long long last, int format) {
    int code = 0;
    write_bulk(
        last - first, "onymix_write_ids",
        [&](unsigned long long done, char *out, size_t size, size_t *length) {
            unsigned long long after = last - first - done; // names after this one
            size_t count = after < size ? static_cast<size_t>(after) + 1 : size;
            return onymix_write_ids(mode, key, first + done, nullptr, count, format, out, size,
                                    length);
        },
        code);
    return code;
}

// The names of count ids.
bool write_listed_ids(int mode, const unsigned char *key, const unsigned long long *ids,
                      size_t count, int format, int &code) {
    return count == 0 || write_bulk(
                             count - 1, "onymix_write_ids",
                             [&](unsigned long long done, char *out, size_t size, size_t *length) {
                                 return onymix_write_ids(mode, key, 0, ids + done, count - done,
                                                         format, out, size, length);
                             },
                             code);
}

// The pseudonyms of count values.
bool write_pseudonyms(int mode, const unsigned char *key, const void *const *values,
                      const size_t *lengths, size_t count, int format, int &code) {
    return count == 0 ||
           write_bulk(
               count - 1, "onymix_write_pseudonyms",
               [&](unsigned long long done, char *out, size_t size, size_t *length) {
                   return onymix_write_pseudonyms(mode, key, values + done, lengths + done,
                                                  count - done, format, out, size, length);
               },
               code);
}

// Bytes of standard input into at, at most room. From a terminal a line at
// a time, so that its names come as each is typed; otherwise as much as
// there is. end is set at the end of the input.
size_t read_input(char *at, size_t room, bool typed, bool &end) {
    if (!typed) {
        size_t got = std::fread(at, 1, room, stdin);
        end = got < room;
        return got;
    }
    size_t got = 0;
    while (got < room) {
        int c = std::getc(stdin);
        if (c == EOF) {
            end = true;
            break;
        }
        at[got++] = static_cast<char>(c);
        if (c == '\n')
            break;
    }
    return got;
}

// Standard input in lines, each without its LF or CR LF (the last may have
// neither), handed to take(values, lengths, count, number, code) in batches
// of the lines the input buffer holds whole; number is the first one's line
// number. take returns false to end the run with code. Returns the run's
// exit code.
template <class Take> int read_lines(Take take) {
    bool typed = platform_is_terminal(stdin);
    std::vector<char> input(sizeof block);
    std::vector<const void *> values;
    std::vector<size_t> lengths;
    size_t held = 0;
    unsigned long long number = 1;
    for (bool end = false; !end;) {
        held += read_input(input.data() + held, input.size() - held, typed, end);
        if (std::ferror(stdin)) {
            int error = errno;
            meter.clear();
            std::fprintf(stderr, "onymix-cli: reading standard input: %s\n", std::strerror(error));
            return 1;
        }
        values.clear();
        lengths.clear();
        const char *text = input.data();
        size_t used = 0;
        while (const void *found = std::memchr(text + used, '\n', held - used)) {
            size_t lf = static_cast<size_t>(static_cast<const char *>(found) - text);
            values.push_back(text + used);
            lengths.push_back(lf - used - (lf > used && text[lf - 1] == '\r'));
            used = lf + 1;
        }
        if (end && used < held) {
            values.push_back(text + used);
            lengths.push_back(held - used);
            used = held;
        }
        int code = 0;
        if (!values.empty() && !take(values.data(), lengths.data(), values.size(), number, code))
            return code;
        number += values.size();
        std::memmove(input.data(), input.data() + used, held - used);
        held -= used;
        if (held == input.size()) // one line fills the buffer
            input.resize(2 * input.size());
    }
    return 0;
}

int write_by_id(int mode, const unsigned char *key, int format) {
    std::vector<unsigned long long> ids;
    return read_lines([&](const void *const *lines, const size_t *lengths, size_t count,
                          unsigned long long number, int &code) {
        ids.resize(count);
        for (size_t i = 0; i < count; i++) {
            const char *line = static_cast<const char *>(lines[i]);
            if (parse_unsigned(line, line + lengths[i], ids[i]))
                continue;
            // The names of the lines before, then the message.
            if (!write_listed_ids(mode, key, ids.data(), i, format, code) || !put_header(code))
                return false;
            meter.clear();
            std::string why = lengths[i] == 0 ? "an empty line is no id"
                              : all_digits(line, lengths[i])
                                  ? "too large for an id, which is at most 18446744073709551615"
                                  : "not an id, a decimal number from 0 to 18446744073709551615";
            std::fprintf(stderr, "onymix-cli: line %s of standard input: %s: %s\n",
                         std::to_string(number + i).c_str(), why.c_str(),
                         quoted(line, lengths[i]).c_str());
            code = 2;
            return false;
        }
        return write_listed_ids(mode, key, ids.data(), count, format, code);
    });
}

int write_pseudonyms_of_lines(int mode, const unsigned char *key, int format) {
    return read_lines([&](const void *const *lines, const size_t *lengths, size_t count,
                          unsigned long long, int &code) {
        return write_pseudonyms(mode, key, lines, lengths, count, format, code);
    });
}

enum long_only {
    start_option = 256,
    ids_option,
    by_id_option,
    pseudonymize_option,
    key_option,
    key_file_option,
    quiet_option
};

const option long_options[] = {{"mode", required_argument, nullptr, 'm'},
                               {"seed", required_argument, nullptr, 's'},
                               {"count", required_argument, nullptr, 'n'},
                               {"start", required_argument, nullptr, start_option},
                               {"unique", no_argument, nullptr, 'u'},
                               {"ids", required_argument, nullptr, ids_option},
                               {"by-id", no_argument, nullptr, by_id_option},
                               {"pseudonymize", no_argument, nullptr, pseudonymize_option},
                               {"key", required_argument, nullptr, key_option},
                               {"key-file", required_argument, nullptr, key_file_option},
                               {"format", required_argument, nullptr, 'f'},
                               {"quiet", no_argument, nullptr, quiet_option},
                               {"version", no_argument, nullptr, 'V'},
                               {"help", no_argument, nullptr, 'h'},
                               {nullptr, 0, nullptr, 0}};

// '+': stop at the first word that is no option, so that it is reported in
// its place; ':': report a missing value apart from an unknown option.
const char short_options[] = "+:m:s:n:uf:Vh";

bool takes_no_value(int letter) {
    for (const option *o = long_options; o->name; o++)
        if (o->val == letter)
            return o->has_arg == no_argument;
    return false;
}

} // namespace

int main(int argc, char **argv) {
    int mode = -1; // the default of the kind of run
    bool seeded = false, counted = false, started = false, unique = false, quiet = false;
    unsigned long long seed = 0, start = 0, first_id = 0, last_id = 0;
    long long count = 1;
    int format = ONYMIX_TEXT;
    bool id_range = false, by_id = false, pseudonymize = false;
    const char *key_text = nullptr, *key_file = nullptr;

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
            if (!parse_unsigned(optarg, optarg + std::strlen(optarg), seed))
                return bad_usage("seed must be a whole number from 0 to 18446744073709551615",
                                 optarg);
            seeded = true;
            break;
        case 'n':
            if (!parse_number(optarg, 1000000000000LL, count))
                return bad_usage("count must be a whole number from 0", optarg);
            counted = true;
            break;
        case start_option:
            if (!parse_unsigned(optarg, optarg + std::strlen(optarg), start))
                return bad_usage("start must be a whole number from 0 to 18446744073709551615",
                                 optarg);
            started = true;
            break;
        case ids_option: {
            const char *dash = std::strchr(optarg, '-');
            if (!dash || !parse_unsigned(optarg, dash, first_id) ||
                !parse_unsigned(dash + 1, dash + 1 + std::strlen(dash + 1), last_id))
                return bad_usage("ids must be FROM-TO, two whole numbers from 0 to "
                                 "18446744073709551615",
                                 optarg);
            if (first_id > last_id)
                return bad_usage("the first id is above the last", optarg);
            id_range = true;
            break;
        }
        case by_id_option:
            by_id = true;
            break;
        case pseudonymize_option:
            pseudonymize = true;
            break;
        case key_option:
            key_text = optarg;
            break;
        case key_file_option:
            key_file = optarg;
            break;
        case quiet_option:
            quiet = true;
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
            // value given one leaves its value; otherwise it is a letter
            // that is no option.
            if (optopt == 0)
                return bad_usage("unknown option", written);
            if (takes_no_value(optopt) && std::strncmp(written, "--", 2) == 0)
                return bad_usage("takes no value", written);
            char letter[3] = {'-', static_cast<char>(optopt), '\0'};
            return bad_usage("unknown option", letter);
        }
    }
    if (optind < argc)
        return bad_usage("unknown option", argv[optind]);

    // What goes together: one kind of run, and the options of that kind.
    const char *by_id_run = nullptr;
    const struct {
        bool given;
        const char *name;
    } runs[] = {{id_range, "--ids"}, {by_id, "--by-id"}, {pseudonymize, "--pseudonymize"}},
      sequence_options[] = {
          {seeded, "--seed"}, {counted, "--count"}, {started, "--start"}, {unique, "--unique"}};
    for (const auto &run : runs)
        if (run.given) {
            if (by_id_run)
                return conflict(by_id_run, run.name);
            by_id_run = run.name;
        }
    for (const auto &other : sequence_options)
        if (by_id_run && other.given)
            return conflict(by_id_run, other.name);
    if (started && unique)
        return conflict("--start", "--unique");
    if (key_text && key_file)
        return conflict("--key", "--key-file");
    if (!by_id_run && (key_text || key_file))
        return bad_usage(key_text ? "--key goes only with --ids, --by-id or --pseudonymize"
                                  : "--key-file goes only with --ids, --by-id or --pseudonymize",
                         nullptr);

    unsigned char key_bytes[ONYMIX_KEY_SIZE];
    const unsigned char *key = nullptr; // 16 zero bytes
    if (key_text) {
        std::string wrong = parse_key(key_text, std::strlen(key_text), key_bytes);
        if (!wrong.empty())
            return bad_usage("--key must be 32 hex digits", wrong.c_str());
        key = key_bytes;
    }
    if (key_file) {
        if (int code = read_key_file(key_file, key_bytes))
            return code;
        key = key_bytes;
    }
    if (mode < 0)
        mode = by_id_run ? ONYMIX_ANY_SURNAME : ONYMIX_MALE_SURNAME;

    // Without a count or a start, one Generate: every pick re-seeded. One
    // name is always unique.
    onymix_generator *generator = nullptr;
    if (!by_id_run) {
        unsigned flags = !counted && !started ? ONYMIX_RESEED : unique ? ONYMIX_UNIQUE : 0;
        generator =
            seeded ? onymix_open_seed(mode, seed, flags) : onymix_open(mode, ONYMIX_NOW, flags);
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
        if (started && onymix_seek(generator, start) != 0) {
            onymix_close(generator);
            return out_of_order("onymix_seek");
        }
    }

    // A closed pipe then fails the write with EPIPE instead of killing the
    // process, and the run ends quietly.
#ifdef SIGPIPE
    std::signal(SIGPIPE, SIG_IGN);
#endif
    // The blocks are written as they are; stdio must hold nothing back.
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    // A line's bytes are its value, CR and Ctrl+Z too.
    platform_binary_stream(stdin);

    // Progress only where someone watches it: standard error a terminal
    // that the names do not scroll through.
    bool shown = !quiet && platform_is_terminal(stderr) && !platform_is_terminal(stdout);
    const char *header = onymix_format_header(format);
    pending = std::strlen(header);
    std::memcpy(block, header, pending);

    int code = 0;
    try {
        if (generator) {
            meter.begin(shown && counted, true, static_cast<double>(count));
            code = write_sequence(generator, format, count);
            onymix_close(generator);
        } else if (id_range) {
            meter.begin(shown, true, static_cast<double>(last_id - first_id) + 1);
            code = write_id_range(mode, key, first_id, last_id, format);
        } else {
            meter.begin(shown, false, 0);
            code = by_id ? write_by_id(mode, key, format)
                         : write_pseudonyms_of_lines(mode, key, format);
        }
    } catch (const std::bad_alloc &) {
        meter.clear();
        std::fputs("onymix-cli: not enough memory\n", stderr);
        return 1;
    }
    // Input that held no lines still gets the format's header.
    if (code == 0)
        put_header(code);
    meter.clear();
    if (code == reader_gone)
        return 0;
    if (code == 0 && (std::fflush(stdout) != 0 || std::ferror(stdout))) {
        std::perror("onymix-cli: writing the names");
        return 1;
    }
    return code;
}
