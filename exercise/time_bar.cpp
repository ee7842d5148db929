#include "exercise/time_bar.h"

#include "common/accessibility.h"

#include <QAccessibleWidget>
#include <QPainter>
#include <algorithm>

namespace {

// A progress bar from 0 to 100 with the time used as its value; read-only.
class TimeBarAccessible : public QAccessibleWidget, public QAccessibleValueInterface {
public:
    explicit TimeBarAccessible(TimeBar* bar) : QAccessibleWidget(bar, QAccessible::ProgressBar) {}

    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::ValueInterface)
            return static_cast<QAccessibleValueInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }
    QString text(QAccessible::Text kind) const override {
        if (kind == QAccessible::Value)
            return QString::number(bar()->value()) + QLatin1Char('%');
        return QAccessibleWidget::text(kind);
    }

    QVariant currentValue() const override { return bar()->value(); }
    void setCurrentValue(const QVariant&) override {}
    QVariant maximumValue() const override { return 100; }
    QVariant minimumValue() const override { return 0; }
    QVariant minimumStepSize() const override { return 0; }

private:
    TimeBar* bar() const { return static_cast<TimeBar*>(widget()); }
};

} // namespace

TimeBar::TimeBar(QWidget* parent) : QWidget(parent) {
    accessibility::presentAs<TimeBar, TimeBarAccessible>();
    setObjectName(QStringLiteral("pasek"));
    setAccessibleName(QStringLiteral("Czas"));
    accessibility::refreshAccessible(this);
}

void TimeBar::setValue(int value) {
    value = std::clamp(value, 0, 100);
    if (value == m_value)
        return;
    m_value = value;
    update();
    QAccessibleValueChangeEvent changed(this, m_value);
    QAccessible::updateAccessibility(&changed);
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
