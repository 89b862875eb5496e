#include "records/pgn.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "engine/analysis.h"
#include "engine/master/engine.h"
#include "platform/encoding.h"
#include "records/gametags.h"
#include "records/movetext.h"
#include "rules/board.h"
#include "rules/fen.h"
#include "rules/legality.h"
#include "rules/makemove.h"
#include "rules/positionkeeper.h"
#include "rules/record.h"
#include "rules/setupcheck.h"

namespace xq {

namespace {

constexpr size_t kLineWidth = 80;

void Play(const MoveRecord& move) {
    MakeMove(gamePosition, move, false);
    SwapSides();
}

bool IsResult(std::string_view token) {
    return token == "1-0" || token == "0-1" || token == "1/2-1/2" || token == "*";
}

std::string Today() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char text[16];
    std::strftime(text, sizeof text, "%Y.%m.%d", &local);
    return text;
}

// ICCS as XBoard and the Xiangqi libraries read it: "h2e2" (XBoard refuses "H2-E2").
std::string IccsText(const MoveRecord& move) {
    return FormatIccs(move);
}

std::string MoveText(const MoveRecord& move, PgnNotation notation) {
    return notation == PgnNotation::Iccs ? IccsText(move) : ChineseMoveText(move);
}

// Columns on a terminal: a Chinese character takes two.
size_t Width(const std::string& word) {
    size_t width = 0;
    for (char c : word) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x80) ++width;
        if (byte >= 0xC0) width += 2;
    }
    return width;
}

// Appends `word` to the move text, breaking lines before kLineWidth columns.
void AppendWord(std::string* text, size_t* lineLength, const std::string& word) {
    const size_t width = Width(word);
    if (*lineLength > 0 && *lineLength + 1 + width > kLineWidth) {
        *text += '\n';
        *lineLength = 0;
    } else if (*lineLength > 0) {
        *text += ' ';
        ++*lineLength;
    }
    *text += word;
    *lineLength += width;
}

// The reader's view of the text: one token or tag at a time, comments and variations skipped.
class PgnScanner {
  public:
    explicit PgnScanner(std::string_view text) : text_(text) {}

    enum class Kind { End, Tag, Word, Broken, Stray, Comment, Variation, Nag };

    // The next tag (name and value), word (a move, a move number, a result), comment (its text
    // in `value`), variation (its text inside the brackets) or numeric annotation ($2: "2");
    // Stray, with the bracket in `value`, for a closing bracket that nothing opened.
    Kind Next(std::string* name, std::string* value) {
        for (;;) {
            SkipSpace();
            if (at_ >= text_.size()) return Kind::End;
            const size_t start = at_;
            const char c = text_[at_];
            if (c == '{') {
                if (!SkipPast('}')) return Kind::Broken;
                *value = text_.substr(start + 1, at_ - start - 2);
                return Kind::Comment;
            } else if (c == ';' || (c == '%' && AtLineStart())) {
                SkipPast('\n');
            } else if (c == '(') {
                if (!SkipVariation()) return Kind::Broken;
                *value = text_.substr(start + 1, at_ - start - 2);
                return Kind::Variation;
            } else if (c == '[') {
                return ReadTag(name, value) ? Kind::Tag : Kind::Broken;
            } else if (c == '$') {
                ++at_;
                *value = ReadWord();
                return Kind::Nag;
            } else if (c == ']' || c == ')' || c == '}') {
                *value = std::string(1, c);
                ++at_;
                return Kind::Stray;
            } else {
                *value = ReadWord();
                return Kind::Word;
            }
        }
    }

