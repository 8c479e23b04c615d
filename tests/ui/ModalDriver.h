// Answers the next modal window (message box or dialog) that a test's action opens.
#pragma once

#include <QApplication>
#include <QDeadlineTimer>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <functional>

// Call before the action that opens the window: `answer` runs once a modal window of type
// Window is up, and must close it. If none opens in time nothing is answered, and the test's
// own checks fail. Delete the returned timer to stop waiting.
template<typename Window = QWidget>
QPointer<QTimer> answerNext(std::function<void(Window *)> answer, int timeoutMs = 5000)
{
    auto *timer = new QTimer;
    const QDeadlineTimer deadline(timeoutMs);
    QObject::connect(timer, &QTimer::timeout, [timer, deadline, answer] {
        auto *modal = qobject_cast<Window *>(QApplication::activeModalWidget());
        const bool open = modal && modal->isVisible();
        if (open || deadline.hasExpired()) {
            timer->stop();
            timer->deleteLater();
        }
        if (open)
            answer(modal);
    });
    timer->start(10);
    return timer;
}

inline QPointer<QTimer> answerNextModal(std::function<void(QWidget *)> answer, int timeoutMs = 5000)
{
    return answerNext<QWidget>(std::move(answer), timeoutMs);
}
