// The opening library's lines as openings for games between engines: each path of the tree from
// the opening array, cut after a number of plies, every distinct start once, in the order of the
// library. Read on a Position of its own: the game is never touched.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace xq {

// The lines of the library `bytes` (byte 0, then the tree), each at most `plies` ICCS moves; an
// empty list when the bytes are no well-formed tree of generated moves.
std::vector<std::vector<std::string>> OpeningLibraryLines(const std::vector<uint8_t>& bytes,
                                                          int plies);

}  // namespace xq
