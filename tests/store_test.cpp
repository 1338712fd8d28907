// Tests of the stored-names file and of Store and Quit: where the file is,
// how it is loaded and saved, and how a failing file ends the process.
#include "../platform/system.h"
#include "../program/fields.h"
#include "../program/stored_names.h"
#include "support/fake_platform.h"
#include "store_fixture.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

// text as a death-test pattern that matches exactly it.
std::string literally(const std::string &text) {
    std::string pattern;
    for (char c : text) {
        if (std::strchr(".[]()*+?{}|^$\\", c))
            pattern += '\\';
        pattern += c;
    }
    return pattern;
}

// The whole standard error stream of a run that cannot use the file.
std::string cannot_open(const std::string &path) {
    return "^" + literally("Can't open file " + path) + "\n$";
}

// In place of the user: shows on the standard error stream (where a death
// test can see it) what the report said, and answers.
void answer_reports_with(bool retry) {
    set_fake_file_failure_answer([retry](const std::string &message, bool offered) {
        std::fprintf(stderr, "[%s%s]\n", message.c_str(), offered ? " | Retry" : "");
        return retry;
    });
}

class StoredNames : public ProgramFolderTest {
  protected:
    std::string loaded() {
        return load_stored_names();
    }

    // Puts text in the stored-names box and saves it; the file's bytes.
    std::string saved(const std::string &text) {
        set_fake_field(field_stored_names, text);
        save_stored_names();
        return read_bytes(file);
    }
};

using ProgramFolder = StoredNames;

TEST_F(ProgramFolder, IsThePathCutAfterItsLastSeparator) {
    const struct {
        const char *executable, *folder;
    } cases[] = {
        {"/opt/onymix/onymix", "/opt/onymix/"},
        {"/opt/onymix/", "/opt/onymix/"},
        {"a/b", "a/"},
        {"//x", "//"},
        {"onymix", "onymix"},   // no separator: the text stays whole
        {"/onymix", "/onymix"}, // the first character is never examined
        {"/", "/"},
        {"C:\\Onymix\\onymix.exe", "C:\\Onymix\\onymix.exe"}, // '\\' only on Windows
    };
    for (const auto &c : cases) {
        set_fake_executable_path(c.executable);
        EXPECT_STREQ(program_folder(), c.folder) << "executable " << c.executable;
    }
}

TEST_F(ProgramFolder, TheStoredNamesFileIsInIt) {
    EXPECT_EQ(std::string(stored_names_path), folder + "/stored.txt");
}

TEST_F(ProgramFolder, AnExecutablePathWithoutSeparatorGetsTheFileNameAppended) {
    set_fake_executable_path("onymix");
    form_stored_names_path();
    EXPECT_STREQ(stored_names_path, "onymixstored.txt");
}

TEST_F(ProgramFolder, APathOf5000CharactersIsUsedWhole) {
    std::string deep = "/" + std::string(4992, 'd') + "/";
    set_fake_executable_path(deep + "onymix");
    ASSERT_EQ(deep.size() + 6, 5000u);
    EXPECT_EQ(std::string(program_folder()), deep);
    form_stored_names_path();
    EXPECT_EQ(std::string(stored_names_path), deep + "stored.txt");
}

using Load = StoredNames;

TEST_F(Load, AMissingFileIsCreatedEmpty) {
    EXPECT_EQ(loaded(), "");
    struct stat info {};
    ASSERT_EQ(stat(file.c_str(), &info), 0) << file << " was not created";
    EXPECT_TRUE(S_ISREG(info.st_mode));
    EXPECT_EQ(info.st_size, 0);
}

TEST_F(Load, KeepsTheNonEmptyLinesEachEndedByCrLf) {
    const struct {
        std::string file, text;
    } cases[] = {
        {"", ""},
        {"A\r\nB\r\n", "A\r\nB\r\n"},
        {"A\r\nB", "A\r\nB\r\n"},
        {"A\nB\n", "A\r\nB\r\n"},
        {"A\r\n\r\nB\r\n\r\n", "A\r\nB\r\n"},
        {"\r\n\r\n\n", ""},
        {"  Ann Lee \r\n \r\n", "  Ann Lee \r\n \r\n"},
        {"A\rB\r\n", "A\rB\r\n"}, // a CR not before an LF stays
        {"A\r\r\n", "A\r\r\n"},   // only the CR right before the LF goes
        {"\r\r\n", "\r\r\n"},     // a line of one CR is not empty
        {"A\r", "A\r\r\n"},       // nor is a CR at the very end
    };
    for (const auto &c : cases) {
        write_bytes(file, c.file);
        EXPECT_EQ(loaded(), c.text) << "file " << shown(c.file);
    }
}

