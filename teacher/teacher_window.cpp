#include "teacher/teacher_window.h"

#include "common/accessibility.h"
#include "common/program_folder.h"
#include "common/results_file.h"
#include "teacher/class_tabs.h"
#include "teacher/csv_export.h"
#include "teacher/print_preview.h"
#include "teacher/pupil_table.h"
#include "teacher/pupil_view.h"
#include "teacher/sort_header.h"
#include "teacher/xlsx_export.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QMessageBox>
#include <QPrinter>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QSplitter>
#include <QStatusBar>
#include <QTableView>
#include <QTextDocument>
#include <QTextStream>
#include <QToolButton>
#include <QVBoxLayout>

namespace teacher {

namespace {

QPushButton* makeButton(QWidget* parent, const char* name, const QString& text, const QString& accessible) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setAccessibleName(accessible);
    return button;
}

// Lets an item view have a current item only while it has the keyboard: a screen reader takes the
// current item for the focused one, wherever the keyboard is. The selection stays as it is. The
// item is made current once the view's own focus is told, so that it is heard after the view.
class CurrentWhileFocused : public QObject {
public:
    explicit CurrentWhileFocused(QAbstractItemView* view) : QObject(view), m_view(view) {
        view->installEventFilter(this);
    }

    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::FocusOut &&
            static_cast<QFocusEvent*>(event)->reason() != Qt::PopupFocusReason)
            m_view->selectionModel()->setCurrentIndex(QModelIndex(), QItemSelectionModel::NoUpdate);
        else if (event->type() == QEvent::FocusIn)
            QMetaObject::invokeMethod(this, &CurrentWhileFocused::makeCurrent, Qt::QueuedConnection);
        return false;
    }

private:
    // The chosen row, or the last one where none is chosen.
    void makeCurrent() {
        if (!m_view->hasFocus())
            return;
        QItemSelectionModel* selection = m_view->selectionModel();
        const QModelIndexList chosen = selection->selectedRows();
        const int rows = m_view->model()->rowCount();
        if (!chosen.isEmpty() && selection->currentIndex().row() != chosen.first().row())
            selection->setCurrentIndex(chosen.first(), QItemSelectionModel::NoUpdate);
        else if (chosen.isEmpty() && !selection->currentIndex().isValid() && rows > 0)
            selection->setCurrentIndex(m_view->model()->index(rows - 1, 0),
                                       QItemSelectionModel::ClearAndSelect);
    }

    QAbstractItemView* m_view;
};

const QString kPrintTitle = QStringLiteral("Cyfrolia — wyniki klasy %1");

} // namespace

TeacherWindow::TeacherWindow(const QString& folder, const QDate& today, QWidget* parent)
    : QMainWindow(parent), m_folder(folder), m_today(today) {
    setObjectName(QStringLiteral("teacherWindow"));
    setWindowTitle(QStringLiteral("Cyfrolia — wyniki klasy"));
    auto* central = new QWidget(this);
    setCentralWidget(central);
    createControls(central);
    createTable(central);
    createSortMenu();
    pupilView = new PupilView(central);
    new CurrentWhileFocused(pupilView->lines);
    layOut(central);
    setKeys();
    connectControls();
    fitToScreen();
    load();
}

void TeacherWindow::createControls(QWidget* central) {
    classes = new ClassTabs(central);
    classes->setObjectName(QStringLiteral("classes"));
    classes->setAccessibleName(QStringLiteral("Klasa"));
    classes->setExpanding(false);
    for (const QString& schoolClass : cyfrolia::schoolClasses())
        classes->addTab(QStringLiteral("Klasa ") + schoolClass);

    search = new QLineEdit(central);
    search->setObjectName(QStringLiteral("search"));
    search->setAccessibleName(QStringLiteral("Szukaj ucznia"));
    search->setPlaceholderText(QStringLiteral("imię lub nazwisko"));
    search->setClearButtonEnabled(true);
    for (QToolButton* clear : search->findChildren<QToolButton*>()) {
        clear->setAccessibleName(QStringLiteral("Wyczyść szukanie"));
        clear->setToolTip(clear->accessibleName());
    }
    search->installEventFilter(this);
    unread = makeButton(central, "unread", QString(), QStringLiteral("Wiersze bez oceny"));
    refresh = makeButton(central, "refresh", QStringLiteral("&Odśwież"), QStringLiteral("Odśwież"));
    refresh->setToolTip(QStringLiteral("Czyta pliki klas na nowo (F5)"));
    print = makeButton(central, "print", QStringLiteral("&Drukuj…"), QStringLiteral("Drukuj tabelę klasy"));
    print->setToolTip(QStringLiteral("Podgląd wydruku tabeli klasy (Ctrl+P)"));
    exportGrades = makeButton(central, "exportGrades", QStringLiteral("&Eksportuj…"),
                              QStringLiteral("Eksportuj oceny wszystkich klas do arkusza lub pliku CSV"));
    exportGrades->setToolTip(QStringLiteral("Arkusz kalkulacyjny (.xlsx) lub plik CSV"));

    failure = new QLabel(central);
    failure->setObjectName(QStringLiteral("failure"));
    failure->setWordWrap(true);
    failure->setTextFormat(Qt::PlainText);
    QPalette warning = failure->palette();
    warning.setColor(QPalette::WindowText, QColor(170, 0, 0));
    failure->setPalette(warning);
    counts = new QLabel(central);
    counts->setObjectName(QStringLiteral("counts"));
    announcer = new Announcer(central);
}

