// Tests of onymix-cli, run as a separate process the way a user runs it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace {

struct run_result {
    int exit_code;
    std::string out, err;
};

std::string read_file(const std::string &path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

run_result run_cli(const std::string &arguments) {
    std::string out = testing::TempDir() + "cli_out_" + std::to_string(getpid());
    std::string err = out + "_err";
    std::string command =
        std::string(ONYMIX_CLI_PATH) + " " + arguments + " >" + out + " 2>" + err + " </dev/null";
    int status = std::system(command.c_str());
    run_result result{WIFEXITED(status) ? WEXITSTATUS(status) : -1, read_file(out), read_file(err)};
    std::remove(out.c_str());
    std::remove(err.c_str());
    return result;
}

std::string first_line(const std::string &text) {
    return text.substr(0, text.find('\n'));
}

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

    EXPECT_EQ(run_cli("--count 0").out, "");
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
        {"--mode 5", "onymix-cli: not a mode: 5\n"},
        {"--mode", "onymix-cli: missing value after: --mode\n"},
        {"--seed 86400", "onymix-cli: seed must be a second of the day, 0 to 86399: 86400\n"},
        {"--seed -1", "onymix-cli: seed must be a second of the day, 0 to 86399: -1\n"},
        {"--seed 1x", "onymix-cli: seed must be a second of the day, 0 to 86399: 1x\n"},
        {"--count many", "onymix-cli: count must be a whole number from 0: many\n"},
        {"--count -3", "onymix-cli: count must be a whole number from 0: -3\n"},
        {"--frobnicate", "onymix-cli: unknown option: --frobnicate\n"},
        {"Emmitt", "onymix-cli: unknown option: Emmitt\n"},
    };
    for (const auto &c : cases) {
        run_result r = run_cli(c.arguments);
        EXPECT_EQ(r.exit_code, 2) << c.arguments;
        EXPECT_EQ(r.out, "") << c.arguments;
        EXPECT_EQ(first_line(r.err) + "\n", c.message) << c.arguments;
        EXPECT_NE(r.err.find("usage: onymix-cli"), std::string::npos) << c.arguments;
    }
}

TEST(Cli, HelpGoesToStandardOutput) {
    run_result r = run_cli("--help");
    EXPECT_EQ(r.exit_code, 0);
    EXPECT_EQ(r.out.rfind("usage: onymix-cli", 0), 0u) << r.out;
}

} // namespace
