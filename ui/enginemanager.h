// The window's side of the engines the user added: the engine menu's items for them, and
// "引擎管理..." (the dialog, then engines.ini saved, the game's choice kept valid and the menu
// rebuilt).
#pragma once

namespace xq {

class MainMenus;
class TEngineManagerDlg;

// The engine menu lists addedEngines, the game's engine checked.
void ShowAddedEngines(MainMenus& menus);
// Runs the dialog on the list; on "确定" the list is saved (an error is reported and the list is
// still used for this run), the chosen engine follows a rename, a removed one gives way to 标准,
// and the menu shows the new list.
void ManageEngines(TEngineManagerDlg& dialog, MainMenus& menus);

}  // namespace xq
