#include "engine/bookbuilder.h"

#include <sstream>

#include "engine/book.h"
#include "rules/attacks.h"
#include "rules/board.h"
#include "rules/fen.h"
#include "rules/legality.h"
#include "rules/makemove.h"
#include "rules/movegen.h"

namespace xq {

namespace {

constexpr int kMaxMoveIndex = kIndexMask;

// One entry of the tree being built; the root (node 0) stands for the opening array.
struct Node {
    int index = 0;             // the move's place in the generated list
    int textLine = 0;          // the text line that first reached this entry
    int ply = 0;               // 1 for a first move
    std::string move;          // ICCS, for messages
    std::vector<int> replies;  // nodes, in the order lines first reached them
};

std::string Where(int textLine, int ply, const std::string& move) {
    std::ostringstream out;
    out << "line " << textLine << ", move " << ply << " (" << move << ")";
    return out.str();
}

void StartFromOpeningArray() {
    InitAttackTable();
    SetUpStartingPosition();
}

// The generated index of the move from..to in the current position, or -1.
int IndexOfGeneratedMove(Square from, Square to, MoveRecord* move) {
    GenerateMoves();
    for (int index = 0;; ++index) {
        NextMove();
        if (currentMove.piece == Empty) return -1;
        if (currentMove.from == from && currentMove.to == to) {
            *move = currentMove;
            return index;
        }
    }
}

// Plays the moves of one text line from the opening array, adding them to the tree. The position
// is back at the opening array afterwards, also after an error.
bool AddLine(const std::vector<std::string>& moves, int textLine, std::vector<Node>* nodes,
             std::string* error) {
    std::vector<MoveRecord> played;
    auto takeBackAll = [&played] {
        while (!played.empty()) {
            TakeBackMove(played.back());
            played.pop_back();
        }
    };
    int node = 0;
    for (size_t i = 0; i < moves.size(); ++i) {
        const int ply = static_cast<int>(i) + 1;
        const std::string& text = moves[i];
        Square from = 0;
        Square to = 0;
        MoveRecord move = NullMove;
        std::string fault;
        int index = -1;
        if (!ParseIccs(text, &from, &to)) {
            fault = "is not an ICCS move";
        } else if ((index = IndexOfGeneratedMove(from, to, &move)) < 0) {
            fault = "is not a move of this position";
        } else if (LeavesKingAttacked(move)) {
            fault = "leaves the King attacked";
        } else if (index > kMaxMoveIndex) {
            fault = "is move " + std::to_string(index) +
                    " of the generated list; the library stores indices 0..63 only";
        }
        if (!fault.empty()) {
            *error = Where(textLine, ply, text) + " " + fault;
            takeBackAll();
            return false;
        }

        int next = -1;
        for (int reply : (*nodes)[node].replies) {
            if ((*nodes)[reply].index == index) next = reply;
        }
        if (next < 0) {
            next = static_cast<int>(nodes->size());
            nodes->push_back(Node{index, textLine, ply, text, {}});
            (*nodes)[node].replies.push_back(next);
        }
        node = next;
        PlayMove(move);
        played.push_back(move);
    }
    takeBackAll();
    return true;
}

// Writes the reply list of `node` in pre-order.
bool WriteList(const std::vector<Node>& nodes, int node, std::vector<uint8_t>* out,
               std::string* error) {
    const std::vector<int>& list = nodes[node].replies;
    for (size_t i = 0; i < list.size(); ++i) {
        const Node& entry = nodes[list[i]];
        uint8_t byte = static_cast<uint8_t>(entry.index);
        if (!entry.replies.empty()) byte |= kHasReplies;
        if (i + 1 == list.size()) byte |= kLastEntry;
        // The weighted choice takes 0x3F where a next entry starts for the end of the list.
        if (i > 0 && byte == kListEndMark) {
            *error = Where(entry.textLine, entry.ply, entry.move) +
                     " is move 63 of the generated list and would stand inside its list "
                     "without replies, where its byte 0x3F reads as the end of the list; "
                     "make it the first or last alternative, or continue the line";
            return false;
        }
        out->push_back(byte);
        if (!WriteList(nodes, list[i], out, error)) return false;
    }
    return true;
}

std::vector<std::string> SplitMoves(std::string_view line) {
    const size_t comment = line.find('#');
    if (comment != std::string_view::npos) line = line.substr(0, comment);
    std::istringstream in{std::string(line)};
    std::vector<std::string> moves;
    for (std::string move; in >> move;)
        moves.push_back(move);
    return moves;
}

// Reads the list starting at *pos, appending finished lines; `prefix` holds the moves so far.
bool ListFrom(const std::vector<uint8_t>& bytes, size_t* pos, const std::string& prefix,
              std::vector<std::string>* lines, std::string* error) {
    for (;;) {
        if (*pos >= bytes.size()) {
            *error = "the tree ends inside a list at byte " + std::to_string(*pos);
            return false;
        }
        const size_t at = (*pos)++;
        const uint8_t entry = bytes[at];
        GenerateMoves();
        for (int i = 0; i <= (entry & 0x3F); ++i)
            NextMove();
        const MoveRecord move = currentMove;
        if (move.piece == Empty) {
            *error = "byte " + std::to_string(at) + " names no generated move";
            return false;
        }
        const std::string line = prefix + (prefix.empty() ? "" : " ") + FormatIccs(move);
        if ((entry & kHasReplies) != 0) {
            PlayMove(move);
            const bool ok = ListFrom(bytes, pos, line, lines, error);
            TakeBackMove(move);
            if (!ok) return false;
        } else {
            lines->push_back(line);
        }
        if ((entry & kLastEntry) != 0) return true;
    }
}

}  // namespace

bool BuildOpeningLibrary(std::string_view text, std::vector<uint8_t>* bytes, std::string* error) {
    StartFromOpeningArray();
    std::vector<Node> nodes(1);
    int textLine = 0;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        ++textLine;
        const std::vector<std::string> moves = SplitMoves(text.substr(start, end - start));
        if (!moves.empty() && !AddLine(moves, textLine, &nodes, error)) return false;
        start = end + 1;
    }
    if (nodes[0].replies.empty()) {
        *error = "no opening lines";
        return false;
    }

    std::vector<uint8_t> out{255};
    if (!WriteList(nodes, 0, &out, error)) return false;
    if (out.size() > static_cast<size_t>(kOpeningLibraryCapacity)) {
        *error = "the tree takes " + std::to_string(out.size()) + " bytes; at most " +
                 std::to_string(kOpeningLibraryCapacity) + " are loaded";
        return false;
    }
    *bytes = std::move(out);
    return true;
}

bool ListOpeningLibraryLines(const std::vector<uint8_t>& bytes, std::vector<std::string>* lines,
                             std::string* error) {
    StartFromOpeningArray();
    size_t pos = 1;
    if (!ListFrom(bytes, &pos, "", lines, error)) return false;
    if (pos != bytes.size()) {
        *error = std::to_string(bytes.size() - pos) + " bytes follow the end of the tree";
        return false;
    }
    return true;
}

}  // namespace xq
