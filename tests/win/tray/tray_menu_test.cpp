// The tray menu's Profiles submenu and Radio item, read from the menu as it is shown and
// chosen as the user chooses them.
#include "tests/win/tray/tray_fixture.h"

#include "athcfg/sim/athsim.h"
#include "monitor/adapter/oids.h"
#include "monitor/ui/editor/config_page.h"

namespace {

// The items of `menu` in order: text, "*" when checked, "~" when grayed, a submenu in [].
std::string Describe(HMENU menu) {
    std::string text;
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        if (i) text += "|";
        char name[80] = {};
        GetMenuStringA(menu, i, name, sizeof name, MF_BYPOSITION);
        UINT state = GetMenuState(menu, i, MF_BYPOSITION);
        if (state & MF_SEPARATOR) {
            text += "-";
            continue;
        }
        text += name;
        if (state & MF_CHECKED) text += "*";
        if (state & MF_GRAYED) text += "~";
        if (HMENU sub = GetSubMenu(menu, i)) text += "[" + Describe(sub) + "]";
    }
    return text;
}

// Reads the tray menu while it is open, then closes it.
std::string g_shownMenu;
void CALLBACK ReadMenu(HWND, UINT, UINT_PTR, DWORD) {
    HWND window = FindWindowA("#32768", nullptr);
    if (!window || !IsWindowVisible(window)) return;
    HMENU menu = reinterpret_cast<HMENU>(SendMessageA(window, MN_GETHMENU, 0, 0));
    if (menu) g_shownMenu = Describe(menu);
    EndMenu();
}

// Reads and presses OK on any message box, as a user at the machine would.
std::vector<std::string> g_boxes;
HHOOK g_hook;
LRESULT CALLBACK OnCbt(int code, WPARAM wp, LPARAM lp) {
    HWND box = reinterpret_cast<HWND>(wp);
    char cls[16] = {}, text[512] = {};
    // A message box is the dialog whose text control has the ID 0xFFFF.
    if (code == HCBT_ACTIVATE && GetClassNameA(box, cls, sizeof cls) && !lstrcmpA(cls, "#32770") &&
        GetDlgItem(box, 0xFFFF)) {
        GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
        g_boxes.push_back(text);
        PostMessageA(box, WM_COMMAND, IDOK, 0);
    }
    return CallNextHookEx(g_hook, code, wp, lp);
}

const char kProfiles[] =
    "profile name=Home ssid=Harbor infrastructure=1\n"
    "profile name=R&D ssid=Lab infrastructure=1\n"
    // A WEP key far shorter than its length: the checks refuse it.
    "profile name=Broken ssid=Cellar infrastructure=1 privacy=1 eapMethod=7 wpa=0 keyIsHex=1 defaultKey=1 "
    "wepKey1=00 wepKeyBits1=104\n"
    "select name=Home\n";

const char kPartsItems[] = "Configuration|Status|IP Settings|Site Monitor|About|-|";

class TrayMenuTest : public TrayTest {
protected:
    std::string ShownMenu() {
        g_shownMenu.clear();
        UINT_PTR timer = SetTimer(nullptr, 0, 100, ReadMenu);
        Mouse(WM_RBUTTONUP);
        KillTimer(nullptr, timer);
        return g_shownMenu;
    }
    // The tray menu's command, with any message box read and closed.
    void Choose(int id) {
        g_boxes.clear();
        g_hook = SetWindowsHookExA(WH_CBT, OnCbt, nullptr, GetCurrentThreadId());
        Command(id);
        UnhookWindowsHookEx(g_hook);
    }
};

// On the open Configuration page the user picks R&D and changes its SSID; then Broken (which the
// checks refuse) and R&D are applied from the tray. What the page and the editor show then.
std::string g_seen;
HWND g_frame;
void EditThenApplyFromTheTray() {
    HWND page = theConfigPage.Handle(), list = GetDlgItem(page, IDC_PROFILE_LIST);
    SendMessageA(list, CB_SETCURSEL, 1, 0);
    SendMessageA(page, WM_COMMAND, MAKEWPARAM(IDC_PROFILE_LIST, CBN_SELCHANGE), LPARAM(list));
    theApp.editProfile->ssid = "Unsaved";
    g_hook = SetWindowsHookExA(WH_CBT, OnCbt, nullptr, GetCurrentThreadId());
    for (int item : {2, 1}) SendMessageA(g_frame, WM_COMMAND, ID_TRAY_PROFILE_FIRST + item, 0);
    UnhookWindowsHookEx(g_hook);
    for (int i = 0; i < int(SendMessageA(list, CB_GETCOUNT, 0, 0)); ++i) {
        char entry[64] = {};
        SendMessageA(list, CB_GETLBTEXT, i, LPARAM(entry));
        g_seen += i == SendMessageA(list, CB_GETCURSEL, 0, 0) ? "[" + std::string(entry) + "]|" : entry + std::string("|");
    }
    g_seen += std::string(theApp.editProfile->name.c_str()) + ":" + theApp.editProfile->ssid.c_str();
    PostMessageA(theMonitorDlg.Handle(), WM_CLOSE, 0, 0);
}

}  // namespace

