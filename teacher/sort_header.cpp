#include "teacher/sort_header.h"

#include <QKeyEvent>
#include <QPainter>

namespace teacher {

SortHeader::SortHeader(QWidget* parent) : QHeaderView(Qt::Horizontal, parent) {
    setObjectName(QStringLiteral("sortHeader"));
    setFocusPolicy(Qt::TabFocus);
    setSectionsClickable(true);
    connect(this, &QHeaderView::sortIndicatorChanged, this, &SortHeader::describe);
}

void SortHeader::keyPressEvent(QKeyEvent* event) {
    const int visual = visualIndex(m_chosen);
    switch (event->key()) {
    case Qt::Key_Left:
        choose(visual - 1);
        break;
    case Qt::Key_Right:
        choose(visual + 1);
        break;
    case Qt::Key_Home:
        choose(0);
        break;
    case Qt::Key_End:
        choose(count() - 1);
        break;
    case Qt::Key_Space:
    case Qt::Key_Return:
    case Qt::Key_Enter: {
        const bool again = sortIndicatorSection() == m_chosen && sortIndicatorOrder() == Qt::AscendingOrder;
        setSortIndicator(m_chosen, again ? Qt::DescendingOrder : Qt::AscendingOrder);
        break;
    }
    default:
        QHeaderView::keyPressEvent(event);
        return;
    }
    event->accept();
}

// The chosen column's frame shows only while the titles have the keyboard.
void SortHeader::focusInEvent(QFocusEvent* event) {
    QHeaderView::focusInEvent(event);
    describe();
    viewport()->update();
}

void SortHeader::focusOutEvent(QFocusEvent* event) {
    QHeaderView::focusOutEvent(event);
    viewport()->update();
}

void SortHeader::choose(int visualIndex) {
    if (visualIndex < 0 || visualIndex >= count())
        return;
    m_chosen = logicalIndex(visualIndex);
    viewport()->update();
    describe();
}

void SortHeader::describe() {
    const auto title = [this](int section) {
        return model() ? model()->headerData(section, orientation(), Qt::DisplayRole).toString() : QString();
    };
    QString text = QStringLiteral("Kolumna %1. ").arg(title(m_chosen));
    text +=
        sortIndicatorOrder() == Qt::AscendingOrder
            ? QStringLiteral("Tabela posortowana według: %1, rosnąco").arg(title(sortIndicatorSection()))
            : QStringLiteral("Tabela posortowana według: %1, malejąco").arg(title(sortIndicatorSection()));
    setAccessibleName(text);
}

// The chosen column is underlined in the highlight colour while the titles have the keyboard;
// the styles' own focus frames do not show on a header. The style leaves the painter clipped to
// nothing, hence the save.
void SortHeader::paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const {
    painter->save();
    QHeaderView::paintSection(painter, rect, logicalIndex);
    painter->restore();
    if (hasFocus() && logicalIndex == m_chosen)
        painter->fillRect(QRect(rect.left() + 2, rect.bottom() - 2, rect.width() - 4, 3),
                          palette().highlight());
}

} // namespace teacher
