// A classic one-pixel bevel: a frame of two colours that looks pressed in or raised.
#include "ui/dialogs/Bevel.h"

#include <QPainter>

Bevel::Bevel(const char *name, const QRect &place, Shape shape, QWidget *parent)
    : QWidget(parent)
    , m_shape(shape)
{
    setObjectName(QString::fromLatin1(name));
    setGeometry(place);
    // Only a frame: whatever lies inside stays visible and clickable.
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void Bevel::paintEvent(QPaintEvent *)
{
    // Light falls from the upper left: a lowered frame is in shadow there, a raised one lit.
    const QColor shadow = palette().color(QPalette::Dark);
    const QColor light = palette().color(QPalette::Light);
    const bool lowered = m_shape == Shape::Lowered;
    const int right = width() - 1;
    const int bottom = height() - 1;

    QPainter painter(this);
    painter.setPen(lowered ? shadow : light);
    painter.drawLine(0, 0, right - 1, 0);
    painter.drawLine(0, 0, 0, bottom - 1);
    painter.setPen(lowered ? light : shadow);
    painter.drawLine(right, 0, right, bottom);
    painter.drawLine(0, bottom, right, bottom);
}
