// The three cell pictures (empty hole, peg, selected peg) and how a cell is drawn.
#pragma once

#include <QObject>
#include <QPixmap>

#include <array>

class QPainter;

class CellImages : public QObject
{
public:
    explicit CellImages(QObject *parent = nullptr);

    int count() const { return int(m_pictures.size()); }

    // Paints picture `index` (a CellState: 0 to 2) opaque with its top-left pixel at (x, y).
    void draw(QPainter &target, int x, int y, int index) const;

private:
    std::array<QPixmap, 3> m_pictures;
};
