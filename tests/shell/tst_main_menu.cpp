#include "common/picture_button.h"
#include "shell/tform1.h"
#include "support/modal_driver.h"

#include "common/failure.h"
#include <QAccessible>
#include <QImage>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>

#include <QtTest>

#include <cerrno>

#include <memory>

namespace {

// What the menu asks for while `action` runs, by the names of its signals.
QStringList asked(const std::function<void()>& action) {
    using Signal = void (Tform1::*)();
    const std::pair<const char*, Signal> requests[] = {{"openAddition", &Tform1::openAddition},
                                                       {"openSubtraction", &Tform1::openSubtraction},
                                                       {"openMultiplication", &Tform1::openMultiplication},
                                                       {"openDivision", &Tform1::openDivision},
                                                       {"openClassChooser", &Tform1::openClassChooser},
                                                       {"openGrades", &Tform1::openGrades},
                                                       {"openAbout", &Tform1::openAbout}};
    QStringList names;
    QObject listening; // its end disconnects
    for (const auto& [name, signal] : requests)
        QObject::connect(form1, signal, &listening, [&names, name = name] { names << QLatin1String(name); });
    action();
    return names;
}

// Every pixel that is not black, one rectangle each.
QRegion naiveRegion(const QImage& image) {
    QRegion region;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if ((image.pixel(x, y) & 0xffffff) != 0)
                region += QRect(x, y, 1, 1);
    return region;
}

} // namespace

class TestMainMenu : public QObject {
    Q_OBJECT

private:
    QString writeMask(const QString& name, const QImage& image) {
        const QString path = m_dir.filePath(name);
        if (!image.save(path, "BMP"))
            qFatal("cannot write %s", qPrintable(path));
        return path;
    }

    // The menu's outline for most tests: the window less a 10-pixel frame.
    QImage framedMask() const {
        QImage mask(446, 495, QImage::Format_RGB32);
        mask.fill(Qt::black);
        mask.fill(Qt::black);
        for (int y = 10; y < 485; ++y)
            for (int x = 10; x < 436; ++x)
                mask.setPixel(x, y, qRgb(0, 0, 1)); // near-black is inside
        return mask;
    }

    // Hides and shows the menu again, answering the error dialog if one comes.
    QString reshow() {
        form1->hide();
        QString error;
        driveModals([] { form1->show(); },
                    [&](QWidget* window) {
                        if (auto* box = qobject_cast<QMessageBox*>(window)) {
                            error = box->text();
                            QCOMPARE(box->windowTitle(), QStringLiteral("Cyfrolia 1.0"));
                            QCOMPARE(box->icon(), QMessageBox::Critical);
                        }
                        window->close();
                    });
        return error;
    }

    // A real pointer move in screen coordinates, delivered like the window system would.
    static void moveTo(QWidget* target, const QPoint& global) {
        QTest::mouseMove(target, target->mapFromGlobal(global));
    }

    QTemporaryDir m_dir;
    std::unique_ptr<Tform1> m_window;

private slots:
    void initTestCase() {
        QVERIFY(m_dir.isValid());
        m_window = std::make_unique<Tform1>();
        form1 = m_window.get();
        form1->setMaskFile(writeMask(QStringLiteral("forma.bmp"), framedMask()));
        form1->show();
        QVERIFY(QTest::qWaitForWindowExposed(form1));
    }

    void cleanupTestCase() {
        m_window.reset();
        form1 = nullptr;
    }

    void frameless() {
        QVERIFY(form1->windowFlags() & Qt::FramelessWindowHint);
        QCOMPARE(form1->size(), QSize(446, 495));
        QCOMPARE(form1->mask(), QRegion(10, 10, 426, 475));
        for (QWidget* child : form1->findChildren<QWidget*>()) {
            if (child->window() == form1)
                QCOMPARE(child->focusPolicy(), Qt::NoFocus);
        }
    }

