#include "common/failure.h"
#include "common/jpeg_image.h"

#include <QBuffer>
#include <QTest>

namespace {

QByteArray encoded(const QImage& image, const char* format) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format, 100);
    return bytes;
}

QImage filled(const QColor& colour) {
    QImage image(40, 30, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

QByteArray validJpeg() {
    return encoded(filled(QColor(200, 50, 20)), "JPG");
}

} // namespace

class TestJpegImage : public QObject {
    Q_OBJECT
private slots:
    void decodesAValidJpeg();
    void decodesThePicturesInTheResources();
    void badDataFails_data();
    void badDataFails();
    void missingResourceFails();
};

void TestJpegImage::decodesAValidJpeg() {
    const QByteArray bytes = validJpeg();
    QVERIFY(bytes.startsWith("\xFF\xD8"));
    const auto decoded = decodeJpeg(bytes);
    QVERIFY(decoded);
    const QImage& image = decoded.value();
    QCOMPARE(image.size(), QSize(40, 30));
    const QColor c = image.pixelColor(20, 15);
    QVERIFY2(qAbs(c.red() - 200) < 6 && qAbs(c.green() - 50) < 6 && qAbs(c.blue() - 20) < 6,
             qPrintable(c.name()));
}

void TestJpegImage::decodesThePicturesInTheResources() {
    const auto save = loadJpegResource(QStringLiteral(":/images/zapisz_swoj_wynik.jpg"));
    QVERIFY(save);
    QCOMPARE(save.value().size(), QSize(234, 38) * 2); // kept at twice the size it is shown at
}

void TestJpegImage::badDataFails_data() {
    QTest::addColumn<QByteArray>("data");
    const QByteArray valid = validJpeg();
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("garbage") << QByteArray("\x13\x37not a picture at all\x00\xff\x01", 26);
    QTest::newRow("start marker only") << QByteArray("\xFF\xD8", 2);
    QTest::newRow("cut in the header") << valid.left(40);
    QTest::newRow("cut in the picture") << valid.left(valid.size() * 2 / 3);
    QTest::newRow("PNG") << encoded(filled(Qt::blue), "PNG");
    QByteArray scrambled = valid;
    for (qsizetype i = 2; i < scrambled.size(); i += 3)
        scrambled[i] = char(0xFF);
    QTest::newRow("scrambled") << scrambled;
}

void TestJpegImage::badDataFails() {
    QFETCH(QByteArray, data);
    const auto decoded = decodeJpeg(data);
    QVERIFY(!decoded);
    QVERIFY(!decoded.failure().isEmpty());
}

void TestJpegImage::missingResourceFails() {
    const auto decoded = loadJpegResource(QStringLiteral(":/images/nothing_here.jpg"));
    QVERIFY(!decoded);
    QVERIFY(decoded.failure().contains(QStringLiteral("nothing_here.jpg")));
}

QTEST_GUILESS_MAIN(TestJpegImage)
#include "tst_jpeg_image.moc"
