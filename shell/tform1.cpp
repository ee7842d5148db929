#include "shell/tform1.h"

#include "exercise/opener.h"
#include "exercise/tform2.h"
#include "exercise/tform3.h"
#include "exercise/tform5.h"
#include "exercise/tform6.h"

#include <QPushButton>
#include <QVBoxLayout>

Tform1* form1 = nullptr;

Tform1::Tform1(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("form1"));
    setWindowTitle(QStringLiteral("Cyfrolia"));
    auto* layout = new QVBoxLayout(this);
    const struct {
        const char* name;
        QString text;
        void (Tform1::*handler)();
    } buttons[] = {
        {"dodawanie", QStringLiteral("Dodawanie"), &Tform1::dodawanieClick},
        {"odejmowanie", QStringLiteral("Odejmowanie"), &Tform1::odejmowanieClick},
        {"mnozenie", QStringLiteral("Mnożenie"), &Tform1::mnozenieClick},
        {"dzielenie", QStringLiteral("Dzielenie"), &Tform1::dzielenieClick},
    };
    for (const auto& b : buttons) {
        auto* button = new QPushButton(b.text, this);
        button->setObjectName(QLatin1String(b.name));
        connect(button, &QPushButton::clicked, this, b.handler);
        layout->addWidget(button);
    }
}

void Tform1::dodawanieClick() { openExercise(form2); }
void Tform1::odejmowanieClick() { openExercise(Form5); }
void Tform1::mnozenieClick() { openExercise(Form3); }
void Tform1::dzielenieClick() { openExercise(Form6); }
