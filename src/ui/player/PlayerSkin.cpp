#include "ui/player/PlayerSkin.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace {

// A sunken groove: dark top edge, light bottom edge.
void Groove(QPainter& painter, int left, int right, int y) {
    painter.fillRect(QRect(left, y, right - left, 1), QColor(120, 124, 130));
    painter.fillRect(QRect(left, y + 1, right - left, 1), QColor(60, 62, 66));
    painter.fillRect(QRect(left, y + 2, right - left, 1), QColor(250, 250, 252));
}

} // namespace

QPixmap PaintPlayerScreen() {
    QPixmap screen(274, 162);
    screen.fill(Qt::transparent);
    QPainter painter(&screen);
    painter.setRenderHint(QPainter::Antialiasing);
    QLinearGradient frame(0, 0, 0, 162);
    frame.setColorAt(0, QColor(200, 204, 210));
    frame.setColorAt(1, QColor(150, 154, 162));
    QPainterPath outer;
    outer.addRoundedRect(QRectF(1.5, 1.5, 271, 159), 9, 9);
    painter.fillPath(outer, frame);
    painter.setPen(QPen(QColor(110, 114, 120), 1));
    painter.drawPath(outer);
    // The bezel around the display, one pixel outside it.
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.fillRect(QRect(10, 10, 254, 144), QColor(70, 72, 78));
    painter.fillRect(QRect(11, 11, 252, 142), QColor(20, 20, 24));
    return screen;
}

QPixmap PaintPlayerBar() {
    QPixmap bar(274, 42);
    QPainter painter(&bar);
    QLinearGradient face(0, 0, 0, 42);
    face.setColorAt(0, QColor(236, 238, 240));
    face.setColorAt(1, QColor(206, 210, 214));
    painter.fillRect(bar.rect(), face);
    painter.fillRect(QRect(0, 41, 274, 1), QColor(150, 154, 162));
    // Grooves through the knobs' middles: position 19..252, volume 152..250.
    Groove(painter, 19, 253, 9);
    Groove(painter, 152, 251, 25);
    // A volume wedge under the groove, low at the silent end.
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(170, 176, 186));
    const QPointF wedge[] = {{152, 37}, {250, 37}, {250, 31}};
    painter.drawPolygon(wedge, 3);
    return bar;
}
