#include "shell/tform7.h"

Tform7* form7 = nullptr;

Tform7::Tform7(QWidget* parent) : AppWindow(parent, Qt::Window)
{
    setObjectName(QStringLiteral("form7"));
    setWindowTitle(QStringLiteral("Poziom"));
    klasa = new QPlainTextEdit(this);
    klasa->setObjectName(QStringLiteral("klasa"));
    klasa->hide();
}
