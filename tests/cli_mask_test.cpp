// Tests of onymix-cli --mask, run as a separate process the way a user runs
// it: the golden maskings through a CSV column, malformed input refused
// with its place, -o leaving nothing after an error, the same bytes on any
// number of threads, and the library's maskings however often values come.
#include "support/cli_run.h"

#include "onymix.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

const std::string key = " --key 000102030405060708090a0b0c0d0e0f";

std::string temp(const char *name) {
    return testing::TempDir() + "cli_mask_" + name + "_" + std::to_string(getpid());
}

// onymix-cli run with input on its standard input.
run_result mask_run(const std::string &arguments, const std::string &input) {
    std::string in = temp("in");
    std::ofstream(in, std::ios::binary) << input;
    run_result result = run_cli(arguments, in);
    std::remove(in.c_str());
    return result;
}

// A golden file's text with its escapes (\\ \t \n \r \xHH) read.
std::string unescape(const std::string &text) {
    std::string bytes;
    for (size_t i = 0; i < text.size(); i++) {
        if (text[i] != '\\') {
            bytes += text[i];
            continue;
        }
        char c = text[++i];
        if (c == 'x') {
            bytes += static_cast<char>(std::stoi(text.substr(i + 1, 2), nullptr, 16));
            i += 2;
        } else {
            bytes += c == 't' ? '\t' : c == 'n' ? '\n' : c == 'r' ? '\r' : c;
        }
    }
    return bytes;
}

// A field as a CSV writer writes it: quoted when quoted or when it must be.
std::string field(const std::string &value, bool quoted) {
    if (!quoted && value.find_first_of(",\"\r\n") == std::string::npos)
        return value;
    std::string text = "\"";
    for (char c : value)
        text += c == '"' ? "\"\"" : std::string(1, c);
    return text + "\"";
}

TEST(CliMask, TheGoldenMaskingsThroughACsvColumn) {
    for (const char *kind : {"first", "surname", "full"}) {
        std::ifstream golden(std::string(ONYMIX_SOURCE_DIR "/tests/golden/mask-") + kind +
                             "-000102030405060708090a0b0c0d0e0f.txt");
        // Beside each value an id; every third value quoted, whether or not
        // it must be, and the others quoted only when they must be.
        std::string input = "id,name\r\n", expected = input, line;
        int count = 0;
        while (std::getline(golden, line)) {
            size_t tab = line.find('\t');
            std::string value = unescape(line.substr(0, tab));
            std::string masked = unescape(line.substr(tab + 1));
            bool quoted = count % 3 == 0 || value.find_first_of(",\"\r\n") != std::string::npos;
            std::string id = std::to_string(count++) + ",";
            input += id + field(value, quoted) + "\r\n";
            expected += id + field(masked, quoted) + "\r\n";
        }
        ASSERT_GT(count, 40) << kind;
        run_result r = mask_run(std::string("--mask name=") + kind + key + " --jobs 3", input);
        EXPECT_EQ(r.exit_code, 0) << kind << ": " << r.err;
        EXPECT_EQ(r.out, expected) << kind;
    }
}

