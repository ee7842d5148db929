#pragma once

#include <QWidget>

// The main menu window; the application's main window.
class Tform1 : public QWidget {
    Q_OBJECT
public:
    explicit Tform1(QWidget* parent = nullptr);

    void dodawanieClick();
    void odejmowanieClick();
    void mnozenieClick();
    void dzielenieClick();
};

extern Tform1* form1;
