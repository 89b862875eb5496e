#include "rules/fen.h"

#include <array>

#include "rules/board.h"
#include "rules/movegen.h"

namespace xq {

namespace {

constexpr std::string_view kFenLetters = " KRCNABP";  // index is the PieceKind
constexpr int kMaxOfKind[8] = {0, 1, 2, 2, 2, 2, 2, 5};

struct Placement {
    PieceKind kind;
    Side side;
};

bool Fail(std::string* error, std::string text) {
    if (error) *error = std::move(text);
    return false;
}

}  // namespace

bool ReadFen(std::string_view fen, std::string* error) {
    return ReadFen(gamePosition, fen, error);
}

std::string WriteFen() {
    return WriteFen(gamePosition);
}

bool ReadFen(Position& position, std::string_view fen, std::string* error) {
    std::array<Placement, kBoardCells> cells{};
    int counts[2][8] = {};
    int rank = 9;
    int file = 0;
    size_t i = 0;
    for (; i < fen.size() && fen[i] != ' '; ++i) {
        char ch = fen[i];
        if (ch == '/') {
            if (file != kFiles)
                return Fail(error, "rank " + std::to_string(rank) + " has not 9 files");
            if (--rank < 0) return Fail(error, "more than 10 ranks");
            file = 0;
        } else if (ch >= '1' && ch <= '9') {
            file += ch - '0';
            if (file > kFiles)
                return Fail(error, "rank " + std::to_string(rank) + " has more than 9 files");
        } else {
            bool black = ch >= 'a' && ch <= 'z';
            char upper = black ? static_cast<char>(ch - 'a' + 'A') : ch;
            size_t kind = kFenLetters.find(upper);
            if (upper == ' ' || kind == std::string_view::npos) {
                std::string reason = "unknown piece letter '";
                reason += ch;
                reason += '\'';
                return Fail(error, reason);
            }
            if (file >= kFiles)
                return Fail(error, "rank " + std::to_string(rank) + " has more than 9 files");
            Side side = black ? Black : Red;
            if (++counts[side][kind] > kMaxOfKind[kind]) {
                return Fail(error, std::string("too many pieces '") + ch + "'");
            }
            cells[MakeSquare(rank, file)] = {static_cast<PieceKind>(kind), side};
            ++file;
        }
    }
    if (rank != 0 || file != kFiles) return Fail(error, "the board needs 10 ranks of 9 files");
    if (counts[Red][King] != 1 || counts[Black][King] != 1) {
        return Fail(error, "each side needs exactly one King");
    }
    while (i < fen.size() && fen[i] == ' ')
        ++i;
    Side toMove = Red;
    if (i < fen.size()) {
        char ch = fen[i];
        if (ch == 'b') {
            toMove = Black;
        } else if (ch != 'w' && ch != 'r') {
            // Appended piecewise: g++ 12 misreads operator+ on a temporary here under LTO.
            std::string reason = "side to move must be w or b, not '";
            reason += ch;
            reason += '\'';
            return Fail(error, reason);
        }
    }

    ClearBoard(position);
    for (Square s = 0; s < kBoardCells; ++s) {
        if (cells[s].kind == Empty) continue;
        position.board[s].kind = cells[s].kind;
        position.board[s].side = cells[s].side;
    }
    BuildPieceLists(position);
    position.sideToMove = toMove;
    position.otherSide = Opponent(toMove);
    return true;
}

std::string WriteFen(int quietPlies, int fullMove) {
    return WriteFen(gamePosition, quietPlies, fullMove);
}

std::string WriteFen(const Position& position, int quietPlies, int fullMove) {
    std::string fen;
    for (int rank = 9; rank >= 0; --rank) {
        int gap = 0;
        for (int file = 0; file < kFiles; ++file) {
            const BoardCell& cell = position.board[MakeSquare(rank, file)];
            if (cell.kind == Empty) {
                ++gap;
                continue;
            }
            if (gap) fen += static_cast<char>('0' + gap);
            gap = 0;
            char letter = kFenLetters[cell.kind];
            fen += cell.side == Black ? static_cast<char>(letter - 'A' + 'a') : letter;
        }
        if (gap) fen += static_cast<char>('0' + gap);
        if (rank) fen += '/';
    }
    fen += position.sideToMove == Red ? " w - - " : " b - - ";
    return fen + std::to_string(quietPlies) + ' ' + std::to_string(fullMove);
}

bool ParseIccs(std::string_view text, Square* from, Square* to) {
    if (text.size() != 4) return false;
    Square squares[2];
    for (int k = 0; k < 2; ++k) {
        char f = text[2 * k];
        char r = text[2 * k + 1];
        if (f < 'a' || f > 'i' || r < '0' || r > '9') return false;
        squares[k] = MakeSquare(r - '0', f - 'a');
    }
    *from = squares[0];
    *to = squares[1];
    return true;
}

std::string FormatIccs(const MoveRecord& move) {
    std::string text;
    for (Square s : {move.from, move.to}) {
        text += static_cast<char>('a' + FileOf(s));
        text += static_cast<char>('0' + RankOf(s));
    }
    return text;
}

}  // namespace xq
