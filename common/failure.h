#pragma once

#include <QString>
#include <stdexcept>

namespace cyfrolia {

// A failure that ends the handler it escapes from; the application reports it in the
// general error dialog and carries on.
class Failure : public std::runtime_error {
public:
    explicit Failure(const QString& message)
        : std::runtime_error(message.toStdString()), m_message(message) {}
    const QString& message() const { return m_message; }

private:
    QString m_message;
};

// The dialog's text: a full stop is added when the message's last character sorts after
// '.', so "Bitmap image is not valid" gains one and "Gotowe!" does not.
QString errorDialogText(const QString& message);

// "Cannot open file "<path>". <reason>" and its sibling for creating; the reason loses its own
// final full stop, the dialog adds one back.
QString cannotOpenFileMessage(const QString& fullPath, const QString& reason);
QString cannotCreateFileMessage(const QString& fullPath, const QString& reason);

} // namespace cyfrolia
