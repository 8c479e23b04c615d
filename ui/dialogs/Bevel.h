// A classic one-pixel bevel: a frame of two colours that looks pressed in or raised.
#pragma once

#include <QWidget>

class Bevel : public QWidget
{
    Q_OBJECT

public:
    enum class Shape { Lowered, Raised };

    Bevel(const char *name, const QRect &place, Shape shape, QWidget *parent);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    Shape m_shape;
};
