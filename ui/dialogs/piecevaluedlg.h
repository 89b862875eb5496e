// "棋子值对话": the material values of the six piece kinds other than the King, each shown by an
// edit box and a scroll bar in sixteenths of the engine's value (0..255). Created once and shown
// modally by "棋子值..."; showing loads the values from pieceValue, and only "确定" writes them
// back. Invalid entries are reported through ReportDialogError.
#pragma once

#include <QDialog>
#include <array>
#include <memory>

#include "rules/types.h"
#include "ui/dialogs/valuerows.h"

class QLabel;

namespace Ui {
class TPieceValueDlg;
}

namespace xq {

class TPieceValueDlg : public QDialog {
    Q_OBJECT

  public:
    // The kinds of the rows, top to bottom, and what "缺省 " sets them to (in sixteenths).
    static constexpr std::array<PieceKind, 6> kRowKinds = {Assist, Bishop, Knight,
                                                           Rook,   Gunner, Pawn};
    static constexpr std::array<int, 6> kDefaultValues = {32, 32, 64, 144, 69, 16};
    static constexpr int kScale = 16;

    explicit TPieceValueDlg(QWidget* parent = nullptr);
    ~TPieceValueDlg() override;

  protected:
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;

  private:
    // Widens the column of the piece names to the widest name, the scroll bars giving up the room.
    void FitRowNames();
    void FormShow();
    void ScrollBar_Change(size_t row, int position);
    void EditExit();
    // Checks the edits top to bottom and stops at the first invalid one.
    bool CheckEdits();
    void OKBtnClick();
    void CmDefault();

    std::unique_ptr<Ui::TPieceValueDlg> ui_;
    std::array<ByteRow, 6> rows_;
    std::array<QLabel*, 6> names_{};
    int nameWidth_ = 0;  // the names' column as the form lays it out: one character
    int nameGap_ = 0;    // from a name's column to its scroll bar
    std::array<int, 6> working_{};
};

}  // namespace xq
