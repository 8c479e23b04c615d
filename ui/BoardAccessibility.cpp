// What a screen reader learns of the board: its 33 holes, each with a name, a place and a press.
#include "ui/BoardAccessibility.h"

#include "model/GameState.h"
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

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <vector>

namespace {

// The holes of the cross, row by row from the top as a reader reads the board.
std::vector<QPoint> crossHoles()
{
    std::vector<QPoint> holes;
    for (int row = kFirstPlayfieldLine; row <= kLastPlayfieldLine; ++row)
        for (int column = kFirstPlayfieldLine; column <= kLastPlayfieldLine; ++column)
            if (BoardView::isHole({column, row}))
                holes.emplace_back(column, row);
    return holes;
}

const std::vector<QPoint> &holes()
{
    static const std::vector<QPoint> all = crossHoles();
    return all;
}

QString text(const char *utf8)
{
    return QString::fromUtf8(utf8);
}

// What a hole holds, as one hole ("фишка") or as several ("фишки"); nothing for a value that
// only a loaded file can put there, which shows no picture.
const char *holding(std::int32_t cell, bool several)
{
    switch (cell) {
    case Empty:
        return several ? Texts::kHolesEmpty : Texts::kHoleEmpty;
    case Peg:
        return several ? Texts::kHolesPeg : Texts::kHolePeg;
    case Selected:
        return several ? Texts::kHolesSelected : Texts::kHoleSelected;
    }
    return nullptr;
}

QString place(QPoint cell)
{
    return text(Texts::kHolePlace).arg(cell.x()).arg(cell.y());
}

QString holeName(const GameState &game, QPoint cell)
{
    const char *holds = holding(game.Board[cell.x()][cell.y()], false);
    return holds ? text(Texts::kHoleName).arg(place(cell), text(holds)) : place(cell);
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
        if (kind == QAccessible::Name)
            return m_retired ? QString() : holeName(m_board->game(), m_cell);
        if (kind == QAccessible::Description)
            return m_news;
        return {};
    }
    void setText(QAccessible::Text, const QString &) override { }

    QRect rect() const override
    {
        return screenPixels(m_board, BoardView::cellRect(m_cell.x(), m_cell.y()));
    }
    QAccessible::Role role() const override { return QAccessible::PushButton; }
    QAccessible::State state() const override
    {
        QAccessible::State state;
        state.invisible = !m_board->isVisible();
        // The keyboard reaches the holes only while a screen reader runs.
        state.focusable = m_board->screenReaderRunning();
        state.focused = state.focusable && !m_retired && m_board->hasFocus()
            && m_board->focusedHole() == m_cell;
        return state;
    }

    void *interface_cast(QAccessible::InterfaceType type) override
    {
        return type == QAccessible::ActionInterface
            ? static_cast<QAccessibleActionInterface *>(this)
            : nullptr;
    }

    // Qt gives screen readers the action's name alone (it does not pass on a localized one),
    // so the name is the word a player hears.
    static QString press() { return QString::fromUtf8(Texts::kPressAction); }
    QStringList actionNames() const override { return {press()}; }
    QString localizedActionName(const QString &name) const override
    {
        return name == press() ? name : QString();
    }
    QString localizedActionDescription(const QString &name) const override
    {
        return localizedActionName(name);
    }
    QStringList keyBindingsForAction(const QString &) const override { return {}; }

    void doAction(const QString &name) override
    {
        if (name != press() || m_board.isNull())
            return;
        // Played once the screen reader's call has returned, as Qt's own buttons do: a message
        // box at the end of a game would otherwise keep the reader waiting until it closes.
        QTimer::singleShot(0, m_board.data(), [board = m_board.data(), cell = m_cell] {
            // A press reaches the board only while no modal window shuts the main window off.
            if (board->isVisible() && !QApplication::activeModalWidget())
                board->pressCell(cell.x(), cell.y());
        });
    }

    // What the last press or deal changed beside the hole itself, which a screen reader
    // says after the hole's name when the focus comes to it.
    void setNews(const QString &news) { m_news = news; }
    // A twin out of the board keeps no name, so that a screen reader takes the one in it for
    // another object.
    void setRetired(bool retired) { m_retired = retired; }

private:
    QPointer<BoardView> m_board;
    QPoint m_cell;
    QString m_news;
    bool m_retired = false;
};

// The board: its widgets (the toolbar strip that lies on it) and then its holes. Each hole has
// a twin: Qt 6.4 tells a screen reader of a changed name without the name, which Orca cannot
// say, so a change is said by moving the focus onto the hole's twin, which Orca takes for a
// newly focused object and reads whole, with the news as its description.
class BoardAccessible : public QAccessibleWidget
{
public:
    explicit BoardAccessible(BoardView *board)
        : QAccessibleWidget(board, QAccessible::Client)
    {
        for (const QPoint &cell : holes()) {
            Twins twins;
            for (QAccessible::Id &id : twins.ids)
                id = QAccessible::registerAccessibleInterface(new HoleAccessible(board, cell));
            m_holes.push_back(twins);
        }
    }

    ~BoardAccessible() override
    {
        for (const Twins &twins : m_holes)
            for (const QAccessible::Id id : twins.ids)
                QAccessible::deleteAccessibleInterface(id);
    }

    int childCount() const override { return widgetChildren() + int(m_holes.size()); }

    QAccessibleInterface *child(int index) const override
    {
        const int widgets = widgetChildren();
        if (index < widgets)
            return QAccessibleWidget::child(index);
        if (index - widgets < int(m_holes.size()))
            return shown(std::size_t(index - widgets));
        return nullptr;
    }

