// The two 18 x 18 button pictures of the dialogs (a green check mark and an open door), and
// button pictures that stay crisp on scaled displays.
#include "ui/dialogs/StockGlyphs.h"

#include <QIcon>
#include <QImage>
#include <QPainter>

namespace {

constexpr int kSide = 18;

QImage blankGlyph()
{
    QImage glyph(kSide, kSide, QImage::Format_ARGB32);
    glyph.fill(Qt::transparent);
    return glyph;
}

} // namespace

QPixmap checkMarkGlyph()
{
    QImage glyph = blankGlyph();
    QPainter painter(&glyph);
    // Crisp pixels like the classic button pictures, so no antialiasing.
    for (int thickness = 0; thickness < 3; ++thickness) {
        painter.setPen(thickness == 0 ? QColor(0, 160, 0) : QColor(0, 128, 0));
        painter.drawLine(2, 8 + thickness, 6, 12 + thickness);
        painter.drawLine(6, 12 + thickness, 15, 3 + thickness);
    }
    painter.end();
    return QPixmap::fromImage(glyph);
}

QPixmap openDoorGlyph()
{
    QImage glyph = blankGlyph();
    QPainter painter(&glyph);
    // The doorway: a black frame full of yellow light.
    painter.setPen(Qt::black);
    painter.setBrush(QColor(255, 255, 0));
    painter.drawRect(5, 1, 10, 15);
    // The door leaf swung in along the left side of the frame, narrowing towards the floor.
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(128, 0, 0));
    painter.drawRect(6, 2, 3, 11);
    painter.drawRect(6, 13, 2, 2);
    painter.setPen(QColor(0, 255, 255));
    painter.drawPoint(7, 3);
    painter.setPen(QColor(255, 255, 0));
    painter.drawPoint(8, 9);
    painter.end();
    return QPixmap::fromImage(glyph);
}

QIcon crispIcon(const QImage &picture)
{
    QIcon icon;
    for (int scale = 1; scale <= 4; ++scale) {
        QPixmap pixmap = QPixmap::fromImage(picture.scaled(picture.size() * scale));
        pixmap.setDevicePixelRatio(scale);
        icon.addPixmap(pixmap);
    }
    return icon;
}
