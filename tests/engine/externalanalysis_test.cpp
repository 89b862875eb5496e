// Another program's engine analysing for the window: its scores and lines in the 大师 engine's
// terms, the game handed to it as a start and moves, and the live analysis of lanchuan-engine run
// as such an engine (lines of the position given, a new position's lines only after it, a stop)
// and of one that cannot run (the reason told, nothing searched).
#include "engine/externalanalysis.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "rules/attacks.h"
#include "rules/fen.h"
#include "rules/legality.h"
#include "support/iccs_line.h"

namespace xq {
namespace {

host::SearchInfo Info(int score, bool mate) {
    host::SearchInfo info;
    info.hasScore = true;
    info.score = score;
    info.mate = mate;
    return info;
}

TEST(ExternalAnalysisTerms, ScoresAsTheMasterEnginesWithMatesInPlies) {
    const struct {
        int score;
        bool mate;
        int32_t expected;
    } rows[] = {
        {35, false, 35},
        {-250, false, -250},
        {100000, false, master::kMateBound - 1},  // a centipawn score is never a mate
        {1, true, master::kMate - 1},             // mates with its next move
        {3, true, master::kMate - 5},
        {-1, true, -(master::kMate - 2)},  // mated after its move and the reply
        {-4, true, -(master::kMate - 8)},
    };
    for (const auto& row : rows)
        EXPECT_EQ(ScoreOfInfo(Info(row.score, row.mate)), row.expected)
            << row.score << (row.mate ? " mate" : "");
}

// The game from its start: the start's FEN and every move, whatever position it began from.
TEST(ExternalAnalysisTerms, TheGameGoesToTheEngineAsItsStartAndMoves) {
    InitAttackTable();
    for (const char* fen : {"rnbakabnr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C5C1/9/RNBAKABNR w",
                            "3ak4/9/9/9/9/9/9/9/4R4/4K4 b"}) {
        Position start{};
        ASSERT_TRUE(ReadFen(start, fen, nullptr));
        const std::vector<std::string> line =
            std::string(fen).starts_with("rnb")
                ? std::vector<std::string>{"h2e2", "h9g7", "h0g2", "i9h9"}
                : std::vector<std::string>{"e9f9", "e1d1", "d9e8"};
        std::vector<MoveRecord> history;
        const Position now = testing::PlayIccsLine(start, line, &history);
        std::string startFen;
        std::vector<std::string> moves;
        PositionForEngine(now, history, &startFen, &moves);
        EXPECT_EQ(startFen, WriteFen(start));
        EXPECT_EQ(moves, line);
        PositionForEngine(now, {}, &startFen, &moves);
        EXPECT_EQ(startFen, WriteFen(now)) << "no history: the position itself";
        EXPECT_TRUE(moves.empty());
    }
}

// Only the legal start of an engine's line is kept.
TEST(ExternalAnalysisTerms, ALineIsCutAtItsFirstIllegalMove) {
    InitAttackTable();
    Position start{};
    ASSERT_TRUE(ReadFen(start, kStartFen, nullptr));
    const struct {
        std::vector<std::string> line;
        size_t legal;
    } rows[] = {
        {{"h2e2", "h9g7", "h0g2"}, 3},
        {{"h2e2", "h2e2", "h0g2"}, 1},
        {{"a0a5"}, 0},
        {{"h2e2", "zz", "h0g2"}, 1},
        {{}, 0},
    };
    for (const auto& row : rows) {
        const std::vector<MoveRecord> legal = LegalLineOf(start, row.line, 8);
        ASSERT_EQ(legal.size(), row.legal);
        for (size_t k = 0; k < legal.size(); ++k)
            EXPECT_EQ(FormatIccs(legal[k]), row.line[k]);
    }
    EXPECT_EQ(LegalLineOf(start, {"h2e2", "h9g7", "h0g2"}, 2).size(), 2u) << "at most the limit";
}

// What the analysis tells, gathered on its thread.
struct Told {
    std::mutex mutex;
    std::condition_variable changed;
    std::vector<std::pair<uint64_t, master::SearchReport>> reports;
    std::vector<std::string> failures;

