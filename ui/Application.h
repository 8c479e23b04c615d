// Application-wide set-up shared by the program and the widget tests.
#pragma once

class QApplication;

// Title, style, fonts and Qt's own Russian texts: everything that must hold before the
// first window is created.
void prepareApplication(QApplication &app);
