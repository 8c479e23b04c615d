// What a screen reader learns of the board: its 33 holes, each with a name, a place and a press.
#include "ui/BoardAccessibility.h"

#include "model/GameState.h"
#include "model/Plural.h"
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

// What a press changed: the hole with the focus first, then the others, nearest first, those
// that now hold the same together: "6, 3: фишка; 5, 3 и 4, 3: пустые лунки".
QString changeSummary(const GameState &game, QPoint focus, std::vector<QPoint> changed)
{
    const auto distance = [focus](QPoint cell) { return (cell - focus).manhattanLength(); };
    std::stable_sort(changed.begin(), changed.end(),
                     [&](QPoint a, QPoint b) { return distance(a) < distance(b); });
    QStringList parts;
    std::vector<bool> told(changed.size(), false);
    for (std::size_t i = 0; i < changed.size(); ++i) {
        if (told[i])
            continue;
        const std::int32_t cell = game.Board[changed[i].x()][changed[i].y()];
        QStringList places {place(changed[i])};
        // The focused hole stands alone, so that its name comes first and whole.
        for (std::size_t j = i + 1; j < changed.size() && changed[i] != focus; ++j) {
            if (!told[j] && changed[j] != focus
                && game.Board[changed[j].x()][changed[j].y()] == cell) {
                places << place(changed[j]);
                told[j] = true;
            }
        }
        const QString where = places.join(text(Texts::kHolesAnd));
        const char *holds = holding(cell, places.size() > 1);
        parts << (holds ? text(Texts::kHoleName).arg(where, text(holds)) : where);
    }
    return parts.join(text(Texts::kChangesSeparator));
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
        return kind == QAccessible::Name ? holeName(m_board->game(), m_cell) : QString();
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
        state.focused = state.focusable && m_board->hasFocus() && m_board->focusedHole() == m_cell;
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

private:
    QPointer<BoardView> m_board;
    QPoint m_cell;
};

// The news of the game: a notification that shows while it has something to tell, and the news
// as its one line of text, which Orca keeps in its list of notifications. Screen readers say a
// notification when it comes to show, once, whatever has the focus. It belongs to the main
// window, not to the board: Orca reads the lines in a board it comes back to.
class NewsAccessible : public QAccessibleInterface
{
public:
    // The notification; with `notification` given, its line.
    explicit NewsAccessible(QWidget *mainWindow, NewsAccessible *notification = nullptr)
        : m_window(mainWindow)
        , m_notification(notification)
    {
        if (!notification) {
            m_line = new NewsAccessible(mainWindow, this);
            QAccessible::registerAccessibleInterface(m_line);
        }
    }
    ~NewsAccessible() override
    {
        if (m_line)
            QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(m_line));
    }

    bool isValid() const override { return !m_window.isNull(); }
    QObject *object() const override { return nullptr; }
    QWindow *window() const override { return m_window->windowHandle(); }
    QAccessibleInterface *parent() const override
    {
        if (m_notification)
            return m_notification;
        return QAccessible::queryAccessibleInterface(m_window.data());
    }
    QAccessibleInterface *child(int index) const override { return index == 0 ? m_line : nullptr; }
    int childCount() const override { return m_line ? 1 : 0; }
    int indexOfChild(const QAccessibleInterface *child) const override
    {
        return child && child == m_line ? 0 : -1;
    }
    QAccessibleInterface *childAt(int, int) const override { return nullptr; }
    QString text(QAccessible::Text kind) const override
    {
        return kind == QAccessible::Name && m_notification ? m_notification->m_news : QString();
    }
    void setText(QAccessible::Text, const QString &) override { }
    // Nowhere on the screen: nothing of it is drawn.
    QRect rect() const override { return {}; }
    QAccessible::Role role() const override
    {
        return m_notification ? QAccessible::StaticText : QAccessible::Notification;
    }
    QAccessible::State state() const override
    {
        QAccessible::State state;
        state.invisible
            = (m_notification ? m_notification : this)->m_news.isEmpty() || !m_window->isVisible();
        return state;
    }

    // The last news goes before the next shows, so that each is a showing of its own (its line
    // goes with it); readers learn of the line's showing too, or they would take it for hidden
    // still.
    void tell(const QString &news)
    {
        const auto send = [](QAccessibleInterface *about, QAccessible::Event kind) {
            QAccessibleEvent event(about, kind);
            QAccessible::updateAccessibility(&event);
        };
        if (!m_news.isEmpty()) {
            m_news.clear();
            send(this, QAccessible::ObjectHide);
        }
        m_news = news;
        send(m_line, QAccessible::NameChanged);
        send(m_line, QAccessible::ObjectShow);
        send(this, QAccessible::ObjectShow);
    }

private:
    QPointer<QWidget> m_window;
    NewsAccessible *m_notification = nullptr;
    NewsAccessible *m_line = nullptr;
    QString m_news;
};

// The main window, in the same pixels as its board, so that a reader finds every hole inside it.
// Its child at a point is the one whose own place holds the point. Its last child is the news.
class WindowAccessible : public QAccessibleWidget
{
public:
    explicit WindowAccessible(QMainWindow *window)
        : QAccessibleWidget(window, QAccessible::Window)
        , m_news(QAccessible::registerAccessibleInterface(new NewsAccessible(window)))
    { }
    ~WindowAccessible() override { QAccessible::deleteAccessibleInterface(m_news); }

