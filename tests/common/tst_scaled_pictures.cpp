// At a scale of 2 every picture a window shows has two device pixels for each logical pixel, so
// nothing is drawn at 1x and enlarged.
#include "about/link_checker.h"
#include "about/tabout_box.h"
#include "common/crisp.h"
#include "common/emblem.h"
#include "common/style.h"
#include "exercise/tform3.h"
#include "exercise/tform6.h"
#include "exercise/time_bar.h"
#include "shell/tform1.h"
#include "shell/tform7.h"

#include <QLabel>
#include <QtTest>

#include <memory>

class TestScaledPictures : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void picturesHaveTwiceThePixels_data();
    void picturesHaveTwiceThePixels();
    void iconsAndPointerAreDrawnAtTheScale();
};

void TestScaledPictures::initTestCase() {
    style::installFontSubstitutes();
    CreateLinkWatcher();
    QCOMPARE(qApp->devicePixelRatio(), 2.0);
}

void TestScaledPictures::picturesHaveTwiceThePixels_data() {
    QTest::addColumn<QString>("window");
    QTest::addColumn<int>("pictures");
    QTest::newRow("menu") << "menu" << 18;
    QTest::newRow("chooser") << "chooser" << 1;
    QTest::newRow("division summary") << "division" << 5;
    QTest::newRow("about") << "about" << 2;
}

void TestScaledPictures::picturesHaveTwiceThePixels() {
    QFETCH(QString, window);
    QFETCH(int, pictures);
    cyfrolia::Mt19937Source random;
    std::unique_ptr<QWidget> w;
    if (window == QLatin1String("menu")) {
        auto* menu = new Tform1;
        menu->setMaskFile(QStringLiteral(CYFROLIA_ASSETS_DIR "/forma.bmp"));
        w.reset(menu);
    } else if (window == QLatin1String("chooser")) {
        w = std::make_unique<Tform7>();
    } else if (window == QLatin1String("division")) {
        auto division = std::make_unique<TForm6>(random, [] { return 1u; });
        // The operator and the summary's buttons as well.
        division->operatorControl()->show();
        division->podsumowanie->show();
        w = std::move(division);
    } else {
        w = std::make_unique<TAboutBox>();
    }
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w.get()));

    int checked = 0;
    for (const QLabel* label : w->findChildren<QLabel*>()) {
        const QPixmap picture = label->pixmap();
        if (!label->isVisible() || picture.isNull())
            continue;
        ++checked;
        const QString name = label->objectName();
        QCOMPARE(picture.devicePixelRatio(), 2.0);
        QVERIFY2(picture.size() == crisp::logicalSize(picture) * 2, qPrintable(name));
        // Shown at its logical size: a button's picture is as large as the button.
        if (label->inherits("PictureButton"))
            QVERIFY2(crisp::logicalSize(picture) == label->size(), qPrintable(name));
    }
    QCOMPARE(checked, pictures);
}

void TestScaledPictures::iconsAndPointerAreDrawnAtTheScale() {
    cyfrolia::Mt19937Source random;
    TForm6 division(random, [] { return 1u; });
    const QPixmap icon = division.windowIcon().pixmap(QSize(32, 32), 2.0);
    QCOMPARE(icon.size(), QSize(64, 64));
    QVERIFY(division.windowIcon().availableSizes().contains(QSize(16, 16)));
    QCOMPARE(emblem::icon().pixmap(QSize(48, 48), 2.0).size(), QSize(96, 96));

    // The multiplication window's SQL pointer, once its time bar shows.
    TForm3 multiplication(random, [] { return 1u; });
    multiplication.show();
    multiplication.pasek->show();
    const QCursor pointer = multiplication.pasek->cursor();
    QCOMPARE(pointer.shape(), Qt::BitmapCursor);
    QCOMPARE(pointer.pixmap().size(), QSize(64, 64));
    QCOMPARE(pointer.hotSpot(), QPoint(16, 11));
}

QTEST_MAIN(TestScaledPictures)
#include "tst_scaled_pictures.moc"
