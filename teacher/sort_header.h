#pragma once

#include <QHeaderView>

namespace teacher {

// The table's column titles, sorted from the keyboard as well as by a click: with the titles
// focused, Left and Right choose a column and Space or Enter sorts by it (a second time the other
// way round). A screen reader hears the chosen column and how the table is sorted.
class SortHeader : public QHeaderView {
    Q_OBJECT
public:
    explicit SortHeader(QWidget* parent = nullptr);

    int chosenSection() const { return m_chosen; }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const override;

private:
    void choose(int visualIndex);
    void describe();

    int m_chosen = 0; // logical index
};

} // namespace teacher
