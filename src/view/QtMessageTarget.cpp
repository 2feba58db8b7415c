// QCoreApplication::postEvent queues and returns at once, so the I/O thread never blocks on the
// window; the event is handled on the receiver's own (user-interface) thread.
#include "view/QtMessageTarget.h"

#include <QCoreApplication>

#include "view/WindowMessageEvent.h"

#if defined(__SANITIZE_THREAD__)
#define LARKSPUR_TSAN 1
#elif defined(__has_feature)
#if __has_feature(thread_sanitizer)
#define LARKSPUR_TSAN 1
#endif
#endif

#ifdef LARKSPUR_TSAN
#include <sanitizer/tsan_interface.h>

namespace {
// Qt hands the event from the posting thread to the receiver's under a lock of its own, which
// ThreadSanitizer cannot see (Qt is not built with it). The hand-over is announced on both sides,
// so the event's own fields are not reported as a race.
class CHandOverFilter : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* /*watched*/, QEvent* event) override {
        __tsan_acquire(event);
        return false;
    }
};
} // namespace
#endif

CQtMessageTarget::CQtMessageTarget(QObject* receiver) : m_receiver(receiver) {
#ifdef LARKSPUR_TSAN
    m_receiver->installEventFilter(new CHandOverFilter(m_receiver));
#endif
}

void CQtMessageTarget::Post(uint32_t id, uintptr_t wParam, intptr_t lParam) {
    auto* event = new CWindowMessageEvent(id, wParam, lParam);
#ifdef LARKSPUR_TSAN
    __tsan_release(event);
#endif
    QCoreApplication::postEvent(m_receiver, event);
}
