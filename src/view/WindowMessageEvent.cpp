// The event type of registered window messages.
#include "view/WindowMessageEvent.h"

QEvent::Type CWindowMessageEvent::EventType() {
    static const QEvent::Type type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return type;
}
