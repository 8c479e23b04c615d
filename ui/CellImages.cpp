// The three cell pictures (empty hole, peg, selected peg) and how a cell is drawn.
#include "ui/CellImages.h"

#include <QPainter>

#include <cmath>

CellImages::CellImages(QObject *parent)
    : QObject(parent)
    , m_pictures {QPixmap(QStringLiteral(":/cells/empty.png")),
                  QPixmap(QStringLiteral(":/cells/peg.png")),
                  QPixmap(QStringLiteral(":/cells/selected.png"))}
{
    setObjectName(QStringLiteral("ImageList1"));
}

void CellImages::draw(QPainter &target, int x, int y, int index) const
{
    if (index < 0 || index >= count())
        return;
    // The pictures are opaque, so a plain copy replaces whatever the square showed before.
    const QPixmap &picture = m_pictures[std::size_t(index)];
    const QTransform toDevice = target.deviceTransform();
    if (!toDevice.isScaling()) {
        target.drawPixmap(x, y, picture);
        return;
    }
    // On a scaled display the edges fall between device pixels. Each edge goes to the first
    // device pixel whose centre lies inside the picture, the rule by which a press on a device
    // pixel is judged, so a press selects whatever cell the pressed pixel shows.
    const QRectF exact = toDevice.mapRect(QRectF(QPointF(x, y), picture.deviceIndependentSize()));
    const auto edge = [](qreal at) { return std::ceil(at - 0.5); };
    const QRectF snapped(QPointF(edge(exact.left()), edge(exact.top())),
                         QPointF(edge(exact.right()), edge(exact.bottom())));
    target.drawPixmap(toDevice.inverted().mapRect(snapped), picture, QRectF(picture.rect()));
}
