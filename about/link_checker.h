#pragma once

#include <QList>
#include <QObject>
#include <QPoint>
#include <QPointer>

#include <functional>

class QTimer;
class TLink;

// The hover watcher shared by every link: each tick finds the control under the pointer and
// switches the links. Its timer runs only while some link is shown, and for one more tick
// after the last one hides while active, so that it still turns unactive.
class TLinkChecker : public QObject {
    Q_OBJECT
public:
    TLinkChecker();

    void CheckMouse();

    // Where the pointer is, in screen coordinates; QCursor::pos() unless a test says otherwise.
    using PointerSource = std::function<QPoint()>;
    void SetPointerSource(PointerSource source);

    void LinkShown(TLink* link);
    void LinkHidden(TLink* link);
    void LinkDestroyed(TLink* link);
    int VisibleLinks() const { return int(m_visible.size()); }

private:
    void UpdateTimer();

    PointerSource m_pointer;
    QList<TLink*> m_visible;
};

extern TLinkChecker* LinkChecker;
extern QTimer* LinkTimer;
// The link last found under the pointer; forgets a link that is destroyed.
extern QPointer<TLink> LinkUnderMouse;

// Created when the program starts, before any window, and freed at its end.
void CreateLinkWatcher();
void FreeLinkWatcher();
