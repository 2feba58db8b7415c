// QCoreApplication::postEvent queues and returns at once, so the I/O thread never blocks on the
// window; the event is handled on the receiver's own (user-interface) thread.
#include "view/QtMessageTarget.h"

#include <QCoreApplication>

#include "view/WindowMessageEvent.h"

void CQtMessageTarget::Post(uint32_t id, uintptr_t wParam, intptr_t lParam) {
    QCoreApplication::postEvent(m_receiver, new CWindowMessageEvent(id, wParam, lParam));
}
