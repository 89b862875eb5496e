// The checks a set-up position must pass before play starts from it (the position editor's
// "完成", a pasted FEN, the start of an imported game): the number of pieces of each kind, where
// the Kings, Assists, Bishops and Pawns may stand, and that the side not to move is not in check.
// Each check answers with the message the user sees, empty when the position passes.
#pragma once

#include <string>

namespace xq {

// "帅将的数目不正确" and the like: each side needs exactly one King and at most two Assists,
// Bishops, Knights, Rooks and Gunners and five Pawns. Reads the 90 points of the board only.
std::string SetUpCountError();

// "兵的位置错误" and the like, with "王" in front when the side to move could take the other King.
// The piece lists must describe the board (BuildPieceLists or ResetAfterSetUp first).
std::string SetUpPlacementError();

}  // namespace xq
