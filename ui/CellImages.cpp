// The three cell pictures (empty hole, peg, selected peg) and how a cell is drawn.
#include "ui/CellImages.h"

#include <QPainter>

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
    target.drawPixmap(x, y, m_pictures[std::size_t(index)]);
}
