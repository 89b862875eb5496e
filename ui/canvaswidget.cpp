#include "ui/canvaswidget.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>
#include <chrono>
#include <thread>
#include <utility>

#include "ui/boardgeometry.h"
#include "ui/qteventsource.h"

namespace xq {

namespace {

FrameClock SteadyClock() {
    return {[] {
                return static_cast<int64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                                std::chrono::steady_clock::now().time_since_epoch())
                                                .count());
            },
            [](int64_t milliseconds) {
                std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
            }};
}

FrameClock& Clock() {
    static FrameClock clock = SteadyClock();
    return clock;
}

bool IsLeftPress(const QEvent* event) {
    return (event->type() == QEvent::MouseButtonPress ||
            event->type() == QEvent::MouseButtonDblClick) &&
           static_cast<const QMouseEvent*>(event)->button() == Qt::LeftButton;
}

}  // namespace

CanvasWidget::CanvasWidget(const gdi::Canvas& canvas, QWidget* parent)
    : QWidget(parent), canvas_(canvas) {
    setFixedSize(canvas.Width(), canvas.Height());
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
}

CanvasWidget::~CanvasWidget() {
    if (carrying_) qApp->removeEventFilter(this);
}

void CanvasWidget::SetFrameClock(FrameClock clock) {
    Clock() = clock.now && clock.sleep ? std::move(clock) : SteadyClock();
}

void CanvasWidget::CanvasChanged(const QRect& changed) {
    unpainted_ += changed;
    update(changed);
}

void CanvasWidget::ShowStep(int holdMilliseconds) {
    if (unpainted_.isEmpty() || !isVisible()) return;
    // 1. The step on the screen has its time.
    const FrameClock& clock = Clock();
    if (stepShown_) {
        const int64_t due = stepShownAt_ + stepHold_;
        const int64_t now = clock.now();
        if (now < due) clock.sleep(due - now);
    }
    // 2. This one reaches the screen now (with whatever else of the window waits for a paint).
    repaint(unpainted_);
    stepShown_ = true;
    stepShownAt_ = clock.now();
    stepHold_ = holdMilliseconds;
}

// At the canvas's own scale each rectangle is copied device pixel for device pixel. Otherwise the
// copy is filtered: each rectangle is drawn from a source two window pixels wider on every side,
// clipped to the rectangle, so that its edge is filtered with the pixels round it and joins the
// screen's neighbouring pixels without a seam.
void PaintCanvas(QPainter& painter, const gdi::Canvas& canvas, const QRegion& region,
                 qreal deviceRatio) {
    const int scale = canvas.Scale();
    const bool exact = qFuzzyCompare(deviceRatio, static_cast<qreal>(scale));
    const QRect whole(0, 0, canvas.Width(), canvas.Height());
    painter.setRenderHint(QPainter::SmoothPixmapTransform, !exact);
    for (const QRect& rect : region) {
        const QRect source = exact ? rect : rect.adjusted(-2, -2, 2, 2).intersected(whole);
        if (!exact) painter.setClipRect(rect);
        painter.drawImage(QRectF(source), canvas.Image(),
                          QRectF(source.x() * scale, source.y() * scale, source.width() * scale,
                                 source.height() * scale));
    }
    painter.setClipping(false);
}

void CanvasWidget::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    PaintCanvas(painter, canvas_, event->region(), devicePixelRatioF());
    if (overlay) overlay(painter);
    painter.end();
    unpainted_ -= event->region();
    ++paints_;
    if (afterPaint) afterPaint();
}

void CanvasWidget::CarryPiece(bool carrying, bool hidePointer) {
    if (carrying != carrying_) {
        carrying_ = carrying;
        if (carrying) {
            qApp->installEventFilter(this);
        } else {
            qApp->removeEventFilter(this);
        }
    }
    if (carrying && hidePointer) {
        setCursor(Qt::BlankCursor);
    } else {
        unsetCursor();
    }
}

void CanvasWidget::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    const QPoint at = WindowPixel(event->position());
    PostToMainWindow(MessageKind::LeftButtonDown, 0, at.x(), at.y());
}

void CanvasWidget::mouseMoveEvent(QMouseEvent* event) {
    const QPoint at = WindowPixel(event->position());
    PostToMainWindow(MessageKind::PointerMove, 0, at.x(), at.y());
}

// Only while a piece is carried: the panel's and the move list's clicks and moves are the
// board's, in its own coordinates. Menus, dialogs and other programs keep theirs.
bool CanvasWidget::eventFilter(QObject* watched, QEvent* event) {
    const bool move = event->type() == QEvent::MouseMove;
    if (!move && !IsLeftPress(event)) return false;
    auto* widget = qobject_cast<QWidget*>(watched);
    if (widget == nullptr || widget == this || !isAncestorOf(widget)) return false;
    const QPoint at =
        WindowPixel(widget->mapTo(this, static_cast<QMouseEvent*>(event)->position()));
    PostToMainWindow(move ? MessageKind::PointerMove : MessageKind::LeftButtonDown, 0, at.x(),
                     at.y());
    return true;
}

}  // namespace xq
