#include "about/link.h"
#include "about/link_checker.h"
#include "about/tabout_box.h"
#include "common/style.h"

#include <QLabel>
#include <QPushButton>
#include <QtTest>

#include <memory>

class TestAboutBox : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void layout_data();
    void layout();
    void texts();
    void linkLooksAndLeadsHome();
    void labelsAreOpaque_data();
    void labelsAreOpaque();
    void authorPictureIsDecoded();
    void focusStartsOnOkAtEveryShowing();
    void tabOrderIsLinkThenOk();
    void keysOnTheLink_data();
    void keysOnTheLink();
    void okCloses();

private:
    void showBox();

    std::unique_ptr<TAboutBox> m_box;
    QList<QUrl> m_opened;
};

void TestAboutBox::initTestCase() {
    style::installFontSubstitutes();
}

void TestAboutBox::init() {
    m_opened.clear();
    TLink::SetUrlOpener([this](const QUrl& url) {
        m_opened.append(url);
        return true;
    });
    CreateLinkWatcher();
    m_box = std::make_unique<TAboutBox>();
    AboutBox = m_box.get();
}

void TestAboutBox::cleanup() {
    AboutBox = nullptr;
    m_box.reset();
    FreeLinkWatcher();
    TLink::SetUrlOpener(nullptr);
}

void TestAboutBox::showBox() {
    m_box->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_box.get()));
    QApplication::setActiveWindow(m_box.get());
}

void TestAboutBox::layout_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("parent");
    QTest::addColumn<QRect>("geometry");
    QTest::newRow("Panel1") << "Panel1"
                            << "AboutBox" << QRect(16, 8, 289, 193);
    QTest::newRow("ProgramIcon") << "ProgramIcon"
                                 << "Panel1" << QRect(8, 8, 65, 57);
    QTest::newRow("ProductName") << "ProductName"
                                 << "Panel1" << QRect(80, 8, 169, 36);
    QTest::newRow("Link1") << "Link1"
                           << "Panel1" << QRect(112, 122, 169, 17);
    QTest::newRow("Image6") << "Image6"
                            << "Panel1" << QRect(97, 155, 100, 30);
    QTest::newRow("OKButton") << "OKButton"
                              << "AboutBox" << QRect(135, 212, 75, 25);
}

void TestAboutBox::layout() {
    QFETCH(QString, name);
    QFETCH(QString, parent);
    QFETCH(QRect, geometry);
    auto* control = m_box->findChild<QWidget*>(name);
    QVERIFY(control);
    QCOMPARE(control->parentWidget()->objectName(), parent);
    QCOMPARE(control->geometry(), geometry);
    QCOMPARE(m_box->size(), QSize(320, 250));
}

void TestAboutBox::texts() {
    QCOMPARE(m_box->windowTitle(), QStringLiteral("About"));
    QCOMPARE(m_box->ProductName->text(), QStringLiteral("Cyfrolia 1.0"));
    QCOMPARE(m_box->Version->text(), QStringLiteral("Wersja 1.0"));
    QCOMPARE(m_box->Comments->text(), QStringLiteral("Strona domowa:"));
    QVERIFY(m_box->Copyright->text().startsWith(QStringLiteral("Autor: ")));
    QCOMPARE(m_box->OKButton->text(), QStringLiteral("O&K"));
    QVERIFY(m_box->OKButton->isDefault());
    QCOMPARE(m_box->OKButton->cursor().shape(), Qt::PointingHandCursor);
    // Each label keeps within the panel, sized to its text once shown.
    m_box->show();
    for (QLabel* label : {m_box->ProductName, m_box->Version, m_box->Copyright, m_box->Comments})
        QVERIFY2(m_box->Panel1->rect().contains(label->geometry()), qPrintable(label->objectName()));
    QCOMPARE(m_box->Version->pos(), QPoint(88, 48));
    QCOMPARE(m_box->Copyright->pos(), QPoint(8, 80));
    QCOMPARE(m_box->Comments->geometry().topLeft(), QPoint(8, 120));
    QCOMPARE(m_box->Comments->width(), 107);
}

