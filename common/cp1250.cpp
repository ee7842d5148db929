#include "common/cp1250.h"

namespace cyfrolia::cp1250 {

bool canEncode(const QString& text) {
    for (QChar c : text) {
        if (!canEncode(c.unicode()))
            return false;
    }
    return true;
}

std::optional<QByteArray> encode(const QString& text) {
    QByteArray bytes;
    bytes.reserve(text.size());
    for (QChar c : text) {
        const auto byte = encode(c.unicode());
        if (!byte)
            return std::nullopt;
        bytes.append(static_cast<char>(*byte));
    }
    return bytes;
}

QString decode(const QByteArray& bytes) {
    QString text(bytes.size(), Qt::Uninitialized);
    QChar* out = text.data();
    for (char b : bytes)
        *out++ = QChar(decode(static_cast<unsigned char>(b)));
    return text;
}

} // namespace cyfrolia::cp1250