  private:
    void SkipSpace() {
        while (at_ < text_.size() && std::isspace(static_cast<unsigned char>(text_[at_])))
            ++at_;
    }
    bool AtLineStart() const { return at_ == 0 || text_[at_ - 1] == '\n'; }
    bool SkipPast(char end) {
        const size_t found = text_.find(end, at_);
        at_ = found == std::string_view::npos ? text_.size() : found + 1;
        return found != std::string_view::npos;
    }
    // Past the variation that starts here and the ones nested in it; a bracket inside a comment
    // neither opens nor closes one.
    bool SkipVariation() {
        int depth = 0;
        while (at_ < text_.size()) {
            const char c = text_[at_];
            if (c == '{') {
                if (!SkipPast('}')) return false;
                continue;
            }
            if (c == ';') {
                SkipPast('\n');
                continue;
            }
            ++at_;
            if (c == '(') ++depth;
            if (c == ')' && --depth == 0) return true;
        }
        return false;
    }
    std::string ReadWord() {
        constexpr std::string_view kWordEnds = "{}()[];";
        const size_t start = at_;
        while (at_ < text_.size() && !std::isspace(static_cast<unsigned char>(text_[at_])) &&
               kWordEnds.find(text_[at_]) == std::string_view::npos) {
            ++at_;
        }
        return std::string(text_.substr(start, at_ - start));
    }
    bool ReadTag(std::string* name, std::string* value) {
        ++at_;
        SkipSpace();
        *name = ReadWord();
        SkipSpace();
        value->clear();
        if (at_ >= text_.size() || text_[at_] != '"') return false;
        for (++at_; at_ < text_.size() && text_[at_] != '"'; ++at_) {
            if (text_[at_] == '\\' && at_ + 1 < text_.size()) ++at_;
            *value += text_[at_];
        }
        if (at_ >= text_.size()) return false;
        ++at_;
        return SkipPast(']');
    }

    std::string_view text_;
    size_t at_ = 0;
};

// "12." and "12..." are move numbers; a number glued to a move ("1.h2e2") leaves the move.
std::string_view WithoutMoveNumber(std::string_view word) {
    size_t digits = 0;
    while (digits < word.size() && std::isdigit(static_cast<unsigned char>(word[digits])))
        ++digits;
    if (digits == 0 || digits == word.size() || word[digits] != '.') return word;
    size_t end = digits;
    while (end < word.size() && word[end] == '.')
        ++end;
    return word.substr(end);
}

// Annotation marks after a move ("h2e2!", "炮二平五?!"); the check and mate signs of SAN
// ("Rxh9+") go with them.
std::string_view WithoutAnnotation(std::string_view word) {
    while (!word.empty() &&
           (word.back() == '!' || word.back() == '?' || word.back() == '+' || word.back() == '#')) {
        word.remove_suffix(1);
    }
    return word;
}

// How many characters the notation and the tags of Chinese game records have in `text`: the
// measure by which a text is told GB18030 or Big5, as both take most byte pairs.
size_t NotationCharacters(std::string_view text) {
    static constexpr std::u32string_view kCommon =
        U"车車俥马馬傌炮砲包相象仕士帅帥将將兵卒进進退平前后後中一二三四五六七八九局赛賽红紅黑胜勝"
        U"负負和";
    std::vector<char32_t> characters;
    size_t count = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        const auto lead = static_cast<unsigned char>(text[i]);
        if ((lead >> 4) != 14 || i + 2 >= text.size()) continue;  // three bytes: CJK
        const char32_t c = ((lead & 0x0Fu) << 12) | ((text[i + 1] & 0x3Fu) << 6) |
                           (static_cast<unsigned char>(text[i + 2]) & 0x3Fu);
        if (kCommon.find(c) != std::u32string_view::npos) ++count;
        i += 2;
    }
    return count;
}

// Whether UTF-8 `text` holds a C1 control character (U+0080..U+009F).
bool HasControlCharacters(std::string_view text) {
    for (size_t at = text.find('\xC2'); at != std::string_view::npos;
         at = text.find('\xC2', at + 1)) {
        const auto next = at + 1 < text.size() ? static_cast<unsigned char>(text[at + 1]) : 0;
        if (next >= 0x80 && next <= 0x9F) return true;
    }
    return false;
}

