// The survey controller's one timer. The controller never waits in place: a wait (the board's
// start-up, the finished scan's half second on screen) is a state that this timer ends by
// calling back. The program runs it on its event loop; tests fire it when they choose.
#pragma once

#include <functional>

class ISurveyTimer {
public:
    virtual ~ISurveyTimer();

    // Calls done once after ms, replacing a timer already running.
    virtual void Start(int ms, std::function<void()> done) = 0;
    // Cancels the running timer, if any.
    virtual void Stop() = 0;
};
