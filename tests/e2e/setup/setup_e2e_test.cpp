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
#include <memory>
#include <string>
#include <vector>

#include "athcfg/sim/athsim.h"
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
    DWORD exitCode = 9;  // 0xC0000094: as a crash (integer division by zero) would end them
    ~EndProgramsFrom() {
        for (const PROCESSENTRY32& e : Processes()) {
            if (LoadedModulePath(e.th32ProcessID, e.szExeFile).rfind(folder + "\\", 0) != 0) continue;
            if (HANDLE p = OpenProcess(PROCESS_TERMINATE, FALSE, e.th32ProcessID)) {
                TerminateProcess(p, exitCode);
                CloseHandle(p);
            }
        }
    }
};

// Runs the installed uninstaller as its launcher does: a copy in the temporary folder named
// Un.exe, started with _?= the install folder (under Wine the launcher's own start of the
// copy now and then fails with exit 2). Its exit code once it and what it started ended.
long RunUninstaller(const std::string& installDir, const std::string& switches = " /RemoveProfiles") {
    char temp[MAX_PATH] = {};
    GetTempPathA(sizeof temp, temp);
    const std::string copy = std::string(temp) + "Un.exe";
    if (!CopyFileA((installDir + "\\Uninstall.exe").c_str(), copy.c_str(), FALSE)) return -2;
    Started uninstall("\"" + copy + "\" /S" + switches + " _?=" + installDir);
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


// Every value below `path`, key by key, as "key\name=type:data" lines.
void DumpKey(const std::string& path, const std::string& shown, Texts& out) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return;
    for (DWORD i = 0;; ++i) {
        char name[256];
        BYTE data[1024];
        DWORD nameSize = sizeof name, dataSize = sizeof data - 1, type = 0;
        if (RegEnumValueA(key, i, name, &nameSize, nullptr, &type, data, &dataSize) != ERROR_SUCCESS) break;
        data[dataSize] = 0;
        std::string text = type == REG_DWORD ? std::to_string(*reinterpret_cast<DWORD*>(data))
                                             : std::string(reinterpret_cast<char*>(data), dataSize);
        out.push_back(shown + "\\" + name + "=" + std::to_string(type) + ":" + text);
    }
    RegCloseKey(key);
    for (const std::string& sub : Subkeys(path.c_str())) DumpKey(path + "\\" + sub, shown + "\\" + sub, out);
}

Texts StoredProfiles(const std::string& adapterKey) {
    Texts out;
    DumpKey(adapterKey + "\\Profiles", "Profiles", out);
    return out;
}

std::size_t CountLines(const Texts& lines, const std::string& part) {
    return std::count_if(lines.begin(), lines.end(), [&](const std::string& l) { return l.find(part) != std::string::npos; });
}

// Installs the adapter the driver package is for; it has no driver key until a setup runs.
bool InstallPackageAdapter() {
    char error[200] = {};
    return AthSimInstallScenario((std::string("adapter guid=") + kAdapterGuid + " subkey=0041 present=no\n").c_str(),
                                 error, sizeof error) != 0;
}

// True once the `run`th Drivora run in the log has logged a line of `step`
// (a run logs a PnP step per bus it rescans).
bool RunReached(const Texts& lines, std::size_t run, const char* step) {
    std::size_t runs = 0;
    for (const std::string& line : lines) {
        if (line.find("start | Drivora ") != std::string::npos) ++runs;
        if (runs == run && line.find(step) != std::string::npos) return true;
    }
    return false;
}

// Runs the setup silently into `installDir`; the card is plugged in once the setup's Drivora
// (the `run`th run in the log) has logged a line of `plugAfter` (never when null); with `crash`
// Drivora is ended there first as a crash would end it.
long RunSetup(const std::string& installDir, const std::string& log, std::size_t run, std::unique_ptr<Started>& card,
              const char* plugAfter = "PnP | ", bool crash = false) {
    Started setup("\"" + ProductDir() + "SkyvaneSetup.exe\" /S /D=" + installDir);
    if (!setup.ok) return -2;
    if (!plugAfter) return setup.Wait(300000);
    if (!WaitUntil(120000, [&] { return RunReached(LogLines(log), run, plugAfter); })) return -4;
    if (crash) EndProgramsFrom{installDir, 0xC0000094};  // Drivora, the one program running from there
    card = std::make_unique<Started>("\"" + ProgramDir() + "sim_pci_card.exe\"");
    if (!card->ok) return -5;
    return setup.Wait(300000);
}

