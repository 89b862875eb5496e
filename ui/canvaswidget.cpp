#include "ui/canvaswidget.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>
#include <chrono>
#include <thread>
#include <utility>

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
    setFixedSize(canvas.Image().size());
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

void CanvasWidget::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter.drawImage(event->rect(), canvas_.Image(), event->rect());
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
    const QPoint at = event->position().toPoint();
    PostToMainWindow(MessageKind::LeftButtonDown, 0, at.x(), at.y());
}

void CanvasWidget::mouseMoveEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    PostToMainWindow(MessageKind::PointerMove, 0, at.x(), at.y());
}

// Only while a piece is carried: the panel's and the move list's clicks and moves are the
// board's, in its own coordinates. Menus, dialogs and other programs keep theirs.
bool CanvasWidget::eventFilter(QObject* watched, QEvent* event) {
    const bool move = event->type() == QEvent::MouseMove;
    if (!move && !IsLeftPress(event)) return false;
    auto* widget = qobject_cast<QWidget*>(watched);
    if (widget == nullptr || widget == this || !isAncestorOf(widget)) return false;
    const QPoint at = widget->mapTo(this, static_cast<QMouseEvent*>(event)->position().toPoint());
    PostToMainWindow(move ? MessageKind::PointerMove : MessageKind::LeftButtonDown, 0, at.x(),
                     at.y());
    return true;
}

}  // namespace xq
