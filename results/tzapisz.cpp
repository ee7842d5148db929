#include "results/tzapisz.h"

#include "results/save_result.h"

Tzapisz* zapisz = nullptr;

Tzapisz::Tzapisz(QWidget* parent) : AppWindow(parent, Qt::Window)
{
    setObjectName(QStringLiteral("zapisz"));
    setWindowTitle(QStringLiteral("Zapisz swój wynik:"));
}

void openSaveResult(QWidget*, const QString&)
{
    zapisz->show();
    zapisz->raise();
}
