#include "about/link.h"
#include "about/link_checker.h"
#include "common/failure.h"

#include <QAccessible>
#include <QDialog>
#include <QKeyEvent>
#include <QPushButton>
#include <QSignalSpy>
#include <QTimer>
#include <QtTest>

#include <memory>

namespace {

// Counts the paints a widget receives.
class PaintCounter : public QObject {
public:
    explicit PaintCounter(QWidget* widget) { widget->installEventFilter(this); }
    int paints = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint)
            ++paints;
        return false;
    }
};

// A top-level window that records the keys that reach it.
class KeyWindow : public QWidget {
public:
    QList<int> keys;

protected:
    void keyPressEvent(QKeyEvent* event) override { keys.append(event->key()); }
};

void flushPaints() {
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
}

} // namespace

class TestLink : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void attributesNotifyOnlyOnRealChange_data();
    void attributesNotifyOnlyOnRealChange();
    void assignCopiesWithoutNotifying();
    void assignOfAnotherKindFails_data();
    void assignOfAnotherKindFails();
    void assigningAttributesRepaintsTheReceiver();
    void settersRepaintOnlyOnChange_data();
    void settersRepaintOnlyOnChange();
    void urlFillsOnlyAnEmptyHint_data();
    void urlFillsOnlyAnEmptyHint();
    void newLinkKeepsItsHintEmpty();

    void captionOffsetRoundsDown_data();
    void captionOffsetRoundsDown();
    void bottomCaptionSitsAboveTheMargin();
    void oversizedCentredCaptionOverflowsEvenly();
    void autoSizeNeedsAParent();

    void hoverForTenTicks();
    void straightMoveSwitchesBothInOneTick();
    void disabledLinkStillHovers();
    void coveredLinkIsNotUnderThePointer();
    void destroyedLinkIsForgotten();
    void timerRunsOnlyWhileALinkIsShown();

    void keys_data();
    void keys();
    void heldSpaceOpensOnce();
    void onlyTheLeftPressTakesTheFocus_data();
    void onlyTheLeftPressTakesTheFocus();
    void doubleClickOpensOnce_data();
    void doubleClickOpensOnce();
    void clickOpensOnlyWhenEnabledAndAddressed_data();
    void clickOpensOnlyWhenEnabledAndAddressed();
    void disabledCaptionIsEmbossed();
    void screenReadersSeeAPressableLink();

private:
    QList<QUrl> m_opened;
    QPoint m_pointer;
};

void TestLink::init() {
    m_opened.clear();
    TLink::SetUrlOpener([this](const QUrl& url) {
        m_opened.append(url);
        return true;
    });
    CreateLinkWatcher();
    LinkChecker->SetPointerSource([this] { return m_pointer; });
    m_pointer = QPoint(-10000, -10000);
}

void TestLink::cleanup() {
    FreeLinkWatcher();
    TLink::SetUrlOpener(nullptr);
}

void TestLink::attributesNotifyOnlyOnRealChange_data() {
    QTest::addColumn<QColor>("colour");
    QTest::addColumn<int>("style");
    QTest::addColumn<int>("notifications");
    // The attributes start blue and underlined.
    QTest::newRow("same colour and style") << QColor(0, 0, 255) << int(TFontStyle::fsUnderline) << 0;
    QTest::newRow("new colour") << QColor(0, 128, 0) << int(TFontStyle::fsUnderline) << 1;
    QTest::newRow("new style") << QColor(0, 0, 255) << int(TFontStyle::fsBold | TFontStyle::fsItalic) << 1;
    QTest::newRow("both new") << QColor(255, 0, 0) << int(TFontStyle::fsStrikeOut) << 2;
}

void TestLink::attributesNotifyOnlyOnRealChange() {
    QFETCH(QColor, colour);
    QFETCH(int, style);
    QFETCH(int, notifications);
    TLinkTextAttributes attributes;
    attributes.SetColor(QColor(0, 0, 255));
    attributes.SetStyle(TFontStyle::fsUnderline);
    QList<QObject*> senders;
    attributes.OnChange = [&](QObject* sender) { senders.append(sender); };

    attributes.SetColor(colour);
    attributes.SetStyle(TFontStyles::fromInt(style));

    QCOMPARE(senders.size(), notifications);
    for (QObject* sender : senders)
        QCOMPARE(sender, &attributes);
    QCOMPARE(attributes.Color(), colour);
    QCOMPARE(int(attributes.Style()), style);
}

