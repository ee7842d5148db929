#pragma once

#include <QString>

namespace cyfrolia {

// The folder that holds the executable, with its trailing separator.
QString programFolder();

} // namespace cyfrolia
