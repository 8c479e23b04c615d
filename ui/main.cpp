// Starts Quorvel: the application, its one main window, and the event loop.
#include "ui/Application.h"
#include "ui/Unit1.h"

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
    TForm1 form;
    form.show();
    return app.exec();
}
