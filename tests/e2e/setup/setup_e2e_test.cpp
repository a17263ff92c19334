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


// Every value below `path`, key by key, as "key\name=type:data" lines: a number, text stored
// with its end and nothing after it, or else every byte in hexadecimal.
void DumpKey(const std::string& path, const std::string& shown, Texts& out) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return;
    for (DWORD i = 0;; ++i) {
        char name[256];
        BYTE data[4096];
        DWORD nameSize = sizeof name, dataSize = sizeof data, type = 0;
        const LONG read = RegEnumValueA(key, i, name, &nameSize, nullptr, &type, data, &dataSize);
        if (read == ERROR_NO_MORE_ITEMS) break;
        const char* chars = reinterpret_cast<const char*>(data);
        std::string text = read != ERROR_SUCCESS ? "<unreadable>" : "";
        if (read == ERROR_SUCCESS && type == REG_DWORD && dataSize == 4) text = std::to_string(*reinterpret_cast<DWORD*>(data));
        else if (read == ERROR_SUCCESS && type == REG_SZ && dataSize > 0 && strnlen(chars, dataSize) == dataSize - 1) text = chars;
        else if (read == ERROR_SUCCESS)
            for (DWORD b = 0; b < dataSize; ++b) text += {"0123456789ABCDEF"[data[b] >> 4], "0123456789ABCDEF"[data[b] & 15]};
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

// True once the `run`th Drivora run in the log has logged a line of `step` ("PnP | ": Plug and
// Play has enumerated the devices; a run logs a PnP step per bus it rescans).
bool RunReached(const Texts& lines, std::size_t run, const char* step) {
    std::size_t runs = 0;
    for (const std::string& line : lines) {
        if (line.find("start | Drivora ") != std::string::npos) ++runs;
        if (runs == run && line.find(step) != std::string::npos) return true;
    }
    return false;
}

// Ends Drivora.exe as a crash would, with a status it never gives itself.
bool CrashDrivora() {
    for (const PROCESSENTRY32& e : Processes()) {
        HANDLE p = lstrcmpiA(e.szExeFile, "Drivora.exe") ? nullptr : OpenProcess(PROCESS_TERMINATE, FALSE, e.th32ProcessID);
        const bool ended = p && TerminateProcess(p, 0xC0000094);  // integer division by zero
        if (p) CloseHandle(p);
        if (ended) return true;
    }
    return false;
}

enum class Card {
    AfterRescan,        // plugged in once the setup's Drivora has removed the old device and rescanned
    Never,              // not plugged in during the setup
    AfterDrivoraCrash,  // Drivora crashes once it has staged the package; then the card arrives
};

// Runs the setup silently into `installDir`; its Drivora is the `run`th run in the log.
long RunSetup(const std::string& installDir, const std::string& log, std::size_t run, Card when,
              std::unique_ptr<Started>& card) {
    Started setup("\"" + ProductDir() + "SkyvaneSetup.exe\" /S /D=" + installDir);
    if (!setup.ok) return -2;
    if (when == Card::Never) return setup.Wait(300000);
    const char* step = when == Card::AfterRescan ? "PnP | " : "RunINF | ";
    if (!WaitUntil(120000, [&] { return RunReached(LogLines(log), run, step); })) return -4;
    if (when == Card::AfterDrivoraCrash && !CrashDrivora()) return -6;
    card = std::make_unique<Started>("\"" + ProgramDir() + "sim_pci_card.exe\"");
    return card->ok ? setup.Wait(300000) : -5;
}

// Sets an HKLM value of any type from its bytes.
bool SetValue(const std::string& path, const char* name, DWORD type, const std::string& bytes) {
    HKEY key = nullptr;
    const bool set = RegCreateKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                                     nullptr) == ERROR_SUCCESS &&
                     RegSetValueExA(key, name, 0, type, reinterpret_cast<const BYTE*>(bytes.data()),
                                    static_cast<DWORD>(bytes.size())) == ERROR_SUCCESS;
    RegCloseKey(key);
    return set;
}

