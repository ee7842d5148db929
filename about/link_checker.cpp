#include "about/link_checker.h"

#include "about/link.h"

#include <QApplication>
#include <QCursor>
#include <QTimer>
TLinkChecker* LinkChecker = nullptr;
QTimer* LinkTimer = nullptr;
QPointer<TLink> LinkUnderMouse;

TLinkChecker::TLinkChecker() = default;

void TLinkChecker::SetPointerSource(PointerSource source) {
    m_pointer = std::move(source);
}

void TLinkChecker::CheckMouse() {
    const QPoint pointer = m_pointer ? m_pointer() : QCursor::pos();
    // The child at the point, disabled ones included; a covered link is not found.
    QWidget* control = QApplication::widgetAt(pointer);
    if (LinkUnderMouse && control != LinkUnderMouse.data())
        LinkUnderMouse->SetActive(false);
    if (auto* link = qobject_cast<TLink*>(control)) {
        LinkUnderMouse = link;
        link->SetActive(true);
    } else {
        LinkUnderMouse = nullptr;
    }
    UpdateTimer();
}

void TLinkChecker::LinkShown(TLink* link) {
    if (!m_visible.contains(link))
        m_visible.append(link);
    UpdateTimer();
}

void TLinkChecker::LinkHidden(TLink* link) {
    m_visible.removeAll(link);
    UpdateTimer();
}

void TLinkChecker::LinkDestroyed(TLink* link) {
    m_visible.removeAll(link);
    if (LinkUnderMouse.data() == link)
        LinkUnderMouse = nullptr;
    UpdateTimer();
}

void TLinkChecker::UpdateTimer() {
    if (!LinkTimer)
        return;
    // A link that hid while active still needs the tick that turns it unactive.
    const bool needed = !m_visible.isEmpty() || !LinkUnderMouse.isNull();
    if (needed && !LinkTimer->isActive())
        LinkTimer->start();
    else if (!needed && LinkTimer->isActive())
        LinkTimer->stop();
}

void CreateLinkWatcher() {
    if (LinkChecker)
        return;
    LinkChecker = new TLinkChecker;
    LinkTimer = new QTimer;
    LinkTimer->setInterval(100);
    QObject::connect(LinkTimer, &QTimer::timeout, LinkChecker, &TLinkChecker::CheckMouse);
    LinkUnderMouse = nullptr;
}

void FreeLinkWatcher() {
    delete LinkTimer;
    LinkTimer = nullptr;
    delete LinkChecker;
    LinkChecker = nullptr;
    LinkUnderMouse = nullptr;
}
