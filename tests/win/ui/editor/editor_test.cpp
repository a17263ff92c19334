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
#include "monitor/app/monitor_app.h"
#include "monitor/res/resource.h"
#include "monitor/ui/editor/common_page.h"
#include "monitor/ui/editor/config_page.h"
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
        ASSERT_TRUE(theApp.session.ReadStatusRecord(theApp.statusRecord));  // the tray poll's
        AthSimClearRecorded(0);
    }

    // The record as the library stored it, read through a fresh configuration.
    ACProfile* Stored(const std::string& name) {
        fresh_.ReadConfig(theApp.session.deviceName.c_str(), theApp.session.subKey.c_str());
        return fresh_.GetProfile(name.c_str());
    }

private:
    ACAdapterConfig fresh_;
};

}  // namespace

TEST_F(ProfileEditor, ProfileListMarksTheCurrentProfileAndDeleteFollowsIt) {
    Open(kTwoProfiles);
    RunMonitor(0, {[&] {
        EXPECT_EQ((std::vector<std::string>{"Home *", "Cafe"}), ComboTexts(Config(), IDC_PROFILE_LIST));
        EXPECT_EQ(0, Selection(Config(), IDC_PROFILE_LIST));
        EXPECT_STREQ("Home", theApp.editProfile->name.c_str());
        EXPECT_FALSE(Enabled(Config(), IDC_DELETE_PROFILE));
        Choose(Config(), IDC_PROFILE_LIST, 1);
        EXPECT_TRUE(Enabled(Config(), IDC_DELETE_PROFILE));
        EXPECT_STREQ("CafeCorner", theApp.editProfile->ssid.c_str());
        Choose(Config(), IDC_PROFILE_LIST, 0);
        EXPECT_FALSE(Enabled(Config(), IDC_DELETE_PROFILE));
    }});
    theApp.session.CloseSession();
    Open("profile name=Solo ssid=Alone infrastructure=1 wirelessMode=12\n");
    RunMonitor(0, {[&] {
        EXPECT_EQ(std::vector<std::string>{"Solo *"}, ComboTexts(Config(), IDC_PROFILE_LIST));
        EXPECT_FALSE(Enabled(Config(), IDC_DELETE_PROFILE));
    }});
}

TEST_F(ProfileEditor, NewProfileRefusesEmptyDuplicateAndTooLongNamesAndTakesSpacesAsTyped) {
    Open(kTwoProfiles);
    BoxAnswerer boxes;
    const std::string tooLong(166, 'n');
    std::vector<std::string> afterRefusals;
    RunMonitor(0, {[&] { Click(Config(), IDC_NEW_PROFILE); },  // returns when the dialog ends
                   [&] { TypeNameAndOk(""); },
                   [&] {
                       afterRefusals.push_back(ItemText(NewDialog(), IDC_NEW_PROFILE_NAME));
                       TypeNameAndOk("hOME");
                   },
                   [&] {
                       afterRefusals.push_back(ItemText(NewDialog(), IDC_NEW_PROFILE_NAME));
                       TypeNameAndOk(tooLong);
                   },
                   [&] {
                       afterRefusals.push_back(ItemText(NewDialog(), IDC_NEW_PROFILE_NAME));
                       PostMessageA(NewDialog(), WM_CLOSE, 0, 0);  // the close box
                   },
                   [&] {
                       EXPECT_EQ(nullptr, NewDialog());
                       EXPECT_EQ((std::vector<std::string>{"Home", "Cafe"}), theApp.session.profileNames);
                       Click(Config(), IDC_NEW_PROFILE);
                   },
                   [&] {
                       // Typed and confirmed with Enter, which the dialog's OK button takes.
                       HWND edit = GetDlgItem(NewDialog(), IDC_NEW_PROFILE_NAME);
                       SetWindowTextA(edit, " Home ");
                       PostMessageA(edit, WM_KEYDOWN, VK_RETURN, 0);
                   },
                   [&] {
                       EXPECT_EQ((std::vector<std::string>{"Home", "Cafe", " Home  *"}),
                                 ComboTexts(Config(), IDC_PROFILE_LIST));
                   }});
    EXPECT_EQ((std::vector<std::string>{
                  "Please enter a name for the new profile.",
                  "A profile with this name already exists. Please enter a different name for the new profile.",
                  "Please enter a name of at most 165 characters for the new profile."}),
              boxes.texts);
    EXPECT_EQ((std::vector<std::string>{kNewTitle, kNewTitle, kNewTitle}), boxes.owners);
    // Emptied after its own checks; kept, not cut, after the store's (ItemText reads 255).
    EXPECT_EQ((std::vector<std::string>{"", "", tooLong}), afterRefusals);
    EXPECT_EQ(nullptr, Stored(tooLong.substr(0, 165)));
    EXPECT_NE(nullptr, Stored(" Home "));
    EXPECT_EQ(0u, testsim::ReadDword(std::string(kRoot108) + " Home ", "TxRate"));
}

