// store_fixture.h: what the stored-names tests share: file bytes in and out,
// and a fixture that gives each test an empty program folder of its own with
// stored_names_path pointing into it.
#pragma once

#include "../store/stored_names.h"
#include "fake_platform.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

inline std::string read_bytes(const std::string &path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

inline void write_bytes(const std::string &path, const std::string &bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

class ProgramFolderTest : public ::testing::Test {
  protected:
    std::string folder, file;

    void SetUp() override {
        reset_fake_platform();
        std::string pattern = testing::TempDir() + "onymix_store_XXXXXX";
        ASSERT_TRUE(mkdtemp(pattern.data())) << "cannot make a folder from " << pattern;
        folder = pattern;
        set_fake_executable_path(folder + "/onymix");
        form_stored_names_path();
        file = folder + "/stored.txt";
    }

    void TearDown() override {
        std::filesystem::remove_all(folder);
    }
};
