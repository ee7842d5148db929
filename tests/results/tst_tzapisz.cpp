#include "common/class_file.h"
#include "common/cp1250.h"
#include "common/results_file.h"
#include "results/tzapisz.h"
#include "support/modal_driver.h"

#include <QClipboard>
#include <QFile>
#include <QTableView>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <memory>

// Types text the way a keyboard layout delivers it: one key event per character, whatever the
// character (QTest::keyClicks only knows ASCII).
static void typeText(QWidget* widget, const QString& text) {
    for (qsizetype i = 0; i < text.size(); ++i) {
        const qsizetype length = text.at(i).isHighSurrogate() ? 2 : 1;
        const QString character = text.mid(i, length);
        const Qt::Key key = character == QLatin1String("\t") ? Qt::Key_Tab : Qt::Key_unknown;
        QTest::sendKeyEvent(QTest::Click, widget, key, character, Qt::NoModifier);
        i += length - 1;
    }
}

// Another program holding a lock file's kernel lock until it is killed, at the latest when the
// test ends.
class LockHolder {
public:
    explicit LockHolder(const QByteArray& path) {
        int ready[2];
        if (::pipe(ready) != 0)
            return;
        m_pid = ::fork();
        if (m_pid == 0) {
            const int fd = ::open(path.constData(), O_RDWR | O_CREAT, 0600);
            if (fd < 0 || ::lockf(fd, F_LOCK, 0) != 0 || ::write(ready[1], "l", 1) != 1)
                ::_exit(2);
            for (;;)
                ::pause();
        }
        char c = 0;
        m_holds = m_pid > 0 && ::read(ready[0], &c, 1) == 1;
        ::close(ready[0]);
        ::close(ready[1]);
    }
    ~LockHolder() { kill(); }
    bool holds() const { return m_holds; }
    void kill() {
        if (m_pid > 0) {
            ::kill(m_pid, SIGKILL);
            ::waitpid(m_pid, nullptr, 0);
        }
        m_pid = -1;
    }

private:
    pid_t m_pid = -1;
    bool m_holds = false;
};

class TestTzapisz : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void opensWithClassAndGrade();
    void nameCheck_data();
    void nameCheck();
    void noClassDoesNothing_data();
    void noClassDoesNothing();
    void savesOneLine_data();
    void savesOneLine();
    void anulujWritesNothing();
    void enterAndEscapePressNoButton_data();
    void enterAndEscapePressNoButton();
    void unreadableFileKeepsTheWindow();
    void dateFollowsTheCalendar();
    void saveWaitsForAnotherWithoutBlocking();
    void calendarFitsItsArea_data();
    void calendarFitsItsArea();
    void namesRefuseWhatTheFileCannotHold_data();
    void namesRefuseWhatTheFileCannotHold();
    void pasteIsFilteredAndCut();

private:
    QByteArray file(const QString& schoolClass) const;
    void open(const QString& schoolClass, const QString& grade = QStringLiteral("5"));
    QMap<QString, QByteArray> allFiles() const;

    void makeWindow();

    std::unique_ptr<Tzapisz> m_window;
    QWidget m_exerciseWindow; // the owner it is shown beside
    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestTzapisz::makeWindow() {
    m_window.reset();
    m_window = std::make_unique<Tzapisz>();
    zapisz = m_window.get();
}

void TestTzapisz::init() {
    makeWindow();
    m_dir = std::make_unique<QTemporaryDir>();
    for (const QString& k : cyfrolia::schoolClasses()) {
        QFile f(m_dir->filePath(cyfrolia::resultsFileName(k)));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("Ola Kot. Ocena: 3. Dnia: 2007-01-01\r\n");
    }
    zapisz->setResultsFolder(m_dir->path() + QLatin1Char('/'));
}

void TestTzapisz::cleanup() {
    m_window.reset();
    zapisz = nullptr;
    m_dir.reset();
}

