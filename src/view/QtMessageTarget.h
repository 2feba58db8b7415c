// Posts registered window messages to a Qt object as events, from any thread, without waiting.
#pragma once

#include "platform/WindowMessages.h"

class QObject;

class CQtMessageTarget : public IMessageTarget {
public:
    // receiver must outlive every post (the receiver's I/O thread stops before the view goes).
    explicit CQtMessageTarget(QObject* receiver);

    void Post(uint32_t id, uintptr_t wParam, intptr_t lParam) override;

private:
    QObject* m_receiver;
};
