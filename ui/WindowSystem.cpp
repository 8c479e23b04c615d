// Which of the desktop's window systems the game's windows go to.
#include "ui/WindowSystem.h"

#include <QByteArray>
#include <QGuiApplication>
#include <QtGlobal>

#include <xcb/xcb.h>

#include <cstdlib>
#include <string_view>

namespace {

// The value of Qt's -platform argument (or --platform), which Qt never sees: the game hands it
// no arguments.
const char *chosenOnCommandLine(int argc, char *argv[])
{
    for (int i = 1; i + 1 < argc; ++i) {
        const std::string_view argument = argv[i];
        if (argument == "-platform" || argument == "--platform")
            return argv[i + 1];
    }
    return nullptr;
}

// A Wayland session may name an X server that is gone (XWayland stopped, a stale variable).
bool x11Answers()
{
    xcb_connection_t *connection = xcb_connect(nullptr, nullptr);
    const bool answers = xcb_connection_has_error(connection) == 0;
    xcb_disconnect(connection);
    return answers;
}

} // namespace

void chooseWindowSystem(int argc, char *argv[])
{
    if (const char *chosen = chosenOnCommandLine(argc, argv)) {
        qputenv("QT_QPA_PLATFORM", QByteArray(chosen));
        return;
    }
    if (!qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        return;
    const bool wayland = !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
    const bool x11 = !qEnvironmentVariableIsEmpty("DISPLAY");
    // Without a Wayland display, X11 is not even asked whether it answers: when it does not, Qt
    // says so, and so does the game.
    if (x11 && (!wayland || x11Answers()))
        qputenv("QT_QPA_PLATFORM", QByteArrayLiteral("xcb"));
    else if (wayland)
        qputenv("QT_QPA_PLATFORM", QByteArrayLiteral("wayland"));
}

void endWithEventLoopOnWayland()
{
    if (!QGuiApplication::platformName().startsWith(QLatin1String("wayland")))
        return;
    // The event loop ends only when the last window has closed: the game's end, status 0.
    // Nothing waits in a stdio buffer: the game prints only Qt's messages, to stderr.
    QObject::connect(qApp, &QCoreApplication::aboutToQuit, [] { std::_Exit(EXIT_SUCCESS); });
}
