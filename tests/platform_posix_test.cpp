// Tests of the POSIX services of platform/system.h that the stored-names
// file and onymix-cli rely on: files under a UTF-8 path, pipes told from
// files, and ASCII as the code page.
#include "../platform/system.h"
#include "../store/stored_text.h"
#include "store_fixture.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

TEST(PosixPlatform, AFileUnderAUTF8PathIsMadeFoundReplacedAndRemoved) {
    std::string pattern = testing::TempDir() + "onymix_posix_XXXXXX";
    ASSERT_TRUE(mkdtemp(pattern.data()));
    std::string named = pattern + u8"/\u041E\u043B\u044C\u0433\u0430 \u4E2D\u6587 \U0001F600";
    ASSERT_EQ(mkdir(named.c_str(), 0755), 0);
    std::string path = named + "/stored.txt", temporary = path + ".new";

    EXPECT_FALSE(platform_file_exists(path.c_str()));
    std::FILE *file = platform_open_file(path.c_str(), "wb");
    ASSERT_NE(file, nullptr) << "cannot make " << path;
    std::fclose(file);
    EXPECT_TRUE(platform_file_exists(path.c_str()));
    write_bytes(temporary, "Anna\r\n");
    EXPECT_TRUE(platform_replace_file(temporary.c_str(), path.c_str()));
    EXPECT_EQ(read_bytes(path), "Anna\r\n");
    EXPECT_FALSE(platform_file_exists(temporary.c_str()));
    EXPECT_TRUE(platform_remove_file(path.c_str()));
    EXPECT_FALSE(platform_file_exists(path.c_str()));
    EXPECT_FALSE(platform_remove_file(path.c_str())) << "removing what is gone";
    EXPECT_EQ(platform_open_file((named + "/missing/stored.txt").c_str(), "wb"), nullptr);
    std::filesystem::remove_all(pattern);
}

TEST(PosixPlatform, APipeIsToldFromAFile) {
    int ends[2];
    ASSERT_EQ(pipe(ends), 0);
    std::FILE *piped = fdopen(ends[0], "rb");
    ASSERT_NE(piped, nullptr);
    EXPECT_TRUE(platform_is_pipe(piped));
    std::fclose(piped);
    close(ends[1]);
    std::FILE *file = std::tmpfile();
    ASSERT_NE(file, nullptr);
    EXPECT_FALSE(platform_is_pipe(file));
    std::fclose(file);
}

TEST(PosixPlatform, OnlyASCIIIsInTheCodePage) {
    const std::string mark = "\xFF\xFE";
    std::string ascii = mark + utf16_bytes(u"Anna\r\n~\x7F\r\n");
    stored_text read = stored_text_from_bytes(ascii.data(), ascii.size());
    ASSERT_EQ(read.outcome, text_read);
    EXPECT_EQ(std::string(read.text, read.length), "Anna\r\n~\x7F\r\n");
    std::free(read.text);

    std::string latin = mark + utf16_bytes(u"Zo\u00EB\r\n");
    stored_text refused = stored_text_from_bytes(latin.data(), latin.size());
    EXPECT_EQ(refused.outcome, text_unshowable) << "U+00EB is no ASCII character";
    std::free(refused.text);

    // 8-bit files need no conversion, so any byte saves as it is; only
    // UTF-16 refuses a byte that is no character.
    size_t size = 0;
    char *bytes = stored_bytes_from_text("Zo\xEB", encoding_code_page, &size);
    ASSERT_NE(bytes, nullptr);
    EXPECT_EQ(std::string(bytes, size), "Zo\xEB");
    std::free(bytes);
    EXPECT_EQ(stored_bytes_from_text("Zo\xEB", encoding_utf16_le, &size), nullptr);
}

} // namespace