TEST_F(ProfileEditor, AProfileNamedWithSpacesIsSavedAppliedAndDeletedUnderItsFullName) {
    Open(kTwoProfiles);
    const std::string name = "My Corner Shop";
    const std::string key = kRoot108 + name;
    RunMonitor(0, {[&] {
                       // The new profile starts from the edited one.
                       Choose(Config(), IDC_PROFILE_LIST, 1);
                       Click(Config(), IDC_NEW_PROFILE);
                   },
                   [&] { TypeNameAndOk(name); },
                   [&] {
                       EXPECT_EQ((std::vector<std::string>{"Home", "Cafe", name + " *"}),
                                 ComboTexts(Config(), IDC_PROFILE_LIST));
                       // Edits reach the library and the registry only with Save.
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
                       EXPECT_EQ(1, theMonitorDlg.currentPage);
                       EXPECT_NE(nullptr, theStatusPage.Handle());
                       theMonitorDlg.SwitchPage(0);
                   },
                   [&] {
                       // Home current again, so that the new one may go.
                       Choose(Config(), IDC_PROFILE_LIST, 0);
                       Click(Config(), IDC_APPLY_PROFILE);
                   },
                   [&] { theMonitorDlg.SwitchPage(0); },
                   [&] {
                       Choose(Config(), IDC_PROFILE_LIST, 2);
                       Click(Config(), IDC_DELETE_PROFILE);
                       EXPECT_EQ((std::vector<std::string>{"Home *", "Cafe"}),
                                 ComboTexts(Config(), IDC_PROFILE_LIST));
                   }});
    EXPECT_EQ((std::vector<std::string>{name, name, "Home", "Home"}), Activations());
    EXPECT_EQ(nullptr, Stored(name));
    EXPECT_EQ("<missing>", testsim::ReadString(key, "PassphraseCode"));
}

TEST_F(ProfileEditor, SwitchingProfilesKeepsTheSecuritySubTabAndAnApplyMakesTheNextVisitStartOnCommon) {
    Open(kTwoProfiles);
    auto securityShown = [] {
        return Common() == nullptr && CConfigPage::SubPage(1)->Handle() != nullptr &&
               TabCtrl_GetCurSel(GetDlgItem(Config(), IDC_SUBTAB)) == 1;
    };
    RunMonitor(0, {[&] { ClickSubTab(1); },
                   [&] {
                       EXPECT_TRUE(securityShown());
                       Choose(Config(), IDC_PROFILE_LIST, 1);
                       EXPECT_STREQ("Cafe", theApp.editProfile->name.c_str());
                       EXPECT_TRUE(securityShown());
                       Click(Config(), IDC_APPLY_PROFILE);
                   },
                   [&] {
                       EXPECT_EQ(1, theMonitorDlg.currentPage);
                       theMonitorDlg.SwitchPage(0);
                   },
                   [&] {
                       EXPECT_NE(nullptr, Common());
                       EXPECT_EQ(0, TabCtrl_GetCurSel(GetDlgItem(Config(), IDC_SUBTAB)));
                   }});
    EXPECT_EQ((std::vector<std::string>{"Cafe", "Cafe"}), Activations());
}

