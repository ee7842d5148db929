#pragma once

#include <QString>
#include <optional>
#include <utility>

class QFileDevice;

namespace cyfrolia {

// Why an operation failed, in the words the general error dialog shows.
struct Failed {
    QString message;
};

// What an operation that can fail gives back: its value, or why it failed. A handler stops at
// the failing step and reports the message through the one error dialog.
template <typename T> class [[nodiscard]] Result {
public:
    Result(T value) : m_value(std::move(value)) {}
    Result(Failed failed) : m_failure(std::move(failed.message)) {}

    explicit operator bool() const { return m_value.has_value(); }
    const T& value() const& { return *m_value; }
    T&& value() && { return std::move(*m_value); }
    const QString& failure() const { return m_failure; }

private:
    std::optional<T> m_value;
    QString m_failure;
};

template <> class [[nodiscard]] Result<void> {
public:
    Result() = default;
    Result(Failed failed) : m_failed(true), m_failure(std::move(failed.message)) {}

    explicit operator bool() const { return !m_failed; }
    const QString& failure() const { return m_failure; }

private:
    bool m_failed = false;
    QString m_failure;
};

// The dialog's text: a full stop is added when the message's last character sorts after
// '.', so "Bitmap image is not valid" gains one and "Gotowe!" does not.
QString errorDialogText(const QString& message);

// "Cannot open file "<path>". <reason>" and its sibling for creating; the reason loses its own
// final full stop, the dialog adds one back.
QString cannotOpenFileMessage(const QString& fullPath, const QString& reason);
QString cannotCreateFileMessage(const QString& fullPath, const QString& reason);

// The operating system's own description of why an operation on `file` failed, for the messages
// above: `error` is the errno the failing call left (cleared before it). A folder opened as a
// file is the system's "Is a directory", not Qt's phrase; Qt's text only where the system said
// nothing.
QString systemReason(const QFileDevice& file, int error);

// The operating system's own description of an error number (strerror).
QString systemErrorText(int error);

} // namespace cyfrolia
