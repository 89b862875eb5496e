#include "records/pgn.h"

#include <cctype>
#include <ctime>

#include "platform/encoding.h"
#include "records/movetext.h"
#include "rules/board.h"
#include "rules/fen.h"
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

std::string IccsText(const MoveRecord& move) {
    std::string text = FormatIccs(move);
    for (char& c : text)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text.substr(0, 2) + "-" + text.substr(2);
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

    enum class Kind { End, Tag, Word, Broken, Stray };

    // The next tag (name and value) or word (a move, a move number, a result); Stray, with the
    // bracket in `value`, for a closing bracket that nothing opened.
    Kind Next(std::string* name, std::string* value) {
        for (;;) {
            SkipSpace();
            if (at_ >= text_.size()) return Kind::End;
            const char c = text_[at_];
            if (c == '{') {
                if (!SkipPast('}')) return Kind::Broken;
            } else if (c == ';' || (c == '%' && AtLineStart())) {
                SkipPast('\n');
            } else if (c == '(') {
                if (!SkipVariation()) return Kind::Broken;
            } else if (c == '[') {
                return ReadTag(name, value) ? Kind::Tag : Kind::Broken;
            } else if (c == '$') {
                ++at_;
                ReadWord();  // a numeric annotation
            } else if (c == ']' || c == ')' || c == '}') {
                *value = std::string(1, c);
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

// Annotation marks after a move ("h2e2!", "炮二平五?!").
std::string_view WithoutAnnotation(std::string_view word) {
    while (!word.empty() && (word.back() == '!' || word.back() == '?'))
        word.remove_suffix(1);
    return word;
}

bool IsUtf8(std::string_view text) {
    return ConvertEncoding("UTF-8", "UTF-8", text) == std::string(text);
}

std::string Refusal(size_t ply, Side startSide, std::string_view text, const char* why) {
    const size_t fullMove = (ply + (startSide == Black ? 1 : 0)) / 2 + 1;
    return "第" + std::to_string(fullMove) + "回合的着法“" + std::string(text) + "”" + why;
}

const char* WhyRefused(MoveTextResult result) {
    switch (result) {
        case MoveTextResult::Illegal:
            return "不合规则";
        case MoveTextResult::Ambiguous:
            return "有歧义";
        default:
            return "无法识别";
    }
}

// Sets up the game's start from its FEN tag; false with a reason for a position that the position
// editor would not accept either.
bool SetUpStart(const std::string& fen, std::string* error) {
    std::string reason;
    if (!ReadFen(fen.empty() ? kStartFen : std::string_view(fen), &reason)) {
        *error = "FEN 局面有误：" + reason;
        return false;
    }
    reason = SetUpCountError();
    if (reason.empty()) reason = SetUpPlacementError();
    if (!reason.empty()) *error = "FEN 局面有误：" + reason;
    return reason.empty();
}

}  // namespace

std::string WritePgn(const PgnGame& game, PgnNotation notation) {
    PositionKeeper keeper;
    std::string ignored;
    SetUpStart(game.startFen, &ignored);
    std::string text;
    const std::pair<const char*, std::string> tags[] = {
        {"Event", "澜川中国象棋"},
        {"Site", "?"},
        {"Date", Today()},
        {"Round", "-"},
        {"Red", "?"},
        {"Black", "?"},
        {"Result", game.result},
    };
    for (const auto& [name, value] : tags)
        text += std::string("[") + name + " \"" + value + "\"]\n";
    if (notation == PgnNotation::Iccs) text += "[Format \"ICCS\"]\n";
    if (!game.startFen.empty()) text += "[FEN \"" + WriteFen() + "\"]\n";
    text += '\n';

    size_t lineLength = 0;
    const Side startSide = sideToMove;
    for (size_t ply = 0; ply < game.moves.size(); ++ply) {
        const MoveRecord& move = game.moves[ply];
        const size_t number = (ply + (startSide == Black ? 1 : 0)) / 2 + 1;
        if (sideToMove == Red) AppendWord(&text, &lineLength, std::to_string(number) + ".");
        if (ply == 0 && startSide == Black)
            AppendWord(&text, &lineLength, std::to_string(number) + "...");
        AppendWord(&text, &lineLength,
                   notation == PgnNotation::Iccs ? IccsText(move) : ChineseMoveText(move));
        Play(move);
    }
    AppendWord(&text, &lineLength, game.result);
    return text + "\n";
}

bool ReadPgn(std::string_view bytes, PgnGame* game, std::string* error) {
    std::string text(bytes);
    if (text.compare(0, 3, "\xEF\xBB\xBF") == 0) text.erase(0, 3);
    // A NUL byte is in no text: a binary file (a game file chosen by mistake) is not read on.
    if (text.find('\0') != std::string::npos) {
        *error = kNotTextText;
        return false;
    }
    if (!IsUtf8(text)) {
        const std::optional<std::string> converted = GbkToUtf8(text);
        if (!converted) {
            *error = kNotTextText;
            return false;
        }
        text = *converted;
    }

    PositionKeeper keeper;
    PgnGame read;
    PgnScanner scanner(text);
    std::string name;
    std::string word;
    bool started = false;   // the first move has been read: the start position is fixed
    bool anything = false;  // a tag or a word: an empty or blank text holds no game
    Side startSide = Red;
    // The start from the FEN tag (kept as this program writes it), before the first move.
    auto start = [&] {
        if (!SetUpStart(read.startFen, error)) return false;
        if (!read.startFen.empty()) read.startFen = WriteFen();
        started = true;
        startSide = sideToMove;
        return true;
    };
    for (;;) {
        const PgnScanner::Kind kind = scanner.Next(&name, &word);
        if (kind == PgnScanner::Kind::End) break;
        if (kind == PgnScanner::Kind::Broken) {
            *error = "棋谱格式有误：标签、注释或变着没有结束";
            return false;
        }
        if (kind == PgnScanner::Kind::Stray) {
            *error = "棋谱格式有误：多余的“" + word + "”";
            return false;
        }
        anything = true;
        if (kind == PgnScanner::Kind::Tag) {
            if (name == "FEN" && !started) read.startFen = word;
            if (name == "Result" && IsResult(word)) read.result = word;
            continue;
        }
        if (IsResult(word)) {
            read.result = word;
            break;  // the end of the first game
        }
        const std::string_view moveText = WithoutAnnotation(WithoutMoveNumber(word));
        if (moveText.empty()) continue;
        if (!started && !start()) return false;
        MoveRecord move;
        const MoveTextResult result = ReadMoveText(moveText, &move);
        if (result != MoveTextResult::Found) {
            *error = Refusal(read.moves.size(), startSide, moveText, WhyRefused(result));
            return false;
        }
        read.moves.push_back(move);
        Play(move);
    }
    if (!anything) {
        *error = kNoGameText;
        return false;
    }
    if (!started && !start()) return false;
    read.finalFen = WriteFen();
    *game = std::move(read);
    return true;
}

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
    if (!fromOpeningArray) current.startFen = WriteFen();
    for (int i = first + 1; i <= recordTop; ++i) {
        current.moves.push_back(GameRecord[i]);
        Play(GameRecord[i]);
    }
    current.finalFen = WriteFen();
    return current;
}

}  // namespace xq