void TestLink::assignCopiesWithoutNotifying() {
    TLinkTextAttributes source;
    source.SetColor(QColor(10, 20, 30));
    source.SetStyle(TFontStyle::fsBold | TFontStyle::fsStrikeOut);
    TLinkTextAttributes target;
    int notifications = 0;
    target.OnChange = [&](QObject*) { ++notifications; };

    QVERIFY(target.Assign(&source));

    QCOMPARE(target.Color(), QColor(10, 20, 30));
    QCOMPARE(target.Style(), TFontStyle::fsBold | TFontStyle::fsStrikeOut);
    QCOMPARE(notifications, 0);
}

void TestLink::assignOfAnotherKindFails_data() {
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("message");
    QTest::newRow("plain object") << 0 << "Cannot assign a QObject to a TLinkTextAttributes";
    QTest::newRow("a link") << 1 << "Cannot assign a TLink to a TLinkTextAttributes";
    QTest::newRow("nothing") << 2 << "Cannot assign a nil to a TLinkTextAttributes";
}

void TestLink::assignOfAnotherKindFails() {
    QFETCH(int, kind);
    QFETCH(QString, message);
    QObject plain;
    TLink link;
    const QObject* source = kind == 0 ? &plain : kind == 1 ? static_cast<QObject*>(&link) : nullptr;
    TLinkTextAttributes target;
    target.SetColor(QColor(1, 2, 3));

    const cyfrolia::Result<void> assigned = target.Assign(source);
    QVERIFY(!assigned);
    QCOMPARE(assigned.failure(), message);
    QCOMPARE(target.Color(), QColor(1, 2, 3));
}

void TestLink::assigningAttributesRepaintsTheReceiver() {
    TLink giver;
    giver.FontActive()->SetColor(QColor(0, 128, 0));
    giver.FontActive()->SetStyle(TFontStyle::fsItalic | TFontStyle::fsUnderline);
    TLink receiver;
    receiver.resize(120, 20);
    receiver.show();
    QVERIFY(QTest::qWaitForWindowExposed(&receiver));
    PaintCounter counter(&receiver);

    QVERIFY(receiver.SetFontActive(giver.FontActive()));
    flushPaints();

    QCOMPARE(receiver.FontActive()->Color(), QColor(0, 128, 0));
    QCOMPARE(receiver.FontActive()->Style(), TFontStyle::fsItalic | TFontStyle::fsUnderline);
    QVERIFY(receiver.FontActive() != giver.FontActive());
    QVERIFY(counter.paints > 0);
}

void TestLink::settersRepaintOnlyOnChange_data() {
    QTest::addColumn<QString>("setter");
    QTest::addColumn<bool>("change");
    for (const char* setter : {"MarginHorizontal", "MarginVertical", "Vertical", "Horizontal"}) {
        QTest::addRow("%s same", setter) << QString::fromLatin1(setter) << false;
        QTest::addRow("%s different", setter) << QString::fromLatin1(setter) << true;
    }
}

void TestLink::settersRepaintOnlyOnChange() {
    QFETCH(QString, setter);
    QFETCH(bool, change);
    TLink link;
    link.resize(120, 20);
    link.show();
    QVERIFY(QTest::qWaitForWindowExposed(&link));
    flushPaints();
    PaintCounter counter(&link);

    if (setter == QLatin1String("MarginHorizontal"))
        link.SetMarginHorizontal(change ? 4 : 1);
    else if (setter == QLatin1String("MarginVertical"))
        link.SetMarginVertical(change ? 4 : 1);
    else if (setter == QLatin1String("Vertical"))
        link.SetVertical(change ? TVerticalAlign::vaTop : TVerticalAlign::vaCenter);
    else
        link.SetHorizontal(change ? THorizontalAlign::haRight : THorizontalAlign::haCenter);
    flushPaints();

    QCOMPARE(counter.paints > 0, change);
}

void TestLink::urlFillsOnlyAnEmptyHint_data() {
    QTest::addColumn<QString>("hint");
    QTest::addColumn<QString>("expected");
    QTest::newRow("empty hint") << QString() << "https://cyfrolia.example.org/pomoc";
    QTest::newRow("hint kept") << "Nasza strona"
                               << "Nasza strona";
}

