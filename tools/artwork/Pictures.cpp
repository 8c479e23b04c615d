// The three dialog pictures: the About emblem and the two pictures of the dedication dialog.
#include "Artwork.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <cmath>

namespace {

// The emblem: a large "Q" in black outline with a heavy shadow. It is shown stretched 1.78
// times wide and 1.27 times high, so it is drawn narrow to look round on screen.
void drawEmblemLetter(QPainter &painter, const QPointF &offset, const QBrush &fill, const QPen &pen)
{
    QPainterPath letter;
    const QRectF outer(6, 9, 34, 46);
    const QRectF inner = outer.adjusted(7, 8, -7, -8);
    letter.addEllipse(outer.translated(offset));
    letter.addEllipse(inner.translated(offset));
    QPainterPath tail;
    tail.moveTo(QPointF(26, 44) + offset);
    tail.lineTo(QPointF(32, 41) + offset);
    tail.lineTo(QPointF(46, 62) + offset);
    tail.lineTo(QPointF(39, 65) + offset);
    tail.closeSubpath();
    letter = letter.united(tail);
    letter.setFillRule(Qt::OddEvenFill);
    painter.setPen(pen);
    painter.setBrush(fill);
    painter.drawPath(letter);
}

} // namespace

QImage makeProgramIcon()
{
    QImage image(50, 70, QImage::Format_RGB32);
    image.fill(QColor(193, 193, 193));
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    drawEmblemLetter(painter, QPointF(3.5, 3), Qt::black, QPen(Qt::black, 2));
    drawEmblemLetter(painter, QPointF(0, 0), QColor(235, 235, 235), QPen(Qt::black, 2));
    return image;
}

QImage makeDedicationPicture()
{
    QImage image(484, 728, QImage::Format_RGB32);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    QLinearGradient wall(0, 0, 0, 480);
    wall.setColorAt(0, QColor(120, 84, 60));
    wall.setColorAt(1, QColor(200, 160, 110));
    painter.fillRect(image.rect(), wall);
    QLinearGradient sky(0, 60, 0, 400);
    sky.setColorAt(0, QColor(70, 120, 200));
    sky.setColorAt(1, QColor(230, 220, 190));
    painter.fillRect(QRect(90, 60, 304, 340), sky);
    QLinearGradient table(0, 470, 0, 728);
    table.setColorAt(0, QColor(120, 60, 30));
    table.setColorAt(1, QColor(70, 30, 12));
    painter.fillRect(QRect(0, 470, 484, 258), table);
    painter.setBrush(QColor(200, 130, 50));
    painter.setPen(QPen(QColor(90, 45, 15), 3));
    painter.drawEllipse(QPointF(242, 575), 170, 80);
    return image;
}

QImage makeWinterPicture()
{
    QImage image(147, 184, QImage::Format_RGB32);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, 120);
    sky.setColorAt(0, QColor(20, 30, 80));
    sky.setColorAt(1, QColor(90, 110, 170));
    painter.fillRect(image.rect(), sky);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(240, 240, 250));
    painter.drawEllipse(QPointF(110, 30), 12, 12);
    painter.drawRect(QRect(0, 120, 147, 64));
    return image;
}
