// The 大师 engine: its transposition table, the rules of Xiangqi in its search (repetitions judged
// by their checks), mates, legality of everything it plays, stopping and MultiPV; the analysis
// thread that runs it without end.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "engine/liveanalysis.h"
#include "engine/master/engine.h"
#include "engine/master/tt.h"
#include "engine/master/worker.h"
#include "platform/random.h"
#include "rules/attacks.h"
#include "rules/fen.h"
#include "rules/legality.h"
#include "rules/makemove.h"
#include "support/iccs_line.h"

namespace xq::master {
namespace {

class MasterEngine : public ::testing::Test {
  protected:
    void SetUp() override { InitAttackTable(); }
};

// The position of `fen` after the ICCS `moves`, each checked to be legal; the moves come back
// in `history`.
Position PlayLine(std::string_view fen, const std::vector<std::string>& moves,
                  std::vector<MoveRecord>* history) {
    Position position{};
    EXPECT_TRUE(ReadFen(position, fen, nullptr));
    return testing::PlayIccsLine(position, moves, history);
}

bool IsLegal(Position position, const MoveRecord& move) {
    return move.piece != Empty && SameMove(FindLegalMove(position, move.from, move.to), move);
}

// Every line of the last iteration of a depth-limited search with as many lines as moves.
std::vector<SearchReport> AllLines(Engine& engine, int depth, bool avoidOwnPerpetual = true) {
    std::vector<SearchReport> lines;
    Limits limits;
    limits.depth = depth;
    limits.avoidOwnPerpetual = avoidOwnPerpetual;
    limits.multiPV = 64;
    engine.Search(limits, [&](const SearchReport& report) {
        if (report.multiPV == 1) lines.clear();
        lines.push_back(report);
    });
    return lines;
}

int32_t ScoreOfLine(const std::vector<SearchReport>& lines, std::string_view iccs) {
    for (const SearchReport& line : lines) {
        if (!line.pv.empty() && FormatIccs(line.pv[0]) == iccs) return line.score;
    }
    ADD_FAILURE() << "no line starts with " << iccs;
    return 0;
}

TEST(TranspositionTable, MateScoresAreStoredAsDistancesFromTheNode) {
    struct Row {
        int32_t score;
        int storedAt;
        int readAt;
        int32_t expected;
    };
    // The search counts two steps a ply in the mate band: a mate is an even count, a repetition
    // lost by checks an odd one, and each must stay what it is wherever the entry is read.
    const Row rows[] = {
        {-MatedScore(5), 3, 3, -MatedScore(5)},  // mate in 5 plies from the root, 2 from the node
        {-MatedScore(5), 3, 7, -MatedScore(9)},  // the same node met 4 plies deeper: 4 farther
        {MatedScore(6), 2, 4, MatedScore(8)},
        {-RepetitionWonScore(4), 1, 6, -RepetitionWonScore(9)},
        {RepetitionWonScore(7), 5, 2, RepetitionWonScore(4)},
        {123, 5, 9, 123},  // ordinary scores are not touched
        {-kMateBound + 1, 10, 2, -kMateBound + 1},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(ScoreFromTable(ScoreToTable(row.score, row.storedAt), row.readAt), row.expected)
            << row.score << " at " << row.storedAt << " read at " << row.readAt;
    }
}

TEST(TranspositionTable, ReplacesTheShallowestAndEarlierSearchesFirst) {
    TranspositionTable table;
    table.Resize(1);
    const uint64_t step = table.BucketCount();  // keys that share bucket 5
    auto key = [&](int n) { return 5 + step * static_cast<uint64_t>(n) + (uint64_t{1} << 40); };
    auto data = [](int depth) { return TTData{0x1234, 77, 11, depth, Bound::Lower}; };
    for (int n = 0; n < TranspositionTable::kBucketSize; ++n)
        table.Store(key(n), data(10 + n));
    TTData found;
    for (int n = 0; n < TranspositionTable::kBucketSize; ++n) {
        ASSERT_TRUE(table.Probe(key(n), &found));
        EXPECT_EQ(found.depth, 10 + n);
        EXPECT_EQ(found.score, 77);
        EXPECT_EQ(found.move, 0x1234);
    }
    // A full bucket: the shallowest entry (depth 10) makes room.
    table.Store(key(9), data(3));
    EXPECT_FALSE(table.Probe(key(0), &found));
    EXPECT_TRUE(table.Probe(key(9), &found));
    EXPECT_TRUE(table.Probe(key(1), &found));
    // In a new search, an entry of the old one goes before a shallower fresh one.
    table.NewSearch();
    table.Store(key(20), data(6));
    table.Store(key(21), data(5));
    EXPECT_TRUE(table.Probe(key(20), &found));
    EXPECT_TRUE(table.Probe(key(21), &found));
    EXPECT_FALSE(table.Probe(key(1), &found));  // depth 11, of the earlier search
    EXPECT_TRUE(table.Probe(key(2), &found));
    // The same position keeps its move when a later result has none.
    table.Store(key(20), TTData{0, -50, 0, 4, Bound::Upper});
    ASSERT_TRUE(table.Probe(key(20), &found));
    EXPECT_EQ(found.move, 0x1234);
    EXPECT_EQ(found.score, -50);
    EXPECT_FALSE(table.Probe(key(30), &found));
}

// Red's Rook gave check with each of its moves while Black's King stepped aside: playing g8g9
// once more repeats the position after the first check, and Red's own perpetual check is refused
// at once. Any other repetition of a position of the game decides the third time it stands: a
// draw without checks.
constexpr std::string_view kCheckingRookFen = "r4k3/6R2/9/9/9/9/9/9/9/3K4R w";

TEST_F(MasterEngine, PerpetualCheckLosesOtherRepetitionsDraw) {
    std::vector<MoveRecord> history;
    Position position = PlayLine(kCheckingRookFen, {"g8g9", "f9f8", "g9g8", "f8f9"}, &history);
    Engine engine(4, 1);
    engine.SetPosition(position, history);
    std::vector<SearchReport> lines = AllLines(engine, 1);
    EXPECT_EQ(ScoreOfLine(lines, "g8g9"), -(kRepetitionWin - 1));
    EXPECT_NE(FormatIccs(lines[0].pv[0]), "g8g9");
    // Judged by the rules alone, the second time decides nothing yet.
    lines = AllLines(engine, 1, false);
    EXPECT_GT(ScoreOfLine(lines, "g8g9"), 0);

    const std::vector<std::string> cycle = {"i0i1", "a9a8", "i1i0", "a8a9"};
    std::vector<std::string> twice = cycle;
    twice.insert(twice.end(), cycle.begin(), cycle.end());
    for (const auto& [moves, draws] : {std::pair{cycle, false}, std::pair{twice, true}}) {
        history.clear();
        position = PlayLine(kCheckingRookFen, moves, &history);
        engine.SetPosition(position, history);
        lines = AllLines(engine, 1);
        EXPECT_EQ(ScoreOfLine(lines, "i0i1") == 0, draws) << moves.size() << " plies before";
    }
    // Without the history nothing repeats.
    engine.SetPosition(position, {});
    lines = AllLines(engine, 1);
    EXPECT_NE(ScoreOfLine(lines, "i0i1"), 0);
}

// Red's Rook follows Black's unprotected Knight from b7 to c9 and back, attacking it with every
// move. Chases are not judged: the repetition is a draw whoever repeats it, so that no win rests on
// a rule the other programs and referees do not apply.
TEST_F(MasterEngine, APerpetualChaseIsADraw) {
    constexpr std::string_view kChasedKnightFen = "4k4/9/1n7/9/9/9/1R7/9/9/3K5 b";
    const std::vector<std::string> twice = {"b7c9", "b3c3", "c9b7", "c3b3",
                                            "b7c9", "b3c3", "c9b7", "c3b3"};
    std::vector<MoveRecord> history;
    Position position = PlayLine(kChasedKnightFen, twice, &history);
    Engine engine(4, 1);
    engine.SetPosition(position, history);
    EXPECT_EQ(ScoreOfLine(AllLines(engine, 1), "b7c9"), 0);
    history.clear();
    position = PlayLine(kChasedKnightFen, {twice.begin(), twice.end() - 1}, &history);
    engine.SetPosition(position, history);
    EXPECT_EQ(ScoreOfLine(AllLines(engine, 3), "c3b3"), 0);
}

TEST_F(MasterEngine, TheCheckedSideWinsWhenTheCheckerMustRepeat) {
    // After f8f9 Black to move would be checked again by g8g9; here Black replies and Red's
    // checking move would repeat: the line g8g9 is lost for Red whatever the depth.
    std::vector<MoveRecord> history;
    Position position = PlayLine(kCheckingRookFen, {"g8g9", "f9f8", "g9g8", "f8f9"}, &history);
    Engine engine(4, 1);
    engine.SetPosition(position, history);
    for (int depth : {2, 4}) {
        std::vector<SearchReport> lines = AllLines(engine, depth);
        EXPECT_LE(ScoreOfLine(lines, "g8g9"), -(kRepetitionWin - 4)) << "depth " << depth;
    }
}

// From the issue: a game in which every move of Red repeats an earlier position. No move is
// refused, so nothing is scored as a mate.
TEST_F(MasterEngine, EveryReplyRepeatingIsNoMate) {
    const std::string line =
        "b2b6 h7g7 b6e6 b9c7 e6e5 g7g3 h2e2 b7b3 c3c4 a9a8 e5i5 c9e7 i5i9 a8i8 i9g9 g3g9 e2g2 "
        "g9g8 g2g8 i8g8 h0g2 g6g5 i0h0 h9f8 g2f4 c6c5 c4c5 e7c5 h0h7 g5g4 h7c7 g4f4 c7c5 g8g0 "
        "c5f5 f8g6 f5f6 b3i3 c0e2 g0g2 f6e6 f9e8 f0e1 i3h3 e6a6 f4f3 a6f6 f3e3 e2g4 g2g4 a0a2 "
        "g4g0 e1f0 g0g3 a2h2 h3h4 b0c2 e3d3 f6f2 d3c3 f2g2 g3g2 h2g2 g6e5 c2e3 h4e4 e3d1 c3d3 "
        "d1f2 e4e2 f2e4 e2e3 e4c5 e9f9 g2g9 f9f8 g9g3 e5c6 c5e6 c6e7 g3g9 e3a3 g9g8 f8f9";
    std::vector<std::string> moves;
    for (size_t start = 0; start < line.size(); start += 5)
        moves.push_back(line.substr(start, 4));
    std::vector<MoveRecord> history;
    const Position position = PlayLine(kStartFen, moves, &history);
    ASSERT_EQ(history.size(), moves.size());
    Engine engine(8, 1);
    engine.SetPosition(position, history);
    for (int depth : {1, 4, 6}) {
        Limits limits;
        limits.depth = depth;
        const SearchResult result = engine.Search(limits);
        EXPECT_LT(std::abs(result.score), kMateBound) << "depth " << depth;
        EXPECT_TRUE(IsLegal(position, result.best));
    }
}

// A game lost by perpetual check: Red, lost, checked with its Knight from d6 and c8 while Black's
// King stepped between e9 and e8 until the position after e8d9 came a third time. Red's own
// repetition must rank no better than the mate that its other moves meet; a win by Black's rule
// is decisive and not a mate.
constexpr std::string_view kPerpetualGame =
    "c0e2 g6g5 h0g2 h9g7 i0h0 h7h0 g2h0 i9h9 c3c4 d9e8 b0d1 c9e7 b2c2 h9h4 a0b0 b7d7 g0i2 g7f5 "
    "h0f1 h4f4 e0e1 f5d4 d1c3 b9c7 c2a2 c6c5 c4c5 e7c5 c3a4 d7f7 a2c2 f7f1 a4b6 a9d9 c2c7 f1h1 "
    "b6c8 d9d8 c8a9 f4f0 e3e4 c5a7 c7c3 f0f3 a9b7 d8d7 b0b2 d7f7 e1d1 f3c3 b7d6 c3c1 d1d2 f7f0 "
    "b2b9 e8d9 d6c8 e9e8 c8d6 e8e9 d6c8 e9e8 c8d6 e8e9";

TEST_F(MasterEngine, TheLostSideMeetsTheMateRatherThanCheckPerpetually) {
    std::vector<std::string> moves;
    for (size_t start = 0; start < kPerpetualGame.size(); start += 5)
        moves.push_back(std::string(kPerpetualGame.substr(start, 4)));
    ASSERT_EQ(moves.size(), 64u);
    struct Row {
        size_t played;       // plies of the game before the search
        const char* banned;  // the check that completes Red's repetition, or nullptr
        int32_t score;       // the expected score, or 0 for any score but a mate's
    };
    const Row rows[] = {
        {60, "d6c8", 0},
        {62, "c8d6", 0},
        {63, nullptr, kRepetitionWin - 1},  // Black's e8e9 ends Red's perpetual check
    };
    Engine engine(8, 1);
    for (const Row& row : rows) {
        std::vector<MoveRecord> history;
        const std::vector<std::string> before(moves.begin(), moves.begin() + row.played);
        const Position position = PlayLine(kStartFen, before, &history);
        engine.SetPosition(position, history);
        for (int depth : {1, 4, 8}) {
            Limits limits;
            limits.depth = depth;
            const SearchResult result = engine.Search(limits);
            ASSERT_TRUE(IsLegal(position, result.best)) << row.played;
            if (row.banned) {
                EXPECT_NE(FormatIccs(result.best), row.banned) << row.played << " depth " << depth;
            }
            if (row.score != 0) {
                EXPECT_EQ(result.score, row.score) << row.played << " depth " << depth;
            } else if (std::abs(result.score) > kMateBound) {
                // A mate that the line really ends in.
                Position walk = position;
                for (const MoveRecord& move : result.pv) {
                    MakeMove(walk, move, false);
                    SwapSides(walk);
                }
                MoveList replies;
                GenerateLegalMoves(walk, replies);
                EXPECT_EQ(replies.moveCount, 0) << row.played << " depth " << depth;
                EXPECT_EQ(static_cast<int>(result.pv.size()), kMate - std::abs(result.score));
            }
        }
    }
}

TEST(MasterScores, MatesAndRepetitionsLeaveTheSearchApart) {
    struct Row {
        int32_t searched;
        int32_t reported;
    };
    const Row rows[] = {
        {-MatedScore(4), kMate - 4},
        {MatedScore(2), -(kMate - 2)},
        {RepetitionWonScore(3), kRepetitionWin - 3},
        {-RepetitionWonScore(1), -(kRepetitionWin - 1)},
        {-RepetitionWonScore(kMaxPly), -(kRepetitionWin - kMaxPly)},
        {-kMateBound + 1, -kMateBound + 1},
        {150, 150},
    };
    for (const Row& row : rows)
        EXPECT_EQ(ReportedScore(row.searched), row.reported) << row.searched;
    // The lost side ranks its rule's loss below being mated one ply later.
    EXPECT_LT(-RepetitionWonScore(5), MatedScore(6));
    EXPECT_GT(-RepetitionWonScore(5), MatedScore(4));

    // A mate leaves the engine only with the line that plays it out: one cut short by the table,
    // or one that leaves the loser a move, goes out as a decisive value, never as a mate.
    InitAttackTable();
    constexpr std::string_view kMateInOneFen = "4k4/R8/1R7/9/9/9/9/9/9/3K5 w";  // b7b9 mates
    std::vector<MoveRecord> line;
    const Position mated = PlayLine(kMateInOneFen, {"b7b9"}, &line);
    const Position root = PlayLine(kMateInOneFen, {}, &line);
    std::vector<MoveRecord> elsewhere;
    PlayLine(kMateInOneFen, {"b7b8"}, &elsewhere);
    EXPECT_EQ(ShownScore(root, -MatedScore(1), line), kMate - 1);
    EXPECT_EQ(ShownScore(root, -MatedScore(1), {}), kRepetitionWin - 1);
    EXPECT_EQ(ShownScore(root, -MatedScore(1), elsewhere), kRepetitionWin - 1);
    EXPECT_EQ(ShownScore(root, 150, {}), 150);
    EXPECT_EQ(ShownScore(mated, MatedScore(0), {}), -kMate) << "mated on the board itself";
}

TEST_F(MasterEngine, FindsMates) {
    struct Row {
        const char* fen;
        int depth;
        int32_t score;
    };
    const Row rows[] = {
        {"4k4/R8/1R7/9/9/9/9/9/9/3K5 w", 3, kMate - 1},  // b7b9
        {"4k4/9/9/9/9/9/9/9/r8/3K1r3 w", 3, -kMate},     // mated already: no move
        {"4k4/R8/1R7/9/9/9/9/9/9/3K5 b", 4, -(kMate - 2)},
    };
    for (const Row& row : rows) {
        Position position{};
        ASSERT_TRUE(ReadFen(position, row.fen, nullptr));
        Engine engine(4, 1);
        engine.SetPosition(position, {});
        Limits limits;
        limits.depth = row.depth;
        const SearchResult result = engine.Search(limits);
        EXPECT_EQ(result.score, row.score) << row.fen;
        if (row.score == -kMate) {
            EXPECT_EQ(result.best.piece, Empty);
        } else {
            EXPECT_TRUE(IsLegal(position, result.best)) << row.fen;
        }
    }
}

TEST_F(MasterEngine, PlaysOnlyLegalMovesAndLegalLinesOverRandomGames) {
    SeedRandom(5);
    Engine engine(4, 2);
    for (int game = 0; game < 4; ++game) {
        Position position{};
        ASSERT_TRUE(ReadFen(position, kStartFen, nullptr));
        std::vector<MoveRecord> history;
        engine.NewGame();
        for (int ply = 0; ply < 60; ++ply) {
            MoveList list;
            GenerateLegalMoves(position, list);
            engine.SetPosition(position, history);
            Limits limits;
            limits.nodes = 3000;
            const SearchResult result = engine.Search(limits);
            if (list.moveCount == 0) {
                EXPECT_EQ(result.best.piece, Empty);
                break;
            }
            ASSERT_TRUE(IsLegal(position, result.best)) << WriteFen(position);
            Position walk = position;
            for (const MoveRecord& move : result.pv) {
                ASSERT_TRUE(IsLegal(walk, move)) << WriteFen(position);
                MakeMove(walk, move, false);
                SwapSides(walk);
            }
            // Half the plies random, so that the games spread.
            const MoveRecord move = ply % 2 ? result.best : list.slot[1 + Random(list.moveCount)];
            MakeMove(position, move, false);
            SwapSides(position);
            history.push_back(move);
            ASSERT_TRUE(PositionIsConsistent(position));
        }
    }
}

TEST_F(MasterEngine, StopsWhenPollSaysSo) {
    Position position{};
    ASSERT_TRUE(ReadFen(position, kStartFen, nullptr));
    for (int threads : {1, 2}) {
        Engine engine(4, threads);
        engine.SetPosition(position, {});
        int polls = 0;
        Limits limits;
        limits.poll = [&] { return ++polls >= 3; };
        const SearchResult result = engine.Search(limits);
        EXPECT_GE(polls, 3);
        EXPECT_GE(result.depth, 1);
        EXPECT_LT(result.depth, 40);
        EXPECT_TRUE(IsLegal(position, result.best));
        // Stop() from the poll callback ends it as well.
        polls = 0;
        limits.poll = [&] {
            if (++polls == 2) engine.Stop();
            return false;
        };
        EXPECT_TRUE(IsLegal(position, engine.Search(limits).best));
        EXPECT_GE(polls, 2);
    }
}

TEST_F(MasterEngine, HelperThreadsFollowTheThreadCountBetweenSearches) {
    Position position{};
    ASSERT_TRUE(ReadFen(position, kStartFen, nullptr));
    Engine engine(4, 1);
    engine.SetPosition(position, {});
    for (int threads : {3, 1, 2, 2}) {
        engine.SetThreads(threads);
        Limits limits;
        limits.depth = 6;
        const SearchResult result = engine.Search(limits);
        EXPECT_EQ(result.depth, 6) << threads << " threads";
        EXPECT_TRUE(IsLegal(position, result.best)) << threads << " threads";
    }
}

TEST_F(MasterEngine, MultiPVLinesAreDistinctAndOrdered) {
    Position position{};
    ASSERT_TRUE(ReadFen(position, kStartFen, nullptr));
    Engine engine(4, 1);
    engine.SetPosition(position, {});
    std::vector<SearchReport> lines;
    Limits limits;
    limits.depth = 5;
    limits.multiPV = 4;
    engine.Search(limits, [&](const SearchReport& report) {
        if (report.multiPV == 1) lines.clear();
        lines.push_back(report);
    });
    ASSERT_EQ(lines.size(), 4u);
    std::set<std::string> firstMoves;
    for (size_t i = 0; i < lines.size(); ++i) {
        EXPECT_EQ(lines[i].multiPV, static_cast<int>(i + 1));
        ASSERT_FALSE(lines[i].pv.empty());
        EXPECT_TRUE(IsLegal(position, lines[i].pv[0]));
        firstMoves.insert(FormatIccs(lines[i].pv[0]));
        if (i > 0) {
            EXPECT_LE(lines[i].score, lines[i - 1].score);
        }
    }
    EXPECT_EQ(firstMoves.size(), 4u);
}

// 119 quiet plies without a repetition lead to a position in which Red is a Rook up: every quiet
// move that gives no check makes the 120th and draws, as the game rules it.
TEST_F(MasterEngine, SixtyMovesWithoutCaptureDraw) {
    Position position{};
    ASSERT_TRUE(ReadFen(position, "3k5/9/4n4/9/9/9/9/2R6/4N4/4K4 b", nullptr));
    std::vector<MoveRecord> history;
    std::set<uint64_t> seen{PositionKey(position)};
    SeedRandom(3);
    while (history.size() < 119) {
        MoveList list;
        GenerateLegalMoves(position, list);
        std::vector<MoveRecord> fresh;
        for (int i = 1; i <= list.moveCount; ++i) {
            const MoveRecord& move = list.slot[i];
            if (move.captured != Empty) continue;
            Position next = position;
            MakeMove(next, move, false);
            SwapSides(next);
            if (!seen.count(PositionKey(next)) && !InCheck(next)) fresh.push_back(move);
        }
        ASSERT_FALSE(fresh.empty()) << "stuck after " << history.size() << " plies";
        const MoveRecord move = fresh[Random(static_cast<int>(fresh.size()))];
        MakeMove(position, move, false);
        SwapSides(position);
        seen.insert(PositionKey(position));
        history.push_back(move);
    }
    ASSERT_EQ(position.sideToMove, Red);
    Engine engine(4, 1);
    engine.SetPosition(position, history);
    const std::vector<SearchReport> ruled = AllLines(engine, 1);
    engine.SetPosition(position, {});
    const std::vector<SearchReport> free = AllLines(engine, 1);
    int drawn = 0;
    for (const SearchReport& line : ruled) {
        const MoveRecord& move = line.pv[0];
        Position next = position;
        MakeMove(next, move, false);
        SwapSides(next);
        if (move.captured != Empty || InCheck(next)) continue;
        EXPECT_EQ(line.score, 0) << FormatIccs(move);
        // Without the history the same move keeps the Rook's worth, unless it loses the Rook.
        if (ScoreOfLine(free, FormatIccs(move)) > 300) ++drawn;
    }
    EXPECT_GT(drawn, 0);
}

// The nice value of the calling thread alone (on Linux each thread has its own).
int ThisThreadsNice() {
    return getpriority(PRIO_PROCESS, static_cast<id_t>(syscall(SYS_gettid)));
}

// What the analysis thread reported, and a bounded wait for it.
class ReportLog {
  public:
    LiveAnalysis::Listener Listener() {
        return [this](uint64_t run, const SearchReport& report) {
            const int nice = ThisThreadsNice();
            std::lock_guard lock(mutex_);
            reporterNice_ = nice;
            reports_.emplace_back(run, report);
            changed_.notify_all();
        };
    }
    // True once some report satisfies `wanted`; false after a minute without one.
    template <typename Wanted>
    bool WaitFor(Wanted wanted) {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, std::chrono::minutes(1), [&] {
            return std::any_of(reports_.begin(), reports_.end(), [&](const auto& entry) {
                return wanted(entry.first, entry.second);
            });
        });
    }
    std::vector<std::pair<uint64_t, SearchReport>> Reports() {
        std::lock_guard lock(mutex_);
        return reports_;
    }
    // The nice value of the thread that reported last.
    int ReporterNice() {
        std::lock_guard lock(mutex_);
        return reporterNice_;
    }

