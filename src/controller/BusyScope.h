// The busy cursor for the life of a scope: every long blocking step shows it, and it is lifted on
// every way out of that step.
#pragma once

#include "controller/SurveyPrompts.h"

class CBusyScope {
public:
    explicit CBusyScope(ISurveyPrompts& prompts) : m_prompts(prompts) { m_prompts.SetBusy(true); }
    ~CBusyScope() { m_prompts.SetBusy(false); }
    CBusyScope(const CBusyScope&) = delete;
    CBusyScope& operator=(const CBusyScope&) = delete;

private:
    ISurveyPrompts& m_prompts;
};
