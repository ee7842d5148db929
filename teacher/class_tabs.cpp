#include "teacher/class_tabs.h"

#include "common/accessibility.h"

#include <QAccessibleWidget>
#include <QHash>
#include <QPointer>
#include <QWindow>

namespace teacher {

namespace {

class ClassTabAccessible : public QAccessibleInterface, public QAccessibleActionInterface {
public:
    ClassTabAccessible(QTabBar* tabs, int index) : m_tabs(tabs), m_index(index) {}

    bool isValid() const override { return m_tabs && m_index < m_tabs->count(); }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return m_tabs ? m_tabs->window()->windowHandle() : nullptr; }
    QAccessibleInterface* parent() const override { return QAccessible::queryAccessibleInterface(m_tabs); }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QAccessible::Role role() const override { return QAccessible::PageTab; }

    QAccessible::State state() const override {
        QAccessible::State s;
        if (!isValid()) {
            s.invalid = true;
            return s;
        }
        s.focusable = s.selectable = true;
        s.selected = m_tabs->currentIndex() == m_index;
        s.focused = s.selected && m_tabs->hasFocus();
        s.invisible = !m_tabs->isVisible();
        s.disabled = !m_tabs->isTabEnabled(m_index);
        return s;
    }
    QRect rect() const override {
        if (!isValid())
            return {};
        const QRect tab = m_tabs->tabRect(m_index);
        return QRect(m_tabs->mapToGlobal(tab.topLeft()), tab.size());
    }
    QString text(QAccessible::Text t) const override {
        if (!isValid())
            return {};
        if (t == QAccessible::Name)
            return m_tabs->tabText(m_index).remove(QLatin1Char('&'));
        if (t == QAccessible::Description)
            return m_tabs->tabToolTip(m_index);
        return {};
    }
    void setText(QAccessible::Text, const QString&) override {}

    void* interface_cast(QAccessible::InterfaceType type) override {
        return type == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface*>(this)
                                                    : nullptr;
    }
    QStringList actionNames() const override { return {pressAction()}; }
    void doAction(const QString& name) override {
        if (name == pressAction() && isValid())
            m_tabs->setCurrentIndex(m_index);
    }
    QStringList keyBindingsForAction(const QString&) const override { return {}; }

private:
    QPointer<QTabBar> m_tabs;
    int m_index;
};

class ClassTabsAccessible : public QAccessibleWidget {
public:
    explicit ClassTabsAccessible(ClassTabs* tabs) : QAccessibleWidget(tabs, QAccessible::PageTabList) {}
    ~ClassTabsAccessible() override {
        for (const QAccessible::Id id : std::as_const(m_tabs))
            QAccessible::deleteAccessibleInterface(id);
    }

    int childCount() const override { return tabs()->count(); }
    QAccessibleInterface* child(int index) const override {
        if (index < 0 || index >= tabs()->count())
            return nullptr;
        if (const auto known = m_tabs.constFind(index); known != m_tabs.constEnd())
            return QAccessible::accessibleInterface(*known);
        auto* tab = new ClassTabAccessible(tabs(), index);
        m_tabs.insert(index, QAccessible::registerAccessibleInterface(tab));
        return tab;
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        for (auto it = m_tabs.cbegin(); it != m_tabs.cend(); ++it) {
            if (QAccessible::accessibleInterface(*it) == child)
                return it.key();
        }
        return -1;
    }
    QAccessibleInterface* focusChild() const override {
        return tabs()->hasFocus() ? child(tabs()->currentIndex()) : nullptr;
    }
    QAccessibleInterface* childAt(int x, int y) const override {
        const int index = tabs()->tabAt(tabs()->mapFromGlobal(QPoint(x, y)));
        return index >= 0 ? child(index) : nullptr;
    }

private:
    QTabBar* tabs() const { return static_cast<QTabBar*>(widget()); }

    mutable QHash<int, QAccessible::Id> m_tabs;
};

} // namespace

ClassTabs::ClassTabs(QWidget* parent) : QTabBar(parent) {
    accessibility::presentAs<ClassTabs, ClassTabsAccessible>();
    accessibility::refreshAccessible(this);
}

} // namespace teacher
