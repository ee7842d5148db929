#pragma once

#include <QWidget>

// The time bar: single-line border, green empty part, red filled part growing from the left,
// and the percentage in the centre, black on red and white on green. Screen readers
// see a progress bar named "Czas" whose text is the percentage.
class TimeBar : public QWidget {
    Q_OBJECT
public:
    explicit TimeBar(QWidget* parent);

    int value() const { return m_value; }
    void setValue(int value); // clamped to 0..100

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int m_value = 0;
};
