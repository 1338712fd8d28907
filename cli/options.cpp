// options.cpp: onymix-cli's command line: the options as getopt_long reads
// them, their values, which of them go together, and the messages of a
// usage error (cli.h).
#include "cli.h"

#include <cstdio>
#include <cstring>
#include <getopt.h>
#include <string>

namespace {

const char usage[] =
    "usage: onymix-cli [-m M] [-s S] [-n N] [--start K] [-u | --weighted] [-f F] [--quiet]\n"
    "       onymix-cli --ids FROM-TO | --by-id | --pseudonymize\n"
    "                  [-m M] [--key HEX | --key-file FILE] [-f F] [--quiet]\n"
    "       onymix-cli --mask COLUMN=KIND... --key HEX | --key-file FILE\n"
    "                  [--no-header | --dump] [-o FILE] [--jobs N] [--quiet] [FILE]\n"
    "  -m, --mode M        Female, \"Female + Surname\", Male, \"Male + Surname\",\n"
    "                      Surname, Any or \"Any + Surname\", in any case and with\n"
    "                      any spaces or tabs around the +, or the mode number 0\n"
    "                      to 6; Any takes a first name from either list.\n"
    "                      The default is \"Male + Surname\", and \"Any + Surname\"\n"
    "                      (the most names) for --ids, --by-id and --pseudonymize\n"
    "  -s, --seed S        seed with S (0 to 18446744073709551615) instead of the\n"
    "                      seconds of uptime; 0 to 86399 are the seconds of the day\n"
    "  -n, --count N       print N names, one a line, drawn on from one seeding\n"
    "      --start K       begin at name K (0 is the first) of the sequence; without\n"
    "                      --count, print name K alone\n"
    "  -u, --unique        print no name twice: repeats are left out until N names\n"
    "                      are out\n"
    "      --weighted      draw each name as often as the 1990 census found it,\n"
    "                      not evenly from its list\n"
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
    "      --mask COLUMN=KIND  mask a column of a CSV file (or standard input):\n"
    "                      COLUMN is a name of the first line or a number from 1;\n"
    "                      KIND is first, surname, full, or a mode for the\n"
    "                      pseudonym of the value; repeat for more columns.\n"
    "                      A secret key, not the zero key, is required\n"
    "      --no-header     the first line is a record, not the columns' names\n"
    "      --dump          the input is a plain-format pg_dump: COLUMN is\n"
    "                      table.column or schema.table.column, and the fields\n"
    "                      of its COPY data are masked\n"
    "  -o, --output FILE   write the masked file to FILE, only when all went well\n"
    "      --jobs N        mask on N threads (the default: one a core)\n"
    "      --quiet         show no progress (shown on standard error when it is a\n"
    "                      terminal and the names go elsewhere, after a second)\n"
    "  -V, --version       show the version and exit\n"
    "  -h, --help          show this and exit\n";

const unsigned long long largest_id = ~0ull; // 2^64 - 1

int conflict(const char *option, const char *other) {
    return bad_usage((std::string(option) + " does not go with " + other).c_str(), nullptr);
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

enum long_only {
    start_option = 256,
    ids_option,
    by_id_option,
    pseudonymize_option,
    key_option,
    key_file_option,
    quiet_option,
    mask_option,
    weighted_option,
    no_header_option,
    dump_option,
    jobs_option
};

const option long_options[] = {{"mode", required_argument, nullptr, 'm'},
                               {"seed", required_argument, nullptr, 's'},
                               {"count", required_argument, nullptr, 'n'},
                               {"start", required_argument, nullptr, start_option},
                               {"unique", no_argument, nullptr, 'u'},
                               {"weighted", no_argument, nullptr, weighted_option},
                               {"ids", required_argument, nullptr, ids_option},
                               {"by-id", no_argument, nullptr, by_id_option},
                               {"pseudonymize", no_argument, nullptr, pseudonymize_option},
                               {"key", required_argument, nullptr, key_option},
                               {"key-file", required_argument, nullptr, key_file_option},
                               {"format", required_argument, nullptr, 'f'},
                               {"quiet", no_argument, nullptr, quiet_option},
                               {"mask", required_argument, nullptr, mask_option},
                               {"no-header", no_argument, nullptr, no_header_option},
                               {"dump", no_argument, nullptr, dump_option},
                               {"output", required_argument, nullptr, 'o'},
                               {"jobs", required_argument, nullptr, jobs_option},
                               {"version", no_argument, nullptr, 'V'},
                               {"help", no_argument, nullptr, 'h'},
                               {nullptr, 0, nullptr, 0}};

// '+': stop at the first word that is no option, so that it is reported in
// its place; ':': report a missing value apart from an unknown option.
const char short_options[] = "+:m:s:n:uf:o:Vh";

bool takes_no_value(int letter) {
    for (const option *o = long_options; o->name; o++)
        if (o->val == letter)
            return o->has_arg == no_argument;
    return false;
}

// --mask COLUMN=KIND into o. -1, or 2 after a message.
int take_mask(const char *text, cli_options &o) {
    // A column's name may hold '=', a kind never does.
    const char *equals = std::strrchr(text, '=');
    if (!equals || equals == text)
        return bad_usage("--mask must be COLUMN=KIND", text);
    mask_rule rule;
    rule.column.assign(text, equals);
    const char *kind = equals + 1;
    if (std::strcmp(kind, "first") == 0)
        rule.kind = ONYMIX_MASK_FIRST_NAME;
    else if (std::strcmp(kind, "surname") == 0)
        rule.kind = ONYMIX_MASK_SURNAME;
    else if (std::strcmp(kind, "full") == 0)
        rule.kind = ONYMIX_MASK_FULL_NAME;
    else if ((rule.mode = onymix_mode_from_text(kind, std::strlen(kind))) < 0)
        return bad_usage("the kind of a mask is first, surname, full or a mode", kind);
    o.masks.push_back(rule);
    return -1;
}

// One option, as getopt_long returned it (written is the word it came in),
// into o: -1 when the run goes on, otherwise the run's exit code.
int take_option(int option, const char *written, cli_options &o) {
    switch (option) {
    case 'h':
        std::fputs(usage, stdout);
        return 0;
    case 'V':
        std::printf("onymix-cli %s\n", onymix_version());
        return 0;
    case 'u':
        o.unique = true;
        return -1;
    case weighted_option:
        o.weighted = true;
        return -1;
    case 'm':
        o.mode = onymix_mode_from_text(optarg, std::strlen(optarg));
        o.mode_given = true;
        return o.mode < 0 ? bad_usage("not a mode", optarg) : -1;
    case 's':
        if (!parse_unsigned(optarg, optarg + std::strlen(optarg), o.seed))
            return bad_usage("seed must be a whole number from 0 to 18446744073709551615", optarg);
        o.seeded = true;
        return -1;
    case 'n':
        if (!parse_number(optarg, 1000000000000LL, o.count))
            return bad_usage("count must be a whole number from 0", optarg);
        o.counted = true;
        return -1;
    case start_option:
        if (!parse_unsigned(optarg, optarg + std::strlen(optarg), o.start))
            return bad_usage("start must be a whole number from 0 to 18446744073709551615", optarg);
        o.started = true;
        return -1;
    case ids_option: {
        const char *dash = std::strchr(optarg, '-');
        if (!dash || !parse_unsigned(optarg, dash, o.first_id) ||
            !parse_unsigned(dash + 1, dash + 1 + std::strlen(dash + 1), o.last_id))
            return bad_usage("ids must be FROM-TO, two whole numbers from 0 to "
                             "18446744073709551615",
                             optarg);
        if (o.first_id > o.last_id)
            return bad_usage("the first id is above the last", optarg);
        o.id_range = true;
        return -1;
    }
    case by_id_option:
        o.by_id = true;
        return -1;
    case pseudonymize_option:
        o.pseudonymize = true;
        return -1;
    case key_option:
        o.key_text = optarg;
        return -1;
    case key_file_option:
        o.key_file = optarg;
        return -1;
    case quiet_option:
        o.quiet = true;
        return -1;
    case mask_option:
        return take_mask(optarg, o);
    case no_header_option:
        o.no_header = true;
        return -1;
    case dump_option:
        o.dump = true;
        return -1;
    case 'o':
        o.output_path = optarg;
        return -1;
    case jobs_option: {
        long long jobs = 0;
        if (!parse_number(optarg, 1024, jobs) || jobs == 0)
            return bad_usage("jobs must be a whole number from 1 to 1024", optarg);
        o.jobs = static_cast<unsigned>(jobs);
        return -1;
    }
    case 'f':
        o.format = onymix_format_from_label(optarg);
        o.format_given = true;
        return o.format < 0 ? bad_usage("not a format (text, csv or jsonl)", optarg) : -1;
    case ':':
        return bad_usage("missing value after", written);
    default:
        // An unknown long option leaves optopt 0; a long option without a
        // value given one leaves its value; otherwise it is a letter that is
        // no option.
        if (optopt == 0)
            return bad_usage("unknown option", written);
        if (takes_no_value(optopt) && std::strncmp(written, "--", 2) == 0)
            return bad_usage("takes no value", written);
        char letter[3] = {'-', static_cast<char>(optopt), '\0'};
        return bad_usage("unknown option", letter);
    }
}

// What goes together: one kind of run, and the options of that kind. -1, or
// 2 after a message.
int check_together(const cli_options &o) {
    const char *by_id_run = nullptr;
    const struct {
        bool given;
        const char *name;
    } runs[] = {{o.id_range, "--ids"}, {o.by_id, "--by-id"}, {o.pseudonymize, "--pseudonymize"}},
      sequence_options[] = {{o.seeded, "--seed"},
                            {o.counted, "--count"},
                            {o.started, "--start"},
                            {o.unique, "--unique"},
                            {o.weighted, "--weighted"}};
    for (const auto &run : runs)
        if (run.given) {
            if (by_id_run)
                return conflict(by_id_run, run.name);
            by_id_run = run.name;
        }
    for (const auto &other : sequence_options)
        if (by_id_run && other.given)
            return conflict(by_id_run, other.name);
    if (o.started && o.unique)
        return conflict("--start", "--unique");
    if (o.weighted && o.unique)
        return conflict("--weighted", "--unique");
    if (o.key_text && o.key_file)
        return conflict("--key", "--key-file");
    if (!o.masks.empty()) {
        const struct {
            bool given;
            const char *name;
        } others[] = {{by_id_run != nullptr, by_id_run},
                      {o.seeded, "--seed"},
                      {o.counted, "--count"},
                      {o.started, "--start"},
                      {o.unique, "--unique"},
                      {o.weighted, "--weighted"},
                      {o.mode_given, "--mode"},
                      {o.format_given, "--format"}};
        for (const auto &other : others)
            if (other.given)
                return conflict("--mask", other.name);
        if (o.dump && o.no_header)
            return conflict("--dump", "--no-header");
        return -1;
    }
    const char *mask_only = o.no_header     ? "--no-header"
                            : o.dump        ? "--dump"
                            : o.output_path ? "--output"
                            : o.jobs        ? "--jobs"
                                            : nullptr;
    if (mask_only)
        return bad_usage((std::string(mask_only) + " goes only with --mask").c_str(), nullptr);
    if (!by_id_run && (o.key_text || o.key_file))
        return bad_usage(o.key_text ? "--key goes only with --ids, --by-id or --pseudonymize"
                                    : "--key-file goes only with --ids, --by-id or --pseudonymize",
                         nullptr);
    return -1;
}

} // namespace

int bad_usage(const char *what, const char *value) {
    if (value)
        std::fprintf(stderr, "onymix-cli: %s: %s\n", what, value);
    else
        std::fprintf(stderr, "onymix-cli: %s\n", what);
    std::fputs("Try 'onymix-cli --help' for more information.\n", stderr);
    return 2;
}

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

std::string parse_key(const char *text, size_t length, unsigned char key[ONYMIX_KEY_SIZE]) {
    if (length != 2 * ONYMIX_KEY_SIZE)
        return "it has " + std::to_string(length) + " characters";
    int wrong = onymix_key_from_hex(text, length, key);
    return wrong > 0 ? "character " + std::to_string(wrong) + " is no hex digit" : "";
}

int read_options(int argc, char **argv, cli_options &o) {
    opterr = 0;
    // The file to mask may stand among the options: getopt_long stops at
    // it, and is called on from the word after it.
    // Without --mask (or --ma, --mas, which getopt_long takes for it) there
    // is none, and the first word that is no option is the error, before
    // any that follows.
    bool masking = false;
    for (int i = 1; i < argc && !masking; i++) {
        size_t length = std::strcspn(argv[i], "=");
        masking = length >= 4 && length <= 6 && std::strncmp(argv[i], "--mask", length) == 0;
    }
    const char *argument = nullptr;
    for (;;) {
        int option = getopt_long(argc, argv, short_options, long_options, nullptr);
        if (option != -1) {
            if (int code = take_option(option, argv[optind - 1], o); code >= 0)
                return code;
            continue;
        }
        if (optind >= argc)
            break;
        if (!masking || argument || std::strcmp(argv[optind - 1], "--") == 0)
            return bad_usage("unknown option", argv[optind]);
        argument = argv[optind++];
    }
    if (argument && o.masks.empty())
        return bad_usage("unknown option", argument);
    if (argument && std::strcmp(argument, "-") != 0)
        o.input_path = argument;
    if (int code = check_together(o); code >= 0)
        return code;
    if (o.key_text) {
        std::string wrong = parse_key(o.key_text, std::strlen(o.key_text), o.key);
        if (!wrong.empty())
            return bad_usage("--key must be 32 hex digits", wrong.c_str());
        o.keyed = true;
    }
    if (o.mode < 0)
        o.mode = o.id_range || o.by_id || o.pseudonymize ? ONYMIX_DEFAULT_ID_MODE
                                                         : ONYMIX_DEFAULT_SEQUENCE_MODE;
    return -1;
}
