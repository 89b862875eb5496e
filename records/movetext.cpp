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

// Where a move starts, as a player names it: a file, or a place among like pieces on one file
// (Ordinal: the n-th from the front, as 一兵…五兵 count four or five Pawns). WXF's single sign
// (R+, P-) names the front or rear of two or three, but the second from the front or rear of
// four or five Pawns, whose outermost take two signs (++, --).
enum class Place { ByFile, Front, Middle, Rear, Ordinal, SignFront, SignRear };

// A move as the two written notations describe it.
struct Description {
    PieceKind kind = Empty;
    Place place = Place::ByFile;
    int file = 0;     // 1..9 from the mover's right hand; with a place, 0 when not written
    int ordinal = 0;  // 1..5 from the front, with Place::Ordinal
    Direction direction = Direction::Forward;
    int target = 0;  // the file or the number of ranks, as TargetNumber counts it
};

Direction DirectionOf(Side side, const MoveRecord& move) {
    const int from = RankOf(move.from);
    const int to = RankOf(move.to);
    if (to == from) return Direction::Sideways;
    return (side == Red ? to > from : to < from) ? Direction::Forward : Direction::Backward;
}

// The pieces of `kind` and `side` on the board file `file` of `cells`, front first (nearest the
// other side).
std::vector<Square> LikePiecesOnFile(PieceKind kind, int file, Side side, const Board& cells) {
    std::vector<Square> squares;
    for (int rank = 0; rank < kRanks; ++rank) {
        const Square s = MakeSquare(rank, file);
        if (cells[s].kind == kind && cells[s].side == side) squares.push_back(s);
    }
    if (side == Red) std::reverse(squares.begin(), squares.end());
    return squares;
}

// The pieces of the mover's kind on the origin's file, front first.
std::vector<Square> LikePiecesOnFile(const MoveRecord& move, Side side, const Board& cells) {
    return LikePiecesOnFile(move.piece, FileOf(move.from), side, cells);
}

// The Pawns that 一兵…五兵 count: where two or more files each hold two or more of the mover's
// Pawns, all of those, the files taken from the mover's right to left, each front to back;
// otherwise the ones on the moved Pawn's file.
std::vector<Square> NumberedPawns(const MoveRecord& move, Side side, const Board& cells) {
    std::vector<Square> numbered;
    int doubledFiles = 0;
    for (int number = 1; number <= kFiles; ++number) {
        const int file = side == Red ? kFiles - number : number - 1;
        const std::vector<Square> pawns = LikePiecesOnFile(Pawn, file, side, cells);
        if (pawns.size() < 2) continue;
        ++doubledFiles;
        numbered.insert(numbered.end(), pawns.begin(), pawns.end());
    }
    return doubledFiles >= 2 ? numbered : LikePiecesOnFile(move, side, cells);
}