void PullCard(std::unique_ptr<Started>& card) {
    if (!card) return;
    TerminateProcess(card->pi.hProcess, 0);
    card->Wait(5000);
    card.reset();
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
    ASSERT_TRUE(InstallPackageAdapter());
    DeleteKey(kMakerKey);
    const EndProgramsFrom endInstalled{installDir};
    const std::string log = WindowsDir() + "\\Drivora.log";
    DeleteFileA(log.c_str());
    const auto before = Snapshot(installDir);
    ASSERT_EQ("<no folder>;", before.at("install folder"));
    ASSERT_EQ("", before.at("devices"));

    std::unique_ptr<Started> card;
    ASSERT_EQ(0, RunSetup(installDir, log, 1, card));

    // The marker program ships when the build has it.
    const bool marker = GetFileAttributesA((ProductDir() + "Qorvath.exe").c_str()) != INVALID_FILE_ATTRIBUTES;
    EXPECT_EQ(std::string("Drivora.exe;") + (marker ? "Qorvath.exe;" : "") +
                  "Skyvane.exe;Uninstall.exe;Wevo_108_Help.chm;Wevo_54_Help.chm;athcfg11.dll;package;",
              Snapshot(installDir).at("install folder"));
    EXPECT_EQ("net5211.inf;", Join(Files(installDir + "\\package")));
    EXPECT_EQ("\"" + installDir + "\\Uninstall.exe\" /S", ReadString(kUninstallKey, "QuietUninstallString"));
    EXPECT_EQ("http://www.halvex.example/telvara/wevo54/", ReadString(kUninstallKey, "HelpLink"));
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

    // The user's profiles, one with blanks at its ends, and the current one survive a setup
    // run over the installation, which removes and installs the driver again. The running
    // monitor is asked to exit through its Exit command before Drivora runs.
    const std::string adapterKey = std::string(kNetClassKey) + "\\0041";
    HKEY office = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_LOCAL_MACHINE, (adapterKey + "\\Profiles\\001").c_str(), 0, nullptr,
                                             0, KEY_ALL_ACCESS, nullptr, &office, nullptr));
    // A copy of the monitor's first profile, renamed, with blanks around its network name.
    HKEY first = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_LOCAL_MACHINE, (adapterKey + "\\Profiles\\000").c_str(), 0, KEY_READ, &first));
    EXPECT_EQ(ERROR_SUCCESS, SHCopyKeyA(first, nullptr, office, 0));
    RegCloseKey(first);
    const char ssid[] = " Office net ";
    const DWORD powerSave = 1;
    RegSetValueExA(office, "name", 0, REG_SZ, reinterpret_cast<const BYTE*>("Office"), 7);
    RegSetValueExA(office, "ssid", 0, REG_SZ, reinterpret_cast<const BYTE*>(ssid), sizeof ssid);
    RegSetValueExA(office, "powerSave", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&powerSave), sizeof powerSave);
    RegCloseKey(office);
    HKEY profiles = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_LOCAL_MACHINE, (adapterKey + "\\Profiles").c_str(), 0, KEY_ALL_ACCESS, &profiles));
    RegSetValueExA(profiles, "Selected", 0, REG_SZ, reinterpret_cast<const BYTE*>("Office"), 7);
    RegCloseKey(profiles);
    const Texts stored = StoredProfiles(adapterKey);
    ASSERT_EQ(1u, CountLines(stored, "Profiles\\001\\ssid=1: Office net ")) << Join(stored);

    // The card is found again by the rescan after the driver's removal.
    PullCard(card);
    EXPECT_EQ(0, RunSetup(installDir, log, 2, card));
    EXPECT_EQ(stored, StoredProfiles(adapterKey));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA((installDir + "\\Profiles.ini").c_str()));
    EXPECT_TRUE(WaitUntil(20000, [&] { return FindWindowA(nullptr, "Skyvane") != nullptr; }));

    // The uninstaller closes a running marker program before its file goes.
    std::unique_ptr<Started> markerRun;
    if (marker) {
        markerRun = std::make_unique<Started>("\"" + installDir + "\\Qorvath.exe\"");
        EXPECT_TRUE(WaitUntil(20000, [] { return FindWindowA(nullptr, "Qorvath") != nullptr; }));
    }
    EXPECT_EQ(0, RunUninstaller(installDir));
    EXPECT_EQ(nullptr, FindWindowA(nullptr, "Skyvane"));
    if (markerRun) {
        EXPECT_EQ(0, markerRun->Wait(0));  // ended through its window, not killed
        EXPECT_EQ(nullptr, FindWindowA(nullptr, "Qorvath"));
        EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA((installDir + "\\Qorvath.exe").c_str()));
    }

    // The card is pulled out again.
    PullCard(card);
    const auto after = Snapshot(installDir);
    for (const auto& [what, state] : before) EXPECT_EQ(state, after.at(what)) << what;
    EXPECT_EQ("", Join(Subkeys((std::string(kNetClassKey) + "\\0041").c_str())));

    // Both runs of Drivora appended their steps, in order; the log stays for support.
    const std::string inf = installDir + "\\package\\net5211.inf";
    const Texts lines = LogLines(log);
    // The monitor had exited through its window each time before Drivora looked for it.
    const Texts run = {
        "start | Drivora ",
        "start | command line ",
        "Quiet | message boxes | off",
        "DeleteProcess | process Skyvane.exe | not running",
        "! | Device ID PCI\\VEN_168C&DEV_0013 | set",
        "RunINF | section ATHER_DEV_1041.ndi.NT of " + inf + " | installer started",
        "QueryDevice | device PCI\\VEN_168C&DEV_0013 | present",
        "DisableWZCS | ",
        "end | 13 arguments | run ended, exit status 0"};
    Texts expected = run;
    expected.insert(expected.end(), run.begin(), run.end());
    expected.insert(expected.end(), {
        "Quiet | message boxes | off",
        "DeleteProcess | process Skyvane.exe | not running",
        "EnableWZCS | ",
        "Remove | device PCI\\VEN_168C&DEV_0013",
        "end | 9 arguments | run ended, exit status 0"});
    EXPECT_EQ(Texts{}, MissingInOrder(lines, expected)) << Join(lines);

    AthSimClear();
    DeleteFileA(log.c_str());
}

