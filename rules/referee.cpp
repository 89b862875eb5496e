#include "rules/referee.h"

#include <algorithm>

#include "rules/fen.h"
#include "rules/legality.h"
#include "rules/makemove.h"
#include "rules/movegen.h"

namespace xq {

Ruling CheckRepetitionRule::Judge(const RefereeLine& line) const {
    const uint64_t current = line.keys.back();
    const size_t first = static_cast<size_t>(
        std::find(line.keys.begin(), line.keys.end(), current) - line.keys.begin());
    // The move of ply p + 1 gave check when the position after it has its side to move in check.
    bool gaveCheck[2] = {true, true};
    for (size_t ply = first; ply + 1 < line.keys.size(); ++ply) {
        if (!line.inCheck[ply + 1]) gaveCheck[line.movers[ply]] = false;
    }
    if (gaveCheck[Red] && !gaveCheck[Black]) return {Verdict::PerpetualCheck, Black};
    if (gaveCheck[Black] && !gaveCheck[Red]) return {Verdict::PerpetualCheck, Red};
    return {Verdict::Repetition, -1};
}

bool NoAttackersLeft(const Position& position) {
    for (const PieceList& list : position.pieceList) {
        for (int i = 0; i <= list.lastIndex; ++i) {
            const PieceKind kind = list.entry[i].kind;
            if (kind == Rook || kind == Knight || kind == Gunner || kind == Pawn) return false;
        }
    }
    return true;
}

Referee::Referee(int maxPlies, std::unique_ptr<RepetitionRule> rule)
    : maxPlies_(maxPlies), rule_(rule ? std::move(rule) : std::make_unique<CheckRepetitionRule>()) {
    std::string error;
    Start("", &error);
}

bool Referee::Start(std::string_view fen, std::string* error) {
    Position position{};
    if (!ReadFen(position, fen.empty() ? kStartFen : fen, error)) return false;
    // The side that has just moved may not stand in check (its King could be taken).
    Position swapped = position;
    SwapSides(swapped);
    if (InCheck(swapped)) {
        *error = "the side not to move is in check";
        return false;
    }
    position_ = position;
    line_ = RefereeLine{};
    line_.start = position_;
    Record();
    return true;
}

// Appends the position as it stands to the line.
void Referee::Record() {
    line_.keys.push_back(PositionKey(position_));
    line_.inCheck.push_back(InCheck(position_));
}

bool Referee::Play(std::string_view iccs, Ruling* ruling) {
    Square from = 0;
    Square to = 0;
    if (!ParseIccs(iccs, &from, &to)) return false;
    const MoveRecord move = FindLegalMove(position_, from, to);
    if (move.piece == Empty) return false;
    line_.moves.push_back(move);
    line_.movers.push_back(position_.sideToMove);
    MakeMove(position_, move, false);
    SwapSides(position_);
    Record();
    *ruling = Judge();
    return true;
}

Ruling Referee::Judge() {
    MoveList list;
    GenerateLegalMoves(position_, list);
    if (list.moveCount == 0)
        return {line_.inCheck.back() ? Verdict::Mate : Verdict::Stalemate,
                Opponent(position_.sideToMove)};
    if (std::count(line_.keys.begin(), line_.keys.end(), line_.keys.back()) >= 3)
        return rule_->Judge(line_);
    if (maxPlies_ > 0 && Plies() >= maxPlies_) return {Verdict::MoveLimit, -1};
    if (NoAttackersLeft(position_)) return {Verdict::NoAttackers, -1};
    return {};
}

std::string Referee::Fen() const {
    return WriteFen(position_);
}

std::vector<std::string> Referee::LegalMoves() {
    MoveList list;
    GenerateLegalMoves(position_, list);
    std::vector<std::string> moves;
    for (int i = 1; i <= list.moveCount; ++i)
        moves.push_back(FormatIccs(list.slot[i]));
    return moves;
}

}  // namespace xq
