// The board on screen: the main window's client area, which paints the playfield and takes presses.
#pragma once

#include "model/GameState.h"

#include <QPoint>
#include <QPointF>
#include <QRect>
#include <QWidget>

#include <vector>

class CellImages;
class QPainter;

class BoardView : public QWidget
{
    Q_OBJECT

public:
    // The board geometry in client pixels: cells stand at a pitch of 62, each picture 60 pixels
    // square, column 1's picture 30 pixels left of the pitch's first step.
    static constexpr int kCellPitch = 62;
    static constexpr int kCellSize = 60;
    static constexpr int kColumnShift = 30;

    // The board shows `game`, which belongs to the main window, and plays presses on it.
    BoardView(GameState &game, QWidget *parent);

    QSize sizeHint() const override;
    const GameState &game() const { return m_game; }

    // The top-left pixel of a cell's picture, its whole picture, its middle pixel, and the cell
    // under a point (not clamped: a large window gives columns and rows of 9 and more).
    static QPoint CellOrigin(int column, int row);
    static QRect cellRect(int column, int row);
    static QPoint cellCentre(int column, int row);
    // The point is taken as Qt reports it: with fractional display scaling a press can fall
    // between two whole pixels.
    static QPoint CellAtPoint(double x, double y);
    // The 33 holes of the cross, whatever they hold.
    static bool isHole(QPoint cell);

    // The paint handler and the playfield drawing it uses.
    void FormPaint(QPainter &painter);
    void DrawPlayfield(QPainter &painter);
    // One press on the board: its cell is clicked, the board redrawn if the rules ask for it,
    // and then the message, if any, is shown. Button and modifiers mean nothing.
    void FormMouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, QPointF position);
    // A press on cell (column, row), as a press of the mouse on it plays it; the keyboard and
    // screen readers press holes through it.
    void pressCell(int column, int row);
    // Synchronous, so the new position is on screen before any message box opens; then tells
    // what changed since `before`, with `news` if given.
    void redrawPlayfieldNow(const GameState &before, const QString &news = {});
    // Tells screen readers `news` that changed no hole ("Игра сохранена").
    void tell(const QString &news);

    // While the desktop says a screen reader runs, the board takes the keyboard: the arrows
    // move a focus from hole to hole, Space and Return press the hole, and a frame shows it.
    void setScreenReaderRunning(bool running);
    bool screenReaderRunning() const { return m_screenReader; }
    QPoint focusedHole() const { return m_focus; }

Q_SIGNALS:
    // What the game changed, as the game reports it: the holes whose content changed and the
    // news to say, if any, beside them. Told once, when it happens.
    void told(const std::vector<QPoint> &changed, const QString &news);
    // The keyboard focus moved to another hole, or came back to the board.
    void focusMoved();

protected:
    void paintEvent(QPaintEvent *event) override;
    // Every button counts, and so does the second press of a double click, which Qt delivers
    // as a double-click event alone and QWidget hands on to this handler.
    void mousePressEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;

private:
    void moveFocusTo(QPoint hole);
    void tellChanges(const GameState &before, const QString &news);

    GameState &m_game;
    CellImages *m_cellImages;
    bool m_screenReader = false;
    // The middle of the board, where a player who cannot see it starts.
    QPoint m_focus {4, 4};
};
