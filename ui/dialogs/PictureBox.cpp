// A box that shows one built-in JPEG picture, stretched to fill it or at natural size.
#include "ui/dialogs/PictureBox.h"

#include "platform/Jpeg.h"

#include <QFile>
#include <QPainter>

#include <cstddef>
#include <exception>

PictureBox::PictureBox(const char *name, const QRect &place, const QString &resourcePath, Fit fit,
                       QWidget *parent)
    : QWidget(parent)
    , m_resourcePath(resourcePath)
    , m_fit(fit)
{
    setObjectName(QString::fromLatin1(name));
    setGeometry(place);
}

void PictureBox::decodeOnce()
{
    if (m_decodingTried)
        return;
    m_decodingTried = true;

    QFile file(m_resourcePath);
    if (!file.open(QIODevice::ReadOnly))
        return;
    const QByteArray bytes = file.readAll();
    try {
        const RgbImage rgb = decodeJpeg(reinterpret_cast<const unsigned char *>(bytes.constData()),
                                        std::size_t(bytes.size()));
        // The decoder's rows have no padding, so the stride is exactly three bytes a pixel.
        m_picture
            = QImage(rgb.pixels.data(), rgb.width, rgb.height, rgb.width * 3, QImage::Format_RGB888)
                  .copy();
    } catch (const std::exception &) {
        // A picture that cannot be read leaves its box empty; the dialog still works.
        m_picture = QImage();
    }
}

void PictureBox::paintEvent(QPaintEvent *)
{
    // Decoded only now, so that start-up does not pay for pictures nobody may look at.
    decodeOnce();
    if (m_picture.isNull())
        return;

    QPainter painter(this);
    if (m_fit == Fit::NaturalSize) {
        painter.drawImage(0, 0, m_picture); // the widget clips what does not fit
        return;
    }
    // Each direction is scaled on its own: the picture fills the box and may look distorted.
    if (m_stretched.size() != size())
        m_stretched = m_picture.scaled(size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    painter.drawImage(0, 0, m_stretched);
}
