// The board on screen: the main window's client area, which paints the playfield and takes presses.
#pragma once

#include "model/GameState.h"

#include <QPoint>
#include <QPointF>
#include <QWidget>

class CellImages;
class QPainter;

class BoardView : public QWidget
{
    Q_OBJECT

public:
    // The board shows `game`, which belongs to the main window, and plays presses on it.
    BoardView(GameState &game, QWidget *parent);

    QSize sizeHint() const override;
    const GameState &game() const { return m_game; }

    // Board geometry in client pixels: the top-left pixel of a cell's picture, and the cell
    // under a point (not clamped: a large window gives columns and rows of 9 and more).
    static QPoint CellOrigin(int column, int row);
    // The point is taken as Qt reports it: with fractional display scaling a press can fall
    // between two whole pixels.
    static QPoint CellAtPoint(double x, double y);

    // The paint handler and the playfield drawing it uses.
    void FormPaint(QPainter &painter);
    void DrawPlayfield(QPainter &painter);
    // One press on the board: its cell is clicked, the board redrawn if the rules ask for it,
    // and then the message, if any, is shown. Button and modifiers mean nothing.
    void FormMouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, QPointF position);
    // Synchronous, so the new position is on screen before any message box opens; a screen
    // reader hears of each hole whose picture changed.
    void redrawPlayfieldNow();

protected:
    void paintEvent(QPaintEvent *event) override;
    // Every button counts, and so does the second press of a double click, which Qt delivers
    // as a double-click event alone and QWidget hands on to this handler.
    void mousePressEvent(QMouseEvent *event) override;

private:
    GameState &m_game;
    CellImages *m_cellImages;
    // What the last paint showed, to tell which holes a redraw changed.
    decltype(GameState::Board) m_shown {};
};
