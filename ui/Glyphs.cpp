// Toolbar glyphs: a 32 x 16 picture pair whose bottom-left colour is transparent.
#include "ui/Glyphs.h"

QImage normalGlyphPicture(const QImage &glyph)
{
    if (glyph.width() < 16 || glyph.height() < 16)
        return {};
    const QRgb key = glyph.pixel(0, 15) & RGB_MASK;
    QImage picture = glyph.copy(0, 0, 16, 16).convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x) {
            // Only the exact key colour is keyed out, inside the figure as well.
            if ((picture.pixel(x, y) & RGB_MASK) == key)
                picture.setPixel(x, y, qRgba(0, 0, 0, 0));
        }
    }
    return picture;
}
