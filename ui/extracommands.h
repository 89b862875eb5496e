// The window's side of the "棋谱" menu and of the display option "标记最后一步": the clipboard, the
// file dialogs, the analysis of the game and the renderer's mark. What the user brings is handed to
// the core (records/exchange.h); its refusals and failures go to the error dialog.
#pragma once

#include <QtGlobal>

namespace xq {

// The export dialog's filters, in this order; the one chosen picks the notation.
inline constexpr char kIccsFilter[] = QT_TRANSLATE_NOOP("ExtraCommands", "ICCS 坐标棋谱 (*.pgn)");
inline constexpr char kChineseFilter[] = QT_TRANSLATE_NOOP("ExtraCommands", "中文纵线棋谱 (*.pgn)");
inline constexpr char kImportFilter[] = QT_TRANSLATE_NOOP("ExtraCommands", "棋谱 (*.pgn *.PGN)");

// Installs the handlers of the six commands in the main window's procedure, and the list that a
// file of many games handed to the program shows (records/menucommands.h).
void RegisterExtraCommands();

}  // namespace xq
