#include "results/twyniki.h"

Twyniki* wyniki = nullptr;

Twyniki::Twyniki(QWidget* parent) : AppWindow(parent, Qt::Window)
{
    setObjectName(QStringLiteral("wyniki"));
    setWindowTitle(QStringLiteral("Oceny"));
}
