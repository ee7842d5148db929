#include "common/failure.h"

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

} // namespace cyfrolia
