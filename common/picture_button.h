#pragma once

#include <QLabel>

// A picture that acts as a button: it shows the hand pointer, reacts to a left click and never
// takes the keyboard focus.
class PictureButton : public QLabel {
    Q_OBJECT
public:
    PictureButton(const QString& name, const QString& word, const QPixmap& picture, QWidget* parent);

signals:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    bool m_pressed = false;
};
