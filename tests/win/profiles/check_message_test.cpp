// The window's own handling of a failed check: the message box the user sees, and the
// sub-tab and page the store asks for.
#include "tests/win/profiles/store_fixture.h"

#include "framework/text/text.h"
#include "monitor/res/resource.h"

using storetest::StoreTest;

namespace {

struct SeenBox {
    std::string caption, text;
    bool stopIcon = false;
    bool okOnly = false;
    int count = 0;
};
SeenBox seen;
HHOOK hook;

// Reads the message box as it activates and presses its OK button.
LRESULT CALLBACK OnCbt(int code, WPARAM wp, LPARAM lp) {
    char buffer[512] = {};
    HWND box = reinterpret_cast<HWND>(wp);
    if (code == HCBT_ACTIVATE && GetClassNameA(box, buffer, sizeof buffer) &&
        std::string(buffer) == "#32770") {
        GetWindowTextA(box, buffer, sizeof buffer);
        seen.caption = buffer;
        GetDlgItemTextA(box, 0xFFFF, buffer, sizeof buffer);
        seen.text = buffer;
        HICON stop = LoadIconA(nullptr, reinterpret_cast<LPCSTR>(IDI_HAND));
        for (int id : {0x14, 0x0440}) {
            HWND icon = GetDlgItem(box, id);
            if (icon && reinterpret_cast<HICON>(SendMessageA(icon, STM_GETICON, 0, 0)) == stop)
                seen.stopIcon = true;
        }
        seen.okOnly = GetDlgItem(box, IDOK) && !GetDlgItem(box, IDCANCEL) && !GetDlgItem(box, IDYES);
        ++seen.count;
        PostMessageA(box, WM_COMMAND, IDOK, 0);
    }
    return CallNextHookEx(hook, code, wp, lp);
}

}  // namespace

TEST_F(StoreTest, FailedCheckShowsAStopBoxAndRemembersTheSecurityTab) {
    Open("profile name=Psk ssid=Net infrastructure=1 privacy=1 eapMethod=7 wpa=1 pskPassphrase=1234567\n",
         "Psk");
    seen = SeenBox();
    hook = SetWindowsHookExA(WH_CBT, OnCbt, nullptr, GetCurrentThreadId());
    ASSERT_NE(nullptr, hook);
    theApp.store.SaveProfile("Psk");
    UnhookWindowsHookEx(hook);

    EXPECT_EQ(1, seen.count);
    EXPECT_EQ(fw::LoadText(IDS_MONITOR_TITLE), seen.caption);
    EXPECT_EQ("Please enter a passphrase (8 - 63 ASCII characters or 64 hexadecimal characters).",
              seen.text);
    EXPECT_TRUE(seen.stopIcon);
    EXPECT_TRUE(seen.okOnly);
    EXPECT_EQ(1, theApp.rememberedSubTab);

    // Once corrected, an apply makes the next visit start on Common (with the window closed
    // there is no Status page to show).
    Edit().pskPassphrase = "12345678";
    theApp.store.ApplyProfile("Psk");
    EXPECT_EQ(1, seen.count);
    EXPECT_EQ(0, theApp.rememberedSubTab);
}
