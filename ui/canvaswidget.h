// The widget that shows the main window's canvas. Painting only copies the canvas: pixel for pixel
// when the canvas is held at the screen's device pixel ratio, scaled down smoothly on a screen of
// a fractional ratio (the canvas is held at the next whole scale above it). A press of the left
// button and every pointer move become messages for the main window's queue, at the window pixel
// under the pointer.
// What the canvas changes reaches the screen at the next paint, except for the steps of an
// animation (a glide, a flashed move, a hint's moves): those are painted at once, each standing
// on the screen for its time before the next one replaces it.
// While a piece is carried, the clicks and pointer moves anywhere on the window's client area
// (the panel and the move list included) come to the board, and the pointer is hidden over the
// board only; the rest of the desktop is left alone.
#pragma once

#include <QPainter>
#include <QRect>
#include <QRegion>
#include <QWidget>
#include <cstdint>
#include <functional>

#include "ui/gdi/canvas.h"

namespace xq {

// The clock the animation steps wait on: milliseconds of a steady clock, and a wait.
struct FrameClock {
    std::function<int64_t()> now;
    std::function<void(int64_t milliseconds)> sleep;
};

// Copies `region` (window pixels) of `canvas` onto the widget that `painter` paints, whose device
// pixel ratio is `deviceRatio`: the widgets that show a canvas all paint through it.
void PaintCanvas(QPainter& painter, const gdi::Canvas& canvas, const QRegion& region,
                 qreal deviceRatio);

class CanvasWidget : public QWidget {
  public:
    CanvasWidget(const gdi::Canvas& canvas, QWidget* parent);
    ~CanvasWidget() override;

    // Called once a paint event has copied the canvas (start-up timing reads it).
    std::function<void()> afterPaint;
    // Paints over the canvas's copy in window pixels (the analysis arrows); the painter is clipped
    // to what the event repaints, where the canvas has just been copied afresh.
    std::function<void(QPainter& painter)> overlay;
    // How many paint events have copied the canvas so far.
    int Paints() const { return paints_; }

    // The canvas changed inside `changed`; the next paint shows it.
    void CanvasChanged(const QRect& changed);
    // One step of an animation: the step shown before stays until its time is up, then what the
    // canvas changed since is painted now; it stays for `holdMilliseconds` in turn.
    void ShowStep(int holdMilliseconds);
    // The steady clock and a sleep unless replaced; an empty clock puts those back.
    static void SetFrameClock(FrameClock clock);

    // A piece is carried (true) or put down: while it is, the client area's clicks and moves
    // come to the board, and the pointer is hidden when `hidePointer` (it is over the board).
    void CarryPiece(bool carrying, bool hidePointer);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    const gdi::Canvas& canvas_;
    int paints_ = 0;
    QRegion unpainted_;  // changed on the canvas, not yet on the screen
    bool stepShown_ = false;
    int64_t stepShownAt_ = 0;
    int64_t stepHold_ = 0;
    bool carrying_ = false;
};

}  // namespace xq
