#include "common/results_file.h"
#include "results/twyniki.h"
#include "support/modal_driver.h"

#include <QFile>
#include <QGuiApplication>
#include <QScreen>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextLayout>
#include <QtTest>

#include <memory>

class TestTwyniki : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void loadsSixFiles();
    void unreadableFiles_data();
    void unreadableFiles();
    void longFilesArriveWhole();
    void lineWithNoBreakArrivesInPiecesThatWrap_data();
    void lineWithNoBreakArrivesInPiecesThatWrap();
    void typedTextIsReplacedAtNextShowing();
    void centredOnceThenKeepsItsPlace();
    void refusesToBeMaximised();
    void tabMovesBetweenBoxesAndOk();

private:
    void put(const QString& schoolClass, const QByteArray& content) const;
    void showAndAnswer(ModalDriver& watcher);

    std::unique_ptr<Twyniki> m_window;
    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestTwyniki::init() {
    m_window = std::make_unique<Twyniki>();
    wyniki = m_window.get();
    m_dir = std::make_unique<QTemporaryDir>();
    wyniki->setResultsFolder(m_dir->path() + QLatin1Char('/'));
}

void TestTwyniki::cleanup() {
    m_window.reset();
    wyniki = nullptr;
    m_dir.reset();
}

void TestTwyniki::put(const QString& schoolClass, const QByteArray& content) const {
    QFile f(m_dir->filePath(cyfrolia::resultsFileName(schoolClass)));
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(content);
}

void TestTwyniki::showAndAnswer(ModalDriver& watcher) {
    wyniki->show();
    QTRY_VERIFY(!wyniki->isLoading());
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
    Q_UNUSED(watcher);
}

void TestTwyniki::loadsSixFiles() {
    put(QStringLiteral("I"), "\xA3ucja \xAF\xF3\xB3\xE6. Ocena: 6. Dnia: 2007-02-08\r\n");
    put(QStringLiteral("II"), "a\nb\rc\r\nd");
    put(QStringLiteral("III"), QByteArray("x\0\x81y", 4));
    put(QStringLiteral("IV"), "");
    put(QStringLiteral("V"), QByteArray(2000, 'w'));
    put(QStringLiteral("VI"), "\xB9\xE6\xEA");
    ModalDriver watcher;
    showAndAnswer(watcher);
    QVERIFY(watcher.seen().isEmpty());
    QCOMPARE(wyniki->klasai->toPlainText(), QStringLiteral("Łucja Żółć. Ocena: 6. Dnia: 2007-02-08\n"));
    QCOMPARE(wyniki->klasaii->toPlainText(), QStringLiteral("a\nb\nc\nd"));
    QCOMPARE(wyniki->klasaiii->toPlainText(), QStringLiteral("x\uFFFD\uFFFDy"));
    QCOMPARE(wyniki->klasaiv->toPlainText(), QString());
    QCOMPARE(wyniki->klasav->toPlainText(), QString(2000, QLatin1Char('w')));
    QCOMPARE(wyniki->klasavi->toPlainText(), QStringLiteral("ąćę"));
    // The long line wraps in its box instead of scrolling sideways.
    QVERIFY(wyniki->klasav->document()->firstBlock().layout()->lineCount() > 1);
    QCOMPARE(wyniki->focusWidget(), wyniki->Button1);
}

void TestTwyniki::unreadableFiles_data() {
    QTest::addColumn<QStringList>("missing");
    QTest::newRow("III missing") << QStringList{QStringLiteral("III")};
    QTest::newRow("I and VI missing") << QStringList{QStringLiteral("I"), QStringLiteral("VI")};
}

