// Scripted prompts: queued answers, recorded calls.
#include "ScriptedPrompts.h"

void CScriptedPrompts::QueueAnswer(int id) {
    std::lock_guard<std::mutex> hold(m_lock);
    m_answers.push_back(id);
}

void CScriptedPrompts::QueuePath(const std::string& path) {
    std::lock_guard<std::mutex> hold(m_lock);
    m_paths.push_back(path);
}

int CScriptedPrompts::MessageBox(const std::string& text, const std::string& caption,
                                 unsigned flags) {
    std::lock_guard<std::mutex> hold(m_lock);
    PromptCall call;
    call.kind = PromptCall::kMessageBox;
    call.text = text;
    call.caption = caption;
    call.flags = flags;
    m_calls.push_back(call);
    if (!m_answers.empty()) {
        const int id = m_answers.front();
        m_answers.pop_front();
        return id;
    }
    CSilentPrompts silent;
    return silent.MessageBox(text, caption, flags);
}

bool CScriptedPrompts::NextPath(std::string& path) {
    if (m_paths.empty()) {
        return false;
    }
    path = m_paths.front();
    m_paths.pop_front();
    return true;
}

bool CScriptedPrompts::GetOpenFileName(const FileDialogRequest& request, std::string& path) {
    std::lock_guard<std::mutex> hold(m_lock);
    PromptCall call;
    call.kind = PromptCall::kOpenFile;
    call.text = request.filter;
    call.caption = request.defaultExtension;
    call.request = request;
    m_calls.push_back(call);
    return NextPath(path);
}

bool CScriptedPrompts::GetSaveFileName(const FileDialogRequest& request, std::string& path) {
    std::lock_guard<std::mutex> hold(m_lock);
    PromptCall call;
    call.kind = PromptCall::kSaveFile;
    call.text = request.filter;
    call.caption = request.defaultExtension;
    call.request = request;
    m_calls.push_back(call);
    return NextPath(path);
}

std::vector<PromptCall> CScriptedPrompts::Calls() const {
    std::lock_guard<std::mutex> hold(m_lock);
    return m_calls;
}

std::vector<std::string> CScriptedPrompts::Messages() const {
    std::lock_guard<std::mutex> hold(m_lock);
    std::vector<std::string> texts;
    for (const PromptCall& c : m_calls) {
        if (c.kind == PromptCall::kMessageBox) {
            texts.push_back(c.text);
        }
    }
    return texts;
}

void CScriptedPrompts::Clear() {
    std::lock_guard<std::mutex> hold(m_lock);
    m_calls.clear();
    m_answers.clear();
    m_paths.clear();
}