TEST_F(Load, ANulByteEndsTheTextOfItsLine) {
    const struct {
        std::string file, text;
    } cases[] = {
        {std::string("Ann\0Lee\r\nBo\r\n", 13), "Ann\r\nBo\r\n"},
        {std::string("\0Ann\r\nBo\r\n", 10), "Bo\r\n"}, // starts with NUL: empty
        {std::string("Ann\r\0\r\n", 7), "Ann\r\r\n"},
        {std::string("Ann\0", 4), "Ann\r\n"},
        {std::string("\0\0\0\n\0", 5), ""},
    };
    for (const auto &c : cases) {
        write_bytes(file, c.file);
        EXPECT_EQ(loaded(), c.text) << "file " << shown(c.file);
    }
}

TEST_F(Load, EveryOtherByteIsKeptAsItIs) {
    std::string line;
    for (int c = 1; c < 256; c++)
        if (c != '\n')
            line += char(c);
    write_bytes(file, line + "\r\n\x1A\r\nZoe\r\n");
    EXPECT_EQ(loaded(), line + "\r\n\x1A\r\nZoe\r\n") << "0x1A does not end the file";
}

TEST_F(Load, LongLinesAreNotCut) {
    std::string name(5000, 'n');
    write_bytes(file, "A\r\n" + name + "\r\n" + name);
    EXPECT_EQ(loaded(), "A\r\n" + name + "\r\n" + name + "\r\n");
}

using LoadDeathTest = StoredNames;

TEST_F(LoadDeathTest, AFolderInPlaceOfTheFileEndsTheProcess) {
    ASSERT_EQ(mkdir(file.c_str(), 0755), 0);
    EXPECT_EXIT(load_stored_names(), ::testing::ExitedWithCode(1), cannot_open(file));
    // The user is told too, with no retry offered, and even an answer that
    // asks for one ends the process.
    answer_reports_with(true);
    EXPECT_EXIT(load_stored_names(), ::testing::ExitedWithCode(1),
                "^" + literally("Can't open file " + file + "\n[Can't open file " + file + "]\n") +
                    "$");
}

