// The About page inside the real monitor window: driver files placed where the page looks
// for them, and a stand-in web browser that records what the product link opens.
#pragma once
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "monitor/app/monitor_app.h"
#include "monitor/res/resource.h"
#include "monitor/ui/about_page.h"
#include "monitor/ui/monitor_dlg.h"
#include "tests/support/program_dir.h"
#include "tests/support/sim_scenario.h"
#include "tests/win/ui/modal_script.h"

namespace about {

constexpr int kAboutTab = 4;
const char kNtDriver[] = "ar5211.sys";
const char kWin98Driver[] = "ar52119x.sys";

inline std::string DriversDir() {
    char dir[MAX_PATH] = {};
    GetSystemDirectoryA(dir, sizeof dir);
    return std::string(dir) + "\\drivers\\";
}

// The test driver file (version 4.1.2.3), or the simulated package's (1.0.0.1), as `name`.
inline void PlaceDriverFile(const char* name, bool testVersion = true) {
    std::string source = ProgramDir() + (testVersion ? "test_driver_4123.sys" : "package\\ar5211.sys");
    ASSERT_TRUE(CopyFileA(source.c_str(), (DriversDir() + name).c_str(), FALSE)) << source;
}

inline void RemoveDriverFiles() {
    DeleteFileA((DriversDir() + kNtDriver).c_str());
    DeleteFileA((DriversDir() + kWin98Driver).c_str());
}

// A registry default value under HKEY_CLASSES_ROOT, set for the test's life and put back after.
class ClassesValue {
public:
    ClassesValue(const std::string& key, const std::string& value) : key_(key) {
        HKEY k;
        if (RegOpenKeyExA(HKEY_CLASSES_ROOT, key.c_str(), 0, KEY_READ, &k) == ERROR_SUCCESS) {
            char old[1024] = {};
            DWORD size = sizeof old - 1;
            existed_ = RegQueryValueExA(k, nullptr, nullptr, nullptr, reinterpret_cast<BYTE*>(old), &size) ==
                       ERROR_SUCCESS;
            old_ = old;
            RegCloseKey(k);
        }
        Set(value);
    }
    ~ClassesValue() {
        if (existed_) Set(old_);
        else RegDeleteKeyA(HKEY_CLASSES_ROOT, key_.c_str());
    }
    ClassesValue(const ClassesValue&) = delete;
    ClassesValue& operator=(const ClassesValue&) = delete;

private:
    void Set(const std::string& value) {
        HKEY k;
        if (RegCreateKeyExA(HKEY_CLASSES_ROOT, key_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &k,
                            nullptr) != ERROR_SUCCESS)
            return;
        RegSetValueExA(k, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                       static_cast<DWORD>(value.size() + 1));
        RegCloseKey(k);
    }

    std::string key_;
    std::string old_;
    bool existed_ = false;
};

// record_args.exe in place of the program that opens web addresses: it writes the command
// line it was started with to a file.
class StandInBrowser {
public:
    // `commandKey`: where the command is registered, by default the one for http addresses.
    explicit StandInBrowser(const std::string& commandKey = "http\\shell\\open\\command")
        : record_(TempFile()), command_(commandKey, "\"" + Recorder() + "\" \"%1\"") {
        DeleteFileA(record_.c_str());
        SetEnvironmentVariableA("RECORD_ARGS_TO", record_.c_str());
    }
    ~StandInBrowser() { DeleteFileA(record_.c_str()); }

    static std::string Recorder() { return ProgramDir() + "record_args.exe"; }

    // The command line the browser was started with; empty when it was not started within
    // `ms` milliseconds.
    std::string Opened(DWORD ms = 10000) const {
        for (DWORD waited = 0;; waited += 100) {
            HANDLE f = CreateFileA(record_.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                                   nullptr);
            if (f != INVALID_HANDLE_VALUE) {
                char text[1024] = {};
                DWORD read = 0;
                ReadFile(f, text, sizeof text - 1, &read, nullptr);
                CloseHandle(f);
                if (read) return std::string(text, read);
            }
            if (waited >= ms) return std::string();
            Sleep(100);
        }
    }

private:
    static std::string TempFile() {
        char dir[MAX_PATH] = {};
        GetTempPathA(sizeof dir, dir);
        return std::string(dir) + "skyvane-link-opened.txt";
    }

    std::string record_;
    ClassesValue command_;
};

// The colour the page gives the link's text, asked the way the control asks when it paints.
inline COLORREF LinkColour(HWND page, int id) {
    HDC dc = CreateCompatibleDC(nullptr);
    SetTextColor(dc, RGB(1, 2, 3));
    SendMessageA(page, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                 reinterpret_cast<LPARAM>(GetDlgItem(page, id)));
    COLORREF colour = GetTextColor(dc);
    DeleteDC(dc);
    return colour;
}

// Whether the page shows control `id` (its own visibility, whether or not the window is on
// screen yet).
inline bool Visible(HWND page, int id) {
    return (GetWindowLongA(GetDlgItem(page, id), GWL_STYLE) & WS_VISIBLE) != 0;
}

class AboutPage : public ::testing::Test {
protected:
    void SetUp() override {
        testsim::ClearProductKeys();
        RemoveDriverFiles();
    }
    void TearDown() override {
        RemoveDriverFiles();
        testsim::ClearProductKeys();
    }
};

}  // namespace about
