#include "ui/canvaswidget.h"

#include <QMouseEvent>
#include <QPainter>

#include "ui/qteventsource.h"

namespace xq {

CanvasWidget::CanvasWidget(const gdi::Canvas& canvas, QWidget* parent)
    : QWidget(parent), canvas_(canvas) {
    setFixedSize(canvas.Image().size());
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
}

void CanvasWidget::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter.drawImage(event->rect(), canvas_.Image(), event->rect());
    painter.end();
    if (afterPaint != nullptr) afterPaint();
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

}  // namespace xq
