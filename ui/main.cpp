// Starts Quorvel: the application, its four windows, and the event loop.
#include "resources/Texts.h"
#include "ui/Application.h"
#include "ui/Unit1.h"
#include "ui/WindowSystem.h"
#include "ui/dialogs/Supriz.h"
#include "ui/dialogs/Unit4.h"
#include "ui/dialogs/Unit5.h"

#include <QApplication>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <string>

#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

namespace {

QtMessageHandler g_qtMessages = nullptr;

// While Qt opens the display, what is written to standard error is held back: on a dead display
// Qt, and the Wayland library below it, write lines of their own, and the player should read
// only the game's message. Once the display is open, the held lines are written out after all.
int g_standardError = -1;
int g_held = -1;

void holdStandardError()
{
    g_held = ::memfd_create("quorvel-stderr", MFD_CLOEXEC);
    g_standardError = ::fcntl(STDERR_FILENO, F_DUPFD_CLOEXEC, 0);
    if (g_held >= 0 && g_standardError >= 0 && ::dup2(g_held, STDERR_FILENO) >= 0)
        return;
    // Nothing held: the lines go where they always went.
    for (int fd : {g_held, g_standardError})
        if (fd >= 0)
            ::close(fd);
    g_held = g_standardError = -1;
}

void releaseStandardError(bool writeHeld)
{
    if (g_standardError < 0)
        return;
    ::dup2(g_standardError, STDERR_FILENO);
    ::close(g_standardError);
    char buffer[4096];
    ssize_t got = 0;
    if (writeHeld && ::lseek(g_held, 0, SEEK_SET) == 0)
        while ((got = ::read(g_held, buffer, sizeof buffer)) > 0)
            if (::write(STDERR_FILENO, buffer, std::size_t(got)) != got)
                break;
    ::close(g_held);
    g_held = g_standardError = -1;
}

// Qt aborts with a long note about reinstalling when no display is set or none answers; a
// player needs to hear which display failed, and a clean exit rather than a crash report.
void reportDisplayFailure(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    // Qt looks for the session's runtime folder as it starts, which the game never uses; where
    // there is none (a root shell, su, cron) its warning would only puzzle the player.
    if (type == QtWarningMsg
        && message.startsWith(QStringLiteral("QStandardPaths: XDG_RUNTIME_DIR not set")))
        return;
    if (type != QtFatalMsg) {
        g_qtMessages(type, context, message);
        return;
    }
    releaseStandardError(false);
    const char *x11 = std::getenv("DISPLAY");
    const char *wayland = std::getenv("WAYLAND_DISPLAY");
    const std::string text
        = Texts::fillIn(Texts::kNoDisplay, {x11 ? x11 : "", wayland ? wayland : ""});
    std::fputs(text.c_str(), stderr);
    std::_Exit(EXIT_FAILURE);
}

} // namespace

int main(int argc, char *argv[])
{
    // First of all: under a file-size limit the first write past it (a warning to a file, a
    // save) would end the game without a word and lose the game in play; ignored, the write
    // fails instead, and the player is told why.
    std::signal(SIGXFSZ, SIG_IGN);
    g_qtMessages = qInstallMessageHandler(reportDisplayFailure);
    // The game takes no arguments; Qt's own (-reverse, -style, -stylesheet ...) would change
    // its windows, so Qt sees the program's name alone.
    int qtArgc = argc > 0 ? 1 : 0;
    // The game's look is its own, so the desktop's platform theme plugin (GTK, KDE) is not
    // loaded: it costs start-up time and writes files under the player's home. Nor does Qt read
    // the desktop's colour scheme: every window wears Fusion's standard light colours.
    QGuiApplication::setDesktopSettingsAware(false);
    qunsetenv("QT_QPA_PLATFORMTHEME");
    chooseWindowSystem(argc, argv);
    // Qt looks at the desktop's screen reader setting only as it starts, and leaves screen
    // readers out for good when it is off then. Always joining the accessibility bus (as GTK
    // programs do) lets a screen reader switched on later reach the game.
    qputenv("QT_LINUX_ACCESSIBILITY_ALWAYS_ON", "1");
    holdStandardError();
    QApplication app(qtArgc, argv);
    releaseStandardError(true);
    // Past this point a fatal message is no display failure; Qt reports it its own way.
    qInstallMessageHandler(g_qtMessages);
    prepareApplication(app);
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icon/mainicon.png")));
    // Lets the desktop match the window with the installed menu entry and its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("io.github.quorvel.Quorvel"));

    // Created in this order, each hidden until a command shows it, and reused until the end.
    // The dialogs belong to the main window, so that window managers keep them with it.
    TForm1 form1;
    TForm4 form4(&form1);
    TAboutBox1 aboutBox1(&form1);
    TForm2 form2(&form1);
    form1.setDialogs(&form4, &aboutBox1, &form2);
    form1.show();
    return app.exec();
}
