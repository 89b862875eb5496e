// The settings kept in chess.ini back at their built-in values. A test that changes one (the
// board colour through the colour dialog, say) would otherwise hand it on to the tests after it
// in the same process: a settings file without the key keeps the colour in memory.
#pragma once

#include "engine/flow.h"
#include "engine/think.h"
#include "records/settings.h"

namespace xq::testing {

inline void RestoreDefaultSettings() {
    levelKind = kDefaultLevel;
    levelTime = kDefaultLevelTime;
    colorSquare = kDefaultSquareColor;
    maxDepth = kDefaultMaxDepth;
    soundOn = kDefaultSoundOn;
    boardReversed = 0;
}

}  // namespace xq::testing
