// The board on screen: the main window's client area, which paints the playfield and takes presses.
#include "ui/BoardView.h"

#include "model/Layouts.h"
#include "resources/Texts.h"
#include "ui/CellImages.h"
#include "ui/MessageBoxes.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QTimer>

#include <cmath>

namespace {

const QColor kBackground(128, 128, 128);
constexpr int kClientWidth = 490;
constexpr int kClientHeight = 538;

// The focus frame: black outside, yellow inside, each 2 pixels wide, just within the cell's
// picture, so that it stands out against the silver hole, the amber peg and the green one.
void drawFocusFrame(QPainter &painter, const QRect &cell)
{
    const auto ring = [&painter](const QRect &outer, const QColor &colour) {
        const QRect inner = outer.adjusted(2, 2, -2, -2);
        painter.fillRect(QRect(outer.topLeft(), QSize(outer.width(), 2)), colour);
        painter.fillRect(QRect(QPoint(outer.left(), inner.bottom() + 1), QSize(outer.width(), 2)),
                         colour);
        painter.fillRect(QRect(QPoint(outer.left(), inner.top()), QSize(2, inner.height())),
                         colour);
        painter.fillRect(QRect(QPoint(inner.right() + 1, inner.top()), QSize(2, inner.height())),
                         colour);
    };
    ring(cell, Qt::black);
    ring(cell.adjusted(2, 2, -2, -2), Qt::yellow);
}

} // namespace

BoardView::BoardView(GameState &game, QWidget *parent)
    : QWidget(parent)
    , m_game(game)
    , m_cellImages(new CellImages(this))
{
    setObjectName(QStringLiteral("ClientArea"));
    setAccessibleName(QString::fromUtf8(Texts::kBoardName));
    // No key but Home means anything until a screen reader runs.
    setFocusPolicy(Qt::NoFocus);
}

QSize BoardView::sizeHint() const
{
    return {kClientWidth, kClientHeight};
}

QPoint BoardView::CellOrigin(int column, int row)
{
    return {kCellPitch * column - kColumnShift, kCellPitch * row};
}

QRect BoardView::cellRect(int column, int row)
{
    return {CellOrigin(column, row), QSize(kCellSize, kCellSize)};
}

QPoint BoardView::cellCentre(int column, int row)
{
    return CellOrigin(column, row) + QPoint(kCellSize / 2, kCellSize / 2);
}

QPoint BoardView::CellAtPoint(double x, double y)
{
    const auto column = static_cast<int>(std::trunc((x - kColumnShift) / double(kCellPitch) + 1));
    const auto row = static_cast<int>(std::trunc(y / double(kCellPitch)));
    return {column, row};
}

bool BoardView::isHole(QPoint cell)
{
    // The squares that the full board's picture does not mark as no hole.
    const auto line = [](int at) { return at >= kFirstPlayfieldLine && at <= kLastPlayfieldLine; };
    return line(cell.x()) && line(cell.y())
        && kLayoutPictures[FullBoard][std::size_t(cell.y() - 1)][cell.x() - 1] != '-';
}

void BoardView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    FormPaint(painter);
    if (m_screenReader)
        drawFocusFrame(painter, cellRect(m_focus.x(), m_focus.y()));
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

void BoardView::redrawPlayfieldNow(const GameState &before, const QString &news)
{
    repaint();
    tellChanges(before, news);
}

void BoardView::tell(const QString &news)
{
    Q_EMIT told({}, news);
}

void BoardView::tellChanges(const GameState &before, const QString &news)
{
    std::vector<QPoint> changed;
    for (const CellPlace &cell : m_game.ChangedSince(before))
        changed.emplace_back(cell.Column, cell.Row);
    Q_EMIT told(changed, news);
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
    pressCell(cell.x(), cell.y());
}

void BoardView::pressCell(int column, int row)
{
    // A hole pressed by the mouse or a screen reader's action takes the focus first, so that
    // what the press changes is said from there.
    if (m_screenReader && isHole({column, row}))
        moveFocusTo({column, row});
    const GameState before = m_game;
    const ClickOutcome outcome = m_game.HandleClick(column, row);
    if (outcome.Redraw)
        repaint();
    // A press that changes nothing says so, or a player who cannot see would take it for a lost
    // key; the end of a game says so in its box.
    const bool refused = m_game == before && outcome.Message == Notice::None;
    tellChanges(before, refused ? QString::fromUtf8(Texts::kNothingChanged) : QString());
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

void BoardView::setScreenReaderRunning(bool running)
{
    if (running == m_screenReader)
        return;
    m_screenReader = running;
    setFocusPolicy(running ? Qt::StrongFocus : Qt::NoFocus);
    if (running)
        setFocus(Qt::OtherFocusReason);
    else
        clearFocus();
    update();
}

void BoardView::moveFocusTo(QPoint hole)
{
    if (hole == m_focus && hasFocus())
        return;
    update(cellRect(m_focus.x(), m_focus.y()));
    m_focus = hole;
    update(cellRect(hole.x(), hole.y()));
    // Taking the keyboard says where it stands by itself.
    if (hasFocus())
        Q_EMIT focusMoved();
    else
        setFocus(Qt::MouseFocusReason);
}

void BoardView::keyPressEvent(QKeyEvent *event)
{
    QPoint step;
    switch (event->key()) {
    case Qt::Key_Left:
        step = {-1, 0};
        break;
    case Qt::Key_Right:
        step = {1, 0};
        break;
    case Qt::Key_Up:
        step = {0, -1};
        break;
    case Qt::Key_Down:
        step = {0, 1};
        break;
    case Qt::Key_Space:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (!m_screenReader)
            break;
        pressCell(m_focus.x(), m_focus.y());
        return;
    default:
        break;
    }
    // Keys the board does not play, Home among them, go on to the main window.
    if (!m_screenReader || step.isNull()) {
        event->ignore();
        return;
    }
    // At the cross's edge the focus stays where it is, and says so.
    if (isHole(m_focus + step))
        moveFocusTo(m_focus + step);
    else
        tell(QString::fromUtf8(Texts::kBoardEdge));
}

void BoardView::focusInEvent(QFocusEvent *event)
{
    QWidget::focusInEvent(event);
    // Back from a dialog, a message box or a menu, the player hears where the focus stands:
    // after Qt has told screen readers that the board took the focus, which it does last.
    if (m_screenReader)
        QTimer::singleShot(0, this, [this] {
            if (m_screenReader && hasFocus())
                Q_EMIT focusMoved();
        });
}
