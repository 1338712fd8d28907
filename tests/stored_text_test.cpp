// Tests of the rules of stored.txt on bytes (store/stored_text.h), with the
// doubles' code page, Latin-1: the marks, UTF-16 in both byte orders, what
// cannot be shown, and the bytes a save writes for each encoding.
#include "../program/scratch.h"
#include "../store/stored_text.h"
#include "store_fixture.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace {

const char *encoding_name(stored_encoding encoding) {
    switch (encoding) {
    case encoding_code_page:
        return "code page";
    case encoding_utf8_marked:
        return "UTF-8 with mark";
    case encoding_utf16_le:
        return "UTF-16 LE";
    default:
        return "UTF-16 BE";
    }
}

const std::string le_mark = "\xFF\xFE", be_mark = "\xFE\xFF", utf8_mark = "\xEF\xBB\xBF";

// What a file loads as: the text, or "<unshowable>".
struct loaded {
    std::string text;
    stored_encoding encoding;
};

loaded load_bytes(const std::string &bytes) {
    stored_text result = stored_text_from_bytes(bytes.data(), bytes.size());
    loaded out{"", result.encoding};
    if (result.outcome == text_unshowable)
        out.text = "<unshowable>";
    else if (result.outcome != text_read)
        out.text = "<out of memory>";
    else
        out.text.assign(result.text, result.length);
    std::free(result.text);
    return out;
}

// The bytes a save writes, or "<refused>".
std::string save_bytes(const std::string &text, stored_encoding encoding) {
    size_t size = 0;
    char *bytes = stored_bytes_from_text(text.c_str(), encoding, &size);
    if (!bytes)
        return "<refused>";
    std::string out(bytes, size);
    std::free(bytes);
    return out;
}

TEST(StoredText, TheMarkSaysTheEncodingAndIsNoPartOfTheText) {
    const std::u16string names = u"Anna\r\nBob\r\nZo\u00EB\r\n";
    const struct {
        const char *what;
        std::string file;
        stored_encoding encoding;
        std::string text;
    } cases[] = {
        {"UTF-16 LE", le_mark + utf16_bytes(names), encoding_utf16_le, "Anna\r\nBob\r\nZo\xEB\r\n"},
        {"UTF-16 BE", be_mark + utf16_bytes(names, true), encoding_utf16_be,
         "Anna\r\nBob\r\nZo\xEB\r\n"},
        {"UTF-8 mark", utf8_mark + "Anna\r\nZo\xC3\xAB", encoding_utf8_marked,
         "Anna\r\nZo\xC3\xAB\r\n"},
        {"no mark", "Anna\r\nZo\xEB", encoding_code_page, "Anna\r\nZo\xEB\r\n"},
        {"marks only", le_mark, encoding_utf16_le, ""},
        {"", be_mark, encoding_utf16_be, ""},
        {"", utf8_mark, encoding_utf8_marked, ""},
        {"UTF-8 mark then empty lines", utf8_mark + "\r\n\r\nA", encoding_utf8_marked, "A\r\n"},
        // Only the first mark is one; a second is text.
        {"two UTF-8 marks", utf8_mark + utf8_mark + "A", encoding_utf8_marked, utf8_mark + "A\r\n"},
        {"UTF-16 that begins like a mark", le_mark + utf16_bytes(u"\u00FF\u00FEAnn"),
         encoding_utf16_le, le_mark + "Ann\r\n"},
        // Parts of a mark, or a mark later in the file, are 8-bit text.
        {"half a UTF-16 mark", "\xFF", encoding_code_page, "\xFF\r\n"},
        {"two thirds of the UTF-8 mark", utf8_mark.substr(0, 2) + "A", encoding_code_page,
         utf8_mark.substr(0, 2) + "A\r\n"},
        {"FF FF", "\xFF\xFF", encoding_code_page, "\xFF\xFF\r\n"},
        {"a mark on the second line", "A\r\n" + le_mark + "B", encoding_code_page,
         "A\r\n" + le_mark + "B\r\n"},
        {"empty file", "", encoding_code_page, ""},
    };
    for (const auto &c : cases) {
        loaded got = load_bytes(c.file);
        EXPECT_EQ(got.text, c.text) << c.what << ": file " << shown(c.file);
        EXPECT_EQ(got.encoding, c.encoding)
            << c.what << ": file " << shown(c.file) << " read as " << encoding_name(got.encoding);
    }
}

TEST(StoredText, UTF16LinesFollowTheRulesOf8BitLines) {
    const struct {
        std::u16string file;
        std::string text;
    } cases[] = {
        {u"A\nB\n", "A\r\nB\r\n"},
        {u"A\r\n\r\n\nB", "A\r\nB\r\n"},
        {u"  \r\n", "  \r\n"},
        {u"A\rB\r\r\n", "A\rB\r\r\n"},
        {std::u16string(u"Ann\0Lee\r\n\0Bo\r\nCy", 16), "Ann\r\nCy\r\n"},
        {u"\r\n\r\n", ""},
    };
    for (const auto &c : cases)
        for (bool big : {false, true}) {
            std::string file = (big ? be_mark : le_mark) + utf16_bytes(c.file, big);
            EXPECT_EQ(load_bytes(file).text, c.text) << "file " << shown(file);
        }
}

