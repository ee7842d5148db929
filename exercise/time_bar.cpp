#include "exercise/time_bar.h"

#include "common/accessibility.h"

#include <QAccessibleWidget>
#include <QPainter>
#include <algorithm>

namespace {

// A progress bar whose text is the time used, "42%". It offers no value to set: a value would
// come with increase and decrease actions, which a time bar cannot honour.
class TimeBarAccessible : public QAccessibleWidget {
public:
    explicit TimeBarAccessible(TimeBar* bar) : QAccessibleWidget(bar, QAccessible::ProgressBar) {}

    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::TextInterface)
            return static_cast<QAccessibleTextInterface*>(&m_text);
        return QAccessibleWidget::interface_cast(type);
    }
    QString text(QAccessible::Text kind) const override {
        if (kind == QAccessible::Value)
            return shown();
        return QAccessibleWidget::text(kind);
    }

private:
    QString shown() const {
        return QString::number(static_cast<TimeBar*>(widget())->value()) + QLatin1Char('%');
    }

    ReadOnlyAccessibleText m_text{[this] { return shown(); }};
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

    // The percentage, in the colour that reads best against the part beneath it: black on red,
    // white on green (each over 4.5:1).
    const QString text = QString::number(m_value) + QLatin1Char('%');
    p.setFont(font());
    p.save();
    p.setClipRect(done);
    p.setPen(Qt::black);
    p.drawText(inner, Qt::AlignCenter, text);
    p.restore();
    p.setClipRect(QRect(done.right() + 1, inner.top(), inner.width() - filled, inner.height()));
    p.setPen(Qt::white);
    p.drawText(inner, Qt::AlignCenter, text);
}