    int indexOfChild(const QAccessibleInterface *child) const override
    {
        for (std::size_t i = 0; i < m_holes.size(); ++i)
            for (const QAccessible::Id id : m_holes[i].ids)
                if (QAccessible::accessibleInterface(id) == child)
                    return widgetChildren() + int(i);
        return QAccessibleWidget::indexOfChild(child);
    }

    QRect rect() const override { return screenPixels(widget(), widget()->rect()); }

    // While a hole holds the focus, the board does not claim it too: a screen reader that looks
    // for the focused object from the window down would stop at the board.
    QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        if (static_cast<BoardView *>(widget())->screenReaderRunning())
            state.focused = false;
        return state;
    }

    QAccessibleInterface *focusChild() const override
    {
        auto *board = static_cast<BoardView *>(widget());
        if (board->screenReaderRunning() && board->hasFocus())
            return hole(board->focusedHole());
        return QAccessibleWidget::focusChild();
    }

    HoleAccessible *hole(QPoint cell) const
    {
        const auto at = std::find(holes().begin(), holes().end(), cell);
        return at == holes().end() ? nullptr : shown(std::size_t(at - holes().begin()));
    }

    // The twin of hole `cell` takes its place, carrying `news`.
    HoleAccessible *renew(QPoint cell, const QString &news)
    {
        const auto at = std::find(holes().begin(), holes().end(), cell);
        if (at == holes().end())
            return nullptr;
        const auto index = std::size_t(at - holes().begin());
        HoleAccessible *retired = shown(index);
        retired->setNews({});
        retired->setRetired(true);
        QAccessibleEvent nameless(retired, QAccessible::NameChanged);
        QAccessible::updateAccessibility(&nameless);
        m_holes[index].shown ^= 1;
        shown(index)->setRetired(false);
        shown(index)->setNews(news);
        return shown(index);
    }

private:
    struct Twins
    {
        QAccessible::Id ids[2] {};
        std::size_t shown = 0;
    };

    int widgetChildren() const { return QAccessibleWidget::childCount(); }
    HoleAccessible *shown(std::size_t index) const
    {
        const Twins &twins = m_holes[index];
        return static_cast<HoleAccessible *>(
            QAccessible::accessibleInterface(twins.ids[twins.shown]));
    }

    std::vector<Twins> m_holes;
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

BoardAccessible *boardAccessible(BoardView *board)
{
    return dynamic_cast<BoardAccessible *>(QAccessible::queryAccessibleInterface(board));
}

// What a press changed beside the hole with the focus: the other changed holes, nearest first,
// those that now hold the same together.
QString changeSummary(const GameState &game, QPoint focus, std::vector<QPoint> others,
                      const QString &heading)
{
    // After a deal or a load the heading tells the news; the holes are many.
    if (!heading.isEmpty())
        return heading;
    QStringList parts;
    std::erase(others, focus);
    const auto distance = [focus](QPoint cell) { return (cell - focus).manhattanLength(); };
    std::stable_sort(others.begin(), others.end(),
                     [&](QPoint a, QPoint b) { return distance(a) < distance(b); });
    std::vector<bool> told(others.size(), false);
    for (std::size_t i = 0; i < others.size(); ++i) {
        if (told[i])
            continue;
        const std::int32_t cell = game.Board[others[i].x()][others[i].y()];
        QStringList places;
        for (std::size_t j = i; j < others.size(); ++j) {
            if (!told[j] && game.Board[others[j].x()][others[j].y()] == cell) {
                places << place(others[j]);
                told[j] = true;
            }
        }
        const QString where = places.join(text(Texts::kHolesAnd));
        const char *holds = holding(cell, places.size() > 1);
        parts << (holds ? text(Texts::kHoleName).arg(where, text(holds)) : where);
    }
    return parts.join(text(Texts::kChangesSeparator));
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

void announceHoleChanges(BoardView *board, const std::vector<QPoint> &changed,
                         const QString &heading)
{
    BoardAccessible *accessible = QAccessible::isActive() || board->screenReaderRunning()
        ? boardAccessible(board)
        : nullptr;
    if (!accessible)
        return;
    for (const QPoint &cell : changed) {
        if (QAccessibleInterface *hole = accessible->hole(cell)) {
            QAccessibleEvent event(hole, QAccessible::NameChanged);
            QAccessible::updateAccessibility(&event);
        }
    }
    if (!board->screenReaderRunning() || (changed.empty() && heading.isEmpty()))
        return;
    const QPoint focus = board->focusedHole();
    HoleAccessible *twin
        = accessible->renew(focus, changeSummary(board->game(), focus, changed, heading));
    // Right after a file dialog the window may not have the focus back yet; the news is told
    // when it comes back.
    if (twin && board->hasFocus()) {
        QAccessibleEvent event(twin, QAccessible::Focus);
        QAccessible::updateAccessibility(&event);
    }
}

void announceHoleFocus(BoardView *board, bool backAgain)
{
    BoardAccessible *accessible = QAccessible::isActive() ? boardAccessible(board) : nullptr;
    if (HoleAccessible *hole = accessible ? accessible->hole(board->focusedHole()) : nullptr) {
        // The news stays with the hole until the focus leaves it: back from the message box
        // that ends a game, the player hears what the last jump changed.
        if (!backAgain)
            hole->setNews({});
        QAccessibleEvent event(hole, QAccessible::Focus);
        QAccessible::updateAccessibility(&event);
    }
}