QByteArray TestTzapisz::file(const QString& schoolClass) const {
    QFile f(m_dir->filePath(cyfrolia::resultsFileName(schoolClass)));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

QMap<QString, QByteArray> TestTzapisz::allFiles() const {
    QMap<QString, QByteArray> files;
    for (const QString& k : cyfrolia::schoolClasses())
        files.insert(k, file(k));
    return files;
}

void TestTzapisz::open(const QString& schoolClass, const QString& grade) {
    zapisz->showResult(&m_exerciseWindow, schoolClass, grade);
}

void TestTzapisz::opensWithClassAndGrade() {
    zapisz->imie->setText(QStringLiteral("stare"));
    zapisz->nazwisko->setText(QStringLiteral("imię"));
    zapisz->calendar()->setSelectedDate(QDate(2010, 5, 3));
    const QString date = zapisz->data->toPlainText();
    open(QStringLiteral("IV"), QStringLiteral("2"));
    QVERIFY(zapisz->isVisible());
    QCOMPARE(zapisz->klasa->toPlainText(), QStringLiteral("IV"));
    QCOMPARE(zapisz->ocena->toPlainText(), QStringLiteral("2"));
    QCOMPARE(zapisz->imie->text(), QString());
    QCOMPARE(zapisz->nazwisko->text(), QString());
    QCOMPARE(zapisz->focusWidget(), zapisz->imie);
    QCOMPARE(zapisz->data->toPlainText(), date); // the date is the calendar's, untouched
}

void TestTzapisz::nameCheck_data() {
    QTest::addColumn<QString>("imie");
    QTest::addColumn<QString>("nazwisko");
    QTest::newRow("both empty") << QString() << QString();
    QTest::newRow("last name empty") << QStringLiteral("Ala") << QString();
    QTest::newRow("first name empty") << QString() << QStringLiteral("Nowak");
}

void TestTzapisz::nameCheck() {
    QFETCH(QString, imie);
    QFETCH(QString, nazwisko);
    const auto before = allFiles();
    open(QStringLiteral("I"));
    zapisz->imie->setText(imie);
    zapisz->nazwisko->setText(nazwisko);
    zapisz->nazwisko->setFocus();
    ModalDriver watcher;
    QTest::mouseClick(zapisz->zapisz, Qt::LeftButton);
    QCOMPARE(watcher.seen().size(), 1);
    const auto& box = watcher.seen().first();
    QCOMPARE(box.text, QStringLiteral("Wpisz swoje imię i nazwisko!!!"));
    QCOMPARE(box.title, QStringLiteral("Wpisz imię!!!"));
    QCOMPARE(box.icon, QMessageBox::NoIcon);
    QCOMPARE(box.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    QCOMPARE(zapisz->focusWidget(), zapisz->imie);
    QVERIFY(zapisz->isVisible());
    QCOMPARE(allFiles(), before);
}

void TestTzapisz::noClassDoesNothing_data() {
    QTest::addColumn<QString>("klasa");
    QTest::newRow("none chosen") << QString();
    QTest::newRow("lower case") << QStringLiteral("i");
    QTest::newRow("two lines") << QStringLiteral("I\nII");
    QTest::newRow("trailing blank") << QStringLiteral("II ");
    QTest::newRow("beyond VI") << QStringLiteral("VII");
}

void TestTzapisz::noClassDoesNothing() {
    QFETCH(QString, klasa);
    const auto before = allFiles();
    open(klasa);
    zapisz->imie->setText(QStringLiteral("Ala"));
    zapisz->nazwisko->setText(QStringLiteral("Nowak"));
    ModalDriver watcher;
    QTest::mouseClick(zapisz->zapisz, Qt::LeftButton);
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
    QVERIFY(watcher.seen().isEmpty());
    QVERIFY(zapisz->isVisible());
    QCOMPARE(allFiles(), before);
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files).size(), 6);
}

