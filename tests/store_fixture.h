// store_fixture.h: what the stored-names tests share: file bytes in and out
// and shown in messages, UTF-16 file bodies, and a fixture that gives each
// test an empty program folder of its own with stored_names_path pointing
// into it.
#pragma once

#include "../program/stored_names.h"
#include "support/fake_platform.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

// Bytes as a quoted C string, so a failure shows every CR, LF and NUL.
inline std::string shown(const std::string &bytes) {
    std::string out = "\"";
    for (unsigned char c : bytes) {
        if (c == '\r')
            out += "\\r";
        else if (c == '\n')
            out += "\\n";
        else if (c == '"' || c == '\\')
            out += std::string("\\") + char(c);
        else if (c < 0x20 || c >= 0x7f) {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02X", c);
            out += hex;
        } else
            out += char(c);
    }
    return out + "\"";
}

// The bytes of UTF-16 text, little or big endian, with no mark.
inline std::string utf16_bytes(const std::u16string &text, bool big_endian = false) {
    std::string bytes;
    for (char16_t unit : text) {
        char low = static_cast<char>(unit & 0xFF), high = static_cast<char>(unit >> 8);
        bytes += big_endian ? high : low;
        bytes += big_endian ? low : high;
    }
    return bytes;
}

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
