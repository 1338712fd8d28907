// cli_run.h: runs the onymix-cli under test (ONYMIX_CLI_PATH) through the
// shell with standard input from a file, and gives back its exit code and
// what it wrote to standard output and standard error.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

struct run_result {
    int exit_code;
    std::string out, err;
};

inline std::string read_file(const std::string &path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

inline run_result run_cli(const std::string &arguments,
                          const std::string &input_path = "/dev/null") {
    std::string out = testing::TempDir() + "cli_out_" + std::to_string(getpid());
    std::string err = out + "_err";
    std::string command = std::string(ONYMIX_CLI_PATH) + " " + arguments + " >" + out + " 2>" +
                          err + " <" + input_path;
    int status = std::system(command.c_str());
    run_result result{WIFEXITED(status) ? WEXITSTATUS(status) : -1, read_file(out), read_file(err)};
    std::remove(out.c_str());
    std::remove(err.c_str());
    return result;
}
