#include "common/failure.h"

#include <QFileDevice>
#include <QFileInfo>

#include <cerrno>
#include <cstring>

namespace cyfrolia {

QString errorDialogText(const QString& message) {
    if (!message.isEmpty() && message.back() > QLatin1Char('.'))
        return message + QLatin1Char('.');
    return message;
}

static QString withoutFinalStop(QString reason) {
    while (reason.endsWith(QLatin1Char('.')))
        reason.chop(1);
    return reason;
}

QString cannotOpenFileMessage(const QString& fullPath, const QString& reason) {
    return QStringLiteral("Cannot open file \"%1\". %2").arg(fullPath, withoutFinalStop(reason));
}

QString cannotCreateFileMessage(const QString& fullPath, const QString& reason) {
    return QStringLiteral("Cannot create file \"%1\". %2").arg(fullPath, withoutFinalStop(reason));
}

QString systemReason(const QFileDevice& file, int error) {
    // Qt opens a folder and refuses it with a phrase of its own, leaving errno as it was.
    if (!file.fileName().isEmpty() && QFileInfo(file.fileName()).isDir())
        error = EISDIR;
    if (error != 0)
        return systemErrorText(error);
    return file.errorString();
}

QString systemErrorText(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

} // namespace cyfrolia
