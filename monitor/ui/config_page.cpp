#include "monitor/ui/config_page.h"

#include "monitor/res/resource.h"

CConfigPage theConfigPage;

CConfigPage::CConfigPage() : fw::Dialog(IDD_CONFIG_PAGE) {}

INT_PTR CConfigPage::DialogProc(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_INITDIALOG: return TRUE;
    case WM_COMMAND:
        // Enter and Escape reach a page as IDOK and IDCANCEL: neither does anything here.
        return LOWORD(wp) == IDOK || LOWORD(wp) == IDCANCEL;
    }
    return FALSE;
}
