// Application start-up. The handheld initialised a sockets layer here; nothing in this program
// uses sockets and POSIX needs no such step, so it is left out.
#include "shell/LarkspurApp.h"

#include <QWidget>

#include "shell/MainFrame.h"

namespace {
// The map view is sized for the handheld's portrait screen.
const QSize kDefaultViewSize(240, 320);
} // namespace

CLarkspurApp::CLarkspurApp() = default;

CLarkspurApp::~CLarkspurApp() = default;

bool CLarkspurApp::InitInstance(const AppOptions& /*options*/) {
    m_frame = std::make_unique<CMainFrame>();
    m_frame->SetView(new QWidget(m_frame.get()), kDefaultViewSize);
    m_frame->show();
    return true;
}