TEST(CliMask, MalformedInputIsRefusedWithItsPlaceNeverItsValue) {
    struct {
        const char *arguments, *input, *message;
    } const cases[] = {
        {"--mask b=first", "a,b\n1,\"Secret\n2,x\n",
         "line 2, column 2: a quoted field whose quote is never closed"},
        {"--mask b=first", "a,b\n1,Sec\"ret\n",
         "line 2, column 2: a quote inside a field that does not begin with one"},
        {"--mask b=first", "a,b\r\n\"x\ny\",\"Secret\"z\r\n",
         "line 3, column 2: bytes after the closing quote of a quoted field"},
        {"--mask b=first", "a,b\n1,2\n1,Secret,3\n",
         "line 3, column 3: a record with more fields than the first"},
        {"--mask 2=first --no-header", "1,2\nSecret\n",
         "line 2, column 1: a record with fewer fields than the first"},
        {"--mask c=first", "a,b\n1,Secret\n", "--mask c: no column of that name in the header"},
        {"--mask 3=first", "a,b\n1,Secret\n", "--mask 3: the first line has 2 columns"},
        {"--mask a=first --mask 1=surname", "a,b\n1,Secret\n", "column 1 is masked twice"},
        {"--mask a=first", "", "the input is empty: it has no first line naming the columns"},
    };
    for (const auto &c : cases) {
        run_result r = mask_run(c.arguments + key, c.input);
        EXPECT_EQ(r.exit_code, 2) << c.input;
        EXPECT_EQ(r.err.substr(0, r.err.find('\n')), std::string("onymix-cli: ") + c.message)
            << c.input;
        EXPECT_EQ(r.err.find("Secret"), std::string::npos) << r.err;
    }
    // Without -o, the records before the wrong one have been written.
    run_result cut = mask_run("--mask 1=Surname" + key, "a,b\nx,y\nz,\"");
    EXPECT_EQ(cut.exit_code, 2);
    EXPECT_EQ(cut.out, mask_run("--mask 1=Surname" + key, "a,b\nx,y\n").out);
}

TEST(CliMask, AnOutputFileIsWrittenWholeOrNotAtAll) {
    std::string folder = temp("folder");
    ASSERT_EQ(system(("rm -rf " + folder + " && mkdir " + folder).c_str()), 0);
    std::string path = folder + "/masked.csv";
    std::ofstream(path) << "before\n";
    run_result bad = mask_run("--mask b=first -o " + path + key, "a,b\n1,Mary\n2,\"Ann\n");
    EXPECT_EQ(bad.exit_code, 2);
    EXPECT_EQ(bad.out, "");
    EXPECT_EQ(read_file(path), "before\n");
    run_result good = mask_run("--mask b=first --output " + path + key, "a,b\n1,Mary\n");
    EXPECT_EQ(good.exit_code, 0) << good.err;
    EXPECT_EQ(read_file(path), mask_run("--mask b=first" + key, "a,b\n1,Mary\n").out);
    EXPECT_EQ(read_file(path).substr(0, 6), "a,b\n1,");
    // Nothing left beside it either way.
    FILE *listing = popen(("ls -A " + folder).c_str(), "r");
    char names[256] = {};
    EXPECT_EQ(std::fread(names, 1, sizeof names - 1, listing), 11u);
    pclose(listing);
    EXPECT_STREQ(names, "masked.csv\n");
    std::system(("rm -rf " + folder).c_str());
}

TEST(CliMask, AnInputThatCannotBeReadIsToldOnceAndLeavesNothing) {
    // A folder opens, and its reading fails, on any number of threads.
    std::string folder = temp("unreadable");
    ASSERT_EQ(system(("rm -rf " + folder + " && mkdir " + folder).c_str()), 0);
    for (const char *jobs : {" --jobs 1", " --jobs 3"}) {
        std::string path = folder + "/masked.csv";
        run_result r = run_cli("--mask b=first -o " + path + key + jobs + " " + folder);
        EXPECT_EQ(r.exit_code, 1) << jobs;
        EXPECT_EQ(r.err, "onymix-cli: reading " + folder + ": Is a directory\n") << jobs;
        EXPECT_FALSE(std::ifstream(path).good()) << jobs;
    }
    std::system(("rm -rf " + folder).c_str());
}

