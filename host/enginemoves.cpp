#include "host/enginemoves.h"

#include "rules/fen.h"
#include "rules/legality.h"
#include "rules/makemove.h"

namespace xq::host {

namespace {

// "a0".."i10": a file letter and a rank of one or two digits; the length it took, 0 when none.
size_t ReadSquare(std::string_view text, int* file, int* rank) {
    if (text.size() < 2 || text[0] < 'a' || text[0] > 'i') return 0;
    if (text[1] < '0' || text[1] > '9') return 0;
    *file = text[0] - 'a';
    *rank = text[1] - '0';
    if (text.size() > 2 && text[1] == '1' && text[2] == '0') {
        *rank = 10;
        return 3;
    }
    return 2;
}

struct RawMove {
    int fromFile, fromRank, toFile, toRank;
};

bool ReadRaw(std::string_view text, RawMove* move) {
    const size_t first = ReadSquare(text, &move->fromFile, &move->fromRank);
    if (first == 0) return false;
    const size_t second = ReadSquare(text.substr(first), &move->toFile, &move->toRank);
    return second != 0 && first + second == text.size();
}

bool ToSquares(const RawMove& move, Ranks ranks, Square* from, Square* to) {
    const int shift = ranks == Ranks::FromOne ? 1 : 0;
    const int fromRank = move.fromRank - shift;
    const int toRank = move.toRank - shift;
    if (fromRank < 0 || fromRank >= kRanks || toRank < 0 || toRank >= kRanks) return false;
    *from = MakeSquare(fromRank, move.fromFile);
    *to = MakeSquare(toRank, move.toFile);
    return true;
}

MoveRecord LegalIn(Position& position, const RawMove& raw, Ranks ranks) {
    Square from = 0;
    Square to = 0;
    if (!ToSquares(raw, ranks, &from, &to)) return NullMove;
    return FindLegalMove(position, from, to);
}

void Play(Position& position, const MoveRecord& move) {
    MakeMove(position, move, false);
    SwapSides(position);
}

}  // namespace

std::string ToEngineMove(std::string_view iccs, Ranks ranks) {
    if (ranks != Ranks::FromOne || iccs.size() != 4) return std::string(iccs);
    std::string text;
    text += iccs[0];
    text += std::to_string(iccs[1] - '0' + 1);
    text += iccs[2];
    text += std::to_string(iccs[3] - '0' + 1);
    return text;
}

bool ReadEngineSquares(std::string_view text, Ranks ranks, Square* from, Square* to) {
    RawMove raw{};
    return ReadRaw(text, &raw) && ToSquares(raw, ranks, from, to);
}

std::string ToXboardFen(std::string_view fen) {
    std::string text(fen);
    const size_t board = text.find(' ');
    for (size_t i = 0; i < std::min(board, text.size()); ++i) {
        switch (text[i]) {
            case 'n':
                text[i] = 'h';
                break;
            case 'N':
                text[i] = 'H';
                break;
            case 'b':
                text[i] = 'e';
                break;
            case 'B':
                text[i] = 'E';
                break;
            default:
                break;
        }
    }
    return text;
}

EngineMoves::EngineMoves() {
    std::string ignored;
    SetPosition("", {}, &ignored);
}

bool EngineMoves::SetPosition(std::string_view fen, const std::vector<std::string>& moves,
                              std::string* error) {
    Position position{};
    if (!ReadFen(position, fen.empty() ? kStartFen : fen, error)) return false;
    const Position start = position;
    for (const std::string& text : moves) {
        Square from = 0;
        Square to = 0;
        const MoveRecord move =
            ParseIccs(text, &from, &to) ? FindLegalMove(position, from, to) : NullMove;
        if (move.piece == Empty) {
            *error = text;
            return false;
        }
        Play(position, move);
    }
    start_ = start;
    current_ = position;
    startFen_ = std::string(fen);
    moves_ = moves;
    return true;
}

std::string EngineMoves::CurrentFen() const {
    return WriteFen(current_);
}

MoveVerdict EngineMoves::ReadIn(Position& position, std::string_view text, std::string* iccs) {
    RawMove raw{};
    if (!ReadRaw(text, &raw)) return MoveVerdict::Malformed;
    MoveRecord move = NullMove;
    if (ranks_ != Ranks::Auto) {
        move = LegalIn(position, raw, ranks_);
    } else {
        // Step 1. A rank 0 or 10 can be read one way only.
        const bool zero = raw.fromRank == 0 || raw.toRank == 0;
        const bool ten = raw.fromRank == 10 || raw.toRank == 10;
        const MoveRecord asZero = ten ? NullMove : LegalIn(position, raw, Ranks::FromZero);
        const MoveRecord asOne = zero ? NullMove : LegalIn(position, raw, Ranks::FromOne);
        // Step 2. Legal in one reading only: that is how the engine counts. Legal in both: ICCS
        // until a later move tells.
        if (asZero.piece != Empty) {
            move = asZero;
            if (asOne.piece == Empty) ranks_ = Ranks::FromZero;
        } else if (asOne.piece != Empty) {
            move = asOne;
            ranks_ = Ranks::FromOne;
        }
    }
    if (move.piece == Empty) return MoveVerdict::Illegal;
    *iccs = FormatIccs(move);
    Play(position, move);
    return MoveVerdict::Legal;
}

MoveVerdict EngineMoves::ReadMove(std::string_view text, std::string* iccs) {
    Position position = current_;
    return ReadIn(position, text, iccs);
}

MoveVerdict EngineMoves::ReadReply(std::string_view first, std::string_view text,
                                   std::string* iccs) {
    Position position = current_;
    Square from = 0;
    Square to = 0;
    const MoveRecord move =
        ParseIccs(first, &from, &to) ? FindLegalMove(position, from, to) : NullMove;
    if (move.piece == Empty) return MoveVerdict::Illegal;
    Play(position, move);
    return ReadIn(position, text, iccs);
}

std::vector<std::string> EngineMoves::ReadLine(const std::vector<std::string_view>& words) {
    std::vector<std::string> line;
    Position position = current_;
    for (std::string_view word : words) {
        std::string iccs;
        if (ReadIn(position, word, &iccs) != MoveVerdict::Legal) break;
        line.push_back(std::move(iccs));
    }
    return line;
}

}  // namespace xq::host
