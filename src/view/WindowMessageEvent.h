// A registered window message delivered through Qt's event queue to the window that handles it.
#pragma once

#include <QEvent>

#include <cstdint>

class CWindowMessageEvent : public QEvent {
public:
    CWindowMessageEvent(uint32_t id, uintptr_t wParam, intptr_t lParam)
        : QEvent(EventType()), m_id(id), m_wParam(wParam), m_lParam(lParam) {}

    // The one Qt event type that carries every registered message.
    static QEvent::Type EventType();

    uint32_t Id() const { return m_id; }
    uintptr_t WParam() const { return m_wParam; }
    intptr_t LParam() const { return m_lParam; }

private:
    uint32_t m_id;
    uintptr_t m_wParam;
    intptr_t m_lParam;
};
