// The engines the user has added, kept in engines.ini in the program's settings folder: a text a
// person can read and edit, one section an engine, in the order of the engine menu:
//
//   [Fairy-Stockfish]
//   command=/usr/games/fairy-stockfish
//   arguments=
//   folder=
//   protocol=uci          ; auto, uci, ucci or xboard
//   ranks=1-10            ; auto, 0-9 or 1-10
//   option.Hash=64
//   option.Threads=1
//
// `arguments` are split at spaces, with "double quotes" around an argument that holds spaces.
// Lines starting with ; or # are comments. An unknown key is kept as it is; a section without a
// command is skipped with a note in `warnings`.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "host/engineclient.h"

namespace xq::host {

inline constexpr char kEngineListFileName[] = "engines.ini";

// The list file's path (ConfigFolder()/engines.ini); empty when there is no settings folder.
std::filesystem::path EngineListPath();

// Reads the list from `text`; sections it cannot take are named in `warnings`.
std::vector<EngineSetup> ParseEngineList(std::string_view text, std::vector<std::string>* warnings);
// The text of the list, which ParseEngineList reads back as the same list.
std::string FormatEngineList(const std::vector<EngineSetup>& engines);

// The same through the file. A missing file is an empty list. Saving replaces the file safely
// (platform/safefile.h): a failure leaves the old file whole and says why.
std::vector<EngineSetup> LoadEngineList(const std::filesystem::path& path,
                                        std::vector<std::string>* warnings);
bool SaveEngineList(const std::filesystem::path& path, const std::vector<EngineSetup>& engines,
                    std::string* error);

// Splits an arguments text as the list file and the dialog write it, and joins it back.
std::vector<std::string> SplitArguments(std::string_view text);
std::string JoinArguments(const std::vector<std::string>& arguments);

}  // namespace xq::host