void TeacherWindow::createTable(QWidget* central) {
    m_table = new PupilTable(this);
    m_filter = new PupilFilter(this);
    m_filter->setSourceModel(m_table);
    pupils = new QTableView(central);
    pupils->setObjectName(QStringLiteral("pupils"));
    sortHeader = new SortHeader(pupils);
    pupils->setHorizontalHeader(sortHeader);
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
    sortHeader->setSectionResizeMode(QHeaderView::Interactive);
    sortHeader->setSectionResizeMode(PupilTable::Name, QHeaderView::Stretch);
    sortHeader->setSortIndicatorShown(true);
    for (int column = PupilTable::Count; column < PupilTable::ColumnCount; ++column) {
        const QString title = m_table->headerData(column, Qt::Horizontal, Qt::DisplayRole).toString();
        const QString widest = column == PupilTable::LastDate ? QStringLiteral("10.02 lub 2.10.2026") : title;
        sortHeader->resizeSection(column,
                                  fontMetrics().horizontalAdvance(widest + QStringLiteral("  ↑↓ +0,00")));
    }
    pupils->installEventFilter(this);
    new CurrentWhileFocused(pupils);
}

// Sorting from the keyboard too: the menu key or Shift+F10 in the table opens a menu that sorts by
// any column, a second time the other way round.
void TeacherWindow::createSortMenu() {
    sortMenu = new QMenu(QStringLiteral("Sortuj"), this);
    sortMenu->setObjectName(QStringLiteral("sortMenu"));
    for (int column = 0; column < PupilTable::ColumnCount; ++column) {
        const QString title = m_table->headerData(column, Qt::Horizontal, Qt::DisplayRole).toString();
        QAction* action = sortMenu->addAction(QStringLiteral("Sortuj według: ") + title);
        connect(action, &QAction::triggered, this, [this, column] { sortBy(column); });
    }
    pupils->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(pupils, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { popUpSortMenu(pupils->viewport()->mapToGlobal(at)); });
    auto* menuKey = new QShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F10), pupils);
    menuKey->setContext(Qt::WidgetWithChildrenShortcut);
    connect(menuKey, &QShortcut::activated, this, [this] {
        const QRect cell = pupils->visualRect(pupils->currentIndex());
        popUpSortMenu(pupils->viewport()->mapToGlobal(cell.isValid() ? cell.center() : QPoint(8, 8)));
    });
}

// With its first entry chosen, so that the keyboard, and a screen reader, are in the menu at once.
void TeacherWindow::popUpSortMenu(const QPoint& at) {
    sortMenu->popup(at);
    sortMenu->setActiveAction(sortMenu->actions().constFirst());
}

void TeacherWindow::sortBy(int column) {
    const bool again = sortHeader->sortIndicatorSection() == column &&
                       sortHeader->sortIndicatorOrder() == Qt::AscendingOrder;
    pupils->sortByColumn(column, again ? Qt::DescendingOrder : Qt::AscendingOrder);
}

void TeacherWindow::layOut(QWidget* central) {
    auto* searchLabel = new QLabel(QStringLiteral("&Szukaj ucznia:"), central);
    searchLabel->setBuddy(search);
    auto* tools = new QHBoxLayout;
    tools->addWidget(searchLabel);
    tools->addWidget(search, 1);
    tools->addSpacing(12);
    tools->addWidget(unread);
    tools->addStretch(0);
    tools->addWidget(refresh);
    tools->addWidget(print);
    tools->addWidget(exportGrades);
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
}

