// Toolbar glyphs: a 32 x 16 picture pair whose bottom-left colour is transparent.
#include "ui/Glyphs.h"

QImage normalGlyphPicture(const QImage &glyph)
{
    if (glyph.width() < 16 || glyph.height() < 16)
        return {};
    const QRgb key = glyph.pixel(0, 15) & RGB_MASK;
    QImage picture = glyph.copy(0, 0, 16, 16).convertToFormat(QImage::Format_ARGB32);
    // Only the exact key colour is keyed out, inside the figure as well: it loses its opacity.
    // Line by line, as the glyphs are made at every start.
    for (int y = 0; y < picture.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(picture.scanLine(y));
        for (int x = 0; x < picture.width(); ++x) {
            if ((line[x] & RGB_MASK) == key)
                line[x] &= RGB_MASK;
        }
    }
    return picture;
}
