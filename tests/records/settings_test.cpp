#include "records/settings.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <utility>

#include "engine/evaluation.h"
#include "engine/flow.h"
#include "engine/search.h"
#include "engine/think.h"
#include "platform/encoding.h"
#include "platform/paths.h"
#include "records/gamelog.h"
#include "records/startup.h"
#include "rules/board.h"
#include "rules/record.h"
#include "support/temp_folder.h"

namespace xq {
namespace {

using testing::ReadWholeFile;
using testing::ScopedEnv;
using testing::TempFolder;
using testing::WriteWholeFile;

class SettingsTest : public ::testing::Test {
  protected:
    void SetUp() override { SetState(3, 7.5, {9, 9, 9}, 20, 0); }
    void TearDown() override { Reset(); }

    static void SetState(uint8_t level, double time, BoardColor color, uint8_t depth,
                         uint8_t sound) {
        levelKind = level;
        levelTime = time;
        colorSquare = color;
        maxDepth = depth;
        soundOn = sound;
    }
    static void ExpectState(uint8_t level, double time, BoardColor color, uint8_t depth,
                            uint8_t sound, const std::string& what) {
        EXPECT_EQ(levelKind, level) << what;
        EXPECT_EQ(levelTime, time) << what;
        EXPECT_EQ(colorSquare, color) << what;
        EXPECT_EQ(maxDepth, depth) << what;
        EXPECT_EQ(soundOn, sound) << what;
    }

