#include "results/twyniki.h"

#include "common/error_dialog.h"
#include "common/failure.h"
#include "common/program_folder.h"
#include "common/results_file.h"
#include "common/style.h"
#include "results/results_icon.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QHideEvent>
#include <QScrollBar>
#include <QTextCursor>

#include <algorithm>

using namespace style;

Twyniki* wyniki = nullptr;

namespace {

// A box gets enough text to fill it before the window is drawn, and more at each turn of the
// event loop after, for as long as kTurnMs allows: bytes are decoded only as they go in, so long
// files neither keep the window from opening nor the program from answering.
constexpr qsizetype kFirstBytes = 4 * 1024;
constexpr qsizetype kPieceBytes = 4 * 1024;
constexpr qint64 kTurnMs = 10;

// Text boxes lay out a paragraph as a whole, in time that grows faster than its length, so a line
// longer than this is shown as several, broken after a blank where there is one near. Where there
// is none, wrapping looks for one at every row to the paragraph's end (time growing with the
// square of the length): such a stretch is broken sooner.
constexpr qsizetype kLongestBlock = 4096;
constexpr qsizetype kLongestUnbroken = 1024;

// Takes about `budget` bytes of normalised text from `from` on, whole lines where they are short,
// as the text the box shows, with the breaks the box needs in lines that are not; moves `from`
// past them.
QString takeSome(const QByteArray& bytes, qsizetype& from, qsizetype budget) {
    QString out;
    const qsizetype stop = qMin(bytes.size(), from + budget);
    qsizetype at = from;
    while (at < stop) {
        const qsizetype newline = bytes.indexOf('\n', at);
        // Normalised: every break is CR LF, and a cut never falls between the two.
        const qsizetype lineEnd = newline < 0 ? bytes.size() : newline - 1;
        if (lineEnd - at > kLongestBlock) {
            qsizetype cut = at + kLongestUnbroken;
            const qsizetype blank = bytes.lastIndexOf(' ', at + kLongestBlock - 1);
            if (blank >= at + kLongestBlock / 2)
                cut = blank + 1;
            out += cyfrolia::textForDisplay(bytes.mid(at, cut - at));
            out += QLatin1Char('\n');
            at = cut;
        } else {
            const qsizetype end = newline < 0 ? bytes.size() : newline + 1;
            out += cyfrolia::textForDisplay(bytes.mid(at, end - at));
            at = end;
        }
    }
    from = at;
    return out;
}

// A class's box: white on black, scrolled both ways, lines wrapped at its width.
QPlainTextEdit* makeResultsBox(QGroupBox* group, const QString& name, const QString& accessibleName) {
    auto* box = new QPlainTextEdit(group);
    box->setObjectName(name);
    box->setAccessibleName(accessibleName);
    box->setGeometry(8, 16, 350, 127);
    box->setFrameShape(QFrame::NoFrame);
    box->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    box->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    box->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    box->setFont(pixelFont(kSans, 11));
    // Nothing typed here is kept, so there is nothing to undo either.
    box->setUndoRedoEnabled(false);
    // Tab and Shift+Tab move on to the next box or OK rather than typing a tab.
    box->setTabChangesFocus(true);
    QPalette boxPalette = box->palette();
    boxPalette.setColor(QPalette::Base, Qt::black);
    boxPalette.setColor(QPalette::Text, Qt::white);
    box->setPalette(boxPalette);
    // The scroll bars keep the system's look.
    box->verticalScrollBar()->setPalette(QApplication::palette());
    box->horizontalScrollBar()->setPalette(QApplication::palette());
    return box;
}

} // namespace

