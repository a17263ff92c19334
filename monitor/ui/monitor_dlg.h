// The monitor window. The one global object also carries the adapter session and the
// profile store, which exist with or without the window.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "framework/dialog.h"
#include "monitor/controls/owner_draw_button.h"

class ACAdapterConfig;
class ACEnumNics;
class ACStaticNicInfo;
class ACProfile;

// What the profile store asks of the monitor window and its pages. The window has its own;
// tests put a recording one in its place.
class StorePages {
public:
    virtual ~StorePages() = default;
    // A refusal or failed check: stop icon, OK button, caption string 61261.
    virtual void ShowCheckMessage(UINT textId) = 0;
    // The Configuration page shows its Security sub-tab and remembers it for the next visit.
    virtual void ShowSecuritySubTab() = 0;
    // The monitor window shows its Status page (page 1).
    virtual void ShowStatusPage() = 0;
};

constexpr int kAdapterSlots = 5;
constexpr size_t kScanBufferSize = 30000;

class CMonitorDlg : public fw::Dialog {
public:
    CMonitorDlg();
    ~CMonitorDlg() override;

    // ---- Adapter session (monitor/adapter/session.cpp) ----
    // 1 = adapter found and session open, 0 = none.
    int Discover();
    void CloseSession();
    std::string CurrentProfileName() const;
    std::string CurrentProfileUserName() const;
    int32_t LinkQuality() const;
    int32_t RadioState() const;
    int32_t AuthenticationMode() const;
    // Makes the named profile active, waits for the driver and sends its stored tx rate.
    int ApplyCurrentProfile(const std::string& name);
    int ChannelIndex() const;
    // Reads the status record into the application state; false when the driver fails or
    // returns nothing (the state then keeps the previous record).
    bool ReadStatusRecord();
    int AdapterCount() const;
    int AdapterPresent() const;
    bool Disconnected() const;
    // 54 when the model-54 product key exists, else 108.
    static int ModelNumber();

    uint8_t scanList[kScanBufferSize] = {};
    uint8_t vendorScanList[kScanBufferSize] = {};
    std::string deviceName;
    std::string subKey;
    std::vector<std::string> adapterNames;
    std::vector<std::string> adapterSubKeys;
    std::vector<std::string> profileNames;

    ACEnumNics* enumerator = nullptr;
    ACStaticNicInfo* staticInfo = nullptr;
    ACAdapterConfig* mainConfig = nullptr;
    ACAdapterConfig* reloadConfig = nullptr;
    std::string interfaceGuid;

    // ---- Profile store (monitor/profiles/) ----
    // Each works on the main configuration and the editing state of theApp. CreateProfile
    // returns 0 when it refused the name or the passphrase (after saying so), else 1.
    int CreateProfile(const std::string& name);
    void SaveProfile(const std::string& name);
    void DeleteProfile(const std::string& name);
    int LoadProfileForEdit(const std::string& name);
    int ReloadProfile(const std::string& name);
    void CreateDefaultProfile();
    void ApplyProfile(const std::string& name);
    void StorePassphraseCreating(const std::string& name, const std::string& passphrase);
    void StorePassphrase(const std::string& name, const std::string& passphrase);
    std::string ReadPassphrase(const std::string& name);
    void StoreTxRate(const std::string& name, int32_t rate);
    int32_t ReadTxRate(const std::string& name);
    void DeleteProfileKey(const std::string& name);
    // Where the store's messages and page switches go; null means this window's own pages.
    StorePages* storePages = nullptr;

    // ---- Window (monitor/ui/monitor_dlg.cpp) ----
    static constexpr int kPageCount = 5;
    // Shows the window modally on the initial page; returns when it is closed.
    INT_PTR Show(HWND owner);
    // Shows page `index` (0-4) in the open window.
    void SwitchPage(int index);
    // The page object of tab `index` (0-4); its window exists only while it is shown.
    static fw::Dialog* Page(int index);
    // Switches the driver's radio, 1 = off, 0 = on, and keeps the choice in the driver key
    // (monitor/adapter/radio.cpp).
    void SwitchRadio(int value);

    int modelNumber = 108;
    int currentPage = 0;
    int initialPage = 0;
    int rememberedSubTab = 0;  // 0 = Common, 1 = Security: the Configuration page's next sub-tab

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

    COwnerDrawButton radioButton_;
    COwnerDrawButton helpButton_;
    COwnerDrawButton hideButton_;
};

extern CMonitorDlg theMonitorDlg;
