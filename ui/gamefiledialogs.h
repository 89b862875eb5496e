// The file dialogs of the game menus: "恢复" chooses a game file to open, "保存" and "另存为..."
// one to write (the main window's fillings of the core's file-chooser hooks,
// records/menucommands.h), and "导入棋谱..." and "导出棋谱..." theirs. Every one opens in the
// folder of the file chosen last, in this run or, kept in chess.ini, an earlier one.
#pragma once

#include <QString>
#include <string>

class QFileDialog;

namespace xq {

// OpenDialog1: an existing *.chs file. Returns the chosen name, empty when the user cancelled.
std::string ChooseGameToRestore();
// SaveDialog1: any name; "chs" is added when the name has no extension.
std::string ChooseGameToSave();

// The folder the next file dialog opens in: the chosen file's last, empty before any.
QString LastFileFolder();
// Runs `dialog` from LastFileFolder() with `proposed` (a name there, or a path of its own) chosen;
// the chosen file (empty when cancelled), whose folder is remembered for the session and in
// chess.ini.
QString RunFileDialog(QFileDialog& dialog, const QString& proposed = {});
// The session's folder forgotten, as at start-up (chess.ini keeps its own).
void ForgetFileFolder();

}  // namespace xq