void TestLink::urlFillsOnlyAnEmptyHint() {
    QFETCH(QString, hint);
    QFETCH(QString, expected);
    TLink link;
    link.SetHint(hint);
    link.SetURL(QStringLiteral("https://cyfrolia.example.org/pomoc"));
    QCOMPARE(link.URL(), QStringLiteral("https://cyfrolia.example.org/pomoc"));
    QCOMPARE(link.Hint(), expected);
}

void TestLink::newLinkKeepsItsHintEmpty() {
    TLink link;
    QVERIFY(!link.URL().isEmpty());
    QVERIFY(link.URL().contains(link.Caption()));
    QVERIFY(link.Hint().isEmpty());
    QVERIFY(link.Unactive());
}

void TestLink::captionOffsetRoundsDown_data() {
    QTest::addColumn<int>("alignment");
    QTest::addColumn<int>("size");
    QTest::addColumn<int>("extent");
    QTest::addColumn<int>("margin");
    QTest::addColumn<int>("offset");
    QTest::newRow("top") << 0 << 17 << 13 << 1 << 1;
    QTest::newRow("centre, even spare") << 1 << 17 << 13 << 1 << 2;
    QTest::newRow("centre, odd spare") << 1 << 18 << 13 << 1 << 2;
    QTest::newRow("centre, fits exactly") << 1 << 13 << 13 << 1 << 0;
    QTest::newRow("centre, one too large") << 1 << 12 << 13 << 1 << -1;
    QTest::newRow("centre, three too large") << 1 << 10 << 13 << 1 << -2;
    QTest::newRow("centre, four too large") << 1 << 9 << 13 << 1 << -2;
    QTest::newRow("bottom") << 2 << 17 << 13 << 1 << 3;
    QTest::newRow("bottom, oversized") << 2 << 10 << 13 << 1 << -4;
}

void TestLink::captionOffsetRoundsDown() {
    QFETCH(int, alignment);
    QFETCH(int, size);
    QFETCH(int, extent);
    QFETCH(int, margin);
    QFETCH(int, offset);
    QCOMPARE(captionOffset(alignment, size, extent, margin), offset);
}

void TestLink::bottomCaptionSitsAboveTheMargin() {
    QWidget window;
    TLink link(&window);
    link.setGeometry(0, 0, 169, 40);
    link.SetVertical(TVerticalAlign::vaBottom);
    link.SetHorizontal(THorizontalAlign::haRight);

    const QRect text = link.TextRect();
    QCOMPARE(text.top() + text.height(), link.height() - 1);
    QCOMPARE(text.left() + text.width(), link.width() - 1);
}

void TestLink::oversizedCentredCaptionOverflowsEvenly() {
    QWidget window;
    TLink link(&window);
    QFont large = link.font();
    large.setPixelSize(40);
    link.setFont(large);
    link.SetCaption(QStringLiteral("cyfrolia.example.org"));
    link.setGeometry(0, 0, 60, 12);

    const QRect text = link.TextRect();
    const int above = -text.top();
    const int below = text.top() + text.height() - link.height();
    const int leftOver = -text.left();
    const int rightOver = text.left() + text.width() - link.width();
    QVERIFY(above > 0);
    QVERIFY(qAbs(above - below) <= 1);
    QVERIFY(above >= below);
    QVERIFY(leftOver > 0);
    QVERIFY(qAbs(leftOver - rightOver) <= 1);
}

void TestLink::autoSizeNeedsAParent() {
    TLink orphan;
    int w = 5;
    int h = 6;
    QVERIFY(!orphan.CanAutoSize(w, h));
    QCOMPARE(w, 5);
    QCOMPARE(h, 6);

    QWidget window;
    TLink link(&window);
    link.SetMarginHorizontal(3);
    link.SetMarginVertical(2);
    QVERIFY(link.CanAutoSize(w, h));
    const QFontMetrics metrics(link.font());
    QCOMPARE(w, metrics.horizontalAdvance(link.Caption()) + 6);
    QCOMPARE(h, metrics.height() + 4);

    link.SetAutoSize(true);
    QCOMPARE(link.size(), QSize(w, h));
}

namespace {

// A shown window with two links side by side, each logging its switches.
struct TwoLinks {
    QWidget window;
    TLink* first;
    TLink* second;
    QStringList log;

