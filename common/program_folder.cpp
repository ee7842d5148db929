#include "common/program_folder.h"

#include <QCoreApplication>

namespace cyfrolia {

QString programFolder() {
    return QCoreApplication::applicationDirPath() + QLatin1Char('/');
}

} // namespace cyfrolia
