// Tests of the scratch string ring and the text routines built on it.
#include "../program/scratch.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

TEST(Scratch, BuffersAreZeroFilledWith256BytesToSpare) {
    char *buffer = scratch(10);
    for (int i = 0; i < 10 + 256; i++)
        ASSERT_EQ(buffer[i], 0) << "byte " << i;
}

TEST(Scratch, AResultStaysValidFor63FurtherRequests) {
    char *kept = copy_text("kept");
    for (int i = 0; i < 63; i++)
        copy_text("other");
    EXPECT_STREQ(kept, "kept");
}

TEST(Scratch, JoinConcatenatesInOrder) {
    EXPECT_STREQ(join({"Emmitt", " ", "Verhagen"}), "Emmitt Verhagen");
    EXPECT_STREQ(join({"", "", ""}), "");
    EXPECT_STREQ(join({"A\r\nB\r\n", "\r\n", "X"}), "A\r\nB\r\n\r\nX");
}

TEST(Scratch, CopyIsANewBuffer) {
    const char *original = "Smith";
    char *copy = copy_text(original);
    EXPECT_NE(copy, original);
    EXPECT_STREQ(copy, "Smith");
}

TEST(Scratch, LongTextsAreHeldWhole) {
    std::string big(3 * 1024 * 1024, 'x');
    char *result = join({big.c_str(), "\r\n", big.c_str()});
    EXPECT_EQ(std::strlen(result), 2 * big.size() + 2);
}

} // namespace
