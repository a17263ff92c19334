// SkyvaneSetup.exe run silently under Wine and undone by its silent uninstaller: what they
// install, the monitor they start, and the system left as it was.
#include <windows.h>
#include <objbase.h>
#include <shlwapi.h>
#include <psapi.h>
#include <tlhelp32.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "athcfg/athsim.h"
#include "tests/support/program_dir.h"
#include "tests/support/system_state.h"
#include "tests/support/wine_version.h"

using namespace system_state;

namespace {

const char kNetClassKey[] =
    "SYSTEM\\CurrentControlSet\\Control\\Class\\{4D36E972-E325-11CE-BFC1-08002BE10318}";
const char kNetworkKey[] =
    "SYSTEM\\CurrentControlSet\\Control\\Network\\{4D36E972-E325-11CE-BFC1-08002BE10318}";
const char kZeroConfigKey[] = "SOFTWARE\\Microsoft\\WZCSVC\\Parameters\\Interfaces";
const char kUninstallKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Skyvane";
const char kMakerKey[] = "SOFTWARE\\Halvex";
const char kAdapterGuid[] = "{6A1F3B2C-41D0-4E8A-9B57-2C0D5E3F8A11}";  // the driver package's
const char kTxRateSet[] = "FF000009:";
const WPARAM kTrayStatusCommand = 32772;
const int kHelpButton = 1018;

// ---- processes -------------------------------------------------------------------------

struct Started {
    PROCESS_INFORMATION pi = {};
    bool ok = false;
    explicit Started(std::string cmd) {
        STARTUPINFOA si = {};
        si.cb = sizeof si;
        ok = CreateProcessA(nullptr, &cmd[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi) != FALSE;
    }
    ~Started() {
        if (!ok) return;
        if (WaitForSingleObject(pi.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(pi.hProcess, 9);
        CloseHandle(pi.hProcess);
        CloseHandle(pi.hThread);
    }
    // The exit code, or -1 when the process did not end within `ms`.
    long Wait(DWORD ms) {
        DWORD code = 0;
        if (!ok || WaitForSingleObject(pi.hProcess, ms) != WAIT_OBJECT_0 || !GetExitCodeProcess(pi.hProcess, &code))
            return -1;
        return static_cast<long>(code);
    }
};

std::vector<PROCESSENTRY32> Processes() {
    std::vector<PROCESSENTRY32> out;
    HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snap == INVALID_HANDLE_VALUE) return out;
    PROCESSENTRY32 e = {};
    e.dwSize = sizeof e;
    for (BOOL more = Process32First(snap, &e); more; more = Process32Next(snap, &e)) out.push_back(e);
    CloseHandle(snap);
    return out;
}

// Waits until every process started by `parent` has ended.
bool WaitForChildren(DWORD parent, DWORD ms) {
    for (const PROCESSENTRY32& e : Processes()) {
        if (e.th32ParentProcessID != parent) continue;
        HANDLE child = OpenProcess(SYNCHRONIZE, FALSE, e.th32ProcessID);
        if (!child) continue;
        const bool ended = WaitForSingleObject(child, ms) == WAIT_OBJECT_0;
        CloseHandle(child);
        if (!ended) return false;
    }
    return true;
}

// The path of `module` in process `pid`, of either bitness (a 32-bit process's own modules
// are not in a 64-bit reader's module snapshot).
std::string LoadedModulePath(DWORD pid, const char* module) {
    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid);
    if (!process) return "<no process>";
    HMODULE modules[512];
    DWORD bytes = 0;
    std::string found = "<not loaded>";
    if (EnumProcessModulesEx(process, modules, sizeof modules, &bytes, LIST_MODULES_ALL)) {
        for (DWORD i = 0; i < std::min<DWORD>(bytes, sizeof modules) / sizeof modules[0]; ++i) {
            char path[MAX_PATH] = {};
            if (!GetModuleFileNameExA(process, modules[i], path, MAX_PATH)) continue;
            if (lstrcmpiA(PathFindFileNameA(path), module) == 0) found = path;
        }
    }
    CloseHandle(process);
    return found;
}

// Ends, with the test, what still runs from `folder` (the installed monitor), also when an
// assertion ends the test early: a program left running keeps the test runner waiting.
struct EndProgramsFrom {
    std::string folder;
    ~EndProgramsFrom() {
        for (const PROCESSENTRY32& e : Processes()) {
            if (LoadedModulePath(e.th32ProcessID, e.szExeFile).rfind(folder + "\\", 0) != 0) continue;
            if (HANDLE p = OpenProcess(PROCESS_TERMINATE, FALSE, e.th32ProcessID)) {
                TerminateProcess(p, 9);
                CloseHandle(p);
            }
        }
    }
};

// Runs the installed uninstaller as its launcher does: a copy in the temporary folder named
// Un.exe, started with _?= the install folder (under Wine the launcher's own start of the
// copy now and then fails with exit 2). Its exit code once it and what it started ended.
long RunUninstaller(const std::string& installDir) {
    char temp[MAX_PATH] = {};
    GetTempPathA(sizeof temp, temp);
    const std::string copy = std::string(temp) + "Un.exe";
    if (!CopyFileA((installDir + "\\Uninstall.exe").c_str(), copy.c_str(), FALSE)) return -2;
    Started uninstall("\"" + copy + "\" /S _?=" + installDir);
    long code = uninstall.Wait(300000);
    if (!WaitForChildren(uninstall.pi.dwProcessId, 300000)) code = -3;
    DeleteFileA(copy.c_str());
    return code;
}

template <typename Done>
bool WaitUntil(DWORD ms, Done done) {
    const DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > ms) return false;
        Sleep(100);
    }
    return true;
}

