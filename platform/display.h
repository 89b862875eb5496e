// Everything the core tells the window. The rules and the engine call the free functions below;
// they forward to the one installed Display, which does nothing until the window (or a test's
// recorder) installs its own. Nothing the core computes depends on what these calls do.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "rules/types.h"

namespace xq {

enum class Cursor { Arrow, Busy };
enum class MenuKind { Normal, Edit, Think };
enum class BoxIcon { None, Exclamation, Information, Error };
// The two panels that share the window's right half.
enum class PanelKind { Info, Palette };

class Display {
  public:
    virtual ~Display() = default;

    // Board.
    virtual void RedrawChangedSquares() {}
    virtual void RedrawAll() {}
    virtual void SyncShownBoard() {}
    virtual void ClearShownBoard() {}  // also resets the panel
    virtual void EndDrag(bool /*glideBack*/) {}
    virtual void ClearThreatMarks() {}  // the easy level's frames leave the board

    // Information panel.
    virtual void ResetPanel() {}
    virtual void ShowTurn(Side /*side*/) {}
    virtual void ShowMessage(std::string_view /*text*/) {}
    virtual void ShowWarning(std::string_view /*text*/) {}  // a message with a beep
    virtual void ShowMoveLine(Side /*side*/, std::string_view /*text*/) {}
    virtual void ClearBestPath() {}
    virtual void ShowLevel() {}
    // One of the engine's panel fields ("Depth", "BestPath", "Value", "Seconds", "Nodes") gets
    // `text`, which the core has formatted; the panel puts the field's label before it.
    virtual void ShowPanelValue(std::string_view /*field*/, std::string_view /*text*/) {}
    // The search's value for the "Value" field, from the view of `side` (the side to move at the
    // search's root), whose label names it. By default the plain field.
    virtual void ShowSearchValue(Side /*side*/, std::string_view text) {
        ShowPanelValue("Value", text);
    }
    virtual void StartClockDisplay() {}  // the one-second tick of the clock field
    virtual void StopClockDisplay() {}

    // Window state.
    virtual void SetCursor(Cursor /*cursor*/) {}
    virtual void SetMenu(MenuKind /*menu*/) {}
    // A menu item named by its component name ("UndoMove", "Level1", "TwoPlayer", ...): greyed
    // or not, its check mark, its caption.
    virtual void EnableMenuItem(std::string_view /*item*/, bool /*enabled*/) {}
    virtual void CheckMenuItem(std::string_view /*item*/, bool /*checked*/) {}
    virtual void SetMenuItemCaption(std::string_view /*item*/, std::string_view /*caption*/) {}
    // The file the game is saved in and restored from ("保存" writes there); empty for a game
    // that has none yet. The window's caption names it.
    virtual void ShowGameFile(std::string_view /*path*/) {}
    // The information panel, or the position editor's palette while the editor is open.
    virtual void BringPanelToFront(PanelKind /*panel*/) {}
    virtual void Beep() {}
    // The game has ended with `result` (gameResultText): the modal end-of-game dialog.
    virtual void ShowEndOfGame(std::string_view /*result*/) {}
    // A modal box with one OK button and no owner window; returns when it is closed.
    virtual void MessageBox(std::string_view /*text*/, std::string_view /*caption*/,
                            BoxIcon /*icon*/) {}

    // Language.
    // A text of the catalogue (platform/texts.h) in the player's language; the source itself
    // when there is no translation.
    virtual std::string Translate(std::string_view source) { return std::string(source); }
};

// Installs `display` (nullptr restores the silent default). The caller keeps ownership.
void SetDisplay(Display* display);
Display& CurrentDisplay();

inline void RedrawChangedSquares() {
    CurrentDisplay().RedrawChangedSquares();
}
inline void RedrawAll() {
    CurrentDisplay().RedrawAll();
}
inline void SyncShownBoard() {
    CurrentDisplay().SyncShownBoard();
}
inline void ClearShownBoard() {
    CurrentDisplay().ClearShownBoard();
}
inline void EndDrag(bool glideBack) {
    CurrentDisplay().EndDrag(glideBack);
}
inline void ClearThreatMarks() {
    CurrentDisplay().ClearThreatMarks();
}
inline void ResetPanel() {
    CurrentDisplay().ResetPanel();
}
inline void ShowTurn(Side side) {
    CurrentDisplay().ShowTurn(side);
}
inline void ShowMessage(std::string_view text) {
    CurrentDisplay().ShowMessage(text);
}
inline void ShowWarning(std::string_view text) {
    CurrentDisplay().ShowWarning(text);
}
inline void ShowMoveLine(Side side, std::string_view text) {
    CurrentDisplay().ShowMoveLine(side, text);
}
inline void ShowPanelValue(std::string_view field, std::string_view text) {
    CurrentDisplay().ShowPanelValue(field, text);
}
inline void ShowSearchValue(Side side, std::string_view text) {
    CurrentDisplay().ShowSearchValue(side, text);
}
inline void ShowLevel() {
    CurrentDisplay().ShowLevel();
}
inline void ClearBestPath() {
    CurrentDisplay().ClearBestPath();
}
inline void StartClockDisplay() {
    CurrentDisplay().StartClockDisplay();
}
inline void StopClockDisplay() {
    CurrentDisplay().StopClockDisplay();
}
inline void SetCursor(Cursor cursor) {
    CurrentDisplay().SetCursor(cursor);
}
inline void SetMenu(MenuKind menu) {
    CurrentDisplay().SetMenu(menu);
}
inline void EnableMenuItem(std::string_view item, bool enabled) {
    CurrentDisplay().EnableMenuItem(item, enabled);
}
inline void CheckMenuItem(std::string_view item, bool checked) {
    CurrentDisplay().CheckMenuItem(item, checked);
}
inline void SetMenuItemCaption(std::string_view item, std::string_view caption) {
    CurrentDisplay().SetMenuItemCaption(item, caption);
}
inline void ShowGameFile(std::string_view path) {
    CurrentDisplay().ShowGameFile(path);
}
inline void BringPanelToFront(PanelKind panel) {
    CurrentDisplay().BringPanelToFront(panel);
}
inline void Beep() {
    CurrentDisplay().Beep();
}
inline void ShowEndOfGame(std::string_view result) {
    CurrentDisplay().ShowEndOfGame(result);
}
inline void MessageBox(std::string_view text, std::string_view caption, BoxIcon icon) {
    CurrentDisplay().MessageBox(text, caption, icon);
}

}  // namespace xq
