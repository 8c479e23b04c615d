// The main window: the board on screen, clicks on it, the menu, the toolbar and the keys.
#include "ui/Application.h"
#include "ui/BoardView.h"
#include "ui/MessageBoxes.h"
#include "ui/Unit1.h"
#include "ui/dialogs/Supriz.h"
#include "ui/dialogs/Unit4.h"
#include "ui/dialogs/Unit5.h"

#include "ModalDriver.h"
#include "PaintCounter.h"

#include <QAccessible>
#include <QDialog>
#include <QKeySequence>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPushButton>
#include <QTest>
#include <QToolButton>
#include <QWindow>

#include <map>
#include <vector>

using Cell = std::pair<int, int>;

namespace {

QString text(const char *utf8)
{
    return QString::fromUtf8(utf8);
}

const QRgb kGray = qRgb(128, 128, 128);

QImage cellPicture(int state)
{
    static const char *const paths[]
        = {":/cells/empty.png", ":/cells/peg.png", ":/cells/selected.png"};
    return QImage(QString::fromLatin1(paths[state])).convertToFormat(QImage::Format_RGB32);
}

// What a message box said, and how many times the board had been painted when it opened.
struct BoxSeen
{
    QString caption;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    int paintsWhenOpened = -1;
};

void closeNextBox(BoxSeen *seen, const PaintCounter *counter = nullptr)
{
    answerNextModal([seen, counter](QWidget *modal) {
        if (auto *box = qobject_cast<QMessageBox *>(modal)) {
            seen->caption = box->windowTitle();
            seen->text = box->text();
            seen->icon = box->icon();
            if (counter)
                seen->paintsWhenOpened = counter->paints;
        }
        modal->close();
    });
}

} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT

    std::unique_ptr<TForm1> form;
    TForm4 rules;
    TAboutBox1 about;
    TForm2 gift;

    QWidget *client() const { return form->centralWidget(); }
    // What a screen reader was last told: the line of the main window's notification.
    QString news() const
    {
        QAccessibleInterface *window = QAccessible::queryAccessibleInterface(form.get());
        QAccessibleInterface *told = window->child(window->childCount() - 1);
        return told->role() == QAccessible::Notification ? told->child(0)->text(QAccessible::Name)
                                                         : QString();
    }

    QImage screen() const
    {
        return client()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    }

    QImage cellOnScreen(const QImage &shot, int column, int row) const
    {
        return shot.copy(BoardView::cellRect(column, row));
    }

    void pressCell(int column, int row, Qt::MouseButton button = Qt::LeftButton)
    {
        QTest::mousePress(client(), button, {}, BoardView::cellCentre(column, row));
    }

    QToolButton *button(const char *name) const
    {
        return form->findChild<QToolButton *>(QString::fromLatin1(name));
    }

