// The survey controller's timer on the program's event loop.
#pragma once

#include <QTimer>
#include <functional>

#include "controller/SurveyTimer.h"

class CQtSurveyTimer : public ISurveyTimer {
public:
    CQtSurveyTimer();

    void Start(int ms, std::function<void()> done) override;
    void Stop() override;

private:
    QTimer m_timer;
    std::function<void()> m_done;
};
