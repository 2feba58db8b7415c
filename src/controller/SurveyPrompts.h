// What the survey controller asks of the surveyor: questions and messages, the file dialogs, the
// sign-off signature, the location dialog, and the busy cursor. The program answers with its
// dialogs, tests with a script.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "files/SiteFileLayout.h"
#include "platform/Prompts.h"

// The signature pad as the surveyor left it: 0 for ink, 0x00FFFFFF for paper, top row first.
struct SignOffSignature {
    static constexpr int kWidth = site::kSignatureWidth;
    static constexpr int kHeight = site::kSignatureHeight;
    std::vector<uint32_t> pixels = std::vector<uint32_t>(size_t{kWidth} * kHeight, site::kPaper);

    uint32_t Pixel(int x, int y) const {
        return x >= 0 && x < kWidth && y >= 0 && y < kHeight ? pixels[size_t(y) * kWidth + x]
                                                             : site::kPaper;
    }
};

// The point a press-and-hold found, as the location dialog shows it.
struct PointInfo {
    double x = 0.0;
    double y = 0.0;
    uint16_t channel = 0; // of its strongest reading
    int32_t rssi = 0;     // its strongest reading, whole dBm
};

class ISurveyPrompts {
public:
    virtual ~ISurveyPrompts();

    // A message box: one of kIdOk, kIdYes, kIdNo, kIdCancel.
    virtual int MessageBox(const std::string& text, const std::string& caption, unsigned flags) = 0;
    // An open-file dialog: true with the chosen path, false when cancelled.
    virtual bool ChooseFileToOpen(const FileDialogRequest& request, std::string& path) = 0;
    // A save-file dialog (it asks before replacing a file): true with the chosen path.
    virtual bool ChooseFileToSave(const FileDialogRequest& request, std::string& path) = 0;
    // The sign-off dialog: true with the signature when the surveyor pressed its save button,
    // false when it was closed any other way (Escape, the caption's close).
    virtual bool SignOff(SignOffSignature& signature) = 0;
    // The location dialog for point: true when the surveyor asked to delete it.
    virtual bool ShowPointInfo(const PointInfo& point) = 0;
    // The busy cursor, nested: each true is matched by a false.
    virtual void SetBusy(bool busy) = 0;
    // A short word in the status bar on what was just done (a save), gone after a while.
    virtual void ShowStatus(const std::string& text) = 0;
};
