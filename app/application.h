#pragma once

#include <QApplication>
#include <QTranslator>

// The program's application object: its name, version, emblem and Qt's texts in Polish.
class Application : public QApplication {
    Q_OBJECT
public:
    Application(int& argc, char** argv);

private:
    QTranslator m_qtTexts;
};
