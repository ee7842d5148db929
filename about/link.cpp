#include "about/link.h"

#include "about/link_checker.h"

#include "common/accessibility.h"
#include "common/failure.h"

#include <QAccessibleWidget>
#include <QApplication>
#include <QCursor>
#include <QDesktopServices>
#include <QDialog>
#include <QFontMetrics>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QTimer>
#include <QToolTip>

// --- TLinkTextAttributes ---------------------------------------------------------------------

TLinkTextAttributes::TLinkTextAttributes(QObject* parent) : QObject(parent) {}

void TLinkTextAttributes::SetColor(const QColor& value) {
    if (value == m_Color)
        return;
    m_Color = value;
    Changed();
}

void TLinkTextAttributes::SetStyle(TFontStyles value) {
    if (value == m_Style)
        return;
    m_Style = value;
    Changed();
}

cyfrolia::Result<void> TLinkTextAttributes::Assign(const QObject* source) {
    if (const auto* other = qobject_cast<const TLinkTextAttributes*>(source)) {
        m_Color = other->m_Color;
        m_Style = other->m_Style;
        return {};
    }
    const QString from =
        source ? QString::fromLatin1(source->metaObject()->className()) : QStringLiteral("nil");
    return cyfrolia::Failed{QStringLiteral("Cannot assign a %1 to a %2")
                                .arg(from, QString::fromLatin1(metaObject()->className()))};
}

void TLinkTextAttributes::Changed() {
    if (OnChange)
        OnChange(this);
}

QFont styledFont(QFont font, TFontStyles style) {
    font.setBold(style.testFlag(TFontStyle::fsBold));
    font.setItalic(style.testFlag(TFontStyle::fsItalic));
    font.setUnderline(style.testFlag(TFontStyle::fsUnderline));
    font.setStrikeOut(style.testFlag(TFontStyle::fsStrikeOut));
    return font;
}

int captionOffset(int alignment, int size, int extent, int margin) {
    switch (alignment) {
    case 0:
        return margin;
    case 1: {
        // Rounds down, also for a caption larger than the control.
        const int spare = size - extent;
        return spare >= 0 ? spare / 2 : -((1 - spare) / 2);
    }
    default:
        return size - extent - margin;
    }
}

// --- TLink -----------------------------------------------------------------------------------

namespace {

TLink::UrlOpener& urlOpener() {
    static TLink::UrlOpener opener;
    return opener;
}

QPushButton* defaultButtonOf(QWidget* window) {
    const auto buttons = window->findChildren<QPushButton*>();
    for (QPushButton* button : buttons)
        if (button->isDefault() && button->isVisible())
            return button;
    return nullptr;
}

// Screen readers (and the accessibility bus) see a link that can be pressed.
class LinkAccessible : public QAccessibleWidget {
public:
    explicit LinkAccessible(TLink* link) : QAccessibleWidget(link, QAccessible::Link) {}

    QString text(QAccessible::Text kind) const override {
        if (kind == QAccessible::Name && widget()->accessibleName().isEmpty())
            return static_cast<TLink*>(widget())->Caption();
        return QAccessibleWidget::text(kind);
    }
    QStringList actionNames() const override { return {pressAction()}; }
    void doAction(const QString& action) override {
        if (action == pressAction())
            static_cast<TLink*>(widget())->Click();
    }
};

} // namespace

TLink::TLink(QWidget* parent)
    : QWidget(parent), m_FontActive(new TLinkTextAttributes(this)),
      m_FontUnactive(new TLinkTextAttributes(this)) {
    // Defaults first, then the repaint hooks, so that a new link is not repainted for them.
    m_FontActive->SetColor(QColor(255, 0, 0));
    m_FontActive->SetStyle(TFontStyle::fsUnderline);
    m_FontUnactive->SetColor(QColor(0, 0, 255));
    m_FontUnactive->SetStyle({});
    m_FontActive->OnChange = [this](QObject* sender) { AttributesChanged(sender); };
    m_FontUnactive->OnChange = [this](QObject* sender) { AttributesChanged(sender); };

    // Stored directly: a new link's Hint stays empty.
    m_URL = QStringLiteral("https://cyfrolia.example.org/");
    m_Caption = QStringLiteral("cyfrolia.example.org");

    // Tab only: a press takes the focus by hand, and only for the left button.
    setFocusPolicy(Qt::TabFocus);
    setCursor(Qt::PointingHandCursor);
    setAttribute(Qt::WA_OpaquePaintEvent);
    m_canvasFont = font();
    accessibility::presentAs<TLink, LinkAccessible>();
}

