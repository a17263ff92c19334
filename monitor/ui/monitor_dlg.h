// The monitor window: the tabs and their pages, the banner, the Radio, Help and Hide
// buttons. The pages reach the adapter session, the profile store, the editing state and
// the poll's state through the application object (theApp.session, theApp.store, theApp).
#pragma once
#include <windows.h>

#include "framework/dialog.h"
#include "monitor/controls/owner_draw_button.h"
#include "monitor/profiles/store_pages.h"

class CMonitorDlg : public fw::Dialog {
public:
    CMonitorDlg();
    ~CMonitorDlg() override;

    static constexpr int kPageCount = 5;
    // Shows the window modally on the initial page; returns when it is closed.
    INT_PTR Show(HWND owner);
    // Shows page `index` (0-4) in the open window.
    void SwitchPage(int index);
    // Shows the page `step` tabs to the right (negative: to the left), wrapping at the ends.
    void StepPage(int step);
    // The open window's Radio button follows the radio's state (switched from elsewhere).
    void ShowRadioState();
    // The page object of tab `index` (0-4); its window exists only while it is shown.
    static fw::Dialog* Page(int index);

    int modelNumber = 108;
    int currentPage = 0;
    int initialPage = 0;

protected:
    INT_PTR DialogProc(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    BOOL OnInitDialog();
    void OnCloseRequested();
    BOOL OnCommand(int id, int code);
    BOOL OnNotify(const NMHDR& header);
    BOOL OnSysCommand(WPARAM command);
    void OnPaint();
    void OnHelpClicked();
    void OnRadioClicked();
    void InitRadioButton();
    void BuildTabs();
    void ShowPage(int index);
    void FocusPage(HWND page);

    COwnerDrawButton radioButton_;
    COwnerDrawButton helpButton_;
    COwnerDrawButton hideButton_;
};

extern CMonitorDlg theMonitorDlg;

// What the profile store tells the monitor window's own pages.
StorePages& MonitorWindowPages();
