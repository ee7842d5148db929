#include "teacher/teacher_window.h"

#include "common/program_folder.h"
#include "common/results_file.h"
#include "teacher/csv_export.h"
#include "teacher/pupil_table.h"
#include "teacher/pupil_view.h"

#include <QAction>
#include <QDir>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPushButton>
#include <QShortcut>
#include <QSplitter>
#include <QStatusBar>
#include <QTabBar>
#include <QTableView>
#include <QTextDocument>
#include <QTextStream>
#include <QVBoxLayout>

#include <utility>

namespace teacher {

namespace {

QPushButton* makeButton(QWidget* parent, const char* name, const QString& text, const QString& accessible) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setAccessibleName(accessible);
    return button;
}

} // namespace

TeacherWindow::TeacherWindow(const QString& folder, QWidget* parent) : QMainWindow(parent), m_folder(folder) {
    setObjectName(QStringLiteral("teacherWindow"));
    setWindowTitle(QStringLiteral("Cyfrolia — wyniki klasy"));
    auto* central = new QWidget(this);
    setCentralWidget(central);

    classes = new QTabBar(central);
    classes->setObjectName(QStringLiteral("classes"));
    classes->setAccessibleName(QStringLiteral("Klasa"));
    classes->setExpanding(false);
    for (const QString& schoolClass : cyfrolia::schoolClasses())
        classes->addTab(QStringLiteral("Klasa ") + schoolClass);

    auto* searchLabel = new QLabel(QStringLiteral("&Szukaj ucznia:"), central);
    search = new QLineEdit(central);
    search->setObjectName(QStringLiteral("search"));
    search->setAccessibleName(QStringLiteral("Szukaj ucznia"));
    search->setPlaceholderText(QStringLiteral("imię lub nazwisko"));
    search->setClearButtonEnabled(true);
    searchLabel->setBuddy(search);
    unread = makeButton(central, "unread", QString(), QStringLiteral("Wiersze bez oceny"));
    refresh = makeButton(central, "refresh", QStringLiteral("&Odśwież"), QStringLiteral("Odśwież"));
    refresh->setToolTip(QStringLiteral("Czyta pliki klas na nowo (F5)"));
    print = makeButton(central, "print", QStringLiteral("&Drukuj…"), QStringLiteral("Drukuj tabelę klasy"));
    exportCsv = makeButton(central, "exportCsv", QStringLiteral("&Eksportuj do CSV…"),
                           QStringLiteral("Eksportuj oceny wszystkich klas do pliku CSV"));

    failure = new QLabel(central);
    failure->setObjectName(QStringLiteral("failure"));
    failure->setWordWrap(true);
    failure->setTextFormat(Qt::PlainText);
    QPalette warning = failure->palette();
    warning.setColor(QPalette::WindowText, QColor(170, 0, 0));
    failure->setPalette(warning);
    counts = new QLabel(central);
    counts->setObjectName(QStringLiteral("counts"));

    m_table = new PupilTable(this);
    m_filter = new PupilFilter(this);
    m_filter->setSourceModel(m_table);
    pupils = new QTableView(central);
    pupils->setObjectName(QStringLiteral("pupils"));
    pupils->setModel(m_filter);
    pupils->setSortingEnabled(true);
    pupils->sortByColumn(PupilTable::Name, Qt::AscendingOrder);
    pupils->setSelectionBehavior(QAbstractItemView::SelectRows);
    pupils->setSelectionMode(QAbstractItemView::SingleSelection);
    pupils->setEditTriggers(QAbstractItemView::NoEditTriggers);
    pupils->setAlternatingRowColors(true);
    pupils->setTabKeyNavigation(false);
    pupils->setWordWrap(false);
    pupils->verticalHeader()->hide();
    // Rows of one height, so that long classes scroll without being measured.
    pupils->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    pupils->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    QHeaderView* header = pupils->horizontalHeader();
    header->setSectionResizeMode(QHeaderView::Interactive);
    header->setSectionResizeMode(PupilTable::Name, QHeaderView::Stretch);
    header->setSortIndicatorShown(true);
    for (int column = PupilTable::Count; column < PupilTable::ColumnCount; ++column) {
        const QString title = m_table->headerData(column, Qt::Horizontal, Qt::DisplayRole).toString();
        header->resizeSection(column, fontMetrics().horizontalAdvance(title + QStringLiteral("  ↑↓ +0,00")));
    }

    // Sorting from the keyboard too: the table's context menu (the menu key, Shift+F10) sorts by
    // any column, a second time the other way round.
    pupils->setContextMenuPolicy(Qt::ActionsContextMenu);
    for (int column = 0; column < PupilTable::ColumnCount; ++column) {
        const QString title = m_table->headerData(column, Qt::Horizontal, Qt::DisplayRole).toString();
        auto* action = new QAction(QStringLiteral("Sortuj według: ") + title, pupils);
        connect(action, &QAction::triggered, this, [this, column] {
            const QHeaderView* h = pupils->horizontalHeader();
            const bool again =
                h->sortIndicatorSection() == column && h->sortIndicatorOrder() == Qt::AscendingOrder;
            pupils->sortByColumn(column, again ? Qt::DescendingOrder : Qt::AscendingOrder);
        });
        pupils->addAction(action);
    }

    pupilView = new PupilView(central);

    auto* tools = new QHBoxLayout;
    tools->addWidget(searchLabel);
    tools->addWidget(search, 1);
    tools->addSpacing(12);
    tools->addWidget(unread);
    tools->addStretch(0);
    tools->addWidget(refresh);
    tools->addWidget(print);
    tools->addWidget(exportCsv);
    auto* split = new QSplitter(Qt::Vertical, central);
    split->setObjectName(QStringLiteral("split"));
    split->setChildrenCollapsible(false);
    split->addWidget(pupils);
    split->addWidget(pupilView);
    split->setStretchFactor(0, 1);
    split->setStretchFactor(1, 1);
    auto* column = new QVBoxLayout(central);
    column->addWidget(classes);
    column->addLayout(tools);
    column->addWidget(failure);
    column->addWidget(counts);
    column->addWidget(split, 1);
    resize(1000, 720);

    // The keyboard's way round: class tabs, search, the buttons, the table, the pupil's lines.
    setTabOrder(classes, search);
    setTabOrder(search, unread);
    setTabOrder(unread, refresh);
    setTabOrder(refresh, print);
    setTabOrder(print, exportCsv);
    setTabOrder(exportCsv, pupils);
    setTabOrder(pupils, pupilView->lines);
    // Ctrl+Tab and Ctrl+Shift+Tab (Ctrl+PgDown, Ctrl+PgUp) go round the classes from anywhere.
    const std::pair<QKeySequence, int> steps[] = {{QKeySequence(QKeySequence::NextChild), 1},
                                                  {QKeySequence(QKeySequence::PreviousChild), 5},
                                                  {QKeySequence(Qt::CTRL | Qt::Key_PageDown), 1},
                                                  {QKeySequence(Qt::CTRL | Qt::Key_PageUp), 5}};
    for (const auto& step : steps) {
        const int by = step.second;
        auto* shortcut = new QShortcut(step.first, this);
        connect(shortcut, &QShortcut::activated, this,
                [this, by] { classes->setCurrentIndex((classes->currentIndex() + by) % classes->count()); });
    }
    // F5 besides the button's own Alt+O.
    auto* reread = new QShortcut(QKeySequence::Refresh, this);
    connect(reread, &QShortcut::activated, this, &TeacherWindow::load);
    auto* find = new QShortcut(QKeySequence::Find, this);
    connect(find, &QShortcut::activated, this, [this] {
        search->setFocus(Qt::ShortcutFocusReason);
        search->selectAll();
    });

    connect(classes, &QTabBar::currentChanged, this, &TeacherWindow::showClass);
    connect(search, &QLineEdit::textChanged, m_filter, &PupilFilter::setSearch);
    connect(pupils->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            &TeacherWindow::showCurrentPupil);
    connect(unread, &QPushButton::clicked, this, [this] {
        const ClassBook& shown = m_books.at(shownClass());
        // No pupil chosen now, so that choosing the last one again shows them again.
        pupils->setCurrentIndex(QModelIndex());
        pupilView->showUnread(shown, unreadLines(shown));
        pupilView->lines->setFocus(Qt::OtherFocusReason);
    });
    connect(refresh, &QPushButton::clicked, this, &TeacherWindow::load);
    connect(print, &QPushButton::clicked, this, &TeacherWindow::printClick);
    connect(exportCsv, &QPushButton::clicked, this, &TeacherWindow::exportClick);

    load();
}

