// Drivora.exe run under Wine and watched from outside: its message boxes are
// read and answered, the registry, INF folder, devices and processes checked.
#include <windows.h>
#include <setupapi.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <fstream>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/program_dir.h"
#include "tests/support/system_state.h"
#include "tests/support/wine_version.h"

using namespace system_state;

namespace {

const char kCaption[] = "Install IEEE 802.11 Wireless LAN";
const char kNetClassKey[] =
    "SYSTEM\\CurrentControlSet\\Control\\Class\\{4D36E972-E325-11CE-BFC1-08002BE10318}";
const char kNetworkKey[] =
    "SYSTEM\\CurrentControlSet\\Control\\Network\\{4D36E972-E325-11CE-BFC1-08002BE10318}";

void SetWindowsVersion(const char* version) { SetWineVersion("Drivora.exe", version); }

struct Seen {
    Texts messages;       // texts of the message boxes, in order
    Texts helpTexts;      // static texts of the Help dialog
    bool helpHasOk = false;
    bool openAbout = false;  // while Help is open, send the frame its About command
    Texts aboutTexts;
};

struct Search {
    DWORD pid;
    HWND found;
    std::string title;
};

BOOL CALLBACK FindTopWindow(HWND w, LPARAM lp) {
    auto* s = reinterpret_cast<Search*>(lp);
    DWORD pid = 0;
    GetWindowThreadProcessId(w, &pid);
    char title[128] = {};
    GetWindowTextA(w, title, sizeof title);
    if (pid == s->pid && IsWindowVisible(w) && (s->title == title)) {
        s->found = w;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK FindFrame(HWND w, LPARAM lp) {
    auto* s = reinterpret_cast<Search*>(lp);
    DWORD pid = 0;
    GetWindowThreadProcessId(w, &pid);
    char cls[32] = {};
    GetClassNameA(w, cls, sizeof cls);
    if (pid == s->pid && lstrcmpA(cls, "DrivoraFrame") == 0) {
        s->found = w;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK CollectStatics(HWND w, LPARAM lp) {
    char cls[32] = {}, text[512] = {};
    GetClassNameA(w, cls, sizeof cls);
    GetWindowTextA(w, text, sizeof text);
    const bool icon = (GetWindowLongA(w, GWL_STYLE) & SS_TYPEMASK) == SS_ICON;
    if (lstrcmpiA(cls, "Static") == 0 && !icon && text[0]) reinterpret_cast<Texts*>(lp)->push_back(text);
    return TRUE;
}

// Runs Drivora.exe with `args`, answers every message box and the Help dialog
// with OK, and returns the exit code (or -1 when it did not end in time).
int RunDrivora(const std::string& args, Seen* seen, DWORD limitMs = 60000) {
    std::string cmd = "\"" + ProductDir() + "Drivora.exe\" " + args;
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessA(nullptr, &cmd[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return -2;
    const DWORD start = GetTickCount();
    while (WaitForSingleObject(pi.hProcess, 100) == WAIT_TIMEOUT) {
        if (GetTickCount() - start > limitMs) {
            TerminateProcess(pi.hProcess, 1);
            break;
        }
        for (const char* title : {kCaption, "About Kestrix", "Help"}) {
            Search s{pi.dwProcessId, nullptr, title};
            EnumWindows(FindTopWindow, reinterpret_cast<LPARAM>(&s));
            if (!s.found) continue;
            char cls[32] = {};
            GetClassNameA(s.found, cls, sizeof cls);
            if (lstrcmpA(cls, "#32770") != 0) continue;  // the hidden frame has the caption too
            Texts statics;
            EnumChildWindows(s.found, CollectStatics, reinterpret_cast<LPARAM>(&statics));
            if (std::string(title) == "About Kestrix") {
                seen->aboutTexts = statics;
            } else if (std::string(title) == "Help" && seen->openAbout && seen->aboutTexts.empty()) {
                Search frame{pi.dwProcessId, nullptr, ""};
                EnumWindows(FindFrame, reinterpret_cast<LPARAM>(&frame));
                if (frame.found) PostMessageA(frame.found, WM_COMMAND, 57664, 0);
                break;  // Help stays open until the About box has been seen
            } else if (std::string(title) == "Help") {
                seen->helpTexts = statics;
                seen->helpHasOk = GetDlgItem(s.found, IDOK) != nullptr;
            } else {
                seen->messages.push_back(statics.empty() ? "" : statics.back());
            }
            SendMessageA(s.found, WM_COMMAND, IDOK, 0);
        }
    }
    DWORD code = 0;
    bool ended = WaitForSingleObject(pi.hProcess, 0) == WAIT_OBJECT_0 && GetExitCodeProcess(pi.hProcess, &code);
    CloseHandle(pi.hProcess);
    CloseHandle(pi.hThread);
    return ended && GetTickCount() - start <= limitMs ? static_cast<int>(code) : -1;
}

Texts InfFolder() {
    char windows[MAX_PATH] = {};
    GetWindowsDirectoryA(windows, sizeof windows);
    Texts out;
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((std::string(windows) + "\\inf\\*").c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE) return out;
    do out.push_back(fd.cFileName);
    while (FindNextFileA(h, &fd));
    FindClose(h);
    std::sort(out.begin(), out.end());
    return out;
}

struct SystemState {
    Texts classKeys, networkKeys, infFiles, devices, dosDevices;
    bool operator==(const SystemState& o) const {
        return classKeys == o.classKeys && networkKeys == o.networkKeys && infFiles == o.infFiles &&
               devices == o.devices && dosDevices == o.dosDevices;
    }
};

SystemState Snapshot() {
    return {Subkeys(kNetClassKey), Subkeys(kNetworkKey), InfFolder(), AdapterDevices(), AdapterDosDevices()};
}

std::string TempPath(const char* name) {
    char temp[MAX_PATH] = {};
    GetTempPathA(sizeof temp, temp);
    return std::string(temp) + name;
}

}  // namespace

TEST(DrivoraE2E, NoArgumentsIsACommandErrorAndExitsZero) {
    SetWindowsVersion("winxp");
    Seen seen;
    EXPECT_EQ(0, RunDrivora("", &seen));
    EXPECT_EQ(Texts{"Command Error"}, seen.messages);
}

TEST(DrivoraE2E, MessagesFollowTheWindowsVersion) {
    SetWindowsVersion("win98");
    Seen seen;
    EXPECT_EQ(0, RunDrivora("/Update /RunINF ??", &seen));
    EXPECT_EQ((Texts{"Update Command No Support", "RunINF Command No Support", "Command No Support",
                     "Command No Support"}),
              seen.messages);

    SetWindowsVersion("win2k");
    seen = Seen();
    EXPECT_EQ(0, RunDrivora("/Update -EnableWZCS /StopWZCS", &seen));
    EXPECT_EQ((Texts{"Update", "EnableWZCS Command No Support", "DisableWZCS Command No Support"}), seen.messages);
}

TEST(DrivoraE2E, OverLongParameterIsRefused) {
    SetWindowsVersion("winxp");
    Seen seen;
    EXPECT_EQ(0, RunDrivora("!" + std::string(150, 'x') + " /KillUnknow", &seen));
    EXPECT_EQ((Texts{"Device ID too long (at most 99 characters)"}), seen.messages);
}

TEST(DrivoraE2E, HiddenHelpSwitchOpensTheHelpDialog) {
    SetWindowsVersion("winxp");
    Seen seen;
    EXPECT_EQ(0, RunDrivora("/ShowUsage", &seen));
    EXPECT_TRUE(seen.helpHasOk);
    ASSERT_EQ(22u, seen.helpTexts.size());
    EXPECT_EQ(">  ! [Device ID]", seen.helpTexts.front());
    EXPECT_EQ(".......Start Zero Configuration Service", seen.helpTexts.back());
    EXPECT_EQ(Texts{}, seen.messages);
}

TEST(DrivoraE2E, InstallThenUninstallLeavesTheSystemAsBefore) {
    SetWindowsVersion("winxp");
    const SystemState before = Snapshot();
    ASSERT_EQ(Texts{}, before.devices);

    // The card is plugged in; its driver appears once the package is installed.
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION card = {};
    std::string cmd = "\"" + ProgramDir() + "sim_pci_card.exe\"";
    ASSERT_TRUE(CreateProcessA(nullptr, &cmd[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &card));
    Sleep(1000);

    const std::string log = TempPath("drivora_round_trip.log");
    DeleteFileA(log.c_str());
    Seen seen;
    EXPECT_EQ(0, RunDrivora("\"$" + log + "\" !pci\\ven_168c@dev_0013 %ATHER_DEV_1041.ndi.NT \"#" + ProgramDir() +
                                "package\\net5211.inf\" /RunINF /QueryDevice",
                            &seen));
    EXPECT_EQ(Texts{}, seen.messages);
    const std::string adapter = std::string(kNetClassKey) + "\\0041";
    EXPECT_EQ("pci\\ven_168c&dev_0013", ReadString(adapter, "ComponentId"));
    EXPECT_EQ("oem41.inf", ReadString(adapter, "InfPath"));
    EXPECT_EQ("1", ReadString(adapter, "radioEnable"));
    const std::string guid = ReadString(adapter, "NetCfgInstanceId");
    EXPECT_EQ("Wireless Network Connection",
              ReadString(std::string(kNetworkKey) + "\\" + guid + "\\Connection", "Name"));
    const SystemState installed = Snapshot();
    EXPECT_NE(Texts{}, installed.dosDevices);
    EXPECT_EQ(Texts{"PCI\\VEN_168C&DEV_0013\\4&1F7DBC9F&0&00A8"}, installed.devices);
    EXPECT_EQ(1, std::count(installed.infFiles.begin(), installed.infFiles.end(), "oem41.inf"));
    EXPECT_EQ(1, std::count(installed.infFiles.begin(), installed.infFiles.end(), "oem41.PNF"));

    seen = Seen();
    EXPECT_EQ(0, RunDrivora("\"$" + log + "\" !pci\\ven_168c@dev_0013 /Remove /KillUnknow /PnP DeleteProcess SIM_PCI_CARD.EXE",
                            &seen));
    EXPECT_EQ(Texts{}, seen.messages);
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(card.hProcess, 5000));
    CloseHandle(card.hProcess);
    CloseHandle(card.hThread);

    const SystemState after = Snapshot();
    EXPECT_EQ(Join(before.classKeys), Join(after.classKeys));
    EXPECT_EQ(Join(before.networkKeys), Join(after.networkKeys));
    EXPECT_EQ(Join(before.infFiles), Join(after.infFiles));
    EXPECT_EQ(Join(before.devices), Join(after.devices));
    EXPECT_EQ(Join(before.dosDevices), Join(after.dosDevices));

    // Both runs appended their steps to the one log, in order.
    char windows[MAX_PATH] = {};
    GetWindowsDirectoryA(windows, sizeof windows);
    const std::string inf = std::string(windows) + "\\INF\\oem41.";
    const Texts lines = LogLines(log);
    EXPECT_EQ(Texts{}, MissingInOrder(lines, {
        "! | Device ID PCI\\VEN_168C&DEV_0013 | set",
        "RunINF | section ATHER_DEV_1041.ndi.NT of " + ProgramDir() + "package\\net5211.inf | installer started",
        "QueryDevice | device PCI\\VEN_168C&DEV_0013 | present",
        "end | 6 arguments | run ended",
        "Remove | file " + inf + "inf | deleted",
        "Remove | file " + inf + "PNF | deleted",
        "Remove | key " + std::string(kNetworkKey) + "\\" + guid + "\\Connection | deleted",
        "Remove | device PCI\\VEN_168C&DEV_0013\\4&1F7DBC9F&0&00A8 | removed",
        "DeleteProcess | process sim_pci_card.exe (",
        "end | 7 arguments | run ended"}))
        << Join(lines);
    DeleteFileA(log.c_str());
}

TEST(DrivoraE2E, LogThatCannotBeWrittenOrIsTooLongDoesNotStopTheRun) {
    SetWindowsVersion("winxp");
    // A folder nobody may create files in, whoever runs the test.
    const std::string readOnly = "Z:\\proc\\drivora.log";
    HANDLE probe = CreateFileA(readOnly.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS, 0, nullptr);
    ASSERT_EQ(INVALID_HANDLE_VALUE, probe);
    Seen seen;
    EXPECT_EQ(0, RunDrivora("$" + readOnly + " /Update $" + std::string(300, 'l') + " /Update", &seen));
    // Log paths are taken before every other argument, wherever they stand.
    EXPECT_EQ((Texts{"Cannot open log file " + readOnly, "Log path too long (at most 259 characters)", "Update",
                     "Update"}),
              seen.messages);
}

TEST(DrivoraE2E, FrameOpensTheAboutBoxOnItsAboutCommand) {
    SetWindowsVersion("winxp");
    Seen seen;
    seen.openAbout = true;
    EXPECT_EQ(0, RunDrivora("/ShowUsage", &seen));
    EXPECT_EQ(Texts{"Kestrix Version 1.0"}, seen.aboutTexts);
    EXPECT_EQ(22u, seen.helpTexts.size());
}
