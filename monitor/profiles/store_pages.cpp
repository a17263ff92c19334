#include "monitor/profiles/store_pages.h"

#include "framework/text.h"
#include "monitor/res/resource.h"

namespace {

// The monitor window's own pages.
class WindowPages : public StorePages {
public:
    explicit WindowPages(CMonitorDlg& dlg) : dlg_(dlg) {}

    void ShowCheckMessage(UINT textId) override {
        fw::MessageBoxText(dlg_.Handle(), textId, IDS_MONITOR_TITLE, MB_OK | MB_ICONSTOP);
    }
    // The Configuration page builds its sub-page from the remembered sub-tab.
    void ShowSecuritySubTab() override { dlg_.rememberedSubTab = 1; }
    void ShowStatusPage() override { dlg_.SwitchPage(1); }

private:
    CMonitorDlg& dlg_;
};

}  // namespace

StorePages& PagesOf(CMonitorDlg& dlg) {
    if (dlg.storePages) return *dlg.storePages;
    static WindowPages own(dlg);
    return own;
}
