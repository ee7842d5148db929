#pragma once

#include <QApplication>
#include <QElapsedTimer>
#include <QStringList>
#include <QTimer>
#include <QWidget>

#include <functional>

// Runs `start`, which shows windows modally, and answers each modal window as it comes up:
// `answer` gets the window and must close it. Returns the object names in the order seen.
inline QStringList driveModals(const std::function<void()>& start,
                               const std::function<void(QWidget*)>& answer) {
    QStringList seen;
    QWidget* last = nullptr;
    QTimer poll;
    poll.setInterval(5);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || modal == last || !modal->isVisible())
            return;
        last = modal;
        seen << modal->objectName();
        answer(modal);
        last = nullptr;
    });
    poll.start();
    start();
    return seen;
}
