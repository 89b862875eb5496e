// Where the game's data files (the opening library, the background pattern) are looked for. A
// player may start the program from anywhere: from the run script, from a build folder, from any
// working directory, or installed.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace xq {

// The places tried for `relativePath`, in order: the working directory, the installed data
// folder, then the source tree's data folder recorded at build time (a run from a build tree).
std::vector<std::string> DataFileSearchList(std::string_view relativePath);

}  // namespace xq