// The text of `bytes` as UTF-8: as it is when it is UTF-8 (a byte order mark dropped), else from
// GB18030 or Big5, whichever shows more of a game record's characters; nothing for bytes that are
// no text in any of them.
std::optional<std::string> AsUtf8(std::string_view bytes) {
    if (bytes.starts_with("\xEF\xBB\xBF")) bytes.remove_prefix(3);
    // A NUL byte is in no text: a binary file (a game file chosen by mistake) is not read on.
    if (bytes.find('\0') != std::string_view::npos) return std::nullopt;
    if (DecodeStrictly("UTF-8", bytes)) return std::string(bytes);
    std::optional<std::string> gb = DecodeStrictly("GB18030", bytes);
    std::optional<std::string> big5 = DecodeStrictly("BIG5", bytes);
    if (!big5) big5 = DecodeStrictly("BIG5-HKSCS", bytes);
    // Both take a lone 0x80 for a control character that no text holds.
    if (gb && HasControlCharacters(*gb)) gb.reset();
    if (big5 && HasControlCharacters(*big5)) big5.reset();
    if (gb && big5) return NotationCharacters(*big5) > NotationCharacters(*gb) ? big5 : gb;
    return gb ? gb : big5;
}

// The ideographic space between moves, as Chinese texts write it, is a blank to the scanner.
std::string WithPlainSpaces(std::string text) {
    for (size_t at = text.find("\u3000"); at != std::string::npos; at = text.find("\u3000", at))
        text.replace(at, 3, "   ");
    return text;
}

// Words of nothing but dots and rules: "..." standing for a move not repeated ("3. ... h7i7"),
// and the lines of "=====" some programs write between games.
bool IsDecoration(std::string_view word) {
    return !word.empty() && word.find_first_not_of(".=-_~") == std::string_view::npos;
}

// The annotations that follow a word of the move text.
struct Notes {
    std::string comments;            // every comment's text, one after the other
    std::string variation;           // the first variation's text
    MoveMark mark = MoveMark::None;  // from the last NAG that is one of our marks
};

// One game of a collection as the scanner finds it, before its moves are played.
struct RawGame {
    std::vector<std::pair<std::string, std::string>> tags;
    std::vector<std::string> words;  // move numbers and moves, in order
    std::vector<Notes> notes;        // notes[i] follow words[i]
    std::string result;              // at the end of the moves; empty when none
    std::string error;               // a fault in the text's form
};

// The marks as PGN's numeric annotations write them: $6 ?!, $2 ?, $4 ??. The others ($1 !, $3 !!,
// $5 !?) praise a move and have no mark here.
constexpr std::pair<int, MoveMark> kMarkNags[] = {
    {6, MoveMark::Inaccuracy}, {2, MoveMark::Mistake}, {4, MoveMark::Blunder}};

MoveMark MarkOfNag(std::string_view digits) {
    int nag = 0;
    const auto [end, fault] = std::from_chars(digits.data(), digits.data() + digits.size(), nag);
    if (fault != std::errc() || end != digits.data() + digits.size()) return MoveMark::None;
    for (const auto& [number, mark] : kMarkNags) {
        if (number == nag) return mark;
    }
    return MoveMark::None;
}

int NagOf(MoveMark mark) {
    for (const auto& [number, marked] : kMarkNags) {
        if (marked == mark) return number;
    }
    return 0;
}

// The mark of the glyphs written after a move ("?!", "?", "??"; a check sign among them ignored).
MoveMark MarkOfGlyphs(std::string_view glyphs) {
    std::string marks;
    for (char c : glyphs) {
        if (c == '!' || c == '?') marks += c;
    }
    for (MoveMark mark : {MoveMark::Inaccuracy, MoveMark::Mistake, MoveMark::Blunder}) {
        if (marks == MarkText(mark)) return mark;
    }
    return MoveMark::None;
}

void AddNote(Notes* notes, PgnScanner::Kind kind, const std::string& text) {
    if (kind == PgnScanner::Kind::Comment) {
        notes->comments += (notes->comments.empty() ? "" : " ") + text;
    } else if (kind == PgnScanner::Kind::Variation) {
        if (notes->variation.empty()) notes->variation = text;
    } else if (const MoveMark mark = MarkOfNag(text); mark != MoveMark::None) {
        notes->mark = mark;
    }
}

