// What a screen reader learns of the board: its 33 holes, each with a name, a place and a press.
#include "ui/BoardAccessibility.h"

#include "model/GameState.h"
#include "model/Layouts.h"
#include "resources/Texts.h"
#include "ui/BoardView.h"
#include "ui/DialogWindow.h"

#include <QAccessibleWidget>
#include <QApplication>
#include <QMainWindow>
#include <QPointer>
#include <QTimer>
#include <QWindow>

#include <xcb/xcb.h>

#include <cmath>
#include <cstdlib>
#include <memory>
#include <vector>

namespace {

// The holes of the cross, row by row from the top as a reader reads the board: the squares
// that the full board's picture does not mark as no hole.
std::vector<QPoint> crossHoles()
{
    std::vector<QPoint> holes;
    const LayoutPicture &cross = kLayoutPictures[FullBoard];
    for (int row = kFirstPlayfieldLine; row <= kLastPlayfieldLine; ++row)
        for (int column = kFirstPlayfieldLine; column <= kLastPlayfieldLine; ++column)
            if (cross[std::size_t(row - 1)][column - 1] != '-')
                holes.emplace_back(column, row);
    return holes;
}

const std::vector<QPoint> &holes()
{
    static const std::vector<QPoint> all = crossHoles();
    return all;
}

// Where the window's top-left pixel is on the screen, in the screen's own pixels. The X server
// knows it exactly; Qt's position of a window on a scaled display is rounded to scaled pixels.
QPoint windowOrigin(QWindow *window, qreal scale)
{
    if (xcb_connection_t *connection = x11Connection()) {
        const auto id = xcb_window_t(window->winId());
        const std::unique_ptr<xcb_get_geometry_reply_t, decltype(&std::free)> geometry(
            xcb_get_geometry_reply(connection, xcb_get_geometry(connection, id), nullptr),
            &std::free);
        if (geometry) {
            const std::unique_ptr<xcb_translate_coordinates_reply_t, decltype(&std::free)> place(
                xcb_translate_coordinates_reply(
                    connection, xcb_translate_coordinates(connection, id, geometry->root, 0, 0),
                    nullptr),
                &std::free);
            if (place)
                return {place->dst_x, place->dst_y};
        }
    }
    // Elsewhere a window does not learn where it is (Wayland), or there is no screen.
    return (QPointF(window->mapToGlobal(QPoint())) * scale).toPoint();
}

// The screen pixels that show `area` of `widget`: those whose centre lies in it, as the board
// places its pictures. Screen readers take positions in the screen's own pixels, which Qt 6.4
// hands them unscaled; at a display scale of 125 % a reader's click would miss its hole.
QRect screenPixels(const QWidget *widget, const QRect &area)
{
    QWindow *window = widget->window()->windowHandle();
    if (!window || !widget->isVisible())
        return {};
    const qreal scale = window->devicePixelRatio();
    const QPointF topLeft = QPointF(widget->mapTo(widget->window(), area.topLeft())) * scale;
    const QPointF end = topLeft + QPointF(area.width(), area.height()) * scale;
    const auto first = [](qreal edge) { return int(std::ceil(edge - 0.5 - 1e-6)); };
    return QRect(QPoint(first(topLeft.x()), first(topLeft.y())),
                 QPoint(first(end.x()) - 1, first(end.y()) - 1))
        .translated(windowOrigin(window, scale));
}

// One hole: a button named after its place and what it holds, whose press is a left press on
// the middle of its picture.
class HoleAccessible : public QAccessibleInterface, public QAccessibleActionInterface
{
public:
    HoleAccessible(BoardView *board, QPoint cell)
        : m_board(board)
        , m_cell(cell)
    { }

    bool isValid() const override { return !m_board.isNull(); }
    QObject *object() const override { return nullptr; }
    QWindow *window() const override { return m_board->window()->windowHandle(); }

    QAccessibleInterface *parent() const override
    {
        return QAccessible::queryAccessibleInterface(m_board.data());
    }
    QAccessibleInterface *child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface *) const override { return -1; }
    QAccessibleInterface *childAt(int, int) const override { return nullptr; }

    QString text(QAccessible::Text kind) const override
    {
        if (kind != QAccessible::Name)
            return {};
        const QString place = QString::fromUtf8(Texts::kHolePlace).arg(m_cell.x()).arg(m_cell.y());
        const char *holds = nullptr;
        switch (m_board->game().Board[m_cell.x()][m_cell.y()]) {
        case Empty:
            holds = Texts::kHoleEmpty;
            break;
        case Peg:
            holds = Texts::kHolePeg;
            break;
        case Selected:
            holds = Texts::kHoleSelected;
            break;
        }
        // A value that only a loaded file can put there shows no picture, so nothing is said.
        return holds ? QString::fromUtf8(Texts::kHoleName).arg(place, QString::fromUtf8(holds))
                     : place;
    }
    void setText(QAccessible::Text, const QString &) override { }

