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
        MoveList list;
        GenerateLegalMoves(position, list);
        bool found = false;
        for (int i = 1; i <= list.moveCount && !found; ++i) {
            if (list.slot[i].from != from || list.slot[i].to != to) continue;
            played->push_back(list.slot[i]);
            MakeMove(position, list.slot[i], false);
            SwapSides(position);
            found = true;
        }
        EXPECT_TRUE(found) << "illegal move " << text;
    }
    return position;
}

}  // namespace xq::testing
