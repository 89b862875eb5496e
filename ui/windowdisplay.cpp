#include "ui/windowdisplay.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

#include "rules/game.h"
#include "ui/forms/mainform.h"
#include "ui/qteventsource.h"

namespace xq {

namespace {

QString Text(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

void WindowDisplay::RedrawChangedSquares() {
    form_.Renderer().RedrawChangedSquares();
    form_.RefreshEditItems();
}

void WindowDisplay::RedrawAll() {
    form_.Renderer().RedrawAll();
    form_.RefreshEditItems();
}

void WindowDisplay::SyncShownBoard() {
    form_.Renderer().SyncShownBoard();
}

void WindowDisplay::ClearShownBoard() {
    ResetPanel();
    form_.Renderer().ClearShownBoard();
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
    form_.Menus().Show(menu == MenuKind::Think ? MenuBarKind::Think : MenuBarKind::Normal);
    form_.RefreshEditItems();
}

void WindowDisplay::Beep() {
    QApplication::beep();
}

// The end of the game: play again (a new game once the box is gone) or leave the program.
void WindowDisplay::ShowEndOfGame(std::string_view result) {
    if (form_.closeWaiting) return;  // the window is closing anyway
    QMessageBox box(QMessageBox::NoIcon, QString::fromUtf8("中国象棋"),
                    Text(result) + QString::fromUtf8("\n还玩吗？"), QMessageBox::NoButton, &form_);
    QPushButton* yes = box.addButton(QStringLiteral("Yes"), QMessageBox::YesRole);
    box.addButton(QStringLiteral("No"), QMessageBox::NoRole);
    box.exec();
    if (box.clickedButton() == yes) {
        gameOver = 0;
        PostToMainWindow(MessageKind::NewGameRequest);
    } else {
        PostToMainWindow(MessageKind::ExitRequest);
    }
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
