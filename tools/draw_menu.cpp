// The menu's pictures drawn ahead by the build, so that the program shows its menu without loading
// a single font (common/crisp.h):
//   draw_menu <folder> <mask bitmap> <ratio>   draws them at one ratio into <folder>/form1/
//   draw_menu --list <folder>                  writes <folder>/drawn.qrc, naming every picture there
#include "common/crisp.h"
#include "common/style.h"
#include "shell/tform1.h"

#include <QApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>

#include <cstdio>

namespace {

int list(const QString& folder) {
    QStringList names;
    for (QDirIterator it(folder, {QStringLiteral("*x")}, QDir::Files, QDirIterator::Subdirectories);
         it.hasNext();)
        names << QDir(folder).relativeFilePath(it.next());
    names.sort(); // the same resource, byte for byte, from build to build
    QFile qrc(folder + QStringLiteral("/drawn.qrc"));
    if (!qrc.open(QIODevice::WriteOnly))
        return 1;
    qrc.write("<RCC>\n  <qresource prefix=\"/drawn\">\n");
    for (const QString& name : names)
        qrc.write(QStringLiteral("    <file>%1</file>\n").arg(name).toUtf8());
    qrc.write("  </qresource>\n</RCC>\n");
    return qrc.error() == QFile::NoError ? 0 : 1;
}

} // namespace

int main(int argc, char* argv[]) {
    if (argc == 3 && qstrcmp(argv[1], "--list") == 0)
        return list(QString::fromLocal8Bit(argv[2]));
    if (argc != 4) {
        std::fprintf(stderr, "usage: draw_menu <folder> <mask bitmap> <ratio> | --list <folder>\n");
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("QT_SCALE_FACTOR", argv[3]);
    QApplication app(argc, argv);
    style::installFontSubstitutes();
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    bool saved = true;
    crisp::keepDrawings([&](const QString& name, const QByteArray& picture) {
        QFile file(folder.filePath(name));
        saved = saved && folder.mkpath(QFileInfo(name).path()) && file.open(QIODevice::WriteOnly) &&
                file.write(picture) == picture.size();
    });
    Tform1 menu;
    menu.setMaskFile(QString::fromLocal8Bit(argv[2]));
    menu.setAttribute(Qt::WA_DontShowOnScreen);
    menu.show();
    return saved ? 0 : 1;
}
