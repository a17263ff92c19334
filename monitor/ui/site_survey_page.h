// The Site Survey tab: scanning for networks and joining one.
#pragma once
#include <windows.h>

#include "framework/dialog.h"

class CSiteSurveyPage : public fw::Dialog {
public:
    CSiteSurveyPage();

protected:
    INT_PTR DialogProc(UINT msg, WPARAM wp, LPARAM lp) override;
};

extern CSiteSurveyPage theSiteSurveyPage;
