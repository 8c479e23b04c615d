// Places a top-level window in the middle of its screen by its outer frame.
#include "ui/Centring.h"

#include "ui/DialogWindow.h"

#include <QAbstractNativeEventFilter>
#include <QApplication>
#include <QEvent>
#include <QScreen>
#include <QWidget>
#include <QWindow>

namespace {

// The frame that the window manager put around the window; none before it has framed it. Right
// after some window managers (KWin) take a window in, Qt works its frame out from a 1 x 1 parent
// and gets negative margins: no frame either.
QMargins frameOf(const QWidget *window)
{
    if (!window || !window->windowHandle())
        return {};
    const QMargins frame = window->windowHandle()->frameMargins();
    if (frame.left() < 0 || frame.top() < 0 || frame.right() < 0 || frame.bottom() < 0)
        return {};
    return frame;
}

QPoint centredTopLeft(const QScreen *screen, const QSize &outer)
{
    const QRect area = screen->availableGeometry();
    return {area.x() + (area.width() - outer.width()) / 2,
            area.y() + (area.height() - outer.height()) / 2};
}

void place(QWidget *window, const QScreen *screen, const QMargins &frame)
{
    const QPoint outerTopLeft = centredTopLeft(screen, window->size().grownBy(frame));
    // Placing the client area is exact, framed or not.
    window->setGeometry(QRect(outerTopLeft + QPoint(frame.left(), frame.top()), window->size()));
}

// Centres the window again each time the window manager tells its frame, until the window has
// been shown centred by its real frame.
class FrameWatch : public QObject, public QAbstractNativeEventFilter
{
public:
    FrameWatch(QWidget *window, const QMargins &guess)
        : QObject(window)
        , m_window(window)
        , m_placedWith(guess)
    {
        window->installEventFilter(this);
        QCoreApplication::instance()->installNativeEventFilter(this);
    }
    ~FrameWatch() override { QCoreApplication::instance()->removeNativeEventFilter(this); }

    bool nativeEventFilter(const QByteArray &eventType, void *message, qintptr *) override
    {
        // Qt takes the new extents in only after this filter, so look once it has.
        if (reportsFrameExtents(eventType, message, m_window))
            QMetaObject::invokeMethod(
                this, [this] { check(true); }, Qt::QueuedConnection);
        return false;
    }

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        switch (event->type()) {
        case QEvent::Move:
        case QEvent::Resize:
        case QEvent::WindowActivate:
        case QEvent::UpdateRequest:
            check(false);
            break;
        case QEvent::Hide:
            finish();
            break;
        default:
            break;
        }
        return false;
    }

private:
    void check(bool extentsReported)
    {
        const QMargins frame = frameOf(m_window);
        // Shown by now, the window stands on the screen it was placed on.
        const QScreen *screen = m_window->screen();
        // A minimised window stands nowhere; the window manager gives it back where it was.
        if (frame.isNull() || !screen || m_window->isMinimized())
            return;
        m_extentsSeen = m_extentsSeen || extentsReported;
        const QRect outer = m_window->geometry().marginsAdded(frame);
        if (outer.topLeft() == centredTopLeft(screen, outer.size())) {
            // Until the window manager has told the frame, Qt's is a guess that may be wrong
            // (seen under KWin: a file dialog centred by a guess stood 41 pixels too high).
            if (m_extentsSeen)
                finish();
            return;
        }
        if (frame != m_placedWith || extentsReported) {
            m_placedWith = frame;
            place(m_window, screen, frame);
        }
    }

    // Qt drops a deleted object from the window's filters, and the destructor takes it off the
    // application's; until then a late event finds the window centred and only finishes again.
    void finish() { deleteLater(); }

    QWidget *m_window;
    QMargins m_placedWith;
    bool m_extentsSeen = false;
};

} // namespace

void centreOnScreen(QWidget *window)
{
    // The window it is opened from: its parent's, or for a dialog without a parent the window
    // that is active.
    const QWidget *opener = window->parentWidget() ? window->parentWidget()->window() : nullptr;
    if (!opener && QApplication::activeWindow() != window)
        opener = QApplication::activeWindow();
    const QWidget *screenOwner = opener ? opener : window;
    const QScreen *screen
        = screenOwner->screen() ? screenOwner->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    QMargins frame = frameOf(window);
    const bool framed = !frame.isNull();
    if (!framed)
        frame = frameOf(opener);
    place(window, screen, frame);
    if (!framed)
        new FrameWatch(window, frame);
}
