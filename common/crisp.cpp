#include "common/crisp.h"

#include <QEvent>
#include <QIconEngine>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QResource>
#include <QWidget>

#include <cmath>
#include <cstring>

namespace crisp {

namespace {

// Rounded up, so that a fractional ratio never leaves the last logical row half drawn.
QSize pixelSize(const QSize& logical, qreal ratio) {
    return QSize(int(std::ceil(logical.width() * ratio - 0.01)),
                 int(std::ceil(logical.height() * ratio - 0.01)));
}

} // namespace

QPixmap canvas(const QSize& logical, qreal ratio, const QColor& ground) {
    QPixmap pixmap(pixelSize(logical, ratio));
    pixmap.setDevicePixelRatio(ratio);
    pixmap.fill(ground);
    return pixmap;
}

QSize logicalSize(const QPixmap& picture) {
    const QSizeF size = picture.deviceIndependentSize();
    return QSize(int(size.width()), int(size.height()));
}

QPixmap reduced(const QImage& source, const QSize& logical, qreal ratio) {
    const QSize pixels = pixelSize(logical, ratio);
    QPixmap pixmap = QPixmap::fromImage(
        source.size() == pixels ? source
                                : source.scaled(pixels, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    pixmap.setDevicePixelRatio(ratio);
    return pixmap;
}

namespace {

// Watches one widget for its showings and for changes of screen.
class RatioWatcher : public QObject {
public:
    RatioWatcher(QWidget* widget, std::function<void(qreal)> draw)
        : QObject(widget), m_widget(widget), m_draw(std::move(draw)) {
        widget->installEventFilter(this);
    }

    void redrawIfNeeded() {
        const qreal ratio = m_widget->devicePixelRatioF();
        if (ratio == m_ratio)
            return;
        m_ratio = ratio;
        m_draw(ratio);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched != m_widget)
            return false;
        switch (event->type()) {
        case QEvent::Show:
            redrawIfNeeded();
            break;
        case QEvent::ScreenChangeInternal:
#if QT_VERSION >= QT_VERSION_CHECK(6, 6, 0)
        case QEvent::DevicePixelRatioChange:
#endif
            // A hidden widget is drawn when it is next shown.
            if (m_widget->isVisible())
                redrawIfNeeded();
            break;
        default:
            break;
        }
        return false;
    }

private:
    QWidget* m_widget;
    std::function<void(qreal)> m_draw;
    qreal m_ratio = 0; // the ratio the widget was last drawn for; none yet
};

class DrawnIconEngine : public QIconEngine {
public:
    DrawnIconEngine(const QSizeF& design, std::function<void(QPainter&)> paint)
        : m_design(design), m_paint(std::move(paint)) {}

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode, QIcon::State) override {
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing);
        painter->translate(rect.topLeft());
        painter->scale(rect.width() / m_design.width(), rect.height() / m_design.height());
        m_paint(*painter);
        painter->restore();
    }

    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        QPixmap pixmap(size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        paint(&painter, QRect(QPoint(0, 0), size), mode, state);
        return pixmap;
    }

    QSize actualSize(const QSize& size, QIcon::Mode, QIcon::State) override { return size; }

    QList<QSize> availableSizes(QIcon::Mode, QIcon::State) override {
        // Each size travels to the window manager with every window, so the list stays short.
        return {QSize(16, 16), QSize(24, 24), QSize(32, 32), QSize(48, 48), QSize(64, 64), QSize(128, 128)};
    }

    QString key() const override { return QStringLiteral("cyfrolia-drawn"); }
    QIconEngine* clone() const override { return new DrawnIconEngine(m_design, m_paint); }

private:
    QSizeF m_design;
    std::function<void(QPainter&)> m_paint;
};

} // namespace

void whenShown(QWidget* widget, std::function<void(qreal ratio)> draw) {
    auto* watcher = new RatioWatcher(widget, std::move(draw));
    if (widget->isVisible())
        watcher->redrawIfNeeded();
}

namespace {

std::function<void(const QString&, const QByteArray&)>& keeper() {
    static std::function<void(const QString&, const QByteArray&)> keep;
    return keep;
}

// A picture drawn ahead is kept as its pixels, width and height first, in the build's byte order:
// unpacking them costs a fraction of decoding a PNG file.
struct Header {
    quint32 width;
    quint32 height;
};

QByteArray packed(const QPixmap& picture) {
    const QImage image = picture.toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied);
    const Header header{quint32(image.width()), quint32(image.height())};
    QByteArray bytes(reinterpret_cast<const char*>(&header), sizeof header);
    for (int y = 0; y < image.height(); ++y)
        bytes.append(reinterpret_cast<const char*>(image.constScanLine(y)), image.width() * 4);
    return bytes;
}

QPixmap unpacked(QByteArray bytes, qreal ratio) {
    Header header{};
    if (bytes.size() < qsizetype(sizeof header))
        return {};
    std::memcpy(&header, bytes.constData(), sizeof header);
    if (qsizetype(sizeof header) + qsizetype(header.width) * header.height * 4 != bytes.size())
        return {};
    // The picture keeps the unpacked bytes themselves: nothing more is copied.
    auto* kept = new QByteArray(std::move(bytes));
    QImage image(
        reinterpret_cast<uchar*>(kept->data()) + sizeof header, int(header.width), int(header.height),
        qsizetype(header.width) * 4, QImage::Format_ARGB32_Premultiplied,
        [](void* bytes) { delete static_cast<QByteArray*>(bytes); }, kept);
    QPixmap picture = QPixmap::fromImage(std::move(image));
    picture.setDevicePixelRatio(ratio);
    return picture;
}

} // namespace

void setPicture(QLabel* label, Drawing draw) {
    whenShown(label, [label, draw = std::move(draw)](qreal ratio) {
        const QString name =
            QStringLiteral("%1/%2@%3x")
                .arg(label->window()->objectName(), label->objectName(), QString::number(ratio));
        if (keeper()) {
            label->setPixmap(draw(ratio));
            keeper()(name, packed(label->pixmap()));
            return;
        }
        const QResource drawnAhead(QStringLiteral(":/drawn/") + name);
        const QPixmap picture =
            drawnAhead.isValid() ? unpacked(drawnAhead.uncompressedData(), ratio) : QPixmap();
        label->setPixmap(picture.isNull() ? draw(ratio) : picture);
    });
}

void keepDrawings(std::function<void(const QString& name, const QByteArray& picture)> keep) {
    keeper() = std::move(keep);
}

QIcon drawnIcon(const QSizeF& design, std::function<void(QPainter&)> paint) {
    return QIcon(new DrawnIconEngine(design, std::move(paint)));
}

} // namespace crisp
