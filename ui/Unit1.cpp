// The main window: the menu, the toolbar, the commands, and the board view as its client area.
#include "ui/Unit1.h"

#include "resources/Texts.h"
#include "ui/BoardAccessibility.h"
#include "ui/BoardView.h"
#include "ui/Centring.h"
#include "ui/DialogWindow.h"
#include "ui/Glyphs.h"
#include "ui/MessageBoxes.h"
#include "ui/ScreenReaderWatch.h"
#include "ui/dialogs/StockGlyphs.h"

#include <QApplication>
#include <QDialog>
#include <QFile>
#include <QKeyEvent>
#include <QMenuBar>
#include <QToolButton>

#include <algorithm>
#include <exception>
#include <utility>
#include <vector>

namespace {

constexpr int kToolBarHeight = 29;

QString text(const char *utf8)
{
    return QString::fromUtf8(utf8);
}

// The toolbar strip: as wide as the client area it lies on, however the window is resized.
class ToolBarStrip : public QWidget
{
public:
    explicit ToolBarStrip(QWidget *clientArea)
        : QWidget(clientArea)
    {
        setObjectName(QStringLiteral("ToolBar1"));
        setGeometry(0, 0, clientArea->width(), kToolBarHeight);
        clientArea->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == parent() && event->type() == QEvent::Resize)
            resize(parentWidget()->width(), kToolBarHeight);
        return false;
    }
};

// The menu bar. While a screen reader runs, Qt hands each key to it first and delivers the key
// again, as a posted copy, when the reader lets it pass. The copy of Alt would switch the menu
// bar's keyboard mode off the moment the real Alt had switched it on, so it is passed over. A
// key from the window system carries the time it was pressed; the copies carry none.
class MainMenuBar : public QMenuBar
{
public:
    using QMenuBar::QMenuBar;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::ShortcutOverride) {
            const auto *key = static_cast<QKeyEvent *>(event);
            if (key->key() == Qt::Key_Alt && key->timestamp() == 0)
                return false;
        }
        return QMenuBar::eventFilter(watched, event);
    }
};

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

// One command: its menu item and, where it has one, its toolbar button.
struct Command
{
    const char *item;
    const char *text;
    void (TForm1::*handler)();
    const char *button = nullptr;
    int x = 0;
    const char *hint = nullptr;
};

struct Menu
{
    const char *name;
    const char *title;
    std::initializer_list<Command> commands;
};

const Menu kMenus[] = {
    {"N1",
     Texts::kMenuFile,
     {{"N5", Texts::kMenuNew, &TForm1::N5Click, "SpeedButton2", 30, Texts::kHintNew},
      {"N6", Texts::kMenuSave, &TForm1::N6Click, "SpeedButton3", 76, Texts::kHintSave},
      {"N7", Texts::kMenuOpen, &TForm1::N7Click, "SpeedButton4", 53, Texts::kHintOpen},
      {"N8", Texts::kMenuExit, &TForm1::N8Click, "SpeedButton1", 7, Texts::kHintExit}}},
    {"N2",
     Texts::kMenuGame,
     {{"N9", Texts::kMenuLatinCross, &TForm1::N9Click, "SpeedButton5", 113, Texts::kHintLatinCross},
      {"N10", Texts::kMenuGreekCross, &TForm1::N10Click, "SpeedButton6", 136,
       Texts::kHintGreekCross},
      {"N11", Texts::kMenuFireplace, &TForm1::N11Click, "SpeedButton7", 159, Texts::kHintFireplace},
      {"N12", Texts::kMenuLamp, &TForm1::N12Click, "SpeedButton8", 182, Texts::kHintLamp},
      {"N13", Texts::kMenuTurnedSquare, &TForm1::N13Click, "SpeedButton9", 205,
       Texts::kHintTurnedSquare},
      {"N14", Texts::kMenuPyramid, &TForm1::N14Click, "SpeedButton10", 228, Texts::kHintPyramid},
      {"N15", Texts::kMenuFullBoard, &TForm1::N15Click, "SpeedButton11", 251,
       Texts::kHintFullBoard}}},
    {"N3",
     Texts::kMenuHelp,
     {{"N4", Texts::kMenuRules, &TForm1::N4Click, "SpeedButton12", 289, Texts::kHintRules},
      {"N16", Texts::kMenuAbout, &TForm1::N16Click, "SpeedButton13", 312, Texts::kHintAbout}}},
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

    // Before the first question Qt's accessibility asks about the board, which names it.
    installBoardAccessibility();
    m_clientArea = new BoardView(m_game, this);
    setCentralWidget(m_clientArea);
    buildCommands();
    connect(new ScreenReaderWatch(this), &ScreenReaderWatch::changed, m_clientArea,
            &BoardView::setScreenReaderRunning);

    resize(m_clientArea->sizeHint() + QSize(0, menuBar()->sizeHint().height()));
}

