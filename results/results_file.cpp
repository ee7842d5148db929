#include "results/results_file.h"

#include "app/failure.h"
#include "results/cp1250.h"

#include <QFile>
#include <QSaveFile>

namespace cyfrolia {

const QStringList& schoolClasses()
{
    static const QStringList classes = {QStringLiteral("I"), QStringLiteral("II"), QStringLiteral("III"),
                                        QStringLiteral("IV"), QStringLiteral("V"), QStringLiteral("VI")};
    return classes;
}

bool isSchoolClass(const QString& text)
{
    return schoolClasses().contains(text, Qt::CaseSensitive);
}

QString resultsFileName(const QString& schoolClass)
{
    return QStringLiteral("wyniki_kl_") + schoolClass + QStringLiteral(".txt");
}

QString resultsLine(const QString& imie, const QString& nazwisko, const QString& grade, const QString& date)
{
    return imie + QLatin1Char(' ') + nazwisko + QStringLiteral(". Ocena: ") + grade + QStringLiteral(". Dnia: ") + date;
}

QString shortDateText(const QDate& date, const QLocale& locale)
{
    const QString text = locale.toString(date, QLocale::ShortFormat);
    if (!text.isEmpty() && cp1250::canEncode(text))
        return text;
    return date.toString(Qt::ISODate);
}

QByteArray normaliseLineBreaks(const QByteArray& bytes)
{
    QByteArray out;
    out.reserve(bytes.size() + bytes.size() / 16 + 2);
    const char* p = bytes.constData();
    const char* const end = p + bytes.size();
    while (p < end) {
        const char c = *p++;
        if (c == '\r') {
            if (p < end && *p == '\n')
                ++p;
            out.append("\r\n", 2);
        } else if (c == '\n') {
            out.append("\r\n", 2);
        } else {
            out.append(c);
        }
    }
    return out;
}

QByteArray appendLine(const QByteArray& text, const QByteArray& line)
{
    QByteArray out;
    out.reserve(text.size() + line.size() + 4);
    out = text;
    if (text.isEmpty() || text.endsWith('\n')) {
        out += line;
        out += "\r\n";
    } else {
        out += "\r\n";
        out += line;
    }
    return out;
}

QString textForDisplay(const QByteArray& normalised)
{
    QString text;
    text.reserve(normalised.size());
    const char* p = normalised.constData();
    const char* const end = p + normalised.size();
    while (p < end) {
        const auto byte = static_cast<unsigned char>(*p++);
        if (byte == '\r' && p < end && *p == '\n') {
            ++p;
            text.append(QLatin1Char('\n'));
        } else if (byte == 0) {
            // A NUL would end the text of a text box early; show that something is there.
            text.append(QChar(cp1250::kUndefined));
        } else {
            text.append(QChar(cp1250::decode(byte)));
        }
    }
    return text;
}

QByteArray readWholeFile(const QString& fullPath)
{
    QFile file(fullPath);
    if (!file.open(QIODevice::ReadOnly))
        throw Failure(cannotOpenFileMessage(fullPath, file.errorString()));
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw Failure(cannotOpenFileMessage(fullPath, file.errorString()));
    return bytes;
}

void rewriteWholeFile(const QString& fullPath, const QByteArray& bytes, const RewriteFault& fault)
{
    QSaveFile file(fullPath);
    // Never write in place: without a writable folder for the temporary file, fail instead.
    file.setDirectWriteFallback(false);
    auto check = [&](RewriteStep step, auto&& action) {
        QString reason = fault ? fault(step) : QString();
        if (reason.isEmpty() && !action())
            reason = file.errorString();
        if (!reason.isEmpty()) {
            file.cancelWriting(); // the temporary file goes, the old file stays as it was
            throw Failure(cannotCreateFileMessage(fullPath, reason));
        }
    };
    check(RewriteStep::Create, [&] { return file.open(QIODevice::WriteOnly); });
    check(RewriteStep::Write, [&] { return file.write(bytes) == bytes.size(); });
    check(RewriteStep::Flush, [&] { return file.flush(); });
    check(RewriteStep::Rename, [&] { return file.commit(); });
}

QByteArray ResultsFiles::read(const QString& schoolClass) const
{
    return normaliseLineBreaks(readWholeFile(path(schoolClass)));
}

void ResultsFiles::write(const QString& schoolClass, const QByteArray& text) const
{
    rewriteWholeFile(path(schoolClass), text, m_fault);
}

void ResultsFiles::append(const QString& schoolClass, const QString& line) const
{
    const QByteArray text = read(schoolClass);
    const auto encoded = cp1250::encode(line);
    if (!encoded)
        throw Failure(cannotCreateFileMessage(path(schoolClass),
                                              QStringLiteral("The line holds characters that Windows-1250 cannot store")));
    write(schoolClass, appendLine(text, *encoded));
}

} // namespace cyfrolia