    TwoLinks() {
        window.setGeometry(100, 100, 300, 60);
        first = new TLink(&window);
        first->setGeometry(10, 10, 120, 20);
        second = new TLink(&window);
        second->setGeometry(140, 10, 120, 20);
        first->OnMouseOver = [this](QObject*) { log << QStringLiteral("first over"); };
        first->OnMouseOut = [this](QObject*) { log << QStringLiteral("first out"); };
        second->OnMouseOver = [this](QObject*) { log << QStringLiteral("second over"); };
        second->OnMouseOut = [this](QObject*) { log << QStringLiteral("second out"); };
        window.show();
    }

    QPoint centre(TLink* link) const { return link->mapToGlobal(link->rect().center()); }
};

} // namespace

void TestLink::hoverForTenTicks() {
    TwoLinks links;
    QVERIFY(QTest::qWaitForWindowExposed(&links.window));
    QCOMPARE(LinkTimer->interval(), 100); // ten ticks make one second

    m_pointer = links.centre(links.first);
    for (int tick = 0; tick < 10; ++tick)
        LinkChecker->CheckMouse();
    QCOMPARE(links.log.count(QStringLiteral("first over")), 10);
    QCOMPARE(links.log.count(QStringLiteral("first out")), 0);
    QVERIFY(!links.first->Unactive());
    QCOMPARE(LinkUnderMouse.data(), links.first);

    m_pointer = links.window.mapToGlobal(QPoint(5, 50));
    LinkChecker->CheckMouse();
    LinkChecker->CheckMouse();
    QCOMPARE(links.log.count(QStringLiteral("first out")), 1);
    QCOMPARE(links.log.count(QStringLiteral("first over")), 10);
    QVERIFY(links.first->Unactive());
    QVERIFY(LinkUnderMouse.isNull());
    QVERIFY(!links.log.contains(QStringLiteral("second over")));
}

void TestLink::straightMoveSwitchesBothInOneTick() {
    TwoLinks links;
    QVERIFY(QTest::qWaitForWindowExposed(&links.window));
    m_pointer = links.centre(links.first);
    LinkChecker->CheckMouse();
    links.log.clear();

    m_pointer = links.centre(links.second);
    LinkChecker->CheckMouse();

    QCOMPARE(links.log, QStringList({QStringLiteral("first out"), QStringLiteral("second over")}));
    QVERIFY(links.first->Unactive());
    QVERIFY(!links.second->Unactive());
    QCOMPARE(LinkUnderMouse.data(), links.second);
}

void TestLink::disabledLinkStillHovers() {
    TwoLinks links;
    links.first->setEnabled(false);
    QVERIFY(QTest::qWaitForWindowExposed(&links.window));
    m_pointer = links.centre(links.first);
    LinkChecker->CheckMouse();
    QCOMPARE(links.log, QStringList{QStringLiteral("first over")});
    QVERIFY(!links.first->Unactive());
}

void TestLink::coveredLinkIsNotUnderThePointer() {
    TwoLinks links;
    auto* cover = new QWidget(&links.window);
    cover->setGeometry(links.first->geometry());
    cover->show();
    QVERIFY(QTest::qWaitForWindowExposed(&links.window));
    m_pointer = links.centre(links.first);
    LinkChecker->CheckMouse();
    QVERIFY(links.log.isEmpty());
    QVERIFY(links.first->Unactive());
    QVERIFY(LinkUnderMouse.isNull());
}

void TestLink::destroyedLinkIsForgotten() {
    TwoLinks links;
    QVERIFY(QTest::qWaitForWindowExposed(&links.window));
    m_pointer = links.centre(links.first);
    LinkChecker->CheckMouse();
    QCOMPARE(LinkUnderMouse.data(), links.first);

    delete links.first;
    links.first = nullptr;
    QVERIFY(LinkUnderMouse.isNull());
    LinkChecker->CheckMouse(); // must not reach the destroyed link
    QVERIFY(LinkUnderMouse.isNull());
    QCOMPARE(LinkChecker->VisibleLinks(), 1);
}

void TestLink::timerRunsOnlyWhileALinkIsShown() {
    QWidget window;
    window.setGeometry(100, 100, 200, 40);
    auto* link = new TLink(&window);
    link->setGeometry(10, 10, 120, 20);
    int outs = 0;
    link->OnMouseOut = [&](QObject*) { ++outs; };
    QVERIFY(!LinkTimer->isActive());

    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QVERIFY(LinkTimer->isActive());

    window.hide();
    QVERIFY(!LinkTimer->isActive());

    // Hidden while active: one more tick turns the link unactive, then the timer rests.
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    m_pointer = link->mapToGlobal(link->rect().center());
    LinkChecker->CheckMouse();
    QVERIFY(!link->Unactive());
    window.hide();
    QVERIFY(LinkTimer->isActive());
    LinkChecker->CheckMouse();
    QCOMPARE(outs, 1);
    QVERIFY(link->Unactive());
    QVERIFY(!LinkTimer->isActive());

    // Two links: the timer runs until the last one hides.
    auto* other = new QWidget;
    auto* second = new TLink(other);
    other->show();
    window.show();
    QVERIFY(LinkTimer->isActive());
    window.hide();
    QVERIFY(LinkTimer->isActive());
    delete other;
    QVERIFY(!LinkTimer->isActive());
    Q_UNUSED(second);
}

