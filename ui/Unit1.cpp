// The main window: the menu, the toolbar, the commands, and the board view as its client area.
#include "ui/Unit1.h"

#include "resources/Texts.h"
#include "ui/BoardView.h"
#include "ui/Glyphs.h"
#include "ui/MessageBoxes.h"
#include "ui/dialogs/Centring.h"
#include "ui/dialogs/DialogWindow.h"
#include "ui/dialogs/StockGlyphs.h"

#include <QApplication>
#include <QDialog>
#include <QFile>
#include <QKeyEvent>
#include <QMenuBar>
#include <QToolButton>

#include <exception>

namespace {

constexpr int kToolBarHeight = 29;

QString text(const char *utf8)
{
    return QString::fromUtf8(utf8);
}

// A gap between groups of toolbar buttons.
class Splitter : public QWidget
{
public:
    Splitter(QWidget *parent, const char *name, int x, int width)
        : QWidget(parent)
    {
        setObjectName(QString::fromLatin1(name));
        setGeometry(x, 0, width, kToolBarHeight);
        setCursor(Qt::SplitHCursor);
    }
};

struct ToolButtonEntry
{
    const char *name;
    int x;
    const char *hint;
    void (TForm1::*handler)();
};

const ToolButtonEntry kToolButtons[] = {
    {"SpeedButton1", 7, Texts::kHintExit, &TForm1::N8Click},
    {"SpeedButton2", 30, Texts::kHintNew, &TForm1::N5Click},
    {"SpeedButton4", 53, Texts::kHintOpen, &TForm1::N7Click},
    {"SpeedButton3", 76, Texts::kHintSave, &TForm1::N6Click},
    {"SpeedButton5", 113, Texts::kHintLatinCross, &TForm1::N9Click},
    {"SpeedButton6", 136, Texts::kHintGreekCross, &TForm1::N10Click},
    {"SpeedButton7", 159, Texts::kHintFireplace, &TForm1::N11Click},
    {"SpeedButton8", 182, Texts::kHintLamp, &TForm1::N12Click},
    {"SpeedButton9", 205, Texts::kHintTurnedSquare, &TForm1::N13Click},
    {"SpeedButton10", 228, Texts::kHintPyramid, &TForm1::N14Click},
    {"SpeedButton11", 251, Texts::kHintFullBoard, &TForm1::N15Click},
    {"SpeedButton12", 289, Texts::kHintRules, &TForm1::N4Click},
    {"SpeedButton13", 312, Texts::kHintAbout, &TForm1::N16Click},
};

struct MenuItemEntry
{
    const char *name;
    const char *text;
    void (TForm1::*handler)();
};

struct MenuEntry
{
    const char *name;
    const char *title;
    std::initializer_list<MenuItemEntry> items;
};

} // namespace

TForm1::TForm1(QWidget *parent)
    : QMainWindow(parent)
    , m_openDialog("OpenDialog1", QFileDialog::AcceptOpen, "")
    , m_saveDialog("SaveDialog1", QFileDialog::AcceptSave, Texts::kInitialSaveName)
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(text(Texts::kMainCaption));
    setWindowIcon(QIcon(QStringLiteral(":/icon/mainicon.png")));
    bringBackMinimisedDialogs(this);

    m_clientArea = new BoardView(m_game, this);
    setCentralWidget(m_clientArea);
    buildMenu();
    buildToolBar();
    // The toolbar buttons show pictures only; a screen reader names them by their hints.
    for (QToolButton *button : m_clientArea->findChildren<QToolButton *>())
        button->setAccessibleName(button->toolTip());

    resize(m_clientArea->sizeHint() + QSize(0, menuBar()->sizeHint().height()));
}

TForm1::~TForm1() = default;

void TForm1::setDialogs(QDialog *rules, QDialog *about, QDialog *gift)
{
    m_rulesDialog = rules;
    m_aboutDialog = about;
    m_giftDialog = gift;
}

void TForm1::buildMenu()
{
    const MenuEntry menus[] = {
        {"N1",
         Texts::kMenuFile,
         {{"N5", Texts::kMenuNew, &TForm1::N5Click},
          {"N6", Texts::kMenuSave, &TForm1::N6Click},
          {"N7", Texts::kMenuOpen, &TForm1::N7Click},
          {"N8", Texts::kMenuExit, &TForm1::N8Click}}},
        {"N2",
         Texts::kMenuGame,
         {{"N9", Texts::kMenuLatinCross, &TForm1::N9Click},
          {"N10", Texts::kMenuGreekCross, &TForm1::N10Click},
          {"N11", Texts::kMenuFireplace, &TForm1::N11Click},
          {"N12", Texts::kMenuLamp, &TForm1::N12Click},
          {"N13", Texts::kMenuTurnedSquare, &TForm1::N13Click},
          {"N14", Texts::kMenuPyramid, &TForm1::N14Click},
          {"N15", Texts::kMenuFullBoard, &TForm1::N15Click}}},
        {"N3",
         Texts::kMenuHelp,
         {{"N4", Texts::kMenuRules, &TForm1::N4Click},
          {"N16", Texts::kMenuAbout, &TForm1::N16Click}}},
    };
    QMenuBar *bar = menuBar();
    bar->setObjectName(QStringLiteral("MainMenu1"));
    for (const MenuEntry &entry : menus) {
        QMenu *menu = bar->addMenu(text(entry.title));
        menu->setObjectName(QString::fromLatin1(entry.name));
        menu->menuAction()->setObjectName(QString::fromLatin1(entry.name));
        for (const MenuItemEntry &item : entry.items) {
            QAction *action = menu->addAction(text(item.text));
            action->setObjectName(QString::fromLatin1(item.name));
            connect(action, &QAction::triggered, this, item.handler);
        }
    }
}

