// The start positions of a match, read from a file of FEN/EPD lines or of PGN games. Every
// opening is checked here, before any game begins: its position must be one the referee takes,
// its moves legal one after the other.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "host/match.h"

namespace xq::host {

enum class OpeningFormat { Epd, Pgn };

// One FEN or EPD record a line: the board and the side to move are read, the rest of the line
// (counters, EPD operations) is ignored and the FEN written whole ("- - 0 1"); blank lines and
// lines opening with '#' are skipped. False with a reason naming the line when one is no position.
bool ParseEpdOpenings(std::string_view text, std::vector<Opening>* openings, std::string* error);

// Every game of a PGN text, its first `plies` moves (all of them when `plies` < 0). Games the
// reader refuses are skipped. The PGN reader works on the program's one position: call this only
// while no game thread runs and no game is shown in the window.
bool ParsePgnOpenings(std::string_view text, int plies, std::vector<Opening>* openings,
                      std::string* error);

// Reads the file at `path` in `format`; false with a reason when it cannot be read or holds no
// opening.
bool ReadOpenings(const std::string& path, OpeningFormat format, int plies,
                  std::vector<Opening>* openings, std::string* error);

// False with a reason naming the opening (from 1) when its position or one of its moves is
// refused by the referee.
bool CheckOpenings(const std::vector<Opening>& openings, std::string* error);

}  // namespace xq::host
