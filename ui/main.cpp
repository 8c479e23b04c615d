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

namespace {

QtMessageHandler g_qtMessages = nullptr;

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
    // Before anything writes: under a file-size limit, Qt's first warning to a file would kill us.
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
    QApplication app(qtArgc, argv);
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
