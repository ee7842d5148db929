#pragma once

#include <QApplication>

// The program's application object: its name, version and emblem.
class Application : public QApplication {
    Q_OBJECT
public:
    Application(int& argc, char** argv);
};
