#include "records/notation.h"

#include <cstdio>
#include <cstdlib>

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
    std::string text = kPieceNames[mover][move.piece];
    text += kNumerals[mover][FileNumber(mover, move.from)];
    text += Direction(mover, move);
    text += kNumerals[mover][TargetNumber(mover, move)];
    return text;
}

std::string PanelMoveLine(int32_t plies, const MoveRecord& move, Side mover, double usedSeconds) {
    const int minutes = static_cast<int>(usedSeconds / 60);
    const double seconds = usedSeconds - minutes * 60.0;
    const int moveNumber = plies / 2 + 1;
    char head[64];
    std::snprintf(head, sizeof head, "%2.2d:%#04.1f %3.3d. ", minutes, seconds, moveNumber);
    return head + FormatMove(move, mover);
}

void FormatPanelMoveLine(int32_t plies, Side panelSide, const MoveRecord& move, Side mover,
                         double usedSeconds) {
    ShowMoveLine(panelSide, PanelMoveLine(plies, move, mover, usedSeconds));
}

}  // namespace xq