TEST_F(ProfileEditor, AFailedCheckShowsTheSecuritySubTabNowAndAtTheNextVisit) {
    Open("profile name=Weak ssid=Net infrastructure=1 privacy=1 wpa=1 eapMethod=7 "
         "pskPassphrase=1234567 wirelessMode=12\n");
    BoxAnswerer boxes;
    RunMonitor(0, {[&] {
                       Click(Config(), IDC_SAVE_PROFILE);
                       EXPECT_NE(nullptr, CConfigPage::SubPage(1)->Handle());
                       ClickSubTab(0);
                   },
                   [&] {
                       Click(Config(), IDC_APPLY_PROFILE);
                       EXPECT_EQ(0, theMonitorDlg.currentPage);
                       EXPECT_NE(nullptr, CConfigPage::SubPage(1)->Handle());
                   }});
    RunMonitor(0, {[&] { EXPECT_NE(nullptr, CConfigPage::SubPage(1)->Handle()); }});
    const std::string message =
        "Please enter a passphrase (8 - 63 ASCII characters or 64 hexadecimal characters).";
    EXPECT_EQ((std::vector<std::string>{message, message}), boxes.texts);
    EXPECT_TRUE(Activations().empty());
}

namespace {
const std::vector<std::string> kRatesB = {"Auto", "11M", "5.5M", "2M", "1M"};
const std::vector<std::string> kRatesBG = {"Auto", "54M", "48M", "36M", "24M", "18M", "12M",
                                           "11M",  "9M",  "6M",  "5.5M", "2M",  "1M"};
}  // namespace

TEST_F(ProfileEditor, TransmissionModesFollowWhatTheAdapterOffers) {
    // Without Super G: a Super G profile opens as Mixed Mode, and Infrastructure picks it.
    Open("profile name=Turbo ssid=Fast infrastructure=1 wirelessMode=28\n", "modes=12");
    RunMonitor(0, {[&] {
        EXPECT_EQ((std::vector<std::string>{"802.11b", "802.11g", "Mixed Mode"}),
                  ComboTexts(Common(), IDC_COMMON_MODE));
        EXPECT_EQ(2, Selection(Common(), IDC_COMMON_MODE));
        EXPECT_EQ(12, theApp.editProfile->wirelessMode);
        Choose(Common(), IDC_COMMON_NETWORK_MODE, 0);
        EXPECT_EQ(2, Selection(Common(), IDC_COMMON_MODE));
        EXPECT_TRUE(Enabled(Common(), IDC_COMMON_RATE));
    }});
    EXPECT_EQ(28, Stored("Turbo")->wirelessMode);  // in the editing state only, until saved
    theApp.session.CloseSession();

    // With Super G: Infrastructure picks Super G; choosing it moves the profile to channel 6.
    Open("profile name=Plain ssid=Net infrastructure=1 wirelessMode=8 channelMHz=2412\n");
    RunMonitor(0, {[&] {
        EXPECT_EQ(4u, ComboTexts(Common(), IDC_COMMON_MODE).size());
        Choose(Common(), IDC_COMMON_NETWORK_MODE, 0);
        EXPECT_EQ(3, Selection(Common(), IDC_COMMON_MODE));
        EXPECT_EQ(28, theApp.editProfile->wirelessMode);
        EXPECT_FALSE(Enabled(Common(), IDC_COMMON_RATE));
        Choose(Common(), IDC_COMMON_MODE, 1);
        Choose(Common(), IDC_COMMON_RATE, 3);  // 36M
        EXPECT_EQ(36000, theApp.editTxRate);
        Choose(Common(), IDC_COMMON_MODE, 3);
        EXPECT_EQ(0, theApp.editTxRate);
        EXPECT_EQ(0, Selection(Common(), IDC_COMMON_RATE));
        EXPECT_FALSE(Enabled(Common(), IDC_COMMON_RATE));
        EXPECT_EQ(2437, theApp.editProfile->channelMHz);
    }});
}

