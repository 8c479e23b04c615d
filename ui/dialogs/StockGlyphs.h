// The two 18 x 18 button pictures of the dialogs (a green check mark and an open door), and
// button pictures that stay crisp on scaled displays.
#pragma once

#include <QIcon>
#include <QPixmap>

QPixmap checkMarkGlyph();
QPixmap openDoorGlyph();

// Qt smooths a picture that it enlarges for a scaled display; glyphs keep their square pixels at
// whole scales instead, as the board's pictures do.
QIcon crispIcon(const QImage &picture);
