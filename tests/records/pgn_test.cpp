// Shared game records: move texts in the three notations, and PGN games written and read back.
#include "records/pgn.h"

#include <gtest/gtest.h>

#include <cctype>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "engine/master/engine.h"
#include "platform/encoding.h"
#include "records/movetext.h"
#include "records/notation.h"
#include "rules/legality.h"
#include "rules/makemove.h"
#include "support/position_fixture.h"

namespace xq {
namespace {

using testing::PositionSnapshot;

struct TextRow {
    const char* name;
    const char* fen;
    const char* text;
    MoveTextResult result;
    const char* iccs;  // the move found
};

TEST(MoveText, ReadsTheThreeNotations) {
    const char* start = kStartFen.data();
    const char* twoRooks = "4k4/9/9/9/9/R8/9/R8/9/3K5 w";
    const char* blackRooks = "r3k4/9/r8/9/9/9/9/9/9/3K5 b";
    const char* threePawns = "5k3/9/4P4/4P4/4P4/9/9/9/9/3K5 w";
    const char* fourPawns = "3k5/4P4/4P4/4P4/4P4/9/9/9/9/4K4 w";
    const char* fivePawns = "3k5/4P4/4P4/4P4/4P4/4P4/9/9/9/4K4 w";
    const char* twoPawnFiles = "4k4/9/9/9/9/2p1p4/2p1p4/9/9/3K5 b";
    const char* threeAndTwo = "5k3/9/2P1P4/2P1P4/4P4/9/9/9/9/3K5 w";
    const TextRow rows[] = {
        {"ICCS", start, "h2e2", MoveTextResult::Found, "h2e2"},
        {"ICCS with a dash", start, "H2-E2", MoveTextResult::Found, "h2e2"},
        {"WXF sideways", start, "C2.5", MoveTextResult::Found, "h2e2"},
        {"WXF forward", start, "H2+3", MoveTextResult::Found, "h0g2"},
        {"WXF front Rook, sign before the letter", twoRooks, "+R+1", MoveTextResult::Found, "a4a5"},
        {"WXF rear Rook", twoRooks, "R-+1", MoveTextResult::Found, "a2a3"},
        {"WXF front Rook sideways", twoRooks, "R+.2", MoveTextResult::Found, "a4h4"},
        {"WXF middle of three Pawns by its file", threePawns, "P5.6", MoveTextResult::Found,
         "e6d6"},
        {"WXF front of three Pawns", threePawns, "P+.6", MoveTextResult::Found, "e7d7"},
        {"WXF foremost of four Pawns", fourPawns, "++.4", MoveTextResult::Found, "e8f8"},
        {"WXF second of four Pawns", fourPawns, "P+.6", MoveTextResult::Found, "e7d7"},
        {"WXF third of four Pawns", fourPawns, "P-.6", MoveTextResult::Found, "e6d6"},
        {"WXF rearmost of four Pawns", fourPawns, "--.6", MoveTextResult::Found, "e5d5"},
        {"WXF no middle among four Pawns", fourPawns, "P5.6", MoveTextResult::Ambiguous, ""},
        {"WXF second rearmost of five Pawns", fivePawns, "P-.6", MoveTextResult::Found, "e5d5"},
        {"WXF middle of five Pawns by its file", fivePawns, "P5.6", MoveTextResult::Found, "e6d6"},
        {"WXF Pawns on two files: file and sign", twoPawnFiles, "3+.4", MoveTextResult::Found,
         "c3d3"},
        {"WXF Pawns on two files: the rear", twoPawnFiles, "5-.4", MoveTextResult::Found, "e4d4"},
        {"WXF middle Pawn of two files: its file twice", threeAndTwo, "55.6", MoveTextResult::Found,
         "e6d6"},
        {"Chinese", start, "炮二平五", MoveTextResult::Found, "h2e2"},
        {"Chinese, traditional names", start, "馬二進三", MoveTextResult::Found, "h0g2"},
        {"Chinese front and rear", twoRooks, "后车进一", MoveTextResult::Found, "a2a3"},
        {"Chinese for Black, full-width numerals", blackRooks, "前车平２", MoveTextResult::Found,
         "a7b7"},
        {"Chinese with plain digits", start, "马2进3", MoveTextResult::Found, "h0g2"},
        {"Chinese middle Pawn", threePawns, "中兵平六", MoveTextResult::Found, "e6d6"},
        {"Chinese ordinal among four Pawns", fourPawns, "二兵平六", MoveTextResult::Found, "e7d7"},
        {"Chinese first of four Pawns", fourPawns, "一兵平四", MoveTextResult::Found, "e8f8"},
        {"Chinese front of four Pawns", fourPawns, "前兵平四", MoveTextResult::Found, "e8f8"},
        {"Chinese rear of four Pawns", fourPawns, "后兵平六", MoveTextResult::Found, "e5d5"},
        {"no middle among four Pawns", fourPawns, "中兵平六", MoveTextResult::Illegal, ""},
        {"Chinese fourth of five Pawns", fivePawns, "四兵平六", MoveTextResult::Found, "e5d5"},
        {"Chinese middle of five Pawns", fivePawns, "中兵平六", MoveTextResult::Found, "e6d6"},
        {"Chinese place and file for Pawns on two files", twoPawnFiles, "前３平４",
         MoveTextResult::Found, "c3d3"},
        {"Chinese place, Pawn and file", twoPawnFiles, "前卒５平４", MoveTextResult::Found, "e3d3"},
        {"front Pawn with two files holding several", twoPawnFiles, "前卒平４",
         MoveTextResult::Ambiguous, ""},
        {"Chinese middle Pawn with the file", threeAndTwo, "中五平六", MoveTextResult::Found,
         "e6d6"},
        {"Chinese rear Pawn with the file", threeAndTwo, "后七平八", MoveTextResult::Found, "c6b6"},
        // Where two files hold several Pawns, 一兵…五兵 count over both: the files from the
        // mover's right, each front to back (Red: 五 before 七; Black: ３ before ５).
        {"Chinese ordinal over two files, first file", threeAndTwo, "二兵平六",
         MoveTextResult::Found, "e6d6"},
        {"Chinese ordinal over two files, second file", threeAndTwo, "四兵进一",
         MoveTextResult::Found, "c7c8"},
        {"Chinese last Pawn over two files", threeAndTwo, "五兵平八", MoveTextResult::Found,
         "c6b6"},
        {"Chinese ordinal over two files for Black", twoPawnFiles, "三卒平４",
         MoveTextResult::Found, "e3d3"},
        {"Chinese first Pawn over two files for Black", twoPawnFiles, "一卒平４",
         MoveTextResult::Found, "c3d3"},
        {"no sixth Pawn over two files", threeAndTwo, "六兵平四", MoveTextResult::NotAMove, ""},
        {"place and file name Pawns only", twoRooks, "前九进一", MoveTextResult::Illegal, ""},
        {"overlong UTF-8 digit", start, "马\xC0\xB2进3", MoveTextResult::NotAMove, ""},
        {"overlong three-byte digit", start, "马\xE0\x80\xB2进3", MoveTextResult::NotAMove, ""},
        {"two Rooks on one file by file", twoRooks, "车九进一", MoveTextResult::Ambiguous, ""},
        {"not a move of the piece", start, "炮二进九", MoveTextResult::Illegal, ""},
        {"ICCS from an empty point", start, "e4e5", MoveTextResult::Illegal, ""},
        {"ICCS leaving the Kings facing", "4k4/9/9/9/9/4N4/9/9/9/4K4 w", "e4c5",
         MoveTextResult::Illegal, ""},
        {"leaves the King in check", "4k4/9/9/9/9/4R4/9/9/9/4K4 w", "R5.1", MoveTextResult::Illegal,
         ""},
        {"WXF in full-width letters", start, "Ｃ２＝５", MoveTextResult::Found, "h2e2"},
        {"ICCS in full-width letters", start, "Ｈ２－Ｅ２", MoveTextResult::Found, "h2e2"},
        {"Chinese with full-width digits for Red", start, "马２进３", MoveTextResult::Found,
         "h0g2"},
        {"traditional Rook and forward", start, "俥一進一", MoveTextResult::Found, "i0i1"},
        {"traditional Knight", start, "傌八進七", MoveTextResult::Found, "b0c2"},
        {"traditional King", start, "帥五進一", MoveTextResult::Found, "e0e1"},
        {"traditional rear", twoRooks, "後俥進一", MoveTextResult::Found, "a2a3"},
        {"SAN", start, "Che3", MoveTextResult::Found, "h2e2"},
        {"SAN Knight", start, "Nc3", MoveTextResult::Found, "b0c2"},
        {"SAN Horse", start, "Hg3", MoveTextResult::Found, "h0g2"},
        {"SAN Elephant", start, "Ece3", MoveTextResult::Found, "c0e2"},
        {"SAN capture on rank 10", start, "Cxb10", MoveTextResult::Found, "b2b9"},
        {"SAN capture with check", "4k4/9/9/9/9/9/9/9/4n4/R2K5 w", "Rxe2+", MoveTextResult::Illegal,
         ""},
        {"SAN Pawn without a letter", start, "e5", MoveTextResult::Found, "e3e4"},
        {"SAN Pawn with its letter", start, "Pe5", MoveTextResult::Found, "e3e4"},
        {"SAN two Rooks can make", twoRooks, "Ra4", MoveTextResult::Ambiguous, ""},
        {"SAN from the rank", twoRooks, "R3a4", MoveTextResult::Found, "a2a3"},
        {"SAN of a piece that is not there", start, "Nd3", MoveTextResult::Illegal, ""},
        {"SAN two Gunners can make", start, "Cc3", MoveTextResult::Ambiguous, ""},
        {"not move text", start, "hello", MoveTextResult::NotAMove, ""},
        {"a piece name that is not one", start, "王二平五", MoveTextResult::NotAMove, ""},
    };
    for (const TextRow& row : rows) {
        SCOPED_TRACE(row.name);
        testing::SetUpFen(row.fen);
        const PositionSnapshot before = PositionSnapshot::Take();
        MoveRecord move = NullMove;
        EXPECT_EQ(ReadMoveText(row.text, &move), row.result);
        EXPECT_TRUE(PositionSnapshot::Take() == before);
        if (row.result == MoveTextResult::Found) {
            EXPECT_EQ(FormatIccs(move), row.iccs);
        } else {
            EXPECT_TRUE(SameMove(move, NullMove)) << "a text that names no move set the move";
        }
    }
}

TEST(MoveText, ChineseTextIsUnambiguous) {
    testing::SetUpFen("4k4/9/9/9/9/R8/9/R8/9/3K5 w");
    EXPECT_EQ(ChineseMoveText(testing::Generated("a4a5")), "前车进一");
    EXPECT_EQ(ChineseMoveText(testing::Generated("a2a3")), "后车进一");
    EXPECT_EQ(ChineseMoveText(testing::Generated("a2b2")), "后车平八");
    EXPECT_EQ(ChineseMoveText(testing::Generated("d0d1")), "帅六进一");
}

// The place goes in whenever several like pieces share the file, even where only one can move.
TEST(MoveText, ChineseTextNamesThePlaceAmongLikePiecesOnTheFile) {
    struct Row {
        const char* fen;
        const char* iccs;
        const char* text;
        const char* wxf;  // as the WXF's own description of its notation writes it
    };
    const Row rows[] = {
        {"4k4/9/9/9/4P4/4P4/9/9/9/3K5 w", "e5e6", "前兵进一", "P++1"},
        {"4k4/9/9/9/4R4/9/9/4R4/9/3K5 w", "e2d2", "后车平六", "R-.6"},
        {"4k4/9/9/4n4/9/9/9/9/4n4/3K5 b", "e6d4", "后马进４", "H-+4"},
        {"5k3/9/4P4/4P4/4P4/9/9/9/9/3K5 w", "e6d6", "中兵平六", "P5.6"},
        {"5k3/9/4P4/4P4/4P4/9/9/9/9/3K5 w", "e7f7", "前兵平四", "P+.4"},
        {"3k5/4P4/4P4/4P4/4P4/9/9/9/9/4K4 w", "e8f8", "前兵平四", "++.4"},
        {"3k5/4P4/4P4/4P4/4P4/9/9/9/9/4K4 w", "e7d7", "二兵平六", "P+.6"},
        {"3k5/4P4/4P4/4P4/4P4/9/9/9/9/4K4 w", "e6d6", "三兵平六", "P-.6"},
        {"3k5/4P4/4P4/4P4/4P4/9/9/9/9/4K4 w", "e5d5", "后兵平六", "--.6"},
        {"3k5/4P4/4P4/4P4/4P4/4P4/9/9/9/4K4 w", "e6f6", "三兵平四", "P5.4"},
        {"3k5/4P4/4P4/4P4/4P4/4P4/9/9/9/4K4 w", "e5d5", "四兵平六", "P-.6"},
        {"4k4/9/9/9/9/2p1p4/2p1p4/9/9/3K5 b", "c3d3", "前３平４", "3+.4"},
        {"4k4/9/9/9/9/2p1p4/2p1p4/9/9/3K5 b", "e4f4", "后５平６", "5-.6"},
        {"5k3/9/2P1P4/2P1P4/4P4/9/9/9/9/3K5 w", "e6d6", "中五平六", "55.6"},
        // Advisors and Elephants on one file go opposite ways: their file is enough.
        {"4k4/9/9/9/9/9/9/3A5/9/3AK4 w", "d0e1", "仕六进五", "A6+5"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.iccs);
        testing::SetUpFen(row.fen);
        const MoveRecord move = testing::Generated(row.iccs);
        EXPECT_EQ(ChineseMoveText(move), row.text);
        EXPECT_EQ(WxfMoveText(move, sideToMove, board), row.wxf);
    }
}

// A random position with the Kings in their palaces and the other pieces crowded onto a few
// files, so that like pieces often share one; Pawns only where they may stand.
std::string RandomCrowdedFen(std::mt19937* random) {
    std::string cells[10] = {};  // by rank, 0 is Red's back rank
    for (std::string& rank : cells)
        rank.assign(9, '.');
    auto pick = [random](int n) {
        return static_cast<int>((*random)() % static_cast<unsigned>(n));
    };
    auto place = [&](char letter, int rank, int file) {
        if (cells[rank][file] == '.') cells[rank][file] = letter;
    };
    place('K', pick(3), 3 + pick(3));
    place('k', 9 - pick(3), 3 + pick(3));
    for (Side side : {Red, Black}) {
        const bool red = side == Red;
        auto own = [red](int rank) { return red ? rank : 9 - rank; };
        auto letter = [red](char c) { return red ? c : static_cast<char>(c - 'A' + 'a'); };
        for (int n = pick(3); n > 0; --n) {
            const int corner = pick(5);
            place(letter('A'), own(corner == 4 ? 1 : 2 * (corner / 2)),
                  corner == 4 ? 4 : 3 + 2 * (corner % 2));
        }
        for (int n = pick(3); n > 0; --n) {
            const int point = pick(7);
            place(letter('B'),
                  own(point < 2   ? 0
                      : point < 5 ? 2
                                  : 4),
                  point < 2   ? 2 + 4 * point
                  : point < 5 ? 4 * (point - 2)
                              : 2 + 4 * (point - 5));
        }
        for (char kind : {'R', 'N', 'C'}) {
            for (int n = pick(3); n > 0; --n)
                place(letter(kind), pick(10), pick(3) == 0 ? pick(9) : 2 + 2 * pick(3));
        }
        // Now and then all of a side's Pawns on one file, for the ordinals among four or five.
        const int pawnFile = pick(3) == 0 ? 2 + 2 * pick(3) : -1;
        for (int n = pick(6); n > 0; --n) {
            const int file = pawnFile >= 0 ? pawnFile : pick(4) == 0 ? pick(9) : 2 + 2 * pick(2);
            place(letter('P'), own(3 + pick(7)), file);
        }
    }
    std::string fen;
    for (int rank = 9; rank >= 0; --rank) {
        int blanks = 0;
        for (char c : cells[rank]) {
            if (c == '.') {
                ++blanks;
                continue;
            }
            if (blanks > 0) fen += static_cast<char>('0' + blanks);
            blanks = 0;
            fen += c;
        }
        if (blanks > 0) fen += static_cast<char>('0' + blanks);
        if (rank > 0) fen += '/';
    }
    return fen + (pick(2) == 0 ? " w" : " b");
}

bool IsPieceName(const std::string& character) {
    for (const char* name :
         {"帅", "将", "车", "炮", "砲", "马", "仕", "士", "相", "象", "兵", "卒"}) {
        if (character == name) return true;
    }
    return false;
}

// The form of a WXF text's origin with a place: X+ (a letter and a sign), ++, N+ (a file and a
// sign), NN (a file twice); empty for a letter and its file.
std::string WxfPlace(const std::string& wxf) {
    const auto sign = [](char c) { return c == '+' || c == '-'; };
    if (sign(wxf[0])) return wxf.substr(0, 2);
    const std::string first = std::isdigit(static_cast<unsigned char>(wxf[0])) ? "N" : "X";
    if (sign(wxf[1])) return first + wxf[1];
    return first == "N" ? "NN" : "";
}

TEST(MoveText, EveryChineseTextReadsBackAsTheSameMove) {
    std::mt19937 random(20);
    std::set<std::string> placesSeen;  // the first character of every text with a place
    std::set<std::string> wxfPlacesSeen;
    for (int position = 0; position < 400; ++position) {
        const std::string fen = RandomCrowdedFen(&random);
        SCOPED_TRACE(fen);
        InitAttackTable();
        NewGame();
        std::string error;
        ASSERT_TRUE(ReadFen(fen, &error)) << error;
        ResetAfterSetUp();
        const PositionSnapshot before = PositionSnapshot::Take();
        for (const MoveRecord& move : LegalMoves()) {
            const std::string text = ChineseMoveText(move);
            SCOPED_TRACE(text);
            EXPECT_EQ(text.size(), 12u);
            MoveRecord read = NullMove;
            ASSERT_EQ(ReadMoveText(text, &read), MoveTextResult::Found) << FormatIccs(move);
            EXPECT_TRUE(SameMove(read, move))
                << FormatIccs(move) << " read as " << FormatIccs(read);
            // The window's traditional characters name the same move; so does its WXF.
            const std::string traditional =
                StyledMoveText(text, sideToMove, MoveStyle::Traditional);
            read = NullMove;
            ASSERT_EQ(ReadMoveText(traditional, &read), MoveTextResult::Found) << traditional;
            EXPECT_TRUE(SameMove(read, move)) << traditional;
            const std::string wxf = WxfMoveText(move, sideToMove, board);
            read = NullMove;
            ASSERT_EQ(ReadMoveText(wxf, &read), MoveTextResult::Found) << wxf;
            EXPECT_TRUE(SameMove(read, move)) << wxf;
            wxfPlacesSeen.insert(WxfPlace(wxf));
            if (!IsPieceName(text.substr(0, 3)))
                placesSeen.insert(text.substr(0, 3) +
                                  (IsPieceName(text.substr(3, 3)) ? "" : "file"));
        }
        EXPECT_TRUE(PositionSnapshot::Take() == before);
    }
    // The harness reaches every form of the place.
    for (const char* form : {"前", "后", "中", "二", "三", "前file", "后file"})
        EXPECT_EQ(placesSeen.count(form), 1u) << form;
    for (const char* form : {"X+", "X-", "++", "--", "N+", "N-", "NN"})
        EXPECT_EQ(wxfPlacesSeen.count(form), 1u) << form;
}

// A random game of legal moves from `fen`, played on the board and taken back again.
std::vector<MoveRecord> RandomGame(std::string_view fen, int plies, std::mt19937* random) {
    testing::SetUpFen(fen);
    std::vector<MoveRecord> moves;
    for (int ply = 0; ply < plies; ++ply) {
        const std::vector<MoveRecord> legal = LegalMoves();
        if (legal.empty()) break;
        moves.push_back(legal[(*random)() % legal.size()]);
        MakeMove(moves.back(), false);
        SwapSides();
    }
    testing::SetUpFen(fen);
    return moves;
}

TEST(Pgn, GamesWrittenInEitherNotationReadBackTheSame) {
    std::mt19937 random(5);
    for (int game = 0; game < 16; ++game) {
        const bool fromSetUp = game % 2 == 1;
        const std::string fen(fromSetUp ? "2bak4/4a4/4b1n2/p3p3p/2p6/6P2/P3c4/4B1N2/4A4/2BAK2C1 b"
                                        : kStartFen);
        PgnGame written;
        written.moves = RandomGame(fen, 80, &random);
        if (fromSetUp) written.startFen = fen;
        written.result = "1/2-1/2";
        for (PgnNotation notation : {PgnNotation::Iccs, PgnNotation::Chinese}) {
            SCOPED_TRACE(game);
            const PositionSnapshot before = PositionSnapshot::Take();
            const std::string text = WritePgn(written, notation);
            EXPECT_EQ(text.find("[FEN ") != std::string::npos, fromSetUp);
            EXPECT_EQ(text.find("[Format \"ICCS\"]") != std::string::npos,
                      notation == PgnNotation::Iccs);
            PgnGame read;
            std::string error;
            ASSERT_TRUE(ReadPgn(text, &read, &error)) << error << "\n" << text;
            EXPECT_TRUE(PositionSnapshot::Take() == before);
            ASSERT_EQ(read.moves.size(), written.moves.size());
            for (size_t i = 0; i < read.moves.size(); ++i)
                EXPECT_TRUE(SameMove(read.moves[i], written.moves[i])) << i;
            EXPECT_EQ(read.result, "1/2-1/2");
            EXPECT_EQ(read.startFen.empty(), !fromSetUp);
        }
    }
}

// The exported move text itself, after the tag block: move numbers and where the lines break.
TEST(Pgn, WritesNumberedMovesInLinesOfAtMost80Columns) {
    const struct {
        const char* name;
        const char* fen;
        int plies;  // of the King shuffle e9f9 d0d1 f9e9 d1d0
        const char* result;
        PgnNotation notation;
        std::string text;
        // An analysis of the first plies: the value and the engine's move ("" for none).
        std::vector<std::pair<int32_t, const char*>> analysis = {};
    } rows[] = {
        {"Black moves first", "4k4/9/9/9/9/9/9/9/9/3K5 b", 2, "*", PgnNotation::Iccs,
         "1... e9f9 2. d0d1 *\n"},
        {"Red moves first", "5k3/9/9/9/9/9/9/9/9/3K5 w", 1, "0-1", PgnNotation::Iccs,
         "1. d0d1 0-1\n"},
        {"a line that ends at column 80 exactly", "4k4/9/9/9/9/9/9/9/9/3K5 b", 22, "1/2-1/2",
         PgnNotation::Iccs,
         "1... e9f9 2. d0d1 f9e9 3. d1d0 e9f9 4. d0d1 f9e9 5. d1d0 e9f9 6. d0d1 f9e9 7.\n"
         "d1d0 e9f9 8. d0d1 f9e9 9. d1d0 e9f9 10. d0d1 f9e9 11. d1d0 e9f9 12. d0d1 1/2-1/2\n"},
        {"Chinese, two columns a character", "4k4/9/9/9/9/9/9/9/9/3K5 b", 14, "*",
         PgnNotation::Chinese,
         "1... 将５平６ 2. 帅六进一 将６平５ 3. 帅六退一 将５平６ 4. 帅六进一 将６平５ 5.\n"
         "帅六退一 将５平６ 6. 帅六进一 将６平５ 7. 帅六退一 将５平６ 8. 帅六进一 *\n"},
        {"analysed: Black's move after a comment is numbered again",
         "5k3/9/9/9/9/9/9/9/9/3K5 w",
         4,
         "*",
         PgnNotation::Iccs,
         "1. d0d1 {[%eval 0.25]} (1. d0e0) 1... f9e9 {[%eval #-2]} 2. d1d0 {[%eval 0.00]}\n"
         "(2. d1d2) 2... e9f9 *\n",
         {{25, "d0e0"}, {-(master::kMate - 3), "f9e9"}, {0, "d1d2"}}},
        {"analysed in Chinese, a move not legal there is left out",
         "4k4/9/9/9/9/9/9/9/9/3K5 b",
         2,
         "*",
         PgnNotation::Chinese,
         "1... 将５平６ {[%eval -1.50]} (1... 将５进１) 2. 帅六进一 {[%eval 12.05]} *\n",
         {{-150, "e9e8"}, {1205, "e9e8"}}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        testing::SetUpFen(row.fen);
        PgnGame game;
        game.startFen = row.fen;
        game.result = row.result;
        const bool redFirst = sideToMove == Red;
        for (int ply = 0; ply < row.plies; ++ply) {
            const char* shuffle[] = {"e9f9", "d0d1", "f9e9", "d1d0"};
            game.moves.push_back(testing::Generated(shuffle[(ply + (redFirst ? 1 : 0)) % 4]));
            MakeMove(game.moves.back(), false);
            SwapSides();
        }
        for (const auto& [redValue, best] : row.analysis) {
            MoveValue value{.known = true, .redValue = redValue, .analysed = true};
            Square from = 0;
            Square to = 0;
            if (ParseIccs(best, &from, &to)) value.best = MoveRecord{to, from, 0, 0, 0};
            game.values.push_back(value);
        }
        testing::SetUpFen(row.fen);
        // The engine's moves come as the generator makes them: with their piece and capture.
        for (size_t ply = 0; ply < game.values.size(); ++ply) {
            MoveRecord& best = game.values[ply].best;
            const MoveRecord legal = FindLegalMove(best.from, best.to);
            if (legal.piece != Empty) best = legal;
            MakeMove(game.moves[ply], false);
            SwapSides();
        }
        testing::SetUpFen(row.fen);
        const std::string text = WritePgn(game, row.notation);
        EXPECT_EQ(text.substr(text.find("\n\n") + 2), row.text);
        PgnGame read;
        std::string error;
        ASSERT_TRUE(ReadPgn(text, &read, &error)) << error;
        ASSERT_EQ(read.moves.size(), game.moves.size());
        for (size_t i = 0; i < read.moves.size(); ++i)
            EXPECT_TRUE(SameMove(read.moves[i], game.moves[i])) << i;
    }
}

// The engine's move for ply `ply` of `moves` from `fen` (written with it): a legal move there
// other than the one played.
MoveRecord AnotherMove(std::string_view fen, const std::vector<MoveRecord>& moves, size_t ply) {
    testing::SetUpFen(fen);
    for (size_t i = 0; i < ply; ++i) {
        MakeMove(moves[i], false);
        SwapSides();
    }
    for (const MoveRecord& move : LegalMoves()) {
        if (!SameMove(move, moves[ply])) return move;
    }
    return NullMove;
}

// An analysed game with tags of its own, written and read back in either notation: each move's
// mark, value and the engine's other move come back to it, the roster keeps the game's values (its
// date, not today's) and its other tags follow; tags that describe the move text are ours.
TEST(Pgn, AnAnalysedGameAndItsTagsReadBackTheSame) {
    std::mt19937 random(29);
    PgnGame written;
    written.moves = RandomGame(kStartFen, 10, &random);
    ASSERT_EQ(written.moves.size(), 10u);
    written.result = "0-1";
    written.tags = {{"Event", "全国个人赛"},
                    {"Date", "1999.05.01"},
                    {"Red", "许银川"},
                    {"Black", "聂卫平"},
                    {"Opening", "中炮\"急进\"\\屏风马"},
                    {"Format", "Chinese"},
                    {"FEN", "9/9/9/9/9/9/9/9/9/9 w"}};
    // The value after each analysed move; a mate as the engines count it, in plies with the
    // parity of the side to move (after Red's 5th move Black mates in 3: 5 plies).
    const struct {
        size_t ply;
        bool known;
        int32_t redValue;
        MoveMark mark;
        bool engineAgreed;
    } analysis[] = {
        {0, true, 35, MoveMark::None, true},
        {1, true, -120, MoveMark::Mistake, false},
        {3, true, 0, MoveMark::Inaccuracy, false},
        {4, true, -20, MoveMark::None, false},
        {5, true, 1205, MoveMark::Blunder, false},
        {6, false, 0, MoveMark::Mistake, false},
        {8, true, -(master::kMate - 5), MoveMark::None, true},
        {9, true, -(master::kMate - 4), MoveMark::Blunder, false},
    };
    written.values.resize(written.moves.size());
    for (const auto& row : analysis) {
        MoveValue& value = written.values[row.ply];
        value = MoveValue{.known = row.known, .redValue = row.redValue, .analysed = true};
        value.mark = row.mark;
        value.best = row.engineAgreed ? written.moves[row.ply]
                                      : AnotherMove(kStartFen, written.moves, row.ply);
        ASSERT_NE(value.best.piece, Empty);
    }
    testing::SetUpFen(kStartFen);
    for (PgnNotation notation : {PgnNotation::Iccs, PgnNotation::Chinese}) {
        SCOPED_TRACE(notation == PgnNotation::Iccs ? "ICCS" : "中文");
        const std::string text = WritePgn(written, notation);
        const std::string tags = text.substr(0, text.find("\n\n") + 1);
        EXPECT_EQ(tags,
                  std::string("[Event \"全国个人赛\"]\n[Site \"?\"]\n[Date \"1999.05.01\"]\n"
                              "[Round \"-\"]\n[Red \"许银川\"]\n[Black \"聂卫平\"]\n"
                              "[Result \"0-1\"]\n[Opening \"中炮\\\"急进\\\"\\\\屏风马\"]\n") +
                      (notation == PgnNotation::Iccs ? "[Format \"ICCS\"]\n" : ""));
        for (const char* annotation : {"$2", "$6", "$4", "{[%eval -1.20]}", "{[%eval #-3]}"})
            EXPECT_NE(text.find(annotation), std::string::npos) << annotation << "\n" << text;

        PgnGame read;
        std::string error;
        ASSERT_TRUE(ReadPgn(text, &read, &error)) << error;
        EXPECT_EQ(read.Tag("Opening"), "中炮\"急进\"\\屏风马");
        EXPECT_EQ(read.Tag("Date"), "1999.05.01");
        ASSERT_EQ(read.values.size(), written.values.size()) << text;
        for (size_t ply = 0; ply < written.values.size(); ++ply) {
            SCOPED_TRACE(ply);
            const MoveValue& expected = written.values[ply];
            const MoveValue& got = read.values[ply];
            EXPECT_EQ(got.analysed, expected.analysed);
            if (!expected.analysed) continue;
            EXPECT_EQ(got.known, expected.known);
            EXPECT_EQ(got.redValue, expected.redValue);
            EXPECT_EQ(got.mark, expected.mark);
            EXPECT_TRUE(SameMove(got.best, expected.best));
        }
    }
}

// Analysis as other programs annotate games: [%eval] among other commands and with a depth, marks
// as NAGs or glyphs; what is not ours to read (praise, other comments) leaves no value.
TEST(Pgn, ReadsTheMarksAndValuesOtherProgramsWrite) {
    struct Expected {
        size_t ply;
        bool known;
        int32_t redValue;
        MoveMark mark;
        const char* best;  // ICCS
    };
    const struct {
        const char* name;
        const char* pgn;
        std::vector<Expected> values;
    } rows[] = {
        {"commands with a depth and a clock, a mate for Black, a NAG before the comment",
         "{引言} 1. h2e2 { [%clk 0:03:00] [%eval 0.17] } 1... h9g7 $6 { [%eval +0.8,22] }\n"
         "2. h0g2 $4 {[%eval #-3]} (2. b0c2 h7h0) (2. i0i1) *",
         {{0, true, 17, MoveMark::None, "h2e2"},
          {1, true, 80, MoveMark::Inaccuracy, "h9g7"},
          {2, true, -(master::kMate - 5), MoveMark::Blunder, "b0c2"}}},
        {"glyphs and NAGs without values; praise is no mark",
         "1. h2e2?! h9g7 $1 2. h0g2 $3 h7h0?? (2... b9c7) 3. 车一平二!? *",
         {{0, false, 0, MoveMark::Inaccuracy, "h2e2"}, {3, false, 0, MoveMark::Blunder, "b9c7"}}},
        {"values that do not read, a large one kept short of a mate",
         "1. h2e2 {+0,10/7} h9g7 {[%eval x]} 2. h0g2 {[%eval 500.5]} h7h0 {[%eval #]} *",
         {{2, true, master::kMateBound, MoveMark::None, "h0g2"}}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        testing::SetUpFen(kStartFen);
        PgnGame read;
        std::string error;
        ASSERT_TRUE(ReadPgn(row.pgn, &read, &error)) << error;
        size_t analysed = 0;
        for (const MoveValue& value : read.values)
            analysed += value.analysed ? 1 : 0;
        EXPECT_EQ(analysed, row.values.size());
        for (const Expected& expected : row.values) {
            SCOPED_TRACE(expected.ply);
            ASSERT_LT(expected.ply, read.values.size());
            const MoveValue& got = read.values[expected.ply];
            EXPECT_TRUE(got.analysed);
            EXPECT_EQ(got.known, expected.known);
            EXPECT_EQ(got.redValue, expected.redValue);
            EXPECT_EQ(got.mark, expected.mark);
            EXPECT_EQ(FormatIccs(got.best), expected.best);
        }
    }
}

struct ImportRow {
    const char* name;
    std::string pgn;
    bool accepted;
    std::string expected;  // accepted: the final FEN's board; refused: the reason
};

TEST(Pgn, ReadsWhatSitesAndProgramsWriteAndRefusesTheRest) {
    const std::string afterSix = "r1bakabr1/9/1cn3nc1/p1p1p1p1p/9/9/P1P1P1P1P/1C2C1N2/9/RNBAKABR1";
    const std::string chinese = "1. 炮二平五 马８进７ 2. 马二进三 车９平８ 3. 车一平二 马２进３ *";
    const ImportRow rows[] = {
        {"tags, comments, variations, annotations and glued numbers",
         "[Event \"练习\"]\n[Red \"甲\"]\n{开局} 1.H2-E2 $1 H9-G7 (1... C8-E8 {另一路}) "
         "2. H0-G2! I9-H9 ; 注释\n3. I0-H0 B9-C7 1-0\n",
         true, afterSix},
        {"annotations ?, ?!, ?? and !?", "1. h2e2? h9g7?! 2. h0g2?? i9h9!? 3. i0h0! b9c7!! *", true,
         afterSix},
        {"WXF", "1. C2.5 H8+7 2. H2+3 R9.8 3. R1.2 H2+3 *", true, afterSix},
        {"Chinese", chinese, true, afterSix},
        {"Chinese in GBK", Utf8ToGbk(chinese).value(), true, afterSix},
        {"a FEN tag with Black to move, a front Rook and WXF",
         "[FEN \"r3k4/9/r8/9/9/9/9/9/9/3K5 b - - 0 1\"]\n1... 前车平２ 2. 帅六进一 R1+1 *", true,
         "4k4/r8/1r7/9/9/9/9/9/3K5/9"},
        {"Pawns numbered over two files, as a 1999 handicap game writes them",
         "[FEN \"5k3/9/2P1P4/2P1P4/4P4/9/9/9/9/3K5 w - - 0 1\"]\n1. 四兵进一 将６平５ "
         "2. 一兵平四 *",
         true, "4k4/2P6/5P3/2P1P4/4P4/9/9/9/9/3K5"},
        {"lower-case ICCS after a byte order mark",
         "\xEF\xBB\xBF"
         "1. h2e2 h9g7 2. h0g2 i9h9 3. i0h0 b9c7 *",
         true, afterSix},
        {"WXF front and rear Rooks from a FEN tag",
         "[FEN \"4k4/9/9/9/9/R8/9/R8/9/3K5 w - - 0 1\"]\n1. +R+1 K5.6 2. -R.2 *", true,
         "5k3/9/9/9/R8/9/9/7R1/9/3K5"},
        {"Chinese moves written together, as some databases store them",
         "1. 炮二平五马８进７ 2. 马二进三车９平８ 3. 车一平二马２进３", true, afterSix},
        {"Chinese in Big5, traditional characters",
         ConvertEncoding("BIG5", "UTF-8",
                         "1. 炮二平五 馬８進７ 2. 馬二進三 車９平８ 3. 車一平二 馬２進３ *")
             .value(),
         true, afterSix},
        {"Chinese in GB18030 with the ideographic space",
         ConvertEncoding(
             "GB18030", "UTF-8",
             "1．　炮二平五　马８进７\n2．　马二进三　车９平８\n3．　车一平二　马２进３")
             .value(),
         true, afterSix},
        {"SAN as game sites write it, ranks from one",
         "[Variant \"Xiangqi\"]\n1. Che3 Nhg8 2. Nhg3 Rih10 3. Rih1 Nbc8 *", true, afterSix},
        {"SAN as XBoard writes it, ranks from zero",
         "[Variant \"xiangqi\"]\n1. Che2 {+0,10/7} Hhg7 2. Hhg2 Rih9 3. Rih0 Hbc7 *", true,
         afterSix},
        {"SAN from zero without rank 0 in it", "1. Che2 Hhg7 2. Hhg2 Rih9 *", true,
         "rnbakabr1/9/1c4nc1/p1p1p1p1p/9/9/P1P1P1P1P/1C2C1N2/9/RNBAKAB1R"},
        {"dots for a move not repeated, and a program's lines under the game",
         "[FEN \"rnbakabnr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C5C1/9/RNBAKABNR b - - 0 1\"]\n"
         "1. ... h7e7 2. h0g2 *\n=====\n欢迎访问象棋百科全书网\nhttp://www.xqbase.com/\n",
         true, "rnbakabnr/9/1c2c4/p1p1p1p1p/9/9/P1P1P1P1P/1C4NC1/9/RNBAKAB1R"},
        {"a full-width move refused as written", "1. 炮二平五 马８进７ 2. Ｃ８＝５", false,
         "第1局：第2回合的着法“Ｃ８＝５”不合规则"},
        {"bytes in no encoding", "1. h2e2 \x80\x80 *", false,
         "无法读取文件的文字编码：不是 UTF-8、GBK/GB18030 或 Big5 的文字"},
        {"nothing but blanks", " \n\n ", false, "文件中没有棋谱"},
        {"an unknown move text", "1. h2e2 h9g7 2. xyz", false, "第1局：第2回合的着法“xyz”无法识别"},
        {"an illegal move", "1. 炮二平五 马８进７ 2. 炮五进九", false,
         "第1局：第2回合的着法“炮五进九”不合规则"},
        {"an ICCS move that leaves the Kings facing",
         "[FEN \"4k4/9/9/9/9/4N4/9/9/9/4K4 w\"]\n1. E4-C5", false,
         "第1局：第1回合的着法“E4-C5”不合规则"},
        {"a bad FEN", "[FEN \"rnbakabnr/9/9 w\"]\n1. h2e2", false, "第1局：FEN 局面有误："},
        {"the side not to move in check", "[FEN \"4k4/9/9/9/9/9/9/9/9/4K4 w\"]\n", false,
         "第1局：FEN 局面有误：王的位置错误"},
        {"a comment without its end", "1. h2e2 {", false,
         "第1局：棋谱格式有误：标签、注释或变着没有结束"},
        {"a lone closing bracket", "]", false, "第1局：棋谱格式有误：多余的“]”"},
        {"a lone closing parenthesis", ")", false, "第1局：棋谱格式有误：多余的“)”"},
        {"a lone closing brace", "}", false, "第1局：棋谱格式有误：多余的“}”"},
        {"a closing brace after a move", "1. h2e2 }", false, "第1局：棋谱格式有误：多余的“}”"},
        {"a comment right after a comment in a variation", "1. h2e2 (1. h0g2 {a}{b)} h9g7) h9g7 *",
         true, "rnbakab1r/9/1c4nc1/p1p1p1p1p/9/9/P1P1P1P1P/1C2C4/9/RNBAKABNR"},
        {"a bracket in a line comment in a variation", "1. h2e2 (1. h0g2 ; b)\n) h9g7 *", true,
         "rnbakab1r/9/1c4nc1/p1p1p1p1p/9/9/P1P1P1P1P/1C2C4/9/RNBAKABNR"},
    };
    for (const ImportRow& row : rows) {
        SCOPED_TRACE(row.name);
        testing::SetUpFen(kStartFen);
        const PositionSnapshot before = PositionSnapshot::Take();
        PgnGame game;
        std::string error;
        EXPECT_EQ(ReadPgn(row.pgn, &game, &error), row.accepted) << error;
        EXPECT_TRUE(PositionSnapshot::Take() == before) << "the game is left as it was";
        if (row.accepted) {
            EXPECT_EQ(game.finalFen.substr(0, game.finalFen.find(' ')), row.expected);
        } else {
            EXPECT_EQ(error.substr(0, row.expected.size()), row.expected);
        }
    }
}

// A file of many games: each game ends at its result or where the next game's tags begin, and a
// refused game does not keep the others from being read.
TEST(Pgn, ReadsEveryGameOfACollection) {
    const std::string collection =
        "[Event \"甲\"]\n[Red \"红方\"]\n[Black \"黑方\"]\n\n1. h2e2 h9g7 2. h0g2\n\n"
        "[Event \"乙\"]\n[Result \"1-0\"]\n1. C2.5 H8+7 2. 炮五进九\n\n"
        "[Event \"丙\"]\n1. h2e2 h9g7 1/2-1/2\n"
        "1. 炮二平五马８进７ 2. 马二进三 *\n"
        "[Event \"丁\"]\n[FEN \"rnbakabnr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C5C1/9/RNBAKABNR b - - "
        "0 1\"]\n1. ... h7e7 2. h0g2 *\n";
    testing::SetUpFen(kStartFen);
    const PositionSnapshot before = PositionSnapshot::Take();
    std::vector<PgnEntry> games;
    std::string error;
    ASSERT_TRUE(ReadPgnGames(collection, &games, &error)) << error;
    EXPECT_TRUE(PositionSnapshot::Take() == before);
    ASSERT_EQ(games.size(), 5u);
    // Full moves as the move numbers count them; a game that Black began opens with one.
    const struct {
        const char* event;
        const char* result;
        size_t plies;
        size_t fullMoves;
        const char* error;
    } expected[] = {
        {"甲", "*", 3, 2, ""},       {"乙", "1-0", 2, 1, "第2局：第2回合的着法“炮五进九”不合规则"},
        {"丙", "1/2-1/2", 2, 1, ""}, {"", "*", 3, 2, ""},
        {"丁", "*", 2, 2, ""},
    };
    for (size_t i = 0; i < games.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(games[i].game.Tag("Event"), expected[i].event);
        EXPECT_EQ(games[i].game.result, expected[i].result);
        EXPECT_EQ(games[i].game.moves.size(), expected[i].plies);
        EXPECT_EQ(games[i].game.FullMoves(), expected[i].fullMoves);
        EXPECT_EQ(games[i].error, expected[i].error);
    }
    EXPECT_EQ(games[0].game.Tag("Red"), "红方");
    EXPECT_EQ(games[0].game.Tag("Black"), "黑方");
    EXPECT_EQ(games[0].game.startFen, "") << "the opening array";

    // A FEN tag of the opening array is the opening array, as the writer leaves it out then.
    ASSERT_TRUE(
        ReadPgnGames("[FEN \"" + std::string(kStartFen) + "\"]\n1. h2e2 *", &games, &error));
    EXPECT_EQ(games[0].game.startFen, "");

    PgnGame game;
    EXPECT_TRUE(ReadPgn(collection, &game, &error, 4)) << error;
    EXPECT_EQ(game.moves.size(), 3u);
    EXPECT_FALSE(ReadPgn(collection, &game, &error, 2));
    EXPECT_EQ(error, "第2局：第2回合的着法“炮五进九”不合规则");
    EXPECT_FALSE(ReadPgn(collection, &game, &error, 6));
    EXPECT_EQ(error, "文件中只有 5 局棋谱，没有第 6 局");
    EXPECT_TRUE(PositionSnapshot::Take() == before);
}

// Texts of brackets, quotes, comments and words in any order: the reader comes to an end with
// each of them and leaves the game as it was.
TEST(Pgn, EveryMixOfBracketsAndWordsIsReadToItsEnd) {
    constexpr std::string_view kPieces[] = {"[",  "]",  "(", ")",  "{",    "}",    ";", "\n",  " ",
                                            "\"", "$1", "%", "1.", "h2e2", "h9g7", "*", "[FEN"};
    std::mt19937 random(18);
    testing::SetUpFen(kStartFen);
    const PositionSnapshot before = PositionSnapshot::Take();
    for (int round = 0; round < 5000; ++round) {
        std::string text;
        for (int length = static_cast<int>(random() % 12); length > 0; --length)
            text += kPieces[random() % std::size(kPieces)];
        PgnGame game;
        std::string error;
        const bool read = ReadPgn(text, &game, &error);
        EXPECT_TRUE(read || !error.empty()) << text;
        ASSERT_TRUE(PositionSnapshot::Take() == before) << text;
    }
}

TEST(Pgn, TheCurrentGameFromItsStart) {
    testing::SetUpFen(kStartFen);
    NewGame();
    for (const char* iccs : {"h2e2", "h9g7", "h0g2"}) {
        const MoveRecord move = testing::Generated(iccs);
        GameRecord[recordTop + 1] = move;
        PlayMove(move);
        SlideRecord();
    }
    const PositionSnapshot before = PositionSnapshot::Take();
    PgnGame game = CurrentGameAsPgn();
    EXPECT_TRUE(PositionSnapshot::Take() == before);
    EXPECT_TRUE(game.startFen.empty());
    ASSERT_EQ(game.moves.size(), 3u);
    EXPECT_EQ(FormatIccs(game.moves[0]), "h2e2");
    EXPECT_TRUE(game.values.empty());  // nothing analysed: the export stays plain
    // The analysis of a ply comes with the move that made it.
    MoveValueAt(2) = MoveValue{.known = true, .redValue = -30, .analysed = true};
    game = CurrentGameAsPgn();
    moveValues.clear();
    ASSERT_EQ(game.values.size(), 3u);
    EXPECT_FALSE(game.values[0].analysed);
    EXPECT_TRUE(game.values[1].analysed);
    EXPECT_EQ(game.values[1].redValue, -30);

    testing::SetUpFen("4k4/9/9/9/9/9/9/9/9/3K5 b");  // a set-up position: its FEN is the start
    const MoveRecord move = testing::Generated("e9f9");
    GameRecord[recordTop + 1] = move;
    PlayMove(move);
    SlideRecord();
    game = CurrentGameAsPgn();
    EXPECT_EQ(game.startFen, "4k4/9/9/9/9/9/9/9/9/3K5 b - - 0 1");
    EXPECT_EQ(game.moves.size(), 1u);
}

// The real games collected from public sources (tests/data/pgn, each file's source in SOURCES):
// every game is taken, and written again in either notation it reads back as the same moves.
TEST(PgnCorpus, EveryRealGameReadsAndReadsBackInBothNotations) {
    testing::SetUpFen(kStartFen);
    const PositionSnapshot before = PositionSnapshot::Take();
    size_t games = 0;
    for (const auto& file : std::filesystem::directory_iterator(XQ_PGN_CORPUS)) {
        if (file.path().extension() != ".pgn") continue;
        SCOPED_TRACE(file.path().filename().string());
        std::ifstream in(file.path(), std::ios::binary);
        const std::string bytes((std::istreambuf_iterator<char>(in)), {});
        std::vector<PgnEntry> read;
        std::string error;
        ASSERT_TRUE(ReadPgnGames(bytes, &read, &error)) << error;
        for (size_t i = 0; i < read.size(); ++i) {
            SCOPED_TRACE(i + 1);
            const PgnGame& game = read[i].game;
            ASSERT_EQ(read[i].error, "");
            ++games;
            for (PgnNotation notation : {PgnNotation::Iccs, PgnNotation::Chinese}) {
                const std::string written = WritePgn(game, notation);
                PgnGame back;
                ASSERT_TRUE(ReadPgn(written, &back, &error)) << error << "\n" << written;
                ASSERT_EQ(back.moves.size(), game.moves.size());
                for (size_t ply = 0; ply < back.moves.size(); ++ply)
                    EXPECT_TRUE(SameMove(back.moves[ply], game.moves[ply])) << ply;
                EXPECT_EQ(back.finalFen, game.finalFen);
            }
        }
    }
    EXPECT_GE(games, 100u);
    EXPECT_TRUE(PositionSnapshot::Take() == before);
}

}  // namespace
}  // namespace xq
