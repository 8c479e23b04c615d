// The main window: the board view, the menu, the toolbar and the commands.
#include "ui/Unit1.h"

#include "resources/Texts.h"

TForm1::TForm1(QWidget *parent)
    : QMainWindow(parent)
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QString::fromUtf8(Texts::kMainCaption));
    m_game.SetUpLayout(FullBoard);
}
