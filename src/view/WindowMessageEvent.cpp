// The event type of registered window messages.
#include "shell/WindowMessageEvent.h"

QEvent::Type CWindowMessageEvent::EventType() {
    static const QEvent::Type type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return type;
}
