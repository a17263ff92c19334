// The Configuration tab: the profile list and the Common and Security sub-pages.
#pragma once
#include <windows.h>

#include "framework/dialog.h"

class CConfigPage : public fw::Dialog {
public:
    CConfigPage();

protected:
    INT_PTR DialogProc(UINT msg, WPARAM wp, LPARAM lp) override;
};

extern CConfigPage theConfigPage;