TEST_F(ProfileEditor, AdHocForces80211bAndClearsWpaAndEapButNotWep) {
    Open("profile name=Psk ssid=A infrastructure=1 privacy=1 wpa=1 eapMethod=7 pskPassphrase=12345678 "
         "wirelessMode=28 channelMHz=2422\n"
         "profile name=Peap ssid=B infrastructure=1 privacy=1 wpa=0 eapMethod=3 wirelessMode=12\n"
         "profile name=Wep ssid=C infrastructure=1 privacy=1 wpa=0 eapMethod=7 wirelessMode=12\n"
         "select name=Psk\n");
    std::vector<std::vector<int>> security;
    RunMonitor(0, {[&] {
        for (int profile = 0; profile < 3; ++profile) {
            Choose(Config(), IDC_PROFILE_LIST, profile);
            theApp.editTxRate = 54000;
            Choose(Common(), IDC_COMMON_NETWORK_MODE, 1);
            const ACProfile& p = *theApp.editProfile;
            security.push_back({p.eapMethod, p.privacy, p.wpa});
        }
        EXPECT_EQ(0, Selection(Common(), IDC_COMMON_MODE));
        EXPECT_EQ(kRatesB, ComboTexts(Common(), IDC_COMMON_RATE));
        EXPECT_EQ(0, Selection(Common(), IDC_COMMON_RATE));
        EXPECT_EQ(0, theApp.editTxRate);
        EXPECT_TRUE(Enabled(Common(), IDC_COMMON_CHANNEL));
        EXPECT_FALSE(Enabled(Common(), IDC_COMMON_MODE));
        Choose(Common(), IDC_COMMON_CHANNEL, 10);
        EXPECT_EQ(2462, theApp.editProfile->channelMHz);
    }});
    EXPECT_EQ((std::vector<std::vector<int>>{{0, 0, 0}, {0, 0, 0}, {7, 1, 0}}), security);
    EXPECT_EQ(1, Stored("Psk")->wpa);
}

TEST_F(ProfileEditor, RatesAreReadAndWrittenInTheFormOfTheTransmissionMode) {
    Open("profile name=B ssid=Slow infrastructure=0 wirelessMode=4 channelMHz=2412\n"
         "profile name=G ssid=Quick infrastructure=1 wirelessMode=12\n"
         "select name=B\n");
    theApp.store.StoreTxRate("B", 5500);
    theApp.store.StoreTxRate("G", 5500);
    RunMonitor(0, {[&] {
        EXPECT_EQ(kRatesB, ComboTexts(Common(), IDC_COMMON_RATE));
        EXPECT_EQ(2, Selection(Common(), IDC_COMMON_RATE));  // 5.5M
        EXPECT_EQ(0, Selection(Common(), IDC_COMMON_CHANNEL));
        Choose(Common(), IDC_COMMON_RATE, 1);
        EXPECT_EQ(11000, theApp.editTxRate);
        Choose(Config(), IDC_PROFILE_LIST, 1);
        EXPECT_EQ(kRatesBG, ComboTexts(Common(), IDC_COMMON_RATE));
        EXPECT_EQ(10, Selection(Common(), IDC_COMMON_RATE));  // 5.5M
        Choose(Common(), IDC_COMMON_RATE, 1);
        EXPECT_EQ(54000, theApp.editTxRate);
        Choose(Common(), IDC_COMMON_RATE, 7);
        EXPECT_EQ(11000, theApp.editTxRate);
    }});
}

TEST_F(ProfileEditor, SsidListHasTheProfilesNameFirstAndThenEveryAccessPointsNameInListOrder) {
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
        ssids = ComboTexts(Common(), IDC_COMMON_SSID);
        Choose(Common(), IDC_COMMON_SSID, 2);
        chosen = theApp.editProfile->ssid.c_str();
        // Typed into the box: each key reaches the profile, and no more than 32 fit.
        HWND edit = GetWindow(GetDlgItem(Common(), IDC_COMMON_SSID), GW_CHILD);
        SetFocus(edit);
        SendMessageA(edit, EM_SETSEL, 0, -1);
        for (int i = 0; i < 40; ++i) SendMessageA(edit, WM_CHAR, 'a' + i % 26, 0);
        typed = theApp.editProfile->ssid.c_str();
    }});
    // The profile's own name is not repeated; the hidden network has none.
    EXPECT_EQ((std::vector<std::string>{"HomeNet", "homenet", "Other", "Other"}), ssids);
    EXPECT_FALSE(chosen.empty());
    EXPECT_NE("HomeNet", chosen);
    EXPECT_EQ("abcdefghijklmnopqrstuvwxyzabcdef", typed);
}

