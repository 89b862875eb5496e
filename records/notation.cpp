#include "records/notation.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <span>
#include <utility>

#include "platform/check.h"
#include "platform/display.h"

namespace xq {

namespace {

// Indexed [side][kind]; kind 0 is never looked up.
constexpr const char* kPieceNames[2][8] = {
    {"", "帅", "车", "炮", "马", "仕", "相", "兵"},
    {"", "将", "车", "砲", "马", "士", "象", "卒"},
};

// Indexed [side][value], value 1..9.
constexpr const char* kNumerals[2][10] = {
    {"", "一", "二", "三", "四", "五", "六", "七", "八", "九"},
    {"", "１", "２", "３", "４", "５", "６", "７", "８", "９"},
};

const char* Direction(Side side, const MoveRecord& move) {
    const int from = RankOf(move.from);
    const int to = RankOf(move.to);
    if (to == from) return "平";
    const bool forward = side == Red ? to > from : to < from;
    return forward ? "进" : "退";
}

// One character of the program's notation and what it becomes in another style, for Red and for
// Black; characters not listed stay as they are.
struct StyledCharacter {
    std::string_view own;
    std::string_view red;
    std::string_view black;
};

constexpr StyledCharacter kTraditional[] = {
    {"帅", "帥", "帥"}, {"将", "將", "將"}, {"车", "俥", "車"},
    {"马", "傌", "馬"}, {"进", "進", "進"}, {"后", "後", "後"},
};

constexpr StyledCharacter kWxf[] = {
    {"帅", "K", "K"}, {"将", "K", "K"}, {"仕", "A", "A"}, {"士", "A", "A"}, {"相", "E", "E"},
    {"象", "E", "E"}, {"马", "H", "H"}, {"车", "R", "R"}, {"炮", "C", "C"}, {"砲", "C", "C"},
    {"兵", "P", "P"}, {"卒", "P", "P"}, {"进", "+", "+"}, {"退", "-", "-"}, {"平", ".", "."},
    {"前", "+", "+"}, {"后", "-", "-"}, {"中", "2", "2"}, {"一", "1", "1"}, {"二", "2", "2"},
    {"三", "3", "3"}, {"四", "4", "4"}, {"五", "5", "5"}, {"六", "6", "6"}, {"七", "7", "7"},
    {"八", "8", "8"}, {"九", "9", "9"}, {"１", "1", "1"}, {"２", "2", "2"}, {"３", "3", "3"},
    {"４", "4", "4"}, {"５", "5", "5"}, {"６", "6", "6"}, {"７", "7", "7"}, {"８", "8", "8"},
    {"９", "9", "9"},
};

// The bytes of the UTF-8 character that `lead` starts.
size_t CharacterBytes(unsigned char lead) {
    return lead < 0x80         ? 1
           : (lead >> 5) == 6  ? 2
           : (lead >> 4) == 14 ? 3
           : (lead >> 3) == 30 ? 4
                               : 1;
}

bool MovesAlongLines(PieceKind kind) {
    return kind == King || kind == Rook || kind == Gunner || kind == Pawn;
}

}  // namespace

int FileNumber(Side side, Square square) {
    return side == Red ? 9 - FileOf(square) : FileOf(square) + 1;
}

int TargetNumber(Side side, const MoveRecord& move) {
    if (MovesAlongLines(move.piece) && RankOf(move.to) != RankOf(move.from))
        return std::abs(RankOf(move.to) - RankOf(move.from));
    return FileNumber(side, move.to);
}

std::string FormatMove(const MoveRecord& move, Side mover) {
    if (move.piece == Empty) return kEmptyMoveText;
    XQ_ASSERT(mover <= Black && move.piece <= Pawn);
    XQ_ASSERT(IsBoardPoint(move.from) && IsBoardPoint(move.to));
    std::string text = kPieceNames[mover][move.piece];
    text += kNumerals[mover][FileNumber(mover, move.from)];
    text += Direction(mover, move);
    text += kNumerals[mover][TargetNumber(mover, move)];
    return text;
}

MoveStyle shownMoveStyle = MoveStyle::Simplified;

std::string StyledMoveText(std::string_view text, Side mover, MoveStyle style) {
    if (style == MoveStyle::Simplified) return std::string(text);
    const auto& table = style == MoveStyle::Wxf ? std::span<const StyledCharacter>(kWxf)
                                                : std::span<const StyledCharacter>(kTraditional);
    // An empty move keeps its blanks; a WXF move is narrower than the Chinese one.
    if (text.find_first_not_of(' ') == std::string_view::npos) return std::string(text);
    std::string styled;
    for (size_t at = 0; at < text.size();) {
        const size_t length =
            std::min(CharacterBytes(static_cast<unsigned char>(text[at])), text.size() - at);
        const std::string_view character = text.substr(at, length);
        const auto found = std::find_if(table.begin(), table.end(), [&](const StyledCharacter& c) {
            return c.own == character;
        });
        styled += found == table.end() ? character : mover == Red ? found->red : found->black;
        at += length;
    }
    // WXF writes the front or rear sign in the file's stead, after the piece (前车 R+).
    if (style == MoveStyle::Wxf && (styled[0] == '+' || styled[0] == '-'))
        std::swap(styled[0], styled[1]);
    return styled;
}

std::string ShownMove(const MoveRecord& move, Side mover) {
    return StyledMoveText(FormatMove(move, mover), mover, shownMoveStyle);
}

std::string PanelMoveLine(int32_t plies, const MoveRecord& move, Side mover, double usedSeconds) {
    return PanelLineText(plies / 2 + 1, ShownMove(move, mover), usedSeconds);
}

std::string PanelLineText(int32_t moveNumber, std::string_view moveText, double usedSeconds) {
    const int minutes = static_cast<int>(usedSeconds / 60);
    const double seconds = usedSeconds - minutes * 60.0;
    char head[64];
    std::snprintf(head, sizeof head, "%2.2d:%#04.1f %3.3d. ", minutes, seconds, moveNumber);
    return head + std::string(moveText);
}

void FormatPanelMoveLine(int32_t plies, Side panelSide, const MoveRecord& move, Side mover,
                         double usedSeconds) {
    ShowMoveLine(panelSide, PanelMoveLine(plies, move, mover, usedSeconds));
}

}  // namespace xq
