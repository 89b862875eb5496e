// A small board that draws a position of its own, given as FEN: the match dialog shows the game
// being played on it while the main board keeps the user's game. It only draws; it takes no
// clicks and knows no rule.
#pragma once

#include <QSize>
#include <QString>
#include <QWidget>

namespace xq {

class MiniBoard : public QWidget {
    Q_OBJECT

  public:
    explicit MiniBoard(QWidget* parent = nullptr);

    // The position's board field of a FEN (Red's pieces in capitals); a text it cannot read
    // leaves the board empty.
    void SetFen(const QString& fen);
    // The piece letter on a point, file 0..8 from Red's left, rank 0..9 from Red's side; ' ' for
    // none.
    QChar PieceAt(int file, int rank) const { return cells_[rank * 9 + file]; }

    QSize sizeHint() const override;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QChar cells_[90];
};

}  // namespace xq