TEST_F(ProfileEditor, InInfrastructureModeTheChannelFollowsTheAdapter) {
    Open("profile name=Home ssid=HomeNet infrastructure=1 wirelessMode=12 channelMHz=2412\n"
         "status freq=2437\n");
    auto tickAt = [](uint32_t mhz) {
        std::memcpy(theApp.statusRecord + 132, &mhz, sizeof mhz);  // the poll's channel word
        SendMessageA(Common(), WM_TIMER, CCommonPage::kTimerId, 0);
        return Selection(Common(), IDC_COMMON_CHANNEL);
    };
    RunMonitor(0, {[&] {
        EXPECT_EQ(5, Selection(Common(), IDC_COMMON_CHANNEL));
        EXPECT_FALSE(Enabled(Common(), IDC_COMMON_CHANNEL));
        EXPECT_EQ(10, tickAt(2462));
        EXPECT_EQ(-1, tickAt(5180));  // 5 GHz: not in the list
        Choose(Common(), IDC_COMMON_NETWORK_MODE, 1);
        EXPECT_EQ(0, tickAt(2462));  // ad hoc: the profile's own channel stays
    }});
}

TEST_F(ProfileEditor, TheCommonRulesHoldWhenTheSecuritySubTabOpensFirst) {
    // A Super G profile on an adapter without Super G, the Security sub-tab remembered.
    Open("profile name=Turbo ssid=Fast infrastructure=1 wirelessMode=28\n", "modes=12");
    theApp.rememberedSubTab = 1;
    RunMonitor(0, {[&] {
        EXPECT_NE(nullptr, CConfigPage::SubPage(1)->Handle());
        Click(Config(), IDC_SAVE_PROFILE);
    }});
    EXPECT_EQ(12, Stored("Turbo")->wirelessMode);
}

TEST_F(ProfileEditor, ALongStoredPassphraseStopsOnlyAWepProfile) {
    // The cipher keeps up to 120 characters; the editor takes 99.
    Open("profile name=Psk ssid=A infrastructure=1 privacy=1 wpa=1 eapMethod=7 pskPassphrase=12345678 "
         "wirelessMode=12\n"
         "profile name=Wep ssid=B infrastructure=1 privacy=1 wpa=0 eapMethod=7 wirelessMode=12 "
         "keyIsHex=1 defaultKey=1 wepKey1=0123456789 wepKeyBits1=40\n"
         "select name=Psk\n");
    for (const char* name : {"Psk", "Wep"}) theApp.store.StorePassphrase(name, std::string(110, 'p'));
    BoxAnswerer boxes;
    RunMonitor(0, {[&] {
                       Click(Config(), IDC_SAVE_PROFILE);
                       Click(Config(), IDC_NEW_PROFILE);
                   },
                   [&] { TypeNameAndOk("Copy"); },
                   [&] {
                       if (HWND refused = NewDialog()) PostMessageA(refused, WM_CLOSE, 0, 0);
                   },
                   [&] {
                       Choose(Config(), IDC_PROFILE_LIST, 0);
                       Click(Config(), IDC_APPLY_PROFILE);
                   },
                   [&] { theMonitorDlg.SwitchPage(0); },
                   [&] {
                       Choose(Config(), IDC_PROFILE_LIST, 1);
                       Click(Config(), IDC_SAVE_PROFILE);
                       Click(Config(), IDC_APPLY_PROFILE);
                   }});
    const std::string refusal = "The passphrase is too long. Please enter a passphrase of at most 99 characters.";
    EXPECT_EQ((std::vector<std::string>{refusal, refusal}), boxes.texts);
    EXPECT_EQ((std::vector<std::string>{"Psk", "Wep", "Copy"}), theApp.session.profileNames);
    EXPECT_EQ((std::vector<std::string>{"Psk", "Psk"}), Activations());
}
