// Plays the adapter card for the install round trip: the card is plugged in
// (a device node with the adapter's hardware ID), and once the driver package
// is staged in the INF folder it does what Windows does then: it binds the
// package to the card (the package's device section registers the adapter),
// and the driver's device interface appears among the DOS device names while
// this process runs (at most ten minutes).
#include <windows.h>
#include <setupapi.h>
#include <winternl.h>

#include <cstdio>
#include <string>

namespace {

const GUID kNetClass = {0x4D36E972, 0xE325, 0x11CE, {0xBF, 0xC1, 0x08, 0x00, 0x2B, 0xE1, 0x03, 0x18}};
const char kInstanceId[] = "PCI\\VEN_168C&DEV_0013\\4&1F7DBC9F&0&00A8";
const char kHardwareId[] = "PCI\\VEN_168C&DEV_0013&SUBSYS_2051168C\0PCI\\VEN_168C&DEV_0013\0";
const char kAdapterKey[] =
    "SYSTEM\\CurrentControlSet\\Control\\Class\\{4D36E972-E325-11CE-BFC1-08002BE10318}\\0041";
const char kDriverKey[] = "{4D36E972-E325-11CE-BFC1-08002BE10318}\\0041";
// Where the setup's section stages the package, and the device section Windows runs then.
const char kStagedInf[] = "\\inf\\oem41.inf";
const char kStagedPnf[] = "\\inf\\oem41.PNF";
const char kDeviceSection[] = "ATHER_DEV_1041.ndi";
const wchar_t kInterfaceLink[] =
    L"\\??\\PCI#VEN_168C&DEV_0013#4&1F7DBC9F&0&00A8#{ad498944-762f-11d0-8dcb-00c04fc3358c}";

typedef NTSTATUS(NTAPI* CreateLinkFn)(PHANDLE, ACCESS_MASK, POBJECT_ATTRIBUTES, PUNICODE_STRING);
typedef VOID(NTAPI* InitStringFn)(PUNICODE_STRING, PCWSTR);

bool PlugIn() {
    HDEVINFO set = SetupDiCreateDeviceInfoList(&kNetClass, nullptr);
    if (set == INVALID_HANDLE_VALUE) return false;
    SP_DEVINFO_DATA data = {};
    data.cbSize = sizeof data;
    bool ok = SetupDiCreateDeviceInfoA(set, kInstanceId, &kNetClass, nullptr, nullptr, 0, &data) &&
              SetupDiSetDeviceRegistryPropertyA(set, &data, SPDRP_HARDWAREID,
                                                reinterpret_cast<const BYTE*>(kHardwareId), sizeof kHardwareId) &&
              SetupDiRegisterDeviceInfo(set, &data, 0, nullptr, nullptr, nullptr);
    SetupDiDestroyDeviceInfoList(set);
    return ok;
}

// The driver key the class installer would assign to the device.
void BindDriverKey() {
    HDEVINFO set = SetupDiGetClassDevsA(&kNetClass, nullptr, nullptr, 0);
    if (set == INVALID_HANDLE_VALUE) return;
    SP_DEVINFO_DATA data = {};
    data.cbSize = sizeof data;
    if (SetupDiOpenDeviceInfoA(set, kInstanceId, nullptr, 0, &data))
        SetupDiSetDeviceRegistryPropertyA(set, &data, SPDRP_DRIVER, reinterpret_cast<const BYTE*>(kDriverKey),
                                          sizeof kDriverKey);
    SetupDiDestroyDeviceInfoList(set);
}

std::string WindowsFile(const char* name) {
    char windows[MAX_PATH] = {};
    GetWindowsDirectoryA(windows, sizeof windows);
    return windows + std::string(name);
}

// The compiled INF is copied last: once it is there the INF is complete.
bool PackageStaged() { return GetFileAttributesA(WindowsFile(kStagedPnf).c_str()) != INVALID_FILE_ATTRIBUTES; }

bool BindPackage() {
    HINF inf = SetupOpenInfFileA(WindowsFile(kStagedInf).c_str(), nullptr, INF_STYLE_WIN4, nullptr);
    if (inf == INVALID_HANDLE_VALUE) return false;
    const bool ok = SetupInstallFromInfSectionA(nullptr, inf, kDeviceSection, SPINST_REGISTRY, nullptr, nullptr, 0,
                                                nullptr, nullptr, nullptr, nullptr) != FALSE;
    SetupCloseInfFile(inf);
    HKEY key = nullptr;
    if (!ok || RegOpenKeyExA(HKEY_LOCAL_MACHINE, kAdapterKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}

HANDLE CreateInterfaceLink() {
    HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    auto create = reinterpret_cast<CreateLinkFn>(GetProcAddress(ntdll, "NtCreateSymbolicLinkObject"));
    auto init = reinterpret_cast<InitStringFn>(GetProcAddress(ntdll, "RtlInitUnicodeString"));
    if (!create || !init) return nullptr;
    UNICODE_STRING name, target;
    init(&name, kInterfaceLink);
    init(&target, L"\\Device\\Null");
    OBJECT_ATTRIBUTES attrs;
    InitializeObjectAttributes(&attrs, &name, OBJ_CASE_INSENSITIVE, nullptr, nullptr);
    HANDLE link = nullptr;
    return create(&link, 0xF0001, &attrs, &target) == 0 ? link : nullptr;
}

}  // namespace

int main() {
    if (!PlugIn()) {
        std::printf("could not create the device node\n");
        return 1;
    }
    std::printf("card plugged in\n");
    std::fflush(stdout);
    const DWORD start = GetTickCount();
    while (!PackageStaged()) {
        if (GetTickCount() - start > 10 * 60 * 1000) return 2;
        Sleep(100);
    }
    if (!BindPackage()) {
        std::printf("could not bind the staged package\n");
        return 3;
    }
    BindDriverKey();
    HANDLE link = CreateInterfaceLink();
    std::printf(link ? "driver loaded\n" : "no device interface\n");
    std::fflush(stdout);
    Sleep(10 * 60 * 1000);
    return 0;
}
