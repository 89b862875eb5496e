#include "ui/dialogs/messagedialogs.h"

#include <QCoreApplication>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QStyle>
#include <QTextLayout>
#include <algorithm>

#include "platform/messages.h"
#include "rules/game.h"

namespace xq {
namespace {

constexpr int kClientWidth = 292;
constexpr int kClientHeight = 183;
constexpr int kButtonTop = 140;
constexpr int kMessagePixelHeight = 17;
// A long error text widens the panel up to this many pixels of text before it takes more lines.
constexpr int kWidestText = 520;
// The room a grown panel keeps between its edge and the text.
constexpr int kTextMargin = 8;
// What the screen keeps free around a grown dialog (its title bar, the desktop's panels).
constexpr int kScreenMargin = 120;

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

ChessMessageDlg::ChessMessageDlg(const QString& caption)
    : panel_(new QFrame(this)), line_(new QFrame(this)) {
    setWindowTitle(caption);
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint);
    setFixedSize(kClientWidth, kClientHeight);

    line_->setFrameShape(QFrame::HLine);
    line_->setFrameShadow(QFrame::Sunken);
    line_->setGeometry(0, 120, kClientWidth, 2);

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

void ChessMessageDlg::GrowPanel(int width, int height) {
    setFixedSize(kClientWidth + width, kClientHeight + height);
    panel_->resize(panel_->width() + width, panel_->height() + height);
    line_->setGeometry(0, line_->y() + height, kClientWidth + width, line_->height());
    for (QPushButton* button : findChildren<QPushButton*>(Qt::FindDirectChildrenOnly))
        button->move(button->x() + width / 2, button->y() + height);
}

QStringList BreakLines(const QString& text, const QFont& font, int width) {
    QStringList lines;
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    for (const QString& paragraph : text.split(QLatin1Char('\n'))) {
        QTextLayout layout(paragraph, font);
        layout.setTextOption(option);
        layout.beginLayout();
        for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
            line.setLineWidth(width);
            lines << paragraph.mid(line.textStart(), line.textLength()).trimmed();
        }
        layout.endLayout();
        if (paragraph.isEmpty()) lines << QString();
    }
    return lines;
}

TEndChessGameDlg::TEndChessGameDlg(const QString& result)
    : ChessMessageDlg(QCoreApplication::translate("MessageDialogs", "中国象棋")),
      message_(AddPanelLabel(result)),
      playAgain_(AddPanelLabel(QCoreApplication::translate("MessageDialogs", "还玩吗？"))),
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
    : ChessMessageDlg(QCoreApplication::translate("MessageDialogs", "中国象棋错误")),
      message_(AddPanelLabel(text)),
      ok_(AddButton("OK", 111)) {
    message_->setAlignment(Qt::AlignCenter);
    FitText(text);
    ok_->setDefault(true);
    connect(ok_, &QPushButton::clicked, this, &QDialog::accept);
}

// The text keeps the panel as it is when it fits in it. Otherwise the panel widens up to
// kWidestText and then grows downwards; beyond what the screen holds the text scrolls.
void TChessErrorDlg::FitText(const QString& text) {
    const QRect room = Panel()->contentsRect();
    const QFont& font = message_->font();
    const QFontMetrics metrics(font);
    const auto height = [&metrics](const QStringList& lines) {
        return static_cast<int>(lines.size()) * metrics.lineSpacing();
    };
    // 1. A text the panel holds, broken at its words as a label breaks them, stays as it is.
    const QRect fitted =
        metrics.boundingRect(room, Qt::AlignCenter | Qt::TextWordWrap, message_->text());
    if (fitted.width() <= room.width() && fitted.height() <= room.height()) {
        message_->setWordWrap(true);
        message_->setGeometry(room);
        return;
    }
    // 2. Otherwise the panel widens for the longest line, then takes as many lines as needed.
    int widest = 0;
    for (const QString& paragraph : text.split(QLatin1Char('\n')))
        widest = std::max(widest, metrics.horizontalAdvance(paragraph) + 1);
    const int width = std::clamp(widest, room.width(), kWidestText);
    const QStringList lines = BreakLines(text, font, width);
    message_->setText(lines.join(QLatin1Char('\n')));
    // 3. As tall as the screen allows; the text scrolls beyond that.
    const QScreen* screen = this->screen();
    const int screenRoom = screen != nullptr ? screen->availableGeometry().height() : 768;
    const int tallest = std::max(room.height(), screenRoom - kClientHeight - kScreenMargin);
    const int needed = std::max(height(lines) + 2 * kTextMargin, room.height());
    if (needed <= tallest) {
        GrowPanel(width + 2 * kTextMargin - room.width(), needed - room.height());
        message_->setGeometry(Panel()->contentsRect());
        return;
    }
    // Too long for the screen: the panel as tall as it may be, the text scrolling inside it.
    auto* scroll = new QScrollArea(Panel());
    const int bar = scroll->style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    GrowPanel(width + 2 * kTextMargin + bar - room.width(), tallest - room.height());
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll->setGeometry(Panel()->contentsRect());
    scroll->viewport()->setAutoFillBackground(false);
    message_->resize(width + 2 * kTextMargin, needed);
    scroll->setWidget(message_);
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