bool OriginMatches(const Description& text, const MoveRecord& move, Side side) {
    if (text.file != 0 && text.file != FileNumber(side, move.from)) return false;
    if (text.place == Place::ByFile) return true;
    const std::vector<Square> like = text.place == Place::Ordinal
                                         ? NumberedPawns(move, side, board)
                                         : LikePiecesOnFile(move, side, board);
    const auto at = std::find(like.begin(), like.end(), move.from);
    const long index = at - like.begin();
    const long count = static_cast<long>(like.size());
    if (count < 2) return false;
    switch (text.place) {
        case Place::Front:
            return index == 0;
        case Place::Rear:
            return index == count - 1;
        case Place::Ordinal:
            return index == text.ordinal - 1;
        case Place::SignFront:
            return index == (count >= 4 ? 1 : 0);
        case Place::SignRear:
            return index == (count >= 4 ? count - 2 : count - 1);
        default:
            return (count == 3 || count == 5) && index == count / 2;
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
    const MoveRecord legal = FindLegalMove(from, to);
    if (legal.piece == Empty) {
        *result = MoveTextResult::Illegal;
    } else {
        *move = legal;
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

bool IsWxfSign(char c) {
    return c == '+' || c == '-';
}

// The origin of a WXF text, its first two characters: a piece letter and its file ("C2"), or for
// like pieces on one file the letter and + or - in the file's stead ("R+", also "+R"); ++ and --
// for the foremost and rearmost of four or five Pawns; where two files hold several Pawns, the
// Pawn's file and a sign, or the file twice for the middle one ("3+", "33").
bool ReadWxfOrigin(char first, char second, Description* out) {
    if (IsWxfSign(first) && second == first) {
        out->kind = Pawn;
        out->place = first == '+' ? Place::Front : Place::Rear;
        return true;
    }
    if (IsDigit1To9(first)) {
        out->kind = Pawn;
        out->file = first - '0';
        if (second == first) {
            out->place = Place::Middle;
            return true;
        }
        if (!IsWxfSign(second)) return false;
        out->place = second == '+' ? Place::SignFront : Place::SignRear;
        return true;
    }
    if (IsWxfSign(first)) std::swap(first, second);
    out->kind = WxfPiece(first);
    if (out->kind == Empty) return false;
    if (IsDigit1To9(second)) {
        out->file = second - '0';
        return true;
    }
    if (!IsWxfSign(second)) return false;
    out->place = second == '+' ? Place::SignFront : Place::SignRear;
    return true;
}

// WXF: an origin (see above), a direction sign and a number ("C2.5", "H8+7", "R+.3", "C--1").
bool ReadWxfText(std::string_view text, Description* out) {
    if (text.size() != 4 || !IsDigit1To9(text[3]) || !WxfDirection(text[2], &out->direction))
        return false;
    out->target = text[3] - '0';
    return ReadWxfOrigin(text[0], text[1], out);
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
        // A character has one encoding: a longer form than needed (0xC0 0xB2 for '2') would let
        // a text pass for another.
        const char32_t least = length == 1 ? 0 : length == 2 ? 0x80 : 0x800;
        if (c < least) return false;
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

// The origin of a Chinese text, the characters before the direction: piece and file ("炮二"),
// place and piece ("前车", "中兵", or the ordinal "二兵" among four or five Pawns), place and file
// for Pawns where two files hold several ("前七"), or place, piece and file ("前兵七").
bool ReadChineseOrigin(const std::vector<char32_t>& c, Description* out) {
    const size_t length = c.size() - 2;
    if (length == 3) {
        if (!ChinesePlace(c[0], &out->place)) return false;
        out->kind = ChinesePiece(c[1]);
        out->file = ChineseNumber(c[2]);
        return out->file != 0 && out->kind == Pawn;
    }
    if (ChinesePlace(c[0], &out->place)) {
        out->kind = ChinesePiece(c[1]);
        if (out->kind != Empty) return true;
        out->kind = Pawn;
        out->file = ChineseNumber(c[1]);
        return out->file != 0;
    }
    const int ordinal = ChineseNumber(c[0]);
    if (ordinal >= 1 && ordinal <= 5 && ChinesePiece(c[1]) == Pawn) {
        out->place = Place::Ordinal;
        out->ordinal = ordinal;
        out->kind = Pawn;
        return true;
    }
    out->kind = ChinesePiece(c[0]);
    out->file = ChineseNumber(c[1]);
    return out->file != 0 && out->kind != Empty;
}

// Chinese: an origin (see above), a direction and a number ("炮二平五", "前车进一").
bool ReadChineseText(std::string_view text, Description* out) {
    std::vector<char32_t> c;
    if (!DecodeUtf8(text, &c) || (c.size() != 4 && c.size() != 5)) return false;
    if (!ChineseDirection(c[c.size() - 2], &out->direction)) return false;
    out->target = ChineseNumber(c.back());
    return out->target != 0 && ReadChineseOrigin(c, out);
}

// A move in SAN: the piece's letter (none for a Pawn), where it comes from as far as needed, and
// the point it goes to ("Che3", "Nbxa4", "Rih10", "exd6").
struct SanText {
    PieceKind kind = Empty;
    int fromFile = -1;  // -1: not written
    int fromRank = -1;
    Square to = 0;
};

std::string_view WithoutCheckSign(std::string_view text) {
    while (!text.empty() && (text.back() == '+' || text.back() == '#'))
        text.remove_suffix(1);
    return text;
}

bool IsFileLetter(char c) {
    return c >= 'a' && c <= 'i';
}

// Takes a rank from the end of `text`: "10" (ranks from one only) or one digit. -1 when none.
int TakeRank(std::string_view* text, SanRanks ranks) {
    if (ranks == SanRanks::FromOne && text->ends_with("10")) {
        text->remove_suffix(2);
        return 9;
    }
    if (text->empty() || !std::isdigit(static_cast<unsigned char>(text->back()))) return -1;
    const int number = text->back() - '0';
    const int rank = ranks == SanRanks::FromOne ? number - 1 : number;
    if (rank < 0) return -1;
    text->remove_suffix(1);
    return rank;
}

bool ParseSan(std::string_view text, SanRanks ranks, SanText* out) {
    text = WithoutCheckSign(text);
    if (text.empty()) return false;
    if (IsFileLetter(text[0])) {
        out->kind = Pawn;
    } else {
        out->kind = WxfPiece(text[0]);
        if (out->kind == Empty || std::islower(static_cast<unsigned char>(text[0]))) return false;
        text.remove_prefix(1);
    }
    const int toRank = TakeRank(&text, ranks);
    if (toRank < 0 || text.empty() || !IsFileLetter(text.back())) return false;
    out->to = MakeSquare(toRank, text.back() - 'a');
    text.remove_suffix(1);
    if (!text.empty() && text.back() == 'x') text.remove_suffix(1);
    if (!text.empty() && std::isdigit(static_cast<unsigned char>(text.back()))) {
        out->fromRank = TakeRank(&text, ranks);
        if (out->fromRank < 0) return false;
    }
    if (!text.empty() && IsFileLetter(text.back())) {
        out->fromFile = text.back() - 'a';
        text.remove_suffix(1);
    }
    return text.empty();
}

MoveTextResult FindSan(const SanText& text, MoveRecord* move) {
    int found = 0;
    for (const MoveRecord& legal : LegalMoves()) {
        if (legal.piece != text.kind || legal.to != text.to) continue;
        if (text.fromFile >= 0 && FileOf(legal.from) != text.fromFile) continue;
        if (text.fromRank >= 0 && RankOf(legal.from) != text.fromRank) continue;
        if (++found == 1) *move = legal;
    }
    if (found == 0) return MoveTextResult::Illegal;
    return found == 1 ? MoveTextResult::Found : MoveTextResult::Ambiguous;
}

}  // namespace

namespace {

// WXF writes the middle one of three or five Pawns on a file with its file, as if it stood
// alone there: a Pawn's file that names several of them names that one.
MoveTextResult FindWxfDescribed(Description text, MoveRecord* move) {
    const MoveTextResult result = FindDescribed(text, move);
    if (result != MoveTextResult::Ambiguous || text.kind != Pawn || text.place != Place::ByFile)
        return result;
    text.place = Place::Middle;
    MoveRecord middle = NullMove;
    if (FindDescribed(text, &middle) != MoveTextResult::Found) return result;
    *move = middle;
    return MoveTextResult::Found;
}

MoveTextResult ReadFoldedMoveText(const std::string& text, MoveRecord* move, SanRanks ranks) {
    MoveTextResult result = MoveTextResult::NotAMove;
    if (ReadIccsText(text, move, &result)) return result;
    Description description;
    if (ReadWxfText(text, &description)) return FindWxfDescribed(description, move);
    if (ReadChineseText(text, &description)) return FindDescribed(description, move);
    SanText san;
    if (ParseSan(text, ranks, &san)) return FindSan(san, move);
    return MoveTextResult::NotAMove;
}

}  // namespace

// The readers may fill in a candidate before they find it illegal or ambiguous; the caller's move
// changes only when the text names exactly one legal move.
MoveTextResult ReadMoveText(std::string_view written, MoveRecord* move, SanRanks ranks) {
    MoveRecord found = NullMove;
    const MoveTextResult result = ReadFoldedMoveText(FoldFullWidth(written), &found, ranks);
    if (result == MoveTextResult::Found) *move = found;
    return result;
}

// Chinese input methods type letters and digits full-width; malformed UTF-8 is left as it is, for
// the readers to refuse.
std::string FoldFullWidth(std::string_view text) {
    std::vector<char32_t> c;
    if (!DecodeUtf8(text, &c)) return std::string(text);
    std::string folded;
    for (size_t i = 0, at = 0; i < c.size(); ++i) {
        const size_t length = c[i] < 0x80 ? 1 : c[i] < 0x800 ? 2 : 3;
        if (c[i] >= U'！' && c[i] <= U'～') {
            folded += static_cast<char>(c[i] - U'！' + U'!');
        } else {
            folded += text.substr(at, length);
        }
        at += length;
    }
    return folded;
}

bool IsSanText(std::string_view written, SanRanks* ranks) {
    const std::string text = FoldFullWidth(written);
    MoveTextResult ignored;
    MoveRecord move;
    Description description;
    if (ReadIccsText(text, &move, &ignored) || ReadWxfText(text, &description)) return false;
    SanText san;
    const bool fromOne = ParseSan(text, SanRanks::FromOne, &san);
    const bool fromZero = ParseSan(text, SanRanks::FromZero, &san);
    // Only one reading takes "h10" (from one) or "h0" (from zero).
    if (fromOne != fromZero) *ranks = fromOne ? SanRanks::FromOne : SanRanks::FromZero;
    return fromOne || fromZero;
}

namespace {

// The name of the index-th of `count` like pieces on one file, front first: 前/后 for two, 前/中/后
// for three Pawns, 前/二/三/四/后 for four or five.
const char* PlaceName(long index, long count) {
    static constexpr const char* kOrdinals[] = {"", "二", "三", "四"};
    if (index == 0) return "前";
    if (index == count - 1) return "后";
    return count == 3 ? "中" : kOrdinals[index];
}

// Whether a file other than the origin's holds two or more of the mover's Pawns.
bool PawnsDoubledElsewhere(const MoveRecord& move, Side side, const Board& cells) {
    for (int file = 0; file < kFiles; ++file) {
        if (file == FileOf(move.from)) continue;
        int pawns = 0;
        for (int rank = 0; rank < kRanks; ++rank) {
            const BoardCell& piece = cells[MakeSquare(rank, file)];
            if (piece.kind == Pawn && piece.side == side) ++pawns;
        }
        if (pawns >= 2) return true;
    }
    return false;
}

}  // namespace

std::string ChineseMoveText(const MoveRecord& move) {
    return ChineseMoveText(move, sideToMove, board);
}

std::string ChineseMoveText(const MoveRecord& move, Side side, const Board& cells) {
    const std::string text = FormatMove(move, side);
    // Advisors and Elephants on one file always go opposite ways, so the direction tells them
    // apart and the notation keeps their file; the King is alone.
    if (move.piece == Assist || move.piece == Bishop || move.piece == King) return text;
    const std::vector<Square> like = LikePiecesOnFile(move, side, cells);
    if (like.size() < 2) return text;
    const long index = std::find(like.begin(), like.end(), move.from) - like.begin();
    const std::string place = PlaceName(index, static_cast<long>(like.size()));
    // Each character of the four is three bytes: piece, file, direction, number. The place takes
    // the file's room; where another file also holds several Pawns, "前兵" would not say which
    // file, so the file takes the piece's room instead ("前七平六", "前７平６").
    if (move.piece == Pawn && PawnsDoubledElsewhere(move, side, cells))
        return place + text.substr(3);
    return place + text.substr(0, 3) + text.substr(6);
}

namespace {

// Indexed by PieceKind; kind 0 is never looked up.
constexpr char kWxfLetters[8] = {' ', 'K', 'R', 'C', 'H', 'A', 'E', 'P'};

// What WXF writes in the file's stead for the index-th of `count` like pieces on one file, front
// first: + and - for the front and rear of two or three; ++, +, -, -- for four, and for five
// around the middle one. Empty for the middle one of three or five, which keeps its file.
std::string TandemSign(long index, long count) {
    if (count >= 4) {
        if (index == 0) return "++";
        if (index == count - 1) return "--";
        if (index == 1) return "+";
        if (index == count - 2) return "-";
        return "";
    }
    if (index == 0) return "+";
    if (index == count - 1) return "-";
    return "";
}

}  // namespace

// The WXF's own description of its notation ("Official Xiangqi piece names and notation",
// www.wxf.org/xq/computer/wxf_notation.html, "Tandem Positions"): the digit of the file is
// replaced by + for the front piece and - for the rear one (車前平三 R+.3, 炮後退一 C--1).
std::string WxfMoveText(const MoveRecord& move, Side side, const Board& cells) {
    if (move.piece == Empty) return kEmptyMoveText;
    // 1. The piece, its file, the direction and the number.
    const char letter = kWxfLetters[move.piece];
    const char file = static_cast<char>('0' + FileNumber(side, move.from));
    const Direction direction = DirectionOf(side, move);
    const char sign = direction == Direction::Forward    ? '+'
                      : direction == Direction::Backward ? '-'
                                                         : '.';
    const std::string rest = {sign, static_cast<char>('0' + TargetNumber(side, move))};
    // 2. Alone on its file (Advisors and Elephants are told apart by their direction, as in
    // Chinese): the file.
    const std::vector<Square> like = LikePiecesOnFile(move, side, cells);
    if (move.piece == Assist || move.piece == Bishop || move.piece == King || like.size() < 2)
        return std::string{letter, file} + rest;
    // 3. Its place among the like pieces, in the file's stead; the middle one keeps its file.
    const long index = std::find(like.begin(), like.end(), move.from) - like.begin();
    const std::string place = TandemSign(index, static_cast<long>(like.size()));
    // 4. Where another file holds several Pawns too, the file leads and the letter goes (3+.4,
    // 33.4 for the middle one).
    if (move.piece == Pawn && PawnsDoubledElsewhere(move, side, cells))
        return std::string{file} + (place.empty() ? std::string{file} : place) + rest;
    if (place.size() == 2) return place + rest;  // ++ and --: the letter goes
    return std::string{letter} + (place.empty() ? std::string{file} : place) + rest;
}

std::string ShownMoveText(const MoveRecord& move, Side side, const Board& cells) {
    if (shownMoveStyle == MoveStyle::Wxf) return WxfMoveText(move, side, cells);
    return StyledMoveText(ChineseMoveText(move, side, cells), side, shownMoveStyle);
}

}  // namespace xq
