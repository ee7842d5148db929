#include "about/tabout_box.h"

#include "about/link.h"
#include "app/error_dialog.h"
#include "app/failure.h"
#include "app/fonts.h"
#include "app/jpeg_image.h"

#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QShowEvent>

TAboutBox* AboutBox = nullptr;

namespace {

const QColor clSkyBlue(166, 202, 240);
const QColor clNavy(0, 0, 128);
// The active title bar colour of the classic desktop the window was laid out on.
const QColor activeTitleColour(0, 84, 227);

// A panel with a lowered outer and a raised inner bevel, one pixel each.
class BevelPanel : public QWidget {
public:
    explicit BevelPanel(QWidget* parent) : QWidget(parent) { setAttribute(Qt::WA_OpaquePaintEvent); }

protected:
    void paintEvent(QPaintEvent*) override
    {
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
    static void bevel(QPainter& painter, const QRect& r, const QColor& topLeft, const QColor& bottomRight)
    {
        painter.fillRect(r.left(), r.top(), r.width() - 1, 1, topLeft);
        painter.fillRect(r.left(), r.top(), 1, r.height() - 1, topLeft);
        painter.fillRect(r.left(), r.bottom(), r.width(), 1, bottomRight);
        painter.fillRect(r.right(), r.top(), 1, r.height(), bottomRight);
    }
};

void paintOpaque(QWidget* widget, const QColor& background, const QColor& text)
{
    QPalette colours = widget->palette();
    colours.setColor(QPalette::Window, background);
    colours.setColor(QPalette::WindowText, text);
    widget->setPalette(colours);
    widget->setAutoFillBackground(true);
}

QLabel* makeLabel(const QString& name, const QString& text, QWidget* parent, const QFont& font,
                  const QColor& background, const QColor& textColour)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setFont(font);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setTextFormat(Qt::PlainText);
    paintOpaque(label, background, textColour);
    return label;
}

} // namespace

// A dialog frame: a title bar with its close box only, and no resizing.
TAboutBox::TAboutBox(QWidget* parent)
    : AppWindow(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("AboutBox"));
    setWindowTitle(QStringLiteral("About"));
    setFixedSize(kClientWidth, kClientHeight);
    setFont(pixelFont(QStringLiteral("MS Sans Serif"), 11));
    QPalette colours = palette();
    colours.setColor(QPalette::Window, clSkyBlue);
    setPalette(colours);
    setAutoFillBackground(true);

    Panel1 = new BevelPanel(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setGeometry(16, 8, 289, 193);
    QPalette panelColours = Panel1->palette();
    panelColours.setColor(QPalette::Window, clNavy);
    Panel1->setPalette(panelColours);

    ProgramIcon = new QLabel(Panel1);
    ProgramIcon->setObjectName(QStringLiteral("ProgramIcon"));
    ProgramIcon->setGeometry(8, 8, 65, 57);
    ProgramIcon->setScaledContents(true);
    ProgramIcon->setPixmap(QPixmap(QStringLiteral(":/images/about_emblem.png")));

    const QColor white(255, 255, 255);
    const QColor highlight = palette().color(QPalette::Active, QPalette::Highlight);

    ProductName = makeLabel(QStringLiteral("ProductName"), QStringLiteral("Cyfrolia 1.0"), Panel1,
                            pixelFont(QStringLiteral("ElementarzDwa"), 29, true, true), activeTitleColour, white);
    ProductName->setGeometry(80, 8, 169, 36);

    Version = makeLabel(QStringLiteral("Version"), QStringLiteral("Wersja 1.0"), Panel1,
                        pixelFont(QStringLiteral("MS Sans Serif"), 11, true, true), clSkyBlue, QColor(0, 0, 0));
    Version->move(88, 48);
    Version->adjustSize();

    Copyright = makeLabel(QStringLiteral("Copyright"), QStringLiteral("Autor: Zespół Cyfrolii"), Panel1,
                          pixelFont(QStringLiteral("Arial"), 16, true, true), highlight, white);
    Copyright->move(8, 80);
    Copyright->adjustSize();

    Comments = makeLabel(QStringLiteral("Comments"), QStringLiteral("Strona domowa:"), Panel1,
                         pixelFont(QStringLiteral("DigitSmall"), 19, true, true), highlight, white);
    Comments->setWordWrap(true);
    Comments->setGeometry(8, 120, 107, Comments->heightForWidth(107));

    Link1 = new TLink(Panel1);
    Link1->setObjectName(QStringLiteral("Link1"));
    Link1->setGeometry(112, 122, 169, 17);
    Link1->setFont(pixelFont(QStringLiteral("MS Sans Serif"), 16));
    Link1->SetURL(QStringLiteral("https://cyfrolia.example.org/"));
    Link1->SetCaption(QStringLiteral("cyfrolia.example.org"));
    Link1->SetHint(QStringLiteral("https://cyfrolia.example.org/"));
    Link1->FontActive()->SetColor(QColor(255, 0, 0));
    Link1->FontActive()->SetStyle(TFontStyle::fsUnderline);
    Link1->FontUnactive()->SetColor(QColor(0, 0, 255));
    Link1->FontUnactive()->SetStyle({});

    Image6 = new QLabel(Panel1);
    Image6->setObjectName(QStringLiteral("Image6"));
    Image6->move(97, 155);
    try {
        const QPixmap picture = QPixmap::fromImage(loadJpegResource(QStringLiteral(":/images/about_author.jpg")));
        Image6->setPixmap(picture);
        Image6->resize(picture.size());
    } catch (const cyfrolia::Failure& failure) {
        // The window is still of use without its picture.
        Image6->resize(100, 30);
        showErrorDialog(failure.message());
    }

    OKButton = new QPushButton(QStringLiteral("O&K"), this);
    OKButton->setObjectName(QStringLiteral("OKButton"));
    OKButton->setAccessibleName(QStringLiteral("OK"));
    OKButton->setGeometry(135, 212, 75, 25);
    OKButton->setCursor(Qt::PointingHandCursor);
    OKButton->setDefault(true);
    connect(OKButton, &QPushButton::clicked, this, &TAboutBox::OKButtonClick);

    setTabOrder(Link1, OKButton);
}

void TAboutBox::FormShow()
{
    OKButton->setFocus(Qt::OtherFocusReason);
}

void TAboutBox::OKButtonClick()
{
    // Ends the modal showing with the OK result.
    if (AboutBox)
        AboutBox->accept();
}

void TAboutBox::showEvent(QShowEvent* event)
{
    if (!event->spontaneous())
        centreOnScreen();
    AppWindow::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}
