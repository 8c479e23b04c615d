// The main window: the menu, the toolbar, the commands, and the board view as its client area.
#pragma once

#include "model/GameState.h"
#include "platform/RecordFile.h"
#include "ui/FileDialogs.h"

#include <QMainWindow>
#include <QPointF>

class BoardView;
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

    // The main window's paint and mouse-press handlers: the board view, its client area,
    // paints the playfield and plays the presses.
    void FormPaint(QPainter &painter);
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
    // The menu and the toolbar: one action per command, shared by its item and its button.
    void buildCommands();
    void dealLayout(std::int32_t kind);
    // Runs one command; a failure ends it and is shown in the error box.
    template<typename Command> void guarded(Command &&command);

    GameState m_game;
    bool m_created = false;
    BoardView *m_clientArea = nullptr;
    GameFileDialog m_openDialog;
    GameFileDialog m_saveDialog;
    QDialog *m_rulesDialog = nullptr;
    QDialog *m_aboutDialog = nullptr;
    QDialog *m_giftDialog = nullptr;
    PosixRecordFiles m_files;
};
