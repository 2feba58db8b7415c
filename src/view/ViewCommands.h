// Command ids of the command bar and accelerators. The view handles the eight bar commands; the
// numbers are those the program has always used, so keep them.
#pragma once

enum ViewCommand : int {
    kCmdZoomOut = 32771,
    kCmdAbout = 32773,
    kCmdOpenSite = 32774,
    kCmdSaveSite = 32775,
    kCmdColorCodes = 32776,
    kCmdZoomIn = 32777,
    kCmdChannelTable = 32778,
    kCmdHelp = 57670,
    // Not on the bar: Ctrl+Shift+S, and offered when a save into the site cannot be done.
    kCmdSaveSiteAs = 32779,
    // Beyond the handheld's eight: the coverage layer, on the bar's ninth button and the key C.
    kCmdCoverage = 32780,
};

enum FrameCommand : int {
    kCmdFileNew = 57600,
    kCmdFileOpen = 57601,
    kCmdFileSave = 57603,
    kCmdEditCopy = 57634,
    kCmdEditCut = 57635,
    kCmdEditPaste = 57637,
    kCmdEditUndo = 57643,
    kCmdAppAbout = 57664,
    kCmdAppExit = 57665,
};
