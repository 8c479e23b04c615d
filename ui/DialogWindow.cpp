// How the game's dialogs and message boxes stand among the desktop's windows.
#include "ui/DialogWindow.h"

#include <QAbstractNativeEventFilter>
#include <QApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QIcon>
#include <QPixmap>
#include <QPointer>
#include <QString>
#include <QWidget>
#include <QWindow>

#include <xcb/xcb.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

xcb_connection_t *x11Connection()
{
    // Other platforms (offscreen) may answer the X11 interface without a real connection.
    const auto *x11 = qApp->nativeInterface<QNativeInterface::QX11Application>();
    if (x11 && QGuiApplication::platformName() == QLatin1String("xcb"))
        return x11->connection();
    return nullptr;
}

namespace {

bool onWayland()
{
    return QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

// On Wayland a window opened anew comes in front, with the keyboard, neither minimised nor
// maximised: nothing else brings it back or gives it the keyboard. Done once the event at hand,
// which may come from the window's own title bar, is over.
void openAnewSoon(QWindow *window)
{
    QMetaObject::invokeMethod(
        window,
        [window] {
            window->setWindowStates(Qt::WindowNoState);
            window->hide();
            window->show();
        },
        Qt::QueuedConnection);
}

xcb_atom_t atom(xcb_connection_t *connection, const char *name)
{
    const xcb_intern_atom_cookie_t cookie
        = xcb_intern_atom(connection, 0, std::uint16_t(qstrlen(name)), name);
    xcb_intern_atom_reply_t *reply = xcb_intern_atom_reply(connection, cookie, nullptr);
    const xcb_atom_t found = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    free(reply);
    return found;
}

// Replaces a property of the window with a list of 32-bit values.
template<std::size_t N>
void setProperty(xcb_connection_t *connection, xcb_window_t window, const char *name,
                 xcb_atom_t type, const std::uint32_t (&values)[N])
{
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, window, atom(connection, name), type, 32,
                        std::uint32_t(N), values);
}

// Window managers read these properties when the window is mapped, so they are written just
// before, while the window is still unmapped; a window manager drops a window's state when it
// is withdrawn, so they are written again at every showing.
void markUnmappedWindow(xcb_connection_t *connection, xcb_window_t window)
{
    // Kept off the task bar: the main window's entry stands for the whole game. Qt adds its own
    // states (modal) to the property when it maps the window, right after this.
    setProperty(connection, window, "_NET_WM_STATE", XCB_ATOM_ATOM,
                {atom(connection, "_NET_WM_STATE_SKIP_TASKBAR")});

    // Qt's own Motif hints leave out minimise and maximise for a dialog, but ask for a window
    // menu whenever there is a close box. IceWM and xfwm4 show the window's icon as the menu's
    // button, and IceWM draws a clear icon there as a black square: so a frame with a title and
    // a close box, and no menu button.
    constexpr std::uint32_t kFunctions = 1, kDecorations = 2; // which fields count
    constexpr std::uint32_t kResize = 2, kMove = 4, kClose = 32;
    constexpr std::uint32_t kBorder = 2, kResizeHandles = 4, kTitle = 8;
    setProperty(connection, window, "_MOTIF_WM_HINTS", atom(connection, "_MOTIF_WM_HINTS"),
                {kFunctions | kDecorations, kResize | kMove | kClose,
                 kBorder | kResizeHandles | kTitle, 0, 0});
    // No flush: Qt's map request follows these on the same connection, and Qt sends it.
}

class DialogKind : public QObject
{
public:
    explicit DialogKind(QWidget *dialog)
        : QObject(dialog)
    {
        dialog->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        // Qt's own show event comes before the window is mapped; a spontaneous one after.
        if (event->type() == QEvent::Show && !event->spontaneous()) {
            auto *dialog = static_cast<QWidget *>(watched);
            if (xcb_connection_t *connection = x11Connection())
                markUnmappedWindow(connection, xcb_window_t(dialog->winId()));
            if (onWayland() && dialog->windowHandle() != m_window)
                watchTitleBar(dialog->windowHandle());
        }
        return false;
    }

private:
    // Qt 6.4's own title bars on Wayland offer minimise and maximise on every dialog. A
    // compositor that maximises a dialog of fixed size ends the game for the size mismatch, and
    // nothing brings a minimised window back. The button's request is already on its way when
    // the state changes here, and the compositor drops it with the window it was for.
    void watchTitleBar(QWindow *window)
    {
        m_window = window;
        connect(window, &QWindow::windowStateChanged, this, [window](Qt::WindowState state) {
            if (state == Qt::WindowMinimized || state == Qt::WindowMaximized)
                openAnewSoon(window);
        });
    }