// ---- system state ------------------------------------------------------------------------

Texts Files(const std::string& folder) {
    Texts out;
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((folder + "\\*").c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE) return {"<no folder>"};
    do
        if (fd.cFileName[0] != '.') out.push_back(fd.cFileName);
    while (FindNextFileA(h, &fd));
    FindClose(h);
    std::sort(out.begin(), out.end());
    return out;
}

std::string WindowsDir() {
    char windows[MAX_PATH] = {};
    GetWindowsDirectoryA(windows, sizeof windows);
    return windows;
}

std::string ShellFolder(const char* name) {
    return ReadString("SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders", name);
}

// What setup and uninstall touch, by name, each as one line of text.
std::map<std::string, std::string> Snapshot(const std::string& installDir) {
    return {
        {"network class", Join(Subkeys(kNetClassKey))},
        {"network connections", Join(Subkeys(kNetworkKey))},
        {"zero-config interfaces", Join(Subkeys(kZeroConfigKey))},
        {"maker key", Join(Subkeys(kMakerKey))},
        {"uninstall entry", ReadString(kUninstallKey, "DisplayName")},
        {"INF folder", Join(Files(WindowsDir() + "\\inf"))},
        {"install folder", Join(Files(installDir))},
        {"programs menu", Join(Files(ShellFolder("Common Programs")))},
        {"startup folder", Join(Files(ShellFolder("Common Startup")))},
        {"devices", Join(AdapterDevices())},
        {"device interfaces", Join(AdapterDosDevices())},
    };
}

// The sets the simulated adapter received, oldest first: "oid:data" (activations by profile name).
Texts RecordedSets() {
    Texts out;
    for (int i = 0, n = AthSimRecordedCount(0); i < n; ++i) {
        DWORD oid = 1, length = 0;
        char data[17] = {};
        if (!AthSimRecordedSet(0, i, &oid, data, 16, &length)) continue;
        char code[16];
        wsprintfA(code, "%lX:", oid);
        out.push_back(code + (oid == kAthSimActivation ? std::string(data, std::min<DWORD>(length, 16)) : ""));
    }
    return out;
}

}  // namespace