bool IsNote(PgnScanner::Kind kind) {
    return kind == PgnScanner::Kind::Comment || kind == PgnScanner::Kind::Variation ||
           kind == PgnScanner::Kind::Nag;
}

// A value from Red's view as the "[%eval]" command of a comment writes it, as most programs that
// annotate games read and write it: Pawns, "0.35", "-1.20"; a mate as "#" and the mating side's
// moves to it, "#3" for Red, "#-2" for Black ("#0", "#-0": the side to move is mated).
std::string EvalText(int32_t redValue) {
    const int32_t size = std::abs(redValue);
    if (IsMateValue(redValue))
        return (redValue > 0 ? "#" : "#-") + std::to_string((master::kMate - size + 1) / 2);
    char text[16];
    std::snprintf(text, sizeof text, "%s%d.%02d", redValue < 0 ? "-" : "", size / 100, size % 100);
    return text;
}

// The value of the "[%eval ...]" in `comments`, after a move that left `toMove` to move; false
// when there is none that reads. A mate in n moves becomes the plies to it, as the engines count.
bool ReadEval(std::string_view comments, Side toMove, int32_t* redValue) {
    const size_t at = comments.find("[%eval");
    if (at == std::string_view::npos) return false;
    std::string_view text = comments.substr(at + 6);
    text.remove_prefix(std::min(text.find_first_not_of(' '), text.size()));
    text = text.substr(0, text.find_first_of(", ]"));  // a depth may follow: [%eval 0.35,20]
    const bool mate = text.starts_with('#');
    if (mate) text.remove_prefix(1);
    const bool negative = text.starts_with('-');
    if (negative || text.starts_with('+')) text.remove_prefix(1);
    if (mate) {
        constexpr int kLongestMate = 400;  // moves; a mate value stays beyond kMateBound
        int moves = -1;
        const auto [end, fault] = std::from_chars(text.data(), text.data() + text.size(), moves);
        if (fault != std::errc() || end != text.data() + text.size() || moves > kLongestMate)
            return false;
        const Side mater = negative ? Black : Red;
        const int plies = moves == 0 ? 0 : 2 * moves - (mater == toMove ? 1 : 0);
        *redValue = (negative ? -1 : 1) * (master::kMate - plies);
        return true;
    }
    double pawns = 0;
    const auto [end, fault] = std::from_chars(text.data(), text.data() + text.size(), pawns);
    if (fault != std::errc() || end != text.data() + text.size() || !std::isfinite(pawns))
        return false;
    const double hundredths =
        std::clamp(std::round(pawns * 100), -1.0 * master::kMateBound, 1.0 * master::kMateBound);
    *redValue = (negative ? -1 : 1) * static_cast<int32_t>(hundredths);
    return true;
}

// The games of `text`: a game ends with its result, or where tags follow its moves.
std::vector<RawGame> SplitGames(std::string_view text) {
    std::vector<RawGame> games;
    PgnScanner scanner(text);
    std::string name;
    std::string word;
    bool inMoves = false;  // the current game has moves: a tag begins the next one
    bool ended = false;    // the current game has its result: anything begins the next one
    for (;;) {
        const PgnScanner::Kind kind = scanner.Next(&name, &word);
        if (kind == PgnScanner::Kind::End) break;
        if (kind == PgnScanner::Kind::Word && IsDecoration(word)) continue;
        // Annotations belong to the move before them; those before the first move or after the
        // result are skipped.
        if (IsNote(kind)) {
            if (!games.empty() && !ended && !games.back().words.empty())
                AddNote(&games.back().notes.back(), kind, word);
            continue;
        }
        // After a result, only tags or a move number begin another game: the lines programs
        // write under their games ("欢迎访问象棋百科全书网", a web address) are no moves.
        if (kind == PgnScanner::Kind::Word && ended &&
            (word.empty() || !std::isdigit(static_cast<unsigned char>(word[0])))) {
            continue;
        }
        const bool isTag = kind == PgnScanner::Kind::Tag;
        if (games.empty() || (isTag && inMoves) || (!isTag && ended)) {
            games.emplace_back();
            inMoves = ended = false;
        }
        RawGame& game = games.back();
        if (kind == PgnScanner::Kind::Broken) {
            game.error = Tr(kUnendedPartText);
            break;
        }
        if (isTag) {
            game.tags.emplace_back(name, word);
            continue;
        }
        inMoves = true;
        if (kind == PgnScanner::Kind::Stray) {
            if (game.error.empty()) game.error = FormatText(kExtraWordPattern, {word});
        } else if (IsResult(word)) {
            game.result = word;
            ended = true;
        } else {
            game.words.push_back(word);
            game.notes.emplace_back();
        }
    }
    return games;
}