// A second profile beside the monitor's first: a copy of it named Office, with blanks around its
// network name, made the current one.
void AddOfficeProfile(const std::string& adapterKey) {
    HKEY office = nullptr, first = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_LOCAL_MACHINE, (adapterKey + "\\Profiles\\001").c_str(), 0, nullptr,
                                             0, KEY_ALL_ACCESS, nullptr, &office, nullptr));
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_LOCAL_MACHINE, (adapterKey + "\\Profiles\\000").c_str(), 0, KEY_READ, &first));
    EXPECT_EQ(ERROR_SUCCESS, SHCopyKeyA(first, nullptr, office, 0));
    RegCloseKey(first);
    RegCloseKey(office);
    SetValue(adapterKey + "\\Profiles\\001", "name", REG_SZ, std::string("Office", 7));
    SetValue(adapterKey + "\\Profiles\\001", "ssid", REG_SZ, std::string(" Office net ", 13));
    SetValue(adapterKey + "\\Profiles\\001", "powerSave", REG_DWORD, std::string("\1\0\0\0", 4));
    SetValue(adapterKey + "\\Profiles", "Selected", REG_SZ, std::string("Office", 7));
}

bool FileExists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

void PullCard(std::unique_ptr<Started>& card) {
    if (!card) return;
    TerminateProcess(card->pi.hProcess, 0);
    card->Wait(5000);
    card.reset();
}

// An earlier driver of ours whose INF file is held open: Drivora cannot delete it, a clean-up
// step that fails. The handle closes the file again.
HANDLE HoldOldDriverInf(const std::string& oldDriver) {
    SetValue(oldDriver, "ComponentId", REG_SZ, std::string("pci\\ven_168c&dev_0013", 22));
    SetValue(oldDriver, "InfPath", REG_SZ, std::string("oem77.inf", 10));
    return CreateFileA((WindowsDir() + "\\inf\\oem77.inf").c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                       CREATE_ALWAYS, 0, nullptr);
}

// A run of the setup into one folder on Windows XP, from a system without the product: the
// adapter the driver package is for is known but has no driver key, and no log is there.
// Whatever the test leaves running or plugged in goes with it.
class SetupRun : public ::testing::Test {
protected:
    void Begin(const std::string& folder) {
        for (const char* exe : {"SkyvaneSetup.exe", "Drivora.exe", "Un.exe"}) ASSERT_TRUE(SetWineVersion(exe, "winxp"));
        installDir = folder;
        // A run that stopped early left its installation behind: take it away first.
        if (FileExists(installDir + "\\Uninstall.exe")) RunUninstaller(installDir);
        ASSERT_TRUE(InstallPackageAdapter());
        DeleteKey(kMakerKey);
        endInstalled = std::make_unique<EndProgramsFrom>(EndProgramsFrom{installDir});
        DeleteFileA(log.c_str());
        before = Snapshot(installDir);
    }
    void ExpectSystemAsBefore() {
        const auto after = Snapshot(installDir);
        for (const auto& [what, state] : before) EXPECT_EQ(state, after.at(what)) << what;
    }
    void TearDown() override {
        PullCard(card);
        endInstalled.reset();
        if (HasFailure()) std::printf("Drivora's log:\n%s\n", Join(LogLines(log)).c_str());
        AthSimClear();
        DeleteFileA(log.c_str());
    }

    std::string installDir;
    const std::string log = WindowsDir() + "\\Drivora.log";
    std::map<std::string, std::string> before;
    std::unique_ptr<Started> card;
    std::unique_ptr<EndProgramsFrom> endInstalled;
};

}  // namespace