TEST_F(LoadDeathTest, AFileThatCannotBeOpenedEndsTheProcess) {
    // A socket exists under the path but cannot be opened, even by root.
    int listener = socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_GE(listener, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    ASSERT_LT(file.size(), sizeof address.sun_path);
    std::strcpy(address.sun_path, file.c_str());
    ASSERT_EQ(bind(listener, reinterpret_cast<sockaddr *>(&address), sizeof address), 0);
    EXPECT_EXIT(load_stored_names(), ::testing::ExitedWithCode(1), cannot_open(file));
    close(listener);
}

TEST_F(LoadDeathTest, AFileWhoseReadFailsEndsTheProcess) {
    // Opening the process's own memory works; reading it from offset 0 fails.
    ASSERT_EQ(symlink("/proc/self/mem", file.c_str()), 0);
    EXPECT_EXIT(load_stored_names(), ::testing::ExitedWithCode(1), cannot_open(file));
}

TEST_F(LoadDeathTest, AMissingFileThatCannotBeCreatedEndsTheProcess) {
    std::string gone = folder + "/gone/";
    set_fake_executable_path(gone + "onymix");
    form_stored_names_path();
    EXPECT_EXIT(load_stored_names(), ::testing::ExitedWithCode(1),
                cannot_open(gone + "stored.txt"));

    std::string plain = folder + "/plain";
    write_bytes(plain, "not a folder");
    set_fake_executable_path(plain + "/onymix");
    form_stored_names_path();
    EXPECT_EXIT(load_stored_names(), ::testing::ExitedWithCode(1),
                cannot_open(plain + "/stored.txt"));
}

using Save = StoredNames;

TEST_F(Save, DropsEveryCrAndWritesEveryLfAsCrLf) {
    const struct {
        std::string text, file;
    } cases[] = {
        {"A\r\nB\r\n", "A\r\nB\r\n"},
        {"A\nB", "A\r\nB"}, // no final line break, no final CR LF
        {"A\r\n\r\nB", "A\r\n\r\nB"},
        {"\r\n\r\n", "\r\n\r\n"},
        {"A\rB\r\r\n\r", "AB\r\n"},
        {"\xE9l\xE8ne\x1A\r\n", "\xE9l\xE8ne\x1A\r\n"},
        {"", ""},
    };
    for (const auto &c : cases)
        EXPECT_EQ(saved(c.text), c.file) << "box " << shown(c.text);
    EXPECT_FALSE(std::filesystem::exists(file + ".new"));
}

TEST_F(Save, ALoadedFileSavesBackAsTheTableSays) {
    const struct {
        std::string before, text, after;
    } cases[] = {
        {"A\r\nB\r\n", "A\r\nB\r\n", "A\r\nB\r\n"},
        {"A\r\nB", "A\r\nB\r\n", "A\r\nB\r\n"},
        {"A\r\n\r\nB\r\n\r\n", "A\r\nB\r\n", "A\r\nB\r\n"},
    };
    for (const auto &c : cases) {
        write_bytes(file, c.before);
        std::string text = loaded();
        EXPECT_EQ(text, c.text) << "loading " << shown(c.before);
        EXPECT_EQ(saved(text), c.after) << "saving what " << shown(c.before) << " loaded";
    }
}

using SaveDeathTest = StoredNames;

TEST_F(SaveDeathTest, AFailedReplaceKeepsTheOldFile) {
    write_bytes(file, "Old\r\n");
    set_fake_field(field_stored_names, "New\r\n");
    fail_next_replace();
    EXPECT_EXIT(save_stored_names(), ::testing::ExitedWithCode(1), cannot_open(file));
    EXPECT_EQ(read_bytes(file), "Old\r\n");
    EXPECT_FALSE(std::filesystem::exists(file + ".new")) << "the temporary file was left";
}

TEST_F(SaveDeathTest, ATemporaryFileThatCannotBeMadeKeepsTheOldFile) {
    write_bytes(file, "Old\r\n");
    ASSERT_EQ(mkdir((file + ".new").c_str(), 0755), 0);
    set_fake_field(field_stored_names, "New\r\n");
    EXPECT_EXIT(save_stored_names(), ::testing::ExitedWithCode(1), cannot_open(file));
    EXPECT_EQ(read_bytes(file), "Old\r\n");
    EXPECT_TRUE(std::filesystem::is_directory(file + ".new")) << "a folder that was not ours";
}

TEST_F(SaveDeathTest, AFolderInPlaceOfTheFileEndsTheProcess) {
    ASSERT_EQ(mkdir(file.c_str(), 0755), 0);
    set_fake_field(field_stored_names, "New\r\n");
    EXPECT_EXIT(save_stored_names(), ::testing::ExitedWithCode(1), cannot_open(file));
    EXPECT_TRUE(std::filesystem::is_directory(file));
    EXPECT_FALSE(std::filesystem::exists(file + ".new"));
}

TEST_F(SaveDeathTest, AFullDiskPartWayKeepsTheOldFile) {
    // Files may grow to 4 KiB only, so writing 64 KiB fails part way with
    // EFBIG instead of killing the process with SIGXFSZ.
    write_bytes(file, "Old\r\n");
    std::string names;
    while (names.size() < 64 * 1024)
        names += "Porfirio Karella\r\n";
    set_fake_field(field_stored_names, names);
    auto save_with_little_room = [] {
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit{4096, 4096};
        if (setrlimit(RLIMIT_FSIZE, &limit) != 0)
            std::_Exit(2);
        save_stored_names();
    };
    EXPECT_EXIT(save_with_little_room(), ::testing::ExitedWithCode(1), cannot_open(file));
    EXPECT_EQ(read_bytes(file), "Old\r\n");
    EXPECT_FALSE(std::filesystem::exists(file + ".new"));
}

using Encodings = StoredNames;

const std::u16string anna_bob_zoe = u"Anna\r\nBob\r\nZo\u00EB\r\n";

TEST_F(Encodings, AUTF16FileShowsItsNamesAndQuitWithYesSavesItAsUTF16) {
    // As Notepad saves "Unicode" (and "Unicode big endian").
    for (bool big : {false, true}) {
        std::string mark = big ? "\xFE\xFF" : "\xFF\xFE";
        write_bytes(file, mark + utf16_bytes(anna_bob_zoe, big));
        set_fake_field(field_stored_names, loaded());
        EXPECT_EQ(fake_field(field_stored_names), "Anna\r\nBob\r\nZo\xEB\r\n");
        set_fake_field(field_name_box, "X");
        store_name();
        set_fake_answer(true);
        offer_save_on_quit();
        EXPECT_EQ(read_bytes(file), mark + utf16_bytes(anna_bob_zoe + u"\r\nX", big))
            << (big ? "big endian" : "little endian");
    }
}

TEST_F(Encodings, TheUTF8MarkIsNoNameAndIsWrittenBack) {
    write_bytes(file, "\xEF\xBB\xBFZo\xC3\xAB\r\nBob");
    EXPECT_EQ(loaded(), "Zo\xC3\xAB\r\nBob\r\n");
    EXPECT_EQ(saved("Zo\xC3\xAB\r\nBob\r\nX"), "\xEF\xBB\xBFZo\xC3\xAB\r\nBob\r\nX");
}

TEST_F(Encodings, EachLoadStartsFromTheFileItFinds) {
    // What an earlier load found does not carry over to a file without mark.
    write_bytes(file, "\xFF\xFE" + utf16_bytes(u"Anna\r\n"));
    EXPECT_EQ(loaded(), "Anna\r\n");
    std::filesystem::remove(file);
    EXPECT_EQ(loaded(), "");
    EXPECT_EQ(saved("Anna\r\n"), "Anna\r\n");
    write_bytes(file, "\xEF\xBB\xBF\x41nna\r\n"); // the mark, then Anna
    EXPECT_EQ(loaded(), "Anna\r\n");
    write_bytes(file, "Bob\r\n");
    EXPECT_EQ(loaded(), "Bob\r\n");
    EXPECT_EQ(saved("Bob\r\n"), "Bob\r\n");
}

using EncodingsDeathTest = StoredNames;

TEST_F(EncodingsDeathTest, AUTF16FileTheCodePageCannotShowEndsTheStartAndStaysUntouched) {
    const std::string files[] = {
        "\xFF\xFE" + utf16_bytes(u"Anna\r\n\u041E\u043B\u044C\u0433\u0430\r\n"),
        "\xFE\xFF" + utf16_bytes(u"Anna\r\n\U0001F600\r\n", true),
        "\xFF\xFE" + utf16_bytes(anna_bob_zoe) + "Z", // half a character at the end
    };
    std::string message = "Can't read file " + file + ": it holds characters Onymix cannot show";
    for (const std::string &bytes : files) {
        write_bytes(file, bytes);
        // Even an answer that asks to retry ends the run.
        answer_reports_with(true);
        EXPECT_EXIT(load_stored_names(), ::testing::ExitedWithCode(1),
                    "^" + literally(message + "\n[" + message + "]\n") + "$")
            << "file " << shown(bytes);
        EXPECT_EQ(read_bytes(file), bytes);
        EXPECT_FALSE(std::filesystem::exists(file + ".new"));
    }
}

using Paths = StoredNames;

// A folder named in three scripts, one character outside the Basic
// Multilingual Plane, as UTF-8.
const std::string named_folder = u8"\u041E\u043B\u044C\u0433\u0430 \u4E2D\u6587 \U0001F600";

TEST_F(Paths, AFolderNamedInAnyScriptIsUsedWhole) {
    std::string named = folder + "/" + named_folder + "/";
    ASSERT_EQ(mkdir(named.c_str(), 0755), 0);
    set_fake_executable_path(named + "onymix");
    form_stored_names_path();
    EXPECT_EQ(std::string(stored_names_path), named + "stored.txt");
    EXPECT_EQ(load_stored_names(), std::string());
    EXPECT_TRUE(std::filesystem::exists(named + "stored.txt")) << "not created";
    set_fake_field(field_stored_names, "Anna\r\nBob");
    set_fake_answer(true);
    offer_save_on_quit();
    EXPECT_EQ(read_bytes(named + "stored.txt"), "Anna\r\nBob");
    EXPECT_FALSE(std::filesystem::exists(named + "stored.txt.new"));
}

using PathsDeathTest = StoredNames;

TEST_F(PathsDeathTest, AFailureNamesTheWholePath) {
    std::string named = folder + "/" + named_folder + "/";
    ASSERT_EQ(mkdir(named.c_str(), 0755), 0);
    set_fake_executable_path(named + "onymix");
    form_stored_names_path();
    std::string path = named + "stored.txt";
    ASSERT_EQ(mkdir(path.c_str(), 0755), 0);
    answer_reports_with(false);
    EXPECT_EXIT(load_stored_names(), ::testing::ExitedWithCode(1),
                "^" + literally("Can't open file " + path + "\n[Can't open file " + path + "]\n") +
                    "$");
    set_fake_field(field_stored_names, "Anna");
    EXPECT_EXIT(save_stored_names(), ::testing::ExitedWithCode(1),
                "^" +
                    literally("Can't open file " + path + "\n[Can't save stored names to file " +
                              path + " | Retry]\n") +
                    "$");
}

using Store = StoredNames;

TEST_F(Store, AppendsTheNameBoxAsANewLine) {
    const struct {
        std::string list, name, result;
    } cases[] = {
        {"", "Emmitt Verhagen", "Emmitt Verhagen"}, // no leading line break
        {"", "", ""},
        {"A", "", "A\r\n"},
        {"A\r\n", "B", "A\r\n\r\nB"},
        {"Viki", "Viki", "Viki\r\nViki"},
    };
    for (const auto &c : cases) {
        set_fake_field(field_stored_names, c.list);
        set_fake_field(field_name_box, c.name);
        store_name();
        EXPECT_EQ(fake_field(field_stored_names), c.result)
            << "storing " << shown(c.name) << " into " << shown(c.list);
    }
}

TEST_F(Store, TheWorkedExampleByteForByte) {
    write_bytes(file, "A\r\nB\r\n");
    set_fake_field(field_stored_names, loaded());
    EXPECT_EQ(fake_field(field_stored_names), "A\r\nB\r\n");
    set_fake_field(field_name_box, "X");
    store_name();
    EXPECT_EQ(fake_field(field_stored_names), "A\r\nB\r\n\r\nX");
    set_fake_field(field_name_box, "Y");
    store_name();
    EXPECT_EQ(fake_field(field_stored_names), "A\r\nB\r\n\r\nX\r\nY");
    save_stored_names();
    EXPECT_EQ(read_bytes(file), "A\r\nB\r\n\r\nX\r\nY");
    EXPECT_EQ(loaded(), "A\r\nB\r\nX\r\nY\r\n");
}

TEST_F(Store, ALongListIsNotCut) {
    std::string list(3000, 'L');
    set_fake_field(field_stored_names, list);
    set_fake_field(field_name_box, "Zoe");
    store_name();
    EXPECT_EQ(fake_field(field_stored_names), list + "\r\nZoe");
    EXPECT_EQ(saved(fake_field(field_stored_names)), list + "\r\nZoe");
}

using Quit = StoredNames;

TEST_F(Quit, AnEmptyBoxAsksNothingAndWritesNothing) {
    write_bytes(file, "A\r\nB\r\n");
    set_fake_answer(true);
    offer_save_on_quit();
    EXPECT_EQ(fake_questions_asked(), 0);
    EXPECT_EQ(read_bytes(file), "A\r\nB\r\n") << "emptying the box must not empty the file";
    EXPECT_FALSE(std::filesystem::exists(file + ".new"));
    EXPECT_EQ(fake_end_requests(), 1);
    EXPECT_EQ(fake_end_code(), 0);
}

TEST_F(Quit, NoLeavesTheFileAsItWas) {
    write_bytes(file, "A\r\nB");
    set_fake_field(field_stored_names, "A\r\nB\r\nC");
    set_fake_answer(false);
    offer_save_on_quit();
    EXPECT_EQ(fake_questions_asked(), 1);
    EXPECT_EQ(fake_last_question(), "Save stored names to file?");
    EXPECT_EQ(fake_last_caption(), "Onymix");
    EXPECT_EQ(read_bytes(file), "A\r\nB");
    EXPECT_EQ(fake_end_requests(), 1);
    EXPECT_EQ(fake_end_code(), 0);
}

TEST_F(Quit, YesSavesTheBox) {
    write_bytes(file, "A\r\n");
    set_fake_field(field_stored_names, "A\r\n\r\nB\rC\nD");
    set_fake_answer(true);
    offer_save_on_quit();
    EXPECT_EQ(fake_questions_asked(), 1);
    EXPECT_EQ(read_bytes(file), "A\r\n\r\nBC\r\nD");
    EXPECT_EQ(fake_end_requests(), 1);
    EXPECT_EQ(fake_end_code(), 0);
}

TEST_F(Quit, AsksEvenWhenNothingChangedSinceTheLoad) {
    write_bytes(file, "A\r\nB");
    set_fake_field(field_stored_names, loaded());
    set_fake_answer(true);
    offer_save_on_quit();
    EXPECT_EQ(fake_questions_asked(), 1);
    EXPECT_EQ(read_bytes(file), "A\r\nB\r\n");
}

TEST_F(Quit, FilesThatLoadEmptyOfferNoSave) {
    for (std::string before : {"", "\r\n\r\n"}) {
        write_bytes(file, before);
        set_fake_field(field_stored_names, loaded());
        offer_save_on_quit();
        EXPECT_EQ(fake_questions_asked(), 0) << "file " << shown(before);
        EXPECT_EQ(read_bytes(file), before);
    }
    std::filesystem::remove(file);
    set_fake_field(field_stored_names, loaded());
    offer_save_on_quit();
    EXPECT_EQ(fake_questions_asked(), 0) << "missing file";
    EXPECT_EQ(read_bytes(file), "");
    EXPECT_EQ(fake_end_requests(), 3);
}

using QuitDeathTest = StoredNames;

TEST_F(QuitDeathTest, ASaveGivenUpAtQuitEndsTheProcessAndKeepsTheFile) {
    write_bytes(file, "Old\r\n");
    set_fake_field(field_stored_names, "New\r\n");
    set_fake_answer(true);
    fail_next_replace();
    answer_reports_with(false);
    EXPECT_EXIT(offer_save_on_quit(), ::testing::ExitedWithCode(1),
                "^" +
                    literally("Can't open file " + file + "\n[Can't save stored names to file " +
                              file + " | Retry]\n") +
                    "$");
    EXPECT_EQ(read_bytes(file), "Old\r\n");
    EXPECT_FALSE(std::filesystem::exists(file + ".new")) << "the temporary file was left";
}

using QuitRetry = StoredNames;

TEST_F(QuitRetry, ASaveRetriedUntilItWorksWritesTheBoxAsItIsThen) {
    write_bytes(file, "Old\r\n");
    set_fake_field(field_stored_names, "A\r\nB");
    set_fake_answer(true);
    fail_next_replace();
    std::string temporary = file + ".new";
    std::string reports;
    int reported = 0;
    bool temporary_left = false;
    set_fake_file_failure_answer([&](const std::string &message, bool offered) {
        reports += message + (offered ? " | Retry\n" : "\n");
        if (++reported == 1) {
            // First report: the replace failed. Meanwhile the user edits the
            // list, and something takes the temporary file's name.
            temporary_left = std::filesystem::exists(temporary);
            set_fake_field(field_stored_names, "A\r\nB\r\n\r\nC");
            mkdir(temporary.c_str(), 0755);
        } else {
            rmdir(temporary.c_str());
        }
        return true;
    });
    testing::internal::CaptureStderr();
    offer_save_on_quit();
    std::string errors = testing::internal::GetCapturedStderr();

    std::string report = "Can't save stored names to file " + file + " | Retry\n";
    EXPECT_EQ(reports, report + report);
    EXPECT_EQ(errors, "Can't open file " + file + "\nCan't open file " + file + "\n");
    EXPECT_FALSE(temporary_left) << "the failed attempt left its temporary file";
    EXPECT_EQ(read_bytes(file), "A\r\nB\r\n\r\nC") << "the box as it was at the last retry";
    EXPECT_FALSE(std::filesystem::exists(temporary));
    EXPECT_EQ(fake_end_requests(), 1);
    EXPECT_EQ(fake_end_code(), 0);
}

} // namespace