std::string Refusal(size_t ply, Side startSide, std::string_view text, std::string_view why) {
    const size_t fullMove = (ply + (startSide == Black ? 1 : 0)) / 2 + 1;
    return FormatText(kBadMovePattern, {std::to_string(fullMove), text, Tr(why)});
}

// The number of characters of UTF-8 `text`.
size_t CharacterCount(std::string_view text) {
    size_t count = 0;
    for (char c : text)
        count += (static_cast<unsigned char>(c) & 0xC0) != 0x80 ? 1 : 0;
    return count;
}

// The bytes of the first `characters` characters of UTF-8 `text`.
size_t PrefixBytes(std::string_view text, size_t characters) {
    size_t at = 0;
    for (size_t seen = 0; at < text.size(); ++at) {
        if ((static_cast<unsigned char>(text[at]) & 0xC0) != 0x80 && seen++ == characters) break;
    }
    return at;
}

std::string_view WhyRefused(MoveTextResult result) {
    switch (result) {
        case MoveTextResult::Illegal:
            return kIllegalMoveText;
        case MoveTextResult::Ambiguous:
            return kAmbiguousMoveText;
        default:
            return kUnknownMoveText;
    }
}

// Sets up the game's start from its FEN tag; false with a reason for a position that the position
// editor would not accept either.
bool SetUpStart(const std::string& fen, std::string* error) {
    std::string reason;
    if (!ReadFen(fen.empty() ? kStartFen : std::string_view(fen), &reason)) {
        *error = FormatText(kBadFenPattern, {reason});
        return false;
    }
    reason = SetUpCountError();
    if (reason.empty()) reason = SetUpPlacementError();
    if (!reason.empty()) *error = FormatText(kBadFenPattern, {reason});
    return reason.empty();
}

}  // namespace

namespace {

// A tag line, its value's quotes and backslashes escaped and a line break made a blank.
std::string TagLine(std::string_view name, std::string_view value) {
    std::string line = "[" + std::string(name) + " \"";
    for (char c : value) {
        if (c == '"' || c == '\\') line += '\\';
        line += c == '\n' || c == '\r' ? ' ' : c;
    }
    return line + "\"]\n";
}

// The tags the writer gives from the moves it writes: a game's own values of them are not copied.
bool DescribesMoveText(std::string_view name) {
    return name == "Result" || name == "FEN" || name == "Format" || name == "SetUp" ||
           name == "PlyCount";
}

// The seven tag roster with the game's own values, ours where it has none, then the game's other
// tags in their order, then the notation and the start position. The position is the start.
std::string TagBlock(const PgnGame& game, PgnNotation notation) {
    const std::pair<std::string_view, std::string> roster[] = {
        {"Event", "澜川中国象棋"},
        {"Site", "?"},
        {"Date", Today()},
        {"Round", "-"},
        {"Red", "?"},
        {"Black", "?"},
    };
    std::string text;
    for (const auto& [name, ours] : roster) {
        const std::string own = game.Tag(name);
        text += TagLine(name, own.empty() ? ours : own);
    }
    text += TagLine("Result", game.result);
    for (const auto& tag : game.tags) {
        const bool inRoster = std::ranges::any_of(
            roster, [&](const auto& rosterTag) { return rosterTag.first == tag.first; });
        if (!tag.first.empty() && !inRoster && !DescribesMoveText(tag.first))
            text += TagLine(tag.first, tag.second);
    }
    if (notation == PgnNotation::Iccs) text += TagLine("Format", "ICCS");
    if (!game.startFen.empty()) text += TagLine("FEN", WriteFen());
    return text;
}

}  // namespace

