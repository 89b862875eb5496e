// Everything ReadFen and MakeMove change (the board, the piece lists and the sides), copied when
// the keeper is made and put back when it goes, unless the caller keeps the new position.
#pragma once

#include <cstring>

#include "rules/board.h"

namespace xq {

class PositionKeeper {
  public:
    PositionKeeper() {
        std::memcpy(board_, board, sizeof board);
        std::memcpy(lists_, pieceList, sizeof pieceList);
        std::memcpy(firstDefender_, firstDefender, sizeof firstDefender);
        toMove_ = sideToMove;
    }
    ~PositionKeeper() {
        if (!restore_) return;
        std::memcpy(board, board_, sizeof board);
        std::memcpy(pieceList, lists_, sizeof pieceList);
        std::memcpy(firstDefender, firstDefender_, sizeof firstDefender);
        sideToMove = toMove_;
        otherSide = Opponent(toMove_);
    }
    PositionKeeper(const PositionKeeper&) = delete;
    PositionKeeper& operator=(const PositionKeeper&) = delete;

    // The position as it is now stays when the keeper goes.
    void KeepNewPosition() { restore_ = false; }

  private:
    Board board_;
    PieceList lists_[2];
    int32_t firstDefender_[2];
    Side toMove_;
    bool restore_ = true;
};

}  // namespace xq