    QRect rect() const override
    {
        const QPoint origin = BoardView::CellOrigin(m_cell.x(), m_cell.y());
        return screenPixels(m_board, {origin, QSize(60, 60)});
    }
    QAccessible::Role role() const override { return QAccessible::PushButton; }
    QAccessible::State state() const override
    {
        QAccessible::State state;
        state.invisible = !m_board->isVisible();
        return state;
    }

    void *interface_cast(QAccessible::InterfaceType type) override
    {
        return type == QAccessible::ActionInterface
            ? static_cast<QAccessibleActionInterface *>(this)
            : nullptr;
    }

    QStringList actionNames() const override { return {pressAction()}; }
    QString localizedActionName(const QString &name) const override
    {
        return name == pressAction() ? QString::fromUtf8(Texts::kPressAction) : QString();
    }
    QString localizedActionDescription(const QString &name) const override
    {
        return localizedActionName(name);
    }
    QStringList keyBindingsForAction(const QString &) const override { return {}; }

    void doAction(const QString &name) override
    {
        if (name != pressAction() || m_board.isNull())
            return;
        // Played once the screen reader's call has returned, as Qt's own buttons do: a message
        // box at the end of a game would otherwise keep the reader waiting until it closes.
        const QPoint centre = BoardView::CellOrigin(m_cell.x(), m_cell.y()) + QPoint(30, 30);
        QTimer::singleShot(0, m_board.data(), [board = m_board.data(), centre] {
            // A press reaches the board only while no modal window shuts the main window off.
            if (board->isVisible() && !QApplication::activeModalWidget())
                board->FormMouseDown(Qt::LeftButton, Qt::NoModifier, centre);
        });
    }

private:
    QPointer<BoardView> m_board;
    QPoint m_cell;
};

// The board: its widgets (the toolbar strip that lies on it) and then its holes.
class BoardAccessible : public QAccessibleWidget
{
public:
    explicit BoardAccessible(BoardView *board)
        : QAccessibleWidget(board, QAccessible::Client)
    {
        for (const QPoint &cell : holes())
            m_holes.push_back(
                QAccessible::registerAccessibleInterface(new HoleAccessible(board, cell)));
    }

    ~BoardAccessible() override
    {
        for (const QAccessible::Id id : m_holes)
            QAccessible::deleteAccessibleInterface(id);
    }

    int childCount() const override { return widgetChildren() + int(m_holes.size()); }

    QAccessibleInterface *child(int index) const override
    {
        const int widgets = widgetChildren();
        if (index < widgets)
            return QAccessibleWidget::child(index);
        if (index - widgets < int(m_holes.size()))
            return QAccessible::accessibleInterface(m_holes[std::size_t(index - widgets)]);
        return nullptr;
    }

    int indexOfChild(const QAccessibleInterface *child) const override
    {
        for (std::size_t i = 0; i < m_holes.size(); ++i)
            if (QAccessible::accessibleInterface(m_holes[i]) == child)
                return widgetChildren() + int(i);
        return QAccessibleWidget::indexOfChild(child);
    }

    QRect rect() const override { return screenPixels(widget(), widget()->rect()); }

    QAccessibleInterface *hole(QPoint cell) const
    {
        for (std::size_t i = 0; i < m_holes.size(); ++i)
            if (holes()[i] == cell)
                return QAccessible::accessibleInterface(m_holes[i]);
        return nullptr;
    }

private:
    int widgetChildren() const { return QAccessibleWidget::childCount(); }

    std::vector<QAccessible::Id> m_holes;
};

// The main window, in the same pixels as its board, so that a reader finds every hole inside it.
// Its child at a point is the one whose own place holds the point.
class WindowAccessible : public QAccessibleWidget
{
public:
    explicit WindowAccessible(QMainWindow *window)
        : QAccessibleWidget(window, QAccessible::Window)
    { }

    QRect rect() const override { return screenPixels(widget(), widget()->rect()); }
};

QAccessibleInterface *boardFactory(const QString &, QObject *object)
{
    if (auto *board = qobject_cast<BoardView *>(object))
        return new BoardAccessible(board);
    if (auto *window = qobject_cast<QMainWindow *>(object))
        return new WindowAccessible(window);
    return nullptr;
}

} // namespace

void installBoardAccessibility()
{
    static const bool installed = [] {
        QAccessible::installFactory(&boardFactory);
        return true;
    }();
    Q_UNUSED(installed);
}

void announceHoleChange(BoardView *board, int column, int row)
{
    auto *accessible
        = dynamic_cast<BoardAccessible *>(QAccessible::queryAccessibleInterface(board));
    if (QAccessibleInterface *hole = accessible ? accessible->hole({column, row}) : nullptr) {
        QAccessibleEvent event(hole, QAccessible::NameChanged);
        QAccessible::updateAccessibility(&event);
    }
}