TLink::~TLink() {
    if (LinkChecker)
        LinkChecker->LinkDestroyed(this);
}

cyfrolia::Result<void> TLink::SetFontActive(const QObject* value) {
    cyfrolia::Result<void> assigned = m_FontActive->Assign(value);
    update();
    return assigned;
}

cyfrolia::Result<void> TLink::SetFontUnactive(const QObject* value) {
    cyfrolia::Result<void> assigned = m_FontUnactive->Assign(value);
    update();
    return assigned;
}

void TLink::SetURL(const QString& value) {
    m_URL = value;
    if (m_Hint.isEmpty())
        m_Hint = value;
}

void TLink::SetCaption(const QString& value) {
    m_Caption = value;
    update();
}

void TLink::SetMarginHorizontal(int value) {
    if (value == m_MarginHorizontal)
        return;
    m_MarginHorizontal = value;
    update();
}

void TLink::SetMarginVertical(int value) {
    if (value == m_MarginVertical)
        return;
    m_MarginVertical = value;
    update();
}

void TLink::SetVertical(TVerticalAlign value) {
    if (value == m_Vertical)
        return;
    m_Vertical = value;
    update();
}

void TLink::SetHorizontal(THorizontalAlign value) {
    if (value == m_Horizontal)
        return;
    m_Horizontal = value;
    update();
}

QColor TLink::Color() const {
    return palette().color(QPalette::Window);
}

void TLink::SetColor(const QColor& value) {
    QPalette own = palette();
    own.setColor(QPalette::Window, value);
    setPalette(own);
    m_ParentColor = false;
    update();
}

void TLink::SetParentColor(bool value) {
    m_ParentColor = value;
    if (value)
        setPalette(QPalette()); // nothing of its own: the parent's palette shows through
    update();
}

void TLink::SetAutoSize(bool value) {
    m_AutoSize = value;
    if (value)
        AdjustSize();
}

void TLink::AdjustSize() {
    int w = width();
    int h = height();
    if (CanAutoSize(w, h))
        resize(w, h);
}

bool TLink::CanAutoSize(int& newWidth, int& newHeight) {
    if (!parentWidget())
        return false;
    const QFontMetrics metrics(m_canvasFont);
    newWidth = metrics.horizontalAdvance(m_Caption) + 2 * m_MarginHorizontal;
    newHeight = metrics.height() + 2 * m_MarginVertical;
    return true;
}

QSize TLink::sizeHint() const {
    const QFontMetrics metrics(CurrentFont());
    return {metrics.horizontalAdvance(m_Caption) + 2 * m_MarginHorizontal,
            metrics.height() + 2 * m_MarginVertical};
}

void TLink::SetActive(bool flag) {
    if (flag) {
        m_Unactive = false;
        if (OnMouseOver)
            OnMouseOver(this);
    } else {
        m_Unactive = true;
        if (OnMouseOut)
            OnMouseOut(this);
    }
    update();
}

void TLink::SetUrlOpener(UrlOpener opener) {
    urlOpener() = std::move(opener);
}

void TLink::OpenURL() {
    if (m_URL.isEmpty())
        return;
    // Whatever the desktop makes of it, the program shows nothing.
    const QUrl url = QUrl::fromUserInput(m_URL);
    if (urlOpener())
        urlOpener()(url);
    else
        QDesktopServices::openUrl(url);
}

void TLink::Click() {
    emit clicked();
    if (OnClick)
        OnClick(this);
    if (isEnabled())
        OpenURL();
}

const TLinkTextAttributes* TLink::CurrentAttributes() const {
    return m_Unactive ? m_FontUnactive : m_FontActive;
}

QFont TLink::CurrentFont() const {
    return styledFont(font(), CurrentAttributes()->Style());
}

QRect TLink::TextRect() const {
    const QFontMetrics metrics(CurrentFont());
    const int h = metrics.height();
    const int w = metrics.horizontalAdvance(m_Caption);
    const int top = captionOffset(int(m_Vertical), height(), h, m_MarginVertical);
    const int left = captionOffset(int(m_Horizontal), width(), w, m_MarginHorizontal);
    return {left, top, w, h};
}

void TLink::Paint() {
    QPainter canvas(this);
    canvas.setPen(Color());
    canvas.setBrush(Color());
    canvas.fillRect(rect(), Color());
    DrawCaption(canvas);
}