TForm1::~TForm1() = default;

void TForm1::setDialogs(QDialog *rules, QDialog *about, QDialog *gift)
{
    m_rulesDialog = rules;
    m_aboutDialog = about;
    m_giftDialog = gift;
}

void TForm1::buildCommands()
{
    auto *bar = new MainMenuBar;
    setMenuBar(bar);
    bar->setObjectName(QStringLiteral("MainMenu1"));

    auto *toolBar = new ToolBarStrip(m_clientArea);
    toolBar->setAutoFillBackground(true);
    toolBar->setBackgroundRole(QPalette::Button);
    // Presses on the strip belong to its buttons, never to the board beneath.
    toolBar->setAttribute(Qt::WA_NoMousePropagation);
    new Splitter(toolBar, "Splitter1", 0, 7);
    new Splitter(toolBar, "Splitter2", 99, 14);
    new Splitter(toolBar, "Splitter3", 274, 15);

    // The buttons are made from left to right, the order in which they are read out.
    std::vector<std::pair<const Command *, QAction *>> buttons;
    for (const Menu &entry : kMenus) {
        QMenu *menu = bar->addMenu(text(entry.title));
        menu->setObjectName(QString::fromLatin1(entry.name));
        menu->menuAction()->setObjectName(QString::fromLatin1(entry.name));
        for (const Command &command : entry.commands) {
            QAction *action = menu->addAction(text(command.text));
            action->setObjectName(QString::fromLatin1(command.item));
            connect(action, &QAction::triggered, this, command.handler);
            if (command.button)
                buttons.emplace_back(&command, action);
        }
    }
    std::ranges::sort(buttons, {}, [](const auto &button) { return button.first->x; });

    for (const auto &[command, action] : buttons) {
        const QString name = QString::fromLatin1(command->button);
        action->setToolTip(text(command->hint));
        auto *button = new QToolButton(toolBar);
        button->setObjectName(name);
        button->setGeometry(command->x, 2, 23, 22);
        button->setAutoRaise(true);
        button->setFocusPolicy(Qt::NoFocus);
        button->setDefaultAction(action);
        // Read out by screen readers, which would otherwise read the menu item's text.
        button->setAccessibleName(text(command->hint));
        // The picture belongs to the button alone: an action with an icon would widen its menu
        // by an icon column, even with the icon hidden there. (A change to the action would
        // take it off again; the actions never change.)
        const QImage glyph(QStringLiteral(":/glyphs/%1.png").arg(name));
        button->setIcon(crispIcon(normalGlyphPicture(glyph)));
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
    const GameState before = m_game;
    m_game.SetUpLayout(kind);
    // A screen reader hears which layout came, and how many pegs it holds.
    const bool dealt = kind >= 0 && kind < kLayoutCount;
    m_clientArea->redrawPlayfieldNow(
        before,
        dealt ? text(Texts::kDealtHeading).arg(text(Texts::kLayoutNames[kind]), pegCount(m_game))
              : QString());
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
    guarded([&] {
        m_game.SaveGame(QFile::encodeName(path).toStdString(), m_files);
        m_clientArea->tell(text(Texts::kSavedNews));
    });
}

void TForm1::N7Click()
{
    const QString path = m_openDialog.choose(this);
    if (path.isEmpty())
        return;
    guarded([&] {
        const GameState before = m_game;
        m_game.LoadGame(QFile::encodeName(path).toStdString(), m_files);
        m_clientArea->redrawPlayfieldNow(before, text(Texts::kLoadedHeading).arg(pegCount(m_game)));
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
