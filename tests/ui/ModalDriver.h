// Answers the next modal window (message box or dialog) that a test's action opens.
#pragma once

#include <QApplication>
#include <QDeadlineTimer>
#include <QTimer>
#include <QWidget>

#include <functional>

// Call before the action that opens the window: `answer` runs once the window is up and must
// close it. If none opens in time nothing is answered, and the test's own checks fail.
inline void answerNextModal(std::function<void(QWidget *)> answer, int timeoutMs = 5000)
{
    auto *timer = new QTimer;
    const QDeadlineTimer deadline(timeoutMs);
    QObject::connect(timer, &QTimer::timeout, [timer, deadline, answer] {
        QWidget *modal = QApplication::activeModalWidget();
        const bool open = modal && modal->isVisible();
        if (open || deadline.hasExpired()) {
            timer->stop();
            timer->deleteLater();
        }
        if (open)
            answer(modal);
    });
    timer->start(10);
}
