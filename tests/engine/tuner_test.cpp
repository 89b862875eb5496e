#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "engine/master/evaluation.h"
#include "rules/fen.h"
#include "tools/tune/sparring.h"
#include "tools/tune/texel.h"
#include "tools/tune/weightsfile.h"

namespace xq::tune {
namespace {

// Games where the side with more Rooks won: a fit from weights that know no Rook must learn one.
constexpr const char* kTinyData =
    "# side with the extra Rook won\n"
    "rnbakabn1/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C5C1/9/RNBAKABNR w;1\n"
    "rnbakabn1/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C5C1/9/RNBAKABNR b;1\n"
    "rnbakabnr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C5C1/9/RNBAKABN1 w;0\n"
    "3ak4/4a4/9/9/9/9/9/9/4R4/3AK4 b;1\n"
    "3ak4/4a4/9/4r4/9/9/9/9/4A4/3AK4 w;0\n"
    "3ak4/4a4/9/9/9/9/9/9/9/4K4 w;0.5\n"
    "3ak4/9/9/9/9/9/9/9/9/4K4 b;0.5\n";

DataSet TinyData() {
    DataSet data;
    std::istringstream in(kTinyData);
    std::string error;
    EXPECT_TRUE(data.Read(in, &error)) << error;
    return data;
}

TEST(TunerTest, LossDecreasesOnATinyDataSet) {
    const DataSet data = TinyData();
    ASSERT_EQ(data.size(), 7u);
    Weights weights = ToReal(master::BuiltInWeights());
    weights[master::kMaterial + Rook] = {0, 0};
    const Range all{0, data.size()};
    const double k = 0.01;
    const double before = Loss(data, all, weights, k);
    TuneOptions options;
    options.iterations = 200;
    const double after = Tune(data, all, k, options, &weights);
    EXPECT_LT(after, before * 0.8);
    EXPECT_GT(weights[master::kMaterial + Rook][0], 0);
    EXPECT_GT(weights[master::kMaterial + Rook][1], 0);
}

// Trained on games a Rook up that were won, the fit raises the Rook; held out are such games
// drawn, which that only makes worse. The weights kept are the best on the held-out games.
TEST(TunerTest, EarlyStoppingKeepsTheBestHeldOutWeights) {
    DataSet data;
    std::istringstream in(
        "rnbakabn1/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C5C1/9/RNBAKABNR w;1\n"
        "3ak4/4a4/9/9/9/9/9/9/4R4/3AK4 b;1\n"
        "rnbakabn1/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C5C1/9/RNBAKABNR b;0.5\n"
        "3ak4/4a4/9/9/9/9/9/9/4R4/3AK4 w;0.5\n");
    std::string error;
    ASSERT_TRUE(data.Read(in, &error)) << error;
    Weights weights = ToReal(master::BuiltInWeights());
    const double k = 0.01;
    TuneOptions options;
    options.iterations = 100;
    options.reportEvery = 10;
    options.validation = {2, 4};
    const double heldBefore = Loss(data, options.validation, weights, k);
    Tune(data, {0, 2}, k, options, &weights);
    EXPECT_LE(Loss(data, options.validation, weights, k), heldBefore);
}

// The pull towards the starting weights holds back a fit that would move far.
TEST(TunerTest, PullKeepsWeightsNearTheStart) {
    const DataSet data = TinyData();
    const Range all{0, data.size()};
    const auto moved = [&](double l2) {
        Weights weights = ToReal(master::BuiltInWeights());
        weights[master::kMaterial + Rook] = {0, 0};
        TuneOptions options;
        options.iterations = 200;
        options.l2 = l2;
        Tune(data, all, 0.01, options, &weights);
        return weights[master::kMaterial + Rook][0] + weights[master::kMaterial + Rook][1];
    };
    EXPECT_LT(moved(1.0), moved(0) / 2);
}

TEST(TunerTest, ScaleFitBeatsItsNeighbours) {
    const DataSet data = TinyData();
    const Weights weights = ToReal(master::BuiltInWeights());
    const Range all{0, data.size()};
    const double k = FitScale(data, all, weights);
    EXPECT_LE(Loss(data, all, weights, k), Loss(data, all, weights, k * 1.5));
    EXPECT_LE(Loss(data, all, weights, k), Loss(data, all, weights, k / 1.5));
}

// The fit's real-valued score is the engine's evaluation (for Red) but for its rounding.
TEST(TunerTest, RealScoreIsTheEvaluation) {
    const DataSet data = TinyData();
    const Weights weights = ToReal(master::BuiltInWeights());
    std::istringstream in(kTinyData);
    std::string line;
    size_t i = 0;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') continue;
        ASSERT_TRUE(ReadFen(line.substr(0, line.rfind(';')), nullptr)) << line;
        const int32_t score = master::Evaluate(gamePosition);
        const int32_t red = sideToMove == Red ? score : -score;
        EXPECT_NEAR(RedScore(data, data.sample(i++), weights), red, 1.0) << line;
    }
    EXPECT_EQ(i, data.size());
}

// Another engine's score on a line is blended into what the fit aims at, never into the result
// that the loss is measured against.
TEST(TunerTest, ScoresBlendIntoTheTarget) {
    DataSet data;
    std::istringstream in(
        "3ak4/4a4/9/9/9/9/9/9/4R4/3AK4 b;1;400\n"
        "3ak4/4a4/9/9/9/9/9/9/4R4/3AK4 w;0.5;-400\n");
    std::string error;
    ASSERT_TRUE(data.Read(in, &error)) << error;
    ASSERT_TRUE(data.HasScores());
    EXPECT_FLOAT_EQ(data.sample(0).target, 1);
    data.BlendTargets(0.5, 0.01);
    const double seen = 1 / (1 + std::exp(-4.0));
    EXPECT_NEAR(data.sample(0).target, 0.5 * 1 + 0.5 * seen, 1e-6);
    EXPECT_NEAR(data.sample(1).target, 0.5 * 0.5 + 0.5 * (1 - seen), 1e-6);
    EXPECT_FLOAT_EQ(data.sample(0).result, 1);
    EXPECT_FALSE(TinyData().HasScores());
}

TEST(TunerTest, BadLinesAreNamed) {
    const char* const bad[] = {"3ak4/9/9/9/9/9/9/9/9/4K4 w", "3ak4/9/9/9/9/9/9/9/9/4K4 w;2",
                               "3ak4/9/9/9/9/9/9/9/9/4X4 w;1", "3ak4/9/9/9/9/9/9/9/9/4K4 w;1;x",
                               "3ak4/9/9/9/9/9/9/9/9/4K4 w;1x"};
    for (const char* line : bad) {
        DataSet data;
        std::istringstream in(std::string("\n") + line + "\n");
        std::string error;
        EXPECT_FALSE(data.Read(in, &error)) << line;
        EXPECT_EQ(error.rfind("line 2: ", 0), 0u) << error;
    }
}

// The writer gives back the committed table exactly: no weight lost, moved or reformatted.
TEST(TunerTest, WeightsFileRoundTripsTheBuiltInTable) {
    std::ifstream in(XQ_SOURCE_DIR "/engine/master/weights.h");
    ASSERT_TRUE(in);
    std::stringstream committed;
    committed << in.rdbuf();
    const std::string text = committed.str();
    // The third line names where the weights came from.
    const size_t third = text.find('\n', text.find('\n') + 1) + 1;
    const std::string provenance = text.substr(third + 3, text.find('\n', third) - third - 3);
    EXPECT_EQ(FormatWeightsFile(master::BuiltInWeights(), provenance), text);

    std::vector<master::TermWeight> parsed;
    std::string error;
    ASSERT_TRUE(ParseWeightsFile(text, &parsed, &error)) << error;
    ASSERT_EQ(parsed.size(), master::BuiltInWeights().size());
    for (size_t i = 0; i < parsed.size(); ++i) {
        EXPECT_EQ(parsed[i].mg, master::BuiltInWeights()[i].mg) << i;
        EXPECT_EQ(parsed[i].eg, master::BuiltInWeights()[i].eg) << i;
    }
    const std::string shortened = text.substr(0, text.rfind('{')) + "};\n";
    EXPECT_FALSE(ParseWeightsFile(shortened, &parsed, &error));
    EXPECT_NE(error.find("weights instead of"), std::string::npos) << error;
}

// The yardstick tells a table that knows what pieces are worth from one that does not.
TEST(TunerTest, SparringFavoursTheTableThatKnowsMaterial) {
    const Weights knowing = ToReal(master::BuiltInWeights());
    Weights blind = knowing;
    for (int kind = Rook; kind <= Pawn; ++kind)
        blind[master::kMaterial + kind] = {0, 0};
    SparringOptions options;
    options.pairs = 3;
    options.depth = 1;
    options.maxPlies = 200;
    const SparringResult r = Spar(knowing, blind, options);
    EXPECT_EQ(r.wins + r.draws + r.losses, 6);
    EXPECT_GT(r.wins, r.losses);
}

}  // namespace
}  // namespace xq::tune