void TForm1::buildToolBar()
{
    auto *toolBar = new QWidget(m_clientArea);
    toolBar->setObjectName(QStringLiteral("ToolBar1"));
    toolBar->setGeometry(0, 0, 4096, kToolBarHeight);
    toolBar->setAutoFillBackground(true);
    toolBar->setBackgroundRole(QPalette::Button);
    // Presses on the strip belong to its buttons, never to the board beneath.
    toolBar->setAttribute(Qt::WA_NoMousePropagation);

    new Splitter(toolBar, "Splitter1", 0, 7);
    new Splitter(toolBar, "Splitter2", 99, 14);
    new Splitter(toolBar, "Splitter3", 274, 15);

    for (const ToolButtonEntry &entry : kToolButtons) {
        auto *button = new QToolButton(toolBar);
        const QString name = QString::fromLatin1(entry.name);
        button->setObjectName(name);
        button->setGeometry(entry.x, 2, 23, 22);
        button->setAutoRaise(true);
        button->setFocusPolicy(Qt::NoFocus);
        button->setToolTip(text(entry.hint));
        button->setIconSize(QSize(16, 16));
        const QImage glyph(QStringLiteral(":/glyphs/%1.png").arg(name));
        button->setIcon(crispIcon(normalGlyphPicture(glyph)));
        connect(button, &QToolButton::clicked, this, entry.handler);
    }
}

void TForm1::FormPaint(QPainter &painter)
{
    m_clientArea->FormPaint(painter);
}

void TForm1::FormMouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers,
                           QPointF position)
{
    m_clientArea->FormMouseDown(button, modifiers, position);
}

void TForm1::showEvent(QShowEvent *event)
{
    // The first showing comes before the first paint, activation and click.
    if (!m_created) {
        m_created = true;
        // The task bar shows the application title; the caption stays Russian.
        setTaskBarName(this, text(Texts::kApplicationTitle));
        FormCreate();
        centreOnScreen(this);
    }
    QMainWindow::showEvent(event);
}

void TForm1::FormCreate()
{
    m_game.BoardKind = FullBoard;
    m_game.SetUpLayout(FullBoard);
}

void TForm1::keyPressEvent(QKeyEvent *event)
{
    FormKeyDown(event->key());
}

void TForm1::FormKeyDown(int key)
{
    // Home opens the dedication whatever modifiers are held; no other key means anything.
    if (key == Qt::Key_Home && m_giftDialog)
        m_giftDialog->exec();
}

template<typename Command> void TForm1::guarded(Command &&command)
{
    try {
        command();
    } catch (const std::exception &failure) {
        showError(this, QString::fromUtf8(failure.what()));
    }
}

void TForm1::dealLayout(std::int32_t kind)
{
    m_game.SetUpLayout(kind);
    m_clientArea->redrawPlayfieldNow();
}

void TForm1::N5Click()
{
    // A kind out of range, from a loaded file, deals nothing: only the redraw happens.
    dealLayout(m_game.BoardKind);
}

void TForm1::N6Click()
{
    const QString path = m_saveDialog.choose(this);
    if (path.isEmpty())
        return;
    guarded([&] { m_game.SaveGame(QFile::encodeName(path).toStdString(), m_files); });
}

void TForm1::N7Click()
{
    const QString path = m_openDialog.choose(this);
    if (path.isEmpty())
        return;
    guarded([&] {
        m_game.LoadGame(QFile::encodeName(path).toStdString(), m_files);
        m_clientArea->redrawPlayfieldNow();
    });
}

void TForm1::N8Click()
{
    close();
}

void TForm1::N9Click()
{
    dealLayout(LatinCross);
}

void TForm1::N10Click()
{
    dealLayout(GreekCross);
}

void TForm1::N11Click()
{
    dealLayout(Fireplace);
}

void TForm1::N12Click()
{
    dealLayout(Lamp);
}

void TForm1::N13Click()
{
    dealLayout(TurnedSquare);
}

void TForm1::N14Click()
{
    dealLayout(Pyramid);
}

void TForm1::N15Click()
{
    dealLayout(FullBoard);
}

void TForm1::N4Click()
{
    if (m_rulesDialog)
        m_rulesDialog->exec();
}

void TForm1::N16Click()
{
    if (m_aboutDialog)
        m_aboutDialog->exec();
}
