// The Status tab: the current connection, refreshed once a second from the poll's state.
#pragma once
#include <windows.h>

#include "framework/dialog.h"
#include "monitor/controls/progress/text_progress_ctrl.h"

class CStatusPage : public fw::Dialog {
public:
    CStatusPage();

    // Fills the fields from the application state (also on every timer tick).
    void Refresh();

protected:
    INT_PTR DialogProc(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    BOOL OnInitDialog();
    void OnDestroy();
    void Clear();
    void SetText(int id, const std::string& text);

    CTextProgressCtrl linkBar_;
    CTextProgressCtrl signalBar_;
};

extern CStatusPage theStatusPage;