    void screenReadersMeetEachButtonOnce() {
        // The notebook and the buttons' raised faces are left out; each button is a push button
        // named with its word, and its press action does what a click does.
        QAccessibleInterface* menu = QAccessible::queryAccessibleInterface(form1);
        QCOMPARE(menu->role(), QAccessible::Window);
        QCOMPARE(menu->text(QAccessible::Name), QStringLiteral("Cyfrolia 1.0"));
        QStringList buttons;
        for (int i = 0; i < menu->childCount(); ++i) {
            QAccessibleInterface* child = menu->child(i);
            if (child->state().invisible)
                continue;
            QCOMPARE(child->role(), QAccessible::Button);
            buttons << child->text(QAccessible::Name);
        }
        QCOMPARE(buttons, QStringList({"Dodawanie", "Odejmowanie", "Mnożenie", "Dzielenie", "Poziom",
                                       "Wyniki", "O programie", "Koniec"}));
        // The press action returns before the window it opens is asked for, so a modal window never
        // holds the screen reader that pressed the button; the event loop asks right after.
        const QStringList seen = asked([] {
            QAccessible::queryAccessibleInterface(form1->wyn_wcis)
                ->actionInterface()
                ->doAction(QAccessibleActionInterface::pressAction());
        });
        QCOMPARE(seen, QStringList());
        QCOMPARE(asked([] { QCoreApplication::processEvents(); }), QStringList({"openGrades"}));

        // The menu does not read its controls' internal names aloud.
        for (QWidget* widget : form1->findChildren<QWidget*>())
            QVERIFY2(widget->accessibleDescription().isEmpty(), qPrintable(widget->objectName()));
    }

    void keysHighlightAndPress() {
        form1->Image10MouseMove();
        const QList<QWidget*> normal = {form1->Image1,  form1->Image2,   form1->Image3,  form1->Image4,
                                        form1->Image14, form1->wyn_norm, form1->Image12, form1->Image8};
        const auto onlyHighlighted = [&](int index) {
            QCOMPARE(form1->highlighted(), index);
            for (int i = 0; i < normal.size(); ++i)
                QCOMPARE(normal.at(i)->isHidden(), i == index);
        };
        QTest::keyClick(form1, Qt::Key_Up); // from none, round to "Koniec"
        onlyHighlighted(7);
        QTest::keyClick(form1, Qt::Key_Down);
        onlyHighlighted(0);
        for (int i = 0; i < 4; ++i)
            QTest::keyClick(form1, Qt::Key_Down);
        onlyHighlighted(4);
        // Screen readers follow the highlight as the focus.
        QVERIFY(QAccessible::queryAccessibleInterface(form1->Image13)->state().focused);
        QVERIFY(!QAccessible::queryAccessibleInterface(form1->dodawanie)->state().focused);
        // A letter alone only moves the highlight, even to "Koniec": no stray key ends the program.
        QCOMPARE(asked([] { QTest::keyClick(form1, Qt::Key_W); }), QStringList());
        onlyHighlighted(5);
        QTest::keyClick(form1, Qt::Key_K);
        onlyHighlighted(7);
        QTest::keyClick(form1, Qt::Key_P);
        // Enter presses "Poziom", Alt+W "Wyniki".
        QStringList seen = asked([] { QTest::keyClick(form1, Qt::Key_Return); });
        seen += asked([] { QTest::keyClick(form1, Qt::Key_W, Qt::AltModifier); });
        QCOMPARE(seen, QStringList({"openClassChooser", "openGrades"}));
        // The pointer over the face ends the keyboard's highlight.
        form1->Image10MouseMove();
        onlyHighlighted(-1);
    }

    void buttonsAsk_data() {
        QTest::addColumn<QString>("hover");
        QTest::addColumn<QString>("request");
        QTest::newRow("Dodawanie") << "dodawanie"
                                   << "openAddition";
        QTest::newRow("Odejmowanie") << "odejmowanie"
                                     << "openSubtraction";
        QTest::newRow("Mnożenie") << "mnozenie"
                                  << "openMultiplication";
        QTest::newRow("Dzielenie") << "dzielenie"
                                   << "openDivision";
        QTest::newRow("Poziom") << "Image13"
                                << "openClassChooser";
        QTest::newRow("Wyniki") << "wyn_wcis"
                                << "openGrades";
        QTest::newRow("O programie") << "Image11"
                                     << "openAbout";
    }

    void buttonsAsk() {
        QFETCH(QString, hover);
        QFETCH(QString, request);
        auto* button = form1->findChild<PictureButton*>(hover);
        QVERIFY(button);
        QCOMPARE(asked([&] { QTest::mouseClick(button, Qt::LeftButton); }), QStringList({request}));
    }