// Applying from the tray works on the stored profile: the editor keeps its profile and edits.
TEST_F(TrayMenuTest, ApplyingFromTheTrayLeavesTheOpenEditorAlone) {
    Start(testsim::Adapter(0, "radio=on") + kProfiles);
    ShownMenu();
    g_seen.clear();
    g_boxes.clear();
    g_frame = frame->Handle();
    ModalWatch watch;
    watch.whileOpen = EditThenApplyFromTheTray;
    watch.closeAfterTicks = 100;
    Command(ID_TRAY_CONFIGURATION);
    EXPECT_EQ(std::vector<std::string>{fw::LoadText(IDS_KEY_128_HEX)}, g_boxes);
    EXPECT_EQ("Home|[R&D *]|Broken|R&D:Unsaved", g_seen);
    // R&D went to the driver as it is stored.
    EXPECT_EQ("R&D", theApp.session.CurrentProfileName());
    ACAdapterConfig stored;
    stored.ReadConfig(theApp.session.deviceName.c_str(), theApp.session.subKey.c_str());
    EXPECT_STREQ("Lab", stored.GetProfile("R&D")->ssid.c_str());
}

TEST_F(TrayMenuTest, ProfilesAndRadioFromTheTrayMenu) {
    Start(testsim::Adapter(0, "radio=on") + kProfiles);
    EXPECT_EQ(std::string(kPartsItems) + "Pre&ferred Networks...|&Profiles[Home*|R&&D|Broken]|&Radio*|&History...|&Notices*|-|Exit", ShownMenu());

    // A profile chosen is applied as the Configuration page's Apply does.
    Choose(ID_TRAY_PROFILE_FIRST + 1);
    EXPECT_EQ("R&D", theApp.session.CurrentProfileName());
    EXPECT_TRUE(g_boxes.empty());
    EXPECT_EQ(std::string(kPartsItems) + "Pre&ferred Networks...|&Profiles[Home|R&&D*|Broken]|&Radio*|&History...|&Notices*|-|Exit", ShownMenu());

    // One the checks refuse says why, as Apply does, and stays unapplied.
    Choose(ID_TRAY_PROFILE_FIRST + 2);
    EXPECT_EQ("R&D", theApp.session.CurrentProfileName());
    ASSERT_EQ(1u, g_boxes.size());
    EXPECT_EQ(fw::LoadText(IDS_KEY_128_HEX), g_boxes[0]);

    // The Radio item switches the radio off and on, as the monitor window's button does.
    Choose(ID_TRAY_RADIO);
    DWORD radio = 99;
    EXPECT_NE(0, AthSimLastRecordedValue(0, oid::kRadio, &radio));
    EXPECT_EQ(1u, radio);
    EXPECT_EQ(std::string(kPartsItems) + "Pre&ferred Networks...|&Profiles[Home|R&&D*|Broken]|&Radio|&History...|&Notices*|-|Exit", ShownMenu());
    Choose(ID_TRAY_RADIO);
    EXPECT_NE(0, AthSimLastRecordedValue(0, oid::kRadio, &radio));
    EXPECT_EQ(0u, radio);
    EXPECT_EQ(std::string(kPartsItems) + "Pre&ferred Networks...|&Profiles[Home|R&&D*|Broken]|&Radio*|&History...|&Notices*|-|Exit", ShownMenu());
}

TEST_F(TrayMenuTest, WithoutAdapterProfilesAndRadioAreGrayedAndDoNothing) {
    Start("");
    EXPECT_EQ(std::string(kPartsItems) + "Pre&ferred Networks...~|&Profiles~[(no profiles)~]|&Radio~|&History...|&Notices*|-|Exit", ShownMenu());
    AthSimClearRecorded(0);
    Choose(ID_TRAY_RADIO);
    Choose(ID_TRAY_PROFILE_FIRST);
    EXPECT_EQ(0, AthSimRecordedCount(0));
    EXPECT_TRUE(g_boxes.empty());
}