TEST(StoredText, AUTF16FileThatTheCodePageCannotShowIsRefused) {
    const struct {
        const char *what;
        std::string file;
    } cases[] = {
        {"Cyrillic", le_mark + utf16_bytes(u"Anna\r\n\u041E\u043B\u044C\u0433\u0430\r\n")},
        {"big endian", be_mark + utf16_bytes(u"Anna\r\nZo\u00EB\u0100\r\n", true)},
        {"a pair of surrogates", le_mark + utf16_bytes(u"A\r\n\U0001F600")},
        {"half a pair", le_mark + utf16_bytes(u"A\r\n") + "\x3D\xD8"},
        {"a second mark, U+FEFF", le_mark + utf16_bytes(u"\uFEFFAnna")},
        {"after a NUL", le_mark + utf16_bytes(std::u16string(u"A\0\u4E2D", 3))},
        // A last byte that is half a character: the names before it are not
        // shown without it, nor is the file saved over.
        {"one byte after the mark", le_mark + "A"},
        {"an odd byte at the end", le_mark + utf16_bytes(u"Anna\r\nBob\r\n") + "Z"},
        {"odd, big endian", be_mark + utf16_bytes(u"Anna", true) + std::string(1, '\0')},
    };
    for (const auto &c : cases) {
        stored_text result = stored_text_from_bytes(c.file.data(), c.file.size());
        EXPECT_EQ(result.outcome, text_unshowable) << c.what << ": file " << shown(c.file);
        EXPECT_EQ(result.text, nullptr) << c.what;
        std::free(result.text);
    }
}

TEST(StoredText, ASaveWritesTheEncodingsMarkAndCrLfLines) {
    const std::string box = "Anna\r\nBob\r\n\r\nZo\xEB\rX\nY";
    const std::string lines = "Anna\r\nBob\r\n\r\nZo\xEBX\r\nY";
    const std::u16string wide = u"Anna\r\nBob\r\n\r\nZo\u00EBX\r\nY";
    EXPECT_EQ(save_bytes(box, encoding_code_page), lines);
    EXPECT_EQ(save_bytes(box, encoding_utf8_marked), utf8_mark + lines);
    EXPECT_EQ(save_bytes(box, encoding_utf16_le), le_mark + utf16_bytes(wide));
    EXPECT_EQ(save_bytes(box, encoding_utf16_be), be_mark + utf16_bytes(wide, true));
    EXPECT_EQ(save_bytes("", encoding_code_page), "");
    EXPECT_EQ(save_bytes("", encoding_utf8_marked), utf8_mark);
    EXPECT_EQ(save_bytes("\r", encoding_utf16_le), le_mark);
}

TEST(StoredText, TextThatBeginsLikeAMarkIsSavedBehindTheUTF8Mark) {
    // Else the next start would read it as another encoding.
    const std::string texts[] = {le_mark + "Ann\r\n", be_mark + "\r\n", utf8_mark + "Bo\r\n",
                                 "\xFF\r\xFE\r\n"};
    for (const std::string &text : texts) {
        std::string file = save_bytes(text, encoding_code_page);
        EXPECT_EQ(file.substr(0, 3), utf8_mark) << "saving " << shown(text);
        loaded back = load_bytes(file);
        EXPECT_EQ(back.encoding, encoding_utf8_marked) << "saving " << shown(text);
        EXPECT_EQ(save_bytes(back.text, back.encoding), file) << "saving " << shown(text);
    }
    EXPECT_EQ(save_bytes("\xFF", encoding_code_page), "\xFF") << "half a mark is no mark";
}

TEST(StoredText, EveryEncodingLoadsAndSavesBackByteForByte) {
    const std::string lines = "Anna\r\n  Bob \r\nZo\xEB\r\n";
    const std::u16string wide = u"Anna\r\n  Bob \r\nZo\u00EB\r\n";
    const struct {
        const char *what;
        std::string file;
    } cases[] = {
        {"code page", lines},
        {"UTF-8 mark", utf8_mark + lines},
        {"UTF-16 LE", le_mark + utf16_bytes(wide)},
        {"UTF-16 BE", be_mark + utf16_bytes(wide, true)},
        {"every Latin-1 letter", le_mark + utf16_bytes(u"\u00A0\u00C0\u00FF\u0001\r\n")},
    };
    for (const auto &c : cases) {
        loaded text = load_bytes(c.file);
        EXPECT_EQ(save_bytes(text.text, text.encoding), c.file) << c.what;
    }
}

TEST(StoredText, WhatItReturnsOutlivesTheScratchRing) {
    // A web page keeps the text as long as it likes: it must not be a
    // scratch buffer that later requests free. Under AddressSanitizer a
    // freed buffer would be caught here.
    std::string file = le_mark + utf16_bytes(u"Anna\r\nBob\r\n");
    stored_text result = stored_text_from_bytes(file.data(), file.size());
    size_t size = 0;
    char *bytes = stored_bytes_from_text("Anna\r\n", encoding_utf16_be, &size);
    for (int i = 0; i < 200; i++)
        copy_text("scratch");
    ASSERT_EQ(result.outcome, text_read);
    EXPECT_EQ(std::string(result.text, result.length), "Anna\r\nBob\r\n");
    EXPECT_EQ(std::string(bytes, size), be_mark + utf16_bytes(u"Anna\r\n", true));
    std::free(result.text);
    std::free(bytes);
}

} // namespace