TEST_F(SetupRun, SilentInstallThenSilentUninstallLeavesTheSystemAsBefore) {
    // Windows XP: the setup takes the adapter from Zero Configuration and the uninstaller
    // gives it back. The uninstaller runs as a copy of itself named Un.exe.
    ASSERT_NO_FATAL_FAILURE(Begin("C:\\Program Files\\Telvara Setup Test"));
    ASSERT_EQ("<no folder>;", before.at("install folder"));
    ASSERT_EQ("", before.at("devices"));

    ASSERT_EQ(0, RunSetup(installDir, log, 1, Card::AfterRescan, card));

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
    // run over the installation, which removes and installs the driver again, every value with
    // its own type (the unnamed one first among them). A key with a value the file cannot carry
    // (over 500 bytes) is left out, with a line in the log. The running monitor is asked to
    // exit through its Exit command before Drivora runs.
    const std::string adapterKey = std::string(kNetClassKey) + "\\0041";
    AddOfficeProfile(adapterKey);
    const std::string office = adapterKey + "\\Profiles\\001";
    ASSERT_TRUE(SetValue(office, "", REG_SZ, std::string("first", 6)));
    ASSERT_TRUE(SetValue(office, "note", REG_BINARY, std::string("\0\xFF\x10", 3)));
    ASSERT_TRUE(SetValue(office, "hosts", REG_MULTI_SZ, std::string("a\0b c\0", 7)));
    ASSERT_TRUE(SetValue(office, "path", REG_EXPAND_SZ, std::string("%WINDIR%\\x", 11)));
    ASSERT_TRUE(SetValue(office, "comment", REG_SZ, std::string("line one\r\nline two", 19)));
    const Texts stored = StoredProfiles(adapterKey);
    ASSERT_EQ(1u, CountLines(stored, "Profiles\\001\\ssid=1: Office net ")) << Join(stored);
    ASSERT_EQ(1u, CountLines(stored, "Profiles\\001\\note=3:00FF10")) << Join(stored);
    ASSERT_TRUE(SetValue(adapterKey + "\\Profiles\\002", "blob", REG_BINARY, std::string(600, 'b')));

    // The card is found again by the rescan after the driver's removal.
    PullCard(card);
    EXPECT_EQ(0, RunSetup(installDir, log, 2, Card::AfterRescan, card));
    EXPECT_EQ(stored, StoredProfiles(adapterKey));
    EXPECT_EQ(1u, CountLines(LogLines(log), "Setup | profile key " + adapterKey + "\\Profiles\\002 | not saved: its value "
                                            "number 0 is over 500 bytes"));
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
    ExpectSystemAsBefore();
    EXPECT_EQ("", Join(Subkeys((std::string(kNetClassKey) + "\\0041").c_str())));

    // Both runs of Drivora appended their steps, in order; the log stays for support.
    const std::string inf = installDir + "\\package\\net5211.inf";
    const Texts lines = LogLines(log);
    // The monitor had exited through its window each time before Drivora looked for it.
    const Texts run = {
        "Setup | Skyvane setup " SKY_VERSION " | installing into " + installDir,
        "start | Drivora ",
        "start | command line ",
        "Quiet | message boxes | off",
        "DeleteProcess | process Skyvane.exe | not running",
        "! | Device ID PCI\\VEN_168C&DEV_0013 | set",
        "RunINF | section ATHER_DEV_1041.ndi.NT of " + inf + " | installer started",
        "QueryDevice | device PCI\\VEN_168C&DEV_0013 | present",
        "DisableWZCS | ",
        "end | 13 arguments | run ended, exit status 0",
        "Setup | Drivora | exit status 0",
        "Setup | end | done, exit status 0"};
    Texts expected = run;
    expected.insert(expected.end(), run.begin(), run.end());
    expected.insert(expected.end(), {
        "Uninstall | Skyvane uninstall " SKY_VERSION " | removing " + installDir,
        "Quiet | message boxes | off",
        "DeleteProcess | process Skyvane.exe | not running",
        "EnableWZCS | ",
        "Remove | device PCI\\VEN_168C&DEV_0013",
        "end | 9 arguments | run ended, exit status 0",
        "Uninstall | end | done, exit status 0"});
    EXPECT_EQ(Texts{}, MissingInOrder(lines, expected)) << Join(lines);
}

