#include "results/twyniki.h"

#include "common/error_dialog.h"
#include "common/failure.h"
#include "common/program_folder.h"
#include "common/style.h"
#include "results/results_file.h"
#include "results/results_icon.h"

#include <QApplication>
#include <QHideEvent>
#include <QScrollBar>
#include <QShowEvent>
#include <QTextCursor>

#include <algorithm>

using namespace style;

Twyniki* wyniki = nullptr;

namespace {

// A box gets this many lines before the window is drawn, and this many more at each turn of the
// event loop after: a file of 20,000 lines would otherwise keep the window from opening for a
// noticeable while.
constexpr int kFirstLines = 500;
constexpr int kMoreLines = 2000;

// The length of the first `lines` lines of `text` from `from`, breaks included.
qsizetype linesLength(const QString& text, qsizetype from, int lines) {
    qsizetype at = from;
    for (int i = 0; i < lines; ++i) {
        at = text.indexOf(QLatin1Char('\n'), at);
        if (at < 0)
            return text.size() - from;
        ++at;
    }
    return at - from;
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
        auto* box = new QPlainTextEdit(group);
        box->setObjectName(QString::fromLatin1(row.boxName));
        box->setAccessibleName(QString::fromUtf8(row.caption).trimmed());
        box->setAccessibleDescription(box->objectName());
        box->setGeometry(8, 16, 350, 127);
        box->setFrameShape(QFrame::NoFrame);
        box->setLineWrapMode(QPlainTextEdit::WidgetWidth);
        box->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        box->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        box->setFont(pixelFont(kSans, 11));
        // Nothing typed here is kept, so there is nothing to undo either.
        box->setUndoRedoEnabled(false);
        QPalette boxPalette = box->palette();
        boxPalette.setColor(QPalette::Base, Qt::black);
        boxPalette.setColor(QPalette::Text, Qt::white);
        box->setPalette(boxPalette);
        // The scroll bars keep the system's look.
        box->verticalScrollBar()->setPalette(QApplication::palette());
        box->horizontalScrollBar()->setPalette(QApplication::palette());
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
        try {
            pending.text = cyfrolia::textForDisplay(files.read(classes.at(i)));
        } catch (const cyfrolia::Failure& failure) {
            m_failures.append(cyfrolia::errorDialogText(failure.message()));
        }
        pending.done = linesLength(pending.text, 0, kFirstLines);
        box(i)->setPlainText(pending.text.left(pending.done));
    }
    if (isLoading())
        m_filler->start();
}

bool Twyniki::isLoading() const {
    return std::any_of(m_pending.begin(), m_pending.end(),
                       [](const Pending& p) { return p.done < p.text.size(); });
}

void Twyniki::fillSome() {
    for (int i = 0; i < int(m_pending.size()); ++i) {
        Pending& pending = m_pending[i];
        if (pending.done >= pending.text.size())
            continue;
        const qsizetype length = linesLength(pending.text, pending.done, kMoreLines);
        QTextCursor end(box(i)->document());
        end.movePosition(QTextCursor::End);
        end.insertText(pending.text.mid(pending.done, length));
        pending.done += length;
        if (pending.done >= pending.text.size())
            pending = {};
        return;
    }
    m_filler->stop();
}

void Twyniki::reportFailures() {
    if (m_failures.isEmpty())
        return;
    // One dialog names every file that could not be read.
    const QString message = m_failures.join(QLatin1Char('\n'));
    m_failures.clear();
    showErrorDialog(message, this);
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
    AppWindow::setVisible(visible);
}

void Twyniki::showEvent(QShowEvent* event) {
    if (!event->spontaneous()) {
        FormShow();
        // Reported once the window is up, so it opens all the same behind the message.
        if (!m_failures.isEmpty())
            QTimer::singleShot(0, this, &Twyniki::reportFailures);
    }
    AppWindow::showEvent(event);
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

void windows::showGradesViewer() {
    wyniki->showModal();
}
