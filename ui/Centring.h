// Places a top-level window in the middle of its screen by its outer frame.
#pragma once

class QWidget;

// Centres `window`, frame and all, on the screen of the window it is opened from (its parent's
// window, else the active one, else its own). Before the window manager has framed the window its
// frame is not known: the opener's frame stands in for it, and the window is centred once more as
// soon as the window manager tells the real one.
void centreOnScreen(QWidget *window);
