#include "exercise/time_bar.h"

#include <QPainter>
#include <algorithm>

TimeBar::TimeBar(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("pasek"));
    setAccessibleName(QStringLiteral("pasek"));
}

void TimeBar::setValue(int value) {
    value = std::clamp(value, 0, 100);
    if (value == m_value)
        return;
    m_value = value;
    update();
}

void TimeBar::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const QRect inner = rect().adjusted(1, 1, -1, -1);
    const int filled = inner.width() * m_value / 100;
    const QColor empty(0, 128, 0);
    const QColor full(255, 0, 0);

    p.setPen(palette().color(QPalette::WindowText));
    p.drawRect(rect().adjusted(0, 0, -1, -1));
    p.fillRect(inner, empty);
    const QRect done(inner.left(), inner.top(), filled, inner.height());
    p.fillRect(done, full);

    // The percentage, inverted against the colour beneath each part of it.
    const QString text = QString::number(m_value) + QLatin1Char('%');
    p.setFont(font());
    p.save();
    p.setClipRect(done);
    p.setPen(QColor(0, 255, 255));
    p.drawText(inner, Qt::AlignCenter, text);
    p.restore();
    p.setClipRect(QRect(done.right() + 1, inner.top(), inner.width() - filled, inner.height()));
    p.setPen(QColor(255, 127, 255));
    p.drawText(inner, Qt::AlignCenter, text);
}
