// The board on screen: the main window's client area, which paints the playfield and takes presses.
#include "ui/BoardView.h"

#include "resources/Texts.h"
#include "ui/BoardAccessibility.h"
#include "ui/CellImages.h"
#include "ui/MessageBoxes.h"

#include <QMouseEvent>
#include <QPainter>

#include <cmath>

namespace {

const QColor kBackground(128, 128, 128);
constexpr int kClientWidth = 490;
constexpr int kClientHeight = 538;

} // namespace

BoardView::BoardView(GameState &game, QWidget *parent)
    : QWidget(parent)
    , m_game(game)
    , m_cellImages(new CellImages(this))
{
    // Before the first question Qt's accessibility asks about the board, which names it.
    installBoardAccessibility();
    setObjectName(QStringLiteral("ClientArea"));
    setAccessibleName(QString::fromUtf8(Texts::kMainCaption));
}

QSize BoardView::sizeHint() const
{
    return {kClientWidth, kClientHeight};
}

QPoint BoardView::CellOrigin(int column, int row)
{
    return {62 * column - 30, 62 * row};
}

QPoint BoardView::CellAtPoint(double x, double y)
{
    const auto column = static_cast<int>(std::trunc((x - 30) / 62.0 + 1));
    const auto row = static_cast<int>(std::trunc(y / 62.0));
    return {column, row};
}

void BoardView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    FormPaint(painter);
    m_shown = m_game.Board;
}

void BoardView::FormPaint(QPainter &painter)
{
    painter.fillRect(rect(), kBackground);
    DrawPlayfield(painter);
}

void BoardView::DrawPlayfield(QPainter &painter)
{
    for (int column = kFirstPlayfieldLine; column <= kLastPlayfieldLine; ++column) {
        for (int row = kFirstPlayfieldLine; row <= kLastPlayfieldLine; ++row) {
            const std::int32_t cell = m_game.Board[column][row];
            if (cell == Empty || cell == Peg || cell == Selected) {
                const QPoint origin = CellOrigin(column, row);
                m_cellImages->draw(painter, origin.x(), origin.y(), cell);
            }
        }
    }
}

void BoardView::redrawPlayfieldNow()
{
    const auto shownBefore = m_shown;
    repaint();
    for (int column = kFirstPlayfieldLine; column <= kLastPlayfieldLine; ++column)
        for (int row = kFirstPlayfieldLine; row <= kLastPlayfieldLine; ++row)
            if (m_shown[column][row] != shownBefore[column][row])
                announceHoleChange(this, column, row);
}

void BoardView::mousePressEvent(QMouseEvent *event)
{
    // With fractional display scaling a press falls on a device pixel that lies between whole
    // pixels, and Qt rounds the position it hands a child widget; the window's own position of
    // the press is exact. The press counts for what the pixel shows, judged by its centre, as
    // the cell pictures' edges are placed.
    const qreal scale = devicePixelRatioF();
    const QPointF device = event->scenePosition() * scale;
    const QPointF pixel(std::floor(device.x() + 1e-6), std::floor(device.y() + 1e-6));
    const QPointF position
        = (pixel + QPointF(0.5, 0.5)) / scale - QPointF(mapTo(window(), QPoint()));
    FormMouseDown(event->button(), event->modifiers(), position);
}

void BoardView::FormMouseDown(Qt::MouseButton, Qt::KeyboardModifiers, QPointF position)
{
    const QPoint cell = CellAtPoint(position.x(), position.y());
    const ClickOutcome outcome = m_game.HandleClick(cell.x(), cell.y());
    if (outcome.Redraw)
        redrawPlayfieldNow();
    switch (outcome.Message) {
    case Notice::None:
        break;
    case Notice::GameOverNotice:
        showInformation(window(), QString::fromUtf8(Texts::kGameOverNotice));
        break;
    case Notice::WinNotice:
        showInformation(window(), QString::fromUtf8(Texts::kWinNotice));
        break;
    }
}
