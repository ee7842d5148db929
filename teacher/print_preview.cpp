#include "teacher/print_preview.h"

#include <QAbstractTextDocumentLayout>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QMessageBox>
#include <QPainter>
#include <QPrintDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QPushButton>
#include <QShortcut>
#include <QTextDocument>
#include <QVBoxLayout>

namespace teacher {

QFont printFont(QFont font) {
    // Shaped text joins "fi" into one glyph, which a PDF reader gives back as "ﬁ"; Polish needs no
    // shaping at all.
    font.setStyleStrategy(QFont::PreferNoShaping);
    return font;
}

bool printPaged(QTextDocument& document, QPrinter* printer, const QString& heading, const QString& date) {
    QPainter painter;
    if (!painter.begin(printer))
        return false;
    painter.setFont(printFont(document.defaultFont()));
    const QRectF page(QPointF(0, 0), printer->pageLayout().paintRectPixels(printer->resolution()).size());
    const qreal line = painter.fontMetrics().height();
    const qreal top = 2 * line, foot = 2 * line;
    const QSizeF body(page.width(), page.height() - top - foot);
    document.documentLayout()->setPaintDevice(printer);
    document.setPageSize(body);
    const int pages = document.pageCount();
    for (int n = 0; n < pages; ++n) {
        if (n > 0)
            printer->newPage();
        const QRectF head(0, 0, page.width(), line);
        painter.drawText(head, Qt::AlignLeft | Qt::AlignVCenter, heading);
        painter.drawText(head, Qt::AlignRight | Qt::AlignVCenter, date);
        painter.drawText(QRectF(0, page.height() - line, page.width(), line), Qt::AlignCenter,
                         QStringLiteral("Strona %1 z %2").arg(n + 1).arg(pages));
        painter.save();
        painter.translate(0, top - n * body.height());
        QAbstractTextDocumentLayout::PaintContext context;
        context.clip = QRectF(0, n * body.height(), body.width(), body.height());
        context.palette.setColor(QPalette::Text, Qt::black);
        painter.setClipRect(context.clip);
        document.documentLayout()->draw(&painter, context);
        painter.restore();
    }
    return painter.end();
}

namespace {

QPushButton* makeButton(QWidget* parent, const char* name, const QString& text, const QKeySequence& keys) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setAutoDefault(false);
    if (!keys.isEmpty()) {
        button->setToolTip(keys.toString(QKeySequence::NativeText));
        auto* shortcut = new QShortcut(keys, parent);
        QObject::connect(shortcut, &QShortcut::activated, button, &QPushButton::click);
    }
    return button;
}

} // namespace

PrintPreview::PrintPreview(const QString& docName, const QString& pdfName,
                           std::function<bool(QPrinter*)> paint, QWidget* parent)
    : QDialog(parent), m_printer(std::make_unique<QPrinter>(QPrinter::HighResolution)),
      m_paint(std::move(paint)), m_pdfName(pdfName) {
    setObjectName(QStringLiteral("printPreview"));
    setWindowTitle(QStringLiteral("Podgląd wydruku"));
    m_printer->setDocName(docName);
    preview = new QPrintPreviewWidget(m_printer.get(), this);
    preview->setObjectName(QStringLiteral("pages"));
    preview->setAccessibleName(QStringLiteral("Strony wydruku"));
    preview->setFocusPolicy(Qt::StrongFocus);
    connect(preview, &QPrintPreviewWidget::paintRequested, this,
            [this](QPrinter* printer) { m_paint(printer); });

    printButton = makeButton(this, "printButton", QStringLiteral("&Drukuj…"), QKeySequence::Print);
    pdfButton = makeButton(this, "pdfButton", QStringLiteral("Zapisz jako &PDF…"), QKeySequence::Save);
    zoomInButton = makeButton(this, "zoomIn", QStringLiteral("Po&większ"), QKeySequence::ZoomIn);
    zoomOutButton = makeButton(this, "zoomOut", QStringLiteral("Po&mniejsz"), QKeySequence::ZoomOut);
    closeButton = makeButton(this, "closeButton", QStringLiteral("&Zamknij"), {});
    connect(printButton, &QPushButton::clicked, this, &PrintPreview::printClick);
    connect(pdfButton, &QPushButton::clicked, this, &PrintPreview::pdfClick);
    connect(zoomInButton, &QPushButton::clicked, preview, [this] { preview->zoomIn(); });
    connect(zoomOutButton, &QPushButton::clicked, preview, [this] { preview->zoomOut(); });
    connect(closeButton, &QPushButton::clicked, this, &QDialog::reject);

    auto* buttons = new QHBoxLayout;
    for (QPushButton* b : {printButton, pdfButton, zoomInButton, zoomOutButton})
        buttons->addWidget(b);
    buttons->addStretch(1);
    buttons->addWidget(closeButton);
    auto* column = new QVBoxLayout(this);
    column->addLayout(buttons);
    column->addWidget(preview, 1);
    setTabOrder(preview, printButton);
    resize(800, 700);
}

PrintPreview::~PrintPreview() = default;

void PrintPreview::printClick() {
    auto* dialog = new QPrintDialog(m_printer.get(), this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &QDialog::accepted, this, [this] { m_paint(m_printer.get()); });
    dialog->open();
}

void PrintPreview::pdfClick() {
    auto* dialog = new QFileDialog(this, QStringLiteral("Zapisz wydruk jako PDF"),
                                   QDir::home().filePath(m_pdfName), QStringLiteral("Pliki PDF (*.pdf)"));
    dialog->setObjectName(QStringLiteral("pdfDialog"));
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setAcceptMode(QFileDialog::AcceptSave);
    dialog->setDefaultSuffix(QStringLiteral("pdf"));
    connect(dialog, &QFileDialog::fileSelected, this, &PrintPreview::saveAsPdf);
    dialog->open();
}

bool PrintPreview::saveAsPdf(const QString& path) {
    QPrinter pdf(QPrinter::HighResolution);
    pdf.setDocName(m_printer->docName());
    pdf.setPageLayout(m_printer->pageLayout());
    pdf.setOutputFormat(QPrinter::PdfFormat);
    pdf.setOutputFileName(path);
    if (!m_paint(&pdf)) {
        QMessageBox::warning(
            this, windowTitle(),
            QStringLiteral("Nie udało się zapisać pliku %1.").arg(QDir::toNativeSeparators(path)));
        return false;
    }
    return true;
}

} // namespace teacher