void TestLink::keys_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<bool>("defaultButton");
    QTest::addColumn<int>("opens");
    QTest::addColumn<int>("defaultClicks");
    QTest::addColumn<bool>("reachesWindow");
    QTest::newRow("space") << int(Qt::Key_Space) << false << 1 << 0 << false;
    QTest::newRow("space beside a default button") << int(Qt::Key_Space) << true << 1 << 0 << false;
    QTest::newRow("enter, no default button") << int(Qt::Key_Return) << false << 1 << 0 << false;
    QTest::newRow("keypad enter, no default button") << int(Qt::Key_Enter) << false << 1 << 0 << false;
    QTest::newRow("enter goes to the default button") << int(Qt::Key_Return) << true << 0 << 1 << false;
    QTest::newRow("letter") << int(Qt::Key_A) << false << 0 << 0 << true;
    QTest::newRow("letter beside a default button") << int(Qt::Key_B) << true << 0 << 0 << false;
}

void TestLink::keys() {
    QFETCH(int, key);
    QFETCH(bool, defaultButton);
    QFETCH(int, opens);
    QFETCH(int, defaultClicks);
    QFETCH(bool, reachesWindow);

    // A dialog when there is a default button (it is the dialog that honours it), otherwise a
    // plain window that records what reaches it.
    std::unique_ptr<QWidget> window;
    QPushButton* button = nullptr;
    if (defaultButton) {
        auto* dialog = new QDialog;
        button = new QPushButton(QStringLiteral("OK"), dialog);
        button->setDefault(true);
        button->move(0, 40);
        window.reset(dialog);
    } else {
        window = std::make_unique<KeyWindow>();
    }
    auto* link = new TLink(window.get());
    link->resize(150, 20);
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    link->setFocus();
    QVERIFY(link->hasFocus());
    QSignalSpy buttonClicks(button ? button : new QPushButton(window.get()), &QPushButton::clicked);
    QSignalSpy linkClicks(link, &TLink::clicked);

    QTest::keyClick(link, Qt::Key(key));

    QCOMPARE(m_opened.size(), opens);
    QCOMPARE(linkClicks.size(), opens);
    for (const QUrl& url : std::as_const(m_opened))
        QCOMPARE(url, QUrl(link->URL()));
    QCOMPARE(buttonClicks.size(), defaultClicks);
    if (auto* keyWindow = dynamic_cast<KeyWindow*>(window.get()))
        QCOMPARE(keyWindow->keys.contains(key), reachesWindow);
}

