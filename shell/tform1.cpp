#include "shell/tform1.h"

#include "common/accessibility.h"
#include "common/crisp.h"
#include "common/device_shape.h"
#include "common/error_dialog.h"
#include "common/picture_button.h"
#include "common/program_folder.h"
#include "common/style.h"
#include "shell/mask_region.h"
#include "shell/shell_pictures.h"

#include <QAccessibleWidget>
#include <QApplication>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QShowEvent>
#include <QWindow>

#include <algorithm>

using namespace style;

Tform1* form1 = nullptr;

namespace {

// Screen readers meet the menu as a window named with the application's title, not as a bare
// pane.
class MenuAccessible : public QAccessibleWidget {
public:
    explicit MenuAccessible(QWidget* menu) : QAccessibleWidget(menu, QAccessible::Window) {}
};

QAccessibleInterface* menuFactory(const QString& className, QObject* object) {
    if (className == QLatin1String("Tform1") && object && object->isWidgetType())
        return new MenuAccessible(static_cast<QWidget*>(object));
    return nullptr;
}

} // namespace

// A ring round the button the keyboard has highlighted, seen beside its colour at any scale: a
// dark line with a white one inside it, on the pale page.
class MenuFocusRing : public QWidget {
public:
    static constexpr int kGap = 2;
    static constexpr int kWidth = 3;
    static constexpr int kOutset = kGap + kWidth + 1;

    explicit MenuFocusRing(QWidget* parent) : QWidget(parent) {
        setObjectName(QStringLiteral("focusRing"));
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setFocusPolicy(Qt::NoFocus);
        accessibility::hideFromScreenReaders(this);
        hide();
    }

    void surround(const QRect& button) {
        setGeometry(button.adjusted(-kOutset, -kOutset, kOutset, kOutset));
        raise();
        show();
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing, true);
        const QRectF outer =
            QRectF(rect()).adjusted(1 + kWidth / 2.0, 1 + kWidth / 2.0, -1 - kWidth / 2.0, -1 - kWidth / 2.0);
        const qreal radius = outer.height() / 2;
        p.setPen(QPen(QColor(10, 30, 90), kWidth));
        p.drawRoundedRect(outer, radius, radius);
        p.setPen(QPen(Qt::white, 1.5));
        const QRectF inner = outer.adjusted(kWidth / 2.0 + 0.75, kWidth / 2.0 + 0.75, -kWidth / 2.0 - 0.75,
                                            -kWidth / 2.0 - 0.75);
        p.drawRoundedRect(inner, inner.height() / 2, inner.height() / 2);
    }
};

MenuPicture::MenuPicture(const QString& name, const QPixmap& picture, QWidget* parent) : QLabel(parent) {
    setObjectName(name);
    setPixmap(picture);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setFocusPolicy(Qt::NoFocus);
    setMouseTracking(true);
    // The notebook and the buttons' raised faces only decorate; screen readers meet each button
    // once, as the picture button beneath its face.
    accessibility::hideFromScreenReaders(this);
}

void MenuPicture::mousePressEvent(QMouseEvent* event) {
    emit mouseDown(event);
}

void MenuPicture::mouseMoveEvent(QMouseEvent* event) {
    emit mouseMove(event);
}

void MenuPicture::mouseReleaseEvent(QMouseEvent* event) {
    emit mouseUp(event);
}

Tform1::Tform1(QWidget* parent) : QWidget(parent, Qt::Window | Qt::FramelessWindowHint) {
    static const bool accessible = (QAccessible::installFactory(menuFactory), true);
    Q_UNUSED(accessible);
    setObjectName(QStringLiteral("form1"));
    // The window has no title bar, so its title is only read by the taskbar and screen readers:
    // the application's title.
    setWindowTitle(QStringLiteral("Cyfrolia 1.0"));
    setFixedSize(446, 495);
    setFont(pixelFont(kSans, 11));
    setFocusPolicy(Qt::NoFocus);
    setMouseTracking(true);
    // Only the notebook is painted; what lies outside its outline stays see-through.
    setAttribute(Qt::WA_TranslucentBackground);

    // Every picture is drawn for the screen's scale when the menu is shown.
    Image10 = new MenuPicture(QStringLiteral("Image10"), QPixmap(), this);
    Image10->setGeometry(0, 0, 446, 496);
    crisp::setPicture(Image10,
                      [this](qreal ratio) { return cutToOutline(shell_pictures::notebookFace(ratio)); });
    connect(Image10, &MenuPicture::mouseMove, this, &Tform1::Image10MouseMove);

    Image9 = new MenuPicture(QStringLiteral("Image9"), QPixmap(), this);
    Image9->setGeometry(16, 72, 393, 369);
    crisp::setPicture(Image9, shell_pictures::innerPage);
    connect(Image9, &MenuPicture::mouseDown, this, &Tform1::Image9MouseDown);
    connect(Image9, &MenuPicture::mouseMove, this, &Tform1::Image9MouseMove);
    connect(Image9, &MenuPicture::mouseUp, this, &Tform1::Image9MouseUp);

    createButtons();
    m_focusRing = new MenuFocusRing(this);
    accessibility::refreshAccessible(this);
}

