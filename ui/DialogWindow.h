// How the game's dialogs and message boxes stand among the desktop's windows.
#pragma once

class QByteArray;
class QString;
class QWidget;
struct xcb_connection_t;

// The connection to the X server, or null where the game does not run on X11.
xcb_connection_t *x11Connection();

// Makes `dialog`, at each of its showings, a window of dialog kind that window managers treat
// as part of the game: kept off the task bar, with neither minimise nor maximise nor a window
// menu in its hints, and without an icon. Call it once, before the first showing.
void keepAsDialog(QWidget *dialog);

// Some window managers let the player minimise a modal dialog all the same, which leaves a game
// that ignores every click. Such a dialog comes back as soon as `mainWindow` is activated or
// clicked.
void bringBackMinimisedDialogs(QWidget *mainWindow);

// The task bar's name for `window`, which must exist by now: Qt sets the window's icon text
// only as _NET_WM_ICON_NAME; older task bars read WM_ICON_NAME.
void setTaskBarName(QWidget *window, const QString &name);

// Whether a window system event is the window manager's report of `window`'s frame extents.
bool reportsFrameExtents(const QByteArray &eventType, const void *message, const QWidget *window);
