// A box that shows one built-in JPEG picture, stretched to fill it or at natural size.
#pragma once

#include <QImage>
#include <QString>
#include <QWidget>

class PictureBox : public QWidget
{
    Q_OBJECT

public:
    enum class Fit { Stretch, NaturalSize };

    PictureBox(const char *name, const QRect &place, const QString &resourcePath, Fit fit,
               QWidget *parent);

    // The decoded picture; null until the box is first drawn, and for ever if decoding failed.
    const QImage &picture() const { return m_picture; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void decodeOnce();

    QString m_resourcePath;
    Fit m_fit;
    bool m_decodingTried = false;
    QImage m_picture;
    QImage m_stretched; // m_picture scaled to the box, made once
};