    TempFolder folder_;
};

TEST_F(SettingsTest, RoundTripKeepsForeignSectionsAndKeys) {
    const auto file = folder_ / "chess.ini";
    WriteWholeFile(file,
                   "; written by hand\n"
                   "[Window]\n"
                   "Level=9\n"
                   "\n"
                   "[CHESS]\n"
                   "level=4\n"
                   "Extra=keep me\n"
                   "\n"
                   "[After]\n"
                   "SoundOn=0\n");
    SetState(0, 10.0, {1, 2, 3}, 12, 0);
    WriteSettings(file);
    EXPECT_EQ(ReadWholeFile(file),
              "; written by hand\n"
              "[Window]\n"
              "Level=9\n"
              "\n"
              "[CHESS]\n"
              "level=0\n"
              "Extra=keep me\n"
              "ColorSquare=197121\n"
              "AverageTime=10.000000\n"
              "MaxLevel=12\n"
              "SoundOn=0\n"
              "Engine=0\n"
              "\n"
              "[After]\n"
              "SoundOn=0\n");
    SetState(2, 5.0, kDefaultSquareColor, 45, 1);
    ReadSettings(file);
    ExpectState(0, 10.0, {1, 2, 3}, 12, 0, "read back");
}

// The one reset the test fixtures share: every setting and run flag a test may leave changed.
TEST_F(SettingsTest, ResetGivesEverySettingItsBuiltInValueAndTheEngineAtRest) {
    pieceValue[Rook] = 1;
    boardReversed = bestPathShown = 0;
    twoPlayerMode = demoMode = timedThinking = pondering = noTimeLimit = stopSearch = 1;
    timeLimit = 3.0;
    searchScore = 100;
    engineKind = EngineKind::Master;
    Reset();
    ExpectState(kDefaultLevel, kDefaultLevelTime, kDefaultSquareColor, kDefaultMaxDepth,
                kDefaultSoundOn, "reset");
    EXPECT_TRUE(
        std::equal(std::begin(pieceValue), std::end(pieceValue), std::begin(kDefaultPieceValue)));
    EXPECT_EQ(boardReversed, 0);
    EXPECT_EQ(bestPathShown, 1);
    EXPECT_EQ(twoPlayerMode + demoMode + timedThinking + pondering + noTimeLimit + stopSearch, 0);
    EXPECT_EQ(timeLimit, 0.0);
    EXPECT_EQ(searchScore, 0);
    EXPECT_EQ(engineKind, EngineKind::Classic);
}

TEST_F(SettingsTest, NoFileGivesTheBuiltInValuesAndWritingCreatesIt) {
    colorSquare = kDefaultSquareColor;
    const auto file = folder_ / "chess.ini";
    ReadSettings(file);
    ExpectState(2, 5.0, kDefaultSquareColor, 45, 1, "no file");
    WriteSettings(file);
    EXPECT_EQ(ReadWholeFile(file),
              "[CHESS]\n"
              "ColorSquare=32768\n"
              "Level=2\n"
              "AverageTime=5.000000\n"
              "MaxLevel=45\n"
              "SoundOn=1\n"
              "Engine=0\n");
}

TEST_F(SettingsTest, ValuesOutOfRangeFallBackToTheBuiltInOnes) {
    const struct {
        const char* lines;
        uint8_t level;
        double time;
        BoardColor color;
        uint8_t depth;
        uint8_t sound;
    } rows[] = {
        // The level and the depth are the integer's low byte, then checked.
        {"Level=258", 2, 5.0, {9, 9, 9}, 45, 1},
        {"Level=256\nMaxLevel=257", 0, 5.0, {9, 9, 9}, 1, 1},
        {"Level=7\nMaxLevel=301", 2, 5.0, {9, 9, 9}, 45, 1},
        {"Level=-1\nMaxLevel=0", 2, 5.0, {9, 9, 9}, 45, 1},
        {"Level=6\nMaxLevel=46", 6, 5.0, {9, 9, 9}, 45, 1},
        {"AverageTime=2.5 seconds", 2, 2.5, {9, 9, 9}, 45, 1},
        {"AverageTime=+0.25", 2, 0.25, {9, 9, 9}, 45, 1},
        {"AverageTime=0", 2, 5.0, {9, 9, 9}, 45, 1},
        {"AverageTime=-3", 2, 5.0, {9, 9, 9}, 45, 1},
        {"AverageTime=nan", 2, 5.0, {9, 9, 9}, 45, 1},
        {"AverageTime=inf", 2, 5.0, {9, 9, 9}, 45, 1},
        {"AverageTime=1e999", 2, 5.0, {9, 9, 9}, 45, 1},
        {"AverageTime=1e100", 2, 5.0, {9, 9, 9}, 45, 1},
        {"AverageTime=1000.5", 2, 5.0, {9, 9, 9}, 45, 1},
        {"AverageTime=1000", 2, 1000.0, {9, 9, 9}, 45, 1},
        {"AverageTime=1e-07", 2, 1e-7, {9, 9, 9}, 45, 1},
        {"AverageTime=fast", 2, 5.0, {9, 9, 9}, 45, 1},
        {"AverageTime=", 2, 5.0, {9, 9, 9}, 45, 1},
        {"ColorSquare=16711680", 2, 5.0, {0, 0, 255}, 45, 1},
        {"ColorSquare=-1", 2, 5.0, {255, 255, 255}, 45, 1},
        {"ColorSquare=green", 2, 5.0, kDefaultSquareColor, 45, 1},
        {"ColorSquare=", 2, 5.0, {9, 9, 9}, 45, 1},  // empty: the colour stays
        {"SoundOn=7", 2, 5.0, {9, 9, 9}, 45, 1},
        {"SoundOn=0", 2, 5.0, {9, 9, 9}, 45, 0},
        {"SoundOn=256", 2, 5.0, {9, 9, 9}, 45, 1},
    };
    const auto file = folder_ / "chess.ini";
    for (const auto& row : rows) {
        WriteWholeFile(file, std::string("[CHESS]\n") + row.lines + "\n");
        SetState(3, 7.5, {9, 9, 9}, 20, 0);
        ReadSettings(file);
        ExpectState(row.level, row.time, row.color, row.depth, row.sound, row.lines);
    }
}

// Six decimals where they keep the value, the shortest exact text where they would not; the
// reader gets back the very number. A byte order mark in front of the section is read past and
// kept.
TEST_F(SettingsTest, EveryTimeTakenIsWrittenBackAsTheSameNumber) {
    const struct {
        double time;
        const char* text;
    } rows[] = {
        {5.0, "5.000000"},  {2.5, "2.500000"},
        {0.1, "0.100000"},  {1000, "1000.000000"},
        {1e-7, "1e-07"},    {1.0 / 3, "0.3333333333333333"},
        {5e-324, "5e-324"}, {999.9999999, "999.9999999"},
    };
    const auto file = folder_ / "chess.ini";
    for (const auto& row : rows) {
        WriteWholeFile(file, "\xEF\xBB\xBF[CHESS]\nLevel=1\n");
        SetState(1, row.time, {9, 9, 9}, 20, 0);
        WriteSettings(file);
        EXPECT_TRUE(ReadWholeFile(file).starts_with("\xEF\xBB\xBF[CHESS]\nLevel=1\n"));
        EXPECT_NE(ReadWholeFile(file).find(std::string("\nAverageTime=") + row.text + "\n"),
                  std::string::npos)
            << row.text;
        SetState(3, 7.5, kDefaultSquareColor, 45, 1);
        ReadSettings(file);
        ExpectState(1, row.time, {9, 9, 9}, 20, 0, row.text);
    }
}

// The engine: 1 is the 大师 engine, 2 the added engine named by AddedEngine; a missing key, any
// other value, and 2 without a name, the classic one. The chosen engine is written back and read
// again, an added engine's name with blanks at its ends as it was.
TEST_F(SettingsTest, EngineKeyChoosesTheMasterOrAnAddedEngineOnlyWhenItSaysSo) {
    const struct {
        const char* lines;
        EngineKind engine;
        const char* added;
        const char* written;
    } rows[] = {
        {"Level=3", EngineKind::Classic, "", "\nEngine=0\n"},
        {"Engine=1", EngineKind::Master, "", "\nEngine=1\n"},
        {"Engine=0", EngineKind::Classic, "", "\nEngine=0\n"},
        {"Engine=2", EngineKind::Classic, "", "\nEngine=0\n"},
        {"Engine=2\nAddedEngine=", EngineKind::Classic, "", "\nEngine=0\n"},
        {"Engine=2\nAddedEngine=Fairy-Stockfish", EngineKind::Added, "Fairy-Stockfish",
         "\nEngine=2\nAddedEngine=\"Fairy-Stockfish\"\n"},
        {"AddedEngine=\" 皮卡鱼 2 \"\nEngine=2", EngineKind::Added, " 皮卡鱼 2 ",
         "\nAddedEngine=\" 皮卡鱼 2 \"\n"},
        {"Engine=1\nAddedEngine=Fairy-Stockfish", EngineKind::Master, "", "\nEngine=1\n"},
        {"Engine=3", EngineKind::Classic, "", "\nEngine=0\n"},
        {"Engine=-1", EngineKind::Classic, "", "\nEngine=0\n"},
        {"Engine=大师", EngineKind::Classic, "", "\nEngine=0\n"},
        {"Engine=", EngineKind::Classic, "", "\nEngine=0\n"},
    };
    const auto file = folder_ / "chess.ini";
    for (const auto& row : rows) {
        WriteWholeFile(file, std::string("[CHESS]\n") + row.lines + "\n");
        for (EngineKind before : {EngineKind::Classic, EngineKind::Master, EngineKind::Added}) {
            engineKind = before;
            addedEngineName = "before";
            ReadSettings(file);
            EXPECT_EQ(engineKind, row.engine) << row.lines;
            EXPECT_EQ(addedEngineName, row.added) << row.lines;
        }
        WriteSettings(file);
        engineKind = row.engine == EngineKind::Master ? EngineKind::Classic : EngineKind::Master;
        addedEngineName.clear();
        ReadSettings(file);
        EXPECT_EQ(engineKind, row.engine) << row.lines << ", written back";
        EXPECT_EQ(addedEngineName, row.added) << row.lines << ", written back";
        EXPECT_NE(ReadWholeFile(file).find(row.written), std::string::npos)
            << row.lines << " wrote " << ReadWholeFile(file);
    }
}

// The language: one of the three codes, else nothing (the desktop's language). Written only when
// chosen: the other settings leave a file without the key without it.
TEST_F(SettingsTest, LanguageKeyIsOneOfThreeCodesAndWrittenOnlyWhenChosen) {
    const struct {
        const char* lines;
        const char* language;
    } rows[] = {
        {"Level=3", ""},
        {"Language=en", "en"},
        {"Language=zh_TW", "zh_TW"},
        {"Language=zh_CN", "zh_CN"},
        {"Language=fr", ""},
        {"Language=", ""},
    };
    const auto file = folder_ / "chess.ini";
    for (const auto& row : rows) {
        WriteWholeFile(file, std::string("[CHESS]\n") + row.lines + "\n");
        EXPECT_EQ(ReadLanguageSetting(file), row.language) << row.lines;
    }
    WriteWholeFile(file, "[CHESS]\nLevel=3\n");
    WriteSettings(file);
    EXPECT_EQ(ReadWholeFile(file).find("Language"), std::string::npos);
    ASSERT_TRUE(WriteLanguageSetting(file, "zh_TW"));
    WriteSettings(file);
    EXPECT_EQ(ReadLanguageSetting(file), "zh_TW");
    EXPECT_NE(ReadWholeFile(file).find("\nLevel=3\n"), std::string::npos);
}

// The file dialogs' last folder: read back as written, blanks at its ends and all; a folder with a
// line break is refused and leaves the key as it was; the other settings leave the key alone.
TEST_F(SettingsTest, LastFolderReadsBackAsWrittenAndOnlyWhenChosen) {
    const auto file = folder_ / "chess.ini";
    WriteWholeFile(file, "[CHESS]\nLevel=3\n");
    EXPECT_EQ(ReadLastFolderSetting(file), "");
    WriteSettings(file);
    EXPECT_EQ(ReadWholeFile(file).find("LastFolder"), std::string::npos);
    for (const char* folder : {"/home/王/棋谱", " /tmp/two  blanks ", "/a=b;c\"d"}) {
        ASSERT_TRUE(WriteLastFolderSetting(file, folder)) << folder;
        WriteSettings(file);
        EXPECT_EQ(ReadLastFolderSetting(file), folder);
    }
    EXPECT_FALSE(WriteLastFolderSetting(file, "/tmp/line\nbreak"));
    EXPECT_EQ(ReadLastFolderSetting(file), "/a=b;c\"d");
    EXPECT_NE(ReadWholeFile(file).find("\nLevel=3\n"), std::string::npos);
}

// The analysis arrows: shown without the key and for any number but 0; written only when
// switched, and the other settings leave the key alone.
TEST_F(SettingsTest, AnalysisArrowsAreOnUnlessSwitchedOff) {
    const auto file = folder_ / "chess.ini";
    const std::pair<const char*, bool> rows[] = {
        {"[CHESS]\nLevel=3\n", true},
        {"[CHESS]\nAnalysisArrows=0\n", false},
        {"[CHESS]\nAnalysisArrows=1\n", true},
        {"[CHESS]\nAnalysisArrows=5\n", true},
    };
    for (const auto& [text, shown] : rows) {
        WriteWholeFile(file, text);
        EXPECT_EQ(ReadArrowsSetting(file), shown) << text;
    }
    WriteWholeFile(file, "[CHESS]\nLevel=3\n");
    WriteSettings(file);
    EXPECT_EQ(ReadWholeFile(file).find("AnalysisArrows"), std::string::npos);
    ASSERT_TRUE(WriteArrowsSetting(file, false));
    WriteSettings(file);
    EXPECT_FALSE(ReadArrowsSetting(file));
    ASSERT_TRUE(WriteArrowsSetting(file, true));
    EXPECT_TRUE(ReadArrowsSetting(file));
}

TEST_F(SettingsTest, SoundOnSevenIsWrittenBackAsOne) {
    const auto file = folder_ / "chess.ini";
    WriteWholeFile(file, "[CHESS]\nSoundOn=7\n");
    ReadSettings(file);
    WriteSettings(file);
    EXPECT_NE(ReadWholeFile(file).find("\nSoundOn=1\n"), std::string::npos);
}

TEST_F(SettingsTest, StartUpReadsTheSettingsFolderAndStartsAGame) {
    ScopedEnv config("XDG_CONFIG_HOME", folder_.Path().string());
    ScopedEnv state("XDG_STATE_HOME", (folder_ / "state").string());
    std::filesystem::create_directories(folder_ / kProgramFolderName);
    WriteWholeFile(folder_ / kProgramFolderName / "chess.ini",
                   "[CHESS]\nLevel=0\nAverageTime=10\nMaxLevel=30\n");
    twoPlayerMode = 1;
    demoMode = 1;
    boardReversed = 1;
    StartUp();
    EXPECT_EQ(SettingsFile(), folder_ / kProgramFolderName / "chess.ini");
    ExpectState(0, 10.0, {9, 9, 9}, 30, 1, "start-up");
    EXPECT_EQ(twoPlayerMode, 0);
    EXPECT_EQ(demoMode, 0);
    EXPECT_EQ(boardReversed, 0);
    EXPECT_EQ(sideToMove, Red);
    EXPECT_EQ(plyCount, 0);
    EXPECT_EQ(recordTop, -1);
    // The log: the banner, then the new game's header.
    ASSERT_TRUE(loggingOn);
    CloseGameLog();
    const std::string log = ReadWholeFile(folder_ / "state" / kProgramFolderName / kLogFileName);
    EXPECT_TRUE(log.starts_with(Utf8ToGbk("澜川中国象棋 ").value())) << log;
    EXPECT_TRUE(log.ends_with(kLogHeader)) << log;
    EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 3);
}

}  // namespace
}  // namespace xq
