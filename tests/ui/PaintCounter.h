// Counts the paint events of the widgets it is installed on.
#pragma once

#include <QEvent>
#include <QObject>

class PaintCounter : public QObject
{
public:
    int paints = 0;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        paints += event->type() == QEvent::Paint;
        return false;
    }
};
