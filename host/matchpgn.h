// A match game as PGN, written from what the runner kept (the opening, the ICCS moves, the
// result and its reason) without the program's one position, so that game threads may call it.
#pragma once

#include <ctime>
#include <string>

#include "host/match.h"

namespace xq::host {

// The PGN Termination tag of an end: "normal", "time forfeit", "adjudication",
// "rules infraction", "abandoned" or "unterminated".
std::string_view TerminationTag(GameEnd end);

// "2026.12.08" for `when` in UTC.
std::string PgnDate(std::time_t when);

// The game's tags (Event, Site, Date, Round, Red, Black, Result, FEN and SetUp when it did not
// start from the opening array, TimeControl, Termination), its moves numbered from the start's
// side to move, the reason as a comment before the result, and a blank line after it.
std::string FormatMatchGame(const GameRecordOut& game, const MatchSettings& settings,
                            const std::string& date);

}  // namespace xq::host
