#pragma once

#include "common/crisp.h"

#include <QLabel>

// A picture that acts as a button: it shows the hand pointer, reacts to a left click and never
// takes the keyboard focus. Screen readers see a button named with the word it shows, which
// their press action clicks.
class PictureButton : public QLabel {
    Q_OBJECT
public:
    PictureButton(const QString& name, const QString& word, const QPixmap& picture, QWidget* parent);
    // The picture is drawn for the screen when the button is first shown; `size` is its logical size.
    PictureButton(const QString& name, const QString& word, const QSize& size, crisp::Drawing picture,
                  QWidget* parent);

    // A click as the mouse gives it, where the mouse could give it: shown and not behind a
    // modal window.
    void click();

signals:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    bool m_pressed = false;
};
