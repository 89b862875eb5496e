#include "platform/profile.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/paths.h"
#include "platform/safefile.h"
#include "support/temp_folder.h"

namespace xq {
namespace {

using testing::ReadWholeFile;
using testing::ScopedEnv;
using testing::TempFolder;
using testing::WriteWholeFile;

constexpr char kSample[] =
    "; settings of several programs\n"
    "[Other]\n"
    "Level=9\n"
    "\n"
    "[chess]\n"
    "level = 3\n"
    "  ; keep me\n"
    "Name=\"  quoted  \"\n"
    "Spaces =   padded text   \n"
    "Empty=\n"
    "\n"
    "[Last]\n"
    "Key=value";  // no line break at the end

TEST(Profile, ReadsKeysWithoutRegardToCase) {
    TempFolder folder;
    const auto file = folder / "a.ini";
    WriteWholeFile(file, kSample);
    EXPECT_EQ(ReadProfileInt("CHESS", "Level", 2, file), 3);
    EXPECT_EQ(ReadProfileInt("other", "LEVEL", 2, file), 9);
    EXPECT_EQ(ReadProfileString("CHESS", "name", "x", 79, file), "  quoted  ");
    EXPECT_EQ(ReadProfileString("CHESS", "Spaces", "x", 79, file), "padded text");
    EXPECT_EQ(ReadProfileString("CHESS", "Spaces", "x", 3, file), "pad");
    EXPECT_EQ(ReadProfileString("CHESS", "Empty", "x", 79, file), "");
    EXPECT_EQ(ReadProfileString("Last", "Key", "x", 79, file), "value");
    // Missing file, section or key, and an empty value read as the default.
    EXPECT_EQ(ReadProfileInt("CHESS", "Level", 2, folder / "none.ini"), 2);
    EXPECT_EQ(ReadProfileString("CHESS", "Level", "5.0", 79, folder / "none.ini"), "5.0");
    EXPECT_EQ(ReadProfileInt("Nowhere", "Level", 4, file), 4);
    EXPECT_EQ(ReadProfileInt("CHESS", "keep me", 4, file), 4);
    EXPECT_EQ(ReadProfileInt("CHESS", "Empty", 4, file), 4);
    // A value written as "" is empty, not two quote marks; Z is a letter like any other.
    WriteWholeFile(file, "[S]\nK=\"\"\nZone=1\n");
    EXPECT_EQ(ReadProfileString("S", "K", "x", 79, file), "");
    EXPECT_EQ(ReadProfileInt("s", "zONE", 0, file), 1);
}

TEST(Profile, ReadsIntegersLikeTheClassicServices) {
    TempFolder folder;
    const auto file = folder / "a.ini";
    const struct {
        const char* text;
        int32_t value;
    } rows[] = {
        {"258", 258}, {"-3", -3}, {"+12", 12},       {" 7 blanks", 7}, {"42abc", 42},
        {"abc", 0},   {"-", 0},   {"4294967298", 2}, {"0x10", 0},      {"007", 7},
    };
    for (const auto& row : rows) {
        WriteWholeFile(file, std::string("[S]\nK=") + row.text + "\n");
        EXPECT_EQ(ReadProfileInt("S", "K", 99, file), row.value) << row.text;
    }
}

TEST(Profile, WritingOneKeyLeavesEveryOtherLineAsItWas) {
    TempFolder folder;
    const auto file = folder / "a.ini";
    WriteWholeFile(file, kSample);
    ASSERT_TRUE(WriteProfileString("CHESS", "LEVEL", "5", file));    // an existing key
    ASSERT_TRUE(WriteProfileString("Chess", "SoundOn", "1", file));  // a new key
    ASSERT_TRUE(WriteProfileString("New", "A", "b c", file));        // a new section
    ASSERT_TRUE(WriteProfileString("Last", "Key", "v2", file));      // the unterminated line
    EXPECT_EQ(ReadWholeFile(file),
              "; settings of several programs\n"
              "[Other]\n"
              "Level=9\n"
              "\n"
              "[chess]\n"
              "level=5\n"
              "  ; keep me\n"
              "Name=\"  quoted  \"\n"
              "Spaces =   padded text   \n"
              "Empty=\n"
              "SoundOn=1\n"
              "\n"
              "[Last]\n"
              "Key=v2\n"
              "[New]\n"
              "A=b c\n");
    EXPECT_EQ(ReadProfileString("new", "a", "", 79, file), "b c");
}

TEST(Profile, NewLinesFollowTheFilesLineBreaks) {
    TempFolder folder;
    const auto file = folder / "a.ini";
    WriteWholeFile(file, "[CHESS]\r\nLevel=1\r\n");
    ASSERT_TRUE(WriteProfileString("CHESS", "MaxLevel", "45", file));
    ASSERT_TRUE(WriteProfileString("CHESS", "Level", "0", file));
    EXPECT_EQ(ReadWholeFile(file), "[CHESS]\r\nLevel=0\r\nMaxLevel=45\r\n");
    EXPECT_EQ(ReadProfileInt("CHESS", "MaxLevel", 1, file), 45);
    // A lone line ending in '\r' without its '\n' is a CRLF line, from the first write on, so a
    // second write of the same value changes nothing (found by the settings fuzzer).
    WriteWholeFile(file, "[Other]\r");
    ASSERT_TRUE(WriteProfileString("CHESS", "Level", "1", file));
    EXPECT_EQ(ReadWholeFile(file), "[Other]\r\n[CHESS]\r\nLevel=1\r\n");
}

TEST(Profile, AByteOrderMarkIsSkippedOnReadingAndKeptOnWriting) {
    TempFolder folder;
    const auto file = folder / "a.ini";
    WriteWholeFile(file, "\xEF\xBB\xBF[CHESS]\r\nLevel=1\r\n");
    EXPECT_EQ(ReadProfileInt("CHESS", "Level", 2, file), 1);
    ASSERT_TRUE(WriteProfileString("CHESS", "Level", "0", file));
    ASSERT_TRUE(WriteProfileString("CHESS", "SoundOn", "1", file));
    EXPECT_EQ(ReadWholeFile(file), "\xEF\xBB\xBF[CHESS]\r\nLevel=0\r\nSoundOn=1\r\n");
    WriteWholeFile(file, "\xEF\xBB\xBF");
    ASSERT_TRUE(WriteProfileString("CHESS", "Level", "3", file));
    EXPECT_EQ(ReadWholeFile(file), "\xEF\xBB\xBF[CHESS]\nLevel=3\n");
}

TEST(Profile, CreatesTheFileAndFailsWithoutHarm) {
    TempFolder folder;
    const auto file = folder / "new.ini";
    ASSERT_TRUE(WriteProfileString("CHESS", "Level", "2", file));
    EXPECT_EQ(ReadWholeFile(file), "[CHESS]\nLevel=2\n");
    EXPECT_FALSE(WriteProfileString("CHESS", "Level", "2", folder / "missing" / "a.ini"));
    if (::geteuid() == 0) GTEST_SKIP() << "root writes into read-only folders";
    std::filesystem::permissions(
        folder.Path(), std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
    EXPECT_FALSE(WriteProfileString("CHESS", "Level", "3", file));
    EXPECT_EQ(ReadWholeFile(file), "[CHESS]\nLevel=2\n");
}

TEST(SafeFile, NewFilesFollowTheUmaskAndReplacedFilesKeepTheirMode) {
    TempFolder folder;
    const auto file = folder / "a";
    const mode_t oldMask = ::umask(022);
    EXPECT_EQ(ReplaceFileContent(file, "one"), FileWrite::Written);
    ::umask(oldMask);
    using std::filesystem::perms;
    EXPECT_EQ(std::filesystem::status(file).permissions(),
              perms::owner_read | perms::owner_write | perms::group_read | perms::others_read);
    std::filesystem::permissions(file, perms::owner_read | perms::owner_write);
    EXPECT_EQ(ReplaceFileContent(file, "two"), FileWrite::Written);
    EXPECT_EQ(std::filesystem::status(file).permissions(), perms::owner_read | perms::owner_write);
    EXPECT_EQ(ReadWholeFile(file), "two");
    EXPECT_EQ(ReplaceFileContent(folder / "no" / "a", "x"), FileWrite::NotCreated);
}

TEST(SafeFile, LinksStayLinksAndLongNamesSave) {
    TempFolder folder;
    namespace fs = std::filesystem;
    // A chain of links, the last one relative: the file at its end gets the content.
    WriteWholeFile(folder / "real", "one");
    fs::permissions(folder / "real", fs::perms::owner_read | fs::perms::owner_write);
    fs::create_directory(folder / "sub");
    fs::create_symlink("../real", folder / "sub" / "link");
    fs::create_symlink(folder / "sub" / "link", folder / "first");
    EXPECT_EQ(ReplaceFileContent(folder / "first", "two"), FileWrite::Written);
    EXPECT_TRUE(fs::is_symlink(folder / "first"));
    EXPECT_TRUE(fs::is_symlink(folder / "sub" / "link"));
    EXPECT_EQ(ReadWholeFile(folder / "real"), "two");
    EXPECT_EQ(fs::status(folder / "real").permissions(),
              fs::perms::owner_read | fs::perms::owner_write);
    // A link to a file not there yet makes that file; a loop of links is refused.
    fs::create_symlink("later", folder / "dangling");
    EXPECT_EQ(ReplaceFileContent(folder / "dangling", "new"), FileWrite::Written);
    EXPECT_TRUE(fs::is_symlink(folder / "dangling"));
    EXPECT_EQ(ReadWholeFile(folder / "later"), "new");
    fs::create_symlink("loop", folder / "loop");
    EXPECT_EQ(ReplaceFileContent(folder / "loop", "x"), FileWrite::NotCreated);
    // A name as long as the file system allows.
    const auto longName = folder / std::string(255, 'n');
    EXPECT_EQ(ReplaceFileContent(longName, "long"), FileWrite::Written);
    EXPECT_EQ(ReplaceFileContent(longName, "longer"), FileWrite::Written);
    EXPECT_EQ(ReadWholeFile(longName), "longer");
    EXPECT_EQ(std::distance(fs::directory_iterator(folder.Path()), fs::directory_iterator()), 7)
        << "no temporary file is left";
}

TEST(SafeFile, AFileThatMayNotBeWrittenIsNotReplaced) {
    if (::geteuid() == 0) {
        // Root may write any file; saving another user's file leaves it that user's.
        TempFolder folder;
        const auto file = folder / "theirs";
        WriteWholeFile(file, "one");
        ASSERT_EQ(::chown(file.c_str(), 65534, 65534), 0);
        EXPECT_EQ(ReplaceFileContent(file, "two"), FileWrite::Written);
        struct stat status {};
        ASSERT_EQ(::stat(file.c_str(), &status), 0);
        EXPECT_EQ(status.st_uid, 65534u);
        EXPECT_EQ(status.st_gid, 65534u);
        GTEST_SKIP() << "root may write any file";
    }
    TempFolder folder;
    const auto file = folder / "a.ini";
    WriteWholeFile(file, "[CHESS]\nLevel=1\n");
    std::filesystem::permissions(file, std::filesystem::perms::owner_read);
    EXPECT_EQ(ReplaceFileContent(file, "x"), FileWrite::NotCreated);
    EXPECT_FALSE(WriteProfileString("CHESS", "Level", "0", file));
    EXPECT_EQ(ReadWholeFile(file), "[CHESS]\nLevel=1\n");
    EXPECT_EQ(std::filesystem::status(file).permissions(), std::filesystem::perms::owner_read);
}

TEST(Paths, FollowTheXdgVariablesAndCreateTheFolder) {
    TempFolder folder;
    {
        ScopedEnv config("XDG_CONFIG_HOME", (folder / "cfg").string());
        ScopedEnv state("XDG_STATE_HOME", (folder / "st").string());
        EXPECT_EQ(ConfigFolder(), folder / "cfg" / kProgramFolderName);
        EXPECT_EQ(StateFolder(), folder / "st" / kProgramFolderName);
        EXPECT_TRUE(std::filesystem::is_directory(folder / "st" / kProgramFolderName));
    }
    {
        // Unset or relative variables: the defaults below the home folder.
        ScopedEnv home("HOME", folder.Path().string());
        ScopedEnv config("XDG_CONFIG_HOME", std::nullopt);
        ScopedEnv state("XDG_STATE_HOME", "relative/state");
        EXPECT_EQ(ConfigFolder(), folder / ".config" / kProgramFolderName);
        EXPECT_EQ(StateFolder(), folder / ".local" / "state" / kProgramFolderName);
        EXPECT_TRUE(std::filesystem::is_directory(folder / ".local" / "state"));
    }
    {
        // A folder that cannot be made: a file stands in the way.
        WriteWholeFile(folder / "blocked", "x");
        ScopedEnv config("XDG_CONFIG_HOME", (folder / "blocked").string());
        EXPECT_TRUE(ConfigFolder().empty());
    }
}

}  // namespace
}  // namespace xq
