// Compiles opening lines into the opening library's byte tree, and lists a tree's lines again.
// A line is a sequence of ICCS moves from the opening array, one line per text line; '#' starts
// a comment, blank lines are skipped. Lines that share their first moves share tree entries;
// within a list, entries keep the order in which the lines first reach them, and since the
// weighted choice prefers the first entries, main lines belong first.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace xq {

// Compiles `text`. On success *bytes holds the whole file (byte 0, then the tree) and the result
// is true; otherwise *error names the text line and the fault and *bytes is left alone. Refused:
// a move that is not ICCS, not generated or leaves the King attacked; a move whose index in the
// generated list is 64 or more; an entry that would read as the 0x3F list-end mark (index 63,
// no replies, not first and not last of its list); a tree larger than the library's capacity.
// Uses the program's one position and leaves the opening array set up with Red to move.
bool BuildOpeningLibrary(std::string_view text, std::vector<uint8_t>* bytes, std::string* error);

// Every path from the top list to an entry without replies, as ICCS moves separated by blanks,
// in file order. False with *error when the bytes are not a well-formed tree of generated moves.
// Uses the program's one position like BuildOpeningLibrary.
bool ListOpeningLibraryLines(const std::vector<uint8_t>& bytes, std::vector<std::string>* lines,
                             std::string* error);

}  // namespace xq
