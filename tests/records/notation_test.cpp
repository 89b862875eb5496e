#include "records/notation.h"

#include <gtest/gtest.h>

#include <set>

#include "platform/encoding.h"
#include "support/display_recorder.h"
#include "support/position_fixture.h"

namespace xq {
namespace {

MoveRecord Move(PieceKind piece, int fromRank, int fromFile, int toRank, int toFile) {
    return {MakeSquare(toRank, toFile), MakeSquare(fromRank, fromFile), 0, piece, Empty};
}

struct NotationRow {
    const char* name;
    MoveRecord move;
    Side mover;
    const char* text;
};

TEST(FormatMove, WritesPieceFileDirectionAndTarget) {
    const NotationRow rows[] = {
        {"gunner to the centre", Move(Gunner, 2, 7, 2, 4), Red, "炮二平五"},
        {"red knight out", Move(Knight, 0, 7, 2, 6), Red, "马二进三"},
        {"red pawn one up", Move(Pawn, 3, 6, 4, 6), Red, "兵三进一"},
        {"black knight out", Move(Knight, 9, 1, 7, 2), Black, "马２进３"},
        {"black rook one down", Move(Rook, 9, 0, 8, 0), Black, "车１进１"},
        {"red rook across the rank", Move(Rook, 0, 0, 0, 8), Red, "车九平一"},
        {"black rook across the rank", Move(Rook, 0, 0, 0, 8), Black, "车１平９"},
        {"red rook nine ranks", Move(Rook, 0, 0, 9, 0), Red, "车九进九"},
        {"black pawn sideways", Move(Pawn, 4, 4, 4, 3), Black, "卒５平４"},
        {"red bishop carries a file", Move(Bishop, 0, 2, 2, 4), Red, "相七进五"},
        {"black bishop", Move(Bishop, 9, 2, 7, 4), Black, "象３进５"},
        {"red assist", Move(Assist, 0, 3, 1, 4), Red, "仕六进五"},
        {"black assist", Move(Assist, 9, 5, 8, 4), Black, "士６进５"},
        {"red king up", Move(King, 0, 4, 1, 4), Red, "帅五进一"},
        {"black king sideways", Move(King, 9, 4, 9, 3), Black, "将５平４"},
        {"black gunner", Move(Gunner, 7, 7, 7, 4), Black, "砲８平５"},
        {"red rook back", Move(Rook, 5, 0, 2, 0), Red, "车九退三"},
        {"red gunner back", Move(Gunner, 4, 4, 2, 4), Red, "炮五退二"},
        {"black knight back", Move(Knight, 7, 2, 9, 1), Black, "马３退２"},
        {"captured kind and tag play no part",
         {MakeSquare(9, 1), MakeSquare(2, 1), 7, Gunner, Knight},
         Red,
         "炮八进七"},
    };
    for (const NotationRow& row : rows)
        EXPECT_EQ(FormatMove(row.move, row.mover), row.text) << row.name;
}

TEST(FormatMove, EmptyMoveIsTenBlanks) {
    EXPECT_EQ(FormatMove(NullMove, Red), "          ");
    EXPECT_EQ(FormatMove(Move(Empty, 0, 0, 1, 0), Black), "          ");
}

TEST(FormatMove, PiecesOnOneFileAreWrittenAlike) {
    testing::SetUpFen("4k4/9/9/9/9/R8/9/9/9/R3K4 w - - 0 1");
    EXPECT_EQ(FormatMove(testing::Generated("a0a1"), Red), "车九进一");
    EXPECT_EQ(FormatMove(testing::Generated("a4a5"), Red), "车九进一");
}

// Every text that any piece of either side could be given is four GBK characters.
TEST(FormatMove, EveryTextIsEightGbkBytes) {
    std::set<std::string> texts;
    for (Side side : {Red, Black}) {
        for (PieceKind kind = King; kind <= Pawn; ++kind) {
            for (Square from = 0; from < kBoardCells; ++from) {
                for (Square to = 0; to < kBoardCells; ++to) {
                    if (from == to || !IsBoardPoint(from) || !IsBoardPoint(to)) continue;
                    texts.insert(FormatMove({to, from, 0, kind, Empty}, side));
                }
            }
        }
    }
    EXPECT_GT(texts.size(), 1000u);
    for (const std::string& text : texts) {
        const std::string gbk = Utf8ToGbk(text).value_or("");
        EXPECT_EQ(gbk.size(), 8u) << text;
        EXPECT_EQ(GbkToUtf8(gbk), text) << text;
    }
    EXPECT_EQ(Utf8ToGbk(FormatMove(Move(Gunner, 7, 7, 7, 4), Black))->substr(0, 2), "\xB3\x68");
}

// The window's move styles: traditional characters with the pieces of each side, and WXF, also for
// the front and rear of two like pieces that ChineseMoveText writes, the sign after the piece as
// the WXF writes it (R+.3). The places among several Pawns need the board (WxfMoveText).
TEST(StyledMoveText, TraditionalCharactersAndWxf) {
    const struct {
        const char* own;
        Side mover;
        const char* traditional;
        const char* wxf;
    } rows[] = {
        {"炮二平五", Red, "炮二平五", "C2.5"},   {"马八进七", Red, "傌八進七", "H8+7"},
        {"马８进７", Black, "馬８進７", "H8+7"}, {"车九进一", Red, "俥九進一", "R9+1"},
        {"车１退２", Black, "車１退２", "R1-2"}, {"帅五进一", Red, "帥五進一", "K5+1"},
        {"将５平４", Black, "將５平４", "K5.4"}, {"仕六进五", Red, "仕六進五", "A6+5"},
        {"象３进５", Black, "象３進５", "E3+5"}, {"砲８平５", Black, "砲８平５", "C8.5"},
        {"卒５平４", Black, "卒５平４", "P5.4"}, {"前车进一", Red, "前俥進一", "R++1"},
        {"后马退３", Black, "後馬退３", "H--3"}, {"前七平六", Red, "前七平六", "7+.6"},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(StyledMoveText(row.own, row.mover, MoveStyle::Simplified), row.own);
        EXPECT_EQ(StyledMoveText(row.own, row.mover, MoveStyle::Traditional), row.traditional)
            << row.own;
        EXPECT_EQ(StyledMoveText(row.own, row.mover, MoveStyle::Wxf), row.wxf) << row.own;
    }
    for (MoveStyle style : {MoveStyle::Traditional, MoveStyle::Wxf})
        EXPECT_EQ(StyledMoveText(kEmptyMoveText, Red, style), kEmptyMoveText);
}

// The panel shows the style chosen; FormatMove, which the game log writes, keeps its own.
TEST(StyledMoveText, ThePanelLineFollowsTheShownStyle) {
    const MoveRecord move = Move(Knight, 0, 1, 2, 2);
    shownMoveStyle = MoveStyle::Wxf;
    EXPECT_EQ(PanelMoveLine(0, move, Red, 0.0), "00:00.0 001. H8+7");
    EXPECT_EQ(FormatMove(move, Red), "马八进七");
    shownMoveStyle = MoveStyle::Traditional;
    EXPECT_EQ(ShownMove(move, Red), "傌八進七");
    shownMoveStyle = MoveStyle::Simplified;
    EXPECT_EQ(PanelMoveLine(0, move, Red, 0.0), "00:00.0 001. 马八进七");
}

struct PanelRow {
    const char* name;
    int32_t plies;
    double seconds;
    const char* text;
};

TEST(PanelMoveLine, FormatsTimeMoveNumberAndMove) {
    const MoveRecord move = Move(Gunner, 2, 7, 2, 4);
    const PanelRow rows[] = {
        {"start of game", 0, 0.0, "00:00.0 001. 炮二平五"},
        {"Black's first move has number 1", 1, 0.0, "00:00.0 001. 炮二平五"},
        {"minutes and tenths", 22, 187.5, "03:07.5 012. 炮二平五"},
        {"125.3 seconds", 4, 125.3, "02:05.3 003. 炮二平五"},
        {"seconds round up to 60.0", 0, 59.96, "00:60.0 001. 炮二平五"},
        {"a whole minute", 0, 60.0, "01:00.0 001. 炮二平五"},
        {"minutes have no maximum width", 0, 6000.0, "100:00.0 001. 炮二平五"},
        {"three-digit move number", 300, 1.0, "00:01.0 151. 炮二平五"},
    };
    for (const PanelRow& row : rows)
        EXPECT_EQ(PanelMoveLine(row.plies, move, Red, row.seconds), row.text) << row.name;
    EXPECT_EQ(PanelMoveLine(0, NullMove, Red, 0), "00:00.0 001.           ");
}

TEST(PanelMoveLine, GoesToThePanelSidesField) {
    testing::DisplayRecorder display;
    FormatPanelMoveLine(1, Black, Move(Knight, 9, 1, 7, 2), Black, 3.0);
    FormatPanelMoveLine(2, Red, Move(Knight, 9, 1, 7, 2), Black, 4.0);
    ASSERT_EQ(display.calls.size(), 2u);
    EXPECT_EQ(display.calls[0],
              (testing::DisplayCall{"ShowMoveLine", "00:03.0 001. 马２进３", Black}));
    EXPECT_EQ(display.calls[1],
              (testing::DisplayCall{"ShowMoveLine", "00:04.0 002. 马２进３", Red}));
}

}  // namespace
}  // namespace xq