  private:
    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<std::pair<uint64_t, SearchReport>> reports_;
    int reporterNice_ = 0;
};

// The analysis deepens without end, three lines at a time, on a thread of lower priority than
// the caller's; a new Start leaves no report of the old position behind it, and Stop ends the
// search at once, also right after a Start.
TEST_F(MasterEngine, LiveAnalysisFollowsEachNewPositionUntilStopped) {
    Position start{};
    ASSERT_TRUE(ReadFen(start, kStartFen, nullptr));
    ReportLog log;
    LiveAnalysis live(log.Listener(), 3, 4);
    const uint64_t first = live.Start(start, {});
    ASSERT_TRUE(log.WaitFor([&](uint64_t run, const SearchReport& report) {
        return run == first && report.depth >= 3 && report.multiPV == 3;
    }));
    EXPECT_TRUE(live.Searching()) << "no depth limit";
    const int ownNice = ThisThreadsNice();
    if (ownNice < 19) {
        EXPECT_GT(log.ReporterNice(), ownNice);
    }

    std::vector<MoveRecord> history;
    const Position after = PlayLine(kStartFen, {"h2e2"}, &history);
    const uint64_t second = live.Start(after, history);
    EXPECT_NE(second, first);
    const size_t before = log.Reports().size();
    ASSERT_TRUE(log.WaitFor([&](uint64_t run, const SearchReport& report) {
        return run == second && report.depth >= 2;
    }));
    const auto reports = log.Reports();
    for (size_t i = before; i < reports.size(); ++i) {
        EXPECT_EQ(reports[i].first, second);
        ASSERT_FALSE(reports[i].second.pv.empty());
        EXPECT_TRUE(IsLegal(after, reports[i].second.pv[0])) << "a move for Black";
    }
    live.Stop();
    EXPECT_FALSE(live.Searching());

    // A stop that comes before the engine has begun still ends the search (the test would
    // otherwise wait for the deepest iteration).
    for (int round = 0; round < 20; ++round) {
        live.Start(start, {});
        live.Stop();
        ASSERT_FALSE(live.Searching());
    }
}

// A position with a single legal move, or none, needs no endless search: the thread ends alone.
TEST_F(MasterEngine, LiveAnalysisEndsByItselfWithoutChoice) {
    ReportLog log;
    LiveAnalysis live(log.Listener(), 3, 4);
    for (const char* fen : {"3k5/4R4/4R4/9/9/9/9/9/9/4K4 b", "3k5/3R5/4R4/9/9/9/9/9/9/4K4 b"}) {
        Position position{};
        ASSERT_TRUE(ReadFen(position, fen, nullptr)) << fen;
        live.Start(position, {});
        for (int wait = 0; wait < 6000 && live.Searching(); ++wait)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        EXPECT_FALSE(live.Searching()) << fen;
    }
}

}  // namespace
}  // namespace xq::master