void TestTzapisz::savesOneLine_data() {
    QTest::addColumn<QString>("klasa");
    QTest::addColumn<QString>("imie");
    QTest::addColumn<QString>("nazwisko");
    QTest::addColumn<QByteArray>("names"); // as they must land in the file
    QTest::newRow("I, Polish letters") << "I" << QStringLiteral("Łucja") << QStringLiteral("Żółć")
                                       << QByteArray("\xA3ucja \xAF\xF3\xB3\xE6");
    QTest::newRow("III, three blanks")
        << "III" << QStringLiteral("   ") << QStringLiteral("B") << QByteArray("    B");
    QTest::newRow("V, fifteen each") << "V" << QStringLiteral("Abcdefghijklmnó")
                                     << QStringLiteral("Zzzzzzzzzzzzzzś")
                                     << QByteArray("Abcdefghijklmn\xF3 Zzzzzzzzzzzzzz\x9C");
    QTest::newRow("VI, label inside")
        << "VI" << QStringLiteral(". Ocena: ") << QStringLiteral("X") << QByteArray(". Ocena:  X");
}

void TestTzapisz::savesOneLine() {
    QFETCH(QString, klasa);
    QFETCH(QString, imie);
    QFETCH(QString, nazwisko);
    QFETCH(QByteArray, names);
    auto expected = allFiles();
    open(klasa, QStringLiteral("6"));
    typeText(zapisz->imie, imie);
    typeText(zapisz->nazwisko, nazwisko);
    QCOMPARE(zapisz->imie->text(), imie);
    QTest::mouseClick(zapisz->zapisz, Qt::LeftButton);
    QVERIFY(!zapisz->isVisible());
    // Not a click on the calendar since start-up: today.
    const QByteArray date = cyfrolia::cp1250::encode(cyfrolia::shortDateText(QDate::currentDate())).value();
    expected[klasa] += names + ". Ocena: 6. Dnia: " + date + "\r\n";
    QCOMPARE(allFiles(), expected);
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files).size(), 6);
}

void TestTzapisz::anulujWritesNothing() {
    const auto before = allFiles();
    open(QStringLiteral("II"));
    typeText(zapisz->imie, QStringLiteral("Ala"));
    typeText(zapisz->nazwisko, QStringLiteral("Nowak"));
    QTest::mouseClick(zapisz->anuluj, Qt::LeftButton);
    QVERIFY(!zapisz->isVisible());
    QCOMPARE(allFiles(), before);
    open(QStringLiteral("II"));
    QCOMPARE(zapisz->imie->text(), QString());
    QCOMPARE(zapisz->nazwisko->text(), QString());
}

void TestTzapisz::enterAndEscapePressNoButton_data() {
    QTest::addColumn<int>("key");
    QTest::newRow("Return") << int(Qt::Key_Return);
    QTest::newRow("Enter") << int(Qt::Key_Enter);
    QTest::newRow("Escape") << int(Qt::Key_Escape);
}

void TestTzapisz::enterAndEscapePressNoButton() {
    QFETCH(int, key);
    const auto before = allFiles();
    open(QStringLiteral("I"));
    typeText(zapisz->imie, QStringLiteral("Ala"));
    typeText(zapisz->nazwisko, QStringLiteral("Nowak"));
    QTest::keyClick(zapisz->nazwisko, Qt::Key(key));
    QTest::keyClick(zapisz->zapisz, Qt::Key(key));
    QVERIFY(zapisz->isVisible());
    QCOMPARE(allFiles(), before);
}

