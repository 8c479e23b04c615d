// Places a top-level window in the middle of its screen by its outer frame.
#include "ui/dialogs/Centring.h"

#include <QApplication>
#include <QEvent>
#include <QScreen>
#include <QWidget>
#include <QWindow>

namespace {

// The frame that the window manager put around the window; none before it has framed it.
QMargins frameOf(const QWidget *window)
{
    if (!window)
        return {};
    if (const QWindow *handle = window->windowHandle())
        return handle->frameMargins();
    return {};
}

void place(QWidget *window, const QScreen *screen, const QMargins &frame)
{
    const QRect area = screen->availableGeometry();
    const QSize outer = window->size().grownBy(frame);
    const QPoint outerTopLeft(area.x() + (area.width() - outer.width()) / 2,
                              area.y() + (area.height() - outer.height()) / 2);
    // Placing the client area is exact, framed or not.
    window->setGeometry(QRect(outerTopLeft + QPoint(frame.left(), frame.top()), window->size()));
}

// Waits until the window manager has framed the window, and centres it again if the frame
// differs from the one guessed.
class FrameWatch : public QObject
{
public:
    FrameWatch(QWidget *window, const QMargins &guess)
        : QObject(window)
        , m_guess(guess)
    {
        window->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        auto *window = static_cast<QWidget *>(watched);
        switch (event->type()) {
        case QEvent::Move:
        case QEvent::Resize:
        case QEvent::WindowActivate:
        case QEvent::UpdateRequest: {
            const QMargins frame = frameOf(window);
            if (frame.isNull())
                break;
            window->removeEventFilter(this);
            // Shown by now, the window stands on the screen it was placed on.
            if (frame != m_guess && window->screen())
                place(window, window->screen(), frame);
            deleteLater();
            break;
        }
        case QEvent::Hide:
            window->removeEventFilter(this);
            deleteLater();
            break;
        default:
            break;
        }
        return false;
    }

private:
    QMargins m_guess;
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
