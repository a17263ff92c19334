// The profile editor driven through its real dialogs on the simulated adapter: the
// Configuration page, the New-profile dialog and the Common sub-page.
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "athcfg/athcfg.h"
#include "monitor/adapter/oids.h"
#include "monitor/app/monitor_app.h"
#include "monitor/res/resource.h"
#include "monitor/ui/common_page.h"
#include "monitor/ui/config_page.h"
#include "monitor/ui/monitor_dlg.h"
#include "monitor/ui/status_page.h"
#include "tests/support/sim_scenario.h"
#include "tests/win/ui/modal_script.h"

namespace {

const char kRoot108[] = "SOFTWARE\\Halvex\\TelvaraWevo108\\";
const char kNewTitle[] = "Enter name of the new profile";

const char kTwoProfiles[] =
    "profile name=Home ssid=HomeNet infrastructure=1 privacy=1 wpa=1 eapMethod=7 "
    "pskPassphrase=sunny-terrace wirelessMode=28 channelMHz=2437 authMode=1 keyIsHex=1 "
    "defaultKey=1 wepKeyBits1=40 wepKeyBits2=40 wepKeyBits3=40 wepKeyBits4=40\n"
    "profile name=Cafe ssid=CafeCorner infrastructure=1 privacy=0 eapMethod=0 wirelessMode=12 "
    "channelMHz=2412 authMode=1 keyIsHex=1 defaultKey=1 wepKeyBits1=40 wepKeyBits2=40 "
    "wepKeyBits3=40 wepKeyBits4=40\n"
    "select name=Home\n";

// Message boxes shown while it lives: their texts and owners, each answered with OK.
class BoxAnswerer {
public:
    BoxAnswerer() {
        seen_ = this;
        hook_ = SetWindowsHookExA(WH_CBT, OnCbt, nullptr, GetCurrentThreadId());
    }
    ~BoxAnswerer() {
        UnhookWindowsHookEx(hook_);
        seen_ = nullptr;
    }
    std::vector<std::string> texts;
    std::vector<std::string> owners;  // the owner's title

private:
    static LRESULT CALLBACK OnCbt(int code, WPARAM wp, LPARAM lp) {
        HWND box = reinterpret_cast<HWND>(wp);
        // A message box is the dialog with the static text 0xFFFF.
        if (code == HCBT_ACTIVATE && seen_ && GetDlgItem(box, 0xFFFF)) {
            seen_->texts.push_back(ItemText(box, 0xFFFF));
            char title[128] = {};
            GetWindowTextA(GetWindow(box, GW_OWNER), title, sizeof title);
            seen_->owners.push_back(title);
            PostMessageA(box, WM_COMMAND, IDOK, 0);
        }
        return CallNextHookEx(nullptr, code, wp, lp);
    }
    static BoxAnswerer* seen_;
    HHOOK hook_;
};
BoxAnswerer* BoxAnswerer::seen_ = nullptr;

HWND Config() { return theConfigPage.Handle(); }
HWND Common() { return theCommonPage.Handle(); }
HWND NewDialog() { return FindWindowA(nullptr, kNewTitle); }

std::vector<std::string> ComboTexts(HWND dialog, int id) {
    std::vector<std::string> texts;
    HWND box = GetDlgItem(dialog, id);
    for (LRESULT i = 0; i < SendMessageA(box, CB_GETCOUNT, 0, 0); ++i) {
        char text[128] = {};
        if (SendMessageA(box, CB_GETLBTEXTLEN, i, 0) < LRESULT(sizeof text))
            SendMessageA(box, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
        texts.push_back(text);
    }
    return texts;
}

int Selection(HWND dialog, int id) {
    return static_cast<int>(SendDlgItemMessageA(dialog, id, CB_GETCURSEL, 0, 0));
}

bool Enabled(HWND dialog, int id) { return IsWindowEnabled(GetDlgItem(dialog, id)) != 0; }

// What the user's choice in a list tells the page.
void Choose(HWND dialog, int id, int index) {
    SendDlgItemMessageA(dialog, id, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

void Click(HWND dialog, int id) { SendMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0); }

// A real click on sub-tab `index` of the Configuration page.
void ClickSubTab(int index) {
    HWND tab = GetDlgItem(Config(), IDC_SUBTAB);
    RECT r;
    TabCtrl_GetItemRect(tab, index, &r);
    LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    SendMessageA(tab, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageA(tab, WM_LBUTTONUP, 0, at);
}

// Types `name` into the open New-profile dialog and presses OK.
void TypeNameAndOk(const std::string& name) {
    HWND dialog = NewDialog();
    ASSERT_NE(nullptr, dialog);
    SetDlgItemTextA(dialog, IDC_NEW_PROFILE_NAME, name.c_str());
    Click(dialog, IDOK);
}

// Activations the driver received, by profile name, oldest first.
std::vector<std::string> Activations() {
    std::vector<std::string> names;
    for (int i = 0; i < AthSimRecordedCount(0); ++i) {
        DWORD oid = 1, length = 0;
        char data[17] = {};
        if (AthSimRecordedSet(0, i, &oid, data, 16, &length) && oid == kAthSimActivation)
            names.push_back(std::string(data, length < 16 ? length : 16));
    }
    return names;
}

class ProfileEditor : public ::testing::Test {
protected:
    void TearDown() override {
        theApp.session.CloseSession();
        theApp.editProfile = nullptr;
        theApp.editPassphrase.clear();
        theApp.editTxRate = 0;
        theApp.adapterPresent = 0;
        theApp.rememberedSubTab = 0;
        std::memset(theApp.statusRecord, 0, sizeof theApp.statusRecord);
        AthSimClear();
        testsim::ClearProductKeys();
    }
    // An adapter (with `adapterExtra` on its line) holding `rest` (profiles, networks,
    // status), the session open on it and one poll made. Every profile gets its registry
    // key, as the ones the program made have.
    void Open(const std::string& rest, const std::string& adapterExtra = "") {
        testsim::ClearProductKeys();
        testsim::Install(testsim::Adapter(0, adapterExtra) + rest);
        AthSimSetTime(5000);
        ASSERT_EQ(1, theApp.session.Discover());
        for (const std::string& name : theApp.session.profileNames)
            theApp.store.StorePassphraseCreating(name, "");
        Poll();
        AthSimClearRecorded(0);
    }
    // What the tray poll does each second.
    void Poll() { ASSERT_TRUE(theApp.session.ReadStatusRecord(theApp.statusRecord)); }

    // The record as the library stored it, read through a fresh configuration.
    ACProfile* Stored(const std::string& name) {
        fresh_.ReadConfig(theApp.session.deviceName.c_str(), theApp.session.subKey.c_str());
        return fresh_.GetProfile(name.c_str());
    }

private:
    ACAdapterConfig fresh_;
};

}  // namespace

TEST_F(ProfileEditor, ProfileListMarksTheCurrentProfileAndKeepsItFromDeletion) {
    Open(kTwoProfiles);
    std::vector<std::string> entries;
    int selected = -1;
    bool deleteAtOpen = true, deleteOnOther = false, deleteBackOnCurrent = true;
    std::string editedName;
    RunMonitor(0, {[&] {
        entries = ComboTexts(Config(), IDC_PROFILE_LIST);
        selected = Selection(Config(), IDC_PROFILE_LIST);
        deleteAtOpen = Enabled(Config(), IDC_DELETE_PROFILE);
        for (int id : {IDC_NEW_PROFILE, IDC_SAVE_PROFILE, IDC_APPLY_PROFILE, IDC_PROFILE_LIST})
            EXPECT_TRUE(Enabled(Config(), id)) << id;
        editedName = theApp.editProfile ? theApp.editProfile->name.c_str() : "<none>";
        Choose(Config(), IDC_PROFILE_LIST, 1);
        deleteOnOther = Enabled(Config(), IDC_DELETE_PROFILE);
        EXPECT_STREQ("CafeCorner", theApp.editProfile->ssid.c_str());
        Choose(Config(), IDC_PROFILE_LIST, 0);
        deleteBackOnCurrent = Enabled(Config(), IDC_DELETE_PROFILE);
    }});
    EXPECT_EQ((std::vector<std::string>{"Home *", "Cafe"}), entries);
    EXPECT_EQ(0, selected);
    EXPECT_EQ("Home", editedName);
    EXPECT_FALSE(deleteAtOpen);
    EXPECT_TRUE(deleteOnOther);
    EXPECT_FALSE(deleteBackOnCurrent);
}

TEST_F(ProfileEditor, WithOneProfileDeleteStaysDisabled) {
    Open("profile name=Solo ssid=Alone infrastructure=1 wirelessMode=12\n");
    bool deleteEnabled = true;
    std::vector<std::string> entries;
    RunMonitor(0, {[&] {
        entries = ComboTexts(Config(), IDC_PROFILE_LIST);
        deleteEnabled = Enabled(Config(), IDC_DELETE_PROFILE);
    }});
    EXPECT_EQ(std::vector<std::string>{"Solo *"}, entries);
    EXPECT_FALSE(deleteEnabled);
}

TEST_F(ProfileEditor, WithoutAnAdapterEverythingIsDisabledButTheSubTabsAreBuilt) {
    int tabs = 0, entries = -1;
    bool anyEnabled = false, anyBoxEnabled = false;
    HWND common = nullptr;
    RunMonitor(0, {[&] {
        for (int id : {IDC_NEW_PROFILE, IDC_SAVE_PROFILE, IDC_DELETE_PROFILE, IDC_APPLY_PROFILE,
                       IDC_PROFILE_LIST})
            anyEnabled = anyEnabled || Enabled(Config(), id);
        entries = static_cast<int>(SendDlgItemMessageA(Config(), IDC_PROFILE_LIST, CB_GETCOUNT, 0, 0));
        tabs = TabCtrl_GetItemCount(GetDlgItem(Config(), IDC_SUBTAB));
        common = Common();
        for (int id : {IDC_COMMON_SSID, IDC_COMMON_NETWORK_MODE, IDC_COMMON_RATE, IDC_COMMON_CHANNEL,
                       IDC_COMMON_POWER, IDC_COMMON_MODE})
            anyBoxEnabled = anyBoxEnabled || Enabled(Common(), id);
        EXPECT_EQ(3u, ComboTexts(Common(), IDC_COMMON_MODE).size());  // no Super G offered
    }});
    EXPECT_FALSE(anyEnabled);
    EXPECT_EQ(0, entries);
    EXPECT_EQ(2, tabs);
    EXPECT_NE(nullptr, common);
    EXPECT_FALSE(anyBoxEnabled);
}

TEST_F(ProfileEditor, SubPagesLieInsideTheSubTabArea) {
    Open(kTwoProfiles);
    RECT area = {}, common = {}, security = {};
    std::vector<std::string> tabTexts;
    RunMonitor(0, {[&] {
                       HWND tab = GetDlgItem(Config(), IDC_SUBTAB);
                       GetWindowRect(tab, &area);
                       TabCtrl_AdjustRect(tab, FALSE, &area);
                       GetWindowRect(Common(), &common);
                       for (int i = 0; i < 2; ++i) {
                           char text[32] = {};
                           TCITEMA item = {};
                           item.mask = TCIF_TEXT;
                           item.pszText = text;
                           item.cchTextMax = sizeof text;
                           SendMessageA(tab, TCM_GETITEMA, i, reinterpret_cast<LPARAM>(&item));
                           tabTexts.push_back(text);
                       }
                       ClickSubTab(1);
                   },
                   [&] {
                       GetWindowRect(CConfigPage::SubPage(1)->Handle(), &security);
                       EXPECT_EQ(nullptr, Common());
                   }});
    EXPECT_EQ((std::vector<std::string>{"Common", "Security"}), tabTexts);
    for (const RECT* page : {&common, &security}) {
        EXPECT_GE(page->left, area.left);
        EXPECT_GE(page->top, area.top);
        EXPECT_LE(page->right, area.right);
        EXPECT_LE(page->bottom, area.bottom);
        EXPECT_GT(page->right - page->left, 0);
    }
}

TEST_F(ProfileEditor, NewProfileRefusesEmptyAndDuplicateNamesAndKeepsTheDialogOpen) {
    Open(kTwoProfiles);
    BoxAnswerer boxes;
    std::string afterEmpty = "<unread>", afterDuplicate = "<unread>";
    bool openAfterRefusals = false;
    RunMonitor(0, {[&] { Click(Config(), IDC_NEW_PROFILE); },  // returns when the dialog ends
                   [&] { TypeNameAndOk(""); },
                   [&] {
                       afterEmpty = ItemText(NewDialog(), IDC_NEW_PROFILE_NAME);
                       TypeNameAndOk("hOME");
                   },
                   [&] {
                       afterDuplicate = ItemText(NewDialog(), IDC_NEW_PROFILE_NAME);
                       openAfterRefusals = NewDialog() != nullptr;
                       PostMessageA(NewDialog(), WM_CLOSE, 0, 0);  // the close box
                   },
                   [&] {
                       EXPECT_EQ(nullptr, NewDialog());
                       EXPECT_EQ((std::vector<std::string>{"Home *", "Cafe"}),
                                 ComboTexts(Config(), IDC_PROFILE_LIST));
                   }});
    EXPECT_EQ((std::vector<std::string>{
                  "Please enter a name for the new profile.",
                  "A profile with this name already exists. Please enter a different name for the new profile."}),
              boxes.texts);
    EXPECT_EQ((std::vector<std::string>{kNewTitle, kNewTitle}), boxes.owners);
    EXPECT_EQ("", afterEmpty);
    EXPECT_EQ("", afterDuplicate);
    EXPECT_TRUE(openAfterRefusals);
    EXPECT_EQ((std::vector<std::string>{"Home", "Cafe"}), theApp.session.profileNames);
    EXPECT_EQ(nullptr, Stored("hOME"));
}

TEST_F(ProfileEditor, NewProfileTakesSpacesAsTypedAndRefusesATooLongNameWithoutCuttingIt) {
    Open(kTwoProfiles);
    BoxAnswerer boxes;
    const std::string tooLong(169, 'n');
    std::string keptText;
    RunMonitor(0, {[&] { Click(Config(), IDC_NEW_PROFILE); },
                   [&] { TypeNameAndOk(tooLong); },
                   [&] {
                       keptText = ItemText(NewDialog(), IDC_NEW_PROFILE_NAME);
                       TypeNameAndOk(" Home ");  // not a duplicate of "Home"
                   },
                   [&] { Click(Config(), IDC_NEW_PROFILE); },
                   [&] { TypeNameAndOk("   "); },
                   [&] {
                       EXPECT_EQ(nullptr, NewDialog());
                       EXPECT_EQ((std::vector<std::string>{"Home", "Cafe", " Home ", "    *"}),
                                 ComboTexts(Config(), IDC_PROFILE_LIST));
                   }});
    ASSERT_EQ(1u, boxes.texts.size());
    EXPECT_EQ("The profile name is too long. Please enter a name of at most 168 characters.",
              boxes.texts[0]);
    EXPECT_EQ(kNewTitle, boxes.owners[0]);
    EXPECT_EQ(tooLong.substr(0, 127), keptText.substr(0, 127));  // ItemText reads 255 at most
    EXPECT_EQ(nullptr, Stored(tooLong));
    EXPECT_EQ(nullptr, Stored(tooLong.substr(0, 168)));
    EXPECT_NE(nullptr, Stored(" Home "));
    EXPECT_NE(nullptr, Stored("   "));
    EXPECT_EQ(0u, testsim::ReadDword(std::string(kRoot108) + " Home ", "TxRate"));
}

TEST_F(ProfileEditor, AProfileNamedWithSpacesIsSavedAppliedAndDeletedUnderItsFullName) {
    Open(kTwoProfiles + std::string("network ssid=\"Corner Shop\" channel=3 security=open\n"));
    const std::string name = "My Corner Shop";
    const std::string key = kRoot108 + name;
    std::vector<std::string> entriesAfterNew;
    int pageAfterApply = -1;
    RunMonitor(0, {[&] {
                       // The new profile starts from the edited one: make that the open shop.
                       Choose(Config(), IDC_PROFILE_LIST, 1);
                       Click(Config(), IDC_NEW_PROFILE);
                   },
                   [&] { TypeNameAndOk(name); },
                   [&] {
                       entriesAfterNew = ComboTexts(Config(), IDC_PROFILE_LIST);
                       // Edit, then save: the SSID typed reaches the library only now.
                       HWND ssid = GetDlgItem(Common(), IDC_COMMON_SSID);
                       SetWindowTextA(ssid, "Corner Shop");
                       SendMessageA(Common(), WM_COMMAND, MAKEWPARAM(IDC_COMMON_SSID, CBN_EDITCHANGE),
                                    reinterpret_cast<LPARAM>(ssid));
                       Choose(Common(), IDC_COMMON_RATE, 7);  // 11M in the b/g form
                       EXPECT_STREQ("CafeCorner", Stored(name)->ssid.c_str());
                       EXPECT_EQ(0u, testsim::ReadDword(key, "TxRate"));
                       Click(Config(), IDC_SAVE_PROFILE);
                       EXPECT_STREQ("Corner Shop", Stored(name)->ssid.c_str());
                       EXPECT_EQ(11000u, testsim::ReadDword(key, "TxRate"));
                       Click(Config(), IDC_APPLY_PROFILE);
                   },
                   [&] {
                       pageAfterApply = theMonitorDlg.currentPage;
                       EXPECT_NE(nullptr, theStatusPage.Handle());
                       EXPECT_EQ(nullptr, Config());
                       theMonitorDlg.SwitchPage(0);
                   },
                   [&] {
                       EXPECT_EQ((std::vector<std::string>{"Home", "Cafe", name + " *"}),
                                 ComboTexts(Config(), IDC_PROFILE_LIST));
                       // Home current again, so that the new one may go.
                       Choose(Config(), IDC_PROFILE_LIST, 0);
                       Click(Config(), IDC_APPLY_PROFILE);
                   },
                   [&] { theMonitorDlg.SwitchPage(0); },
                   [&] {
                       Choose(Config(), IDC_PROFILE_LIST, 2);
                       ASSERT_TRUE(Enabled(Config(), IDC_DELETE_PROFILE));
                       Click(Config(), IDC_DELETE_PROFILE);
                       EXPECT_EQ((std::vector<std::string>{"Home *", "Cafe"}),
                                 ComboTexts(Config(), IDC_PROFILE_LIST));
                   }});
    EXPECT_EQ((std::vector<std::string>{"Home", "Cafe", name + " *"}), entriesAfterNew);
    EXPECT_EQ(1, pageAfterApply);
    EXPECT_EQ((std::vector<std::string>{name, name, "Home", "Home"}), Activations());
    EXPECT_EQ(nullptr, Stored(name));
    EXPECT_EQ("<missing>", testsim::ReadString(key, "PassphraseCode"));
}

TEST_F(ProfileEditor, SwitchingProfilesKeepsTheSecuritySubTabAndAnApplyMakesTheNextVisitStartOnCommon) {
    Open(kTwoProfiles);
    RunMonitor(0, {[&] {
                       EXPECT_NE(nullptr, Common());
                       ClickSubTab(1);
                   },
                   [&] {
                       EXPECT_EQ(nullptr, Common());
                       EXPECT_NE(nullptr, CConfigPage::SubPage(1)->Handle());
                       EXPECT_EQ(1, theApp.rememberedSubTab);
                       Choose(Config(), IDC_PROFILE_LIST, 1);
                       EXPECT_STREQ("Cafe", theApp.editProfile->name.c_str());
                       EXPECT_EQ(1, TabCtrl_GetCurSel(GetDlgItem(Config(), IDC_SUBTAB)));
                       EXPECT_NE(nullptr, CConfigPage::SubPage(1)->Handle());
                       EXPECT_EQ(nullptr, Common());
                       Click(Config(), IDC_APPLY_PROFILE);
                   },
                   [&] {
                       EXPECT_EQ(1, theMonitorDlg.currentPage);
                       EXPECT_EQ(0, theApp.rememberedSubTab);
                       theMonitorDlg.SwitchPage(0);
                   },
                   [&] {
                       EXPECT_EQ(0, TabCtrl_GetCurSel(GetDlgItem(Config(), IDC_SUBTAB)));
                       EXPECT_NE(nullptr, Common());
                       EXPECT_EQ((std::vector<std::string>{"Home", "Cafe *"}),
                                 ComboTexts(Config(), IDC_PROFILE_LIST));
                   }});
    EXPECT_EQ((std::vector<std::string>{"Cafe", "Cafe"}), Activations());
}

TEST_F(ProfileEditor, AFailedCheckShowsTheSecuritySubTabNowAndAtTheNextVisit) {
    Open("profile name=Weak ssid=Net infrastructure=1 privacy=1 wpa=1 eapMethod=7 "
         "pskPassphrase=1234567 wirelessMode=12\n");
    BoxAnswerer boxes;
    RunMonitor(0, {[&] {
                       Click(Config(), IDC_SAVE_PROFILE);
                       EXPECT_EQ(nullptr, Common());
                       EXPECT_NE(nullptr, CConfigPage::SubPage(1)->Handle());
                       EXPECT_EQ(1, TabCtrl_GetCurSel(GetDlgItem(Config(), IDC_SUBTAB)));
                       ClickSubTab(0);
                   },
                   [&] {
                       EXPECT_NE(nullptr, Common());
                       Click(Config(), IDC_APPLY_PROFILE);
                       EXPECT_EQ(0, theMonitorDlg.currentPage);
                       EXPECT_NE(nullptr, CConfigPage::SubPage(1)->Handle());
                   }});
    RunMonitor(0, {[&] { EXPECT_NE(nullptr, CConfigPage::SubPage(1)->Handle()); }});
    const std::string message =
        "Please enter a passphrase (8 - 63 ASCII characters or 64 hexadecimal characters).";
    EXPECT_EQ((std::vector<std::string>{message, message}), boxes.texts);
    EXPECT_EQ((std::vector<std::string>{"Telvara WLAN Adapter Monitor", "Telvara WLAN Adapter Monitor"}),
              boxes.owners);
    EXPECT_TRUE(Activations().empty());
}

namespace {
// The Common page's boxes as the user sees them.
struct CommonBoxes {
    int networkMode, rate, channel, power, mode;
    std::vector<std::string> rates, modes, ssids;
    bool rateOn, channelOn, modeOn;
};

CommonBoxes ReadCommon() {
    HWND p = Common();
    return {Selection(p, IDC_COMMON_NETWORK_MODE), Selection(p, IDC_COMMON_RATE),
            Selection(p, IDC_COMMON_CHANNEL),      Selection(p, IDC_COMMON_POWER),
            Selection(p, IDC_COMMON_MODE),         ComboTexts(p, IDC_COMMON_RATE),
            ComboTexts(p, IDC_COMMON_MODE),        ComboTexts(p, IDC_COMMON_SSID),
            Enabled(p, IDC_COMMON_RATE),           Enabled(p, IDC_COMMON_CHANNEL),
            Enabled(p, IDC_COMMON_MODE)};
}

const std::vector<std::string> kRatesB = {"Auto", "11M", "5.5M", "2M", "1M"};
const std::vector<std::string> kRatesBG = {"Auto", "54M", "48M", "36M", "24M", "18M", "12M",
                                           "11M",  "9M",  "6M",  "5.5M", "2M",  "1M"};
}  // namespace

TEST_F(ProfileEditor, SuperGProfileOnAnAdapterWithoutSuperGBecomesMixedMode) {
    Open("profile name=Turbo ssid=Fast infrastructure=1 wirelessMode=28 channelMHz=2412\n",
         "modes=12");
    CommonBoxes atOpen{}, afterInfrastructure{};
    RunMonitor(0, {[&] {
        atOpen = ReadCommon();
        Choose(Common(), IDC_COMMON_NETWORK_MODE, 0);
        afterInfrastructure = ReadCommon();
    }});
    EXPECT_EQ((std::vector<std::string>{"802.11b", "802.11g", "Mixed Mode"}), atOpen.modes);
    EXPECT_EQ(2, atOpen.mode);
    EXPECT_TRUE(atOpen.rateOn);
    EXPECT_EQ(kRatesBG, atOpen.rates);
    EXPECT_EQ(2, afterInfrastructure.mode);
    EXPECT_TRUE(afterInfrastructure.rateOn);
    EXPECT_EQ(12, theApp.editProfile->wirelessMode);
    EXPECT_EQ(28, Stored("Turbo")->wirelessMode);  // in the editing state only, until saved
}

TEST_F(ProfileEditor, InfrastructureAndSuperGOnAnAdapterThatOffersIt) {
    Open("profile name=Plain ssid=Net infrastructure=1 wirelessMode=8 channelMHz=2412\n");
    theApp.editTxRate = 0;
    CommonBoxes atOpen{}, afterInfrastructure{}, afterMode{}, afterSuperG{};
    int32_t rateAfterMode = -1;
    RunMonitor(0, {[&] {
        atOpen = ReadCommon();
        Choose(Common(), IDC_COMMON_NETWORK_MODE, 0);
        afterInfrastructure = ReadCommon();
        EXPECT_EQ(28, theApp.editProfile->wirelessMode);
        Choose(Common(), IDC_COMMON_MODE, 1);
        Choose(Common(), IDC_COMMON_RATE, 3);  // 36M
        EXPECT_EQ(36000, theApp.editTxRate);
        Choose(Common(), IDC_COMMON_MODE, 2);
        rateAfterMode = theApp.editTxRate;
        afterMode = ReadCommon();
        Choose(Common(), IDC_COMMON_MODE, 3);
        afterSuperG = ReadCommon();
    }});
    EXPECT_EQ((std::vector<std::string>{"802.11b", "802.11g", "Mixed Mode", "Super G"}), atOpen.modes);
    EXPECT_EQ(1, atOpen.mode);
    EXPECT_EQ(3, afterInfrastructure.mode);
    EXPECT_FALSE(afterInfrastructure.rateOn);
    EXPECT_TRUE(afterInfrastructure.modeOn);
    EXPECT_FALSE(afterInfrastructure.channelOn);
    EXPECT_EQ(0, rateAfterMode);
    EXPECT_EQ(0, afterMode.rate);
    EXPECT_TRUE(afterMode.rateOn);
    EXPECT_FALSE(afterSuperG.rateOn);
    EXPECT_EQ(28, theApp.editProfile->wirelessMode);
    EXPECT_EQ(2437, theApp.editProfile->channelMHz);
    EXPECT_EQ(8, Stored("Plain")->wirelessMode);
    EXPECT_EQ(2412, Stored("Plain")->channelMHz);
}

TEST_F(ProfileEditor, AdHocForces80211bAndClearsWpaAndEapButNotWep) {
    Open("profile name=Psk ssid=A infrastructure=1 privacy=1 wpa=1 eapMethod=7 pskPassphrase=12345678 "
         "wirelessMode=28 channelMHz=2422\n"
         "profile name=Peap ssid=B infrastructure=1 privacy=1 wpa=0 eapMethod=3 wirelessMode=12\n"
         "profile name=Wep ssid=C infrastructure=1 privacy=1 wpa=0 eapMethod=7 wepKey1=1234567890 "
         "wirelessMode=12\n"
         "select name=Psk\n");
    CommonBoxes adHoc{};
    int cleared[2][3] = {}, wep[3] = {};
    int channelAfterAdHoc = -2;
    RunMonitor(0, {[&] {
        theApp.editTxRate = 54000;
        Choose(Common(), IDC_COMMON_NETWORK_MODE, 1);
        adHoc = ReadCommon();
        EXPECT_EQ(0, theApp.editTxRate);
        channelAfterAdHoc = Selection(Common(), IDC_COMMON_CHANNEL);
        ACProfile& p = *theApp.editProfile;
        cleared[0][0] = p.eapMethod, cleared[0][1] = p.privacy, cleared[0][2] = p.wpa;
        Choose(Config(), IDC_PROFILE_LIST, 1);
        Choose(Common(), IDC_COMMON_NETWORK_MODE, 1);
        ACProfile& q = *theApp.editProfile;
        cleared[1][0] = q.eapMethod, cleared[1][1] = q.privacy, cleared[1][2] = q.wpa;
        Choose(Config(), IDC_PROFILE_LIST, 2);
        Choose(Common(), IDC_COMMON_NETWORK_MODE, 1);
        ACProfile& r = *theApp.editProfile;
        wep[0] = r.eapMethod, wep[1] = r.privacy, wep[2] = r.wpa;
        // The ad hoc channel goes into the profile.
        Choose(Common(), IDC_COMMON_CHANNEL, 10);
        EXPECT_EQ(2462, r.channelMHz);
        EXPECT_EQ(0, r.infrastructure);
        EXPECT_EQ(4, r.wirelessMode);
    }});
    EXPECT_EQ(0, adHoc.mode);
    EXPECT_EQ(kRatesB, adHoc.rates);
    EXPECT_EQ(0, adHoc.rate);
    EXPECT_TRUE(adHoc.rateOn);
    EXPECT_TRUE(adHoc.channelOn);
    EXPECT_FALSE(adHoc.modeOn);
    EXPECT_EQ(2, channelAfterAdHoc);  // the profile's own channel, 2422 MHz
    for (auto& c : cleared) {
        EXPECT_EQ(0, c[0]);
        EXPECT_EQ(0, c[1]);
        EXPECT_EQ(0, c[2]);
    }
    EXPECT_EQ(7, wep[0]);
    EXPECT_EQ(1, wep[1]);
    EXPECT_EQ(0, wep[2]);
    EXPECT_EQ(1, Stored("Psk")->wpa);
}

TEST_F(ProfileEditor, RatesAreReadAndWrittenInTheFormOfTheTransmissionMode) {
    Open("profile name=B ssid=Slow infrastructure=0 wirelessMode=4 channelMHz=2412\n"
         "profile name=G ssid=Quick infrastructure=1 wirelessMode=12\n"
         "select name=B\n");
    theApp.store.StoreTxRate("B", 5500);
    theApp.store.StoreTxRate("G", 5500);
    CommonBoxes b{}, g{};
    int32_t bRate1 = -1, gRate1 = -1, gRate7 = -1;
    RunMonitor(0, {[&] {
        b = ReadCommon();
        Choose(Common(), IDC_COMMON_RATE, 1);
        bRate1 = theApp.editTxRate;
        Choose(Config(), IDC_PROFILE_LIST, 1);
        g = ReadCommon();
        Choose(Common(), IDC_COMMON_RATE, 1);
        gRate1 = theApp.editTxRate;
        Choose(Common(), IDC_COMMON_RATE, 7);
        gRate7 = theApp.editTxRate;
    }});
    EXPECT_EQ(kRatesB, b.rates);
    EXPECT_EQ(2, b.rate);  // 5.5M
    EXPECT_EQ(1, b.networkMode);
    EXPECT_TRUE(b.channelOn);
    EXPECT_FALSE(b.modeOn);
    EXPECT_EQ(0, b.channel);
    EXPECT_EQ(11000, bRate1);
    EXPECT_EQ(kRatesBG, g.rates);
    EXPECT_EQ(10, g.rate);  // 5.5M
    EXPECT_EQ(54000, gRate1);
    EXPECT_EQ(11000, gRate7);
    EXPECT_EQ(5500u, testsim::ReadDword(std::string(kRoot108) + "G", "TxRate"));
}

TEST_F(ProfileEditor, SsidListHasTheProfilesNameFirstAndEachScannedNameOnce) {
    Open("profile name=Home ssid=HomeNet infrastructure=1 wirelessMode=12\n"
         "network ssid=HomeNet bssid=00:03:7F:10:00:01 channel=1\n"
         "network ssid=homenet bssid=00:03:7F:10:00:02 channel=3\n"
         "network ssid=Other bssid=00:03:7F:10:00:03 channel=6\n"
         "network ssid=Secret bssid=00:03:7F:10:00:04 channel=9 hidden=yes\n"
         "network ssid=HomeNet bssid=00:03:7F:10:00:05 channel=11\n"
         "network ssid=Other bssid=00:03:7F:10:00:06 channel=11\n");
    std::vector<std::string> ssids;
    std::string chosen, typed;
    RunMonitor(0, {[&] {
        ssids = ReadCommon().ssids;
        Choose(Common(), IDC_COMMON_SSID, 2);
        chosen = theApp.editProfile->ssid.c_str();
        // Typed into the box: each key reaches the profile, and no more than 32 fit.
        HWND box = GetDlgItem(Common(), IDC_COMMON_SSID);
        HWND edit = GetWindow(box, GW_CHILD);
        SetFocus(edit);
        SendMessageA(edit, EM_SETSEL, 0, -1);
        for (int i = 0; i < 40; ++i) SendMessageA(edit, WM_CHAR, 'a' + i % 26, 0);
        typed = theApp.editProfile->ssid.c_str();
    }});
    ASSERT_FALSE(ssids.empty());
    EXPECT_EQ("HomeNet", ssids[0]);
    std::vector<std::string> scanned(ssids.begin() + 1, ssids.end());
    std::sort(scanned.begin(), scanned.end());
    EXPECT_EQ((std::vector<std::string>{"Other", "homenet"}), scanned);
    EXPECT_EQ(ssids[2], chosen);
    EXPECT_EQ("abcdefghijklmnopqrstuvwxyzabcdef", typed);
    EXPECT_STREQ("HomeNet", Stored("Home")->ssid.c_str());
}

TEST_F(ProfileEditor, InInfrastructureModeTheChannelFollowsTheAdapter) {
    Open("profile name=Home ssid=HomeNet infrastructure=1 wirelessMode=12 channelMHz=2412\n"
         "select name=Home\n"
         "status freq=2437\n");
    int atOpen = -2, afterTick = -2, afterUnknown = -2, adHocAfterTick = -2;
    auto setFrequency = [](uint32_t mhz) {
        uint32_t word = mhz;
        std::memcpy(theApp.statusRecord + 132, &word, sizeof word);
    };
    RunMonitor(0, {[&] {
        atOpen = Selection(Common(), IDC_COMMON_CHANNEL);
        EXPECT_FALSE(Enabled(Common(), IDC_COMMON_CHANNEL));
        setFrequency(2462);
        SendMessageA(Common(), WM_TIMER, CCommonPage::kTimerId, 0);
        afterTick = Selection(Common(), IDC_COMMON_CHANNEL);
        setFrequency(5180);  // a 5 GHz channel: beyond the list
        SendMessageA(Common(), WM_TIMER, CCommonPage::kTimerId, 0);
        afterUnknown = Selection(Common(), IDC_COMMON_CHANNEL);
        Choose(Common(), IDC_COMMON_NETWORK_MODE, 1);
        setFrequency(2462);
        SendMessageA(Common(), WM_TIMER, CCommonPage::kTimerId, 0);
        adHocAfterTick = Selection(Common(), IDC_COMMON_CHANNEL);
    }});
    EXPECT_EQ(5, atOpen);
    EXPECT_EQ(10, afterTick);
    EXPECT_EQ(-1, afterUnknown);
    EXPECT_EQ(0, adHocAfterTick);  // ad hoc: the profile's own channel stays
}
