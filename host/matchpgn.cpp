#include "host/matchpgn.h"

#include <vector>

namespace xq::host {
namespace {

// A tag value with its quotes and backslashes escaped.
std::string Tag(std::string_view name, std::string_view value) {
    std::string text = "[" + std::string(name) + " \"";
    for (char ch : value) {
        if (ch == '"' || ch == '\\') text += '\\';
        text += ch;
    }
    return text + "\"]\n";
}

// A comment may not hold its closing brace.
std::string Comment(std::string_view text) {
    std::string comment = "{";
    for (char ch : text)
        comment += ch == '}' ? ')' : ch;
    return comment + "}";
}

// The side to move in `fen` is Black.
bool BlackStarts(const std::string& fen) {
    const size_t space = fen.find(' ');
    return space != std::string::npos && fen.compare(space + 1, 1, "b") == 0;
}

// Moves in lines of at most 80 characters.
void AppendWord(std::string* text, size_t* lineLength, const std::string& word) {
    if (*lineLength > 0 && *lineLength + 1 + word.size() > 80) {
        *text += '\n';
        *lineLength = 0;
    } else if (*lineLength > 0) {
        *text += ' ';
        ++*lineLength;
    }
    *text += word;
    *lineLength += word.size();
}

}  // namespace

std::string_view TerminationTag(GameEnd end) {
    switch (end) {
        case GameEnd::Mate:
        case GameEnd::Stalemate:
        case GameEnd::PerpetualCheck:
        case GameEnd::Repetition:
        case GameEnd::MoveLimit:
        case GameEnd::NoAttackers:
        case GameEnd::Resign:
            return "normal";
        case GameEnd::Timeout:
            return "time forfeit";
        case GameEnd::AdjudicatedDraw:
        case GameEnd::AdjudicatedWin:
            return "adjudication";
        case GameEnd::IllegalMove:
        case GameEnd::Nonsense:
        case GameEnd::FalseClaim:
            return "rules infraction";
        case GameEnd::Crash:
            return "abandoned";
        case GameEnd::Stopped:
            break;
    }
    return "unterminated";
}

std::string PgnDate(std::time_t when) {
    std::tm parts{};
    gmtime_r(&when, &parts);
    char text[16];
    std::strftime(text, sizeof text, "%Y.%m.%d", &parts);
    return text;
}

std::string FormatMatchGame(const GameRecordOut& game, const MatchSettings& settings,
                            const std::string& date) {
    std::string text;
    text += Tag("Event", settings.event);
    text += Tag("Site", "?");
    text += Tag("Date", date);
    text += Tag("Round", std::to_string(game.number));
    text += Tag("Red", game.red);
    text += Tag("Black", game.black);
    text += Tag("Result", game.result);
    if (!game.opening.fen.empty()) {
        text += Tag("FEN", game.opening.fen);
        text += Tag("SetUp", "1");
    }
    text += Tag("TimeControl", TimeControlTag(settings.timeControl));
    text += Tag("Termination", TerminationTag(game.end));
    text += '\n';

    std::vector<std::string> moves = game.opening.moves;
    moves.insert(moves.end(), game.moves.begin(), game.moves.end());
    const bool blackFirst = BlackStarts(game.opening.fen);
    size_t lineLength = 0;
    for (size_t i = 0; i < moves.size(); ++i) {
        const size_t ply = i + (blackFirst ? 1 : 0);
        // A move number stays on the line of its move.
        const std::string number = std::to_string(ply / 2 + 1);
        if (ply % 2 == 0)
            AppendWord(&text, &lineLength, number + ". " + moves[i]);
        else if (i == 0)
            AppendWord(&text, &lineLength, number + "... " + moves[i]);
        else
            AppendWord(&text, &lineLength, moves[i]);
    }
    if (!game.reason.empty()) AppendWord(&text, &lineLength, Comment(game.reason));
    AppendWord(&text, &lineLength, game.result);
    return text + "\n\n";
}

}  // namespace xq::host