void TeacherWindow::setKeys() {
    // The keyboard's way round: class tabs, search, the buttons, the column titles, the table, the
    // pupil's lines.
    QWidget* const order[] = {classes,      search,     unread, refresh,         print,
                              exportGrades, sortHeader, pupils, pupilView->lines};
    for (size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);
    // Ctrl+Tab and Ctrl+Shift+Tab (Ctrl+PgDown, Ctrl+PgUp) go round the classes from anywhere. X11
    // gives Ctrl+Shift+Tab as both Ctrl+Shift+Tab and Ctrl+Backtab, other platforms as
    // Ctrl+Shift+Backtab: one of each, or the shortcut is ambiguous.
    const std::pair<QList<QKeySequence>, int> steps[] = {
        {{QKeySequence(Qt::CTRL | Qt::Key_Tab), QKeySequence(Qt::CTRL | Qt::Key_PageDown)}, 1},
        {{QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Tab),
          QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab), QKeySequence(Qt::CTRL | Qt::Key_PageUp)},
         -1}};
    for (const auto& [keys, by] : steps) {
        auto* shortcut = new QShortcut(this);
        shortcut->setKeys(keys);
        const auto step = [this, by = by] {
            classes->setCurrentIndex((classes->currentIndex() + by + classes->count()) % classes->count());
        };
        connect(shortcut, &QShortcut::activated, this, step);
        connect(shortcut, &QShortcut::activatedAmbiguously, this, step);
    }
    // F5 besides the button's own Alt+O, Ctrl+P besides Alt+D.
    connect(new QShortcut(QKeySequence::Refresh, this), &QShortcut::activated, this, &TeacherWindow::load);
    connect(new QShortcut(QKeySequence::Print, this), &QShortcut::activated, this,
            &TeacherWindow::printClick);
    connect(new QShortcut(QKeySequence::Find, this), &QShortcut::activated, this, [this] {
        search->setFocus(Qt::ShortcutFocusReason);
        search->selectAll();
    });
}

void TeacherWindow::connectControls() {
    connect(classes, &QTabBar::currentChanged, this, &TeacherWindow::showClass);
    connect(search, &QLineEdit::textChanged, this, [this](const QString& text) {
        m_filter->setSearch(text);
        selectFirstIfNone();
        showCounts();
    });
    connect(pupils->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &TeacherWindow::showSelectedPupil);
    connect(unread, &QPushButton::clicked, this, &TeacherWindow::showUnread);
    connect(refresh, &QPushButton::clicked, this, &TeacherWindow::load);
    connect(print, &QPushButton::clicked, this, &TeacherWindow::printClick);
    connect(exportGrades, &QPushButton::clicked, this, &TeacherWindow::exportClick);
}

// The window opens within the screen's room for windows at any scale, centred in it.
void TeacherWindow::fitToScreen() {
    const QRect available = screen()->availableGeometry();
    // Room for the window manager's frame, which is not known before the window is shown.
    const QSize room(available.width() - 16, available.height() - 48);
    const QSize size = QSize(1000, 720).boundedTo(room);
    resize(size);
    move(available.x() + (available.width() - size.width()) / 2,
         available.y() + (available.height() - size.height()) / 2);
}

QString TeacherWindow::resultsFolder() const {
    return m_folder.isEmpty() ? cyfrolia::programFolder() : m_folder;
}

QDate TeacherWindow::today() const {
    return m_today.isValid() ? m_today : QDate::currentDate();
}

void TeacherWindow::load() {
    m_books = readClassBooks(resultsFolder(), DateReader(), today());
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
    m_table->setPupils(pupilsOfClass(index));
    pupils->setAccessibleName(QStringLiteral("Uczniowie klasy ") + shown.schoolClass);
    failure->setText(shown.failure.isEmpty()
                         ? QString()
                         : QStringLiteral("Nie można odczytać pliku tej klasy: ") + shown.failure);
    failure->setVisible(!shown.failure.isEmpty());
    const qsizetype unreadCount = unreadLines(shown).size();
    unread->setText(QStringLiteral("&Wiersze bez oceny: %1").arg(unreadCount));
    unread->setAccessibleName(QStringLiteral("Wiersze bez oceny: %1").arg(unreadCount));
    unread->setVisible(unreadCount > 0);
    pupilView->clear();
    selectFirstIfNone();
    showCounts();
    announcer->announce(QStringLiteral("Klasa %1. %2").arg(shown.schoolClass, counts->text()));
}

void TeacherWindow::showCounts() {
    int grades = 0;
    for (int row = 0; row < m_filter->rowCount(); ++row)
        grades += m_table->pupil(m_filter->mapToSource(m_filter->index(row, 0)).row()).count();
    const int shown = m_filter->rowCount(), all = m_table->rowCount();
    counts->setText(
        shown == all
            ? QStringLiteral("Uczniów: %1, zapisanych ocen: %2.").arg(all).arg(grades)
            : QStringLiteral("Pasuje uczniów: %1 z %2, ich ocen: %3.").arg(shown).arg(all).arg(grades));
}