    template <class Predicate>
    bool WaitFor(Predicate ready) {
        std::unique_lock lock(mutex);
        return changed.wait_for(lock, std::chrono::seconds(30), [&] { return ready(); });
    }
};

std::unique_ptr<ExternalAnalysis> Analyse(const std::string& program, Told& told) {
    host::EngineSetup setup;
    setup.name = "lanchuan-engine";
    setup.command.program = program;
    setup.options = {{"Engine", "Master"}};
    return std::make_unique<ExternalAnalysis>(
        setup, 3,
        [&told](uint64_t run, const master::SearchReport& report) {
            std::lock_guard lock(told.mutex);
            told.reports.emplace_back(run, report);
            told.changed.notify_all();
        },
        [&told](uint64_t, const std::string& failure) {
            std::lock_guard lock(told.mutex);
            told.failures.push_back(failure);
            told.changed.notify_all();
        });
}

// Three lines of the position given, each starting with a different legal move of it; once
// another position is given, only its lines; after Stop nothing more, and the engine rests.
TEST(ExternalAnalysisLive, LinesOfThePositionGivenUntilStopped) {
    InitAttackTable();
    Told told;
    auto analysis = Analyse(LANCHUAN_ENGINE, told);
    Position first{};
    ASSERT_TRUE(ReadFen(first, kStartFen, nullptr));
    const uint64_t run = analysis->Start(first, {});
    EXPECT_TRUE(analysis->Searching());
    // The lines of one iteration, best first.
    auto linesOf = [&](uint64_t wanted) {
        std::vector<bool> seen(4, false);
        for (const auto& [tag, report] : told.reports)
            if (tag == wanted && report.depth >= 2)
                seen[static_cast<size_t>(report.multiPV)] = true;
        return seen[1] && seen[2] && seen[3];
    };
    ASSERT_TRUE(told.WaitFor([&] { return linesOf(run); }));

    std::vector<MoveRecord> history;
    const Position second = testing::PlayIccsLine(first, {"h2e2"}, &history);
    const uint64_t next = analysis->Start(second, history);
    EXPECT_NE(next, run);
    size_t before = 0;
    {
        std::lock_guard lock(told.mutex);
        before = told.reports.size();
    }
    ASSERT_TRUE(told.WaitFor([&] { return linesOf(next); }));
    analysis->Stop();
    EXPECT_FALSE(analysis->Searching());
    std::vector<std::pair<uint64_t, master::SearchReport>> reports;
    {
        std::lock_guard lock(told.mutex);
        reports = told.reports;
    }
    for (size_t k = before; k < reports.size(); ++k) {
        const auto& [tag, report] = reports[k];
        EXPECT_EQ(tag, next) << "an old run's line after the new position";
        Position at = second;
        EXPECT_EQ(LegalStart(at, report.pv, 8).size(), report.pv.size());
    }
    // Nothing after Stop has returned.
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    std::lock_guard lock(told.mutex);
    EXPECT_EQ(told.reports.size(), reports.size());
    EXPECT_TRUE(told.failures.empty());
}

TEST(ExternalAnalysisLive, AnEngineThatCannotRunIsToldOnceAndRests) {
    Told told;
    auto analysis = Analyse("/nonexistent/engine", told);
    Position start{};
    ASSERT_TRUE(ReadFen(start, kStartFen, nullptr));
    analysis->Start(start, {});
    ASSERT_TRUE(told.WaitFor([&] { return !told.failures.empty(); }));
    EXPECT_NE(told.failures[0].find("/nonexistent/engine"), std::string::npos) << told.failures[0];
    EXPECT_FALSE(analysis->Searching());
    analysis->Start(start, {});  // an engine that failed is not started again
    const auto due = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (analysis->Searching() && std::chrono::steady_clock::now() < due)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_FALSE(analysis->Searching());
    analysis.reset();
    EXPECT_EQ(told.failures.size(), 1u);
    EXPECT_TRUE(told.reports.empty());
}

}  // namespace
}  // namespace xq
