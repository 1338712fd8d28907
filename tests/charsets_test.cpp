// Tests of the character sets the core converts itself: UTF-8 and
// windows-1252 to and from UTF-16, and the test for well-formed UTF-8.
#include "../runtime/charsets.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace {

std::u16string to_utf16(const std::string &text, bool utf8, bool &exact) {
    size_t count = utf8 ? utf16_from_utf8(text.data(), text.size(), nullptr, 0, &exact)
                        : utf16_from_windows_1252(text.data(), text.size(), nullptr, 0, &exact);
    std::u16string units(count, u'\0');
    uint16_t *out = reinterpret_cast<uint16_t *>(units.data());
    if (utf8)
        utf16_from_utf8(text.data(), text.size(), out, count, &exact);
    else
        utf16_from_windows_1252(text.data(), text.size(), out, count, &exact);
    return units;
}

std::string from_utf16(const std::u16string &units, bool utf8, bool &exact) {
    const uint16_t *in = reinterpret_cast<const uint16_t *>(units.data());
    size_t length = utf8 ? utf8_from_utf16(in, units.size(), nullptr, 0, &exact)
                         : windows_1252_from_utf16(in, units.size(), nullptr, 0, &exact);
    std::string text(length, '\0');
    if (utf8)
        utf8_from_utf16(in, units.size(), text.data(), length, &exact);
    else
        windows_1252_from_utf16(in, units.size(), text.data(), length, &exact);
    return text;
}

TEST(Charsets, Utf8RoundTripsEveryPlaneAndRefusesWhatIsNotWellFormed) {
    bool exact = false;
    const std::string text = u8"A\u00EB\u20AC\u4E2D\U0001F600";
    std::u16string units = to_utf16(text, true, exact);
    EXPECT_TRUE(exact);
    EXPECT_EQ(units, u"A\u00EB\u20AC\u4E2D\U0001F600");
    EXPECT_EQ(from_utf16(units, true, exact), text);
    EXPECT_TRUE(exact);
    EXPECT_TRUE(is_utf8(text.data(), text.size()));

    // Overlong, an encoded surrogate, past U+10FFFF, a cut sequence, a lone
    // continuation byte: each one replacement character.
    for (const std::string &bad :
         {std::string("\xC0\xAF"), std::string("\xED\xA0\x80"), std::string("\xF4\x90\x80\x80"),
          std::string("\xE2\x82"), std::string("\x80")}) {
        EXPECT_FALSE(is_utf8(bad.data(), bad.size())) << bad;
        std::u16string got = to_utf16("A" + bad, true, exact);
        EXPECT_FALSE(exact) << bad;
        EXPECT_EQ(got.substr(0, 2), u"A\uFFFD") << bad;
    }
    std::u16string half = u"A";
    half += char16_t(0xD83D);
    EXPECT_EQ(from_utf16(half, true, exact), "A?");
    EXPECT_FALSE(exact);
}

TEST(Charsets, Windows1252HoldsEveryByteAsACharacterOfItsOwn) {
    std::string all;
    for (int byte = 0; byte < 256; byte++)
        all += static_cast<char>(byte);
    bool exact = false;
    std::u16string units = to_utf16(all, false, exact);
    EXPECT_TRUE(exact);
    EXPECT_EQ(std::set<char16_t>(units.begin(), units.end()).size(), 256u);
    EXPECT_EQ(units[0x80], u'\u20AC');
    EXPECT_EQ(units[0x9F], u'\u0178');
    EXPECT_EQ(units[0x81], u'\u0081') << "undefined bytes are the C1 control of their number";
    EXPECT_EQ(units[0xEB], u'\u00EB');
    EXPECT_EQ(from_utf16(units, false, exact), all);
    EXPECT_TRUE(exact);

    EXPECT_EQ(from_utf16(u"Zo\u00EB \u03A9", false, exact), "Zo\xEB ?");
    EXPECT_FALSE(exact) << "omega has no form in windows-1252";
}

} // namespace
