// The busy cursor for the life of a scope: every long blocking step shows it, and it is lifted on
// every way out of that step.
#pragma once

#include "controller/SurveyUi.h"

class CBusyScope {
public:
    explicit CBusyScope(ISurveyUi& ui) : m_ui(ui) { m_ui.SetBusy(true); }
    ~CBusyScope() { m_ui.SetBusy(false); }
    CBusyScope(const CBusyScope&) = delete;
    CBusyScope& operator=(const CBusyScope&) = delete;

private:
    ISurveyUi& m_ui;
};
