#include "ui/dialogs/miniboard.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPointF>
#include <algorithm>
#include <iterator>

namespace xq {

namespace {

constexpr int kCell = 28;
constexpr int kMargin = kCell / 2 + 2;
const QColor kBoardColour(0xE8, 0xC8, 0x8C);
const QColor kRedColour(0xC0, 0x00, 0x00);

// The characters of the pieces by FEN letter, as the game's own pieces read.
QChar PieceCharacter(QChar letter) {
    static const QString kLetters = QStringLiteral("KAB NRCPkabnrcp");
    static const QString kCharacters = QString::fromUtf8("帅仕相 马车炮兵将士象马车炮卒");
    const qsizetype at = kLetters.indexOf(letter);
    return at < 0 ? QChar(u'?') : kCharacters[at];
}

}  // namespace

MiniBoard::MiniBoard(QWidget* parent) : QWidget(parent) {
    std::fill(std::begin(cells_), std::end(cells_), QChar(u' '));
    setMinimumSize(sizeHint());
}

QSize MiniBoard::sizeHint() const {
    return {8 * kCell + 2 * kMargin, 9 * kCell + 2 * kMargin};
}

// Ranks from 9 down to 0, each from file 0: a digit counts empty points.
void MiniBoard::SetFen(const QString& fen) {
    std::fill(std::begin(cells_), std::end(cells_), QChar(u' '));
    const QString placement = fen.section(u' ', 0, 0);
    int rank = 9, file = 0;
    for (const QChar c : placement) {
        if (c == u'/') {
            --rank;
            file = 0;
        } else if (c.isDigit()) {
            file += c.digitValue();
        } else if (rank >= 0 && file < 9) {
            cells_[rank * 9 + file++] = c;
        }
    }
    update();
}

void MiniBoard::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.fillRect(rect(), kBoardColour);
    auto point = [](int file, int rank) {
        return QPointF(kMargin + file * kCell, kMargin + (9 - rank) * kCell);
    };
    // 1. The lines: the ranks whole, the inner files broken by the river, the palaces' diagonals.
    painter.setPen(QPen(Qt::black, 1));
    for (int rank = 0; rank < 10; ++rank)
        painter.drawLine(point(0, rank), point(8, rank));
    for (int file = 0; file < 9; ++file) {
        const bool outer = file == 0 || file == 8;
        painter.drawLine(point(file, 0), point(file, outer ? 9 : 4));
        if (!outer) painter.drawLine(point(file, 5), point(file, 9));
    }
    for (const int low : {0, 7}) {
        painter.drawLine(point(3, low), point(5, low + 2));
        painter.drawLine(point(5, low), point(3, low + 2));
    }
    // 2. The pieces: discs with their characters.
    QFont font = painter.font();
    font.setPixelSize(kCell * 5 / 9);
    painter.setFont(font);
    const qreal radius = kCell * 0.45;
    for (int rank = 0; rank < 10; ++rank) {
        for (int file = 0; file < 9; ++file) {
            const QChar letter = PieceAt(file, rank);
            if (letter == u' ') continue;
            const QColor ink = letter.isUpper() ? kRedColour : Qt::black;
            const QRectF disc(point(file, rank) - QPointF(radius, radius),
                              QSizeF(2 * radius, 2 * radius));
            painter.setPen(QPen(ink, 1.5));
            painter.setBrush(QColor(0xFA, 0xEB, 0xC8));
            painter.drawEllipse(disc);
            painter.drawText(disc, Qt::AlignCenter, PieceCharacter(letter));
        }
    }
}

}  // namespace xq
