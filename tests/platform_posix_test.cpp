// Tests of the POSIX services of runtime/platform.h that the stored-names
// file relies on: files under a UTF-8 path.
#include "../runtime/platform.h"
#include "store_fixture.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <sys/stat.h>

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

} // namespace