void TestLink::heldSpaceOpensOnce() {
    KeyWindow window;
    auto* link = new TLink(&window);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    link->setFocus();
    QKeyEvent first(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "));
    QKeyEvent repeated(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "), true);
    QCoreApplication::sendEvent(link, &first);
    QCoreApplication::sendEvent(link, &repeated);
    QCoreApplication::sendEvent(link, &repeated);
    QCOMPARE(m_opened.size(), 1);
    QVERIFY(window.keys.isEmpty());
}

void TestLink::onlyTheLeftPressTakesTheFocus_data() {
    QTest::addColumn<int>("button");
    QTest::addColumn<bool>("focused");
    QTest::newRow("left") << int(Qt::LeftButton) << true;
    QTest::newRow("right") << int(Qt::RightButton) << false;
    QTest::newRow("middle") << int(Qt::MiddleButton) << false;
}

void TestLink::onlyTheLeftPressTakesTheFocus() {
    QFETCH(int, button);
    QFETCH(bool, focused);
    QWidget window;
    auto* other = new QPushButton(QStringLiteral("inny"), &window);
    auto* link = new TLink(&window);
    link->setGeometry(0, 40, 150, 20);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    other->setFocus();

    QTest::mousePress(link, Qt::MouseButton(button), {}, QPoint(20, 10));
    QCOMPARE(link->hasFocus(), focused);
    QTest::mouseRelease(link, Qt::MouseButton(button), {}, QPoint(20, 10));
    QCOMPARE(m_opened.size(), focused ? 1 : 0);
}

void TestLink::doubleClickOpensOnce_data() {
    // Whether the second press arrives as a press of its own before the double click.
    QTest::addColumn<bool>("secondPress");
    QTest::newRow("double click replaces the second press") << false;
    QTest::newRow("double click follows the second press") << true;
}

void TestLink::doubleClickOpensOnce() {
    QFETCH(bool, secondPress);
    QWidget window;
    auto* link = new TLink(&window);
    link->resize(150, 20);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QSignalSpy doubleClicks(link, &TLink::doubleClicked);
    const QPoint at(20, 10);

    QTest::mousePress(link, Qt::LeftButton, {}, at);
    QTest::mouseRelease(link, Qt::LeftButton, {}, at);
    if (secondPress)
        QTest::mousePress(link, Qt::LeftButton, {}, at);
    QMouseEvent twice(QEvent::MouseButtonDblClick, QPointF(at), link->mapToGlobal(QPointF(at)),
                      Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(link, &twice);
    QTest::mouseRelease(link, Qt::LeftButton, {}, at);

    QCOMPARE(m_opened.size(), 1);
    QCOMPARE(doubleClicks.size(), 1);
    QVERIFY(link->hasFocus());
}

void TestLink::clickOpensOnlyWhenEnabledAndAddressed_data() {
    QTest::addColumn<bool>("enabled");
    QTest::addColumn<QString>("url");
    QTest::addColumn<int>("opens");
    QTest::newRow("enabled") << true << "https://cyfrolia.example.org/" << 1;
    QTest::newRow("disabled") << false << "https://cyfrolia.example.org/" << 0;
    QTest::newRow("no address") << true << QString() << 0;
}

void TestLink::clickOpensOnlyWhenEnabledAndAddressed() {
    QFETCH(bool, enabled);
    QFETCH(QString, url);
    QFETCH(int, opens);
    TLink link;
    link.SetURL(url);
    link.setEnabled(enabled);
    int onClick = 0;
    link.OnClick = [&](QObject*) { ++onClick; };
    QSignalSpy clicked(&link, &TLink::clicked);

    link.Click();

    QCOMPARE(clicked.size(), 1);
    QCOMPARE(onClick, 1);
    QCOMPARE(m_opened.size(), opens);
}

void TestLink::disabledCaptionIsEmbossed() {
    QWidget window;
    QPalette colours = window.palette();
    colours.setColor(QPalette::Window, QColor(0, 0, 128));
    colours.setColor(QPalette::Light, QColor(255, 255, 255));
    colours.setColor(QPalette::Dark, QColor(128, 128, 128));
    window.setPalette(colours);
    auto* link = new TLink(&window);
    QFont font = link->font();
    font.setPixelSize(16);
    font.setBold(true);
    link->setFont(font);
    link->setGeometry(0, 0, 169, 24);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    const auto coloursIn = [&] {
        QSet<QRgb> found;
        const QImage picture = link->grab().toImage();
        for (int y = 0; y < picture.height(); ++y)
            for (int x = 0; x < picture.width(); ++x)
                found.insert(picture.pixel(x, y) & 0xffffff);
        return found;
    };
    QCOMPARE(link->Color(), QColor(0, 0, 128)); // the parent's colour
    QSet<QRgb> enabled = coloursIn();
    QVERIFY(enabled.contains(0x0000ff));
    QVERIFY(!enabled.contains(0xffffff));

    link->setEnabled(false);
    QSet<QRgb> disabled = coloursIn();
    QVERIFY(disabled.contains(0xffffff));
    QVERIFY(disabled.contains(0x808080));
    QVERIFY(!disabled.contains(0x0000ff));
}

void TestLink::screenReadersSeeAPressableLink() {
    TLink link;
    link.SetCaption(QStringLiteral("strona.example.org"));
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(&link);
    QVERIFY(accessible);
    QCOMPARE(accessible->role(), QAccessible::Link);
    QCOMPARE(accessible->text(QAccessible::Name), QStringLiteral("strona.example.org"));
    QVERIFY(accessible->actionInterface());
    accessible->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    QCOMPARE(m_opened.size(), 1);
}

QTEST_MAIN(TestLink)
#include "tst_link.moc"
