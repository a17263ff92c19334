// The Preferred Networks window: the adapter's profiles in the order automatic connection
// tries them (Move Up, Move Down), its switch, and what the last attempt found for each.
// OK keeps the order and the switch for the adapter; Cancel leaves them as they were.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "framework/dialog.h"

class CPreferredWindow : public fw::Dialog {
public:
    CPreferredWindow();
    // Opens the window, or brings it forward when it is open.
    void Open();
    // The open window shows again what the last attempt found, or the switch as stored.
    void ShowFindings();
    void ShowSwitch();

protected:
    INT_PTR DialogProc(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    BOOL OnInitDialog();
    BOOL OnCommand(int id);
    BOOL OnNotify(const NMHDR& header);
    void OnMove(int step);
    void OnOk();
    void FillList(int selected);
    void EnableMoves();
    int Selected() const;

    std::vector<std::string> order_;
};