std::string WritePgn(const PgnGame& game, PgnNotation notation) {
    PositionKeeper keeper;
    std::string ignored;
    SetUpStart(game.startFen, &ignored);
    std::string text = TagBlock(game, notation) + '\n';

    size_t lineLength = 0;
    const Side startSide = sideToMove;
    bool interrupted = false;  // a comment or variation came since the last move number
    for (size_t ply = 0; ply < game.moves.size(); ++ply) {
        const MoveRecord& move = game.moves[ply];
        const size_t number = (ply + (startSide == Black ? 1 : 0)) / 2 + 1;
        const std::string numbered = std::to_string(number) + (sideToMove == Red ? "." : "...");
        if (sideToMove == Red || ply == 0 || interrupted) AppendWord(&text, &lineLength, numbered);
        AppendWord(&text, &lineLength, MoveText(move, notation));
        const MoveValue* value = ply < game.values.size() ? &game.values[ply] : nullptr;
        interrupted = value && value->analysed;
        if (interrupted) {
            // The mark as a numeric annotation, the value as an [%eval] comment, the engine's
            // move as a variation.
            if (value->mark != MoveMark::None)
                AppendWord(&text, &lineLength, "$" + std::to_string(NagOf(value->mark)));
            if (value->known)
                AppendWord(&text, &lineLength, "{[%eval " + EvalText(value->redValue) + "]}");
            // An analysis entry left from an earlier game must not write a move that cannot
            // be played.
            if (!SameMove(value->best, move) && IsLegalMove(value->best))
                AppendWord(&text, &lineLength,
                           "(" + numbered + " " + MoveText(value->best, notation) + ")");
        }
        Play(move);
    }
    AppendWord(&text, &lineLength, game.result);
    return text + "\n";
}

