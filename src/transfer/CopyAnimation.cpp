#include "transfer/CopyAnimation.h"

#include <QPainter>
#include <QPainterPath>

#include <cmath>

namespace {

constexpr int FrameMs = 60;
const QColor FolderBack(0xd8, 0xa8, 0x30);
const QColor FolderFront(0xf4, 0xcc, 0x5c);
const QColor Outline(0x70, 0x50, 0x10);

// A folder whose opening faces up, its lower left corner at (x, bottom).
void DrawFolder(QPainter& painter, qreal x, qreal bottom)
{
    painter.setPen(QPen(Outline, 1));
    painter.setBrush(FolderBack);
    QPainterPath back;
    back.moveTo(x, bottom);
    back.lineTo(x, bottom - 30);
    back.lineTo(x + 14, bottom - 30);
    back.lineTo(x + 18, bottom - 26);
    back.lineTo(x + 48, bottom - 26);
    back.lineTo(x + 48, bottom);
    back.closeSubpath();
    painter.drawPath(back);
    painter.setBrush(FolderFront);
    painter.drawPolygon(QPolygonF({QPointF(x, bottom), QPointF(x + 4, bottom - 20), QPointF(x + 52, bottom - 20),
                                   QPointF(x + 48, bottom)}));
}

// A page with a folded corner and a few lines of text, centred on (0, 0).
void DrawSheet(QPainter& painter)
{
    painter.setPen(QPen(Qt::darkGray, 1));
    painter.setBrush(Qt::white);
    painter.drawPolygon(QPolygonF({QPointF(-8, -10), QPointF(4, -10), QPointF(8, -6), QPointF(8, 10), QPointF(-8, 10)}));
    painter.setPen(QPen(QColor(0x40, 0x60, 0xa0), 1));
    for (int row = 0; row < 4; ++row)
        painter.drawLine(QPointF(-5, -4 + row * 4), QPointF(5, -4 + row * 4));
}

}  // namespace

TCopyAnimation::TCopyAnimation(QWidget* parent) : QWidget(parent)
{
    timer_.setInterval(FrameMs);
    connect(&timer_, &QTimer::timeout, this, &TCopyAnimation::NextFrame);
}

void TCopyAnimation::NextFrame()
{
    frame_ = (frame_ + 1) % FrameCount;
    update();
}

void TCopyAnimation::showEvent(QShowEvent* event)
{
    timer_.start();
    QWidget::showEvent(event);
}

void TCopyAnimation::hideEvent(QHideEvent* event)
{
    timer_.stop();
    QWidget::hideEvent(event);
}

void TCopyAnimation::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal bottom = height() - 6;
    const qreal left = 24;
    const qreal right = width() - 24 - 52;
    DrawFolder(painter, left, bottom);
    DrawFolder(painter, right, bottom);

    // The sheet rises out of the left folder, arcs over and drops into the right one, turning
    // once on its way.
    const qreal t = static_cast<qreal>(frame_) / (FrameCount - 1);
    const qreal startX = left + 26, endX = right + 26, floor = bottom - 18;
    const qreal x = startX + (endX - startX) * t;
    const qreal y = floor - std::sin(t * M_PI) * (floor - 12);
    painter.translate(x, y);
    painter.rotate(t * 360);
    DrawSheet(painter);
}