void Tform1::createButtons() {
    const struct {
        const char* hoverName;
        const char* normalName;
        PictureButton* Tform1::*hover;
        MenuPicture* Tform1::*normal;
        void (Tform1::*click)();
        void (Tform1::*move)();
        const char* word;
        QColor colour;
        QRect place;
        Qt::Key letter; // a letter of the word, unique in the menu
    } buttons[] = {
        {"dodawanie", "Image1", &Tform1::dodawanie, &Tform1::Image1, &Tform1::dodawanieClick,
         &Tform1::Image1MouseMove, "Dodawanie", QColor(0, 120, 0), QRect(136, 88, 153, 38), Qt::Key_D},
        {"odejmowanie", "Image2", &Tform1::odejmowanie, &Tform1::Image2, &Tform1::odejmowanieClick,
         &Tform1::Image2MouseMove, "Odejmowanie", QColor(0, 120, 0), QRect(120, 136, 182, 38), Qt::Key_O},
        {"mnozenie", "Image3", &Tform1::mnozenie, &Tform1::Image3, &Tform1::mnozenieClick,
         &Tform1::Image3MouseMove, "Mnożenie", QColor(0, 120, 0), QRect(144, 184, 135, 38), Qt::Key_M},
        {"dzielenie", "Image4", &Tform1::dzielenie, &Tform1::Image4, &Tform1::dzielenieClick,
         &Tform1::Image4MouseMove, "Dzielenie", QColor(0, 120, 0), QRect(144, 232, 130, 38), Qt::Key_Z},
        {"Image13", "Image14", &Tform1::Image13, &Tform1::Image14, &Tform1::Image13Click,
         &Tform1::Image14MouseMove, "Poziom", QColor(0, 175, 175), QRect(152, 280, 111, 38), Qt::Key_P},
        {"wyn_wcis", "wyn_norm", &Tform1::wyn_wcis, &Tform1::wyn_norm, &Tform1::wyn_wcisClick,
         &Tform1::wyn_normMouseMove, "Wyniki", QColor(15, 100, 190), QRect(136, 328, 143, 38), Qt::Key_W},
        {"Image11", "Image12", &Tform1::Image11, &Tform1::Image12, &Tform1::Image11Click,
         &Tform1::Image12MouseMove, "O programie", QColor(145, 145, 90), QRect(126, 376, 168, 38), Qt::Key_R},
        {"Image7", "Image8", &Tform1::Image7, &Tform1::Image8, &Tform1::Image7Click, &Tform1::Image8MouseMove,
         "Koniec", QColor(130, 160, 140), QRect(157, 432, 106, 38), Qt::Key_K},
    };
    for (const auto& b : buttons) {
        const QString word = QString::fromUtf8(b.word);
        const auto lozenge = [size = b.place.size(), colour = b.colour, word](bool pressed) {
            return [=](qreal ratio) {
                return shell_pictures::lozengeButton(size, colour, word, pressed, ratio);
            };
        };
        auto* hover =
            new PictureButton(QLatin1String(b.hoverName), word, b.place.size(), lozenge(true), this);
        hover->move(b.place.topLeft());
        connect(hover, &PictureButton::clicked, this, b.click);
        this->*b.hover = hover;

        // The raised face lies over the button but lets the mouse through to it, so no press can
        // land on a face that is about to be hidden. The button's own enter and leave switch
        // the look.
        auto* normal = new MenuPicture(QLatin1String(b.normalName), QPixmap(), this);
        crisp::setPicture(normal, lozenge(false));
        normal->setGeometry(b.place);
        normal->setAttribute(Qt::WA_TransparentForMouseEvents);
        hover->installEventFilter(this);
        this->*b.normal = normal;
        m_buttons.push_back({hover, normal, b.click, b.move, b.letter});
    }
}

