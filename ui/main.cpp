// Starts Quorvel: the application, its four windows, and the event loop.
#include "ui/Application.h"
#include "ui/Unit1.h"

#include <QApplication>
#include <QDialog>

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

    TForm1 form1;
    QDialog form4;
    QDialog aboutBox1;
    QDialog form2;
    form1.setDialogs(&form4, &aboutBox1, &form2);
    form1.show();
    return app.exec();
}
