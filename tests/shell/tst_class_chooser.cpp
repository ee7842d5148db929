#include "shell/tform7.h"
#include "support/modal_driver.h"

#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

#include <memory>

class TestClassChooser : public QObject {
    Q_OBJECT

private:
    QRadioButton* radio(int i) const {
        return form7->findChild<QRadioButton*>(QStringLiteral("RadioButton%1").arg(i));
    }

    // Shows the chooser modally and lets `inside` act on it; closes it if still open.
    static void withChooserShown(const std::function<void()>& inside) {
        driveModals([] { form7->showModal(); },
                    [&](QWidget* window) {
                        QCOMPARE(window, static_cast<QWidget*>(form7));
                        inside();
                        if (form7->isVisible())
                            form7->close();
                    });
    }

    // The pace the last OK gave: addition and subtraction, multiplication and division.
    void expectIntervals(int addition, int multiplication) const {
        QCOMPARE(m_pace, std::make_pair(addition, multiplication));
    }

    std::unique_ptr<Tform7> m_window;
    std::pair<int, int> m_pace{-1, -1};

private slots:
    void initTestCase() {
        m_window = std::make_unique<Tform7>();
        form7 = m_window.get();
        connect(form7, &Tform7::classChosen, this,
                [this](const QString& text, int addition, int multiplication) {
                    QCOMPARE(text, form7->klasa->toPlainText());
                    m_pace = {addition, multiplication};
                });
    }

    void cleanupTestCase() {
        m_window.reset();
        form7 = nullptr;
    }

    // Must run first: it sees the state of a fresh start.
    void bareOkChoosesClassOne() {
        QVERIFY(form7->klasa->toPlainText().isEmpty());
        QVERIFY(radio(1)->isChecked());
        expectIntervals(-1, -1); // no pace before the first OK
        withChooserShown([] { QTest::mouseClick(form7->BitBtn1, Qt::LeftButton); });
        QVERIFY(!form7->isVisible());
        QCOMPARE(form7->klasa->toPlainText(), QStringLiteral("I"));
        expectIntervals(300, 250);
    }

    void classTable_data() {
        QTest::addColumn<int>("button");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("addition");
        QTest::addColumn<int>("multiplication");
        QTest::newRow("VI after I") << 6 << "VI" << 100 << 100;
        QTest::newRow("II") << 2 << "II" << 275 << 225;
        QTest::newRow("III") << 3 << "III" << 250 << 200;
        QTest::newRow("IV") << 4 << "IV" << 200 << 150;
        QTest::newRow("V") << 5 << "V" << 150 << 125;
        QTest::newRow("I after V") << 1 << "I" << 300 << 250;
    }

    void classTable() {
        QFETCH(int, button);
        QFETCH(QString, text);
        QFETCH(int, addition);
        QFETCH(int, multiplication);
        withChooserShown([&] {
            QTest::mouseClick(radio(button), Qt::LeftButton, {}, QPoint(8, 12));
            QVERIFY(radio(button)->isChecked());
            QTest::mouseClick(form7->BitBtn1, Qt::LeftButton);
        });
        // The class replaces the old one: one line, nothing appended.
        QCOMPARE(form7->klasa->toPlainText(), text);
        QCOMPARE(form7->klasa->document()->blockCount(), 1);
        expectIntervals(addition, multiplication);
    }

    void closeBoxChangesNothingButTheCheckPersists() {
        withChooserShown([this] {
            QTest::mouseClick(radio(5), Qt::LeftButton, {}, QPoint(8, 12));
            form7->close(); // the close box
        });
        QCOMPARE(form7->klasa->toPlainText(), QStringLiteral("I"));
        expectIntervals(300, 250);
        bool stillChecked = false;
        withChooserShown([&] { stillChecked = radio(5)->isChecked(); });
        QVERIFY(stillChecked);
    }

