#include "host/openings.h"

#include <fstream>
#include <iterator>
#include <sstream>

#include "records/pgn.h"
#include "rules/fen.h"
#include "rules/referee.h"

namespace xq::host {

bool ParseEpdOpenings(std::string_view text, std::vector<Opening>* openings, std::string* error) {
    std::istringstream lines{std::string(text)};
    int number = 0;
    for (std::string line; std::getline(lines, line);) {
        ++number;
        std::istringstream words(line);
        std::string board;
        std::string side;
        words >> board >> side;
        if (board.empty() || board[0] == '#') continue;
        Referee referee;
        std::string reason;
        if (!referee.Start(board + " " + (side.empty() ? "w" : side), &reason)) {
            *error = "line " + std::to_string(number) + ": " + reason;
            return false;
        }
        // Whole FEN records, as engines expect them.
        openings->push_back({referee.Fen(), {}});
    }
    return true;
}

bool ParsePgnOpenings(std::string_view text, int plies, std::vector<Opening>* openings,
                      std::string* error) {
    std::vector<PgnEntry> games;
    if (!ReadPgnGames(text, &games, error)) return false;
    for (const PgnEntry& entry : games) {
        if (!entry.error.empty()) continue;
        Opening opening;
        opening.fen = entry.game.startFen;
        for (const MoveRecord& move : entry.game.moves) {
            if (plies >= 0 && static_cast<int>(opening.moves.size()) >= plies) break;
            opening.moves.push_back(FormatIccs(move));
        }
        openings->push_back(std::move(opening));
    }
    return true;
}

bool ReadOpenings(const std::string& path, OpeningFormat format, int plies,
                  std::vector<Opening>* openings, std::string* error) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        *error = "cannot read the openings file " + path;
        return false;
    }
    const std::string text((std::istreambuf_iterator<char>(file)),
                           std::istreambuf_iterator<char>());
    std::vector<Opening> read;
    const bool ok = format == OpeningFormat::Pgn ? ParsePgnOpenings(text, plies, &read, error)
                                                 : ParseEpdOpenings(text, &read, error);
    if (!ok) {
        *error = path + ": " + *error;
        return false;
    }
    if (read.empty()) {
        *error = path + ": no opening";
        return false;
    }
    openings->insert(openings->end(), read.begin(), read.end());
    return true;
}

bool CheckOpenings(const std::vector<Opening>& openings, std::string* error) {
    for (size_t i = 0; i < openings.size(); ++i) {
        const Opening& opening = openings[i];
        Referee referee;
        std::string reason;
        if (!referee.Start(opening.fen, &reason)) {
            *error = "opening " + std::to_string(i + 1) + ": " + reason;
            return false;
        }
        for (const std::string& move : opening.moves) {
            Ruling ruling;
            if (!referee.Play(move, &ruling)) {
                *error = "opening " + std::to_string(i + 1) + ": illegal move " + move;
                return false;
            }
            if (ruling.Ended()) {
                *error = "opening " + std::to_string(i + 1) + ": the game is over after " + move;
                return false;
            }
        }
    }
    return true;
}

}  // namespace xq::host
