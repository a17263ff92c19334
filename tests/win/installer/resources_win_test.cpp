// Drivora.exe's own resources: the Help dialog and the About box created from
// their templates, the version resource and the message caption strings.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/program_dir.h"

namespace {

std::string DrivoraPath() { return ProgramDir() + "Drivora.exe"; }

class DrivoraResources : public ::testing::Test {
protected:
    void SetUp() override {
        module = LoadLibraryExA(DrivoraPath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
        ASSERT_NE(nullptr, module);
    }
    void TearDown() override {
        if (dialog) DestroyWindow(dialog);
        FreeLibrary(module);
    }
    static INT_PTR CALLBACK Proc(HWND, UINT msg, WPARAM, LPARAM) { return msg == WM_INITDIALOG; }

    HWND Create(int id) {
        dialog = CreateDialogParamA(module, MAKEINTRESOURCEA(id), nullptr, Proc, 0);
        return dialog;
    }
    std::string Text(HWND w) {
        char buf[256] = {};
        GetWindowTextA(w, buf, sizeof buf);
        return buf;
    }
    // A control's rectangle in dialog units.
    RECT Units(HWND control) {
        RECT r;
        GetWindowRect(control, &r);
        MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
        RECT unit = {0, 0, 4, 8};
        MapDialogRect(dialog, &unit);
        return {MulDiv(r.left, 4, unit.right), MulDiv(r.top, 8, unit.bottom), MulDiv(r.right - r.left, 4, unit.right),
                MulDiv(r.bottom - r.top, 8, unit.bottom)};
    }
    std::vector<HWND> Children() {
        std::vector<HWND> out;
        for (HWND c = GetWindow(dialog, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) out.push_back(c);
        return out;
    }

    HMODULE module = nullptr;
    HWND dialog = nullptr;
};

}  // namespace

TEST_F(DrivoraResources, HelpDialogRowsAndButton) {
    ASSERT_NE(nullptr, Create(130));
    EXPECT_EQ("Help", Text(dialog));
    HWND ok = GetDlgItem(dialog, IDOK);
    ASSERT_NE(nullptr, ok);
    EXPECT_EQ("OK", Text(ok));
    RECT r = Units(ok);
    EXPECT_NEAR(346, r.left, 1);
    EXPECT_NEAR(172, r.top, 1);
    EXPECT_NEAR(50, r.right, 1);
    EXPECT_NEAR(14, r.bottom, 1);

    std::vector<std::string> left, right;
    bool icon = false;
    for (HWND c : Children()) {
        if ((GetWindowLongA(c, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) {
            icon = true;
            EXPECT_GT(Units(c).left, 360);
            continue;
        }
        if (c == ok) continue;
        RECT u = Units(c);
        (u.left < 100 ? left : right).push_back(Text(c));
        EXPECT_EQ(0, (u.top - 15) % 15) << Text(c);
    }
    EXPECT_TRUE(icon);
    ASSERT_EQ(11u, left.size());
    ASSERT_EQ(11u, right.size());
    EXPECT_EQ(">  /PnP or -PnP", left[6]);
    EXPECT_EQ(".......ReFlash Syatem  (on OS of Win98/ME , You have to define \"Device ID\")", right[6]);
    EXPECT_EQ(">  /DisableWZCS or -DisableWZCS", left[8]);
}

TEST_F(DrivoraResources, AboutBox) {
    ASSERT_NE(nullptr, Create(100));
    EXPECT_EQ("About Kestrix", Text(dialog));
    bool version = false;
    for (HWND c : Children()) version = version || Text(c) == "Kestrix Version 1.0";
    EXPECT_TRUE(version);
    EXPECT_NE(nullptr, GetDlgItem(dialog, IDOK));
    RECT client;
    GetClientRect(dialog, &client);
    RECT unit = {0, 0, 235, 55};
    MapDialogRect(dialog, &unit);
    EXPECT_EQ(unit.right, client.right);
    EXPECT_EQ(unit.bottom, client.bottom);
}

TEST_F(DrivoraResources, TitleStringsAndVersion) {
    char text[128] = {};
    LoadStringA(module, 128, text, sizeof text);
    EXPECT_STREQ("Install IEEE 802.11 Wireless LAN", text);
    LoadStringA(module, 57344, text, sizeof text);
    EXPECT_STREQ("Install IEEE 802.11 Wireless LAN", text);

    const std::string path = DrivoraPath();
    DWORD handle = 0;
    DWORD size = GetFileVersionInfoSizeA(path.c_str(), &handle);
    ASSERT_GT(size, 0u);
    std::vector<char> data(size);
    ASSERT_TRUE(GetFileVersionInfoA(path.c_str(), 0, size, data.data()));
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT len = 0;
    ASSERT_TRUE(VerQueryValueA(data.data(), "\\", reinterpret_cast<void**>(&fixed), &len));
    EXPECT_EQ(0x00010000u, fixed->dwFileVersionMS);
    EXPECT_EQ(0x00000001u, fixed->dwFileVersionLS);
    auto field = [&](const char* name) {
        char* value = nullptr;
        UINT n = 0;
        std::string key = std::string("\\StringFileInfo\\040904B0\\") + name;
        return VerQueryValueA(data.data(), key.c_str(), reinterpret_cast<void**>(&value), &n) ? std::string(value)
                                                                                              : std::string();
    };
    EXPECT_EQ("Drivora.EXE", field("OriginalFilename"));
    EXPECT_EQ("Install IEEE 802.11 Wireless LAN Application", field("ProductName"));
    EXPECT_EQ("Install IEEE 802.11 Wireless LAN", field("FileDescription"));
}
