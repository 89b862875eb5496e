#include "rules/board.h"

#include "platform/check.h"
#include "platform/display.h"
#include "rules/clock.h"
#include "rules/zobrist.h"

namespace xq {

Position gamePosition{{}, {}, {0, 0}, Red, Black, 0};

uint64_t PositionKey(const Position& position) {
    return position.key ^ (position.sideToMove == Black ? kBlackToMoveKey : 0);
}

void ClearBoard() {
    ClearBoard(gamePosition);
}

void ClearBoard(Position& position) {
    for (BoardCell& cell : position.board) {
        cell.kind = Empty;
        cell.side = Red;
    }
}

void PutPiece(PieceKind kind, Side side, Square square) {
    XQ_ASSERT(IsBoardPoint(square) && kind <= Pawn && side <= Black);
    board[square].kind = kind;
    board[square].side = side;
}

namespace {

void ResetPieceLists(Position& position) {
    for (BoardCell& cell : position.board)
        cell.listIndex = kNoEntry;
    for (PieceList& list : position.pieceList) {
        for (PieceEntry& entry : list.entry)
            entry.kind = Empty;
        list.lastIndex = -1;
        list.lastOfficer = -1;
    }
}

// The fixed order in which BuildPieceLists visits the 90 points. It decides which of two like
// pieces gets the lower index, and with it the order of generated captures.
struct VisitOrder {
    Square square[90];

    constexpr VisitOrder() : square{} {
        int n = 0;
        // Ranks 0..7, files 0..7: pairs of points mirrored through the centre of that block.
        Square s = 0;
        do {
            square[n++] = s;
            s ^= 0x77;
            if ((s & 0x04) == 0) s = s >= 0x70 ? (s + 0x11) & 0x73 : s + 0x10;
        } while (s != 0);
        for (int rank = 0; rank < kRanks; ++rank)
            square[n++] = MakeSquare(rank, 8);
        for (int file = 0; file < 8; ++file)
            square[n++] = MakeSquare(8, file);
        for (int file = 0; file < 8; ++file)
            square[n++] = MakeSquare(9, file);
    }
};

constexpr VisitOrder kVisitOrder;
static_assert(kVisitOrder.square[0] == 0 && kVisitOrder.square[1] == 0x77 &&
              kVisitOrder.square[2] == 0x10 && kVisitOrder.square[3] == 0x67);
static_assert(kVisitOrder.square[15] == 0x07 && kVisitOrder.square[16] == 0x01);
static_assert(kVisitOrder.square[62] == 0x73 && kVisitOrder.square[63] == 0x04 &&
              kVisitOrder.square[64] == 8);

}  // namespace

void ResetPieceLists() {
    ResetPieceLists(gamePosition);
}

void BuildPieceLists() {
    BuildPieceLists(gamePosition);
}

void BuildPieceLists(Position& position) {
    Board& cells = position.board;
    PieceList(&lists)[2] = position.pieceList;
    int32_t(&defenders)[2] = position.firstDefender;
    ResetPieceLists(position);
    for (PieceKind kind = King; kind <= Pawn; ++kind) {
        for (int side = Red; side <= Black; ++side) {
            if (kind == Assist) defenders[side] = lists[side].lastIndex + 1;
            if (kind == Pawn) lists[side].lastOfficer = lists[side].lastIndex;
        }
        for (Square s : kVisitOrder.square) {
            BoardCell& cell = cells[s];
            if (cell.kind != kind) continue;
            // Cells may come from a file: a piece without a valid side, or beyond a full list,
            // gets no entry rather than a write outside the lists.
            if (cell.side > Black || lists[cell.side].lastIndex + 1 >= kListSize) {
                cell.listIndex = kNoEntry;
                continue;
            }
            PieceList& list = lists[cell.side];
            int index = ++list.lastIndex;
            list.entry[index].square = s;
            list.entry[index].kind = kind;
            cell.listIndex = static_cast<int16_t>(index);
        }
    }
    position.key = ComputePieceKey(position);
}

void SetUpStartingPosition() {
    static constexpr PieceKind kBackRank[9] = {Rook,   Knight, Bishop, Assist, King,
                                               Assist, Bishop, Knight, Rook};
    ClearBoard();
    clockRunning = 0;
    for (int file = 0; file < kFiles; ++file) {
        PutPiece(kBackRank[file], Red, file);
        PutPiece(kBackRank[file], Black, 144 + file);
    }
    for (int i = 0; i < 5; ++i) {
        PutPiece(Pawn, Red, 48 + 2 * i);
        PutPiece(Pawn, Black, 96 + 2 * i);
    }
    PutPiece(Gunner, Red, 33);
    PutPiece(Gunner, Red, 39);
    PutPiece(Gunner, Black, 113);
    PutPiece(Gunner, Black, 119);
    BuildPieceLists();
    sideToMove = Red;
    ClearShownBoard();
    SyncShownBoard();
    ShowTurn(sideToMove);
    otherSide = Black;
    XQ_ASSERT(PositionIsConsistent(gamePosition));
}

namespace {

bool ListsMatchBoard(const Position& position) {
    const Board& board = position.board;
    const PieceList(&pieceList)[2] = position.pieceList;
    int onBoard = 0;
    for (Square s = 0; s < kBoardCells; ++s) {
        const BoardCell& cell = board[s];
        if (cell.kind == Empty) continue;
        if (!IsBoardPoint(s) || cell.side > Black) return false;
        if (cell.listIndex < 0 || cell.listIndex >= kListSize) return false;
        const PieceList& list = pieceList[cell.side];
        if (cell.listIndex > list.lastIndex) return false;
        const PieceEntry& entry = list.entry[cell.listIndex];
        if (entry.kind != cell.kind || entry.square != s) return false;
        ++onBoard;
    }
    int listed = 0;
    for (const PieceList& list : pieceList) {
        for (int i = 0; i <= list.lastIndex; ++i) {
            if (list.entry[i].kind != Empty) ++listed;
        }
    }
    return onBoard == listed && position.sideToMove == Opponent(position.otherSide);
}

}  // namespace

bool PositionIsConsistent() {
    return ListsMatchBoard(gamePosition);
}

bool PositionIsConsistent(const Position& position) {
    return ListsMatchBoard(position) && position.key == ComputePieceKey(position);
}

}  // namespace xq
