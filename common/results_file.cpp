#include "common/results_file.h"

#include "common/cp1250.h"
#include "common/failure.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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

QString shortDateText(const QDate& date, const QLocale& locale) {
    const QString text = locale.toString(date, QLocale::ShortFormat);
    if (!text.isEmpty() && cp1250::canEncode(text))
        return text;
    return date.toString(Qt::ISODate);
}

QByteArray normaliseLineBreaks(const QByteArray& bytes) {
    const std::string_view view(bytes.constData(), std::size_t(bytes.size()));
    // What this program writes is CR LF throughout already: no copy then.
    if (classfile::onlyCrLf(view))
        return bytes;
    return QByteArray::fromStdString(classfile::normalised(view));
}

QByteArray appendedTail(const QByteArray& text, const QByteArray& line) {
    if (text.isEmpty() || text.endsWith('\n'))
        return line + "\r\n";
    return "\r\n" + line;
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

namespace {

std::string_view viewOf(const QByteArray& bytes) {
    return std::string_view(bytes.constData(), std::size_t(bytes.size()));
}

QString ownReason(int error) {
    switch (error) {
    case kAnotherSave:
        return QStringLiteral("Ktoś inny właśnie zapisuje wynik. Spróbuj jeszcze raz za chwilę");
    case kRefusedFile:
        return QStringLiteral("To nie jest zwykły plik z wynikami, więc program go nie zmieni. Poproś o "
                              "pomoc nauczyciela");
    case kRefusedLine:
        return QStringLiteral("Tego wpisu nie można zapisać");
    case kSaverBroken:
        return QStringLiteral("Zapisywanie przerwało się. Spróbuj jeszcze raz");
    case kTooSoon:
        return QStringLiteral(
            "Przed chwilą zapisano już twój wynik. Następny możesz zapisać za kilka sekund");
    }
    return systemErrorText(error);
}

// Whether a link in `folder` can only be root's or this user's doing: the link and the folder
// belong to one of them, and nobody else may write the folder.
bool trustedLink(const QByteArray& folder, const QByteArray& link) {
    struct stat where {};
    struct stat what {};
    auto ours = [](uid_t owner) { return owner == 0 || owner == ::geteuid(); };
    return ::stat(folder.constData(), &where) == 0 && ::lstat(link.constData(), &what) == 0 &&
           ours(where.st_uid) && ours(what.st_uid) && (where.st_mode & (S_IWGRP | S_IWOTH)) == 0;
}

class Folder {
public:
    explicit Folder(const QString& path)
        : m_fd(::open(QFile::encodeName(path).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)) {}
    ~Folder() {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Folder(const Folder&) = delete;
    Folder& operator=(const Folder&) = delete;
    int fd() const { return m_fd; }

private:
    int m_fd;
};

} // namespace

QString SaveFailure::message() const {
    const QString reason = ownReason(error);
    return step == Step::Open ? cannotOpenFileMessage(path, reason) : cannotCreateFileMessage(path, reason);
}

QByteArray SaveFailure::report() const {
    return QByteArray::fromStdString(classfile::report(SaveError{step, error}, path.toStdString()));
}

std::optional<SaveFailure> SaveFailure::fromReport(const QByteArray& report) {
    const auto read = classfile::fromReport(viewOf(report));
    if (!read)
        return std::nullopt;
    return SaveFailure{read->error.step, read->error.error, QString::fromStdString(read->path)};
}

ClassFilePlace classFilePlace(const QString& folder, const QString& fileName) {
    const QByteArray at = QFile::encodeName(folder);
    const QByteArray path = QFile::encodeName(folder + fileName);
    const QFileInfo name(folder + fileName);
    if (!name.isSymLink() || !trustedLink(at, path))
        return {folder, fileName};
    const QFileInfo target(name.symLinkTarget());
    return {target.absolutePath() + QLatin1Char('/'), target.fileName()};
}

Result<QByteArray> ResultsFiles::read(const QString& schoolClass) const {
    const ClassFilePlace place = classFilePlace(m_folder, resultsFileName(schoolClass));
    const Folder folder(place.folder);
    std::string bytes;
    const int error =
        folder.fd() < 0 ? errno
                        : classfile::readAt(folder.fd(), QFile::encodeName(place.name).toStdString(), bytes);
    if (error)
        return Failed{cannotOpenFileMessage(path(schoolClass), ownReason(error))};
    return normaliseLineBreaks(QByteArray::fromStdString(bytes));
}

std::optional<SaveFailure> ResultsFiles::save(const QString& schoolClass, const QByteArray& line,
                                              LockWait wait) const {
    const QString shown = path(schoolClass);
    const ClassFilePlace place = classFilePlace(m_folder, resultsFileName(schoolClass));
    const Folder folder(place.folder);
    if (folder.fd() < 0)
        return SaveFailure{SaveFailure::Step::Open, errno, shown};
    const auto failure = classfile::append(folder.fd(), QFile::encodeName(place.name).toStdString(),
                                           viewOf(line), SaveOptions{wait, WriteFor::User, m_fault});
    if (!failure)
        return std::nullopt;
    return SaveFailure{failure->step, failure->error, shown};
}

Result<void> ResultsFiles::append(const QString& schoolClass, const QByteArray& line) const {
    if (const auto failure = save(schoolClass, line))
        return Failed{failure->message()};
    return {};
}

} // namespace cyfrolia