    QPointer<QWindow> m_window;
};

void bringBackModalDialog()
{
    QWidget *modal = QApplication::activeModalWidget();
    // A Wayland compositor gives the keyboard to the main window when it is clicked, even while
    // a modal dialog blocks it, and Qt drops the keys there; a window may not take the keyboard
    // back on its own.
    if (modal && onWayland()) {
        openAnewSoon(modal->windowHandle());
        return;
    }
    if (!modal || !(modal->windowState() & Qt::WindowMinimized))
        return;
    modal->setWindowState(modal->windowState() & ~Qt::WindowMinimized);
    modal->raise();
    modal->activateWindow();
}

// The window that a mouse button was pressed in, or none. Qt reads the mouse through the X Input
// extension where the server has it, else through core events.
xcb_window_t pressedWindow(const xcb_generic_event_t *event)
{
    const int type = event->response_type & 0x7f;
    if (type == XCB_BUTTON_PRESS)
        return reinterpret_cast<const xcb_button_press_event_t *>(event)->event;
    if (type != XCB_GE_GENERIC)
        return XCB_WINDOW_NONE;
    static const std::uint8_t xinput = [] {
        xcb_connection_t *connection = x11Connection();
        const char name[] = "XInputExtension";
        xcb_query_extension_reply_t *reply = xcb_query_extension_reply(
            connection, xcb_query_extension(connection, sizeof name - 1, name), nullptr);
        const std::uint8_t opcode = reply && reply->present ? reply->major_opcode : 0;
        free(reply);
        return opcode;
    }();
    const auto *generic = reinterpret_cast<const xcb_ge_generic_event_t *>(event);
    constexpr std::uint16_t kButtonPress = 4; // XI_ButtonPress
    if (!xinput || generic->extension != xinput || generic->event_type != kButtonPress)
        return XCB_WINDOW_NONE;
    // An XI2 device event names its window at byte 24, after type, extension, sequence,
    // length, event type, device, time, detail and root.
    std::uint32_t window;
    std::memcpy(&window, reinterpret_cast<const char *>(event) + 24, sizeof window);
    return window;
}

// A press on a window that a modal dialog blocks never becomes a Qt event, so it is caught as
// the window system reports it.
class MinimisedDialogWatch : public QObject, public QAbstractNativeEventFilter
{
public:
    explicit MinimisedDialogWatch(QWidget *mainWindow)
        : QObject(mainWindow)
        , m_mainWindow(mainWindow)
    {
        mainWindow->installEventFilter(this);
        QCoreApplication::instance()->installNativeEventFilter(this);
    }
    ~MinimisedDialogWatch() override
    {
        QCoreApplication::instance()->removeNativeEventFilter(this);
    }

    bool nativeEventFilter(const QByteArray &type, void *message, qintptr *) override
    {
        if (type == "xcb_generic_event_t" && m_mainWindow->internalWinId()
            && pressedWindow(static_cast<const xcb_generic_event_t *>(message))
                == xcb_window_t(m_mainWindow->internalWinId()))
            bringBackModalDialog();
        return false;
    }

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        switch (event->type()) {
        case QEvent::WindowActivate:
            bringBackModalDialog();
            [[fallthrough]];
        case QEvent::WindowDeactivate:
            // Qt's own title bars on Wayland show a change of the keyboard only with the
            // window's next painting, and the board looks the same either way: a title bar left
            // gray after a dialog closes would say the keys go elsewhere.
            if (onWayland())
                m_mainWindow->update();
            break;
        default:
            break;
        }
        return false;
    }

private:
    QWidget *m_mainWindow;
};

} // namespace

void keepAsDialog(QWidget *dialog)
{
    // A dialog frame shows no icon. Without one of its own the dialog would wear the
    // application's, window managers would lend it the main window's, and Qt's title bars on
    // Wayland draw whichever it has: so its icon is a single clear pixel.
    QPixmap clear(1, 1);
    clear.fill(Qt::transparent);
    dialog->setWindowIcon(QIcon(clear));
    new DialogKind(dialog);
}

void bringBackMinimisedDialogs(QWidget *mainWindow)
{
    new MinimisedDialogWatch(mainWindow);
}

void setTaskBarName(QWidget *window, const QString &name)
{
    window->setWindowIconText(name);
    xcb_connection_t *connection = x11Connection();
    if (!connection || !window->internalWinId())
        return;
    const QByteArray latin1 = name.toLatin1();
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, xcb_window_t(window->winId()),
                        XCB_ATOM_WM_ICON_NAME, XCB_ATOM_STRING, 8, std::uint32_t(latin1.size()),
                        latin1.constData());
    xcb_flush(connection);
}

bool reportsFrameExtents(const QByteArray &eventType, const void *message, const QWidget *window)
{
    if (eventType != "xcb_generic_event_t")
        return false;
    const auto *event = static_cast<const xcb_generic_event_t *>(message);
    if ((event->response_type & 0x7f) != XCB_PROPERTY_NOTIFY)
        return false;
    const auto *change = static_cast<const xcb_property_notify_event_t *>(message);
    // Before the window exists natively its id is 0, which no event names.
    if (change->window != xcb_window_t(window->internalWinId()))
        return false;
    static const xcb_atom_t extents = atom(x11Connection(), "_NET_FRAME_EXTENTS");
    return change->atom == extents;
}
