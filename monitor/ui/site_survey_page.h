// The Site Survey tab: scanning for networks, listing them, sorting the list and joining
// the network of a row.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "framework/dialog.h"
#include "monitor/controls/owner_draw_button.h"
#include "monitor/controls/text_progress_ctrl.h"

class CSiteSurveyPage : public fw::Dialog {
public:
    CSiteSurveyPage();

    // 1 when the page shows the XR column (the adapter's supported-modes code is not 12).
    int xrLayout = 0;
    int scanStep = 0;
    // The column last sorted and its direction (1 = ascending); kept for the whole run.
    int sortedColumn = 0;
    int sortAscending = 0;

protected:
    INT_PTR DialogProc(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    BOOL OnInitDialog();
    void OnDestroy();
    BOOL OnCommand(int id, int code);
    BOOL OnNotify(const NMHDR& header);
    BOOL OnTimer(UINT_PTR id);
    void OnScanClicked();
    void OnListFocused();
    void OnColumnClicked(int column);
    void OnConnect();
    void InsertColumns();
    void SizeColumns();
    void FillList();
    std::string CellText(int row, int column) const;
    std::vector<std::string> RowCells(int row) const;
    HWND List() const;

    COwnerDrawButton scanButton_;
    CTextProgressCtrl progress_;
};

extern CSiteSurveyPage theSiteSurveyPage;
