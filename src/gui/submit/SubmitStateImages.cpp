#include "submit/SubmitStateImages.h"

#include <QPainter>
#include <QPainterPath>
#include <QPen>

namespace vantor::gui {

namespace {

constexpr qreal kSize = SubmitStateImages::kSize;

// A filled disc with a darker rim: the base of most states, so that they
// differ first by colour and then by the sign on top.
void disc(QPainter &painter, const QColor &fill)
{
    painter.setPen(QPen(fill.darker(150), 1.0));
    painter.setBrush(fill);
    painter.drawEllipse(QRectF(0.5, 0.5, kSize - 1.0, kSize - 1.0));
}

QPen signPen(qreal width = 2.0)
{
    QPen pen(Qt::white, width);
    pen.setCapStyle(Qt::RoundCap);
    pen.setJoinStyle(Qt::RoundJoin);
    return pen;
}

void drawError(QPainter &painter)
{
    disc(painter, QColor(0xD0, 0x20, 0x20));
    painter.setPen(signPen());
    painter.drawLine(QPointF(4.5, 4.5), QPointF(9.5, 9.5));
    painter.drawLine(QPointF(9.5, 4.5), QPointF(4.5, 9.5));
}

void drawAccepted(QPainter &painter)
{
    disc(painter, QColor(0x2E, 0xA0, 0x3A));
    painter.setPen(signPen());
    painter.setBrush(Qt::NoBrush);
    QPainterPath tick;
    tick.moveTo(3.5, 7.5);
    tick.lineTo(6.0, 10.0);
    tick.lineTo(10.5, 4.0);
    painter.drawPath(tick);
}

// Still on its way, or an answer nobody could read: three dots.
void drawWorking(QPainter &painter)
{
    disc(painter, QColor(0xE8, 0xA8, 0x10));
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::white);
    for (const qreal x : {3.0, 6.0, 9.0})
        painter.drawEllipse(QRectF(x, 6.0, 2.2, 2.2));
}

// Nothing to do: already there, or a slot waiting for the others.
void drawIdle(QPainter &painter)
{
    disc(painter, QColor(0x30, 0x68, 0xC8));
    painter.setPen(signPen(1.8));
    painter.drawLine(QPointF(4.0, 5.5), QPointF(10.0, 5.5));
    painter.drawLine(QPointF(4.0, 8.5), QPointF(10.0, 8.5));
}

// The engine's server is being serviced: a warning triangle.
void drawDown(QPainter &painter)
{
    QPainterPath triangle;
    triangle.moveTo(7.0, 0.8);
    triangle.lineTo(13.3, 12.8);
    triangle.lineTo(0.7, 12.8);
    triangle.closeSubpath();
    const QColor fill(0xF0, 0x80, 0x10);
    painter.setPen(QPen(fill.darker(150), 1.0));
    painter.setBrush(fill);
    painter.drawPath(triangle);
    painter.setPen(signPen(1.8));
    painter.drawLine(QPointF(7.0, 5.0), QPointF(7.0, 8.3));
    painter.drawPoint(QPointF(7.0, 10.8));
}

// No answer in time: a clock.
void drawTimeout(QPainter &painter)
{
    disc(painter, QColor(0x80, 0x80, 0x90));
    painter.setPen(signPen(1.6));
    painter.drawLine(QPointF(7.0, 7.0), QPointF(7.0, 3.5));
    painter.drawLine(QPointF(7.0, 7.0), QPointF(9.8, 8.6));
}

// Refused by the engine: a no-entry sign.
void drawRejected(QPainter &painter)
{
    disc(painter, QColor(0x90, 0x10, 0x10));
    painter.setPen(signPen(2.2));
    painter.drawLine(QPointF(3.8, 7.0), QPointF(10.2, 7.0));
}

QPixmap drawStrip()
{
    QPixmap strip(SubmitStateImages::kSize * SubmitStateImages::kCount, SubmitStateImages::kSize);
    strip.fill(Qt::transparent);
    QPainter painter(&strip);
    painter.setRenderHint(QPainter::Antialiasing);
    const auto at = [&painter](int index, void (*draw)(QPainter &)) {
        painter.save();
        painter.translate(index * SubmitStateImages::kSize, 0);
        draw(painter);
        painter.restore();
    };
    at(1, drawError);
    at(3, drawAccepted);
    at(4, drawWorking);
    at(5, drawIdle);
    at(7, drawDown);
    at(8, drawTimeout);
    at(9, drawRejected);
    return strip;
}

} // namespace

const QPixmap &SubmitStateImages::strip()
{
    static const QPixmap images = drawStrip();
    return images;
}

QPixmap SubmitStateImages::pixmap(int index)
{
    if (index < 0 || index >= kCount)
        return {};
    return strip().copy(index * kSize, 0, kSize, kSize);
}

QIcon SubmitStateImages::icon(int index)
{
    const QPixmap image = pixmap(index);
    return image.isNull() ? QIcon() : QIcon(image);
}

} // namespace vantor::gui
