#include "common/style.h"

#include <QPainterPath>
#include <QRawFont>
#include <QTest>

class StyleTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { style::installFontSubstitutes(); }
    void typefacesWriteLowerCaseAndPolish_data();
    void typefacesWriteLowerCaseAndPolish();
};

void StyleTest::typefacesWriteLowerCaseAndPolish_data() {
    QTest::addColumn<QFont>("font");
    // As the windows use them.
    QTest::newRow("MS Sans Serif") << style::pixelFont(style::kSans, 19, true);
    QTest::newRow("Arial") << style::pixelFont(style::kArial, 16, true, true);
    QTest::newRow("Arial Rounded MT Bold") << style::pixelFont(style::kRounded, 80, true);
    QTest::newRow("Ravie") << style::pixelFont(style::kRavie, 16);
    QTest::newRow("ElementarzDwa") << style::pixelFont(style::kElementarz, 29, true, true);
    QTest::newRow("DigitSmall") << style::pixelFont(style::kDigitSmall, 19, true, true);
}

// A stand-in of capitals only would show "Strona domowa:" as "STRONA DOMOWA:"; one without the
// Polish letters would borrow them from another face.
void StyleTest::typefacesWriteLowerCaseAndPolish() {
    QFETCH(QFont, font);
    const QRawFont raw = QRawFont::fromFont(font);
    QVERIFY(raw.isValid());
    const auto outline = [&raw](QChar c) {
        const QList<quint32> glyphs = raw.glyphIndexesForString(QString(c));
        return glyphs.size() == 1 ? raw.pathForGlyph(glyphs.first()) : QPainterPath();
    };
    const QString letters = QStringLiteral("abcdefghijklmnoprstuwyząćęłńóśźż");
    for (const QChar lower : letters) {
        const QChar upper = lower.toUpper();
        QVERIFY2(raw.supportsCharacter(lower) && raw.supportsCharacter(upper), qPrintable(QString(lower)));
        QVERIFY2(outline(lower) != outline(upper),
                 qPrintable(raw.familyName() + QStringLiteral(": ") + lower + QStringLiteral(" looks like ") +
                            upper));
    }
}

QTEST_MAIN(StyleTest)
#include "tst_style.moc"
