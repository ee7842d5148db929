#pragma once

#include "common/windows.h"

#include <QLabel>
#include <QPoint>
#include <QWidget>

#include <vector>

class MenuFocusRing;
class PictureButton;
class QMouseEvent;

// A picture of the menu that reports the mouse to the menu's handlers. The mouse is tracked,
// so moves arrive without a button held.
class MenuPicture : public QLabel {
    Q_OBJECT
public:
    MenuPicture(const QString& name, const QPixmap& picture, QWidget* parent);

signals:
    void mouseDown(QMouseEvent* event);
    void mouseMove(QMouseEvent* event);
    void mouseUp(QMouseEvent* event);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
};

// The main menu window: borderless, cut to the notebook's outline by forma.bmp, dragged by its
// inner page. The application's main window. It is a translucent window that paints the notebook
// alone, so it is shaped wherever windows are composited (every Wayland desktop) as well as by the
// X11 shape, and the outline is also where it takes the mouse. None of its controls takes the focus, but the
// window takes keys: arrows or a button's letter move a highlight over the buttons, Enter or
// Space presses the highlighted one, and Alt with a button's letter presses it at once. The
// highlighted button is the focus that screen readers follow.
class Tform1 : public QWidget {
    Q_OBJECT
public:
    explicit Tform1(QWidget* parent = nullptr);

    // Where the outline is read from; the program's folder unless a test says otherwise.
    void setMaskFile(const QString& path) { m_maskFile = path; }
    QString maskFile() const;

    void FormShow();

    void dodawanieClick();
    void odejmowanieClick();
    void mnozenieClick();
    void dzielenieClick();
    void Image13Click();
    void wyn_wcisClick();
    void Image11Click();
    void Image7Click();

    void Image1MouseMove();
    void Image2MouseMove();
    void Image3MouseMove();
    void Image4MouseMove();
    void Image14MouseMove();
    void wyn_normMouseMove();
    void Image12MouseMove();
    void Image8MouseMove();
    void Image10MouseMove();
    void Image9MouseDown(QMouseEvent* event);
    void Image9MouseMove(QMouseEvent* event);
    void Image9MouseUp(QMouseEvent* event);

    MenuPicture* Image10 = nullptr;
    MenuPicture* Image9 = nullptr;

    PictureButton* dodawanie = nullptr;
    PictureButton* odejmowanie = nullptr;
    PictureButton* mnozenie = nullptr;
    PictureButton* dzielenie = nullptr;
    PictureButton* Image13 = nullptr;
    PictureButton* wyn_wcis = nullptr;
    PictureButton* Image11 = nullptr;
    PictureButton* Image7 = nullptr;

    MenuPicture* Image1 = nullptr;
    MenuPicture* Image2 = nullptr;
    MenuPicture* Image3 = nullptr;
    MenuPicture* Image4 = nullptr;
    MenuPicture* Image14 = nullptr;
    MenuPicture* wyn_norm = nullptr;
    MenuPicture* Image12 = nullptr;
    MenuPicture* Image8 = nullptr;

    bool dragging = false;
    QPoint dragLast;

    // The button under the keyboard's highlight, top to bottom from 0; -1 for none.
    int highlighted() const { return m_highlighted; }

signals:
    // What the buttons ask for; each returns once the window it opens is closed again.
    void openAddition();
    void openSubtraction();
    void openMultiplication();
    void openDivision();
    void openClassChooser();
    void openGrades();
    void openAbout();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void createButtons();
    void cutAtDevicePixels(const QImage& bitmap);
    void restoreNormalPictures();
    void highlight(int index);
    bool movedByWindowSystem() const;
    QPixmap cutToOutline(QPixmap face) const;

    struct MenuButton {
        PictureButton* hover;
        MenuPicture* normal;
        void (Tform1::*click)();
        void (Tform1::*move)();
        Qt::Key letter;
    };
    std::vector<MenuButton> m_buttons; // top to bottom
    int m_highlighted = -1;

    // Drawn around the highlighted button while the keyboard has put the highlight there.
    MenuFocusRing* m_focusRing = nullptr;

    QString m_maskFile;
    QImage m_outline; // the mask last read, black where the window is cut away
    bool m_placed = false;
    QPoint m_dragWindowPos; // where the drag has put the window so far
};
