// The application object: builds the document, the frame and the view, brings up the receiver
// link and carries out the command line.
#pragma once

#include <memory>

#include "shell/CommandLine.h"

class CMainFrame;
class QWidget;

class CLarkspurApp {
public:
    CLarkspurApp();
    virtual ~CLarkspurApp();

    CLarkspurApp(const CLarkspurApp&) = delete;
    CLarkspurApp& operator=(const CLarkspurApp&) = delete;

    // Start-up; false ends the program.
    bool InitInstance(const AppOptions& options);

    CMainFrame* Frame() const { return m_frame.get(); }

private:
    std::unique_ptr<CMainFrame> m_frame;
};
