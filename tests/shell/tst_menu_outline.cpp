// The shipped forma.bmp must cut the menu exactly along the notebook drawn on its face.
// CYFROLIA_WRITE_OUTLINE=<path> redraws the file after the outline has been changed.
#include "shell/shell_pictures.h"

#include <QImage>
#include <QPainter>
#include <QtTest>

class TestMenuOutline : public QObject {
    Q_OBJECT

private:
    static QImage outlineMask() {
        QImage mask(446, 495, QImage::Format_RGB32);
        mask.fill(Qt::black);
        QPainter p(&mask);
        p.setRenderHint(QPainter::Antialiasing, false);
        p.fillPath(shell_pictures::notebookOutline(), Qt::white);
        return mask;
    }

private slots:
    void initTestCase() {
        const QByteArray target = qgetenv("CYFROLIA_WRITE_OUTLINE");
        if (!target.isEmpty())
            QVERIFY(outlineMask()
                        .convertToFormat(QImage::Format_Mono)
                        .save(QString::fromLocal8Bit(target), "BMP"));
    }

    void shippedMaskFollowsTheFace() {
        const QImage mask =
            QImage(QStringLiteral(CYFROLIA_ASSETS_DIR "/forma.bmp")).convertToFormat(QImage::Format_RGB32);
        QCOMPARE(mask.width(), 446);
        QCOMPARE(mask.height(), 495);
        const QImage face = shell_pictures::notebookFace().toImage().convertToFormat(QImage::Format_RGB32);
        int whiteInside = 0;
        int drawnOutside = 0;
        int inside = 0;
        for (int y = 0; y < mask.height(); ++y) {
            for (int x = 0; x < mask.width(); ++x) {
                const bool in = (mask.pixel(x, y) & 0xffffff) != 0;
                const bool white = (face.pixel(x, y) & 0xffffff) == 0xffffff;
                inside += in;
                whiteInside += in && white;
                drawnOutside += !in && !white;
            }
        }
        // The notebook fills most of the window; only anti-aliased ring edges may differ.
        QVERIFY2(inside > 446 * 495 * 8 / 10, qPrintable(QString::number(inside)));
        QVERIFY2(whiteInside < 150, qPrintable(QString::number(whiteInside)));
        QVERIFY2(drawnOutside < 150, qPrintable(QString::number(drawnOutside)));
        // The corners and the space between the rings are cut away; the page stays.
        QCOMPARE(mask.pixel(0, 0) & 0xffffff, 0u);
        QCOMPARE(mask.pixel(445, 494) & 0xffffff, 0u);
        QCOMPARE(mask.pixel(44, 10) & 0xffffff, 0u);
        QVERIFY((mask.pixel(223, 250) & 0xffffff) != 0);
        QVERIFY((mask.pixel(30, 10) & 0xffffff) != 0);
    }
};

QTEST_MAIN(TestMenuOutline)
#include "tst_menu_outline.moc"