// The first row is chosen where none is, so that a class or a search shows a pupil at once.
void TeacherWindow::selectFirstIfNone() {
    if (pupils->selectionModel()->hasSelection() || m_filter->rowCount() == 0)
        return;
    const QModelIndex first = m_filter->index(0, PupilTable::Name);
    pupils->selectionModel()->select(first, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    if (pupils->hasFocus())
        pupils->selectionModel()->setCurrentIndex(first, QItemSelectionModel::NoUpdate);
}

void TeacherWindow::showSelectedPupil() {
    const QModelIndexList rows = pupils->selectionModel()->selectedRows();
    if (rows.isEmpty()) {
        pupilView->clear();
        return;
    }
    const int row = m_filter->mapToSource(rows.first()).row();
    pupilView->showPupil(m_books.at(shownClass()), m_table->pupil(row));
}

void TeacherWindow::openPupil() {
    if (!pupils->selectionModel()->hasSelection())
        return;
    pupilView->lines->setFocus(Qt::OtherFocusReason);
    announcer->announce(pupilView->summary->text());
}

void TeacherWindow::showUnread() {
    const ClassBook& shown = m_books.at(shownClass());
    // No pupil chosen now, so that choosing the last one again shows them again.
    pupils->selectionModel()->clearSelection();
    pupilView->showUnread(shown, unreadLines(shown));
    pupilView->lines->setFocus(Qt::OtherFocusReason);
}

bool TeacherWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress)
        return QMainWindow::eventFilter(watched, event);
    const auto* key = static_cast<QKeyEvent*>(event);
    if (watched == search) {
        // Alt with a letter is a button's mnemonic, or nothing; never typing.
        if ((key->modifiers() & (Qt::AltModifier | Qt::ControlModifier)) == Qt::AltModifier &&
            !key->text().isEmpty() && key->text().at(0).isPrint())
            return true;
        if (key->key() == Qt::Key_Down && key->modifiers() == Qt::NoModifier && m_filter->rowCount() > 0) {
            pupils->setFocus(Qt::TabFocusReason);
            return true;
        }
    } else if (watched == pupils && (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)) {
        openPupil();
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

bool TeacherWindow::printClass(QPrinter* printer) const {
    const ClassBook& shown = m_books.at(shownClass());
    QString html;
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
    document.setDefaultFont(printFont(font()));
    document.setHtml(html);
    return printPaged(document, printer, kPrintTitle.arg(shown.schoolClass),
                      QStringLiteral("Wydrukowano ") + today().toString(QStringLiteral("d.MM.yyyy")));
}

void TeacherWindow::printClick() {
    const QString schoolClass = m_books.at(shownClass()).schoolClass;
    auto* preview = new PrintPreview(
        QStringLiteral("Cyfrolia — klasa ") + schoolClass,
        QStringLiteral("wyniki klasy %1.pdf").arg(schoolClass),
        [this](QPrinter* printer) { return printClass(printer); }, this);
    preview->setAttribute(Qt::WA_DeleteOnClose);
    preview->open();
}

void TeacherWindow::exportClick() {
    const QString spreadsheet = QStringLiteral("Arkusz kalkulacyjny (*.xlsx)");
    const QString csv = QStringLiteral("Plik CSV dla skryptów (*.csv)");
    QFileDialog dialog(this, QStringLiteral("Eksport ocen wszystkich klas"),
                       QDir::home().filePath(QStringLiteral("oceny.xlsx")),
                       spreadsheet + QStringLiteral(";;") + csv);
    dialog.setObjectName(QStringLiteral("exportDialog"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("xlsx"));
    connect(&dialog, &QFileDialog::filterSelected, &dialog, [&](const QString& filter) {
        dialog.setDefaultSuffix(filter == csv ? QStringLiteral("csv") : QStringLiteral("xlsx"));
    });
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    exportTo(dialog.selectedFiles().constFirst());
}

bool TeacherWindow::exportTo(const QString& path) {
    QString errors;
    QTextStream errorStream(&errors);
    const bool csv = path.endsWith(QLatin1String(".csv"), Qt::CaseInsensitive);
    // A spreadsheet of a hundred thousand lines takes a second or two.
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const int code = csv ? exportCsv(resultsFolder(), path, today(), errorStream)
                         : exportXlsx(resultsFolder(), path, today(), errorStream);
    QApplication::restoreOverrideCursor();
    if (code != 0) {
        auto* box = new QMessageBox(QMessageBox::Warning, QStringLiteral("Eksport ocen"),
                                    QStringLiteral("Nie wszystko udało się zapisać:\n") + errors.trimmed(),
                                    QMessageBox::Ok, this);
        box->setAttribute(Qt::WA_DeleteOnClose);
        box->open();
        return false;
    }
    const QString done = QStringLiteral("Zapisano oceny wszystkich klas: ") + QDir::toNativeSeparators(path);
    statusBar()->showMessage(done);
    announcer->announce(done);
    return true;
}

} // namespace teacher