// What cannot work is refused before anything changes: Windows that cannot take the driver
// package (98; XP x64 and Server 2003, NT 5.2), a folder too long for Drivora's INF path (at
// most 179 characters), a setup or uninstall running in another user's session (it holds
// the machine-wide mutex), and a folder where the uninstaller cannot be written.
TEST(SetupE2E, SetupsThatCannotWorkAreRefusedBeforeAnythingChanges) {
    const std::string refusedDir = "C:\\Program Files\\Telvara Refused Test";
    const std::string longDir = refusedDir + "\\" + std::string(180 - refusedDir.size() - 1, 'x');  // 180
    const struct {
        const char* windows;
        std::string installDir;
        long exitCode;
        const char* mutex;      // held meanwhile
        bool uninstallerTaken;  // a folder stands where the uninstaller goes
    } cases[] = {
        {"win98", refusedDir, 3, nullptr, false},
        {"winxp64", refusedDir, 3, nullptr, false},
        {"win2003", refusedDir, 3, nullptr, false},
        {"winxp", longDir, 6, nullptr, false},
        {"winxp", refusedDir, 5, "Global\\TelvaraWlanSetup", false},
        {"winxp", refusedDir, 2, nullptr, true},
    };
    ASSERT_TRUE(InstallPackageAdapter());
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.windows) + " " + std::to_string(c.exitCode));
        ASSERT_TRUE(SetWineVersion("SkyvaneSetup.exe", c.windows));
        HANDLE mutex = c.mutex ? CreateMutexA(nullptr, FALSE, c.mutex) : nullptr;
        if (c.uninstallerTaken) {
            CreateDirectoryA(c.installDir.c_str(), nullptr);
            CreateDirectoryA((c.installDir + "\\Uninstall.exe").c_str(), nullptr);
        }
        const auto before = Snapshot(c.installDir);
        Started setup("\"" + ProductDir() + "SkyvaneSetup.exe\" /S /D=" + c.installDir);
        ASSERT_TRUE(setup.ok);
        EXPECT_EQ(c.exitCode, setup.Wait(60000));
        const auto after = Snapshot(c.installDir);
        for (const auto& [what, state] : before) EXPECT_EQ(state, after.at(what)) << what;
        if (mutex) CloseHandle(mutex);
        RemoveDirectoryA((c.installDir + "\\Uninstall.exe").c_str());
        RemoveDirectoryA(c.installDir.c_str());
    }
    ASSERT_TRUE(SetWineVersion("SkyvaneSetup.exe", "winxp"));
    AthSimClear();
}

