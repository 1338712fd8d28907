// Tests of COPY's text format as onymix-cli writes it (cli/copy_text.cpp):
// every byte that COPY TO escapes is escaped wherever it stands in a value,
// and every other byte is written as it is.
#include "../cli/copy_text.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string written(const std::string &value) {
    std::string out(2 * value.size(), '\0');
    out.resize(
        static_cast<size_t>(copy_write_field(&out[0], value.data(), value.size()) - &out[0]));
    return out;
}

TEST(CopyText, EachEscapedByteAnywhereInAValue) {
    const std::string escaped[] = {"\\\\", "\bb", "\ff", "\nn", "\rr", "\tt", "\vv"};
    // Bytes beside them that are written as they are: the bytes just
    // outside backspace to CR, one past the backslash, and UTF-8.
    const std::string plain = "Hildegar\x07\x0E[]\xC3\xA9"
                              "Eusebio Lund";
    for (size_t length : {1, 7, 8, 9, 16, 17, 24})
        for (size_t at = 0; at < length; at++)
            for (const std::string &e : escaped) {
                std::string value = plain.substr(0, length), expected = value;
                value[at] = e[0];
                expected.replace(at, 1, std::string("\\") + e[1]);
                EXPECT_EQ(written(value), expected) << length << " " << at << " " << e[1];
            }
    EXPECT_EQ(written(plain), plain);
}

} // namespace
