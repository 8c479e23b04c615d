// The two 18 x 18 button pictures of the dialogs: a green check mark and an open door.
#pragma once

#include <QPixmap>

QPixmap checkMarkGlyph();
QPixmap openDoorGlyph();