void TestTwyniki::unreadableFiles() {
    QFETCH(QStringList, missing);
    for (int i = 0; i < 6; ++i)
        wyniki->box(i)->setPlainText(QStringLiteral("stare oceny"));
    for (const QString& k : cyfrolia::schoolClasses()) {
        if (!missing.contains(k))
            put(k, "Ala Nowak. Ocena: 5. Dnia: 2007-02-08 " + k.toLatin1() + "\r\n");
    }
    bool viewerUpAtMessage = true;
    ModalDriver watcher([&](QWidget* window) {
        viewerUpAtMessage = wyniki->isVisible();
        ModalDriver::pressOk(window);
    });
    showAndAnswer(watcher);
    QCOMPARE(watcher.seen().size(), 1);
    QVERIFY(!viewerUpAtMessage);
    const auto& box = watcher.seen().first();
    QCOMPARE(box.objectName, QStringLiteral("errorDialog"));
    QVERIFY(wyniki->isVisible());
    const QStringList lines = box.text.split(QLatin1Char('\n'));
    QCOMPARE(lines.size(), missing.size());
    for (int i = 0; i < 6; ++i) {
        const QString k = cyfrolia::schoolClasses().at(i);
        if (missing.contains(k)) {
            const QString path = m_dir->filePath(cyfrolia::resultsFileName(k));
            QVERIFY2(lines.at(missing.indexOf(k))
                         .startsWith(QStringLiteral("Cannot open file \"%1\". ").arg(path)),
                     qPrintable(box.text));
            QCOMPARE(wyniki->box(i)->toPlainText(), QString());
        } else {
            QCOMPARE(wyniki->box(i)->toPlainText(),
                     QStringLiteral("Ala Nowak. Ocena: 5. Dnia: 2007-02-08 %1\n").arg(k));
        }
    }
    QVERIFY(!QFile::exists(m_dir->filePath(cyfrolia::resultsFileName(missing.first()))));
}

void TestTwyniki::longFilesArriveWhole() {
    QByteArray many;
    QString shown;
    for (int i = 0; i < 20000; ++i) {
        many += "Ola \xA3\xF3"
                "d\x9F" +
                QByteArray::number(i) + ". Ocena: 4. Dnia: 2007-02-08\n";
        shown += QStringLiteral("Ola Łódź%1. Ocena: 4. Dnia: 2007-02-08\n").arg(i);
    }
    for (const QString& k : cyfrolia::schoolClasses())
        put(k, k == QLatin1String("IV") ? many : QByteArray("kr\xF3tki\r\n"));
    wyniki->show();
    // Shown again before the first showing finished filling: the boxes start over, nothing doubles.
    wyniki->hide();
    wyniki->show();
    QTRY_VERIFY_WITH_TIMEOUT(!wyniki->isLoading(), 60000);
    QCOMPARE(wyniki->klasaiv->toPlainText(), shown);
    QCOMPARE(wyniki->klasaiv->document()->blockCount(), 20001);
    QCOMPARE(wyniki->klasavi->toPlainText(), QStringLiteral("kr\u00F3tki\n"));
    QCOMPARE(QFile(m_dir->filePath(QStringLiteral("wyniki_kl_IV.txt"))).size(), many.size());
}

void TestTwyniki::lineWithNoBreakArrivesInPiecesThatWrap_data() {
    QTest::addColumn<QByteArray>("unit");
    QTest::addColumn<int>("longest"); // a paragraph's length, its break included
    QTest::newRow("names run together") << QByteArray("Ala Nowak. Ocena: 5. Dnia: 2007-02-08 ") << 4097;
    // With no blank to break after, wrapping is slowest: such a line is cut in shorter pieces.
    QTest::newRow("no blank at all") << QByteArray("w") << 1025;
}