void TestAboutBox::linkLooksAndLeadsHome() {
    TLink* link = m_box->Link1;
    const QUrl home(link->URL());
    QCOMPARE(home.scheme(), QStringLiteral("https"));
    QVERIFY(home.host().endsWith(QStringLiteral(".example.org")));
    QCOMPARE(link->Caption(), home.host());
    QCOMPARE(link->Hint(), link->URL());
    QVERIFY(!link->ShowHint());
    QCOMPARE(link->Color(), QColor(0, 0, 128));
    QCOMPARE(link->font().pixelSize(), 16);
    QCOMPARE(link->FontActive()->Color(), QColor(255, 0, 0));
    QCOMPARE(link->FontActive()->Style(), TFontStyles(TFontStyle::fsUnderline));
    QCOMPARE(link->FontUnactive()->Color(), QColor(0, 0, 255));
    QCOMPARE(link->FontUnactive()->Style(), TFontStyles());
}

void TestAboutBox::labelsAreOpaque_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QColor>("background");
    QTest::newRow("ProductName") << "ProductName" << QColor();
    QTest::newRow("Version") << "Version" << QColor(166, 202, 240);
    QTest::newRow("Copyright") << "Copyright" << QColor();
    QTest::newRow("Comments") << "Comments" << QColor();
}

void TestAboutBox::labelsAreOpaque() {
    QFETCH(QString, name);
    QFETCH(QColor, background);
    showBox();
    auto* label = m_box->findChild<QLabel*>(name);
    QVERIFY(label);
    const QColor expected = background.isValid() ? background : label->palette().color(QPalette::Window);
    // The label's own corner shows its background, not the navy panel behind it.
    const QImage picture = label->grab().toImage();
    QCOMPARE(QColor(picture.pixel(picture.width() - 1, picture.height() - 1)), expected);
    QVERIFY(expected != QColor(0, 0, 128));

    if (const QString dir = qEnvironmentVariable("CYFROLIA_SCREENSHOTS");
        !dir.isEmpty() && name == QLatin1String("Comments"))
        m_box->grab().save(dir + QStringLiteral("/about_box.png"));
}

void TestAboutBox::authorPictureIsDecoded() {
    showBox();
    const QPixmap picture = m_box->Image6->pixmap();
    QCOMPARE(picture.deviceIndependentSize(), QSizeF(100, 30));
    // Dark brown in the corner.
    const QColor corner = picture.toImage().pixelColor(1, 1);
    QVERIFY(corner.red() > corner.blue() && corner.red() < 100);
    // The emblem is drawn stretched to its control.
    QCOMPARE(m_box->ProgramIcon->pixmap().deviceIndependentSize(), QSizeF(65, 57));
}

void TestAboutBox::focusStartsOnOkAtEveryShowing() {
    showBox();
    QVERIFY(m_box->OKButton->hasFocus());
    m_box->Link1->setFocus();
    QVERIFY(m_box->Link1->hasFocus());
    m_box->hide();
    showBox();
    QVERIFY(m_box->OKButton->hasFocus());
}

void TestAboutBox::tabOrderIsLinkThenOk() {
    showBox();
    QTest::keyClick(m_box->OKButton, Qt::Key_Tab);
    QVERIFY(m_box->Link1->hasFocus());
    QTest::keyClick(m_box->Link1, Qt::Key_Tab);
    QVERIFY(m_box->OKButton->hasFocus());
}

void TestAboutBox::keysOnTheLink_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("opens");
    QTest::addColumn<bool>("staysOpen");
    QTest::newRow("space opens the home page") << int(Qt::Key_Space) << 1 << true;
    QTest::newRow("enter presses OK") << int(Qt::Key_Return) << 0 << false;
    QTest::newRow("keypad enter presses OK") << int(Qt::Key_Enter) << 0 << false;
}

void TestAboutBox::keysOnTheLink() {
    QFETCH(int, key);
    QFETCH(int, opens);
    QFETCH(bool, staysOpen);
    showBox();
    m_box->Link1->setFocus();

    QTest::keyClick(m_box->Link1, Qt::Key(key));

    QCOMPARE(m_opened.size(), opens);
    if (opens)
        QCOMPARE(m_opened.first(), QUrl(m_box->Link1->URL()));
    QCOMPARE(m_box->isVisible(), staysOpen);
}

void TestAboutBox::okCloses() {
    showBox();
    QVERIFY(LinkTimer->isActive());
    QTest::mouseClick(m_box->OKButton, Qt::LeftButton);
    QVERIFY(!m_box->isVisible());
    QVERIFY(!LinkTimer->isActive()); // no link shown, no polling
}

QTEST_MAIN(TestAboutBox)
#include "tst_about_box.moc"