void TestTzapisz::unreadableFileKeepsTheWindow() {
    QVERIFY(QFile::remove(m_dir->filePath(QStringLiteral("wyniki_kl_IV.txt"))));
    open(QStringLiteral("IV"));
    zapisz->imie->setText(QStringLiteral("Ala"));
    zapisz->nazwisko->setText(QStringLiteral("Nowak"));
    ModalDriver watcher;
    QTest::mouseClick(zapisz->zapisz, Qt::LeftButton);
    QCOMPARE(watcher.seen().size(), 1);
    const auto& box = watcher.seen().first();
    QCOMPARE(box.objectName, QStringLiteral("errorDialog"));
    QCOMPARE(box.title, QStringLiteral("Cyfrolia 1.0"));
    QVERIFY2(box.text.startsWith(QStringLiteral("Cannot open file \"%1\". ")
                                     .arg(m_dir->filePath(QStringLiteral("wyniki_kl_IV.txt")))),
             qPrintable(box.text));
    QVERIFY(box.text.endsWith(QLatin1Char('.')));
    QVERIFY(zapisz->isVisible());
    QCOMPARE(zapisz->imie->text(), QStringLiteral("Ala"));
    // Over: the child may try again or cancel.
    QVERIFY(zapisz->zapisz->isEnabled() && zapisz->anuluj->isEnabled());
    QVERIFY(!zapisz->imie->isReadOnly() && !zapisz->nazwisko->isReadOnly());
    QVERIFY(!QApplication::overrideCursor());
    QVERIFY(!QFile::exists(m_dir->filePath(QStringLiteral("wyniki_kl_IV.txt"))));
}

void TestTzapisz::dateFollowsTheCalendar() {
    const QDate today = QDate::currentDate();
    QVERIFY(!zapisz->date1); // made at the first showing
    QCOMPARE(zapisz->data->toPlainText(), cyfrolia::shortDateText(today));
    open(QStringLiteral("I"));
    QCOMPARE(zapisz->date1->selectedDate(), today);
    zapisz->date1->setCurrentPage(today.year() - 1, today.month());
    auto* view = zapisz->date1->findChild<QTableView*>();
    QVERIFY(view);
    // A day cell in the middle of the month grid.
    const QModelIndex cell = view->model()->index(4, 3);
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(cell).center());
    const QDate chosen = zapisz->date1->selectedDate();
    QVERIFY(chosen.year() < today.year());
    QCOMPARE(zapisz->data->toPlainText(), cyfrolia::shortDateText(chosen));
    // The date stays for the next opening.
    zapisz->hide();
    open(QStringLiteral("I"));
    QCOMPARE(zapisz->data->toPlainText(), cyfrolia::shortDateText(chosen));
}

// Another program holds the class's lock: the click returns at once and the window shows the
// save under way (the buttons off, the names read-only, the busy pointer) and stays open until
// it ends; the save completes by itself once the other is gone, and the window closes then.
void TestTzapisz::saveWaitsForAnotherWithoutBlocking() {
    open(QStringLiteral("II"));
    zapisz->imie->setText(QStringLiteral("Ala"));
    zapisz->nazwisko->setText(QStringLiteral("Nowak"));
    const QByteArray before = allFiles().value(QStringLiteral("II"));
    const QByteArray lock =
        QFile::encodeName(m_dir->path()) + '/' + cyfrolia::classfile::lockName("wyniki_kl_II.txt").c_str();
    LockHolder holder(lock);
    QVERIFY(holder.holds());

    QTest::mouseClick(zapisz->zapisz, Qt::LeftButton);
    QVERIFY(zapisz->isVisible());
    QCOMPARE(allFiles().value(QStringLiteral("II")), before);
    QVERIFY(!zapisz->zapisz->isEnabled());
    QVERIFY(!zapisz->anuluj->isEnabled());
    QVERIFY(QApplication::overrideCursor());
    QCOMPARE(QApplication::overrideCursor()->shape(), Qt::BusyCursor);
    // The window still answers, but what is saved stays as it was clicked, and it does not close.
    typeText(zapisz->imie, QStringLiteral("x"));
    QCOMPARE(zapisz->imie->text(), QStringLiteral("Ala"));
    QVERIFY(zapisz->imie->isReadOnly() && zapisz->nazwisko->isReadOnly());
    zapisz->close();
    QVERIFY(zapisz->isVisible());

    holder.kill();
    QTRY_VERIFY(!zapisz->isVisible());
    QVERIFY(!QApplication::overrideCursor());
    QVERIFY(allFiles()
                .value(QStringLiteral("II"))
                .endsWith("Ala Nowak. Ocena: 5. Dnia: " +
                          cyfrolia::cp1250::encode(zapisz->data->toPlainText()).value() + "\r\n"));
    // The next opening is an ordinary one.
    open(QStringLiteral("II"));
    QVERIFY(zapisz->zapisz->isEnabled() && !zapisz->imie->isReadOnly());
}

