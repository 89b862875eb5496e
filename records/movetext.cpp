#include "records/movetext.h"

#include <algorithm>
#include <cctype>
#include <vector>

#include "records/notation.h"
#include "rules/board.h"
#include "rules/fen.h"
#include "rules/legality.h"
#include "rules/movegen.h"

namespace xq {

namespace {

enum class Direction { Forward, Backward, Sideways };

// Where a move starts, as a player names it: a file, or a place among like pieces on one file.
enum class Place { ByFile, Front, Middle, Rear };

// A move as the two written notations describe it.
struct Description {
    PieceKind kind = Empty;
    Place place = Place::ByFile;
    int file = 0;  // 1..9 from the mover's right hand, with Place::ByFile
    Direction direction = Direction::Forward;
    int target = 0;  // the file or the number of ranks, as TargetNumber counts it
};

Direction DirectionOf(Side side, const MoveRecord& move) {
    const int from = RankOf(move.from);
    const int to = RankOf(move.to);
    if (to == from) return Direction::Sideways;
    return (side == Red ? to > from : to < from) ? Direction::Forward : Direction::Backward;
}

// The pieces of the mover's kind on the origin's file, front first (nearest the other side).
std::vector<Square> LikePiecesOnFile(const MoveRecord& move, Side side) {
    std::vector<Square> squares;
    for (int rank = 0; rank < kRanks; ++rank) {
        const Square s = MakeSquare(rank, FileOf(move.from));
        if (board[s].kind == move.piece && board[s].side == side) squares.push_back(s);
    }
    if (side == Red) std::reverse(squares.begin(), squares.end());
    return squares;
}

bool OriginMatches(const Description& text, const MoveRecord& move, Side side) {
    if (text.place == Place::ByFile) return text.file == FileNumber(side, move.from);
    const std::vector<Square> like = LikePiecesOnFile(move, side);
    const auto at = std::find(like.begin(), like.end(), move.from);
    const long index = at - like.begin();
    const long count = static_cast<long>(like.size());
    if (count < 2) return false;
    switch (text.place) {
        case Place::Front:
            return index == 0;
        case Place::Rear:
            return index == count - 1;
        default:
            return count == 3 && index == 1;
    }
}

bool Matches(const Description& text, const MoveRecord& move) {
    const Side side = sideToMove;
    return text.kind == move.piece && text.direction == DirectionOf(side, move) &&
           text.target == TargetNumber(side, move) && OriginMatches(text, move, side);
}

// The one legal move `text` describes.
MoveTextResult FindDescribed(const Description& text, MoveRecord* move) {
    int found = 0;
    for (const MoveRecord& legal : LegalMoves()) {
        if (!Matches(text, legal)) continue;
        if (++found == 1) *move = legal;
    }
    if (found == 0) return MoveTextResult::Illegal;
    return found == 1 ? MoveTextResult::Found : MoveTextResult::Ambiguous;
}

// ICCS: "h2e2", "H2-E2".
bool ReadIccsText(std::string_view text, MoveRecord* move, MoveTextResult* result) {
    std::string plain;
    for (char c : text) {
        if (c != '-') plain += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    Square from = 0;
    Square to = 0;
    if (plain.size() != 4 || !ParseIccs(plain, &from, &to)) return false;
    const MoveRecord generated = FindGeneratedMove(from, to);
    if (generated.piece == Empty || LeavesKingAttacked(generated)) {
        *result = MoveTextResult::Illegal;
    } else {
        *move = generated;
        *result = MoveTextResult::Found;
    }
    return true;
}

PieceKind WxfPiece(char letter) {
    switch (std::toupper(static_cast<unsigned char>(letter))) {
        case 'K':
            return King;
        case 'A':
            return Assist;
        case 'B':
        case 'E':
            return Bishop;
        case 'N':
        case 'H':
            return Knight;
        case 'R':
            return Rook;
        case 'C':
            return Gunner;
        case 'P':
            return Pawn;
        default:
            return Empty;
    }
}

bool WxfDirection(char sign, Direction* direction) {
    switch (sign) {
        case '+':
            *direction = Direction::Forward;
            return true;
        case '-':
            *direction = Direction::Backward;
            return true;
        case '.':
        case '=':
            *direction = Direction::Sideways;
            return true;
        default:
            return false;
    }
}

bool IsDigit1To9(char c) {
    return c >= '1' && c <= '9';
}

// WXF: piece letter, file, direction sign, number ("C2.5", "H8+7"), or with the front/rear sign
// in place of the file, before or after the letter ("+R.4", "R-+1", "-P+1").
bool ReadWxfText(std::string_view text, Description* out) {
    if (text.size() != 4 || !IsDigit1To9(text[3]) || !WxfDirection(text[2], &out->direction))
        return false;
    out->target = text[3] - '0';
    char letter = text[0];
    char origin = text[1];
    if (text[0] == '+' || text[0] == '-') std::swap(letter, origin);
    out->kind = WxfPiece(letter);
    if (out->kind == Empty) return false;
    if (IsDigit1To9(origin)) {
        out->file = origin - '0';
    } else if (origin == '+' || origin == '-') {
        out->place = origin == '+' ? Place::Front : Place::Rear;
    } else {
        return false;
    }
    return true;
}

// The code points of a UTF-8 text; false for malformed text.
bool DecodeUtf8(std::string_view text, std::vector<char32_t>* out) {
    for (size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const int length = lead < 0x80 ? 1 : (lead >> 5) == 6 ? 2 : (lead >> 4) == 14 ? 3 : 0;
        if (length == 0 || i + length > text.size()) return false;
        char32_t c = length == 1 ? lead : length == 2 ? lead & 0x1F : lead & 0x0F;
        for (int k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            if ((next & 0xC0) != 0x80) return false;
            c = (c << 6) | (next & 0x3F);
        }
        out->push_back(c);
        i += static_cast<size_t>(length);
    }
    return true;
}

PieceKind ChinesePiece(char32_t c) {
    switch (c) {
        case U'帅':
        case U'帥':
        case U'将':
        case U'將':
            return King;
        case U'车':
        case U'車':
        case U'俥':
            return Rook;
        case U'炮':
        case U'砲':
        case U'包':
            return Gunner;
        case U'马':
        case U'馬':
        case U'傌':
            return Knight;
        case U'仕':
        case U'士':
            return Assist;
        case U'相':
        case U'象':
            return Bishop;
        case U'兵':
        case U'卒':
            return Pawn;
        default:
            return Empty;
    }
}

// 1..9 for the numerals of either side (一..九, full-width and plain digits); 0 otherwise.
int ChineseNumber(char32_t c) {
    static constexpr char32_t kRed[] = U"一二三四五六七八九";
    for (int n = 0; n < 9; ++n) {
        if (c == kRed[n]) return n + 1;
    }
    if (c >= U'１' && c <= U'９') return static_cast<int>(c - U'１') + 1;
    if (c >= U'1' && c <= U'9') return static_cast<int>(c - U'1') + 1;
    return 0;
}

bool ChineseDirection(char32_t c, Direction* direction) {
    switch (c) {
        case U'进':
        case U'進':
            *direction = Direction::Forward;
            return true;
        case U'退':
            *direction = Direction::Backward;
            return true;
        case U'平':
            *direction = Direction::Sideways;
            return true;
        default:
            return false;
    }
}

bool ChinesePlace(char32_t c, Place* place) {
    switch (c) {
        case U'前':
            *place = Place::Front;
            return true;
        case U'中':
            *place = Place::Middle;
            return true;
        case U'后':
        case U'後':
            *place = Place::Rear;
            return true;
        default:
            return false;
    }
}

// Chinese: piece, file, direction, number ("炮二平五"), or place, piece, direction, number
// ("前车进一").
bool ReadChineseText(std::string_view text, Description* out) {
    std::vector<char32_t> c;
    if (!DecodeUtf8(text, &c) || c.size() != 4) return false;
    if (!ChineseDirection(c[2], &out->direction)) return false;
    out->target = ChineseNumber(c[3]);
    if (out->target == 0) return false;
    if (ChinesePlace(c[0], &out->place)) {
        out->kind = ChinesePiece(c[1]);
    } else {
        out->kind = ChinesePiece(c[0]);
        out->file = ChineseNumber(c[1]);
        if (out->file == 0) return false;
    }
    return out->kind != Empty;
}

}  // namespace

MoveTextResult ReadMoveText(std::string_view text, MoveRecord* move) {
    MoveTextResult result = MoveTextResult::NotAMove;
    if (ReadIccsText(text, move, &result)) return result;
    Description description;
    if (ReadWxfText(text, &description) || ReadChineseText(text, &description))
        return FindDescribed(description, move);
    return MoveTextResult::NotAMove;
}

std::string ChineseMoveText(const MoveRecord& move) {
    const Side side = sideToMove;
    const std::string text = FormatMove(move, side);
    Description own;
    own.kind = move.piece;
    own.file = FileNumber(side, move.from);
    own.direction = DirectionOf(side, move);
    own.target = TargetNumber(side, move);
    MoveRecord found;
    if (FindDescribed(own, &found) != MoveTextResult::Ambiguous) return text;
    // Two or three like pieces on one file: the front, middle or rear one.
    const std::vector<Square> like = LikePiecesOnFile(move, side);
    const long index = std::find(like.begin(), like.end(), move.from) - like.begin();
    const char* place = index == 0                                    ? "前"
                        : index + 1 == static_cast<long>(like.size()) ? "后"
                                                                      : "中";
    // The piece's name is the first of the four characters, each three bytes long.
    return place + text.substr(0, 3) + text.substr(6);
}

}  // namespace xq
