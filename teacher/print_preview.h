#pragma once

#include <QDialog>

#include <functional>
#include <memory>

class QPrinter;
class QPrintPreviewWidget;
class QPushButton;
class QTextDocument;

namespace teacher {

// Prints `document` over as many pages as it takes, each with `heading` and `date` at its top and
// "Strona N z M" at its foot. The text is laid out without ligatures, so that a word in a PDF is
// found as it is typed ("Zofia", never "Zoﬁa"). False when the printer could not be written.
bool printPaged(QTextDocument& document, QPrinter* printer, const QString& heading, const QString& date);

// The same font without ligatures, for a document or a painter that prints.
QFont printFont(QFont font);

// The print preview, every action within the keyboard's reach: Ctrl+P prints (through the
// system's print dialog), Ctrl+S saves a PDF, Ctrl++ and Ctrl+- zoom, Escape closes; Tab goes round
// the pages and the buttons.
class PrintPreview : public QDialog {
    Q_OBJECT
public:
    // `paint` draws the pages on the printer it is given (false where it can't); `pdfName` is the PDF's
    // suggested name.
    PrintPreview(const QString& docName, const QString& pdfName, std::function<bool(QPrinter*)> paint,
                 QWidget* parent = nullptr);
    ~PrintPreview() override;

    void printClick();
    void pdfClick();
    // Writes the pages as a PDF to `path`; false, with the reason on screen, where it fails.
    bool saveAsPdf(const QString& path);

    QPrintPreviewWidget* preview;
    QPushButton* printButton;
    QPushButton* pdfButton;
    QPushButton* zoomInButton;
    QPushButton* zoomOutButton;
    QPushButton* closeButton;

private:
    std::unique_ptr<QPrinter> m_printer;
    std::function<bool(QPrinter*)> m_paint;
    QString m_pdfName;
};

} // namespace teacher