void TestTzapisz::calendarFitsItsArea_data() {
    QTest::addColumn<QLocale>("locale");
    QTest::newRow("Polish") << QLocale(QLocale::Polish, QLocale::Poland);
    QTest::newRow("English") << QLocale(QLocale::English, QLocale::UnitedStates);
}

void TestTzapisz::calendarFitsItsArea() {
    QFETCH(QLocale, locale);
    QLocale::setDefault(locale);
    makeWindow();
    QLocale::setDefault(QLocale::system());
    open(QStringLiteral("I"));
    for (int month = 1; month <= 12; ++month) {
        zapisz->date1->setCurrentPage(2007, month);
        QCOMPARE(zapisz->date1->geometry(), QRect(56, 272, 197, 153));
        QVERIFY(zapisz->rect().contains(zapisz->date1->geometry()));
        for (const char* arrow : {"qt_calendar_prevmonth", "qt_calendar_nextmonth"}) {
            auto* button = zapisz->date1->findChild<QWidget*>(QLatin1String(arrow));
            QVERIFY(button);
            const QRect at(button->mapTo(zapisz->date1, QPoint(0, 0)), button->size());
            QVERIFY2(zapisz->date1->rect().contains(at), arrow);
        }
        auto* view = zapisz->date1->findChild<QTableView*>();
        QVERIFY(view);
        // Row 0 holds the day names; a cell keeps 3 pixels free on either side of its text.
        const QFontMetrics header(zapisz->date1->headerTextFormat().font());
        for (int column = 0; column < 7; ++column) {
            const QString name = view->model()->index(0, column).data().toString();
            QVERIFY2(view->columnViewportPosition(column) + view->columnWidth(column) <=
                         view->viewport()->width(),
                     qPrintable(name));
            QVERIFY2(header.horizontalAdvance(name) + 6 <= view->columnWidth(column), qPrintable(name));
        }
    }
}

void TestTzapisz::namesRefuseWhatTheFileCannotHold_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("kept");
    QTest::newRow("Polish letters") << QStringLiteral("Źdźbło") << QStringLiteral("Źdźbło");
    QTest::newRow("Cyrillic") << QStringLiteral("AЯB") << QStringLiteral("AB");
    QTest::newRow("emoji") << QStringLiteral("A😀B") << QStringLiteral("AB");
    QTest::newRow("n with tilde") << QStringLiteral("Nuñez") << QStringLiteral("Nuez");
    QTest::newRow("tab") << QStringLiteral("A\tB") << QStringLiteral("AB");
    QTest::newRow("sixteen") << QStringLiteral("Abcdefghijklmnop") << QStringLiteral("Abcdefghijklmno");
    QTest::newRow("blanks") << QStringLiteral("   ") << QStringLiteral("   ");
}

void TestTzapisz::namesRefuseWhatTheFileCannotHold() {
    QFETCH(QString, typed);
    QFETCH(QString, kept);
    open(QStringLiteral("I"));
    typeText(zapisz->nazwisko, typed);
    QCOMPARE(zapisz->nazwisko->text(), kept);
}

void TestTzapisz::pasteIsFilteredAndCut() {
    open(QStringLiteral("I"));
    typeText(zapisz->imie, QStringLiteral("Ala"));
    zapisz->imie->setCursorPosition(1);
    QApplication::clipboard()->setText(QStringLiteral("Żó\nłć\r\tя😀 Abcdefghijklmnop"));
    zapisz->imie->paste();
    // The paste loses what the file can't hold and then its tail; the old letters stay.
    QCOMPARE(zapisz->imie->text(), QStringLiteral("AŻółć Abcdefgla"));
    QCOMPARE(zapisz->imie->cursorPosition(), 13);
}

QTEST_MAIN(TestTzapisz)
#include "tst_tzapisz.moc"
