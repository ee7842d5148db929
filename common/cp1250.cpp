#include "common/cp1250.h"

#include <QStringDecoder>

#include <array>

namespace cyfrolia::cp1250 {

namespace {

// Windows-1250 leaves these five bytes out. ICU's table gives them the C1 controls of the same
// number, as Windows' own converter does; here they stay undefined both ways, so that no such
// byte passes for a character or is ever written.
bool undefinedByte(unsigned char byte) {
    return byte == 0x81 || byte == 0x83 || byte == 0x88 || byte == 0x90 || byte == 0x98;
}

// The character of every byte, from Qt's converter once: decoding goes byte by byte, and the
// viewer decodes every byte of a file.
const std::array<char16_t, 256>& characters() {
    static const std::array<char16_t, 256> table = [] {
        std::array<char16_t, 256> t{};
        QByteArray bytes(256, Qt::Uninitialized);
        for (int b = 0; b < 256; ++b)
            bytes[b] = char(b);
        QStringDecoder decoder("windows-1250", QStringDecoder::Flag::Stateless);
        const QString text = decoder.isValid() ? decoder.decode(bytes) : QString();
        // A Qt without the code page keeps ASCII and stores no other letter.
        const bool known = text.size() == 256 && !decoder.hasError();
        for (int b = 0; b < 256; ++b) {
            const auto byte = static_cast<unsigned char>(b);
            t[b] = b < 0x80 ? char16_t(b) : known && !undefinedByte(byte) ? text[b].unicode() : kUndefined;
        }
        return t;
    }();
    return table;
}

} // namespace

char16_t decode(unsigned char byte) {
    return characters()[byte];
}

std::optional<unsigned char> encode(char16_t character) {
    if (character < 0x80)
        return static_cast<unsigned char>(character);
    if (character == kUndefined)
        return std::nullopt;
    const auto& table = characters();
    for (int b = 0x80; b < 256; ++b) {
        if (table[b] == character)
            return static_cast<unsigned char>(b);
    }
    return std::nullopt;
}

bool canEncode(char16_t character) {
    return encode(character).has_value();
}

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
