// The moves an engine writes, read against the position it was given: its rank numbering turned
// into ICCS (found out from its first moves when not set), and every move checked by the rules
// before the program believes it.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "host/engineclient.h"
#include "rules/board.h"

namespace xq::host {

// ICCS "h2e2" as an engine numbering its ranks so writes it (FromOne: "h3e3"). Auto is ICCS.
std::string ToEngineMove(std::string_view iccs, Ranks ranks);
// The squares of a move text "a0".."i10" read with `ranks` (Auto reads as ICCS); false when the
// text is no move of that numbering.
bool ReadEngineSquares(std::string_view text, Ranks ranks, Square* from, Square* to);

// FEN in the letters XBoard and its engines use for Xiangqi: the Knight h, the Bishop e.
std::string ToXboardFen(std::string_view fen);

enum class MoveVerdict { Legal, Illegal, Malformed };

// The position an engine was given and the numbering of its ranks.
class EngineMoves {
  public:
    EngineMoves();

    // The game from `fen` (empty: the opening array) and the ICCS moves since. False with the
    // reason when the FEN is bad or a move is not legal; the position is then unchanged.
    bool SetPosition(std::string_view fen, const std::vector<std::string>& moves,
                     std::string* error);
    // The position after the moves, as FEN; the FEN given, and the moves given.
    std::string CurrentFen() const;
    const std::string& StartFen() const { return startFen_; }
    const std::vector<std::string>& Moves() const { return moves_; }
    Side SideToMove() const { return current_.sideToMove; }

    Ranks GetRanks() const { return ranks_; }
    void SetRanks(Ranks ranks) { ranks_ = ranks; }
    // The text of an ICCS move for the engine; with the ranks still unknown, ICCS.
    std::string EngineText(std::string_view iccs) const { return ToEngineMove(iccs, ranks_); }

    // The engine's move in the current position: Legal with its ICCS text, Illegal (a move the
    // rules refuse, or a square off the board), or Malformed (no move at all). With Auto ranks a
    // rank 0 or 10, or a move legal in one reading only, settles the numbering.
    MoveVerdict ReadMove(std::string_view text, std::string* iccs);
    // The same for a move after `first` (a legal ICCS move here): the reply it expects.
    MoveVerdict ReadReply(std::string_view first, std::string_view text, std::string* iccs);
    // The longest legal start of a line of engine moves, as ICCS; words that are no move end it.
    std::vector<std::string> ReadLine(const std::vector<std::string_view>& words);

  private:
    MoveVerdict ReadIn(Position& position, std::string_view text, std::string* iccs);

    Position start_{};
    Position current_{};
    std::string startFen_;
    std::vector<std::string> moves_;
    Ranks ranks_ = Ranks::Auto;
};

}  // namespace xq::host
