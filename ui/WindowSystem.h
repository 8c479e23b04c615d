// Which of the desktop's window systems the game's windows go to.
#pragma once

// Chooses Qt's platform; call it before the application is created. A platform the player chose
// (QT_QPA_PLATFORM, or Qt's -platform argument) is kept. Otherwise the windows go through X11
// wherever an X server answers, in a Wayland session too (XWayland): there the window manager
// frames and places them as the game asks, while Qt 6.4's own title bars on Wayland offer
// minimise and maximise on every dialog, and compositors place dialogs where they like. Without
// X11, a Wayland session gets Wayland.
void chooseWindowSystem(int argc, char *argv[]);

// Qt 6.4 sometimes hangs in its Wayland shutdown, after the last window has gone, waiting on its
// own event thread. The game writes nothing at exit, so on Wayland the process ends as soon as
// the event loop does. Call it once the application exists.
void endWithEventLoopOnWayland();
