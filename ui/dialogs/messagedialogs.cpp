#include "ui/dialogs/messagedialogs.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <algorithm>

#include "platform/messages.h"
#include "rules/game.h"

namespace xq {
namespace {

constexpr int kClientWidth = 292;
constexpr int kClientHeight = 183;
constexpr int kButtonTop = 140;
constexpr int kMessagePixelHeight = 17;

QString FromUtf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

void PostToMainWindow(MessageKind kind) {
    Message message;
    message.target = kMainWindow;
    message.kind = kind;
    PostMessage(message);
}

}  // namespace

ChessMessageDlg::ChessMessageDlg(const QString& caption) : panel_(new QFrame(this)) {
    setWindowTitle(caption);
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint);
    setFixedSize(kClientWidth, kClientHeight);

    auto* line = new QFrame(this);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    line->setGeometry(0, 120, kClientWidth, 2);

    panel_->setObjectName("Panel");
    panel_->setFrameShape(QFrame::Panel);
    panel_->setFrameShadow(QFrame::Sunken);
    panel_->setGeometry(48, 24, 185, 81);
    // The panel is filled with the system's grey-text colour; its text keeps the window-text one.
    panel_->setAutoFillBackground(true);
    QPalette grey = panel_->palette();
    grey.setColor(QPalette::Window, grey.color(QPalette::Disabled, QPalette::WindowText));
    panel_->setPalette(grey);
}

QPushButton* ChessMessageDlg::AddButton(const QString& text, int left) {
    auto* button = new QPushButton(text, this);
    button->setGeometry(left, kButtonTop, 75, 25);
    return button;
}

QLabel* ChessMessageDlg::AddPanelLabel(const QString& text) {
    auto* label = new QLabel(text, panel_);
    QFont font = label->font();
    font.setPixelSize(kMessagePixelHeight);
    label->setFont(font);
    return label;
}

TEndChessGameDlg::TEndChessGameDlg(const QString& result)
    : ChessMessageDlg(QString::fromUtf8("中国象棋")),
      message_(AddPanelLabel(result)),
      playAgain_(AddPanelLabel(QString::fromUtf8("还玩吗？"))),
      yes_(AddButton("Yes", 60)),
      no_(AddButton("No", 170)) {
    message_->setAlignment(Qt::AlignCenter);
    playAgain_->setAlignment(Qt::AlignCenter);
    message_->adjustSize();
    playAgain_->adjustSize();
    // Both labels hang from the panel's centre taken in window coordinates, less a fixed offset:
    // the result's centre lands on the panel's centre line, the question a line below it, both
    // starting where the result starts (never left of the panel's edge).
    const int centre = Panel()->x() + Panel()->width() / 2;
    const int middle = Panel()->y() + Panel()->height() / 2;
    const int left = std::max(0, centre - message_->width() / 2 - 50);
    message_->move(left, middle - message_->height() / 2 - 40);
    playAgain_->move(left, middle - playAgain_->height() / 2);

    setTabOrder(yes_, no_);
    yes_->setDefault(true);
    connect(yes_, &QPushButton::clicked, this, &TEndChessGameDlg::YesClick);
    connect(no_, &QPushButton::clicked, this, &TEndChessGameDlg::NoClick);
}

void TEndChessGameDlg::YesClick() {
    gameOver = 0;
    PostToMainWindow(MessageKind::NewGameRequest);
    accept();
}

void TEndChessGameDlg::NoClick() {
    PostToMainWindow(MessageKind::ExitRequest);
    accept();
}

TChessErrorDlg::TChessErrorDlg(const QString& text)
    : ChessMessageDlg(QString::fromUtf8("中国象棋错误")),
      message_(AddPanelLabel(text)),
      ok_(AddButton("OK", 111)) {
    message_->setAlignment(Qt::AlignCenter);
    message_->setWordWrap(true);
    message_->setGeometry(Panel()->contentsRect());
    ok_->setDefault(true);
    connect(ok_, &QPushButton::clicked, this, &QDialog::accept);
}

void ShowEndOfGameDialog(std::string_view result) {
    TEndChessGameDlg dialog(FromUtf8(result));
    dialog.exec();
}

void ShowErrorDialog(std::string_view text) {
    TChessErrorDlg dialog(FromUtf8(text));
    dialog.exec();
}

}  // namespace xq
