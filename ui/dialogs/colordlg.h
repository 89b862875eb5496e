// "设置颜色": the colour of the board squares, one edit box and one scroll bar per component and a
// preview patch. Created once and shown modally by "颜色..."; showing loads the stored colour,
// only "OK" stores the working colour, and after any close the window makes its board brush anew.
// The dialog does not know where the colour lives: the window hands it a ColourLinks.
#pragma once

#include <QDialog>
#include <array>
#include <cstdint>
#include <functional>
#include <memory>

#include "ui/dialogs/valuerows.h"

namespace Ui {
class TColorDlg;
}

namespace xq {

// A board colour packed as the settings file keeps it: R + 256 G + 65536 B.
using PackedColour = int32_t;
constexpr PackedColour PackColour(int red, int green, int blue) {
    return red + 256 * green + 65536 * blue;
}

struct ColourLinks {
    std::function<PackedColour()> read;       // the stored board colour (ColorSquare)
    std::function<void(PackedColour)> store;  // "OK": the new board colour
    std::function<void()> closed;             // after every close: new brush, board repainted
};

class TColorDlg : public QDialog {
    Q_OBJECT

  public:
    explicit TColorDlg(ColourLinks links, QWidget* parent = nullptr);
    ~TColorDlg() override;

    // The colour the preview shows.
    QColor PreviewColour() const;

  protected:
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;

  private:
    void ColorDlgShow();
    void ScrollBarChange();
    void EditExit();
    // Checks the edits red, green, blue and stops at the first invalid one; the preview is set
    // from the scroll bars after each check.
    bool CheckEdits();
    void OKClick();
    void SetPreviewFromScrollBars();

    std::unique_ptr<Ui::TColorDlg> ui_;
    ColourLinks links_;
    std::array<ByteRow, 3> rows_;
    std::array<int, 3> working_{};  // red, green, blue
};

}  // namespace xq
