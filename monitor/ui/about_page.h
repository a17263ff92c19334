// The About tab: the model's banner, the program's and the installed driver's versions, and
// the model's product link.
#pragma once
#include <windows.h>

#include <string>

#include "framework/dialog.h"
#include "monitor/controls/hyperlink.h"

// Where the installed driver's file lies on this Windows version; empty when unknown.
std::string DriverFilePath();
// The file version of the file at `path` as "a.b.c.d"; empty when it is missing or has none.
std::string DriverVersion(const std::string& path);

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
