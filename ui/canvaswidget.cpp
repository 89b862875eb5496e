#include "ui/canvaswidget.h"

#include <QMouseEvent>
#include <QPainter>

#include "platform/messages.h"

namespace xq {

namespace {

void PostPointerMessage(MessageKind kind, QPoint at) {
    Message message;
    message.target = kMainWindow;
    message.kind = kind;
    message.x = at.x();
    message.y = at.y();
    PostMessage(message);
}

}  // namespace

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
    if (event->button() == Qt::LeftButton)
        PostPointerMessage(MessageKind::LeftButtonDown, event->position().toPoint());
}

void CanvasWidget::mouseMoveEvent(QMouseEvent* event) {
    PostPointerMessage(MessageKind::PointerMove, event->position().toPoint());
}

}  // namespace xq
