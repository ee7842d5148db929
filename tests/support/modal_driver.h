#pragma once

#include <QApplication>
#include <QList>
#include <QMessageBox>
#include <QPushButton>
#include <QStringList>
#include <QTimer>
#include <QWidget>

#include <functional>

// Answers the modal windows a handler opens while the test waits in it: records what each one
// showed and hands it to `answer`, which must close it (by default a message box's OK is pressed
// and any other window is closed). Polls the event loop the handler runs, so it never sleeps.
class ModalDriver : public QObject {
public:
    struct Seen {
        QString objectName, title, text;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        QMessageBox::StandardButtons buttons;
    };
    using Answer = std::function<void(QWidget*)>;

    explicit ModalDriver(Answer answer = pressOk) : m_answer(std::move(answer)) {
        m_timer.setInterval(5);
        connect(&m_timer, &QTimer::timeout, this, &ModalDriver::poll);
        m_timer.start();
    }

    const QList<Seen>& seen() const { return m_seen; }
    QStringList names() const {
        QStringList names;
        for (const Seen& s : m_seen)
            names << s.objectName;
        return names;
    }

    static void pressOk(QWidget* window) {
        auto* box = qobject_cast<QMessageBox*>(window);
        if (box && box->button(QMessageBox::Ok))
            box->button(QMessageBox::Ok)->click();
        else
            window->close();
    }

private:
    static QWidget* shownModal() {
        if (QWidget* modal = QApplication::activeModalWidget(); modal && modal->isVisible())
            return modal;
        for (QWidget* widget : QApplication::topLevelWidgets())
            if (qobject_cast<QMessageBox*>(widget) && widget->isVisible())
                return widget;
        return nullptr;
    }

    void poll() {
        if (m_answering)
            return; // the answer itself may run a nested loop
        QWidget* window = shownModal();
        if (!window)
            return;
        Seen seen{window->objectName(), window->windowTitle(), {}};
        if (auto* box = qobject_cast<QMessageBox*>(window))
            seen.text = box->text(), seen.icon = box->icon(), seen.buttons = box->standardButtons();
        m_seen.append(seen);
        m_answering = true;
        m_answer(window);
        m_answering = false;
    }

    Answer m_answer;
    QTimer m_timer;
    QList<Seen> m_seen;
    bool m_answering = false;
};

// Runs `start`, which shows windows modally, answering each as it comes up; returns their object
// names in the order seen.
inline QStringList driveModals(const std::function<void()>& start, ModalDriver::Answer answer) {
    ModalDriver driver(std::move(answer));
    start();
    return driver.names();
}
