// What a match reports: the Elo estimate, the printed score lines and the games as PGN.
#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <string>
#include <vector>

#include "host/adjudicator.h"
#include "host/match.h"
#include "host/matchpgn.h"
#include "match/report.h"
#include "records/pgn.h"
#include "rules/attacks.h"
#include "rules/fen.h"

namespace xq::host {
namespace {

TEST(EloEstimate, CutechessValues) {
    // Computed with cutechess's formulas: the score's mean, the per-game deviation, and the
    // normal distribution's 95% quantiles mapped through the logistic curve.
    struct Row {
        MatchScore score;
        double difference;
        double interval;
    } rows[] = {
        {{60, 30, 10}, 107.538125, 68.457707},  {{10, 10, 0}, 0.0, 163.321367},
        {{5, 3, 2}, 70.436504, 226.815936},     {{100, 90, 810}, 3.474472, 9.387155},
        {{30, 60, 10}, -107.538125, 68.457707},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.score.wins);
        const EloEstimate elo = EstimateElo(row.score);
        EXPECT_NEAR(elo.difference, row.difference, 1e-5);
        EXPECT_NEAR(elo.interval, row.interval, 1e-5);
    }
}

TEST(EloEstimate, AllOrNothingIsInfinite) {
    EXPECT_TRUE(std::isinf(EstimateElo({4, 0, 0}).difference));
    EXPECT_GT(EstimateElo({4, 0, 0}).difference, 0);
    EXPECT_LT(EstimateElo({0, 4, 0}).difference, 0);
    EXPECT_TRUE(std::isinf(EstimateElo({0, 4, 0}).interval));
    // A mean near 1 whose interval reaches past it.
    EXPECT_TRUE(std::isinf(EstimateElo({1, 0, 1}).interval));
    EXPECT_EQ(EstimateElo({0, 0, 0}).difference, 0);
}

// Scores after each ply, Red moving first; kNone: the engine gave no score.
constexpr int kNone = 1 << 20;

TEST(Adjudication, EndsWhereCutechessWould) {
    using Outcome = Adjudicator::Outcome;
    const struct {
        const char* name;
        Adjudication rules;
        std::vector<int> scores;
        Outcome outcome;  // after the last score, and None after every one before
    } rows[] = {
        {"level for two moves each", {1, 2, 10, 0, 0}, {5, -10, 0, 3}, Outcome::Draw},
        {"not before the move number", {3, 1, 10, 0, 0}, {0, 0, 0, 0, 0, 0}, Outcome::Draw},
        {"a score outside breaks the run", {1, 2, 10, 0, 0}, {0, 0, 11, 0, 0, 0, 0}, Outcome::Draw},
        {"a missing score breaks the run", {1, 1, 10, 0, 0}, {0, kNone, 0, 0}, Outcome::Draw},
        {"Red sees itself lost", {0, 0, 0, 2, 500}, {-500, 900, -600}, Outcome::BlackWins},
        {"Black sees itself lost", {0, 0, 0, 1, 500}, {0, -700}, Outcome::RedWins},
        {"each side's run is its own",
         {0, 0, 0, 2, 500},
         {-600, -600, 100, -600},
         Outcome::RedWins},
        {"Red's run broken by a better score",
         {0, 0, 0, 2, 500},
         {-600, 0, -499, 0, -600, 0, -600},
         Outcome::BlackWins},
        {"no adjudication asked", {0, 0, 0, 0, 0}, {0, 0, 0, 0, -9000, -9000}, Outcome::None},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        Adjudicator adjudicator(row.rules);
        for (size_t ply = 0; ply < row.scores.size(); ++ply) {
            const std::optional<int> score =
                row.scores[ply] == kNone ? std::nullopt : std::optional<int>(row.scores[ply]);
            const Outcome outcome =
                adjudicator.AfterMove(static_cast<int>(ply % 2), score, static_cast<int>(ply) + 1);
            EXPECT_EQ(outcome, ply + 1 == row.scores.size() ? row.outcome : Outcome::None)
                << "ply " << ply + 1;
        }
    }
}

TEST(MatchReport, ScoreEloAndTurnaroundLines) {
    EXPECT_EQ(match::ScoreLine("A", "B", {3, 1, 2}), "Score of A vs B: 3 - 1 - 2  [0.667] 6");
    EXPECT_EQ(match::ScoreLine("A", "B", {0, 0, 0}), "Score of A vs B: 0 - 0 - 0  [0.000] 0");
    EXPECT_EQ(match::EloLine({60, 30, 10}), "Elo difference: 107.54 +/- 68.46");
    EXPECT_EQ(match::EloLine({2, 0, 0}), "Elo difference: inf +/- inf");
    EXPECT_EQ(match::EloLine({0, 0, 2}), "Elo difference: 0.00 +/- 0.00");
    EXPECT_EQ(match::EloLine({0, 1, 0}), "Elo difference: -inf +/- inf");
    EXPECT_EQ(match::TurnaroundLine({40, 10, 30, 20, 900}),
              "Turnaround: median 30 us, worst 900 us over 5 moves");
    EXPECT_EQ(match::TurnaroundLine({}), "Turnaround: no moves");
}

class MatchPgn : public ::testing::Test {
  protected:
    void SetUp() override { InitAttackTable(); }
};

struct PgnRow {
    const char* name;
    const char* fen;
    std::vector<std::string> openingMoves;
    std::vector<std::string> moves;
    const char* result;
    GameEnd end;
    const char* reason;
    const char* termination;
    const char* movetext;  // the text between the tags and the end
};

TEST_F(MatchPgn, WritesGamesThatThePgnReaderTakesBack) {
    const PgnRow rows[] = {
        {"from the opening array",
         "",
         {"h2e2"},
         {"h9g7", "h0g2"},
         "1-0",
         GameEnd::Timeout,
         "B loses on time",
         "time forfeit",
         "1. h2e2 h9g7 2. h0g2 {B loses on time} 1-0"},
        {"Black begins a set-up position",
         "3k5/1R7/9/9/9/9/9/9/9/R4K3 b",
         {},
         {"d9e9", "a0a9"},
         "1-0",
         GameEnd::Mate,
         "Red mates",
         "normal",
         "1... d9e9 2. a0a9 {Red mates} 1-0"},
        {"a draw",
         "",
         {},
         {"h2e2"},
         "1/2-1/2",
         GameEnd::AdjudicatedDraw,
         "Draw by adjudication",
         "adjudication",
         "1. h2e2 {Draw by adjudication} 1/2-1/2"},
        {"a brace in the reason",
         "",
         {},
         {},
         "0-1",
         GameEnd::Crash,
         "A fails: bad {text}",
         "abandoned",
         "{A fails: bad {text)} 0-1"},
    };
    for (const PgnRow& row : rows) {
        SCOPED_TRACE(row.name);
        MatchSettings settings;
        settings.event = "Test \"match\"";
        std::string error;
        ASSERT_TRUE(ParseTimeControl("tc", "1+0.1", &settings.timeControl, &error));
        GameRecordOut game;
        game.number = 7;
        game.red = "A";
        game.black = "B";
        game.opening.fen = row.fen;
        game.opening.moves = row.openingMoves;
        game.moves = row.moves;
        game.result = row.result;
        game.end = row.end;
        game.reason = row.reason;
        const std::string text = FormatMatchGame(game, settings, "2026.12.08");
        EXPECT_NE(text.find("[Event \"Test \\\"match\\\"\"]\n"), std::string::npos) << text;
        EXPECT_NE(text.find("[Round \"7\"]\n[Red \"A\"]\n[Black \"B\"]\n"), std::string::npos);
        EXPECT_NE(text.find("[TimeControl \"1+0.1\"]\n"), std::string::npos);
        EXPECT_NE(text.find(std::string("[Termination \"") + row.termination + "\"]\n"),
                  std::string::npos);
        EXPECT_EQ(text.find("[FEN"), row.fen[0] ? text.find("[FEN") : std::string::npos);
        EXPECT_NE(text.find(std::string("\n\n") + row.movetext + "\n\n"), std::string::npos)
            << text;

        std::vector<PgnEntry> games;
        ASSERT_TRUE(ReadPgnGames(text, &games, &error)) << error;
        ASSERT_EQ(games.size(), 1u);
        ASSERT_EQ(games[0].error, "");
        const PgnGame& read = games[0].game;
        EXPECT_EQ(read.result, row.result);
        EXPECT_EQ(read.Tag("Date"), "2026.12.08");
        std::vector<std::string> moves = row.openingMoves;
        moves.insert(moves.end(), row.moves.begin(), row.moves.end());
        ASSERT_EQ(read.moves.size(), moves.size());
        for (size_t i = 0; i < moves.size(); ++i)
            EXPECT_EQ(FormatIccs(read.moves[i]), moves[i]);
    }
}

TEST_F(MatchPgn, LongGamesWrapTheirLines) {
    MatchSettings settings;
    GameRecordOut game;
    game.result = "1/2-1/2";
    game.end = GameEnd::Repetition;
    game.reason = "Draw by 3-fold repetition";
    for (int i = 0; i < 10; ++i) {
        for (const char* move : {"h0g2", "h9g7", "g2h0", "g7h9"})
            game.moves.push_back(move);
    }
    const std::string text = FormatMatchGame(game, settings, "2026.12.08");
    size_t longest = 0;
    size_t start = 0;
    for (size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1) {
        longest = std::max(longest, end - start);
        // A move number is never parted from its move.
        if (end > start) {
            EXPECT_NE(text[end - 1], '.') << text.substr(start, end - start);
        }
    }
    EXPECT_LE(longest, 80u);
    EXPECT_NE(text.find("20. g2h0 g7h9 {Draw by 3-fold repetition} 1/2-1/2"), std::string::npos)
        << text;
}

TEST(MatchPgnTags, TerminationOfEveryEnd) {
    EXPECT_EQ(TerminationTag(GameEnd::Stalemate), "normal");
    EXPECT_EQ(TerminationTag(GameEnd::PerpetualCheck), "normal");
    EXPECT_EQ(TerminationTag(GameEnd::NoAttackers), "normal");
    EXPECT_EQ(TerminationTag(GameEnd::IllegalMove), "rules infraction");
    EXPECT_EQ(TerminationTag(GameEnd::FalseClaim), "rules infraction");
    EXPECT_EQ(TerminationTag(GameEnd::AdjudicatedWin), "adjudication");
    EXPECT_EQ(TerminationTag(GameEnd::Stopped), "unterminated");
    EXPECT_EQ(PgnDate(0), "1970.01.01");
    EXPECT_EQ(PgnDate(1796688000), "2026.12.08");
}

}  // namespace
}  // namespace xq::host
