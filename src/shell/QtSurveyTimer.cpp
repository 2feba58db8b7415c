// A single-shot QTimer whose timeout hands the controller its callback.
#include "shell/QtSurveyTimer.h"

CQtSurveyTimer::CQtSurveyTimer() {
    m_timer.setSingleShot(true);
    QObject::connect(&m_timer, &QTimer::timeout, [this] {
        // Taken first: the callback may start the next wait.
        std::function<void()> done = std::move(m_done);
        m_done = nullptr;
        if (done) {
            done();
        }
    });
}

void CQtSurveyTimer::Start(int ms, std::function<void()> done) {
    m_done = std::move(done);
    m_timer.start(ms < 0 ? 0 : ms);
}

void CQtSurveyTimer::Stop() {
    m_timer.stop();
    m_done = nullptr;
}
