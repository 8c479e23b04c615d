// The two 18 x 18 button pictures of the dialogs (a green check mark and an open door), and
// button pictures that stay crisp on scaled displays.
#include "ui/dialogs/StockGlyphs.h"

#include <QIcon>
#include <QIconEngine>
#include <QImage>
#include <QPainter>

#include <cmath>

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

namespace {

// A picture enlarged by whole pixels to the size asked for, made when it is asked for: making
// every enlargement of every glyph at once slowed the start by a millisecond. Sizes between
// whole enlargements are smoothed down from the next larger one, as Qt does with its own icons.
// No glyph's button is ever disabled, so every mode shows the same picture.
class CrispIconEngine : public QIconEngine
{
public:
    explicit CrispIconEngine(const QImage &picture)
        : m_picture(picture)
    { }

    QPixmap pixmap(const QSize &size, QIcon::Mode mode, QIcon::State) override
    {
        const int scale = std::max(1, int(std::ceil(qreal(size.width()) / m_picture.width())));
        QPixmap pixmap = QPixmap::fromImage(m_picture.scaled(m_picture.size() * scale));
        const QSize shown = actualSize(size, mode, {});
        if (pixmap.size() != shown)
            pixmap = pixmap.scaled(shown, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        return pixmap;
    }

    QSize actualSize(const QSize &size, QIcon::Mode, QIcon::State) override
    {
        return m_picture.size().scaled(size, Qt::KeepAspectRatio);
    }

    void paint(QPainter *painter, const QRect &rect, QIcon::Mode mode, QIcon::State state) override
    {
        const qreal ratio = painter->device()->devicePixelRatioF();
        painter->drawPixmap(rect, pixmap(rect.size() * ratio, mode, state));
    }

    QIconEngine *clone() const override { return new CrispIconEngine(m_picture); }

private:
    QImage m_picture;
};

} // namespace

QIcon crispIcon(const QImage &picture)
{
    return QIcon(new CrispIconEngine(picture));
}
