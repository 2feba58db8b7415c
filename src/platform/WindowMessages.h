// Registered window messages without a window system: one process-wide id per name, and the
// interface through which the receiver posts notifications to whatever window shows them.
#pragma once

#include <cstdint>

// The same name always yields the same id within the process, whichever thread asks; ids come
// from the range the handheld used for registered messages (0xC000 upward).
uint32_t RegisterWindowMessage(const char* name);

class IMessageTarget {
public:
    virtual ~IMessageTarget();
    // Queues the message for the target's own thread and returns at once; it must never block,
    // since the receiver I/O thread posts through it.
    virtual void Post(uint32_t id, uintptr_t wParam, intptr_t lParam) = 0;
};