Twyniki::Twyniki(QWidget* parent)
    : AppWindow(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                            Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint) {
    setObjectName(QStringLiteral("wyniki"));
    setWindowTitle(QStringLiteral("Oceny"));
    setWindowIcon(resultsWindowIcon());
    setAutoFillBackground(true);
    setColour(this, QPalette::Window, kMoneyGreen);
    setFont(pixelFont(kSans, 11));
    setOuterSize(789, 541);

    m_filler = new QTimer(this);
    m_filler->setInterval(0);
    connect(m_filler, &QTimer::timeout, this, &Twyniki::fillSome);

    Button1 = new QPushButton(QStringLiteral("O&K"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setAccessibleName(QStringLiteral("OK"));
    Button1->setGeometry(24, 472, 729, 25);
    connect(Button1, &QPushButton::clicked, this, &Twyniki::Button1Click);

    const struct {
        QGroupBox** group;
        QPlainTextEdit** box;
        const char* groupName;
        const char* boxName;
        const char* caption;
        QPoint at;
    } table[] = {
        {&klasa1, &klasai, "klasa1", "klasai", "Klasa I ", {16, 8}},
        {&klasa2, &klasaii, "klasa2", "klasaii", "Klasa II ", {16, 160}},
        {&klasa3, &klasaiii, "klasa3", "klasaiii", "Klasa III ", {16, 312}},
        {&klasa4, &klasaiv, "klasa4", "klasaiv", "Klasa IV ", {392, 8}},
        {&klasa5, &klasav, "klasa5", "klasav", "Klasa V ", {392, 160}},
        {&klasa6, &klasavi, "klasa6", "klasavi", "Klasa VI ", {392, 312}},
    };
    QWidget* previous = Button1;
    for (const auto& row : table) {
        auto* group = new QGroupBox(QString::fromUtf8(row.caption), this);
        group->setObjectName(QString::fromLatin1(row.groupName));
        group->setGeometry(QRect(row.at, QSize(370, 150)));
        QPlainTextEdit* box =
            makeResultsBox(group, QString::fromLatin1(row.boxName), QString::fromUtf8(row.caption).trimmed());
        *row.group = group;
        *row.box = box;
        QWidget::setTabOrder(previous, box);
        previous = box;
    }
}

QPlainTextEdit* Twyniki::box(int index) const {
    const QPlainTextEdit* const boxes[] = {klasai, klasaii, klasaiii, klasaiv, klasav, klasavi};
    return const_cast<QPlainTextEdit*>(boxes[index]);
}

QString Twyniki::resultsFolder() const {
    return m_folder.isEmpty() ? cyfrolia::programFolder() : m_folder;
}

void Twyniki::FormShow() {
    m_filler->stop();
    const cyfrolia::ResultsFiles files(resultsFolder());
    const QStringList& classes = cyfrolia::schoolClasses();
    for (int i = 0; i < classes.size(); ++i) {
        // A file that can't be read leaves its box empty rather than showing old grades as
        // current; the other classes are still read.
        Pending& pending = m_pending[i];
        pending = {};
        if (cyfrolia::Result<QByteArray> read = files.read(classes.at(i)))
            pending.bytes = std::move(read).value();
        else
            m_failures.append(cyfrolia::errorDialogText(read.failure()));
        box(i)->setPlainText(takeSome(pending.bytes, pending.done, kFirstBytes));
    }
    if (isLoading())
        m_filler->start();
}

bool Twyniki::isLoading() const {
    return std::any_of(m_pending.begin(), m_pending.end(),
                       [](const Pending& p) { return p.done < p.bytes.size(); });
}

void Twyniki::fillSome() {
    QElapsedTimer turn;
    turn.start();
    for (int i = 0; i < int(m_pending.size()); ++i) {
        Pending& pending = m_pending[i];
        if (pending.done >= pending.bytes.size())
            continue;
        QTextCursor end(box(i)->document());
        end.movePosition(QTextCursor::End);
        while (pending.done < pending.bytes.size()) {
            end.insertText(takeSome(pending.bytes, pending.done, kPieceBytes));
            if (turn.elapsed() >= kTurnMs)
                break;
        }
        if (pending.done >= pending.bytes.size())
            pending = {};
        if (turn.elapsed() >= kTurnMs)
            return;
    }
    if (!isLoading())
        m_filler->stop();
}

void Twyniki::reportFailures() {
    if (m_failures.isEmpty())
        return;
    // One dialog names every file that could not be read.
    const QString message = m_failures.join(QLatin1Char('\n'));
    m_failures.clear();
    showErrorDialog(message, parentWidget());
}

void Twyniki::Button1Click() {
    close();
}

void Twyniki::setVisible(bool visible) {
    // Centred the first time only (before the dialog would centre itself on the menu); after
    // that the window stays where it was left.
    if (visible && !m_placed) {
        centreOnScreen();
        m_placed = true;
    }
    // The files are read, and a file that can't be read is reported, before the window opens;
    // it opens all the same once the message is dismissed.
    if (visible && !isVisible()) {
        FormShow();
        reportFailures();
    }
    AppWindow::setVisible(visible);
}

void Twyniki::hideEvent(QHideEvent* event) {
    // The next showing reads everything afresh anyway; being minimised is no hiding.
    if (!event->spontaneous()) {
        m_filler->stop();
        m_pending = {};
    }
    AppWindow::hideEvent(event);
}

void Twyniki::changeEvent(QEvent* event) {
    // The window has no maximise button; a window manager that offers one anyway gets refused.
    if (event->type() == QEvent::WindowStateChange && (windowState() & Qt::WindowMaximized))
        setWindowState(windowState() & ~Qt::WindowMaximized);
    AppWindow::changeEvent(event);
}
