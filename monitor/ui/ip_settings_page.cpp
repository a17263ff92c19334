#include "monitor/ui/ip_settings_page.h"

#include "monitor/res/resource.h"

CIpSettingsPage theIpSettingsPage;

CIpSettingsPage::CIpSettingsPage() : fw::Dialog(IDD_IPSETTINGS_PAGE) {}

INT_PTR CIpSettingsPage::DialogProc(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_INITDIALOG: return TRUE;
    case WM_COMMAND:
        // Enter and Escape reach a page as IDOK and IDCANCEL: neither does anything here.
        return LOWORD(wp) == IDOK || LOWORD(wp) == IDCANCEL;
    }
    return FALSE;
}
