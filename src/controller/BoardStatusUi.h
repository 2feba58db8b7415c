// Where the survey controller tells the surveyor about the receiver board: its state for as long
// as it lasts, its identity, and the one notice that leaves the surveyor free to go on.
#pragma once

#include <string>

#include "receiver/BoardLink.h"

struct BoardIdentity;

class IBoardStatusUi {
public:
    virtual ~IBoardStatusUi();

    // The board's state, shown for as long as it lasts (the status bar).
    virtual void ShowBoardStatus(LinkState state) = 0;
    // The firmware and serial number the board gave (the start screen).
    virtual void ShowBoardIdentity(const BoardIdentity& identity) = 0;
    // A notice that leaves the surveyor free to go on: there is only ever one, and a new text
    // replaces the one shown (and brings it to the front) rather than adding another.
    virtual void ShowNotice(const std::string& text) = 0;
    // Changes the text of the notice only while the surveyor has it open.
    virtual void ReviseNotice(const std::string& text) = 0;
    // Whether the point just stored holds readings no calibration covered (the status bar).
    virtual void ShowUncalibrated(bool uncalibrated) = 0;
};