TEST(CliMask, AnOutputPipeIsWrittenAndStaysAPipe) {
    // A FIFO, as /dev/null would be: renamed over, it would be gone. Its
    // reading end is open before the run and read after it, as the masking
    // is shorter than a pipe holds.
    std::string fifo = temp("fifo");
    std::remove(fifo.c_str());
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    int reader = open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    run_result r = mask_run("--mask b=first -o " + fifo + key, "a,b\n1,Mary\n");
    EXPECT_EQ(r.exit_code, 0) << r.err;
    char got[256] = {};
    ssize_t length = read(reader, got, sizeof got - 1);
    close(reader);
    EXPECT_EQ(std::string(got, length > 0 ? static_cast<size_t>(length) : 0),
              mask_run("--mask b=first" + key, "a,b\n1,Mary\n").out);
    struct stat info {};
    EXPECT_TRUE(stat(fifo.c_str(), &info) == 0 && S_ISFIFO(info.st_mode));
    std::remove(fifo.c_str());
}

TEST(CliMask, AnyNumberOfThreadsWritesTheSameBytes) {
    // About 10 MB: blocks of 256 KiB, many of them for each thread, with
    // quoted line breaks that fall anywhere against the blocks' ends.
    std::string input = "\xEF\xBB\xBFid,name,note,full\n";
    const char *names[] = {"Mary", "\"Jean\nLuc\"", "JOHN", "\"Smith, Ann\"", "", "o'Brien"};
    const char *full[] = {"Mary Lee", "\"Lee, Jean\nLuc\"", "JOHN LEE", "\"Ann \"\"Lee\"\"\"", "",
                          "Al Gore"};
    for (int i = 0; i < 240000; i++)
        input += std::to_string(i) + "," + names[i % 6] + ",\"a,\"\"b\"\"\r\nc\"," +
                 full[(i + 3) % 6] + "\r\n";
    run_result one =
        mask_run("--mask name=first --mask full=full --mask 3=Surname --jobs 1" + key, input);
    run_result four =
        mask_run("--mask name=first --mask full=full --mask 3=Surname --jobs 4" + key, input);
    EXPECT_EQ(one.exit_code, 0) << one.err;
    EXPECT_EQ(four.exit_code, 0) << four.err;
    EXPECT_GT(one.out.size(), 8u << 20);
    EXPECT_TRUE(one.out == four.out) << "--jobs 1 and --jobs 4 differ";
    // Through a pipe, read in blocks of what a pipe holds, the same.
    std::string in = temp("piped_in"), out = temp("piped_out");
    std::ofstream(in, std::ios::binary) << input;
    EXPECT_EQ(std::system(("cat " + in +
                           " | " ONYMIX_CLI_PATH
                           " --mask name=first --mask full=full --mask 3=Surname --jobs 3" +
                           key + " > " + out)
                              .c_str()),
              0);
    EXPECT_TRUE(read_file(out) == one.out) << "through a pipe it differs";
    std::remove(in.c_str());
    std::remove(out.c_str());
    // The last records, past the blocks' ends, masked alone as in the whole.
    std::string header = input.substr(0, input.find('\n') + 1);
    std::string tail = input.substr(input.find("\n239994,") + 1);
    run_result alone =
        mask_run("--mask name=first --mask full=full --mask 3=Surname" + key, header + tail);
    EXPECT_EQ(one.out.substr(one.out.find("\n239994,") + 1),
              alone.out.substr(alone.out.find('\n') + 1));
}

TEST(CliMask, AMaskingThatNeedsQuotesIsQuotedThoughItsFieldWasNot) {
    // A CR inside an unquoted field is one of its bytes, and the masking
    // keeps it: those maskings alone are quoted, wherever they fall among
    // the others, which stay as they were.
    static const unsigned char bytes[] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15};
    const char *values[] = {"Ann Lee", "Mary\rJones", "Bob Ray", "Tom", "Sue\rKay", "Sue\rKay"};
    std::string input = "n,m\n", expected = input;
    for (int row = 0; row < 12; row++) {
        const char *value = values[row * 5 % 6];
        char out[256];
        int length =
            onymix_mask(ONYMIX_MASK_FULL_NAME, value, std::strlen(value), bytes, out, sizeof out);
        ASSERT_GT(length, 0) << value;
        std::string masked(out, static_cast<size_t>(length));
        bool cr = std::strchr(value, '\r') != nullptr;
        ASSERT_EQ(masked.find('\r') != std::string::npos, cr) << "the CR of " << value;
        input += value + std::string(",x\n");
        expected += (cr ? "\"" + masked + "\"" : masked) + ",x\n";
    }
    run_result r = mask_run("--mask n=full" + key, input);
    EXPECT_EQ(r.exit_code, 0) << r.err;
    EXPECT_EQ(r.out, expected);
}

