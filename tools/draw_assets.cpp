// Redraws the pictures that the program keeps as JPEG files, at twice their logical size:
//   draw_assets <assets folder>
#include "about/about_pictures.h"
#include "common/style.h"
#include "exercise/pictures.h"

#include <QApplication>
#include <QDir>
#include <QImage>

#include <cstdio>

int main(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: draw_assets <assets folder>\n");
        return 2;
    }
    style::installFontSubstitutes();
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    const struct {
        const char* file;
        QPixmap picture;
    } assets[] = {
        {"zapisz_swoj_wynik.jpg", exercise_pictures::drawnSaveButton(2)},
        {"about_author.jpg", about_pictures::drawnAuthorPicture(2)},
    };
    for (const auto& asset : assets) {
        const QString path = folder.filePath(QString::fromLatin1(asset.file));
        QImage image = asset.picture.toImage().convertToFormat(QImage::Format_RGB32);
        image.setDevicePixelRatio(1);
        if (!image.save(path, "JPG", 95)) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
            return 1;
        }
        std::printf("%s %dx%d\n", qPrintable(path), image.width(), image.height());
    }
    return 0;
}
