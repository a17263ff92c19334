// The Configuration tab: the profile list, New, Save, Delete and Apply, and the Common and
// Security sub-pages that edit the profile in the application's editing state.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "framework/dialog.h"
#include "monitor/controls/owner_draw_button.h"

class CConfigPage : public fw::Dialog {
public:
    CConfigPage();

    // Shows sub-tab `index` (0 Common, 1 Security) and remembers it for the next visit.
    void ShowSubPage(int index);
    // The open page marks the adapter's current profile again (one applied from elsewhere),
    // leaving the selection and the profile being edited as they are.
    void ShowCurrentProfile();
    // The SSIDs of the adapter's network list, one per entry, 200 slots.
    std::vector<std::string> GetScannedSsids();
    // The sub-page object of sub-tab `index`; its window exists only while it is shown.
    static fw::Dialog* SubPage(int index);

    int currentSubTab = 0;

protected:
    INT_PTR DialogProc(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    BOOL OnInitDialog();
    BOOL OnCommand(int id, int code);
    BOOL OnNotify(const NMHDR& header);
    void OnNew();
    void OnSave();
    void OnDelete();
    void OnApply();
    void OnProfileSelected();
    void OnTabClick();
    void FillProfileList();
    void RebuildSubTabs();
    std::string SelectedName() const;

    COwnerDrawButton newButton_;
    COwnerDrawButton saveButton_;
    COwnerDrawButton deleteButton_;
    COwnerDrawButton applyButton_;
    // The profile names in list order: entry i is names_[i], whatever its text shows.
    std::vector<std::string> names_;
};

extern CConfigPage theConfigPage;
