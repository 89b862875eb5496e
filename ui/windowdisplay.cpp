#include "ui/windowdisplay.h"

#include <QApplication>
#include <QCoreApplication>
#include <QMessageBox>

#include "engine/flow.h"
#include "engine/think.h"
#include "platform/texts.h"
#include "ui/boardrenderer.h"
#include "ui/canvaswidget.h"
#include "ui/dialogs/messagedialogs.h"
#include "ui/forms/editform.h"
#include "ui/forms/infoform.h"
#include "ui/forms/mainform.h"
#include "ui/mouseentry.h"
#include "ui/movelist.h"
#include "ui/sprite.h"

namespace xq {

namespace {

QString Text(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

// The core draws its steps one after the other without returning to the event loop (the flash
// of the engine's move, the moves of a hint): each change of the pieces shown reaches the screen
// at once. A redraw that moves no piece (the easy level's frames drawn again after a move) is
// no step of its own: it goes to the screen with the step before or after it, without a wait.
void WindowDisplay::RedrawChangedSquares() {
    const bool piecesMoved = form_.Renderer().RedrawChangedSquares();
    form_.RefreshEditItems();
    form_.MoveList()->ScheduleRefresh();
    if (piecesMoved) form_.Board()->ShowStep(kBoardStepMilliseconds);
}

void WindowDisplay::RedrawAll() {
    form_.Renderer().RedrawAll();
    form_.RefreshEditItems();
    form_.MoveList()->ScheduleRefresh();
}

void WindowDisplay::SyncShownBoard() {
    form_.Renderer().SyncShownBoard();
    form_.MoveList()->ScheduleRefresh();
}

void WindowDisplay::ClearShownBoard() {
    ResetPanel();
    form_.Renderer().ClearShownBoard();
    form_.MoveList()->ScheduleRefresh();
}

void WindowDisplay::ResetPanel() {
    form_.InfoForm()->ResetPanel();
}

void WindowDisplay::ShowTurn(Side side) {
    form_.InfoForm()->ShowTurn(side);
}

void WindowDisplay::ShowMessage(std::string_view text) {
    form_.InfoForm()->ShowMessage(text);
}

void WindowDisplay::ShowWarning(std::string_view text) {
    if (soundOn) Beep();
    ShowMessage(text);
}

// The panel's move lines are read from the game with the move list (GameReview::
// ShowGameMoveLines), so that they follow every take-back, replay and change of language as the
// list does: the core's line only says that the game has moved.
void WindowDisplay::ShowMoveLine(Side, std::string_view) {
    form_.MoveList()->ScheduleRefresh();
}

void WindowDisplay::ClearBestPath() {
    form_.InfoForm()->ClearBestPath();
}

void WindowDisplay::ShowLevel() {
    form_.InfoForm()->ShowLevel(LevelText());
}

void WindowDisplay::ShowPanelValue(std::string_view field, std::string_view text) {
    form_.InfoForm()->ShowValue(field, text);
}

void WindowDisplay::ShowSearchValue(Side side, std::string_view text) {
    form_.InfoForm()->ShowSideValue(side, text);
}

void WindowDisplay::EndDrag(bool glideBack) {
    form_.Sprite().EndDrag(glideBack);
}

void WindowDisplay::ClearThreatMarks() {
    form_.Renderer().ClearThreatMarks();
}

void WindowDisplay::StartClockDisplay() {
    clockTimer_.start();
}

void WindowDisplay::StopClockDisplay() {
    clockTimer_.stop();
}

void WindowDisplay::SetCursor(Cursor cursor) {
    if (cursor == Cursor::Busy) {
        form_.setCursor(Qt::BusyCursor);
    } else {
        form_.unsetCursor();
    }
}

void WindowDisplay::SetMenu(MenuKind menu) {
    switch (menu) {
        case MenuKind::Normal:
            form_.Menus().Show(MenuBarKind::Normal);
            break;
        case MenuKind::Edit:
            form_.Menus().Show(MenuBarKind::Edit);
            break;
        case MenuKind::Think:
            form_.Menus().Show(MenuBarKind::Think);
            break;
    }
    form_.RefreshEditItems();
}

void WindowDisplay::EnableMenuItem(std::string_view item, bool enabled) {
    if (QAction* action = form_.Menus().Item(Text(item))) action->setEnabled(enabled);
}

void WindowDisplay::CheckMenuItem(std::string_view item, bool checked) {
    form_.Menus().SetChecked(Text(item), checked);
}

void WindowDisplay::SetMenuItemCaption(std::string_view item, std::string_view caption) {
    if (QAction* action = form_.Menus().Item(Text(item))) action->setText(Text(caption));
}

void WindowDisplay::ShowGameFile(std::string_view path) {
    form_.ShowGameFile(Text(path));
}

void WindowDisplay::BringPanelToFront(PanelKind panel) {
    if (panel == PanelKind::Info) {
        form_.InfoForm()->raise();
        return;
    }
    // The editor opens (its menu item has put a lifted piece back): the palette, hidden until
    // now, is painted afresh as it comes out.
    form_.EditForm()->FormPaint();
    form_.EditForm()->raise();
}

void WindowDisplay::Beep() {
    QApplication::beep();
}

void WindowDisplay::ShowEndOfGame(std::string_view result) {
    if (form_.closeWaiting) return;  // the window is closing anyway
    ShowEndOfGameDialog(Translate(result));
}

std::string WindowDisplay::Translate(std::string_view source) {
    const std::string key(source);
    return QCoreApplication::translate(kTextContext, key.c_str()).toStdString();
}

void WindowDisplay::MessageBox(std::string_view text, std::string_view caption, BoxIcon icon) {
    if (form_.closeWaiting) return;  // the window is closing anyway
    QMessageBox::Icon shown = QMessageBox::NoIcon;
    switch (icon) {
        case BoxIcon::None:
            break;
        case BoxIcon::Exclamation:
            shown = QMessageBox::Warning;
            break;
        case BoxIcon::Information:
            shown = QMessageBox::Information;
            break;
        case BoxIcon::Error:
            shown = QMessageBox::Critical;
            break;
    }
    QMessageBox box(shown, Text(caption), Text(text), QMessageBox::Ok);
    box.exec();
}

}  // namespace xq
