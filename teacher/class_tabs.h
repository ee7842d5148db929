#pragma once

#include <QTabBar>

namespace teacher {

// The class tabs. Screen readers meet them as a page tab list whose chosen tab is selected, and
// focused only while the tabs have the keyboard: Qt's own reading gives the chosen tab the
// focused state wherever the keyboard is, so that a screen reader hears two focused objects.
class ClassTabs : public QTabBar {
    Q_OBJECT
public:
    explicit ClassTabs(QWidget* parent = nullptr);
};

} // namespace teacher
