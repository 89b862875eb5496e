// The file dialogs of the game menu: "恢复" chooses a game file to open, "保存" and "另存为..."
// one to write. They are the main window's fillings of the core's file-chooser hooks
// (records/menucommands.h); each returns the chosen name, empty when the user cancelled.
#pragma once

#include <string>

namespace xq {

// OpenDialog1: an existing *.chs file.
std::string ChooseGameToRestore();
// SaveDialog1: any name; "chs" is added when the name has no extension.
std::string ChooseGameToSave();

}  // namespace xq
