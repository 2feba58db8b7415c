// The survey interface's out-of-line destructor.
#include "controller/SurveyUi.h"

ISurveyUi::~ISurveyUi() = default;
