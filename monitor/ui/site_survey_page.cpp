#include "monitor/ui/site_survey_page.h"

#include "monitor/res/resource.h"

CSiteSurveyPage theSiteSurveyPage;

CSiteSurveyPage::CSiteSurveyPage() : fw::Dialog(IDD_SITESURVEY_PAGE) {}

INT_PTR CSiteSurveyPage::DialogProc(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_INITDIALOG: return TRUE;
    case WM_COMMAND:
        // Enter and Escape reach a page as IDOK and IDCANCEL: neither does anything here.
        return LOWORD(wp) == IDOK || LOWORD(wp) == IDCANCEL;
    }
    return FALSE;
}
