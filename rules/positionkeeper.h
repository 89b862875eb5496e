// Everything ReadFen and MakeMove change (the whole game position), copied when the keeper is made
// and put back when it goes, unless the caller keeps the new position.
#pragma once

#include "rules/board.h"

namespace xq {

class PositionKeeper {
  public:
    PositionKeeper() : saved_(gamePosition) {}
    ~PositionKeeper() {
        if (restore_) gamePosition = saved_;
    }
    PositionKeeper(const PositionKeeper&) = delete;
    PositionKeeper& operator=(const PositionKeeper&) = delete;

    // The position as it is now stays when the keeper goes.
    void KeepNewPosition() { restore_ = false; }

  private:
    Position saved_;
    bool restore_ = true;
};

}  // namespace xq