    void clickHandsFocusToOk() {
        form7->show();
        QVERIFY(QTest::qWaitForWindowActive(form7));
        QTest::mouseClick(radio(3), Qt::LeftButton, {}, QPoint(8, 12));
        QVERIFY(radio(3)->isChecked());
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(form7->BitBtn1));
        form7->close();
    }

    void arrowKeyChecksAndHandsFocusToOk_data() {
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("to");
        QTest::newRow("down") << 1 << int(Qt::Key_Down) << 2;
        QTest::newRow("up") << 3 << int(Qt::Key_Up) << 2;
        QTest::newRow("right") << 2 << int(Qt::Key_Right) << 5;
    }

    void arrowKeyChecksAndHandsFocusToOk() {
        QFETCH(int, from);
        QFETCH(int, key);
        QFETCH(int, to);
        form7->show();
        QVERIFY(QTest::qWaitForWindowActive(form7));
        radio(from)->setChecked(true);
        radio(from)->setFocus();
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(radio(from)));
        QTest::keyClick(radio(from), Qt::Key(key));
        QVERIFY(radio(to)->isChecked());
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(form7->BitBtn1));
        form7->close();
    }

    void onlyTheCheckedButtonIsATabStop() {
        radio(4)->setChecked(true);
        for (int i = 1; i <= 6; ++i)
            QCOMPARE(bool(radio(i)->focusPolicy() & Qt::TabFocus), i == 4);
        form7->show();
        QVERIFY(QTest::qWaitForWindowActive(form7));
        form7->BitBtn1->setFocus();
        // Backwards from OK the chain reaches the group at its checked button.
        QTest::keyClick(form7->BitBtn1, Qt::Key_Backtab, Qt::ShiftModifier);
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(radio(4)));
        QTest::keyClick(radio(4), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(form7->BitBtn1));
        form7->close();
    }

    void enterOnARadioButtonDoesNotConfirm() {
        const QString before = form7->klasa->toPlainText();
        withChooserShown([&] {
            radio(6)->setChecked(true);
            radio(6)->setFocus();
            QTest::keyClick(radio(6), Qt::Key_Return);
            QVERIFY(form7->isVisible());
        });
        QCOMPARE(form7->klasa->toPlainText(), before);
    }

    void enterOnOkConfirms() {
        withChooserShown([this] {
            QTest::mouseClick(radio(3), Qt::LeftButton, {}, QPoint(8, 12));
            QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(form7->BitBtn1));
            QTest::keyClick(form7->BitBtn1, Qt::Key_Return);
        });
        QCOMPARE(form7->klasa->toPlainText(), QStringLiteral("III"));
    }

    void altKPressesOk() {
        withChooserShown([this] {
            QVERIFY(QTest::qWaitForWindowActive(form7));
            QTest::mouseClick(radio(2), Qt::LeftButton, {}, QPoint(8, 12));
            QTest::keyClick(form7, Qt::Key_K, Qt::AltModifier);
            // A mnemonic presses the button visibly, so the click lands a moment later.
            QTRY_VERIFY(!form7->isVisible());
        });
        QCOMPARE(form7->klasa->toPlainText(), QStringLiteral("II"));
        expectIntervals(275, 225);
    }

    void layout() {
        QCOMPARE(form7->windowTitle(), QStringLiteral("Poziom"));
        QCOMPARE(form7->size(), QSize(462 - 2 * AppWindow::kFrameSide,
                                      281 - 2 * AppWindow::kFrameSide - AppWindow::kTitleBar));
        QCOMPARE(form7->klasa->isHidden(), true);
        QCOMPARE(form7->BitBtn1->geometry(), QRect(168, 184, 81, 25));
        QCOMPARE(form7->BitBtn1->text(), QStringLiteral("O&K"));
        QCOMPARE(radio(4)->pos(), QPoint(256, 64));
        QCOMPARE(radio(3)->text(), QStringLiteral("III klasa"));
    }
};

QTEST_MAIN(TestClassChooser)
#include "tst_class_chooser.moc"
