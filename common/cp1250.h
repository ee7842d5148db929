#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

namespace cyfrolia {

// Windows-1250, the single-byte code page of the results files, through Qt's converter (ICU).
namespace cp1250 {

// What an undefined byte (0x81, 0x83, 0x88, 0x90, 0x98) decodes to.
inline constexpr char16_t kUndefined = u'\uFFFD';

// The character a byte stands for; kUndefined for the five bytes the code page leaves out.
char16_t decode(unsigned char byte);

// The byte for a character, or nothing when the code page has no place for it.
std::optional<unsigned char> encode(char16_t character);

bool canEncode(char16_t character);
bool canEncode(const QString& text);

// The whole text, or nothing when one character can't be stored (never a substitute "?").
std::optional<QByteArray> encode(const QString& text);
QString decode(const QByteArray& bytes);

} // namespace cp1250
} // namespace cyfrolia