TEST(SetupE2E, SilentInstallThenSilentUninstallLeavesTheSystemAsBefore) {
    // Windows XP: the setup takes the adapter from Zero Configuration and the uninstaller
    // gives it back. The uninstaller runs as a copy of itself named Un.exe.
    for (const char* exe : {"SkyvaneSetup.exe", "Drivora.exe", "Un.exe"})
        ASSERT_TRUE(SetWineVersion(exe, "winxp"));
    const std::string installDir = "C:\\Program Files\\Telvara Setup Test";
    // A run that stopped early left its installation behind: take it away first.
    if (GetFileAttributesA((installDir + "\\Uninstall.exe").c_str()) != INVALID_FILE_ATTRIBUTES)
        RunUninstaller(installDir);
    // The adapter the driver package installs; it has no driver key until the setup runs.
    char error[200] = {};
    ASSERT_NE(0, AthSimInstallScenario((std::string("adapter guid=") + kAdapterGuid + " subkey=0041 present=no\n").c_str(),
                                       error, sizeof error))
        << error;
    DeleteKey(kMakerKey);
    const EndProgramsFrom endInstalled{installDir};
    const std::string log = WindowsDir() + "\\Drivora.log";
    DeleteFileA(log.c_str());
    const auto before = Snapshot(installDir);
    ASSERT_EQ("<no folder>;", before.at("install folder"));
    ASSERT_EQ("", before.at("devices"));

    Started setup("\"" + ProductDir() + "SkyvaneSetup.exe\" /S /D=" + installDir);
    ASSERT_TRUE(setup.ok);
    // The card shows up when the setup has Plug and Play enumerate the devices again.
    EXPECT_TRUE(WaitUntil(120000, [&] { return MissingInOrder(LogLines(log), {"PnP | "}).empty(); }));
    Started card("\"" + ProgramDir() + "sim_pci_card.exe\"");
    ASSERT_TRUE(card.ok);
    ASSERT_EQ(0, setup.Wait(300000));

    // The marker program ships when the build has it.
    const bool marker = GetFileAttributesA((ProductDir() + "Qorvath.exe").c_str()) != INVALID_FILE_ATTRIBUTES;
    EXPECT_EQ(std::string("Drivora.exe;") + (marker ? "Qorvath.exe;" : "") +
                  "Skyvane.exe;Uninstall.exe;Wevo_108_Help.chm;Wevo_54_Help.chm;athcfg11.dll;package;",
              Snapshot(installDir).at("install folder"));
    EXPECT_EQ("net5211.inf;", Join(Files(installDir + "\\package")));
    EXPECT_EQ("\"" + installDir + "\\Uninstall.exe\" /S", ReadString(kUninstallKey, "QuietUninstallString"));
    EXPECT_EQ(SKY_VERSION, ReadString(kUninstallKey, "DisplayVersion"));
    EXPECT_EQ(installDir, ReadString(std::string(kMakerKey) + "\\TelvaraWevo54", "InstallDir"));
    EXPECT_EQ(kAdapterGuid, ReadString(std::string(kNetClassKey) + "\\0041", "NetCfgInstanceId"));
    EXPECT_NE(std::string::npos, Snapshot(installDir).at("startup folder").find("Telvara WLAN Adapter Monitor.lnk"));

    // The setup started the installed monitor: it found the new adapter, gave it its first
    // profile and applied it, and with its manifest it uses the side-by-side common controls.
    HWND monitor = nullptr;
    ASSERT_TRUE(WaitUntil(20000, [&] { return (monitor = FindWindowA(nullptr, "Skyvane")) != nullptr; }));
    DWORD pid = 0;
    GetWindowThreadProcessId(monitor, &pid);
    EXPECT_EQ(installDir + "\\Skyvane.exe", LoadedModulePath(pid, "Skyvane.exe"));
    const std::string comctl = LoadedModulePath(pid, "comctl32.dll");
    EXPECT_NE(std::string::npos, comctl.find("\\winsxs\\")) << comctl;
    EXPECT_TRUE(WaitUntil(20000, [] {
        const Texts sets = RecordedSets();
        return sets.size() >= 2 && sets[0] == "0:Default" && sets[1] == kTxRateSet;
    })) << Join(RecordedSets());

    // Help in the monitor window opens the model's help file from the folder the setup
    // started the monitor in; the help viewer's window carries the file's title.
    PostMessageA(monitor, WM_COMMAND, kTrayStatusCommand, 0);
    HWND window = nullptr;
    ASSERT_TRUE(WaitUntil(20000, [&] { return (window = FindWindowA(nullptr, "Telvara WLAN Adapter Monitor")) != nullptr; }));
    PostMessageA(window, WM_COMMAND, MAKEWPARAM(kHelpButton, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(window, kHelpButton)));
    HWND viewer = nullptr;
    EXPECT_TRUE(WaitUntil(20000, [&] {
        return (viewer = FindWindowA(nullptr, "Telvara Wevo 54 Wireless LAN Adapter Help")) != nullptr;
    }));
    if (viewer) PostMessageA(viewer, WM_CLOSE, 0, 0);

    EXPECT_EQ(0, RunUninstaller(installDir));
    EXPECT_EQ(nullptr, FindWindowA(nullptr, "Skyvane"));

    // The card is pulled out again.
    TerminateProcess(card.pi.hProcess, 0);
    card.Wait(5000);
    const auto after = Snapshot(installDir);
    for (const auto& [what, state] : before) EXPECT_EQ(state, after.at(what)) << what;
    EXPECT_EQ("", Join(Subkeys((std::string(kNetClassKey) + "\\0041").c_str())));

    // Both runs of Drivora appended their steps, in order; the log stays for support.
    const std::string inf = installDir + "\\package\\net5211.inf";
    const Texts lines = LogLines(log);
    EXPECT_EQ(Texts{}, MissingInOrder(lines, {
        "Quiet | message boxes | off",
        "DeleteProcess | process Skyvane.exe | not running",
        "! | Device ID PCI\\VEN_168C&DEV_0013 | set",
        "RunINF | section ATHER_DEV_1041.ndi.NT of " + inf + " | installer started",
        "QueryDevice | device PCI\\VEN_168C&DEV_0013 | present",
        "DisableWZCS | ",
        "end | ",
        "Quiet | message boxes | off",
        "DeleteProcess | process Skyvane.exe (",
        "EnableWZCS | ",
        "Remove | device PCI\\VEN_168C&DEV_0013",
        "end | "}))
        << Join(lines);

    AthSimClear();
    DeleteFileA(log.c_str());
}
