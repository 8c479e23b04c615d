// The main window: the board view, the menu, the toolbar and the commands.
#pragma once

#include "model/GameState.h"
#include "platform/RecordFile.h"
#include "ui/FileDialogs.h"

#include <QMainWindow>
#include <QPoint>
#include <QPointF>

class CellImages;
class QDialog;
class QPainter;

class TForm1 : public QMainWindow
{
    Q_OBJECT

public:
    explicit TForm1(QWidget *parent = nullptr);
    ~TForm1() override;

    // The rules, About and dedication dialogs, created after the main window and shown by it.
    void setDialogs(QDialog *rules, QDialog *about, QDialog *gift);

    const GameState &game() const { return m_game; }

    // Board geometry in client pixels: the top-left pixel of a cell's picture, and the cell
    // under a point (not clamped: a large window gives columns and rows of 9 and more).
    static QPoint CellOrigin(int column, int row);
    // The point is taken as Qt reports it: with fractional display scaling a press can fall
    // between two whole pixels.
    static QPoint CellAtPoint(double x, double y);

    // Paint handler of the client area and the playfield drawing it uses.
    void FormPaint(QPainter &painter);
    void DrawPlayfield(QPainter &painter);
    void FormMouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, QPointF position);

    // The commands of the menu and the toolbar.
    void N4Click(); // rules and legend
    void N5Click(); // new game
    void N6Click(); // save
    void N7Click(); // open
    void N8Click(); // exit
    void N9Click(); // the seven layouts
    void N10Click();
    void N11Click();
    void N12Click();
    void N13Click();
    void N14Click();
    void N15Click();
    void N16Click(); // About

protected:
    void showEvent(QShowEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void FormCreate();
    void FormKeyDown(int key);
    void buildMenu();
    void buildToolBar();
    void dealLayout(std::int32_t kind);
    void redrawPlayfieldNow();
    // Runs one command; a failure ends it and is shown in the error box.
    template<typename Command> void guarded(Command &&command);

    GameState m_game;
    bool m_created = false;
    QWidget *m_clientArea = nullptr;
    CellImages *m_cellImages = nullptr;
    GameFileDialog m_openDialog;
    GameFileDialog m_saveDialog;
    QDialog *m_rulesDialog = nullptr;
    QDialog *m_aboutDialog = nullptr;
    QDialog *m_giftDialog = nullptr;
    PosixRecordFiles m_files;
};
