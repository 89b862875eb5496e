#include "host/enginelist.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>
#include <vector>

#include "support/temp_folder.h"

namespace xq::host {
namespace {

EngineSetup Engine(std::string name, std::string program, std::vector<std::string> arguments = {},
                   std::string folder = "") {
    EngineSetup setup;
    setup.name = std::move(name);
    setup.command = {std::move(program), std::move(arguments), std::move(folder)};
    return setup;
}

void ExpectSame(const std::vector<EngineSetup>& read, const std::vector<EngineSetup>& written) {
    ASSERT_EQ(read.size(), written.size());
    for (size_t i = 0; i < read.size(); ++i) {
        SCOPED_TRACE(written[i].name);
        EXPECT_EQ(read[i].name, written[i].name);
        EXPECT_EQ(read[i].command.program, written[i].command.program);
        EXPECT_EQ(read[i].command.arguments, written[i].command.arguments);
        EXPECT_EQ(read[i].command.folder, written[i].command.folder);
        EXPECT_EQ(read[i].protocol, written[i].protocol);
        EXPECT_EQ(read[i].ranks, written[i].ranks);
        EXPECT_EQ(read[i].options, written[i].options);
        EXPECT_EQ(read[i].otherKeys, written[i].otherKeys);
    }
}

std::vector<EngineSetup> SampleList() {
    EngineSetup fairy = Engine("Fairy-Stockfish", "/usr/games/fairy-stockfish");
    fairy.protocol = Protocol::Uci;
    fairy.ranks = Ranks::FromOne;
    fairy.options = {{"Hash", "64"}, {"Threads", "1"}, {"Skill Level", "-5"}};
    EngineSetup odd = Engine("My Engine (test)", "/opt/my engine/run",
                             {"--book", "/opt/my engine/book.bin", "", "say \"hi\"", "a;b",
                              "back\\slash", "semi ;colon", "end\\"},
                             "/opt/my engine");
    odd.protocol = Protocol::Xboard;
    odd.ranks = Ranks::FromZero;
    odd.options = {
        {"Style", "  padded  "},      {"Comment", "x ; y"}, {"Quote", "\"q\""}, {"Semicolon", ";x"},
        {"Quoted comment", "\"x ;y"}, {"Lone quote", "\""}, {"Empty", ""}};
    odd.otherKeys = {{"restart", "always"}};
    EngineSetup ucci = Engine("象眼", "eleeye");
    ucci.protocol = Protocol::Ucci;
    return {fairy, odd, ucci};
}

TEST(EngineListTest, TheTextReadsBackAsTheSameList) {
    const std::vector<EngineSetup> engines = SampleList();
    std::vector<std::string> warnings;
    ExpectSame(ParseEngineList(FormatEngineList(engines), &warnings), engines);
    EXPECT_TRUE(warnings.empty());
    EXPECT_TRUE(ParseEngineList(FormatEngineList({}), &warnings).empty());
}

TEST(EngineListTest, TheFileIsWrittenAsTheHeaderShowsIt) {
    const std::string text = FormatEngineList({SampleList()[0]});
    EXPECT_NE(text.find("[Fairy-Stockfish]\ncommand=/usr/games/fairy-stockfish\narguments=\n"
                        "folder=\nprotocol=uci\nranks=1-10\noption.Hash=64\noption.Threads=1\n"),
              std::string::npos)
        << text;
}

TEST(EngineListTest, AHandEditedFileIsReadWithItsCommentsQuotesAndUnknownKeys) {
    const std::string text =
        "# my engines\n"
        "\n"
        "[Fairy-Stockfish]\r\n"
        "command = /usr/games/fairy-stockfish   ; the Debian package\r\n"
        "arguments=\r\n"
        "folder=      ; empty: the program's folder\n"
        "protocol=uci          ; auto, uci, ucci or xboard\n"
        "ranks=1-10\n"
        "option.Hash=128\n"
        "colour=blue\n"
        "  ; an indented comment\n"
        "[ Pikafish ]\n"
        "command=\"/home/me/My Engines/pikafish\"\n"
        "arguments=--threads 2 \"--eval file=my net.nnue\"\n"
        "folder=\"/home/me/My Engines\"\n"
        "option.EvalFile=pikafish.nnue;v2\n";
    std::vector<std::string> warnings;
    const std::vector<EngineSetup> engines = ParseEngineList(text, &warnings);
    EXPECT_TRUE(warnings.empty());
    ASSERT_EQ(engines.size(), 2u);
    EXPECT_EQ(engines[0].command.program, "/usr/games/fairy-stockfish");
    EXPECT_TRUE(engines[0].command.arguments.empty());
    EXPECT_EQ(engines[0].command.folder, "");
    EXPECT_EQ(engines[0].protocol, Protocol::Uci);
    EXPECT_EQ(engines[0].ranks, Ranks::FromOne);
    EXPECT_EQ(engines[0].options,
              (std::vector<std::pair<std::string, std::string>>{{"Hash", "128"}}));
    EXPECT_EQ(engines[0].otherKeys,
              (std::vector<std::pair<std::string, std::string>>{{"colour", "blue"}}));
    EXPECT_EQ(engines[1].name, "Pikafish");
    EXPECT_EQ(engines[1].command.program, "/home/me/My Engines/pikafish");
    EXPECT_EQ(engines[1].command.arguments,
              (std::vector<std::string>{"--threads", "2", "--eval file=my net.nnue"}));
    EXPECT_EQ(engines[1].command.folder, "/home/me/My Engines");
    EXPECT_EQ(engines[1].protocol, Protocol::Auto);
    EXPECT_EQ(engines[1].ranks, Ranks::Auto);
    // A ; without a blank before it is part of the value.
    EXPECT_EQ(engines[1].options[0].second, "pikafish.nnue;v2");
    // Unknown keys survive a save.
    std::vector<std::string> again;
    ExpectSame(ParseEngineList(FormatEngineList(engines), &again), engines);
}

struct BadList {
    const char* name;
    const char* text;
    size_t engines;
    const char* warning;  // a part of the one warning
};

TEST(EngineListTest, WhatCannotBeTakenIsSkippedWithAWarning) {
    const BadList cases[] = {
        {"no command", "[A]\narguments=-x\n[B]\ncommand=b\n", 1, "[A] 没有 command"},
        {"empty command", "[A]\ncommand=\n", 0, "[A] 没有 command"},
        {"twice", "[A]\ncommand=a\n[A]\ncommand=b\n", 1, "[A] 重复"},
        {"bad protocol", "[A]\ncommand=a\nprotocol=cecp\n", 1, "[A] 的 protocol 无法识别：cecp"},
        {"bad ranks", "[A]\ncommand=a\nranks=2-11\n", 1, "[A] 的 ranks 无法识别：2-11"},
        {"key before any section", "command=a\n[A]\ncommand=a\n", 1, "第 1 行无法识别"},
        {"line without =", "[A]\ncommand=a\nnonsense\n", 1, "第 3 行无法识别"},
        {"empty key", "[A]\ncommand=a\n=x\n", 1, "第 3 行无法识别"},
    };
    for (const BadList& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<std::string> warnings;
        EXPECT_EQ(ParseEngineList(c.text, &warnings).size(), c.engines);
        ASSERT_EQ(warnings.size(), 1u);
        EXPECT_NE(warnings[0].find(c.warning), std::string::npos) << warnings[0];
    }
}

TEST(EngineListTest, ArgumentsSplitAtBlanksOutsideQuotes) {
    const std::pair<const char*, std::vector<std::string>> cases[] = {
        {"", {}},
        {"  -a   b  ", {"-a", "b"}},
        {"\"two words\" x", {"two words", "x"}},
        {"\"\"", {""}},
        {"--name=\"A B\"", {"--name=A B"}},
        {"\"say \\\"hi\\\"\" \"c:\\\\x\"", {"say \"hi\"", "c:\\x"}},
        {"a\\b", {"a\\b"}},
    };
    for (const auto& [text, arguments] : cases) {
        SCOPED_TRACE(text);
        EXPECT_EQ(SplitArguments(text), arguments);
        EXPECT_EQ(SplitArguments(JoinArguments(arguments)), arguments);
    }
    EXPECT_EQ(JoinArguments({"-a", "two words", ""}), "-a \"two words\" \"\"");
}

TEST(EngineListTest, TheFileRoundTripsAndAMissingOneIsAnEmptyList) {
    testing::TempFolder folder;
    const auto path = folder / "engines.ini";
    std::vector<std::string> warnings;
    EXPECT_TRUE(LoadEngineList(path, &warnings).empty());
    EXPECT_TRUE(warnings.empty());
    std::string error;
    ASSERT_TRUE(SaveEngineList(path, SampleList(), &error)) << error;
    ExpectSame(LoadEngineList(path, &warnings), SampleList());
    EXPECT_TRUE(warnings.empty());
}

TEST(EngineListTest, AFailedSaveSaysWhyAndLeavesTheOldFileWhole) {
    testing::TempFolder folder;
    std::string error;
    const auto nowhere = folder / "missing" / "engines.ini";
    EXPECT_FALSE(SaveEngineList(nowhere, SampleList(), &error));
    EXPECT_NE(error.find(nowhere.string()), std::string::npos) << error;
    EXPECT_FALSE(std::filesystem::exists(nowhere));

    const auto path = folder / "engines.ini";
    ASSERT_TRUE(SaveEngineList(path, SampleList(), &error)) << error;
    const std::string before = testing::ReadWholeFile(path);
    if (::geteuid() == 0) GTEST_SKIP() << "root writes into any folder";
    ::chmod(folder.Path().c_str(), 0500);
    const bool saved = SaveEngineList(path, {Engine("Other", "other")}, &error);
    ::chmod(folder.Path().c_str(), 0700);
    EXPECT_FALSE(saved);
    EXPECT_EQ(testing::ReadWholeFile(path), before);
}

TEST(EngineListTest, TheListLivesInTheSettingsFolder) {
    testing::TempFolder folder;
    testing::ScopedEnv config("XDG_CONFIG_HOME", folder.Path().string());
    EXPECT_EQ(EngineListPath(), folder / "lanchuan-xiangqi" / "engines.ini");
}

}  // namespace
}  // namespace xq::host
