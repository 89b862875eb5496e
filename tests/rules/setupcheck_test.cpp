#include "rules/setupcheck.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "platform/display.h"
#include "platform/texts.h"

#include "support/position_fixture.h"

namespace xq {
namespace {

struct Extra {
    PieceKind kind;
    Side side;
    int rank;
    int file;
};

struct Row {
    const char* name;
    const char* fen;  // nullptr: an empty board
    std::vector<Extra> extra;
    const char* countError;
    const char* placementError;  // checked only when the counts pass
};

TEST(SetUpCheck, CountsAndPlacementsWithTheirMessages) {
    const char* kings = "4k4/9/9/9/9/9/9/9/9/3K5 w";
    const Row rows[] = {
        {"the opening array", kStartFen.data(), {}, "", ""},
        {"an empty board", nullptr, {}, "帅将的数目不正确", ""},
        {"three Knights a side",
         kStartFen.data(),
         {{Knight, Red, 4, 4}, {Knight, Black, 5, 4}},
         "马的数目不正确",
         ""},
        {"a second Red King and a sixth Black Pawn",
         kStartFen.data(),
         {{King, Red, 1, 4}, {Pawn, Black, 4, 1}},
         "帅卒的数目不正确",
         ""},
        {"a Black Assist on (8,5)", kings, {{Assist, Black, 8, 5}}, "", "士的位置错误"},
        {"a Black Assist on (8,4)", kings, {{Assist, Black, 8, 4}}, "", ""},
        {"a Red Pawn on (3,1)", kings, {{Pawn, Red, 3, 1}}, "", "兵的位置错误"},
        {"a Red Pawn on (5,1)", kings, {{Pawn, Red, 5, 1}}, "", ""},
        {"a Black Bishop across the river", kings, {{Bishop, Black, 4, 2}}, "", "象的位置错误"},
        {"Kings on the top rank of their palaces", "9/9/5k3/9/9/9/9/3K5/9/9 w", {}, "", ""},
        {"a Red King out of the palace", "4k4/9/9/9/9/9/3K5/9/9/9 w", {}, "", "帅的位置错误"},
        {"the side to move could take the King",
         "4k4/9/9/9/9/9/9/9/9/4K4 w",
         {},
         "",
         "王的位置错误"},
        {"both, in their order",
         "4k4/9/9/9/9/9/9/9/9/4K4 w",
         {{Pawn, Black, 6, 1}, {Assist, Red, 1, 3}},
         "",
         "王仕卒的位置错误"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        if (row.fen) {
            testing::SetUpFen(row.fen);
        } else {
            ClearBoard();
        }
        for (const Extra& e : row.extra)
            PutPiece(e.kind, e.side, MakeSquare(e.rank, e.file));
        EXPECT_EQ(SetUpCountError(), row.countError);
        if (*row.countError != '\0') continue;
        BuildPieceLists();
        EXPECT_EQ(SetUpPlacementError(), row.placementError);
    }
}

// The messages are the installed Display's translations: the list of names and the sentence
// around it follow the translated patterns, each name translated on its own.
TEST(SetUpCheck, MessagesAreFormattedFromTheTranslatedCatalogue) {
    struct Translator : Display {
        std::string Translate(std::string_view source) override {
            if (source == kWrongCountPattern) return "wrong count: %1";
            if (source == kWrongPlacePattern) return "misplaced: %1 (%9)";
            if (source == kNameListPattern) return "%1, %2";
            if (source == kRedKingName) return "K";
            if (source == kBlackPawnName) return "p";
            if (source == kAttackedKingName) return "k";
            return std::string(source);
        }
    } translator;
    SetDisplay(&translator);
    testing::SetUpFen(kStartFen);
    PutPiece(King, Red, MakeSquare(1, 4));
    PutPiece(Pawn, Black, MakeSquare(4, 1));
    EXPECT_EQ(SetUpCountError(), "wrong count: K, p");
    testing::SetUpFen("4k4/9/9/9/9/9/9/9/9/4K4 w");
    PutPiece(Pawn, Black, MakeSquare(6, 1));
    BuildPieceLists();
    // A number the caller gives no value for stays as the translation wrote it.
    EXPECT_EQ(SetUpPlacementError(), "misplaced: k, p (%9)");
    SetDisplay(nullptr);
}

}  // namespace
}  // namespace xq
