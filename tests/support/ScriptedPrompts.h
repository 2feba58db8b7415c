// Prompts for tests: answers from a script, records every question, never blocks.
#pragma once

#include <deque>
#include <mutex>
#include <string>
#include <vector>

#include "platform/Prompts.h"

struct PromptCall {
    enum Kind { kMessageBox, kOpenFile, kSaveFile };
    Kind kind = kMessageBox;
    std::string text;    // message text, or the dialog's filter
    std::string caption; // message caption, or the dialog's default extension
    unsigned flags = 0;
    FileDialogRequest request;
};

class CScriptedPrompts : public IPrompts {
public:
    // Answers given to message boxes in order; once used up, the silent answers apply.
    void QueueAnswer(int id);
    // Paths chosen in file dialogs in order; once used up, dialogs are cancelled.
    void QueuePath(const std::string& path);

    int MessageBox(const std::string& text, const std::string& caption, unsigned flags) override;
    bool GetOpenFileName(const FileDialogRequest& request, std::string& path) override;
    bool GetSaveFileName(const FileDialogRequest& request, std::string& path) override;

    std::vector<PromptCall> Calls() const;
    // The texts of every message box shown so far.
    std::vector<std::string> Messages() const;
    void Clear();

private:
    bool NextPath(std::string& path);

    mutable std::mutex m_lock;
    std::deque<int> m_answers;
    std::deque<std::string> m_paths;
    std::vector<PromptCall> m_calls;
};

// Installs scripted prompts for one scope and restores the previous ones after.
class CScopedPrompts {
public:
    explicit CScopedPrompts(IPrompts& prompts) : m_previous(&ThePrompts()) { SetPrompts(&prompts); }
    ~CScopedPrompts() { SetPrompts(m_previous); }
    CScopedPrompts(const CScopedPrompts&) = delete;
    CScopedPrompts& operator=(const CScopedPrompts&) = delete;

private:
    IPrompts* m_previous;
};
