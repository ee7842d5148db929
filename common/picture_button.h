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

    // Marks the button as the one a keyboard highlight rests on, which screen readers follow as
    // the focus (the button itself never takes the keyboard focus).
    void setHighlighted(bool highlighted);
    bool isHighlighted() const { return m_highlighted; }

signals:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    bool m_pressed = false;
    bool m_highlighted = false;
};
