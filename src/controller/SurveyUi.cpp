// The out-of-line destructors of the controller's user-interface interfaces.
#include "controller/SurveyUi.h"

ISurveyPrompts::~ISurveyPrompts() = default;
ISurveyMap::~ISurveyMap() = default;
IBoardStatusUi::~IBoardStatusUi() = default;
ISurveyTimer::~ISurveyTimer() = default;