// A file of one long line must not freeze the program while its box lays it out: the window is
// up with the start of it, the rest follows, and the box holds every character, in paragraphs
// short enough to lay out quickly, each wrapping at the box's width.
void TestTwyniki::lineWithNoBreakArrivesInPiecesThatWrap() {
    QFETCH(QByteArray, unit);
    QFETCH(int, longest);
    QByteArray line;
    while (line.size() < 300 * 1024)
        line += unit;
    for (const QString& k : cyfrolia::schoolClasses())
        put(k, k == QLatin1String("II") ? line : QByteArray());
    wyniki->show();
    QVERIFY(wyniki->isLoading());
    QVERIFY(!wyniki->klasaii->toPlainText().isEmpty());
    QTRY_VERIFY_WITH_TIMEOUT(!wyniki->isLoading(), 60000);

    QString shown = wyniki->klasaii->toPlainText();
    QVERIFY(wyniki->klasaii->document()->blockCount() > 1);
    shown.remove(QLatin1Char('\n'));
    QCOMPARE(shown, QString::fromLatin1(line));
    // The line's last stretch, no longer than a block, stays whole.
    const QTextBlock last = wyniki->klasaii->document()->lastBlock();
    for (QTextBlock block = wyniki->klasaii->document()->firstBlock(); block != last; block = block.next())
        QVERIFY(block.length() <= longest);
    QVERIFY(last.length() <= 4097);
    // The first paragraph wraps in the box instead of running off sideways.
    QVERIFY(wyniki->klasaii->document()->firstBlock().layout()->lineCount() > 1);
}

void TestTwyniki::typedTextIsReplacedAtNextShowing() {
    for (const QString& k : cyfrolia::schoolClasses())
        put(k, "");
    wyniki->show();
    QTest::keyClicks(wyniki->klasaii, QStringLiteral("dopisane"));
    QCOMPARE(wyniki->klasaii->toPlainText(), QStringLiteral("dopisane"));
    QTest::mouseClick(wyniki->Button1, Qt::LeftButton);
    QVERIFY(!wyniki->isVisible());
    put(QStringLiteral("II"), "nowa\r\n");
    wyniki->show();
    QCOMPARE(wyniki->klasaii->toPlainText(), QStringLiteral("nowa\n"));
    QCOMPARE(QFile(m_dir->filePath(QStringLiteral("wyniki_kl_II.txt"))).size(), 6);
}

void TestTwyniki::centredOnceThenKeepsItsPlace() {
    for (const QString& k : cyfrolia::schoolClasses())
        put(k, "");
    wyniki->show();
    // By its real frame: none on this platform (the window manager's is checked end to end).
    const QRect screen = wyniki->screen()->geometry();
    const QRect outer = wyniki->frameGeometry();
    QCOMPARE(outer.topLeft(),
             QPoint((screen.width() - outer.width()) / 2, (screen.height() - outer.height()) / 2));
    wyniki->hide();
    wyniki->move(10, 20);
    wyniki->show();
    QCOMPARE(wyniki->pos(), QPoint(10, 20));
}

void TestTwyniki::refusesToBeMaximised() {
    for (const QString& k : cyfrolia::schoolClasses())
        put(k, "");
    wyniki->show();
    wyniki->setWindowState(Qt::WindowMaximized);
    QCoreApplication::processEvents();
    QVERIFY(!(wyniki->windowState() & Qt::WindowMaximized));
    QVERIFY(!(wyniki->windowFlags() & Qt::WindowMaximizeButtonHint));
    QVERIFY(wyniki->windowFlags() & Qt::WindowMinimizeButtonHint);
}

void TestTwyniki::tabMovesBetweenBoxesAndOk() {
    for (const QString& k : cyfrolia::schoolClasses())
        put(k, "Ala Kot. Ocena: 5. Dnia: 2007-02-08\r\n");
    wyniki->show();
    QApplication::setActiveWindow(wyniki);
    QVERIFY(QTest::qWaitForWindowActive(wyniki));
    QCOMPARE(QApplication::focusWidget(), wyniki->Button1);
    const QList<QWidget*> order = {wyniki->klasai, wyniki->klasaii, wyniki->klasaiii, wyniki->klasaiv,
                                   wyniki->klasav, wyniki->klasavi, wyniki->Button1};
    for (QWidget* next : order) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), next);
    }
    for (int i = order.size() - 2; i >= 0; --i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
        QCOMPARE(QApplication::focusWidget(), order.at(i));
    }
    for (int i = 0; i < 6; ++i)
        QVERIFY(!wyniki->box(i)->toPlainText().contains(QLatin1Char('\t')));
}

QTEST_MAIN(TestTwyniki)
#include "tst_twyniki.moc"
