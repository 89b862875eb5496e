// The match's settings as the command line gives them: time controls and lanchuan-match's
// arguments in cutechess-cli's words.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "host/match.h"
#include "match/arguments.h"

namespace xq::match {
namespace {

using host::TimeControl;

struct TimeRow {
    const char* key;
    const char* value;
    bool accepted;
    int64_t moveTime;
    int64_t base;
    int64_t increment;
    int depth;
};

TEST(TimeControlText, ReadsCutechessForms) {
    const TimeRow rows[] = {
        {"st", "0.2", true, 200, -1, 0, 0},      {"st", "5", true, 5000, -1, 0, 0},
        {"tc", "1+0.1", true, -1, 1000, 100, 0}, {"tc", "40/60+0.5", true, -1, 60000, 500, 0},
        {"tc", "40/60", true, -1, 60000, 0, 0},  {"tc", "1:30+2", true, -1, 90000, 2000, 0},
        {"tc", "0.5", true, -1, 500, 0, 0},      {"depth", "8", true, -1, -1, 0, 8},
        {"st", "0", false, -1, -1, 0, 0},        {"st", "-1", false, -1, -1, 0, 0},
        {"st", "fast", false, -1, -1, 0, 0},     {"tc", "", false, -1, -1, 0, 0},
        {"tc", "40/", false, -1, -1, 0, 0},      {"tc", "0/60", false, -1, -1, 0, 0},
        {"tc", "60+", false, -1, -1, 0, 0},      {"tc", "60+x", false, -1, -1, 0, 0},
        {"tc", "1:x", false, -1, -1, 0, 0},      {"depth", "0", false, -1, -1, 0, 0},
        {"depth", "8x", false, -1, -1, 0, 0},    {"nodes", "100", false, -1, -1, 0, 0},
    };
    for (const TimeRow& row : rows) {
        SCOPED_TRACE(std::string(row.key) + "=" + row.value);
        TimeControl control;
        std::string error;
        EXPECT_EQ(host::ParseTimeControl(row.key, row.value, &control, &error), row.accepted);
        EXPECT_EQ(error.empty(), row.accepted) << error;
        EXPECT_EQ(control.moveTime, row.moveTime);
        EXPECT_EQ(control.base, row.base);
        EXPECT_EQ(control.increment, row.increment);
        EXPECT_EQ(control.depth, row.depth);
    }
}

TEST(TimeControlText, TheLastOfStAndTcWinsAndDepthStaysBeside) {
    TimeControl control;
    std::string error;
    ASSERT_TRUE(host::ParseTimeControl("tc", "10+1", &control, &error));
    ASSERT_TRUE(host::ParseTimeControl("depth", "3", &control, &error));
    ASSERT_TRUE(host::ParseTimeControl("st", "0.5", &control, &error));
    EXPECT_EQ(control.moveTime, 500);
    EXPECT_EQ(control.base, -1);
    EXPECT_EQ(control.increment, 0);
    EXPECT_EQ(control.depth, 3);
    ASSERT_TRUE(host::ParseTimeControl("timemargin", "250", &control, &error));
    EXPECT_EQ(control.margin, 250);
}

TEST(TimeControlText, PgnTags) {
    struct Row {
        const char* key;
        const char* value;
        const char* tag;
    } rows[] = {{"st", "0.2", "0.2/move"},     {"st", "3", "3/move"},
                {"tc", "40/60+0.5", "60+0.5"}, {"tc", "1:30", "90"},
                {"depth", "4", "-"},           {"tc", "0.125+0.05", "0.125+0.05"}};
    for (const auto& row : rows) {
        TimeControl control;
        std::string error;
        ASSERT_TRUE(host::ParseTimeControl(row.key, row.value, &control, &error));
        EXPECT_EQ(host::TimeControlTag(control), row.tag) << row.value;
    }
}

std::vector<std::string> Words(const std::string& text) {
    std::istringstream in(text);
    std::vector<std::string> words;
    for (std::string word; in >> word;)
        words.push_back(word);
    return words;
}

const char* const kTwoEngines = "-engine cmd=/bin/a name=A -engine cmd=b arg=-x arg=2 dir=/tmp ";

TEST(MatchArguments, ReadsAWholeMatch) {
    MatchCommand command;
    std::string error;
    const std::string line =
        std::string(kTwoEngines) +
        "proto=ucci option.Hash=64 -each tc=2+0.1 option.Threads=1 -games 4 -rounds 3 "
        "-concurrency 2 -openings file=o.pgn format=pgn order=random plies=6 -repeat -srand 9 "
        "-draw movenumber=30 movecount=5 score=10 -resign movecount=3 score=600 -maxmoves 100 "
        "-pgnout out.pgn -event Test -latency";
    ASSERT_EQ(ParseArguments(Words(line), &command, &error), Parse::Run) << error;
    const host::MatchSettings& settings = command.settings;
    EXPECT_EQ(settings.engines[0].command.program, "/bin/a");
    EXPECT_EQ(settings.engines[0].name, "A");
    EXPECT_EQ(settings.engines[0].protocol, host::Protocol::Auto);
    const std::vector<std::pair<std::string, std::string>> firstOptions = {{"Threads", "1"}};
    EXPECT_EQ(settings.engines[0].options, firstOptions);
    EXPECT_EQ(settings.engines[1].command.program, "b");
    EXPECT_EQ(settings.engines[1].command.arguments, (std::vector<std::string>{"-x", "2"}));
    EXPECT_EQ(settings.engines[1].command.folder, "/tmp");
    EXPECT_EQ(settings.engines[1].protocol, host::Protocol::Ucci);
    // -each's options come first, the engine's own after them (the later one counts).
    const std::vector<std::pair<std::string, std::string>> secondOptions = {{"Threads", "1"},
                                                                            {"Hash", "64"}};
    EXPECT_EQ(settings.engines[1].options, secondOptions);
    EXPECT_EQ(settings.timeControl.base, 2000);
    EXPECT_EQ(settings.timeControl.increment, 100);
    EXPECT_EQ(settings.games, 4);
    EXPECT_EQ(settings.rounds, 3);
    EXPECT_EQ(settings.concurrency, 2);
    EXPECT_EQ(command.openingsFile, "o.pgn");
    EXPECT_EQ(command.openingsFormat, host::OpeningFormat::Pgn);
    EXPECT_TRUE(command.randomOrder);
    EXPECT_EQ(command.openingPlies, 6);
    EXPECT_TRUE(settings.repeat);
    EXPECT_EQ(command.seed, 9u);
    EXPECT_EQ(settings.adjudication.drawMoveNumber, 30);
    EXPECT_EQ(settings.adjudication.drawMoveCount, 5);
    EXPECT_EQ(settings.adjudication.drawScore, 10);
    EXPECT_EQ(settings.adjudication.resignMoveCount, 3);
    EXPECT_EQ(settings.adjudication.resignScore, 600);
    EXPECT_EQ(settings.maxPlies, 200);
    EXPECT_EQ(settings.pgnPath, "out.pgn");
    EXPECT_EQ(settings.event, "Test");
    EXPECT_TRUE(command.latency);
}

TEST(MatchArguments, DefaultsOfAShortCommand) {
    MatchCommand command;
    std::string error;
    ASSERT_EQ(ParseArguments(Words(std::string(kTwoEngines) + "-each depth=2"), &command, &error),
              Parse::Run)
        << error;
    EXPECT_EQ(command.settings.games, 1);
    EXPECT_EQ(command.settings.rounds, 1);
    EXPECT_EQ(command.settings.concurrency, 1);
    EXPECT_EQ(command.settings.timeControl.depth, 2);
    EXPECT_FALSE(command.settings.repeat);
    EXPECT_TRUE(command.openingsFile.empty());
    EXPECT_EQ(command.settings.adjudication.drawMoveNumber, 0);
    EXPECT_EQ(command.settings.adjudication.resignMoveCount, 0);
}

TEST(MatchArguments, RefusesWhatItCannotRun) {
    struct Row {
        const char* line;
        Parse parse;
        const char* inError;  // a part of the message
    } rows[] = {
        {"--help", Parse::Help, ""},
        {"-engine cmd=a -each st=1 -help", Parse::Help, ""},
        {"-engine cmd=a -each st=1", Parse::Error, "two -engine"},
        {"-engine cmd=a -engine cmd=b -engine cmd=c -each st=1", Parse::Error, "two -engine"},
        {"-engine name=A -engine cmd=b -each st=1", Parse::Error, "cmd="},
        {"-engine cmd=a -engine cmd=b", Parse::Error, "no time control"},
        {"-engine cmd=a -engine cmd=b -each st=x", Parse::Error, "st=x"},
        {"-engine cmd=a -engine cmd=b proto=winboard -each st=1", Parse::Error, "winboard"},
        {"-engine cmd=a -engine cmd=b hash=1 -each st=1", Parse::Error, "hash"},
        {"-engine cmd=a -engine cmd=b nokeyvalue -each st=1", Parse::Error, "nokeyvalue"},
        {"-engine cmd=a -engine cmd=b -each st=1 -games 0", Parse::Error, "-games"},
        {"-engine cmd=a -engine cmd=b -each st=1 -games", Parse::Error, "-games"},
        {"-engine cmd=a -engine cmd=b -each st=1 -games 2 3", Parse::Error, "-games"},
        {"-engine cmd=a -engine cmd=b -each st=1 -concurrency x", Parse::Error, "-concurrency"},
        {"-engine cmd=a -engine cmd=b -each st=1 -openings format=pgn", Parse::Error, "file="},
        {"-engine cmd=a -engine cmd=b -each st=1 -openings file=f order=best", Parse::Error,
         "order=best"},
        {"-engine cmd=a -engine cmd=b -each st=1 -openings file=f format=cbf", Parse::Error,
         "format=cbf"},
        {"-engine cmd=a -engine cmd=b -each st=1 -draw movenumber=10", Parse::Error, "-draw"},
        {"-engine cmd=a -engine cmd=b -each st=1 -resign score=500", Parse::Error, "-resign"},
        {"-engine cmd=a -engine cmd=b -each st=1 -resign movecount=2 movenumber=3", Parse::Error,
         "movenumber"},
        {"-engine cmd=a -engine cmd=b -each st=1 -pgnout", Parse::Error, "-pgnout"},
        {"-engine cmd=a -engine cmd=b -each st=1 -tournament gauntlet", Parse::Error,
         "-tournament"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.line);
        MatchCommand command;
        std::string error;
        EXPECT_EQ(ParseArguments(Words(row.line), &command, &error), row.parse);
        EXPECT_NE(error.find(row.inError), std::string::npos) << error;
        if (row.parse == Parse::Error) {
            EXPECT_FALSE(error.empty());
        }
    }
}

TEST(MatchArguments, UsageNamesEveryOption) {
    const std::string usage = UsageText();
    for (const char* option :
         {"-engine",   "-each",        "cmd=",      "name=",   "proto=",   "arg=",
          "dir=",      "option.",      "st=",       "tc=",     "depth=",   "-games",
          "-rounds",   "-concurrency", "-openings", "-repeat", "-draw",    "-resign",
          "-maxmoves", "-pgnout",      "-event",    "-srand",  "-latency", "--help"})
        EXPECT_NE(usage.find(option), std::string::npos) << option;
}

}  // namespace
}  // namespace xq::match