    QRect rect() const override { return screenPixels(widget(), widget()->rect()); }
    int childCount() const override { return QAccessibleWidget::childCount() + 1; }
    QAccessibleInterface *child(int index) const override
    {
        return index == QAccessibleWidget::childCount() ? news() : QAccessibleWidget::child(index);
    }
    int indexOfChild(const QAccessibleInterface *child) const override
    {
        return child && child == news() ? QAccessibleWidget::childCount()
                                        : QAccessibleWidget::indexOfChild(child);
    }

    NewsAccessible *news() const
    {
        return static_cast<NewsAccessible *>(QAccessible::accessibleInterface(m_news));
    }

private:
    QAccessible::Id m_news;
};

// The board: its widgets (the toolbar strip that lies on it) and its holes.
class BoardAccessible : public QAccessibleWidget
{
public:
    explicit BoardAccessible(BoardView *board)
        : QAccessibleWidget(board, QAccessible::Pane)
    {
        for (const QPoint &cell : holes())
            m_holes.push_back(
                QAccessible::registerAccessibleInterface(new HoleAccessible(board, cell)));
        QObject::connect(board, &BoardView::told, board,
                         [this](const std::vector<QPoint> &changed, const QString &news) {
                             told(changed, news);
                         });
        QObject::connect(board, &BoardView::focusMoved, board, [this] { focusMoved(); });
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

    // The board says which layout lies on it and how many pegs it holds, so that a player
    // hears it whenever the focus comes to the board from another window, Orca's start
    // included: "Игровое поле: Латинский крест, 6 фишек".
    QString text(QAccessible::Text kind) const override
    {
        if (kind != QAccessible::Name)
            return QAccessibleWidget::text(kind);
        const GameState &game = board()->game();
        QString now = pegCount(game);
        if (game.BoardKind >= 0 && game.BoardKind < kLayoutCount)
            now = ::text(Texts::kLayoutAndPegs)
                      .arg(::text(Texts::kLayoutNames[game.BoardKind]), now);
        return ::text(Texts::kHoleName).arg(QAccessibleWidget::text(kind), now);
    }

    // While a hole holds the focus, the board does not claim it too: a screen reader that looks
    // for the focused object from the window down would stop at the board.
    QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        if (board()->screenReaderRunning())
            state.focused = false;
        return state;
    }

    QAccessibleInterface *focusChild() const override
    {
        if (board()->screenReaderRunning() && board()->hasFocus())
            return hole(board()->focusedHole());
        return QAccessibleWidget::focusChild();
    }

    QAccessibleInterface *hole(QPoint cell) const
    {
        const auto at = std::find(holes().begin(), holes().end(), cell);
        return at == holes().end()
            ? nullptr
            : QAccessible::accessibleInterface(m_holes[std::size_t(at - holes().begin())]);
    }

private:
    BoardView *board() const { return static_cast<BoardView *>(widget()); }
    int widgetChildren() const { return QAccessibleWidget::childCount(); }
    // Every reader learns which names changed; one that the desktop runs hears the news.
    void told(const std::vector<QPoint> &changed, const QString &news)
    {
        QAccessibleEvent renamed(this, QAccessible::NameChanged);
        QAccessible::updateAccessibility(&renamed);
        for (const QPoint &cell : changed) {
            if (QAccessibleInterface *changedHole = hole(cell)) {
                QAccessibleEvent event(changedHole, QAccessible::NameChanged);
                QAccessible::updateAccessibility(&event);
            }
        }
        const QString said = news.isEmpty()
            ? changeSummary(board()->game(), board()->focusedHole(), changed)
            : news;
        auto *window = dynamic_cast<WindowAccessible *>(
            QAccessible::queryAccessibleInterface(board()->window()));
        if (window && board()->screenReaderRunning() && !said.isEmpty())
            window->news()->tell(said);
    }

    void focusMoved()
    {
        if (QAccessibleInterface *focused = hole(board()->focusedHole())) {
            QAccessibleEvent event(focused, QAccessible::Focus);
            QAccessible::updateAccessibility(&event);
        }
    }

    std::vector<QAccessible::Id> m_holes;
};

QtMessageHandler g_otherMessages = nullptr;

// Qt's link to screen readers complains on the terminal whenever a reader is slow to answer a
// key ("QSpiApplication::keyEventError ... NoReply"), which nobody playing can act on.
void quietScreenReaderLink(QtMsgType type, const QMessageLogContext &context,
                           const QString &message)
{
    const bool link = (context.category && qstrncmp(context.category, "qt.accessibility", 16) == 0)
        || message.startsWith(QLatin1String("QSpi"));
    if ((type == QtFatalMsg || !link) && g_otherMessages)
        g_otherMessages(type, context, message);
}

QAccessibleInterface *boardFactory(const QString &, QObject *object)
{
    if (auto *board = qobject_cast<BoardView *>(object))
        return new BoardAccessible(board);
    if (auto *window = qobject_cast<QMainWindow *>(object))
        return new WindowAccessible(window);
    return nullptr;
}

} // namespace

QString pegCount(const GameState &game)
{
    const int pegs = game.CountPegs();
    return text(Texts::kPegCount)
        .arg(pegs)
        .arg(text(Texts::kPegForms[int(pluralAfter(std::uint64_t(pegs)))]));
}

void installBoardAccessibility()
{
    static const bool installed = [] {
        QAccessible::installFactory(&boardFactory);
        g_otherMessages = qInstallMessageHandler(&quietScreenReaderLink);
        return true;
    }();
    Q_UNUSED(installed);
}
