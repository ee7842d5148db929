#pragma once

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

// Answers the message boxes a handler opens while the test waits in it: records what each box
// showed and presses its OK button.
class MessageBoxWatcher : public QObject {
public:
    struct Seen {
        QString objectName, title, text;
        QMessageBox::Icon icon;
        QMessageBox::StandardButtons buttons;
    };

    MessageBoxWatcher() {
        m_timer.setInterval(10);
        connect(&m_timer, &QTimer::timeout, this, &MessageBoxWatcher::answer);
        m_timer.start();
    }

    const QList<Seen>& seen() const { return m_seen; }

private:
    void answer() {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            auto* box = qobject_cast<QMessageBox*>(widget);
            if (!box || !box->isVisible())
                continue;
            m_seen.append(
                {box->objectName(), box->windowTitle(), box->text(), box->icon(), box->standardButtons()});
            box->button(QMessageBox::Ok)->click();
        }
    }

    QTimer m_timer;
    QList<Seen> m_seen;
};
