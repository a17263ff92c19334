#include "monitor/ui/about_page.h"

#include "monitor/res/resource.h"

CAboutPage theAboutPage;

CAboutPage::CAboutPage() : fw::Dialog(IDD_ABOUT_PAGE) {}

INT_PTR CAboutPage::DialogProc(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_INITDIALOG: return TRUE;
    case WM_COMMAND:
        // Enter and Escape reach a page as IDOK and IDCANCEL: neither does anything here.
        return LOWORD(wp) == IDOK || LOWORD(wp) == IDCANCEL;
    }
    return FALSE;
}