namespace {

// How the game's SAN moves number the ranks, as far as one of them shows it; from one unless
// one shows otherwise.
SanRanks SanRanksOf(const RawGame& raw, bool* shown) {
    *shown = false;
    for (const std::string& word : raw.words) {
        const std::string folded = FoldFullWidth(word);
        const std::string_view text = WithoutAnnotation(WithoutMoveNumber(folded));
        SanRanks told = SanRanks::FromOne;
        SanRanks untold = SanRanks::FromZero;
        // A text read the same under both tells nothing.
        if (IsSanText(text, &told) && IsSanText(text, &untold) && told == untold) {
            *shown = true;
            return told;
        }
    }
    return SanRanks::FromOne;
}

// The first move of `variation`, read in the position before the move it stands for: the move
// played instead of that one. NullMove when it holds none that reads.
MoveRecord FirstMoveOf(std::string_view variation, SanRanks ranks) {
    PgnScanner scanner(variation);
    std::string name;
    std::string word;
    for (;;) {
        const PgnScanner::Kind kind = scanner.Next(&name, &word);
        if (kind == PgnScanner::Kind::Word) {
            const std::string folded = FoldFullWidth(word);
            const std::string_view text = WithoutAnnotation(WithoutMoveNumber(folded));
            if (text.empty() || IsDecoration(text)) continue;
            MoveRecord move;
            return ReadMoveText(text, &move, ranks) == MoveTextResult::Found ? move : NullMove;
        }
        if (!IsNote(kind)) return NullMove;
    }
}

// What the notes after the game's last move say of it, into its entry of game->values: its value
// from an [%eval] comment, its mark from a NAG or else its glyphs, and `better`, the move of the
// variation after it (else the engine agreed with the move), as the engine's move.
void NoteMove(const Notes& notes, std::string_view glyphs, const MoveRecord& better,
              PgnGame* game) {
    MoveValue value;
    value.known = ReadEval(notes.comments, sideToMove, &value.redValue);
    value.mark = notes.mark != MoveMark::None ? notes.mark : MarkOfGlyphs(glyphs);
    value.analysed = value.known || value.mark != MoveMark::None;
    if (!value.analysed) return;
    value.best = better.piece != Empty ? better : game->moves.back();
    game->values.resize(game->moves.size());
    game->values.back() = value;
}

// Plays the moves of `raw` from its start into *game; false with the reason for the first move
// not taken. Two moves written together ("炮二平五马８进７") are read one after the other.
bool PlayGame(const RawGame& raw, SanRanks ranks, PgnGame* game, std::string* error) {
    bool started = false;  // the first move has been read: the start position is fixed
    Side startSide = Red;
    // The start from the FEN tag (kept as this program writes it), before the first move.
    auto start = [&] {
        if (!SetUpStart(game->startFen, error)) return false;
        if (!game->startFen.empty()) game->startFen = WriteFen();
        // A FEN tag of the opening array with Red to move is a game from the opening array.
        if (game->startFen == kStartFen) game->startFen.clear();
        started = true;
        startSide = sideToMove;
        return true;
    };
    for (size_t index = 0; index < raw.words.size(); ++index) {
        const std::string& word = raw.words[index];
        const std::string folded = FoldFullWidth(word);
        std::string_view rest = WithoutMoveNumber(folded);
        const std::string_view glyphs = rest.substr(WithoutAnnotation(rest).size());
        while (!rest.empty()) {
            std::string_view moveText = WithoutAnnotation(rest);
            rest = {};
            if (moveText.empty()) break;
            if (!started && !start()) return false;
            MoveRecord move;
            MoveTextResult result = ReadMoveText(moveText, &move, ranks);
            // Chinese moves run together: take the first four (or five) characters as one.
            for (size_t length : {4, 5}) {
                if (result != MoveTextResult::NotAMove || CharacterCount(moveText) < 2 * length)
                    continue;
                const std::string_view first = moveText.substr(0, PrefixBytes(moveText, length));
                if (ReadMoveText(first, &move, ranks) == MoveTextResult::NotAMove) continue;
                rest = moveText.substr(first.size());
                moveText = first;
                result = ReadMoveText(moveText, &move, ranks);
            }
            if (result != MoveTextResult::Found) {
                // The text as the file wrote it, where folding its full-width forms changed it.
                const std::string_view shown = folded == word ? moveText : std::string_view(word);
                *error = Refusal(game->moves.size(), startSide, shown, WhyRefused(result));
                return false;
            }
            // The notes after the word are the last move's.
            const bool last = rest.empty();
            const Notes& notes = raw.notes[index];
            const MoveRecord better =
                last && !notes.variation.empty() ? FirstMoveOf(notes.variation, ranks) : NullMove;
            game->moves.push_back(move);
            Play(move);
            if (last) NoteMove(notes, glyphs, better, game);
        }
    }
    if (!started && !start()) return false;
    game->finalFen = WriteFen();
    return true;
}

// Game `number` of a collection from what the scanner found: its tags, start and moves.
PgnEntry ReadGame(const RawGame& raw, size_t number) {
    PgnEntry entry;
    PgnGame& game = entry.game;
    game.tags = raw.tags;
    for (const auto& [name, value] : raw.tags) {
        if (name == "FEN") game.startFen = value;
        if (name == "Result" && IsResult(value)) game.result = value;
    }
    if (!raw.result.empty()) game.result = raw.result;
    std::string error = raw.error;
    bool shown = false;
    const SanRanks ranks = SanRanksOf(raw, &shown);
    if (error.empty() && !PlayGame(raw, ranks, &game, &error) && !shown) {
        // SAN that never shows rank 10 or rank 0 may number from zero, as XBoard does.
        PgnGame fromZero = game;
        fromZero.moves.clear();
        fromZero.values.clear();
        std::string ignored;
        if (PlayGame(raw, SanRanks::FromZero, &fromZero, &ignored)) {
            game = std::move(fromZero);
            error.clear();
        }
    }
    if (!error.empty()) entry.error = FormatText(kBadGamePattern, {std::to_string(number), error});
    return entry;
}

// The games of `bytes` as the scanner splits them; false with the reason when there are none.
bool SplitText(std::string_view bytes, std::vector<RawGame>* games, std::string* error) {
    const std::optional<std::string> text = AsUtf8(bytes);
    if (!text) {
        *error = Tr(kNotTextText);
        return false;
    }
    *games = SplitGames(WithPlainSpaces(*text));
    if (games->empty()) *error = Tr(kNoGameText);
    return !games->empty();
}

}  // namespace