QString TeacherWindow::resultsFolder() const {
    return m_folder.isEmpty() ? cyfrolia::programFolder() : m_folder;
}

void TeacherWindow::load() {
    m_books = readClassBooks(resultsFolder(), DateReader());
    m_pupils = QList<std::optional<QList<Pupil>>>(m_books.size());
    for (int i = 0; i < m_books.size(); ++i)
        classes->setTabToolTip(i, m_books.at(i).failure);
    showClass(shownClass());
}

int TeacherWindow::shownClass() const {
    return qMax(0, classes->currentIndex());
}

const QList<Pupil>& TeacherWindow::pupilsOfClass(int index) {
    std::optional<QList<Pupil>>& pupils = m_pupils[index];
    if (!pupils)
        pupils = pupilsOf(m_books.at(index));
    return *pupils;
}

void TeacherWindow::showClass(int index) {
    if (index != classes->currentIndex()) {
        classes->setCurrentIndex(index); // comes back here
        return;
    }
    const ClassBook& shown = m_books.at(index);
    const QList<Pupil>& list = pupilsOfClass(index);
    m_table->setPupils(list);
    pupils->setAccessibleName(QStringLiteral("Uczniowie klasy ") + shown.schoolClass);
    failure->setText(shown.failure.isEmpty()
                         ? QString()
                         : QStringLiteral("Nie można odczytać pliku tej klasy: ") + shown.failure);
    failure->setVisible(!shown.failure.isEmpty());
    int grades = 0;
    for (const Pupil& p : list)
        grades += p.count();
    counts->setText(QStringLiteral("Uczniów: %1, zapisanych ocen: %2.").arg(list.size()).arg(grades));
    const qsizetype unreadCount = unreadLines(shown).size();
    unread->setText(QStringLiteral("&Wiersze bez oceny: %1").arg(unreadCount));
    unread->setVisible(unreadCount > 0);
    pupilView->clear();
    if (m_filter->rowCount() > 0)
        pupils->setCurrentIndex(m_filter->index(0, PupilTable::Name));
}

