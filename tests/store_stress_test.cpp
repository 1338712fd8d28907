// Large and unusual stored-names files: nothing may be lost or cut, and what
// a save writes must load back as it was.
#include "../platform/system.h"
#include "../program/fields.h"
#include "../program/stored_names.h"
#include "support/fake_platform.h"
#include "store_fixture.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace {

// Where two long texts part, instead of printing megabytes of both.
::testing::AssertionResult same_bytes(const std::string &actual, const std::string &expected) {
    if (actual == expected)
        return ::testing::AssertionSuccess();
    size_t at = 0;
    while (at < actual.size() && at < expected.size() && actual[at] == expected[at])
        at++;
    auto near = [at](const std::string &s) {
        std::string part = s.substr(at < 20 ? 0 : at - 20, 40);
        std::string out;
        for (unsigned char c : part) {
            char hex[8];
            std::snprintf(hex, sizeof hex, c < 0x20 || c >= 0x7f ? "\\x%02X" : "%c", c);
            out += hex;
        }
        return out;
    };
    return ::testing::AssertionFailure()
           << "got " << actual.size() << " bytes, expected " << expected.size()
           << "; they part at byte " << at << "\n  got:      ..." << near(actual)
           << "...\n  expected: ..." << near(expected) << "...";
}

// A fixed pseudo-random sequence, so that a failure can be repeated.
struct sequence {
    uint64_t state;
    uint32_t next(uint32_t below) {
        state = state * 6364136223846793005u + 1442695040888963407u;
        return static_cast<uint32_t>(state >> 33) % below;
    }
};

// A file of generated lines and the text it must load as. Line contents are
// drawn from the given bytes; each line ends in CR LF or a bare LF, the last
// one sometimes in nothing. No content ends in CR, so every CR in the file is
// either part of a CR LF line end or a CR that must stay.
struct generated_file {
    std::string bytes, text;
};

generated_file generate_lines(uint64_t seed, size_t lines, const std::string &alphabet,
                              uint32_t longest) {
    sequence random{seed};
    generated_file result;
    for (size_t i = 0; i < lines; i++) {
        std::string content;
        for (uint32_t n = random.next(longest + 1); n > 0; n--)
            content += alphabet[random.next(static_cast<uint32_t>(alphabet.size()))];
        if (!content.empty() && content.back() == '\r')
            content.back() = 'r';
        result.bytes += content;
        bool last = i + 1 == lines;
        uint32_t ending = random.next(3);
        if (!(last && ending == 2))
            result.bytes += ending == 1 ? "\n" : "\r\n";
        std::string shown = content.substr(0, content.find('\0'));
        if (!shown.empty())
            result.text += shown + "\r\n";
    }
    return result;
}

class StoredNamesStress : public ProgramFolderTest {
  protected:
    // Loads the file, saves what loaded and loads again.
    void expect_round_trip(const std::string &text) {
        set_fake_field(field_stored_names, text);
        save_stored_names();
        EXPECT_TRUE(same_bytes(read_bytes(file), text)) << "the file a save wrote";
        EXPECT_TRUE(same_bytes(load_stored_names(), text)) << "loading what was saved";
    }
};

TEST_F(StoredNamesStress, TenMegabytesOfNames) {
    const std::string letters = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ '-";
    generated_file names = generate_lines(1, 700000, letters, 28);
    ASSERT_GT(names.bytes.size(), 10u * 1000 * 1000);
    write_bytes(file, names.bytes);
    std::string text = load_stored_names();
    ASSERT_TRUE(same_bytes(text, names.text));
    expect_round_trip(text);
}

TEST_F(StoredNamesStress, AOneMegabyteLine) {
    std::string line;
    for (size_t i = 0; i < 1024 * 1024; i++)
        line += char('A' + i % 26);
    write_bytes(file, "Ann\r\n" + line + "\r\nBo");
    std::string text = load_stored_names();
    ASSERT_TRUE(same_bytes(text, "Ann\r\n" + line + "\r\nBo\r\n"));
    expect_round_trip(text);
}

TEST_F(StoredNamesStress, NulBytesEndOnlyTheirOwnLines) {
    std::string alphabet = "abcdef ";
    alphabet += '\0';
    generated_file names = generate_lines(2, 100000, alphabet, 12);
    write_bytes(file, names.bytes);
    std::string text = load_stored_names();
    ASSERT_TRUE(same_bytes(text, names.text));
    expect_round_trip(text);
}

TEST_F(StoredNamesStress, BareCrsStayAndMixedLineEndsAllEndLines) {
    generated_file names = generate_lines(3, 100000, "abc \r", 12);
    write_bytes(file, names.bytes);
    ASSERT_TRUE(same_bytes(load_stored_names(), names.text));
}

TEST_F(StoredNamesStress, BytesFrom0x80To0xFFPassUnchanged) {
    std::string high;
    for (int c = 0x80; c <= 0xFF; c++)
        high += char(c);
    generated_file names = generate_lines(4, 100000, high + "\x1A ", 20);
    write_bytes(file, names.bytes);
    std::string text = load_stored_names();
    ASSERT_TRUE(same_bytes(text, names.text));
    expect_round_trip(text);
}

TEST_F(StoredNamesStress, OneLetterLinesEndedByBareLfGrowByHalf) {
    // The most a file can grow by on loading: every 2 bytes become 3.
    std::string bytes, text;
    for (int i = 0; i < 1000000; i++) {
        bytes += char('a' + i % 26) + std::string("\n");
        text += char('a' + i % 26) + std::string("\r\n");
    }
    write_bytes(file, bytes.substr(0, bytes.size() - 1));
    ASSERT_TRUE(same_bytes(load_stored_names(), text));
    expect_round_trip(text);
}

TEST_F(StoredNamesStress, AFileOfEmptyLinesOnlyLoadsEmptyAndIsKept) {
    generated_file empty = generate_lines(5, 1000000, "", 0);
    ASSERT_GT(empty.bytes.size(), 1000000u);
    write_bytes(file, empty.bytes);
    set_fake_field(field_stored_names, load_stored_names());
    EXPECT_EQ(fake_field(field_stored_names), "");
    set_fake_answer(true);
    offer_save_on_quit();
    EXPECT_EQ(fake_questions_asked(), 0);
    EXPECT_TRUE(same_bytes(read_bytes(file), empty.bytes));
}

TEST_F(StoredNamesStress, StoreIntoAListOf100000Names) {
    std::string list;
    for (int i = 0; i < 100000; i++)
        list += "Name " + std::to_string(i) + "\r\n";
    set_fake_field(field_stored_names, list);
    set_fake_field(field_name_box, "Zoe");
    store_name();
    ASSERT_TRUE(same_bytes(fake_field(field_stored_names), list + "\r\nZoe"));
    save_stored_names();
    ASSERT_TRUE(same_bytes(read_bytes(file), list + "\r\nZoe"));
    EXPECT_TRUE(same_bytes(load_stored_names(), list + "Zoe\r\n"));
}

} // namespace
