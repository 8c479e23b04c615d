// Starts Quorvel: the application, its four windows, and the event loop.
#include "ui/Application.h"
#include "ui/Unit1.h"
#include "ui/dialogs/Supriz.h"
#include "ui/dialogs/Unit4.h"
#include "ui/dialogs/Unit5.h"

#include <QApplication>

#include <cstdio>
#include <cstdlib>

int main(int argc, char *argv[])
{
    // Without any display Qt would abort with a cryptic message; say what is needed instead.
    if (!std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY")
        && !std::getenv("QT_QPA_PLATFORM")) {
        std::fputs("Quorvel needs a graphical display (X11 or Wayland), but none is set.\n",
                   stderr);
        return EXIT_FAILURE;
    }
    QApplication app(argc, argv);
    prepareApplication(app);
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icon/mainicon.png")));

    // Created in this order, each hidden until a command shows it, and reused until the end.
    TForm1 form1;
    TForm4 form4;
    TAboutBox1 aboutBox1;
    TForm2 form2;
    form1.setDialogs(&form4, &aboutBox1, &form2);
    form1.show();
    return app.exec();
}
