// What the core tells the window, done by the main window: the board through its renderer (and
// the move list below it, which follows every change of the board), the information panel's
// texts, the clock's one-second timer, the menu bar and cursor, beeps and message boxes.
#pragma once

#include <QTimer>

#include "platform/display.h"

namespace xq {

class TMainForm;

// A move flashed by the engine and each move of a hint stand this long on the board before the
// next change replaces them: long enough to be seen, short enough not to hold the game up.
inline constexpr int kBoardStepMilliseconds = 150;

class WindowDisplay : public Display {
  public:
    WindowDisplay(TMainForm& form, QTimer& clockTimer) : form_(form), clockTimer_(clockTimer) {}

    void RedrawChangedSquares() override;
    void RedrawAll() override;
    void SyncShownBoard() override;
    void ClearShownBoard() override;
    void ClearThreatMarks() override;
    void ResetPanel() override;
    void ShowTurn(Side side) override;
    void ShowMessage(std::string_view text) override;
    void ShowWarning(std::string_view text) override;
    void ShowMoveLine(Side side, std::string_view text) override;
    void ClearBestPath() override;
    void ShowLevel() override;
    void ShowPanelValue(std::string_view field, std::string_view text) override;
    void ShowSearchValue(Side side, std::string_view text) override;
    void EndDrag(bool glideBack) override;
    void StartClockDisplay() override;
    void StopClockDisplay() override;
    void SetCursor(Cursor cursor) override;
    void SetMenu(MenuKind menu) override;
    void EnableMenuItem(std::string_view item, bool enabled) override;
    void CheckMenuItem(std::string_view item, bool checked) override;
    void SetMenuItemCaption(std::string_view item, std::string_view caption) override;
    void ShowGameFile(std::string_view path) override;
    void BringPanelToFront(PanelKind panel) override;
    void Beep() override;
    void ShowEndOfGame(std::string_view result) override;
    void MessageBox(std::string_view text, std::string_view caption, BoxIcon icon) override;
    // Through the installed translation, in the catalogue's context.
    std::string Translate(std::string_view source) override;

  private:
    TMainForm& form_;
    QTimer& clockTimer_;
};

}  // namespace xq
