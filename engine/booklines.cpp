#include "engine/booklines.h"

#include <algorithm>
#include <set>

#include "engine/book.h"
#include "rules/board.h"
#include "rules/fen.h"
#include "rules/makemove.h"
#include "rules/movegen.h"

namespace xq {

namespace {

struct Walk {
    const std::vector<uint8_t>& bytes;
    int plies;
    size_t pos = 1;
    std::set<std::vector<std::string>> seen;
    std::vector<std::vector<std::string>> lines;
};

void AddLine(Walk& walk, std::vector<std::string> line) {
    if (static_cast<int>(line.size()) > walk.plies) line.resize(static_cast<size_t>(walk.plies));
    if (walk.seen.insert(line).second) walk.lines.push_back(std::move(line));
}

// The list at walk.pos from `position`, whose moves so far are `line`. Every subtree is read to
// its end, also below the cut, so that the next list is found where it starts.
bool ListFrom(Walk& walk, const Position& position, std::vector<std::string>& line) {
    MoveList list;
    GenerateMoves(position, list);
    for (;;) {
        if (walk.pos >= walk.bytes.size()) return false;
        const uint8_t entry = walk.bytes[walk.pos++];
        // The entry names slot index + 1 of the generated list, as NextMove hands them out.
        const int slot = (entry & kIndexMask) + 1;
        if (slot > list.moveCount) return false;
        const MoveRecord move = list.slot[slot];
        line.push_back(FormatIccs(move));
        if ((entry & kHasReplies) != 0) {
            Position next = position;
            MakeMove(next, move, false);
            SwapSides(next);
            if (!ListFrom(walk, next, line)) return false;
        } else {
            AddLine(walk, line);
        }
        line.pop_back();
        if ((entry & kLastEntry) != 0) return true;
    }
}

}  // namespace

std::vector<std::vector<std::string>> OpeningLibraryLines(const std::vector<uint8_t>& bytes,
                                                          int plies) {
    Position start{};
    std::string error;
    if (bytes.size() < 2 || plies < 1 || !ReadFen(start, kStartFen, &error)) return {};
    Walk walk{bytes, plies, 1, {}, {}};
    std::vector<std::string> line;
    if (!ListFrom(walk, start, line)) return {};
    return std::move(walk.lines);
}

}  // namespace xq
