#include "about/tabout_box.h"

#include "about/about_pictures.h"
#include "about/link.h"
#include "common/crisp.h"
#include "common/emblem.h"
#include "common/error_dialog.h"
#include "common/style.h"

#include <QApplication>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QShowEvent>
#include <QTimer>

using namespace style;

TAboutBox* AboutBox = nullptr;

namespace {

// The active title bar colour of the classic desktop the window was laid out on.
const QColor activeTitleColour(0, 84, 227);

// A panel with a lowered outer and a raised inner bevel, one pixel each.
class BevelPanel : public QWidget {
public:
    explicit BevelPanel(QWidget* parent) : QWidget(parent) { setAttribute(Qt::WA_OpaquePaintEvent); }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        const QColor light = palette().color(QPalette::Active, QPalette::Light);
        const QColor shadow = palette().color(QPalette::Active, QPalette::Dark);
        QRect frame = rect();
        painter.fillRect(frame, palette().color(QPalette::Window));
        bevel(painter, frame, shadow, light); // outer, lowered
        frame.adjust(1, 1, -1, -1);
        bevel(painter, frame, light, shadow); // inner, raised
    }

private:
    static void bevel(QPainter& painter, const QRect& r, const QColor& topLeft, const QColor& bottomRight) {
        painter.fillRect(r.left(), r.top(), r.width() - 1, 1, topLeft);
        painter.fillRect(r.left(), r.top(), 1, r.height() - 1, topLeft);
        painter.fillRect(r.left(), r.bottom(), r.width(), 1, bottomRight);
        painter.fillRect(r.right(), r.top(), 1, r.height(), bottomRight);
    }
};

// The labels are opaque: each fills its own rectangle with its background first.
QLabel* makeOpaqueLabel(const QString& name, const QString& text, QWidget* parent, const QFont& font,
                        const QColor& background, const QColor& textColour) {
    QLabel* label = makeLabel(parent, name, text, font, textColour, QRect());
    setColour(label, QPalette::Window, background);
    label->setAutoFillBackground(true);
    return label;
}

} // namespace

// A dialog frame: a title bar with its close box only, and no resizing.
TAboutBox::TAboutBox(QWidget* parent)
    : AppWindow(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                            Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint) {
    setObjectName(QStringLiteral("AboutBox"));
    setWindowTitle(QStringLiteral("About"));
    setFixedSize(kClientWidth, kClientHeight);
    setFont(pixelFont(kSans, 11));
    setColour(this, QPalette::Window, kSkyBlue);
    setAutoFillBackground(true);

    Panel1 = new BevelPanel(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setGeometry(16, 8, 289, 193);
    setColour(Panel1, QPalette::Window, kNavy);

    createPanelLabels();
    createLink();
    createAuthorPicture();

    OKButton = new QPushButton(QStringLiteral("O&K"), this);
    OKButton->setObjectName(QStringLiteral("OKButton"));
    OKButton->setAccessibleName(QStringLiteral("OK"));
    OKButton->setGeometry(135, 212, 75, 25);
    OKButton->setCursor(Qt::PointingHandCursor);
    OKButton->setDefault(true);
    connect(OKButton, &QPushButton::clicked, this, &TAboutBox::OKButtonClick);

    setTabOrder(Link1, OKButton);
}

void TAboutBox::createPanelLabels() {
    ProgramIcon = new QLabel(Panel1);
    ProgramIcon->setObjectName(QStringLiteral("ProgramIcon"));
    ProgramIcon->setGeometry(8, 8, 65, 57);
    // The emblem is drawn stretched to the control, for the screen's scale, when first shown.
    crisp::setPicture(ProgramIcon,
                      [icon = ProgramIcon](qreal ratio) { return emblem::picture(icon->size(), ratio); });

    const QColor white(255, 255, 255);
    const QColor highlight = palette().color(QPalette::Active, QPalette::Highlight);

    ProductName = makeOpaqueLabel(QStringLiteral("ProductName"), QStringLiteral("Cyfrolia 1.0"), Panel1,
                                  pixelFont(kElementarz, 29, true, true), activeTitleColour, white);
    ProductName->setGeometry(80, 8, 169, 36);

    Version = makeOpaqueLabel(QStringLiteral("Version"), QStringLiteral("Wersja 1.0"), Panel1,
                              pixelFont(kSans, 11, true, true), kSkyBlue, QColor(0, 0, 0));
    Version->move(88, 48);

    Copyright = makeOpaqueLabel(QStringLiteral("Copyright"), QStringLiteral("Autor: Zespół Cyfrolii"), Panel1,
                                pixelFont(kArial, 16, true, true), highlight, white);
    Copyright->move(8, 80);

    Comments = makeOpaqueLabel(QStringLiteral("Comments"), QStringLiteral("Strona domowa:"), Panel1,
                               pixelFont(kDigitSmall, 19, true, true), highlight, white);
    Comments->setWordWrap(true);
    Comments->move(8, 120);
}

// The labels take the size of their text at the first showing: measuring loads their typefaces,
// which nothing else needs before.
void TAboutBox::sizeLabelsToText() {
    Version->adjustSize();
    Copyright->adjustSize();
    Comments->resize(107, Comments->heightForWidth(107));
}

void TAboutBox::createLink() {
    Link1 = new TLink(Panel1);
    Link1->setObjectName(QStringLiteral("Link1"));
    Link1->setGeometry(112, 122, 169, 17);
    Link1->setFont(pixelFont(kSans, 16));
    Link1->SetURL(QStringLiteral("https://cyfrolia.example.org/"));
    Link1->SetCaption(QStringLiteral("cyfrolia.example.org"));
    Link1->SetHint(QStringLiteral("https://cyfrolia.example.org/"));
    Link1->FontActive()->SetColor(QColor(255, 0, 0));
    Link1->FontActive()->SetStyle(TFontStyle::fsUnderline);
    Link1->FontUnactive()->SetColor(QColor(0, 0, 255));
    Link1->FontUnactive()->SetStyle({});
}

void TAboutBox::createAuthorPicture() {
    Image6 = new QLabel(Panel1);
    Image6->setObjectName(QStringLiteral("Image6"));
    Image6->setGeometry(QRect(QPoint(97, 155), about_pictures::kAuthorSize));
    crisp::setPicture(Image6, [](qreal ratio) {
        QString failure;
        const QPixmap picture = about_pictures::authorPicture(ratio, &failure);
        // The window is still of use without its picture; the failure is told once, after the
        // showing.
        static bool reported = false;
        if (!failure.isEmpty() && !reported) {
            reported = true;
            QTimer::singleShot(0, qApp, [failure] { showErrorDialog(failure); });
        }
        return picture;
    });
}

void TAboutBox::FormShow() {
    OKButton->setFocus(Qt::OtherFocusReason);
}

void TAboutBox::OKButtonClick() {
    // Ends the modal showing with the OK result.
    if (AboutBox)
        AboutBox->accept();
}

void TAboutBox::showEvent(QShowEvent* event) {
    if (!m_sized) {
        m_sized = true;
        sizeLabelsToText();
    }
    if (!event->spontaneous())
        centreOnScreen();
    AppWindow::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}
