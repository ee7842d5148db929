#pragma once

#include "common/code_page.h"

#include <QByteArray>
#include <QString>

#include <optional>

// Windows-1250 for whole Qt texts, character by character through the code page's own table.
namespace cyfrolia::cp1250 {

bool canEncode(const QString& text);

// The whole text, or nothing when one character can't be stored (never a substitute "?").
std::optional<QByteArray> encode(const QString& text);
QString decode(const QByteArray& bytes);

} // namespace cyfrolia::cp1250
