// Message boxes and file dialogs as one interface, so core code can ask the user without Qt and
// tests can answer for the user. The shell installs the real implementation at start-up.
#pragma once

#include <string>

constexpr unsigned kMbOk = 0x0000;
constexpr unsigned kMbYesNoCancel = 0x0003;
constexpr unsigned kMbYesNo = 0x0004;
constexpr unsigned kMbIconError = 0x0010;
constexpr unsigned kMbIconQuestion = 0x0020;
constexpr unsigned kMbButtonMask = 0x000F;

constexpr int kIdOk = 1;
constexpr int kIdCancel = 2;
constexpr int kIdYes = 6;
constexpr int kIdNo = 7;

struct FileDialogRequest {
    // Pairs of description and pattern as the handheld wrote them, e.g.
    // "Site Files (*.lks)|*.lks||".
    std::string filter;
    std::string defaultExtension; // without the dot, e.g. "lks"
    std::string initialName;      // proposed file name, may be empty
    std::string initialFolder;    // folder to start in, may be empty
};

class IPrompts {
public:
    virtual ~IPrompts();
    // Returns one of kIdOk, kIdYes, kIdNo, kIdCancel.
    virtual int MessageBox(const std::string& text, const std::string& caption, unsigned flags) = 0;
    // True with the chosen path, false when the user cancelled.
    virtual bool GetOpenFileName(const FileDialogRequest& request, std::string& path) = 0;
    virtual bool GetSaveFileName(const FileDialogRequest& request, std::string& path) = 0;
};

// Answers without asking anyone: OK to an OK box, No to a yes/no question, Cancel where
// cancelling is offered, and cancels every file dialog. Nothing headless can block on it.
class CSilentPrompts : public IPrompts {
public:
    int MessageBox(const std::string& text, const std::string& caption, unsigned flags) override;
    bool GetOpenFileName(const FileDialogRequest& request, std::string& path) override;
    bool GetSaveFileName(const FileDialogRequest& request, std::string& path) override;
};

// The prompts in use; the silent ones until SetPrompts installs others.
IPrompts& ThePrompts();
// Installs prompts (not owned; they must outlive their use); null restores the silent ones.
void SetPrompts(IPrompts* prompts);
