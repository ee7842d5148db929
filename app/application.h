#pragma once

#include <QApplication>
#include <QTranslator>

// Reports a failure that escapes an event handler in the general error dialog; the handler
// ends at the failing step and the program carries on.
class Application : public QApplication {
    Q_OBJECT
public:
    Application(int& argc, char** argv);

    bool notify(QObject* receiver, QEvent* event) override;

private:
    QTranslator m_qtTexts;
};
