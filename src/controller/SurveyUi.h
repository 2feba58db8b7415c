// The survey controller's four ways of reaching the surveyor, each its own interface: prompts,
// the map, the board's status, and the timer that ends its waits.
#pragma once

#include "controller/BoardStatusUi.h"
#include "controller/SurveyMap.h"
#include "controller/SurveyPrompts.h"
#include "controller/SurveyTimer.h"

struct SurveyUi {
    ISurveyPrompts& prompts;
    ISurveyMap& map;
    IBoardStatusUi& board;
    ISurveyTimer& timer;
};
