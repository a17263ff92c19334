#include "monitor/ui/monitor_dlg.h"

#include "framework/text.h"
#include "monitor/ui/resource.h"

CMonitorDlg theMonitorDlg;

CMonitorDlg::CMonitorDlg() : fw::Dialog(IDD_MONITOR) {}

CMonitorDlg::~CMonitorDlg() = default;

INT_PTR CMonitorDlg::Show(HWND owner) { return DoModal(owner); }

void CMonitorDlg::SwitchPage(int index) { currentPage = index; }

INT_PTR CMonitorDlg::DialogProc(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_INITDIALOG: return OnInitDialog();
    case WM_CLOSE: OnCloseRequested(); return TRUE;
    }
    return FALSE;
}

BOOL CMonitorDlg::OnInitDialog() {
    HICON icon = LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_MAINFRAME));
    SendMessageA(Handle(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
    SendMessageA(Handle(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
    modelNumber = ModelNumber();
    currentPage = initialPage;
    return TRUE;
}

void CMonitorDlg::OnCloseRequested() { End(IDCANCEL); }
