// The game's two kinds of message box: information and error, both centred on the screen.
#pragma once

class QString;
class QWidget;

// A modal box captioned "Information" with the information icon and one OK button.
void showInformation(QWidget *parent, const QString &text);

// A modal box captioned with the application title, with the stop icon and one OK button;
// `text` is a failure text, shown with the full stop rule applied.
void showError(QWidget *parent, const QString &text);