void TLink::DrawCaption(QPainter& canvas) {
    canvas.setFont(font());
    canvas.fillRect(rect(), canvas.brush());

    if (hasFocus()) {
        // The dotted frame inverts what lies beneath, so it shows on any background.
        canvas.save();
        canvas.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
        QPen dots(Qt::white, 0, Qt::CustomDashLine);
        dots.setDashPattern({1, 1});
        canvas.setPen(dots);
        canvas.setBrush(Qt::NoBrush);
        canvas.drawRect(rect().adjusted(0, 0, -1, -1));
        canvas.restore();
    }

    const TLinkTextAttributes* look = CurrentAttributes();
    m_canvasFont = styledFont(font(), look->Style());
    canvas.setFont(m_canvasFont);
    canvas.setPen(look->Color());

    QRect textRect = TextRect();
    const int flags = Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine;
    if (isEnabled()) {
        canvas.setClipRect(textRect);
        canvas.drawText(textRect, flags, m_Caption);
        return;
    }

    // Embossed: a light copy one pixel down and right, the shadow-coloured text on top.
    const QPen remembered = canvas.pen();
    textRect.translate(1, 1);
    canvas.setBrush(Qt::NoBrush);
    canvas.setPen(palette().color(QPalette::Active, QPalette::Light));
    canvas.setClipRect(textRect);
    canvas.drawText(textRect, flags, m_Caption);
    canvas.setPen(palette().color(QPalette::Active, QPalette::Dark));
    textRect.translate(-1, -1);
    canvas.setClipRect(textRect);
    canvas.drawText(textRect, flags, m_Caption);
    canvas.setPen(remembered);
}

void TLink::AttributesChanged(QObject*) {
    update();
}

bool TLink::event(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        // The Hint is shown only where hints are switched on.
        if (m_ShowHint && !m_Hint.isEmpty())
            QToolTip::showText(static_cast<QHelpEvent*>(event)->globalPos(), m_Hint, this);
        else
            QToolTip::hideText();
        return true;
    }
    return QWidget::event(event);
}

void TLink::paintEvent(QPaintEvent*) {
    Paint();
}

void TLink::keyPressEvent(QKeyEvent* event) {
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    const bool space = event->key() == Qt::Key_Space;
    if ((!enter && !space) ||
        (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))) {
        QWidget::keyPressEvent(event);
        return;
    }
    if (enter) {
        // A window's default button takes Enter before the link: in a dialog we let the key
        // travel on to it, elsewhere we press the button ourselves.
        if (QPushButton* button = defaultButtonOf(window())) {
            if (qobject_cast<QDialog*>(window())) {
                event->ignore();
                return;
            }
            event->accept();
            if (button->isEnabled())
                button->click();
            return;
        }
    }
    event->accept();
    // A held key would otherwise open the page again and again.
    if (!event->isAutoRepeat())
        Click();
}

void TLink::mousePressEvent(QMouseEvent* event) {
    QWidget::mousePressEvent(event);
    event->accept();
    if (event->button() != Qt::LeftButton)
        return;
    m_pressed = true;
    if (isEnabled() && isVisible() && !hasFocus())
        setFocus(Qt::MouseFocusReason);
}

void TLink::mouseReleaseEvent(QMouseEvent* event) {
    const bool click =
        m_pressed && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
    if (event->button() == Qt::LeftButton)
        m_pressed = false;
    event->accept();
    if (click)
        Click();
}

void TLink::mouseDoubleClickEvent(QMouseEvent* event) {
    // The second press of a double click is no click of its own: the page opens once.
    event->accept();
    m_pressed = false;
    if (event->button() != Qt::LeftButton)
        return;
    emit doubleClicked();
    if (isEnabled() && isVisible() && !hasFocus())
        setFocus(Qt::MouseFocusReason);
}

void TLink::focusInEvent(QFocusEvent* event) {
    QWidget::focusInEvent(event);
    update();
}

void TLink::focusOutEvent(QFocusEvent* event) {
    QWidget::focusOutEvent(event);
    update();
}

void TLink::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::EnabledChange)
        update();
    else if (event->type() == QEvent::FontChange)
        m_canvasFont = font();
}

void TLink::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (LinkChecker)
        LinkChecker->LinkShown(this);
}

void TLink::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    if (LinkChecker)
        LinkChecker->LinkHidden(this);
}