void TeacherWindow::showCurrentPupil() {
    const QModelIndex current = pupils->currentIndex();
    if (!current.isValid()) {
        pupilView->clear();
        return;
    }
    const int row = m_filter->mapToSource(current).row();
    pupilView->showPupil(m_books.at(shownClass()), m_table->pupil(row));
}

void TeacherWindow::printClass(QPrinter* printer) const {
    const ClassBook& shown = m_books.at(shownClass());
    QString html = QStringLiteral("<h2>Cyfrolia — wyniki klasy %1</h2>").arg(shown.schoolClass);
    if (!search->text().trimmed().isEmpty())
        html += QStringLiteral("<p>Uczniowie, których imię lub nazwisko zawiera „%1”.</p>")
                    .arg(search->text().trimmed().toHtmlEscaped());
    html +=
        QStringLiteral("<table border=\"1\" cellspacing=\"0\" cellpadding=\"3\" width=\"100%\"><thead><tr>");
    for (int column = 0; column < PupilTable::ColumnCount; ++column)
        html += QStringLiteral("<th>") +
                m_table->headerData(column, Qt::Horizontal, Qt::DisplayRole).toString().toHtmlEscaped() +
                QStringLiteral("</th>");
    // A header row in <thead> is repeated on every page.
    html += QStringLiteral("</tr></thead>");
    for (int row = 0; row < m_filter->rowCount(); ++row) {
        html += QStringLiteral("<tr>");
        for (int column = 0; column < PupilTable::ColumnCount; ++column) {
            const QString text = m_filter->index(row, column).data().toString().toHtmlEscaped();
            html += column == PupilTable::Name
                        ? QStringLiteral("<td>") + text + QStringLiteral("</td>")
                        : QStringLiteral("<td align=\"right\">") + text + QStringLiteral("</td>");
        }
        html += QStringLiteral("</tr>");
    }
    html += QStringLiteral("</table>");
    QTextDocument document;
    document.setHtml(html);
    document.print(printer);
}

void TeacherWindow::printClick() {
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(QStringLiteral("Cyfrolia — klasa ") + m_books.at(shownClass()).schoolClass);
    QPrintPreviewDialog preview(&printer, this);
    preview.setWindowTitle(QStringLiteral("Podgląd wydruku"));
    connect(&preview, &QPrintPreviewDialog::paintRequested, this, &TeacherWindow::printClass);
    preview.exec();
}

void TeacherWindow::exportClick() {
    QFileDialog dialog(this, QStringLiteral("Eksport ocen do pliku CSV"),
                       QDir::home().filePath(QStringLiteral("oceny.csv")),
                       QStringLiteral("Pliki CSV (*.csv);;Wszystkie pliki (*)"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("csv"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    const QString path = dialog.selectedFiles().constFirst();
    QString errors;
    QTextStream errorStream(&errors);
    if (teacher::exportCsv(resultsFolder(), path, errorStream) != 0) {
        QMessageBox::warning(this, QStringLiteral("Eksport ocen"),
                             QStringLiteral("Nie wszystko udało się zapisać:\n") + errors.trimmed());
        return;
    }
    statusBar()->showMessage(QStringLiteral("Zapisano oceny wszystkich klas: ") +
                             QDir::toNativeSeparators(path));
}

} // namespace teacher
