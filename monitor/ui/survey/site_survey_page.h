// The Site Survey tab: scanning for networks, listing them, sorting the list and joining
// the network of a row. The list's context menu (survey_menu.cpp) joins, copies a row,
// exports the list, opens the Channel View and keeps watching with a rescan every 30 s.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "framework/dialog.h"
#include "monitor/controls/owner_draw_button.h"
#include "monitor/controls/progress/text_progress_ctrl.h"
#include "monitor/ui/survey/channel_view/channel_view.h"
#include "monitor/ui/survey/survey_history.h"

class CSiteSurveyPage : public fw::Dialog {
public:
    CSiteSurveyPage();

    // 1 when the page shows the XR column (the adapter's supported-modes code is not 12).
    int xrLayout = 0;
    int scanStep = 0;
    // The column last sorted and its direction (1 = ascending); kept for the whole run.
    int sortedColumn = 0;
    int sortAscending = 0;
    // Scan again every 30 s while the page is open, and keep missed networks listed
    // greyed for a few scans; remembered for the user.
    bool rescanEvery30s = false;
    CChannelView channelView;

    // Writes the list as shown (its order, every column, first and last seen) as CSV.
    bool ExportCsv(const std::string& path) const;

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
    void OnPendingFill();
    void OnConnect();
    BOOL OnContextMenu(HWND from, LPARAM at);
    void OnMenuCommand(int id);
    void OnRescanTimer();
    void StartRescanTimer();
    LRESULT OnCustomDraw(NMLVCUSTOMDRAW& draw) const;
    void OnInfoTip(NMLVGETINFOTIPA& tip) const;
    void OnGetDisplayInfo(NMLVDISPINFOA& info) const;
    void CopySelectedRow() const;
    void ChooseExportFile();
    void ToggleRescan();
    int SelectedRow() const;
    struct Shown;
    const Shown* ShownOfRow(int row) const;
    const survey::Sighting* SightingOfRow(int row) const;
    void MeasurePaddings();
    void FitColumns();
    int TextWidth(const std::string& text) const;
    void InsertColumns();
    void SizeColumns();
    // Lists the driver's networks; `afterScan`: they are a scan's result, which the history
    // takes in. `keepPlace`: the selected and focused network, the top row and the sort
    // shown stay as they were.
    void FillList(bool afterScan, bool keepPlace);
    void SortRows();
    struct Place {
        std::string selected, focused;  // BSSID and SSID of the row; empty for none
        int top = 0;
    };
    Place SavePlace() const;
    void RestorePlace(const Place& place);
    std::string KeyOfRow(int row) const;
    std::string CellText(int row, int column) const;
    std::vector<std::string> RowCells(int row) const;
    HWND List() const;

    COwnerDrawButton scanButton_;
    CTextProgressCtrl progress_;
    // Kept from the start: each lookup of a control is a round trip to Wine's server.
    HWND list_ = nullptr;

    // What the list shows: item i's lParam is its index here.
    struct Shown {
        size_t sighting;  // in history_; ListEntry::kNone for a network no scan has seen yet
        bool missed;      // listed no longer by the driver, kept by the watch (greyed)
        std::vector<std::string> cells;
    };
    survey::History history_;
    std::vector<Shown> shown_;
    bool greyRows_ = false;  // some of shown_ are missed
    bool sortShown_ = false;  // the rows are in the order of the remembered sort
    // The menu's own loop runs while it is open: a scan ending then is listed once it closes.
    bool menuOpen_ = false, fillPending_ = false;
    static constexpr UINT kPendingFillMessage = WM_APP + 2;
    std::vector<std::vector<int32_t>> sortKeys_;  // by column, then by index in shown_
    // Column widths: of each heading alone, and what the list adds to a text's width.
    std::vector<int> headingWidths_, paddings_;
    int charWidths_[256] = {};  // in the list's font
};

extern CSiteSurveyPage theSiteSurveyPage;