QString Tform1::maskFile() const {
    return m_maskFile.isEmpty() ? cyfrolia::programFolder() + QStringLiteral("forma.bmp") : m_maskFile;
}

void Tform1::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    // Only our own show() counts as a showing; the window system re-showing the window after
    // it was minimised keeps the shape it had.
    if (event->spontaneous())
        return;
    if (!m_placed) {
        m_placed = true;
        if (const QScreen* screen = QGuiApplication::primaryScreen()) {
            const QRect area = screen->geometry();
            move(area.x() + (area.width() - width()) / 2, area.y() + (area.height() - height()) / 2);
        }
    }
    FormShow();
}

// Gives `window` the shape of the bitmap's pixels that are not `colour`, in window coordinates.
static bool CreateVariousWindow(QRgb colour, const QImage& bitmap, QWidget* window) {
    const QRegion region = cyfrolia::maskRegion(bitmap, colour, window->size());
    // An empty mask leaves nothing to see or click, not the whole rectangle that
    // QWidget::setMask(QRegion()) would mean.
    window->setMask(region.isEmpty() ? QRegion(-1, -1, 1, 1) : region);
    window->update();
    return true;
}

void Tform1::FormShow() {
    // A bad outline is reported and the menu carries on as a plain rectangle.
    const cyfrolia::Result<QImage> bitmap = cyfrolia::readMaskBitmap(maskFile());
    if (!bitmap) {
        clearMask();
        // A face cut at an earlier showing is drawn whole again.
        if (!m_outline.isNull()) {
            m_outline = QImage();
            Image10->setPixmap(shell_pictures::notebookFace(Image10->devicePixelRatioF()));
        }
        showErrorDialog(bitmap.failure());
        return;
    }
    CreateVariousWindow(qRgb(0, 0, 0), bitmap.value(), this);
    m_outline = bitmap.value();
    // The face was shown before the outline was read: it is cut now rather than drawn again.
    Image10->setPixmap(cutToOutline(Image10->pixmap()));
    cutAtDevicePixels(bitmap.value());
}

// The face with nothing but the notebook: transparent where the outline cuts the window away, to
// the screen's own pixels, so a compositor shows the desktop there.
QPixmap Tform1::cutToOutline(QPixmap face) const {
    if (m_outline.isNull())
        return face;
    const qreal ratio = face.devicePixelRatio();
    const QRegion kept = ratio == 1 ? cyfrolia::maskRegion(m_outline, qRgb(0, 0, 0), size())
                                    : cyfrolia::deviceMaskRegion(m_outline, qRgb(0, 0, 0), size(), ratio,
                                                                 face.toImage(), qRgb(255, 255, 255));
    QImage cut = face.toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied);
    cut.setDevicePixelRatio(1);
    QPainter p(&cut);
    p.setCompositionMode(QPainter::CompositionMode_Clear);
    p.setClipRegion(QRegion(cut.rect()).subtracted(kept));
    p.fillRect(cut.rect(), Qt::transparent);
    p.end();
    cut.setDevicePixelRatio(ratio);
    return QPixmap::fromImage(cut);
}

// On a scaled screen Qt enlarges each pixel of the outline, and the white about the rings that the
// face draws at the finer scale shows along the edge: the outline is cut at the screen's pixels.
void Tform1::cutAtDevicePixels(const QImage& bitmap) {
    const qreal ratio = devicePixelRatioF();
    const QPixmap face = Image10->pixmap();
    if (ratio == 1 || face.devicePixelRatio() != ratio || mask().isEmpty())
        return;
    device_shape::cut(this, cyfrolia::deviceMaskRegion(bitmap, qRgb(0, 0, 0), size(), ratio, face.toImage(),
                                                       qRgb(255, 255, 255)));
}

void Tform1::closeEvent(QCloseEvent* event) {
    // The main window closing ends the program, even with the save window still open.
    event->accept();
    qApp->quit();
}

void Tform1::dodawanieClick() {
    emit openAddition();
}
void Tform1::odejmowanieClick() {
    emit openSubtraction();
}
void Tform1::mnozenieClick() {
    emit openMultiplication();
}
void Tform1::dzielenieClick() {
    emit openDivision();
}
void Tform1::Image13Click() {
    emit openClassChooser();
}
void Tform1::wyn_wcisClick() {
    emit openGrades();
}
void Tform1::Image11Click() {
    emit openAbout();
}
void Tform1::Image7Click() {
    qApp->quit();
}

