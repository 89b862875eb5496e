// The widget that shows the main window's canvas. Painting only copies the canvas (pixel for
// pixel, or scaled nearest-neighbour on a high-density screen so the board stays crisp); a press
// of the left button and every pointer move become messages for the main window's queue.
#pragma once

#include <QWidget>

#include "ui/gdi/canvas.h"

namespace xq {

class CanvasWidget : public QWidget {
  public:
    CanvasWidget(const gdi::Canvas& canvas, QWidget* parent);

    // Called once a paint event has copied the canvas (start-up timing reads it).
    void (*afterPaint)() = nullptr;

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

  private:
    const gdi::Canvas& canvas_;
};

}  // namespace xq