    void hoverExchange_data() {
        QTest::addColumn<QString>("normal");
        QTest::addColumn<QString>("hover");
        QTest::addColumn<QPoint>("background"); // where the pointer goes next
        QTest::newRow("Dodawanie to the page") << "Image1"
                                               << "dodawanie" << QPoint(60, 200);
        QTest::newRow("Odejmowanie to the face") << "Image2"
                                                 << "odejmowanie" << QPoint(430, 150);
        QTest::newRow("Mnożenie") << "Image3"
                                  << "mnozenie" << QPoint(60, 200);
        QTest::newRow("Dzielenie") << "Image4"
                                   << "dzielenie" << QPoint(12, 300);
        QTest::newRow("Poziom") << "Image14"
                                << "Image13" << QPoint(60, 200);
        QTest::newRow("Wyniki") << "wyn_norm"
                                << "wyn_wcis" << QPoint(60, 200);
        QTest::newRow("O programie") << "Image12"
                                     << "Image11" << QPoint(60, 200);
        // Koniec reaches below the inner page: straight onto the face.
        QTest::newRow("Koniec to the face") << "Image8"
                                            << "Image7" << QPoint(210, 480);
    }

    void hoverExchange() {
        QFETCH(QString, normal);
        QFETCH(QString, hover);
        QFETCH(QPoint, background);
        auto* normalPicture = form1->findChild<MenuPicture*>(normal);
        auto* hoverPicture = form1->findChild<PictureButton*>(hover);
        QVERIFY(normalPicture && hoverPicture);
        QCOMPARE(normalPicture->geometry(), hoverPicture->geometry());
        // The raised face lets every press through to the button beneath it.
        QVERIFY(normalPicture->testAttribute(Qt::WA_TransparentForMouseEvents));
        QCOMPARE(hoverPicture->cursor().shape(), Qt::PointingHandCursor);

        QTest::mouseMove(form1, normalPicture->geometry().center());
        QVERIFY(normalPicture->isHidden());
        // The pointer stays on the button: it keeps its hover look.
        QTest::mouseMove(form1, normalPicture->geometry().center() + QPoint(3, 1));
        QVERIFY(normalPicture->isHidden());
        QTest::mouseMove(form1, background);
        QVERIFY(normalPicture->isVisible());
        for (auto* picture : form1->findChildren<MenuPicture*>())
            QVERIFY2(picture->isVisible(), qPrintable(picture->objectName()));
    }

    void rightPressOnThePageDoesNotDrag() {
        const QPoint start = form1->pos();
        const QPoint pressAt = form1->Image9->mapToGlobal(QPoint(40, 40));
        QTest::mousePress(form1->Image9, Qt::RightButton, {}, QPoint(40, 40));
        moveTo(form1->Image9, pressAt + QPoint(30, 25));
        moveTo(form1->Image9, pressAt + QPoint(60, 5));
        QTest::mouseRelease(form1->Image9, Qt::RightButton, {},
                            form1->Image9->mapFromGlobal(pressAt + QPoint(60, 5)));
        QCOMPARE(form1->pos(), start);
        QVERIFY(!form1->dragging);
    }

    void leftDragMovesByThePointersDisplacement() {
        form1->move(200, 150);
        const QPoint start = form1->pos();
        const QPoint pressAt = form1->Image9->mapToGlobal(QPoint(5, 40));
        QTest::mousePress(form1->Image9, Qt::LeftButton, {}, QPoint(5, 40));
        QVERIFY(form1->dragging);
        QPoint pointer = pressAt;
        const QPoint steps[] = {{25, -13}, {-40, 30}, {-50, 0}, {7, 7}};
        QPoint total;
        for (const QPoint& step : steps) {
            pointer += step;
            total += step;
            // Left of the page after the third step: the moves still come to Image9.
            moveTo(form1->Image9, pointer);
            QCOMPARE(form1->pos(), start + total);
        }
        QTest::mouseRelease(form1->Image9, Qt::LeftButton, {}, form1->Image9->mapFromGlobal(pointer));
        QVERIFY(!form1->dragging);
        moveTo(form1->Image9, pointer + QPoint(10, 10));
        QCOMPARE(form1->pos(), start + total);
    }

    void pressOnTheFaceDoesNotDrag() {
        const QPoint start = form1->pos();
        QTest::mousePress(form1->Image10, Qt::LeftButton, {}, QPoint(12, 300));
        moveTo(form1->Image10, form1->Image10->mapToGlobal(QPoint(12, 300)) + QPoint(20, 20));
        QTest::mouseRelease(form1->Image10, Qt::LeftButton, {}, QPoint(25, 320));
        QCOMPARE(form1->pos(), start);
    }

