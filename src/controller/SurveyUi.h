// What the survey controller needs from whoever shows the survey: questions and messages, the
// file dialogs, the sign-off signature, the busy cursor, the map view's reactions to the survey's
// changes, and where the receiver board stands. The program implements it with its windows and
// dialogs; tests with a script.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "files/SiteFileLayout.h"
#include "platform/Prompts.h"
#include "receiver/BoardLink.h"

class CSurveyData;
struct SitePicture;

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

class ISurveyUi {
public:
    // The view's screens.
    enum Screen { kStartScreen = 0, kMapScreen = 1, kScanScreen = 2 };

    virtual ~ISurveyUi();

    // A message box: one of kIdOk, kIdYes, kIdNo, kIdCancel.
    virtual int MessageBox(const std::string& text, const std::string& caption, unsigned flags) = 0;
    // An open-file dialog: true with the chosen path, false when cancelled.
    virtual bool ChooseFileToOpen(const FileDialogRequest& request, std::string& path) = 0;
    // The sign-off dialog: true with the signature when the surveyor pressed its save button,
    // false when it was closed any other way (Escape, the caption's close).
    virtual bool SignOff(SignOffSignature& signature) = 0;
    // The location dialog for the store's last nearest-point lookup: true when the surveyor
    // asked to delete the point.
    virtual bool ShowPointInfo(const CSurveyData& survey) = 0;

    // The busy cursor, nested: each true is matched by a false.
    virtual void SetBusy(bool busy) = 0;
    // Blocks for ms while the window keeps painting and posted messages are handled; the user's
    // input waits.
    virtual void Pause(int ms) = 0;

    // The site's picture becomes the map, the view reset to it; false (nothing changed) when it
    // cannot be shown.
    virtual bool ShowSitePicture(const SitePicture& picture) = 0;
    virtual void ShowScreen(Screen screen) = 0;
    virtual void Repaint() = 0;
    // A circle for a point already in the survey (loaded or recovered).
    virtual void PaintPoint(int32_t x, int32_t y, int16_t strongest) = 0;
    // A point was just measured and stored here: its circle, and the status bar's counts.
    virtual void PointStored(int32_t x, int32_t y, int16_t strongest) = 0;
    // A point was deleted after a press-and-hold at (x, y): the white disc there.
    virtual void PointErased(int32_t x, int32_t y) = 0;

    // The receiver board's state, shown for as long as it lasts (the status bar).
    virtual void ShowBoardStatus(LinkState state) = 0;
    // A notice that leaves the surveyor free to go on: there is only ever one, and a new text
    // replaces the one shown (and brings it to the front) rather than adding another.
    virtual void ShowNotice(const std::string& text) = 0;
    // Changes the text of the notice only while the surveyor has it open.
    virtual void ReviseNotice(const std::string& text) = 0;
};