// What cannot work is refused before anything changes: Windows 98, which cannot take the
// driver package, and a folder too long for Drivora's INF path (at most 179 characters).
TEST(SetupE2E, SetupsThatCannotWorkAreRefusedBeforeAnythingChanges) {
    const std::string refusedDir = "C:\\Program Files\\Telvara Refused Test";
    const std::string longDir = refusedDir + "\\" + std::string(180 - refusedDir.size() - 1, 'x');  // 180
    const struct {
        const char* windows;
        std::string installDir;
        long exitCode;
        const char* mutex = nullptr;  // held meanwhile
    } cases[] = {
        {"win98", refusedDir, 3},  // unsupported Windows
        {"winxp64", refusedDir, 3},  // NT 5.2
        {"winxp", longDir, 6},     // folder too long
        {"winxp", refusedDir, 5, "Global\\TelvaraWlanSetup"},  // a setup runs in another session
        {"winxp", refusedDir, 2},  // a folder named Uninstall.exe stands where the uninstaller goes
    };
    ASSERT_TRUE(InstallPackageAdapter());
    CreateDirectoryA(refusedDir.c_str(), nullptr);
    CreateDirectoryA((refusedDir + "\\Uninstall.exe").c_str(), nullptr);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.windows);
        ASSERT_TRUE(SetWineVersion("SkyvaneSetup.exe", c.windows));
        HANDLE mutex = c.mutex ? CreateMutexA(nullptr, FALSE, c.mutex) : nullptr;
        const auto before = Snapshot(c.installDir);
        Started setup("\"" + ProductDir() + "SkyvaneSetup.exe\" /S /D=" + c.installDir);
        ASSERT_TRUE(setup.ok);
        EXPECT_EQ(c.exitCode, setup.Wait(60000));
        const auto after = Snapshot(c.installDir);
        for (const auto& [what, state] : before) EXPECT_EQ(state, after.at(what)) << what;
        if (mutex) CloseHandle(mutex);
    }
    RemoveDirectoryA((refusedDir + "\\Uninstall.exe").c_str());
    RemoveDirectoryA(refusedDir.c_str());
    ASSERT_TRUE(SetWineVersion("SkyvaneSetup.exe", "winxp"));
    AthSimClear();
}