void Tform1::Image1MouseMove() {
    Image1->hide();
}
void Tform1::Image2MouseMove() {
    Image2->hide();
}
void Tform1::Image3MouseMove() {
    Image3->hide();
}
void Tform1::Image4MouseMove() {
    Image4->hide();
}
void Tform1::Image14MouseMove() {
    Image14->hide();
}
void Tform1::wyn_normMouseMove() {
    wyn_norm->hide();
}
void Tform1::Image12MouseMove() {
    Image12->hide();
}
void Tform1::Image8MouseMove() {
    Image8->hide();
}

void Tform1::restoreNormalPictures() {
    for (MenuPicture* picture : {Image1, Image2, Image3, Image4, Image14, wyn_norm, Image12, Image8})
        picture->show();
    if (m_highlighted >= 0)
        m_buttons[m_highlighted].hover->setHighlighted(false);
    m_highlighted = -1;
    m_focusRing->hide();
}

// The highlighted button shows its hover picture, as under the pointer, and the ring that tells
// the keyboard is there.
void Tform1::highlight(int index) {
    restoreNormalPictures();
    m_highlighted = index;
    m_buttons[index].normal->hide();
    m_buttons[index].hover->setHighlighted(true);
    m_focusRing->surround(m_buttons[index].hover->geometry());
}

bool Tform1::eventFilter(QObject* watched, QEvent* event) {
    const bool enter = event->type() == QEvent::Enter;
    if (enter || event->type() == QEvent::Leave) {
        for (const MenuButton& b : m_buttons) {
            if (b.hover != watched)
                continue;
            if (enter)
                (this->*b.move)();
            else if (&b - m_buttons.data() != m_highlighted)
                b.normal->show();
        }
    }
    return QWidget::eventFilter(watched, event);
}

void Tform1::keyPressEvent(QKeyEvent* event) {
    const int count = int(m_buttons.size());
    const int key = event->key();
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~(Qt::KeypadModifier | Qt::ShiftModifier);
    if (key == Qt::Key_Down || key == Qt::Key_Right) {
        highlight(m_highlighted < 0 ? 0 : (m_highlighted + 1) % count);
    } else if (key == Qt::Key_Up || key == Qt::Key_Left) {
        highlight(m_highlighted < 0 ? count - 1 : (m_highlighted + count - 1) % count);
    } else if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space) {
        if (m_highlighted >= 0)
            (this->*m_buttons[m_highlighted].click)();
    } else if (const auto it = std::find_if(m_buttons.begin(), m_buttons.end(),
                                            [key](const MenuButton& b) { return b.letter == key; });
               it != m_buttons.end() && (modifiers == Qt::NoModifier || modifiers == Qt::AltModifier)) {
        // A stray letter only shows where it leads; with Alt it presses the button, so no single
        // key ends the program.
        if (modifiers == Qt::AltModifier)
            (this->*it->click)();
        else
            highlight(int(it - m_buttons.begin()));
    } else {
        QWidget::keyPressEvent(event);
    }
}

void Tform1::Image10MouseMove() {
    restoreNormalPictures();
}

// Wayland lets no window place itself: the compositor moves it, and does so for Xwayland's windows
// too, whose own moves some compositors ignore. On X11 the menu follows the pointer itself.
bool Tform1::movedByWindowSystem() const {
    if (QGuiApplication::platformName() == QLatin1String("wayland"))
        return true;
    const QScreen* screen = this->screen();
    return screen && screen->name().startsWith(QLatin1String("XWAYLAND"));
}

void Tform1::Image9MouseDown(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return;
    if (movedByWindowSystem() && windowHandle() && windowHandle()->startSystemMove())
        return;
    dragging = true;
    dragLast = event->globalPosition().toPoint();
    m_dragWindowPos = pos();
}

void Tform1::Image9MouseMove(QMouseEvent* event) {
    restoreNormalPictures();
    if (!dragging)
        return;
    const QPoint p = event->globalPosition().toPoint();
    // Keep our own tally of where the window goes: the window system may report an earlier
    // position back while a fast drag is still catching up, and no step may be lost.
    m_dragWindowPos += p - dragLast;
    move(m_dragWindowPos);
    dragLast = p;
}

void Tform1::Image9MouseUp(QMouseEvent*) {
    dragging = false;
}
