// Lines of ICCS moves played on a Position value, for the tests of the engines that work on one.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "rules/board.h"
#include "rules/fen.h"
#include "rules/legality.h"
#include "rules/makemove.h"

namespace xq::testing {

// `position` after the ICCS `texts`, each checked to be a legal move there; the moves played are
// appended to `played`.
inline Position PlayIccsLine(Position position, const std::vector<std::string>& texts,
                             std::vector<MoveRecord>* played) {
    for (const std::string& text : texts) {
        Square from = 0;
        Square to = 0;
        EXPECT_TRUE(ParseIccs(text, &from, &to)) << text;
        const MoveRecord move = FindLegalMove(position, from, to);
        EXPECT_NE(move.piece, Empty) << "illegal move " << text;
        if (move.piece == Empty) continue;
        played->push_back(move);
        MakeMove(position, move, false);
        SwapSides(position);
    }
    return position;
}

}  // namespace xq::testing