// No card at first, a clean-up step failing throughout (an old driver's INF file is held open),
// a crash and a fresh Default: no setup but the crashed one fails, and no saved profile is lost.
TEST(SetupE2E, FailedStepsStopNoSetupAndLoseNoProfiles) {
    for (const char* exe : {"SkyvaneSetup.exe", "Drivora.exe", "Un.exe"})
        ASSERT_TRUE(SetWineVersion(exe, "winxp"));
    const std::string installDir = "C:\\Program Files\\Telvara Failed Test";
    if (GetFileAttributesA((installDir + "\\Uninstall.exe").c_str()) != INVALID_FILE_ATTRIBUTES)
        RunUninstaller(installDir);
    ASSERT_TRUE(InstallPackageAdapter());
    DeleteKey(kMakerKey);
    const EndProgramsFrom endInstalled{installDir};
    const std::string log = WindowsDir() + "\\Drivora.log";
    DeleteFileA(log.c_str());
    const auto before = Snapshot(installDir);

    // An earlier driver of ours whose INF file cannot be deleted.
    const std::string oldDriver = std::string(kNetClassKey) + "\\0042";
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_LOCAL_MACHINE, oldDriver.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                                             nullptr, &key, nullptr));
    RegSetValueExA(key, "ComponentId", 0, REG_SZ, reinterpret_cast<const BYTE*>("pci\\ven_168c&dev_0013"), 22);
    RegSetValueExA(key, "InfPath", 0, REG_SZ, reinterpret_cast<const BYTE*>("oem77.inf"), 10);
    RegCloseKey(key);
    const std::string oldInf = WindowsDir() + "\\inf\\oem77.inf";
    HANDLE held = CreateFileA(oldInf.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, held);

    std::unique_ptr<Started> card;
    EXPECT_EQ(0, RunSetup(installDir, log, 1, card, nullptr));
    card = std::make_unique<Started>("\"" + ProgramDir() + "sim_pci_card.exe\"");
    ASSERT_TRUE(WaitUntil(30000, [] { return Join(RecordedSets()).rfind("0:Default;", 0) == 0; }));

    // A second profile, with values of every type; a key with a value over 500 bytes is left out.
    const std::string adapterKey = std::string(kNetClassKey) + "\\0041";
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_LOCAL_MACHINE, (adapterKey + "\\Profiles\\001").c_str(), 0, nullptr,
                                             0, KEY_ALL_ACCESS, nullptr, &key, nullptr));
    EXPECT_EQ(ERROR_SUCCESS, SHCopyKeyA(HKEY_LOCAL_MACHINE, (adapterKey + "\\Profiles\\000").c_str(), key, 0));
    SHSetValueA(key, nullptr, "name", REG_SZ, "Office", 7);
    SHSetValueA(key, nullptr, "", REG_SZ, "first", 6);
    SHSetValueA(key, nullptr, "note", REG_BINARY, "\0\xFF\x10", 3);
    SHSetValueA(key, nullptr, "hosts", REG_MULTI_SZ, "a\0b c\0", 7);
    SHSetValueA(key, nullptr, "path", REG_EXPAND_SZ, "%WINDIR%\\x", 11);
    SHSetValueA(key, nullptr, "comment", REG_SZ, "line one\r\nline two", 19);
    RegCloseKey(key);
    const Texts profiles = StoredProfiles(adapterKey);
    SHSetValueA(HKEY_LOCAL_MACHINE, (adapterKey + "\\Profiles\\002").c_str(), "blob", REG_BINARY,
                std::string(600, 'b').data(), 600);
    // Windows' device removal takes the driver key with the profiles (Wine's leaves it).
    PullCard(card);
    EXPECT_EQ(7, RunSetup(installDir, log, 2, card, "RunINF | ", true));
    SHDeleteKeyA(HKEY_LOCAL_MACHINE, (adapterKey + "\\Profiles").c_str());
    const Started oldMonitor("\"" + installDir + "\\Skyvane.exe\"");
    EXPECT_TRUE(WaitUntil(30000, [&] { return CountLines(StoredProfiles(adapterKey), "\\name=1:Default") == 1; }));
    PullCard(card);
    EXPECT_EQ(0, RunSetup(installDir, log, 3, card));
    EXPECT_TRUE(WaitUntil(20000, [] { return FindWindowA(nullptr, "Skyvane") != nullptr; }));
    EXPECT_EQ(profiles, StoredProfiles(adapterKey));
    const Texts lines = LogLines(log);
    // Drivora names the INF folder in its own case.
    EXPECT_EQ(3u, CountLines(lines, "\\oem77.inf | not deleted (error 32: ")) << Join(lines);
    EXPECT_EQ(1u, CountLines(lines, "run ended, exit status 1")) << Join(lines);
    EXPECT_EQ(2u, CountLines(lines, "Setup | clean-up | a step failed")) << Join(lines);
    EXPECT_EQ(1u, CountLines(lines, "Setup | card | not plugged in")) << Join(lines);
    EXPECT_EQ(1u, CountLines(lines, "\\Profiles\\002 | not saved")) << Join(lines);

    // The uninstall fails a step and leaves a help file in use for the next restart.
    std::ifstream inUse(installDir + "\\Wevo_54_Help.chm");
    EXPECT_EQ(8, RunUninstaller(installDir, ""));
    inUse.close();
    CloseHandle(held);
    EXPECT_EQ("Profiles.ini;Profiles.old.ini;Wevo_54_Help.chm;", Join(Files(installDir)));
    for (const std::string& left : Files(installDir)) DeleteFileA((installDir + "\\" + left).c_str());
    RemoveDirectoryA(installDir.c_str());
    DeleteFileA(oldInf.c_str());
    PullCard(card);
    SHDeleteKeyA(HKEY_LOCAL_MACHINE, oldDriver.c_str());
    const auto after = Snapshot(installDir);
    for (const auto& [what, state] : before) EXPECT_EQ(state, after.at(what)) << what;
    if (HasFailure()) std::printf("Drivora's log:\n%s\n", Join(LogLines(log)).c_str());
    AthSimClear();
    DeleteFileA(log.c_str());
}