std::string PgnGame::Tag(std::string_view name) const {
    for (const auto& [tag, value] : tags) {
        if (tag == name) return value;
    }
    return {};
}

size_t PgnGame::FullMoves() const {
    const size_t side = startFen.find(' ');
    const bool blackBegins = side != std::string::npos && startFen.compare(side + 1, 1, "b") == 0;
    const size_t plies = moves.size() + (blackBegins ? 1 : 0);
    return (plies + 1) / 2;
}

bool ReadPgnGames(std::string_view bytes, std::vector<PgnEntry>* games, std::string* error) {
    std::vector<RawGame> raw;
    if (!SplitText(bytes, &raw, error)) return false;
    PositionKeeper keeper;
    games->clear();
    for (size_t i = 0; i < raw.size(); ++i)
        games->push_back(ReadGame(raw[i], i + 1));
    return true;
}

bool ReadPgn(std::string_view bytes, PgnGame* game, std::string* error, size_t number) {
    std::vector<RawGame> raw;
    if (!SplitText(bytes, &raw, error)) return false;
    if (number < 1 || number > raw.size()) {
        *error =
            FormatText(kNoSuchGamePattern, {std::to_string(raw.size()), std::to_string(number)});
        return false;
    }
    PositionKeeper keeper;
    PgnEntry entry = ReadGame(raw[number - 1], number);
    if (!entry.error.empty()) {
        *error = entry.error;
        return false;
    }
    *game = std::move(entry.game);
    return true;
}

namespace {

// The analysis of the game's moves: the last of `game->moves` made the game's plyCount.
void AttachMoveValues(PgnGame* game) {
    const int firstPly = plyCount - static_cast<int>(game->moves.size()) + 1;
    bool analysed = false;
    for (int i = 0; i < static_cast<int>(game->moves.size()); ++i) {
        const int ply = firstPly + i;
        if (ply < 1 || static_cast<size_t>(ply) >= moveValues.size()) continue;
        analysed = analysed || moveValues[static_cast<size_t>(ply)].analysed;
    }
    if (!analysed) return;
    for (int i = 0; i < static_cast<int>(game->moves.size()); ++i) {
        const int ply = firstPly + i;
        const bool held = ply >= 1 && static_cast<size_t>(ply) < moveValues.size();
        game->values.push_back(held ? moveValues[static_cast<size_t>(ply)] : MoveValue{});
    }
}

}  // namespace

PgnGame CurrentGameAsPgn() {
    PositionKeeper keeper;
    int first = recordTop;
    while (first > kRecordBottom && GameRecord[first].piece != Empty)
        --first;
    const bool fromOpeningArray =
        GameRecord[first].piece == Empty && GameRecord[first].captured == 1;
    for (int i = recordTop; i > first; --i) {
        SwapSides();
        MakeMove(gamePosition, GameRecord[i], true);
    }
    PgnGame current;
    current.tags = gameTags.tags;
    if (!fromOpeningArray) current.startFen = WriteFen();
    for (int i = first + 1; i <= recordTop; ++i) {
        current.moves.push_back(GameRecord[i]);
        Play(GameRecord[i]);
    }
    current.finalFen = WriteFen();
    AttachMoveValues(&current);
    return current;
}

}  // namespace xq
