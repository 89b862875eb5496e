// Where the program keeps its files: settings under $XDG_CONFIG_HOME (default ~/.config) and
// state such as the game log under $XDG_STATE_HOME (default ~/.local/state), each in a folder
// named after the program.
#pragma once

#include <filesystem>

namespace xq {

inline constexpr char kProgramFolderName[] = "lanchuan-xiangqi";

// The program's settings folder and state folder, created when missing. An empty path when no
// base folder is known (neither the variable, an absolute path, nor a home folder) or the folder
// cannot be created.
std::filesystem::path ConfigFolder();
std::filesystem::path StateFolder();

}  // namespace xq
