#include "results/results_file.h"

#include "common/failure.h"
#include "results/cp1250.h"

#include <QFile>
#include <QSaveFile>

#include <cstring>

namespace cyfrolia {

const QStringList& schoolClasses() {
    static const QStringList classes = {QStringLiteral("I"),  QStringLiteral("II"), QStringLiteral("III"),
                                        QStringLiteral("IV"), QStringLiteral("V"),  QStringLiteral("VI")};
    return classes;
}

bool isSchoolClass(const QString& text) {
    return schoolClasses().contains(text, Qt::CaseSensitive);
}

QString resultsFileName(const QString& schoolClass) {
    return QStringLiteral("wyniki_kl_") + schoolClass + QStringLiteral(".txt");
}

QString resultsLine(const QString& imie, const QString& nazwisko, const QString& grade, const QString& date) {
    return imie + QLatin1Char(' ') + nazwisko + QStringLiteral(". Ocena: ") + grade +
           QStringLiteral(". Dnia: ") + date;
}

QString shortDateText(const QDate& date, const QLocale& locale) {
    const QString text = locale.toString(date, QLocale::ShortFormat);
    if (!text.isEmpty() && cp1250::canEncode(text))
        return text;
    return date.toString(Qt::ISODate);
}

namespace {

// True when every break is CR LF already; memchr keeps this quick on long files.
bool onlyCrLf(const QByteArray& bytes) {
    const char* const begin = bytes.constData();
    const char* const end = begin + bytes.size();
    for (auto* p = static_cast<const char*>(std::memchr(begin, '\n', end - begin)); p;
         p = static_cast<const char*>(std::memchr(p + 1, '\n', end - p - 1))) {
        if (p == begin || p[-1] != '\r')
            return false;
    }
    for (auto* p = static_cast<const char*>(std::memchr(begin, '\r', end - begin)); p;
         p = static_cast<const char*>(std::memchr(p + 1, '\r', end - p - 1))) {
        if (p + 1 == end || p[1] != '\n')
            return false;
    }
    return true;
}

} // namespace

QByteArray normaliseLineBreaks(const QByteArray& bytes) {
    // What this program writes is CR LF throughout already: no copy then.
    if (onlyCrLf(bytes))
        return bytes;
    QByteArray out(bytes.size() * 2, Qt::Uninitialized);
    char* o = out.data();
    const char* p = bytes.constData();
    const char* const end = bytes.constData() + bytes.size();
    while (p < end) {
        const char c = *p++;
        if (c == '\r') {
            if (p < end && *p == '\n')
                ++p;
            *o++ = '\r';
            *o++ = '\n';
        } else if (c == '\n') {
            *o++ = '\r';
            *o++ = '\n';
        } else {
            *o++ = c;
        }
    }
    out.truncate(o - out.constData());
    return out;
}

QByteArray appendedTail(const QByteArray& text, const QByteArray& line) {
    if (text.isEmpty() || text.endsWith('\n'))
        return line + "\r\n";
    return "\r\n" + line;
}

QByteArray appendLine(const QByteArray& text, const QByteArray& line) {
    return text + appendedTail(text, line);
}

QString textForDisplay(const QByteArray& normalised) {
    QString text(normalised.size(), Qt::Uninitialized);
    QChar* out = text.data();
    const char* p = normalised.constData();
    const char* const end = p + normalised.size();
    while (p < end) {
        const auto byte = static_cast<unsigned char>(*p++);
        if (byte == '\r' && p < end && *p == '\n') {
            ++p;
            *out++ = QLatin1Char('\n');
        } else if (byte == 0) {
            // A NUL would end the text of a text box early; show that something is there.
            *out++ = QChar(cp1250::kUndefined);
        } else {
            *out++ = QChar(cp1250::decode(byte));
        }
    }
    text.truncate(out - text.constData());
    return text;
}

QByteArray readWholeFile(const QString& fullPath) {
    QFile file(fullPath);
    if (!file.open(QIODevice::ReadOnly))
        throw Failure(cannotOpenFileMessage(fullPath, file.errorString()));
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw Failure(cannotOpenFileMessage(fullPath, file.errorString()));
    return bytes;
}

void rewriteWholeFile(const QString& fullPath, const QByteArrayList& pieces, const RewriteFault& fault) {
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
    check(RewriteStep::Write, [&] {
        for (const QByteArray& piece : pieces) {
            if (file.write(piece) != piece.size())
                return false;
        }
        return true;
    });
    check(RewriteStep::Flush, [&] { return file.flush(); });
    check(RewriteStep::Rename, [&] { return file.commit(); });
}

QByteArray ResultsFiles::read(const QString& schoolClass) const {
    return normaliseLineBreaks(readWholeFile(path(schoolClass)));
}

void ResultsFiles::write(const QString& schoolClass, const QByteArrayList& pieces) const {
    rewriteWholeFile(path(schoolClass), pieces, m_fault);
}

void ResultsFiles::append(const QString& schoolClass, const QString& line) const {
    const QByteArray text = read(schoolClass);
    const auto encoded = cp1250::encode(line);
    if (!encoded)
        throw Failure(cannotCreateFileMessage(
            path(schoolClass), QStringLiteral("The line holds characters that Windows-1250 cannot store")));
    // Written as two pieces: the old text is not copied to add one line to it.
    write(schoolClass, {text, appendedTail(text, *encoded)});
}

} // namespace cyfrolia