// A clean-up step that fails while the new driver goes in does not stop the setup. A later
// setup whose Drivora crashes installs nothing and keeps the profiles saved; the monitor left
// from before then makes a fresh Default for the new driver key, and the next setup restores
// every profile all the same. The uninstaller's status says both a failed step and a restart,
// and it keeps the saved profiles unless asked to remove them.
TEST_F(SetupRun, FailedStepsNeitherStopTheSetupNorLoseProfilesNorHideInTheStatus) {
    ASSERT_NO_FATAL_FAILURE(Begin("C:\\Program Files\\Telvara Failed Test"));
    ASSERT_EQ(0, RunSetup(installDir, log, 1, Card::AfterRescan, card));
    const std::string adapterKey = std::string(kNetClassKey) + "\\0041";
    ASSERT_TRUE(WaitUntil(20000, [&] { return CountLines(StoredProfiles(adapterKey), "\\name=1:Default") == 1; }));
    AddOfficeProfile(adapterKey);
    const Texts profiles = StoredProfiles(adapterKey);

    const std::string oldDriver = std::string(kNetClassKey) + "\\0042";
    HANDLE held = HoldOldDriverInf(oldDriver);
    ASSERT_NE(INVALID_HANDLE_VALUE, held);
    PullCard(card);
    EXPECT_EQ(0, RunSetup(installDir, log, 2, Card::AfterRescan, card));
    CloseHandle(held);
    EXPECT_TRUE(WaitUntil(20000, [] { return FindWindowA(nullptr, "Skyvane") != nullptr; }));
    EXPECT_EQ(profiles, StoredProfiles(adapterKey));
    Texts lines = LogLines(log);
    // Drivora names the INF folder in its own case.
    EXPECT_EQ(1u, CountLines(lines, "\\oem77.inf | not deleted (error 32: ")) << Join(lines);
    EXPECT_EQ(Texts{}, MissingInOrder(lines, {"end | 13 arguments | run ended, exit status 1",
                                              "Setup | Drivora | exit status 1",
                                              "Setup | clean-up | a step failed (see Drivora's lines above); the new "
                                              "driver is in place",
                                              "Setup | end | done, exit status 0"}))
        << Join(lines);

    PullCard(card);
    EXPECT_EQ(7, RunSetup(installDir, log, 3, Card::AfterDrivoraCrash, card));
    EXPECT_TRUE(FileExists(installDir + "\\Profiles.ini"));
    EXPECT_EQ(1u, CountLines(LogLines(log), "Setup | Drivora | ended with 0xC0000094, which is no status of its own"));
    // Windows' device removal takes the driver key with its profiles; Wine's leaves them.
    SHDeleteKeyA(HKEY_LOCAL_MACHINE, (adapterKey + "\\Profiles").c_str());
    const Started oldMonitor("\"" + installDir + "\\Skyvane.exe\"");
    EXPECT_TRUE(WaitUntil(30000, [&] {
        const Texts fresh = StoredProfiles(adapterKey);
        return CountLines(fresh, "\\name=1:") == 1 && CountLines(fresh, "\\name=1:Default") == 1;
    })) << Join(StoredProfiles(adapterKey));
    PullCard(card);
    EXPECT_EQ(0, RunSetup(installDir, log, 4, Card::AfterRescan, card));
    EXPECT_EQ(profiles, StoredProfiles(adapterKey));
    EXPECT_FALSE(FileExists(installDir + "\\Profiles.ini"));
    EXPECT_TRUE(FileExists(installDir + "\\Profiles.old.ini"));  // the fresh Default

    // The uninstall fails a step and leaves a help file in use for the next restart.
    held = HoldOldDriverInf(oldDriver);
    const std::string help = installDir + "\\Wevo_54_Help.chm";
    HANDLE inUse = CreateFileA(help.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    EXPECT_EQ(8, RunUninstaller(installDir, ""));
    CloseHandle(inUse);
    CloseHandle(held);
    EXPECT_TRUE(FileExists(installDir + "\\Profiles.ini"));
    EXPECT_TRUE(FileExists(installDir + "\\Profiles.old.ini"));
    lines = LogLines(log);
    EXPECT_EQ(Texts{}, MissingInOrder(lines, {"Uninstall | profiles | kept in " + installDir,
                                              "Uninstall | end | done, exit status 8"}))
        << Join(lines);

    PullCard(card);
    for (const char* left : {"\\Profiles.ini", "\\Profiles.old.ini", "\\Wevo_54_Help.chm"})
        DeleteFileA((installDir + left).c_str());
    RemoveDirectoryA(installDir.c_str());
    DeleteFileA((WindowsDir() + "\\inf\\oem77.inf").c_str());
    SHDeleteKeyA(HKEY_LOCAL_MACHINE, oldDriver.c_str());
    ExpectSystemAsBefore();
}

// Software first, card later: without a card the setup installs the monitor, which shows that
// there is no adapter until the card arrives, and then finds it without a restart.
TEST_F(SetupRun, WithoutACardTheMonitorIsInstalledAndFindsTheCardWhenItArrives) {
    ASSERT_NO_FATAL_FAILURE(Begin("C:\\Program Files\\Telvara No Card Test"));
    ASSERT_EQ(0, RunSetup(installDir, log, 1, Card::Never, card));
    EXPECT_TRUE(FileExists(installDir + "\\Skyvane.exe"));
    EXPECT_TRUE(WaitUntil(20000, [] { return FindWindowA(nullptr, "Skyvane") != nullptr; }));
    const std::string radioOn = "\"" + installDir + "\\Skyvane.exe\" /radio on";
    EXPECT_EQ(2, Started(radioOn).Wait(60000));  // no adapter
    const Texts lines = LogLines(log);
    EXPECT_EQ(Texts{}, MissingInOrder(lines, {"QueryDevice | device PCI\\VEN_168C&DEV_0013 | no card plugged in",
                                              "DisableWZCS | adapter | none yet (no card)",
                                              "end | 13 arguments | run ended, exit status 8",
                                              "Setup | card | not plugged in",
                                              "Setup | end | done, exit status 0"}))
        << Join(lines);

    card = std::make_unique<Started>("\"" + ProgramDir() + "sim_pci_card.exe\"");
    EXPECT_TRUE(WaitUntil(30000, [] {
        const Texts sets = RecordedSets();
        return !sets.empty() && sets[0] == "0:Default";
    })) << Join(RecordedSets());
    EXPECT_EQ(0, Started(radioOn).Wait(60000));

    EXPECT_EQ(0, RunUninstaller(installDir));
    PullCard(card);
    ExpectSystemAsBefore();
}
