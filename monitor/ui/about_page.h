// The About tab: the model's banner, the program's and the installed driver's versions, and
// the model's product link.
#pragma once
#include <windows.h>

#include "framework/dialog.h"
#include "monitor/controls/hyperlink.h"

class CAboutPage : public fw::Dialog {
public:
    CAboutPage();

    int modelNumber = 108;

protected:
    INT_PTR DialogProc(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    BOOL OnInitDialog();
    void OnPaint();
    void AttachControls();

    CHyperLink link54_;
    CHyperLink link108_;
};

extern CAboutPage theAboutPage;