private Q_SLOTS:
    void init()
    {
        form = std::make_unique<TForm1>();
        form->setDialogs(&rules, &about, &gift);
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
    }

    void cleanup() { form.reset(); }

    void startsWithTheFullBoardAndTheDesignedWindow()
    {
        QCOMPARE(form->game().CountPegs(), 32);
        QCOMPARE(form->game().BoardKind, int(FullBoard));
        QVERIFY(form->game().NothingSelected);
        QCOMPARE(form->windowTitle(), text("Кворвел"));
        QCOMPARE(client()->size(), QSize(490, 538));
        QVERIFY(!form->windowIcon().isNull());
        // A screen reader names the board, which is a picture, apart from its window, with the
        // layout on it and its pegs.
        QAccessibleInterface *board = QAccessible::queryAccessibleInterface(client());
        QVERIFY(board);
        QCOMPARE(board->text(QAccessible::Name), text("Игровое поле: Кворвел, 32 фишки"));
    }

    void dealsOnlyOnceForTheWholeRun()
    {
        pressCell(4, 2);
        pressCell(4, 4);
        pressCell(5, 4);
        const GameState before = form->game();

        form->hide();
        form->show();
        QApplication::setActiveWindow(form.get());
        answerNextModal([](QWidget *modal) { modal->close(); });
        QTest::keyClick(form.get(), Qt::Key_Home);
        answerNextModal([](QWidget *modal) { modal->close(); });
        showInformation(form.get(), text("Поздравляю Вы выиграли! "));

        QVERIFY(form->game().Board == before.Board);
        QCOMPARE(form->game().NothingSelected, false);
        QCOMPARE(form->game().Board[5][4], int(Selected));
    }

    void cellAtPointFollowsTheSixtyTwoPixelPitch_data()
    {
        QTest::addColumn<QPoint>("point");
        QTest::addColumn<QPoint>("cell");
        QTest::newRow("first picture pixel") << QPoint(32, 62) << QPoint(1, 1);
        QTest::newRow("gap left of (1,1)") << QPoint(30, 62) << QPoint(1, 1);
        QTest::newRow("gap right next to it") << QPoint(31, 62) << QPoint(1, 1);
        QTest::newRow("last pixel of column 0") << QPoint(29, 62) << QPoint(0, 1);
        QTest::newRow("next column") << QPoint(92, 62) << QPoint(2, 1);
        QTest::newRow("ring row above") << QPoint(61, 61) << QPoint(1, 0);
        QTest::newRow("first row") << QPoint(61, 62) << QPoint(1, 1);
        QTest::newRow("left margin") << QPoint(10, 250) << QPoint(0, 4);
        QTest::newRow("ring column 8") << QPoint(464, 250) << QPoint(8, 4);
        QTest::newRow("last of column 7") << QPoint(463, 250) << QPoint(7, 4);
        QTest::newRow("ring row 8") << QPoint(250, 496) << QPoint(4, 8);
        QTest::newRow("enlarged window") << QPoint(1000, 2000) << QPoint(16, 32);
        QTest::newRow("origin") << QPoint(0, 0) << QPoint(0, 0);
    }

    void cellAtPointFollowsTheSixtyTwoPixelPitch()
    {
        QFETCH(QPoint, point);
        QFETCH(QPoint, cell);
        QCOMPARE(BoardView::CellAtPoint(point.x(), point.y()), cell);
    }

    void fullBoardIsDrawnAtTheFixedPositions()
    {
        const QImage shot = screen();
        // Each of the 33 holes of the cross, the four arms and the middle band: a peg in all
        // but the centre.
        int holes = 0;
        for (int column = 1; column <= 7; ++column) {
            for (int row = 1; row <= 7; ++row) {
                if ((column >= 3 && column <= 5) || (row >= 3 && row <= 5)) {
                    const int picture = column == 4 && row == 4 ? Empty : Peg;
                    QVERIFY2(cellOnScreen(shot, column, row) == cellPicture(picture),
                             qPrintable(QStringLiteral("(%1,%2)").arg(column).arg(row)));
                    ++holes;
                }
            }
        }
        QCOMPARE(holes, 33);
        // The pictures come from the main window's image list, under its designed name.
        QVERIFY(form->findChild<QObject *>(QStringLiteral("ImageList1")));
        // Column 1's pictures begin at x 32; column 7's end at x 463; a press counts at the middle.
        QCOMPARE(BoardView::cellRect(1, 1), QRect(32, 62, 60, 60));
        QCOMPARE(BoardView::cellRect(7, 7).bottomRight(), QPoint(463, 493));
        QCOMPARE(BoardView::cellCentre(1, 1), QPoint(62, 92));
        QCOMPARE(shot.pixel(31, 200), kGray);
        QCOMPARE(shot.pixel(464, 200), kGray);

        // Corner squares, the gaps between cells and the margins show the background.
        for (const Cell &corner : {Cell {1, 1}, Cell {2, 2}, Cell {6, 1}, Cell {7, 2}, Cell {1, 6},
                                   Cell {2, 7}, Cell {6, 7}, Cell {7, 6}}) {
            const QImage square = cellOnScreen(shot, corner.first, corner.second);
            for (int y = 0; y < 60; y += 7)
                for (int x = 0; x < 60; x += 7)
                    QCOMPARE(square.pixel(x, y), kGray);
        }
        for (int y = 62; y <= 493; ++y) {
            QCOMPARE(shot.pixel(214 + 2, y), kGray);
            QCOMPARE(shot.pixel(214 + 3, y), kGray);
        }
        for (int x = 156; x <= 339; ++x) {
            QCOMPARE(shot.pixel(x, 122), kGray);
            QCOMPARE(shot.pixel(x, 123), kGray);
        }
        QCOMPARE(shot.pixel(250, 40), kGray);
        QCOMPARE(shot.pixel(480, 530), kGray);
    }

    void selectingTurnsThePegGreenAndPuttingItDownRestoresIt()
    {
        const QImage before = screen();
        pressCell(4, 2, Qt::RightButton);
        QCOMPARE(form->game().Board[4][2], int(Selected));
        QCOMPARE(cellOnScreen(screen(), 4, 2), cellPicture(Selected));

        QTest::mousePress(client(), Qt::MiddleButton, Qt::ShiftModifier | Qt::ControlModifier,
                          BoardView::CellOrigin(4, 2) + QPoint(1, 59));
        QCOMPARE(form->game().Board[4][2], int(Peg));
        QCOMPARE(screen(), before);
    }

    // Through the window, as the window system delivers them: Qt turns the second of two quick
    // presses on one spot into a double-click event, which is a press all the same.
    void quickSecondPressIsAPressToo()
    {
        const auto atCell = [this](int column, int row) {
            return client()->mapTo(form.get(), BoardView::cellCentre(column, row));
        };
        QTest::mouseDClick(form->windowHandle(), Qt::LeftButton, {}, atCell(3, 3));
        QVERIFY(form->game().NothingSelected);
        QCOMPARE(form->game().Board[3][3], int(Peg));

        // The winning press and a quick second one on the last peg: the win, then game over.
        button("SpeedButton5")->click();
        for (const auto &[from, to] : {std::pair<Cell, Cell> {{4, 3}, {6, 3}},
                                       {{4, 5}, {4, 3}},
                                       {{3, 3}, {5, 3}},
                                       {{6, 3}, {4, 3}}}) {
            pressCell(from.first, from.second);
            pressCell(to.first, to.second);
        }
        pressCell(4, 2);
        QStringList boxes;
        // Enter closes a message box, and so does Escape.
        answerNextModal([&boxes](QWidget *modal) {
            boxes << qobject_cast<QMessageBox *>(modal)->text();
            QTest::keyClick(modal->windowHandle(), Qt::Key_Return);
            answerNextModal([&boxes](QWidget *next) {
                boxes << qobject_cast<QMessageBox *>(next)->text();
                QTest::keyClick(next->windowHandle(), Qt::Key_Escape);
                if (next->isVisible()) {
                    boxes << QStringLiteral("(still open after Escape)");
                    next->close();
                }
            });
        });
        QTest::mouseDClick(form->windowHandle(), Qt::LeftButton, {}, atCell(4, 4));
        QCOMPARE(boxes,
                 QStringList({QStringLiteral("Поздравляю Вы выиграли! "),
                              QStringLiteral("Игра звершена! ")}));
    }

    // At fractional display scaling a press can land between whole pixels; it counts for the
    // cell it falls in, not the one it would round to (150 %: the last device pixel of column 1).
    void pressBetweenPixelsCountsForItsOwnCell()
    {
        const QPointF local(91.67, 250.0);
        const QPointF inWindow = client()->mapTo(form.get(), local);
        QMouseEvent press(QEvent::MouseButtonPress, inWindow, inWindow,
                          form->windowHandle()->mapToGlobal(inWindow), Qt::LeftButton,
                          Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(form->windowHandle(), &press);
        QCOMPARE(form->game().Board[1][4], int(Selected));
        QCOMPARE(form->game().Board[2][4], int(Peg));
    }

    void latinCrossIsWonWithRealPressesAndTheBoardShowsFirst()
    {
        button("SpeedButton5")->click();
        PaintCounter counter;
        client()->installEventFilter(&counter);
        const std::pair<Cell, Cell> jumps[] = {
            {{4, 3}, {6, 3}}, {{4, 5}, {4, 3}}, {{3, 3}, {5, 3}},
            {{6, 3}, {4, 3}}, {{4, 2}, {4, 4}},
        };
        BoxSeen win;
        int paintsBeforeWinning = -1;
        for (const auto &[from, to] : jumps) {
            pressCell(from.first, from.second);
            const int paintsBefore = counter.paints;
            if (to == Cell {4, 4}) {
                closeNextBox(&win, &counter);
                paintsBeforeWinning = paintsBefore;
            }
            pressCell(to.first, to.second);
            QVERIFY(counter.paints > paintsBefore);
        }
        QCOMPARE(win.caption, text("Information"));
        QCOMPARE(win.text, text("Поздравляю Вы выиграли! "));
        QCOMPARE(win.icon, QMessageBox::Information);
        QVERIFY2(win.paintsWhenOpened > paintsBeforeWinning,
                 "the winning jump must be drawn before the box opens");
        const QImage shot = screen();
        QCOMPARE(cellOnScreen(shot, 4, 4), cellPicture(Peg));
        QCOMPARE(cellOnScreen(shot, 4, 2), cellPicture(Empty));

        BoxSeen over;
        closeNextBox(&over);
        const int paintsBefore = counter.paints;
        pressCell(4, 4);
        QCOMPARE(over.text, text("Игра звершена! "));
        QCOMPARE(counter.paints, paintsBefore);
        client()->removeEventFilter(&counter);
    }

    // A screen reader finds the 33 holes of the cross on the board, row by row, each named after
    // its column and row and what it holds, and standing exactly on its picture. A hole's one
    // action is a left press on it.
    void screenReaderReadsTheHolesAndPlaysAJump()
    {
        QAccessibleInterface *board = QAccessible::queryAccessibleInterface(client());
        std::vector<Cell> cross;
        for (int row = 1; row <= 7; ++row)
            for (int column = 1; column <= 7; ++column)
                if ((column >= 3 && column <= 5) || (row >= 3 && row <= 5))
                    cross.emplace_back(column, row);
        const QImage shot = screen();
        std::map<Cell, QAccessibleInterface *> hole;
        for (int i = 0; i < board->childCount(); ++i) {
            QAccessibleInterface *child = board->child(i);
            if (child->role() != QAccessible::PushButton)
                continue; // the toolbar strip, which lies on the board
            QVERIFY(hole.size() < cross.size());
            const auto [column, row] = cross[hole.size()];
            const bool centre = column == 4 && row == 4;
            QCOMPARE(child->text(QAccessible::Name),
                     QStringLiteral("%1, %2: %3")
                         .arg(column)
                         .arg(row)
                         .arg(text(centre ? "пустая лунка" : "фишка")));
            const QRect onScreen = child->rect();
            QCOMPARE(shot.copy(QRect(client()->mapFromGlobal(onScreen.topLeft()), onScreen.size())),
                     cellPicture(centre ? Empty : Peg));
            QCOMPARE(board->childAt(onScreen.center().x(), onScreen.center().y()), child);
            QCOMPARE(board->indexOfChild(child), i);
            // A reader walking the tree stops at a hole.
            QCOMPARE(child->childCount(), 0);
            QCOMPARE(child->indexOfChild(board), -1);
            hole[{column, row}] = child;
        }
        QCOMPARE(hole.size(), std::size_t(33));

        // Named in the player's language: screen readers get the name alone from Qt.
        const QString press = text("Нажать");
        QAccessibleActionInterface *topPeg = hole[{4, 2}]->actionInterface();
        QCOMPARE(topPeg->actionNames(), QStringList(press));
        QCOMPARE(topPeg->localizedActionName(press), press);
        topPeg->doAction(QAccessibleActionInterface::pressAction()); // not a hole's action
        QCoreApplication::processEvents();
        QVERIFY(form->game().NothingSelected);
        const auto act = [&](int column, int row) {
            hole[{column, row}]->actionInterface()->doAction(press);
        };
        act(4, 2);
        QTRY_COMPARE(hole.at(Cell(4, 2))->text(QAccessible::Name), text("4, 2: выбранная фишка"));
        act(4, 4);
        QTRY_COMPARE(form->game().Board[4][4], int(Peg));
        QCOMPARE(hole.at(Cell(4, 2))->text(QAccessible::Name), text("4, 2: пустая лунка"));
        QCOMPARE(hole.at(Cell(4, 3))->text(QAccessible::Name), text("4, 3: пустая лунка"));
        QCOMPARE(hole.at(Cell(4, 4))->text(QAccessible::Name), text("4, 4: фишка"));
        QCOMPARE(cellOnScreen(screen(), 4, 4), cellPicture(Peg));

        // While a dialog shuts the main window off, no press reaches the board, nor does the
        // action.
        answerNextModal([&act](QWidget *modal) {
            act(4, 4);
            QTest::qWait(50);
            modal->close();
        });
        button("SpeedButton12")->click();
        QCoreApplication::processEvents();
        QVERIFY(form->game().NothingSelected);

        // A hidden board's holes stand nowhere.
        form->hide();
        QVERIFY(hole.at(Cell(4, 4))->state().invisible);
        QCOMPARE(hole.at(Cell(4, 4))->rect(), QRect());
        // What a press changed comes from the game, drawn or not: a jump on the hidden board is
        // told all the same.
        auto *view = static_cast<BoardView *>(client());
        view->setScreenReaderRunning(true);
        view->pressCell(2, 3);
        view->pressCell(4, 3);
        QCOMPARE(news(), text("4, 3: фишка; 3, 3 и 2, 3: пустые лунки"));
    }

    // While a screen reader runs, a player who cannot see the board plays it from the keyboard:
    // the arrows move a framed focus along the cross, Space and Return press, and the board
    // tells each change. Once it stops, the keys mean nothing and the frame is gone.
    void keyboardPlaysTheBoardWhileAScreenReaderRuns()
    {
        const auto key
            = [this](Qt::Key pressed) { QTest::keyClick(form->windowHandle(), pressed); };
        auto *board = static_cast<BoardView *>(client());
        board->setScreenReaderRunning(true);
        QApplication::setActiveWindow(form.get());
        QTRY_VERIFY(board->hasFocus());
        button("SpeedButton5")->click();
        const auto focused
            = [board] { return QAccessible::queryAccessibleInterface(board)->focusChild(); };
        QCOMPARE(focused()->text(QAccessible::Name), text("4, 4: фишка"));
        QCOMPARE(news(), text("Новая игра: Латинский крест, 6 фишек"));

        // At the cross's edge the focus stays put; the frame follows it.
        for (Qt::Key pressed : {Qt::Key_Up, Qt::Key_Up, Qt::Key_Up, Qt::Key_Up, Qt::Key_Left,
                                Qt::Key_Left, Qt::Key_Down, Qt::Key_Down})
            key(pressed);
        QCOMPARE(board->focusedHole(), QPoint(3, 3));
        QCOMPARE(news(), text("Край поля"));
        QImage shot = screen();
        const QImage framed = cellOnScreen(shot, 3, 3);
        QCOMPARE(framed.pixel(0, 0), qRgb(0, 0, 0));
        QCOMPARE(framed.pixel(3, 30), qRgb(255, 255, 0));
        QCOMPARE(framed.copy(4, 4, 52, 52), cellPicture(Peg).copy(4, 4, 52, 52));
        QCOMPARE(cellOnScreen(shot, 4, 3), cellPicture(Peg));

        // Space presses as a left press on the hole does; Home still opens the dedication,
        // and the focus is back on its hole after it.
        key(Qt::Key_Space);
        QCOMPARE(form->game().Board[3][3], int(Selected));
        answerNextModal([](QWidget *modal) { modal->close(); });
        key(Qt::Key_Home);
        // As a window manager gives the main window back its activation.
        QApplication::setActiveWindow(form.get());
        QTRY_VERIFY(board->hasFocus());
        QCOMPARE(board->focusedHole(), QPoint(3, 3));
        key(Qt::Key_Return);
        QCOMPARE(form->game().Board[3][3], int(Peg));
        for (Qt::Key pressed : {Qt::Key_Right, Qt::Key_Space, Qt::Key_Right, Qt::Key_Right})
            key(pressed);
        key(Qt::Key_Return);
        QCOMPARE(form->game().Board[6][3], int(Peg));
        // A screen reader finds the focus on the hole; how Orca says it is heard in its own test.
        QVERIFY(focused()->state().focused);
        QCOMPARE(focused()->text(QAccessible::Name), text("6, 3: фишка"));
        QCOMPARE(news(), text("6, 3: фишка; 5, 3 и 4, 3: пустые лунки"));
        // A press on an empty hole with no peg selected changes nothing, and says so.
        key(Qt::Key_Left);
        key(Qt::Key_Space);
        QCOMPARE(news(), text("Без изменений"));
        board->setScreenReaderRunning(false);
        const GameState before = form->game();
        for (Qt::Key pressed : {Qt::Key_Left, Qt::Key_Space, Qt::Key_Return})
            key(pressed);
        QVERIFY(form->game() == before);
        QVERIFY(!board->hasFocus());
        shot = screen();
        for (int column = 3; column <= 6; ++column)
            QCOMPARE(cellOnScreen(shot, column, 3), cellPicture(form->game().Board[column][3]));
    }

    void layoutCommandsDealFromMenuAndToolbar_data()
    {
        QTest::addColumn<QString>("menuItem");
        QTest::addColumn<QString>("toolButton");
        QTest::addColumn<int>("x");
        QTest::addColumn<QString>("hint");
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("pegs");
        auto row = [](const char *name, const char *item, const char *buttonName, int x,
                      const char *hint, int kind, int pegs) {
            QTest::newRow(name) << QString::fromLatin1(item) << QString::fromLatin1(buttonName) << x
                                << text(hint) << kind << pegs;
        };
        row("latin cross", "N9", "SpeedButton5", 113, "Латинский крест", LatinCross, 6);
        row("greek cross", "N10", "SpeedButton6", 136, "Греческий крест", GreekCross, 9);
        row("fireplace", "N11", "SpeedButton7", 159, "Камин", Fireplace, 11);
        row("lamp", "N12", "SpeedButton8", 182, "Лампа", Lamp, 17);
        row("turned square", "N13", "SpeedButton9", 205, "Перевёрнутый квадрат", TurnedSquare, 24);
        row("pyramid", "N14", "SpeedButton10", 228, "Пирамида", Pyramid, 16);
        row("full board", "N15", "SpeedButton11", 251, "Кворвел", FullBoard, 32);
    }

    void layoutCommandsDealFromMenuAndToolbar()
    {
        QFETCH(QString, menuItem);
        QFETCH(QString, toolButton);
        QFETCH(int, x);
        QFETCH(QString, hint);
        QFETCH(int, kind);
        QFETCH(int, pegs);

        QToolButton *tool = form->findChild<QToolButton *>(toolButton);
        QVERIFY(tool);
        QCOMPARE(tool->geometry(), QRect(x, 2, 23, 22));
        QCOMPARE(tool->toolTip(), hint);
        QVERIFY(tool->autoRaise());
        QCOMPARE(tool->focusPolicy(), Qt::NoFocus);

        // Start from another layout with a selection, so that a deal is visible.
        form->findChild<QAction *>(QString::fromLatin1(kind == Lamp ? "N9" : "N12"))->trigger();
        pressCell(4, 3);
        QTest::mouseClick(tool, Qt::LeftButton);
        QCOMPARE(form->game().BoardKind, kind);
        QCOMPARE(form->game().CountPegs(), pegs);
        QVERIFY(form->game().NothingSelected);
        QCOMPARE(cellOnScreen(screen(), 4, 3), cellPicture(form->game().Board[4][3]));

        form->findChild<QAction *>(QString::fromLatin1(kind == Lamp ? "N9" : "N12"))->trigger();
        pressCell(4, 3);
        form->findChild<QAction *>(menuItem)->trigger();
        QCOMPARE(form->game().BoardKind, kind);
        QCOMPARE(form->game().CountPegs(), pegs);
        QVERIFY(form->game().NothingSelected);
    }

    void menusCarryTheDesignedItemsInOrder()
    {
        QStringList seen;
        for (QAction *menu : form->menuBar()->actions()) {
            seen << menu->objectName() + QLatin1Char('=') + menu->text();
            for (QAction *item : menu->menu()->actions()) {
                seen << item->objectName() + QLatin1Char('=') + item->text();
                QVERIFY(item->icon().isNull());
            }
        }
        const QStringList expected = {
            text("N1=&Файл"),
            text("N5=Н&овая"),
            text("N6=Со&хранить"),
            text("N7=&Открыть"),
            text("N8=В&ыход"),
            text("N2=&Игра"),
            text("N9=Ла&тинский крест"),
            text("N10=&Греческий крест"),
            text("N11=&Камин"),
            text("N12=&Лампа"),
            text("N13=Перевёрнут&ый квадрат"),
            text("N14=П&ирамида"),
            text("N15=&Кворвел"),
            text("N3=П&омощь"),
            text("N4=Пра&вила игры"),
            text("N16=О про&грамме"),
        };
        QCOMPARE(seen, expected);
    }

    void toolbarStripIsLaidOutAsDesigned()
    {
        const char *order[] = {"SpeedButton1", "SpeedButton2", "SpeedButton4", "SpeedButton3"};
        const char *hints[] = {"Выход", "Новая игра", "Загрузить игру", "Сохранить игру"};
        for (int i = 0; i < 4; ++i) {
            QCOMPARE(button(order[i])->geometry(), QRect(7 + 23 * i, 2, 23, 22));
            QCOMPARE(button(order[i])->toolTip(), text(hints[i]));
        }
        QCOMPARE(button("SpeedButton12")->geometry(), QRect(289, 2, 23, 22));
        QCOMPARE(button("SpeedButton12")->toolTip(), text("Легенда и правила игры"));
        QCOMPARE(button("SpeedButton13")->geometry(), QRect(312, 2, 23, 22));
        QCOMPARE(button("SpeedButton13")->toolTip(), text("О программе"));
        const QRect splitters[] = {{0, 0, 7, 29}, {99, 0, 14, 29}, {274, 0, 15, 29}};
        for (int i = 0; i < 3; ++i) {
            auto *gap = form->findChild<QWidget *>(QStringLiteral("Splitter%1").arg(i + 1));
            QVERIFY(gap);
            QCOMPARE(gap->geometry(), splitters[i]);
            QCOMPARE(gap->cursor().shape(), Qt::SplitHCursor);
        }
        auto *strip = form->findChild<QWidget *>(QStringLiteral("ToolBar1"));
        QCOMPARE(strip->height(), 29);
        QCOMPARE(strip->mapTo(client(), QPoint(0, 0)), QPoint(0, 0));
        // As wide as the window, however it is resized, and a screen reader finds it so.
        QCOMPARE(strip->width(), client()->width());
        form->resize(form->width() + 100, form->height());
        QTRY_COMPARE(strip->width(), client()->width());
        QCOMPARE(QAccessible::queryAccessibleInterface(strip)->rect().width(), client()->width());
        QCOMPARE(button("SpeedButton1")->icon().pixmap(16, 16).size(), QSize(16, 16));

        // A screen reader reads the buttons by their hints, from left to right.
        QStringList heard;
        QAccessibleInterface *read = QAccessible::queryAccessibleInterface(strip);
        for (int i = 0; i < read->childCount(); ++i)
            if (read->child(i)->role() == QAccessible::Button)
                heard << read->child(i)->text(QAccessible::Name);
        QCOMPARE(heard.join(QLatin1Char('|')),
                 text("Выход|Новая игра|Загрузить игру|Сохранить игру|Латинский крест|"
                      "Греческий крест|Камин|Лампа|Перевёрнутый квадрат|Пирамида|Кворвел|"
                      "Легенда и правила игры|О программе"));
    }

    // The glyph's key colour, and only it, lets the button face show through; the figure's
    // gray shadow is drawn.
    void toolbarGlyphsLeaveOutExactlyTheirKeyColour()
    {
        for (int number = 1; number <= 13; ++number) {
            const QString name = QStringLiteral("SpeedButton%1").arg(number);
            const QImage glyph(QStringLiteral(":/glyphs/%1.png").arg(name));
            const QRgb key = glyph.pixel(0, 15) & RGB_MASK;
            QCOMPARE(key, (number == 4 ? qRgb(128, 0, 128) : qRgb(128, 128, 0)) & RGB_MASK);
            int transparent = 0;
            // At a display scale of 2 each pixel of the glyph is a square of four, not a blur.
            for (const int scale : {1, 2}) {
                const QImage shown = form->findChild<QToolButton *>(name)
                                         ->icon()
                                         .pixmap(QSize(16, 16), scale)
                                         .toImage()
                                         .convertToFormat(QImage::Format_ARGB32);
                QCOMPARE(shown.size(), QSize(16, 16) * scale);
                for (int y = 0; y < 16 * scale; ++y) {
                    for (int x = 0; x < 16 * scale; ++x) {
                        const QRgb source = glyph.pixel(x / scale, y / scale) & RGB_MASK;
                        const QRgb drawn = shown.pixel(x, y);
                        if (source == key) {
                            QCOMPARE(qAlpha(drawn), 0);
                            transparent += scale == 1;
                        } else {
                            QCOMPARE(drawn, source | 0xff000000u);
                        }
                    }
                }
            }
            QVERIFY(transparent > 0);
        }
    }

    void pressesOnTheToolbarNeverReachTheBoard()
    {
        // The strip covers ring row 0; a press there must not even count as a click on the board.
        button("SpeedButton5")->click();
        pressCell(4, 3);
        const GameState before = form->game();
        auto *strip = form->findChild<QWidget *>(QStringLiteral("ToolBar1"));
        for (const QPoint &p : {QPoint(3, 10), QPoint(105, 10), QPoint(400, 5), QPoint(480, 28)})
            QTest::mousePress(strip->childAt(p) ? strip->childAt(p) : strip, Qt::LeftButton, {},
                              strip->childAt(p) ? strip->childAt(p)->mapFrom(strip, p) : p);
        QVERIFY(form->game().Board == before.Board);
        QCOMPARE(form->game().NothingSelected, false);
    }

    void newDealsTheCurrentLayoutAfresh()
    {
        form->findChild<QAction *>(QStringLiteral("N14"))->trigger();
        pressCell(4, 3);
        pressCell(4, 1);
        pressCell(3, 4);
        pressCell(1, 4);
        QCOMPARE(form->game().CountPegs(), 14);
        button("SpeedButton2")->click();
        QCOMPARE(form->game().BoardKind, int(Pyramid));
        QCOMPARE(form->game().CountPegs(), 16);

        pressCell(4, 3);
        pressCell(4, 1);
        form->findChild<QAction *>(QStringLiteral("N5"))->trigger();
        QCOMPARE(form->game().CountPegs(), 16);
        QCOMPARE(cellOnScreen(screen(), 4, 1), cellPicture(Empty));
    }

    void homeOpensTheDedicationWhateverTheModifiersAndOtherKeysDoNothing()
    {
        pressCell(4, 2);
        int opened = 0;
        for (Qt::KeyboardModifiers modifiers :
             {Qt::KeyboardModifiers(), Qt::KeyboardModifiers(Qt::ShiftModifier),
              Qt::KeyboardModifiers(Qt::ControlModifier | Qt::AltModifier)}) {
            answerNextModal([&opened, this](QWidget *modal) {
                opened += modal == &gift;
                modal->close();
            });
            QTest::keyClick(form.get(), Qt::Key_Home, modifiers);
        }
        QCOMPARE(opened, 3);
        const GameState before = form->game();
        for (Qt::Key key : {Qt::Key_End, Qt::Key_Return, Qt::Key_Space, Qt::Key_Escape, Qt::Key_F1,
                            Qt::Key_N, Qt::Key_Up, Qt::Key_Left}) {
            // Anything that opens is closed again, so that the next key still reaches the window.
            QWidget *boxOpened = nullptr;
            const QPointer<QTimer> waiting = answerNextModal([&boxOpened](QWidget *modal) {
                boxOpened = modal;
                modal->close();
            });
            QTest::keyClick(form->windowHandle(), key);
            delete waiting.data();
            QVERIFY2(!boxOpened, qPrintable(QKeySequence(key).toString()));
        }
        QVERIFY(form->game().Board == before.Board);
        QCOMPARE(form->game().Board[4][2], int(Selected));
    }

    // Each dialog, however it is closed, leaves the game, the selection and the board as they were.
    void dialogsLeaveTheGameAsItWas()
    {
        pressCell(4, 6);
        const GameState game = form->game();
        const QImage before = screen();
        const std::pair<const char *, QDialog *> commands[] = {
            {"N4", &rules}, {"SpeedButton12", &rules}, {"N16", &about}, {"SpeedButton13", &about}};
        const std::function<void(QWidget *)> closers[] = {
            [](QWidget *dialog) {
                dialog->findChild<QPushButton *>(QStringLiteral("BitBtn1"))->click();
            },
            [](QWidget *dialog) { QTest::keyClick(dialog->focusWidget(), Qt::Key_Return); },
            [](QWidget *dialog) { QTest::keyClick(dialog->focusWidget(), Qt::Key_Space); },
            [](QWidget *dialog) { dialog->close(); },
        };
        for (const auto &close : closers) {
            for (const auto &[name, dialog] : commands) {
                QWidget *opened = nullptr;
                answerNextModal([&opened, &close](QWidget *modal) {
                    opened = modal;
                    close(modal);
                });
                if (QAction *item = form->findChild<QAction *>(QString::fromLatin1(name)))
                    item->trigger();
                else
                    button(name)->click();
                QCOMPARE(opened, dialog);
                QVERIFY(!dialog->isVisible());
            }
            answerNextModal([&close](QWidget *modal) { close(modal); });
            QTest::keyClick(form.get(), Qt::Key_Home);
            QVERIFY(!gift.isVisible());
        }
        QVERIFY(form->game().Board == game.Board);
        QVERIFY(!form->game().NothingSelected);
        QCOMPARE(form->game().SelectedColumn, 4);
        QCOMPARE(form->game().SelectedRow, 6);
        QCOMPARE(screen(), before);
    }

    // Some window managers let the player minimise a modal dialog all the same; activating the
    // main window brings it back, so the game never sits locked behind a hidden dialog.
    void minimisedDialogComesBackWhenTheMainWindowIsActivated()
    {
        bool keptWithTheGame = false;
        bool restored = false;
        answerNextModal([this, &keptWithTheGame, &restored](QWidget *dialog) {
            dialog->setWindowState(dialog->windowState() | Qt::WindowMinimized);
            // Minimising the whole game takes the dialog along until the game comes back.
            form->setWindowState(form->windowState() | Qt::WindowMinimized);
            QApplication::processEvents();
            keptWithTheGame = (dialog->windowState() & Qt::WindowMinimized) != 0;
            form->setWindowState(form->windowState() & ~Qt::WindowMinimized);
            form->activateWindow();
            restored = QTest::qWaitFor(
                [dialog] { return !(dialog->windowState() & Qt::WindowMinimized); }, 2000);
            dialog->close();
        });
        button("SpeedButton12")->click();
        QVERIFY(keptWithTheGame);
        QVERIFY(restored);
    }

    void exitClosesTheWindow()
    {
        button("SpeedButton1")->click();
        QVERIFY(!form->isVisible());
        form->show();
        form->findChild<QAction *>(QStringLiteral("N8"))->trigger();
        QVERIFY(!form->isVisible());
    }
};

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    prepareApplication(app);
    TestMainWindow test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_mainwindow.moc"