TEST(CliMask, ValuesMetAgainOrNeverAreMaskedAsTheLibraryMasksEachAlone) {
    // 16,000 distinct first names, more than a thread keeps, so that its
    // cache forgets and then rests; surnames that come again and again;
    // full names longer than any value kept, two of them over and over.
    static const unsigned char bytes[] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15};
    std::string input = "first,surname,full\n";
    std::vector<std::string> values[3];
    std::string long_full[2] = {"Mary Ann", "JOHN PAUL"};
    for (std::string &name : long_full)
        for (int i = 0; i < 12; i++)
            name += " Lee-Smith";
    for (int i = 0; i < 32000; i++) {
        std::string first(1, static_cast<char>('A' + i % 26));
        for (int n = i % 16000 / 26; n > 0; n /= 26)
            first += static_cast<char>('a' + n % 26);
        values[0].push_back(first);
        values[1].push_back(i % 7 ? "Garcia" : "o'Brien-Lee");
        values[2].push_back(long_full[i % 2]);
        input += first + "," + values[1].back() + "," + values[2].back() + "\n";
    }
    run_result run =
        mask_run("--mask first=first --mask 2=surname --mask full=full --jobs 2" + key, input);
    ASSERT_EQ(run.exit_code, 0) << run.err;
    std::istringstream lines(run.out);
    std::string line;
    std::getline(lines, line);
    char out[1024];
    for (size_t row = 0; std::getline(lines, line); row++) {
        std::string expected;
        for (int kind = 0; kind < 3; kind++) {
            const std::string &value = values[kind][row];
            ASSERT_GE(onymix_mask(kind, value.data(), value.size(), bytes, out, sizeof out), 0);
            expected += (kind ? "," : "") + std::string(out);
        }
        ASSERT_EQ(line, expected) << "row " << row + 1;
    }
}

TEST(CliMask, AKeyIsRequiredAndTheZeroKeyRefused) {
    std::string zero = temp("zero_key");
    std::ofstream(zero, std::ios::binary) << std::string(16, '\0');
    struct {
        std::string arguments, message;
    } const cases[] = {
        {"--mask a=first", "--mask needs a secret key: --key or --key-file"},
        {"--mask a=first --key " + std::string(32, '0'), "the zero key keeps nothing secret"},
        {"--mask a=first --key-file " + zero, "the zero key keeps nothing secret"},
        {"--mask a=middle" + key, "the kind of a mask is first, surname, full or a mode: middle"},
        {"--mask a=first --mode Male" + key, "--mask does not go with --mode"},
        {"--mask a=first --by-id" + key, "--mask does not go with --by-id"},
        {"--no-header --ids 1-2", "--no-header goes only with --mask"},
        {"--mask a=first --jobs 0" + key, "jobs must be a whole number from 1 to 1024: 0"},
        {"--mask a=first a.csv b.csv" + key, "unknown option: b.csv"},
    };
    for (const auto &c : cases) {
        run_result r = mask_run(c.arguments, "a\nMary\n");
        EXPECT_EQ(r.exit_code, 2) << c.arguments;
        EXPECT_EQ(r.out, "") << c.arguments;
        EXPECT_EQ(r.err.substr(0, 12 + c.message.size()), "onymix-cli: " + c.message)
            << c.arguments;
    }
    std::remove(zero.c_str());
}

} // namespace