    void badMaskIsReportedAndTheMenuShowsUnshaped_data() {
        QTest::addColumn<QByteArray>("content"); // empty with "missing" means no file
        QTest::addColumn<bool>("missing");
        QTest::addColumn<QString>("message");
        QTest::newRow("missing") << QByteArray() << true
                                 << "Cannot open file \"%1\". " + cyfrolia::systemErrorText(ENOENT) + ".";
        QTest::newRow("empty") << QByteArray() << false << "Bitmap image is not valid.";
        QTest::newRow("png") << QByteArray::fromHex("89504e470d0a1a0a0000000d4948445200000001") << false
                             << "Bitmap image is not valid.";
        QTest::newRow("huge header") << QByteArray::fromHex(
                                            "424d000000000000000036000000280000a0860100a0860100010018")
                                     << false << "Bitmap image is not valid.";
    }

    void badMaskIsReportedAndTheMenuShowsUnshaped() {
        QFETCH(QByteArray, content);
        QFETCH(bool, missing);
        QFETCH(QString, message);
        const QString path = m_dir.filePath(QStringLiteral("bad.bmp"));
        QFile::remove(path);
        if (!missing) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(content);
        }
        form1->setMaskFile(path);
        QCOMPARE(reshow(), message.contains(QLatin1String("%1")) ? message.arg(path) : message);
        QVERIFY(form1->isVisible());
        QVERIFY(form1->mask().isEmpty());
        QCOMPARE(form1->size(), QSize(446, 495));
        QVERIFY(form1->Image10->isVisible());

        // A good mask again shapes the menu at the next showing.
        form1->setMaskFile(writeMask(QStringLiteral("forma.bmp"), framedMask()));
        QCOMPARE(reshow(), QString());
        QCOMPARE(form1->mask(), QRegion(10, 10, 426, 475));
    }

    void allBlackMaskLeavesNothingToClick() {
        QImage black(446, 495, QImage::Format_RGB32);
        black.fill(Qt::black);
        form1->setMaskFile(writeMask(QStringLiteral("black.bmp"), black));
        QCOMPARE(reshow(), QString());
        QVERIFY(!form1->mask().isEmpty());
        QVERIFY(form1->mask().intersected(form1->rect()).isEmpty());
        form1->setMaskFile(writeMask(QStringLiteral("forma.bmp"), framedMask()));
        reshow();
    }

    // The shipped outline cuts the menu along its pixels.
    void shippedOutlineShapesTheMenuLikeItsPixels() {
        const QString path = QStringLiteral(CYFROLIA_ASSETS_DIR "/forma.bmp");
        form1->setMaskFile(path);
        QCOMPARE(reshow(), QString());
        const QRegion expected = naiveRegion(QImage(path));
        QVERIFY(!expected.isEmpty());
        QVERIFY((form1->mask() ^ expected).isEmpty());
        form1->setMaskFile(writeMask(QStringLiteral("forma.bmp"), framedMask()));
        reshow();
    }

    void maskOfAnotherSize_data() {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QRegion>("expected"); // within the window
        QTest::newRow("larger") << QSize(600, 700) << QRegion(0, 0, 446, 495);
        QTest::newRow("smaller") << QSize(100, 50) << QRegion(0, 0, 100, 50);
        QTest::newRow("one pixel") << QSize(1, 1) << QRegion(0, 0, 1, 1);
    }

    // Rows and columns beyond the window change nothing; window parts beyond the mask go.
    void maskOfAnotherSize() {
        QFETCH(QSize, size);
        QFETCH(QRegion, expected);
        QImage white(size, QImage::Format_RGB32);
        white.fill(Qt::white);
        form1->setMaskFile(writeMask(QStringLiteral("other.bmp"), white));
        QCOMPARE(reshow(), QString());
        QVERIFY((form1->mask().intersected(form1->rect()) ^ expected).isEmpty());
        QCOMPARE(form1->size(), QSize(446, 495));
        form1->setMaskFile(writeMask(QStringLiteral("forma.bmp"), framedMask()));
        reshow();
    }
};

QTEST_MAIN(TestMainMenu)
#include "tst_main_menu.moc"
