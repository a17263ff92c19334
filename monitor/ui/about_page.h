// The About tab: program and driver versions and the product link.
#pragma once
#include <windows.h>

#include "framework/dialog.h"

class CAboutPage : public fw::Dialog {
public:
    CAboutPage();

protected:
    INT_PTR DialogProc(UINT msg, WPARAM wp, LPARAM lp) override;
};

extern CAboutPage theAboutPage;
