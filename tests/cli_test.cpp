// Tests of onymix-cli, run as a separate process the way a user runs it.
#include "../names/lines.h"
#include "support/cli_run.h"
#include "support/double_generator.h"
#include "version.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>
#include <sys/wait.h>
#include <unistd.h>

namespace {

std::string first_line(const std::string &text) {
    return text.substr(0, text.find('\n'));
}

// The second line of every usage error.
const std::string try_help = "Try 'onymix-cli --help' for more information.\n";

int line_count(const std::string &text) {
    int lines = 0;
    for (char c : text)
        lines += c == '\n';
    return lines;
}

TEST(Cli, ASeededRunIsOneGenerate) {
    struct {
        const char *arguments, *output;
    } const cases[] = {
        {"--seed 0", "Emmitt Verhagen\n"},
        {"--seed 0 --mode Male", "Emmitt\n"},
        {"--seed 0 --mode male", "Emmitt\n"},
        {"--seed 0 --mode 2", "Emmitt\n"},
        {"--seed 0 --mode 'Female + Surname'", "Lizeth Verhagen\n"},
        {"--seed 0 --mode 'FEMALE + SURNAME'", "Lizeth Verhagen\n"},
        {"--mode Surname --seed 1", "Karella\n"},
        {"--seed 1 --mode 0", "Viki\n"},
        {"--seed 1 --mode 3", "Porfirio Karella\n"},
    };
    for (const auto &c : cases) {
        run_result r = run_cli(c.arguments);
        EXPECT_EQ(r.exit_code, 0) << c.arguments << "\n" << r.err;
        EXPECT_EQ(r.out, c.output) << c.arguments;
        EXPECT_EQ(r.err, "") << c.arguments;
    }
}

TEST(Cli, ACountDrawsOnFromOneSeeding) {
    run_result one = run_cli("--seed 0 --mode Male --count 1");
    EXPECT_EQ(one.out, "Emmitt\n");

    run_result three = run_cli("--seed 1 --mode Female --count 3");
    EXPECT_EQ(first_line(three.out), "Viki");
    EXPECT_EQ(line_count(three.out), 3);

    run_result two = run_cli("--seed 0 --mode Surname --count 2");
    EXPECT_EQ(first_line(two.out), "Verhagen");
    EXPECT_EQ(line_count(two.out), 2);
    EXPECT_NE(two.out.substr(two.out.find('\n') + 1), "Verhagen\n") << "names must differ";

    run_result many = run_cli("--seed 5 --count 1000");
    EXPECT_EQ(line_count(many.out), 1000);
    EXPECT_EQ(run_cli("--seed 5 --count 1000").out, many.out) << "a seed makes runs repeatable";
}

TEST(Cli, ACountOfZeroPrintsNoNamesAndSucceeds) {
    struct {
        const char *arguments, *output;
    } const cases[] = {
        {"--count 0", ""},
        {"-n 0 -s 5 -m Any", ""},
        {"-n 0 -u -m Male", ""},
        {"-n 0 -f jsonl", ""},
        {"-n 0 -f csv", "name,first_name,surname,sex\n"},
    };
    for (const auto &c : cases) {
        run_result r = run_cli(c.arguments);
        EXPECT_EQ(r.exit_code, 0) << c.arguments;
        EXPECT_EQ(r.out, c.output) << c.arguments;
        EXPECT_EQ(r.err, "") << c.arguments;
    }
}

TEST(Cli, AnUnseededRunPrintsOneFullName) {
    run_result r = run_cli("");
    EXPECT_EQ(r.exit_code, 0);
    ASSERT_EQ(line_count(r.out), 1) << r.out;
    std::string name = first_line(r.out);
    EXPECT_EQ(std::count(name.begin(), name.end(), ' '), 1) << name;
}

TEST(Cli, BadArgumentsSayWhatIsWrongAndExitTwo) {
    struct {
        const char *arguments, *message;
    } const cases[] = {
        {"--mode Bogus", "onymix-cli: not a mode: Bogus\n"},
        {"--mode 7", "onymix-cli: not a mode: 7\n"},
        {"--mode", "onymix-cli: missing value after: --mode\n"},
        {"--seed 18446744073709551616",
         "onymix-cli: seed must be a whole number from 0 to 18446744073709551615: "
         "18446744073709551616\n"},
        {"--seed -1",
         "onymix-cli: seed must be a whole number from 0 to 18446744073709551615: -1\n"},
        {"--seed 1x",
         "onymix-cli: seed must be a whole number from 0 to 18446744073709551615: 1x\n"},
        {"--count many", "onymix-cli: count must be a whole number from 0: many\n"},
        {"--count -3", "onymix-cli: count must be a whole number from 0: -3\n"},
        {"--frobnicate", "onymix-cli: unknown option: --frobnicate\n"},
        {"Emmitt", "onymix-cli: unknown option: Emmitt\n"},
    };
    for (const auto &c : cases) {
        run_result r = run_cli(c.arguments);
        EXPECT_EQ(r.exit_code, 2) << c.arguments;
        EXPECT_EQ(r.out, "") << c.arguments;
        EXPECT_EQ(r.err, c.message + try_help) << c.arguments;
    }
}

TEST(Cli, HelpGoesToStandardOutput) {
    run_result r = run_cli("--help");
    EXPECT_EQ(r.exit_code, 0);
    EXPECT_EQ(r.out.rfind("usage: onymix-cli", 0), 0u) << r.out;
    EXPECT_EQ(r.err, "");
}

// The options added with the streaming path: modes 5 and 6, --unique,
// --format and --version, and how the output ends.

// The generator and the lists as written down, apart from the program's code:
// 128-bit products instead of the split arithmetic, names read from the data.
struct reference_generator {
    uint64_t state;
    explicit reference_generator(int second) : state(second * 26062497844ull + 13031230749ull) {}
    uint64_t draw() {
        return state = uint64_t((unsigned __int128)state * 627327780969661u % (uint64_t(1) << 51));
    }
    static int offset(uint64_t state, size_t size) {
        return int(((state + 1) * (unsigned __int128)(size - 1) + (uint64_t(1) << 50)) >> 51);
    }
};

std::vector<std::string> lines_of(const std::string &text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}
const std::string data = ONYMIX_SOURCE_DIR "/names/data/";
const std::vector<std::string> female = lines_of(read_file(data + "female.txt")),
                               male = lines_of(read_file(data + "male.txt")),
                               surnames = lines_of(read_file(data + "surnames.txt"));
const uint64_t half = uint64_t(1) << 50;

// One Any first name: the first draw chooses the list, the second the name.
std::string reference_any(reference_generator &g) {
    const auto &list = g.draw() + 1 <= half ? female : male;
    return list[reference_generator::offset(g.draw(), list.size())];
}

TEST(CliOptions, ParsedTheWayGetoptLongParses) {
    struct {
        const char *arguments, *out, *error;
    } const cases[] = {
        {"--seed=0 --mode=male --count=1", "Emmitt\n", ""},
        {"-s0 -m2 -n1", "Emmitt\n", ""},
        {"--seed 1 --mode Any", "Porfirio\n", ""},
        {"-s 1 -m 'ANY + SURNAME'", "Porfirio Karella\n", ""},
        {"-s 0 -f csv", "name,first_name,surname,sex\nEmmitt Verhagen,Emmitt,Verhagen,male\n", ""},
        {"-s 0 --format=JSONL -m 4", "{\"name\":\"Verhagen\",\"surname\":\"Verhagen\"}\n", ""},
        {"-s 3 --version", "onymix-cli " ONYMIX_VERSION "\n", ""},
        {"-V", "onymix-cli " ONYMIX_VERSION "\n", ""},
        {"-f xml", "", "not a format (text, csv or jsonl): xml"},
        {"-s 1 -n", "", "missing value after: -n"},
        {"-q", "", "unknown option: -q"},
        {"--unique=yes", "", "takes no value: --unique=yes"},
        {"-s 1 Emmitt -q", "", "unknown option: Emmitt"},
        {"-u -m Male -n 1220", "", "count is more than the 1219 different names of the mode: 1220"},
        {"-u -m 0 -n 4276", "", "count is more than the 4275 different names of the mode: 4276"},
        {"-u -m Any -n 5164", "", "count is more than the 5163 different names of the mode: 5164"},
        {"-u -m 4 -n 56343 -f csv", "",
         "count is more than the 56342 different names of the mode: 56343"},
        {"-u -m 6 -n 290893747", "",
         "count is more than the 290893746 different names of the mode: 290893747"},
    };
    for (const auto &c : cases) {
        run_result r = run_cli(c.arguments);
        bool bad = *c.error;
        EXPECT_EQ(r.exit_code, bad ? 2 : 0) << c.arguments << "\n" << r.err;
        EXPECT_EQ(r.out, c.out) << c.arguments;
        EXPECT_EQ(r.err, bad ? "onymix-cli: " + std::string(c.error) + "\n" + try_help : "")
            << c.arguments;
    }
}

// text as one word of the shell's, whatever its bytes but NUL.
std::string shell_word(const std::string &text) {
    std::string word = "'";
    for (char c : text)
        word += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return word + "'";
}

// A text of mode-texts.txt with its escapes (\\, \t, \xHH) decoded; false
// for a broken escape.
bool decode_mode_text(const std::string &text, std::string &bytes) {
    for (size_t i = 0; i < text.size(); i++) {
        if (text[i] != '\\') {
            bytes += text[i];
        } else if (i + 1 < text.size() && (text[i + 1] == '\\' || text[i + 1] == 't')) {
            bytes += text[++i] == 't' ? '\t' : '\\';
        } else if (i + 3 < text.size() && text[i + 1] == 'x' &&
                   std::isxdigit(static_cast<unsigned char>(text[i + 2])) &&
                   std::isxdigit(static_cast<unsigned char>(text[i + 3]))) {
            bytes += static_cast<char>(std::stoi(text.substr(i + 2, 2), nullptr, 16));
            i += 3;
        } else {
            return false;
        }
    }
    return true;
}

// Every case of the texts of modes that all front-ends share as the value of
// -m: the name of the case's mode number, or the usual refusal. The cases
// with a NUL byte are left out: no argument can hold one.
TEST(CliOptions, AModeIsReadAsEveryFrontEndReadsIt) {
    std::string by_number[all_mode_count];
    for (int mode = 0; mode < all_mode_count; mode++)
        by_number[mode] = run_cli("-m " + std::to_string(mode) + " --seed 0").out;
    for (const std::string &name : by_number)
        ASSERT_EQ(line_count(name), 1) << name;
    int cases = 0, refused = 0;
    for (const std::string &line :
         lines_of(read_file(ONYMIX_SOURCE_DIR "/tests/golden/mode-texts.txt"))) {
        if (line.empty() || line[0] == '#')
            continue;
        size_t tab = line.find('\t');
        std::string text;
        if (tab == std::string::npos || !decode_mode_text(line.substr(0, tab), text)) {
            ADD_FAILURE() << "mode-texts.txt: a line that is no case: " << line;
            continue;
        }
        int expected = std::atoi(line.c_str() + tab + 1);
        if (text.find('\0') != std::string::npos)
            continue;
        run_result r = run_cli("-m " + shell_word(text) + " --seed 0");
        if (expected < 0) {
            EXPECT_EQ(r.exit_code, 2) << line;
            EXPECT_EQ(r.out, "") << line;
            EXPECT_EQ(r.err, "onymix-cli: not a mode: " + text + "\n" + try_help) << line;
        } else {
            EXPECT_EQ(r.exit_code, 0) << line << "\n" << r.err;
            EXPECT_EQ(r.out, by_number[expected]) << line;
        }
        cases++;
        refused += expected < 0;
    }
    EXPECT_GE(cases, 100) << "mode-texts.txt is cut short";
    EXPECT_GE(refused, 30) << "mode-texts.txt is cut short";
}

TEST(CliOptions, TheFirstDrawChoosesTheListOfAnAnyName) {
    // The seeds of the day whose first draw is nearest to 0.5 on either side
    // (none draws exactly 0.5).
    int below = 0, above = 0;
    uint64_t nearest_below = 0, nearest_above = ~uint64_t(0);
    for (int second = 0; second < 86400; second++) {
        uint64_t a = reference_generator(second).draw() + 1;
        if (a <= half && a > nearest_below)
            nearest_below = a, below = second;
        if (a > half && a < nearest_above)
            nearest_above = a, above = second;
    }
    for (int second : {below, above}) {
        std::string out = run_cli("-f csv -m Any -s " + std::to_string(second)).out;
        EXPECT_EQ(out.substr(out.rfind(',')), second == below ? ",female\n" : ",male\n") << out;
    }
    // Exactly 0.5 comes only from a running sequence: start one draw before
    // the state 2^50 - 1 (and 2^50 + 1), found with the multiplier's inverse
    // (it is odd, so Newton's step x(2 - ax) finds it).
    uint64_t inverse = 1;
    for (int i = 0; i < 6; i++)
        inverse *= 2 - 627327780969661u * inverse;
    for (uint64_t target : {half - 1, half + 1}) {
        uint64_t before = (target * inverse) & (2 * half - 1);
        name_stream stream{{mode_any, draw_on, 0}, format_csv, before, 1, nullptr};
        char buffer[longest_line];
        std::string line(buffer, fill_names(stream, buffer, buffer + sizeof buffer));
        EXPECT_EQ(line.substr(line.rfind(',')), target < half ? ",female\n" : ",male\n") << line;
    }
}

TEST(CliOptions, AnyModesMatchTheirDraws) {
    for (int second : {0, 1, 4711, 86399}) {
        std::string any, full, seed = " -s " + std::to_string(second);
        reference_generator a(second), f(second), once(second);
        for (int i = 0; i < 2000; i++) {
            any += reference_any(a) + "\n";
            full += reference_any(f) + " ";
            f.draw();
            full += surnames[reference_generator::offset(f.draw(), surnames.size())] + "\n";
        }
        EXPECT_EQ(run_cli("-n 2000 -m Any" + seed).out, any) << second;
        EXPECT_EQ(run_cli("-n 2000 -m 'Any + Surname'" + seed).out, full) << second;
        // Without a count both picks re-seed: the surname lies where the first
        // name's second draw does.
        std::string first_name = reference_any(once);
        EXPECT_EQ(run_cli("-m 6" + seed).out,
                  first_name + " " +
                      surnames[reference_generator::offset(once.state, surnames.size())] + "\n");
    }
}

TEST(CliOptions, UniqueLeavesOutRepeatsUntilEveryNameIsOut) {
    std::vector<std::string> got = lines_of(run_cli("-u -m Surname -n 56342 -s 3").out);
    EXPECT_EQ(std::set<std::string>(got.begin(), got.end()),
              std::set<std::string>(surnames.begin(), surnames.end()));
    got = lines_of(run_cli("-u -m Any -n 5163 -s 8").out);
    std::set<std::string> both(female.begin(), female.end());
    both.insert(male.begin(), male.end());
    EXPECT_EQ(std::set<std::string>(got.begin(), got.end()), both);
    EXPECT_EQ(got.size(), both.size());

    // The ordinary sequence with the repeats left out, in every mode.
    for (int mode = 0; mode < 7; mode++) {
        std::string options = " -s 9 -m " + std::to_string(mode);
        std::vector<std::string> expected;
        std::set<std::string> seen;
        for (const std::string &name : lines_of(run_cli("-n 100000" + options).out))
            if (expected.size() < 1000 && seen.insert(name).second)
                expected.push_back(name);
        EXPECT_EQ(lines_of(run_cli("-u -n 1000" + options).out), expected) << "mode " << mode;
    }
}

// A small JSON reader for what a line may hold, an object of strings;
// anything else fails.
bool read_json_string(const char *&p, std::string &out) {
    const char *escapes = "\"\"\\\\//b\bf\fn\nr\rt\t";
    if (*p++ != '"')
        return false;
    for (out.clear(); *p != '"'; p++) {
        if (static_cast<unsigned char>(*p) < 0x20)
            return false;
        const char *e = *p == '\\' ? std::strchr(escapes, *++p) : nullptr;
        if (*p == '\\' && (!*p || !e || (e - escapes) % 2))
            return false;
        out += e ? e[1] : *p;
    }
    return *p++ == '"';
}

bool read_json_object(const char *p, std::map<std::string, std::string> &object) {
    auto next = [&p] { return *(p += std::strspn(p, " \t\r\n")); };
    if (next() != '{' || (p++, false))
        return false;
    std::string key, value;
    while (next() != '}') {
        if (!object.empty() && *p++ != ',')
            return false;
        if (!(next(), read_json_string(p, key)) || next() != ':' ||
            !(++p, next(), read_json_string(p, value)) || !object.emplace(key, value).second)
            return false;
    }
    return (++p, next()) == '\0';
}

TEST(CliOptions, CsvAndJsonLinesReadBackAsTheTextNames) {
    std::set<std::string> female_set(female.begin(), female.end()),
        male_set(male.begin(), male.end());
    for (int mode = 0; mode < 7; mode++) {
        std::string options = " -n 3000 -s 77 -m " + std::to_string(mode);
        std::vector<std::string> text = lines_of(run_cli(options).out);
        std::vector<std::string> csv = lines_of(run_cli("-f csv" + options).out);
        std::vector<std::string> jsonl = lines_of(run_cli("-f jsonl" + options).out);
        ASSERT_EQ(text.size(), 3000u);
        ASSERT_EQ(jsonl.size(), 3000u);
        ASSERT_EQ(csv.size(), 3001u);
        EXPECT_EQ(csv[0], "name,first_name,surname,sex");
        for (size_t i = 0; i < text.size(); i++) {
            std::map<std::string, std::string> row, object;
            std::istringstream fields(csv[i + 1] + ",");
            for (const char *key : {"name", "first_name", "surname", "sex"})
                if (std::getline(fields, row[key], ','), row[key].empty())
                    row.erase(key);
            ASSERT_EQ(fields.peek(), EOF) << csv[i + 1];
            ASSERT_TRUE(read_json_object(jsonl[i].c_str(), object)) << jsonl[i];
            EXPECT_EQ(object, row) << jsonl[i] << " against " << csv[i + 1];
            // Keys that are left out read as empty from here on.
            bool whole = row.count("first_name") && row.count("surname");
            bool has_first = row.count("first_name");
            EXPECT_EQ(row.count("sex"), row.count("first_name")) << csv[i + 1];
            EXPECT_EQ(row["name"], text[i]);
            EXPECT_EQ(row["first_name"] + (whole ? " " : "") + row["surname"], text[i]);
            const char *sex = mode < 2 ? "female" : mode < 4 ? "male" : row["sex"].c_str();
            const auto &list = row["sex"] == "female" ? female_set : male_set;
            EXPECT_EQ(row["sex"], sex) << csv[i + 1];
            EXPECT_TRUE(!has_first || list.count(row["first_name"])) << csv[i + 1];
        }
    }
}

TEST(CliOptions, AClosedPipeEndsQuietlyAndAFullDiskDoesNot) {
    std::string dir = testing::TempDir() + "cli_pipe_" + std::to_string(getpid());
    std::string command = "sh -c '" + std::string(ONYMIX_CLI_PATH) + " -s 2 -n 100000000 2>" + dir +
                          "err; echo $? >" + dir + "code' | head -n 3 >" + dir + "out";
    ASSERT_EQ(std::system(command.c_str()), 0);
    EXPECT_EQ(read_file(dir + "out"), run_cli("-s 2 -n 3").out);
    EXPECT_EQ(read_file(dir + "err") + read_file(dir + "code"), "0\n")
        << "stderr, then the exit code";
    for (const char *name : {"out", "err", "code"})
        std::remove((dir + name).c_str());

    for (const char *options : {"-s 2", "-n 100000 -f jsonl"}) {
        std::string full = std::string(ONYMIX_CLI_PATH) + " " + options + " >/dev/full 2>" + dir;
        int status = std::system(full.c_str());
        EXPECT_EQ(WIFEXITED(status) ? WEXITSTATUS(status) : -1, 1) << options;
        EXPECT_EQ(read_file(dir), "onymix-cli: writing the names: No space left on device\n");
        std::remove(dir.c_str());
    }
}

TEST(CliOptions, CountsPastTheLargestIntAreWritten) {
    // The library's bulk call takes an int count, so a larger one goes to it
    // in parts. The reader stops early; what it got is the sequence's start,
    // and the run ends quietly with exit code 0.
    std::string dir = testing::TempDir() + "cli_count_" + std::to_string(getpid());
    std::string expected = run_cli("-s 7 -n 5000").out;
    for (const char *count : {"2147483647", "2147483648", "4294967296", "4294967301"}) {
        std::string command = "sh -c '" + std::string(ONYMIX_CLI_PATH) + " -s 7 -n " + count +
                              " 2>" + dir + "err; echo $? >" + dir + "code' | head -n 5000 >" +
                              dir + "out";
        ASSERT_EQ(std::system(command.c_str()), 0) << count;
        EXPECT_TRUE(read_file(dir + "out") == expected) << "the first 5000 names of -n " << count;
        EXPECT_EQ(read_file(dir + "err") + read_file(dir + "code"), "0\n") << count;
    }
    for (const char *name : {"out", "err", "code"})
        std::remove((dir + name).c_str());
}

TEST(CliOptions, TheStreamingPathPrintsWhatGeneratePrinted) {
    // What the picks give in double precision, as the program first drew them.
    for (int mode = 0; mode < mode_count; mode++) {
        int second = 1000 * mode + 17;
        double_generator oracle(second);
        std::string expected;
        for (int i = 0; i < 1000000; i++)
            expected.append(oracle.next_name(mode)).push_back('\n');
        std::string got =
            run_cli("-n 1000000 -m " + std::to_string(mode) + " -s " + std::to_string(second)).out;
        ASSERT_EQ(got.size(), expected.size()) << "mode " << mode;
        EXPECT_TRUE(got == expected)
            << "mode " << mode << ": first difference at byte "
            << std::mismatch(got.begin(), got.end(), expected.begin()).first - got.begin();
    }
}

// Names by id, pseudonyms, seeds beyond the day and starts against the
// golden files of the reference written apart from the C code
// (tests/reference/), and what goes wrong with them.

run_result run_cli_input(const std::string &arguments, const std::string &input) {
    std::string in = testing::TempDir() + "cli_in_" + std::to_string(getpid());
    std::ofstream(in, std::ios::binary) << input;
    run_result result = run_cli(arguments, in);
    std::remove(in.c_str());
    return result;
}

std::string golden(const std::string &name) {
    return read_file(ONYMIX_SOURCE_DIR "/tests/golden/" + name);
}

TEST(CliById, IdsAndLinesGiveTheGoldenNames) {
    for (const char *key :
         {"00000000000000000000000000000000", "000102030405060708090a0b0c0d0e0f"}) {
        std::string input[7], pseudonyms[7];
        for (const std::string &line :
             lines_of(golden(std::string("pseudonyms-") + key + ".txt"))) {
            size_t tab = line.find('\t'), name = line.find('\t', tab + 1) + 1;
            std::string value;
            for (size_t i = tab + 1; i + 2 < name; i += 2)
                value += static_cast<char>(std::stoi(line.substr(i, 2), nullptr, 16));
            // A value holding LF or CR cannot be a line, which LF or CR LF
            // ends: those values (two a mode) are left out, only those.
            if (value.find_first_of("\r\n") == std::string::npos) {
                input[line[0] - '0'] += value + (value.size() % 2 ? "\r\n" : "\n");
                pseudonyms[line[0] - '0'] += line.substr(name) + "\n";
            }
        }
        for (int mode = 0; mode < 7; mode++) {
            std::string options = " -m " + std::to_string(mode) + " --key " + key;
            std::vector<std::string> lines =
                lines_of(golden("ids-" + std::to_string(mode) + "-" + key + ".txt"));
            ASSERT_EQ(lines.size(), 1009u);
            // Ids 0 to 999 as a range; the others (beside the end of a
            // first-name mode's first block, and up to 2^64 - 1) from
            // standard input, in CR LF lines but the last, which has no end.
            std::string range, ids, names, last_two;
            for (size_t i = 0; i < lines.size(); i++) {
                size_t tab = lines[i].find('\t');
                (i < 1000 ? range : names) += lines[i].substr(tab + 1) + "\n";
                ids += i < 1000 ? "" : lines[i].substr(0, tab) + (i < 1008 ? "\r\n" : "");
                last_two += i < 1007 ? "" : lines[i].substr(tab + 1) + "\n";
            }
            EXPECT_EQ(run_cli("--ids 0-999" + options).out, range) << options;
            EXPECT_EQ(run_cli_input("--by-id" + options, ids).out, names) << options;
            EXPECT_EQ(run_cli("--ids 18446744073709551614-18446744073709551615" + options).out,
                      last_two);
            // A range of one id: that id's name alone, at the start and at the end.
            EXPECT_EQ(run_cli("--ids 5-5" + options).out,
                      lines[5].substr(lines[5].find('\t') + 1) + "\n");
            EXPECT_EQ(run_cli("--ids 18446744073709551615-18446744073709551615" + options).out,
                      last_two.substr(last_two.find('\n') + 1));
            EXPECT_EQ(std::count(input[mode].begin(), input[mode].end(), '\n'), 34);
            EXPECT_EQ(run_cli_input("--pseudonymize" + options, input[mode]).out, pseudonyms[mode])
                << options;
        }
    }
    // The defaults: "Any + Surname" under 16 zero bytes.
    EXPECT_EQ(run_cli("--ids 1-2").out,
              run_cli("--ids 1-2 -m 6 --key " + std::string(32, '0')).out);
    EXPECT_EQ(run_cli_input("--pseudonymize", "a\nb").out,
              run_cli_input("--pseudonymize -m 6 --key " + std::string(32, '0'), "a\nb\n").out);
}

TEST(CliSeeds, FarSeedsAndStartsGiveTheGoldenSequences) {
    for (int mode = 0; mode < 7; mode++) {
        std::string m = std::to_string(mode);
        for (std::string seed : {"86400", "4294967296", "18446744073709551615"})
            EXPECT_EQ(run_cli("-n 1000 -m " + m + " -s " + seed).out,
                      golden("sequence-" + m + "-" + seed + ".txt"))
                << m << " " << seed;
        for (std::string k : {"1000000", "1000000000000", "9223372036854775808"})
            EXPECT_EQ(run_cli("-s 0 --start " + k + " -n 1000 -m " + m).out,
                      golden("sequence-" + m + "-0-from-" + k + ".txt"))
                << m << " " << k;
    }
    // Weighted: its own golden sequences, and seeks into them.
    for (int mode = 0; mode < 7; mode++) {
        std::string m = std::to_string(mode);
        for (std::string seed : {"1", "43200", "18446744073709551615"})
            EXPECT_EQ(run_cli("--weighted -n 1000 -m " + m + " -s " + seed).out,
                      golden("weighted-" + m + "-" + seed + ".txt"))
                << m << " " << seed;
        EXPECT_EQ(run_cli("--weighted -s 1 --start 1000000000000 -n 1000 -m " + m).out,
                  golden("weighted-" + m + "-1-from-1000000000000.txt"))
            << m;
    }
    // Without --count: name K alone, and for a seed beyond the day one
    // Generate, every pick re-seeded, so that the surname is the Surname
    // mode's first name.
    EXPECT_EQ(run_cli("-s 0 --start 1000000 -m 5").out,
              first_line(golden("sequence-5-0-from-1000000.txt")) + "\n");
    EXPECT_EQ(run_cli("-s 18446744073709551615").out,
              first_line(golden("sequence-2-18446744073709551615.txt")) + " " +
                  first_line(golden("sequence-4-18446744073709551615.txt")) + "\n");
}

TEST(CliById, BadIdsKeysAndOptionsAreNamedWithExitTwo) {
    const std::string no_id = "not an id, a decimal number from 0 to 18446744073709551615: ";
    const std::string big = "too large for an id, which is at most 18446744073709551615: ";
    const std::pair<std::string, std::string> lines[] = {
        {"", "an empty line is no id: \"\""},
        {"-1", no_id + "\"-1\""},
        {"+1", no_id + "\"+1\""},
        {" 1", no_id + "\" 1\""},
        {"1x", no_id + "\"1x\""},
        {"1\r\r", no_id + "\"1\\x0d\""},
        {"18446744073709551616", big + "\"18446744073709551616\""},
        {std::string(45, '9'), big + "\"" + std::string(40, '9') + "\"..."},
    };
    for (const auto &c : lines) {
        // The names of the lines before may come, nothing after.
        run_result r = run_cli_input("--by-id -f csv", "4\n0005\r\n" + c.first + "\n6\n");
        EXPECT_EQ(r.exit_code, 2) << c.first;
        EXPECT_EQ(r.out, run_cli("--ids 4-5 -f csv").out) << c.first;
        EXPECT_EQ(r.err, "onymix-cli: line 3 of standard input: " + c.second + "\n");
    }
    const std::string range =
        "ids must be FROM-TO, two whole numbers from 0 to 18446744073709551615: ";
    const std::pair<std::string, std::string> options[] = {
        {"--ids 5-3", "the first id is above the last: 5-3"},
        {"--ids=-5", range + "-5"},
        {"--ids 1-2-3", range + "1-2-3"},
        {"--ids 0-18446744073709551616", range + "0-18446744073709551616"},
        {"--ids 1-2 -n 3", "--ids does not go with --count"},
        {"--start 1 --ids 1-2", "--ids does not go with --start"},
        {"--by-id --pseudonymize", "--by-id does not go with --pseudonymize"},
        {"--start 2 -u -n 3", "--start does not go with --unique"},
        {"-n 3 --unique --weighted", "--weighted does not go with --unique"},
        {"--ids 1-2 --weighted", "--ids does not go with --weighted"},
        {"--ids 1-2 --key 0123", "--key must be 32 hex digits: it has 4 characters"},
        {"--by-id --key 000102030405060708090a0b0c0d0eXf",
         "--key must be 32 hex digits: character 31 is no hex digit"},
        {"-n 3 --key-file k", "--key-file goes only with --ids, --by-id or --pseudonymize"},
        {"--quiet=yes", "takes no value: --quiet=yes"},
    };
    for (const auto &c : options) {
        run_result r = run_cli(c.first);
        EXPECT_EQ(r.exit_code, 2) << c.first;
        EXPECT_EQ(r.out, "") << c.first;
        EXPECT_EQ(r.err, "onymix-cli: " + c.second + "\n" + try_help);
    }
}

TEST(CliById, AKeyFileHoldsSixteenBytesOrThirtyTwoHexDigits) {
    std::string path = testing::TempDir() + "cli_key_" + std::to_string(getpid());
    auto with_key_file = [&path](const std::string &bytes) {
        std::ofstream(path, std::ios::binary) << bytes;
        return run_cli("--ids 0-99 --key-file " + path);
    };
    const std::string hex = "0a0d0a0d0a0d0a0d0a0d0a0d0a0d0a0d",
                      bytes = "\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r";
    std::string expected = run_cli("--ids 0-99 --key " + hex).out;
    for (const std::string &good : {bytes, hex, hex + "\n", hex + "\r\n", "0A0D" + hex.substr(4)})
        EXPECT_EQ(with_key_file(good).out, expected) << good;
    for (const std::string &bad :
         {bytes.substr(1), bytes + "x", hex + "\n\n", hex.substr(1) + "\n", "g" + hex.substr(1)}) {
        run_result r = with_key_file(bad);
        EXPECT_EQ(r.exit_code, 2) << bad;
        EXPECT_EQ(r.out, "") << bad;
        EXPECT_EQ(r.err, "onymix-cli: key file " + path +
                             ": no key: it must hold 16 bytes, or 32 hex digits and an optional "
                             "newline\n");
    }
    std::remove(path.c_str());
    EXPECT_EQ(run_cli("--by-id --key-file " + path).err,
              "onymix-cli: key file " + path + ": No such file or directory\n");
}

TEST(CliById, AClosedPipeEndsQuietlyAndAFullDiskDoesNot) {
    std::string dir = testing::TempDir() + "cli_ids_" + std::to_string(getpid());
    std::string command = "sh -c '" + std::string(ONYMIX_CLI_PATH) +
                          " --ids 0-18446744073709551615 2>" + dir + "err; echo $? >" + dir +
                          "code' | head -n 3 >" + dir + "out";
    ASSERT_EQ(std::system(command.c_str()), 0);
    EXPECT_EQ(read_file(dir + "out"), run_cli("--ids 0-2").out);
    EXPECT_EQ(read_file(dir + "err") + read_file(dir + "code"), "0\n") << "stderr, exit code";
    command =
        "seq 100000 | " + std::string(ONYMIX_CLI_PATH) + " --by-id >/dev/full 2>" + dir + "err";
    int status = std::system(command.c_str());
    EXPECT_EQ(WIFEXITED(status) ? WEXITSTATUS(status) : -1, 1);
    EXPECT_EQ(read_file(dir + "err"), "onymix-cli: writing the names: No space left on device\n");
    for (const char *name : {"out", "err", "code"})
        std::remove((dir + name).c_str());
}

// The progress line, with standard error on a pseudo-terminal, or standard
// output and standard error on the same one (tests/support/pty_run.py), and
// a slow reader of the names, which makes a run last over a second.
TEST(CliProgress, ShownOnATerminalInLongRunsAndCleared) {
    if (access("/usr/bin/python3", X_OK) != 0)
        GTEST_SKIP() << "no /usr/bin/python3 for a pseudo-terminal";
    std::string base = testing::TempDir() + "cli_pty_" + std::to_string(getpid()), ids;
    for (int i = 0; i < 400000; i++)
        ids += std::to_string(i) + "\n";
    std::ofstream(base + "in") << ids;
    const struct {
        const char *arguments, *standard_error;
        bool shown, known; // the line, and in it the total and time left
    } cases[] = {{"-n 400000 -s 3", "pty", true, true},
                 {"--ids 0-399999", "pty", true, true},
                 {"--by-id", "pty", true, false},
                 {"--ids 0-399999 --quiet", "pty", false, false},
                 {"--ids 0-399999", "file", false, false},
                 // Names and progress on one terminal: the names alone.
                 {"-n 400000 -s 3", "both", false, false},
                 {"--by-id", "both", false, false}};
    for (const auto &c : cases) {
        std::string command = "/usr/bin/python3 " ONYMIX_SOURCE_DIR "/tests/support/pty_run.py " +
                              base + "out " + base + "err " + base + "in " + c.standard_error +
                              " -- " + ONYMIX_CLI_PATH + " " + c.arguments;
        EXPECT_EQ(std::system(command.c_str()), 0) << c.arguments;
        std::string names = read_file(base + "out");
        EXPECT_EQ(line_count(names), 400000) << c.arguments;
        if (std::strcmp(c.standard_error, "both") == 0) {
            EXPECT_TRUE(names == run_cli(c.arguments, base + "in").out)
                << c.arguments << ": not the names alone: "
                << names.substr(std::min(names.find("onymix-cli"), names.size()), 80);
        }
        std::string err = read_file(base + "err"), left_on_screen;
        size_t column = 0; // a CR goes back to the start of the line, to write over it
        for (char c : err)
            if (c == '\r')
                column = 0;
            else if (column < left_on_screen.size())
                left_on_screen[column++] = c;
            else
                left_on_screen += c, column++;
        EXPECT_EQ(err.empty(), !c.shown) << c.arguments << ": " << err;
        EXPECT_EQ(err.find(" of 400k names (") != std::string::npos, c.known) << err;
        EXPECT_EQ(err.find(" left\r") != std::string::npos, c.known) << err;
        EXPECT_EQ(err.find(" names/s") != std::string::npos, c.shown) << err;
        EXPECT_GE(std::count(err.begin(), err.end(), '\r'), c.shown ? 4 : 0) << "redrawn";
        EXPECT_EQ(err.find('\n'), std::string::npos) << err;
        EXPECT_EQ(left_on_screen.find_first_not_of(' '), std::string::npos) << "cleared";
        EXPECT_LT(left_on_screen.size(), 80u) << "one line of a terminal";
    }
    for (const char *name : {"out", "err", "in"})
        std::remove((base + name).c_str());
}

} // namespace
