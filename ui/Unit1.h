// The main window: the board view, the menu, the toolbar and the commands.
#pragma once

#include "model/GameState.h"

#include <QMainWindow>

class TForm1 : public QMainWindow
{
    Q_OBJECT

public:
    explicit TForm1(QWidget *parent = nullptr);

    const GameState &game() const { return m_game; }

private:
    GameState m_game;
};
