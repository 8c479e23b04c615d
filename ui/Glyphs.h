// Toolbar glyphs: a 32 x 16 picture pair whose bottom-left colour is transparent.
#pragma once

#include <QImage>

// The normal (left) 16 x 16 picture of `glyph`, with every pixel of the key colour, the
// colour of pixel (0,15), made transparent.
QImage normalGlyphPicture(const QImage &glyph);
