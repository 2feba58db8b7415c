// The process-wide registry of window message names.
#include "platform/WindowMessages.h"

#include <map>
#include <mutex>
#include <string>

namespace {
constexpr uint32_t kFirstRegisteredId = 0xC000;

struct Registry {
    std::mutex lock;
    std::map<std::string, uint32_t> ids;
};

Registry& TheRegistry() {
    static Registry registry;
    return registry;
}
} // namespace

uint32_t RegisterWindowMessage(const char* name) {
    Registry& r = TheRegistry();
    std::lock_guard<std::mutex> hold(r.lock);
    auto found = r.ids.find(name);
    if (found != r.ids.end()) {
        return found->second;
    }
    const uint32_t id = kFirstRegisteredId + static_cast<uint32_t>(r.ids.size());
    r.ids.emplace(name, id);
    return id;
}

IMessageTarget::~IMessageTarget() = default;
