// Helpers of the opening-library suites: game moves as the game commits them, and the committed
// opening lines.
#pragma once

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "engine/book.h"
#include "rules/fen.h"
#include "rules/makemove.h"
#include "rules/movegen.h"
#include "rules/record.h"
#include "support/position_fixture.h"

namespace xq::testing {

// Plays `iccs` as a committed game move: into slot 0, played, then slid down to -1.
inline void PlayGameMove(std::string_view iccs) {
    const MoveRecord move = Generated(iccs);
    ASSERT_NE(move.piece, Empty) << iccs;
    GameRecord[0] = move;
    PlayMove(move);
    SlideRecord();
}

// The generated move number `index` (0 = first) of the current position.
inline MoveRecord NthGenerated(int index) {
    GenerateMoves();
    for (int i = 0; i <= index; ++i)
        NextMove();
    return currentMove;
}

// The ICCS moves of the list of replies that starts at libraryPos; libraryPos is kept.
inline std::vector<std::string> CandidateReplies() {
    std::vector<std::string> moves;
    const int32_t first = libraryPos;
    for (;;) {
        const uint8_t entry = openingLibrary[static_cast<size_t>(libraryPos)];
        moves.push_back(FormatIccs(NthGenerated(entry & 0x3F)));
        if ((entry & 0x80) != 0) break;
        if (!NextLibraryEntry(false)) {
            ADD_FAILURE() << "walked out of the library";
            break;
        }
    }
    libraryPos = first;
    return moves;
}

inline std::string ReadSourceFile(const std::string& relative) {
    std::ifstream in(std::string(XQ_SOURCE_DIR) + "/" + relative, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// The opening lines of data/opening.txt, each as its moves.
inline std::vector<std::vector<std::string>> CommittedOpeningLines() {
    std::vector<std::vector<std::string>> lines;
    std::istringstream text(ReadSourceFile("data/opening.txt"));
    for (std::string line; std::getline(text, line);) {
        line = line.substr(0, line.find('#'));
        std::istringstream words(line);
        std::vector<std::string> moves;
        for (std::string move; words >> move;)
            moves.push_back(move);
        if (!moves.empty()) lines.push_back(moves);
    }
    return lines;
}

}  // namespace xq::testing
