// The prompts in use and the silent default.
#include "platform/Prompts.h"

#include <atomic>

IPrompts::~IPrompts() = default;

int CSilentPrompts::MessageBox(const std::string&, const std::string&, unsigned flags) {
    switch (flags & kMbButtonMask) {
    case kMbYesNo:
        return kIdNo;
    case kMbYesNoCancel:
        return kIdCancel;
    default:
        return kIdOk;
    }
}

bool CSilentPrompts::GetOpenFileName(const FileDialogRequest&, std::string&) {
    return false;
}

bool CSilentPrompts::GetSaveFileName(const FileDialogRequest&, std::string&) {
    return false;
}

namespace {
CSilentPrompts& SilentPrompts() {
    static CSilentPrompts silent;
    return silent;
}

std::atomic<IPrompts*>& Installed() {
    static std::atomic<IPrompts*> installed{nullptr};
    return installed;
}
} // namespace

IPrompts& ThePrompts() {
    IPrompts* p = Installed().load();
    return p != nullptr ? *p : SilentPrompts();
}

void SetPrompts(IPrompts* prompts) {
    Installed().store(prompts);
}
