#include "exercise/pictures.h"

#include <QPainter>

// First drafts of the pictures; each is drawn to its final size.
namespace exercise_pictures {

static QPixmap plainButton(const QSize& size, const QString& word)
{
    QPixmap pixmap(size);
    pixmap.fill(QColor(30, 140, 247));
    QPainter p(&pixmap);
    p.setPen(Qt::white);
    p.drawText(pixmap.rect(), Qt::AlignCenter, word);
    return pixmap;
}

QPixmap startButton() { return plainButton(QSize(104, 38), QStringLiteral("START")); }
QPixmap backButton() { return plainButton(QSize(141, 37), QStringLiteral("WSTECZ")); }
QPixmap againButton() { return plainButton(QSize(142, 37), QStringLiteral("Od nowa")); }
QPixmap saveButton() { return plainButton(QSize(234, 38), QStringLiteral("Zapisz swój wynik")); }

QPixmap minusSign()
{
    QPixmap pixmap(49, 12);
    pixmap.fill(QColor(192, 192, 192));
    QPainter(&pixmap).fillRect(0, 1, 49, 9, Qt::black);
    return pixmap;
}

QPixmap divisionSign()
{
    QPixmap pixmap(49, 43);
    pixmap.fill(QColor(166, 202, 240));
    QPainter p(&pixmap);
    p.fillRect(0, 17, 49, 9, Qt::black);
    return pixmap;
}

QIcon windowIcon(cyfrolia::Operation)
{
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    return QIcon(pixmap);
}

QCursor sqlWaitCursor()
{
    return QCursor(Qt::WaitCursor);
}

} // namespace exercise_pictures
