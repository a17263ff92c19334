// Plays the adapter card for the install round trip: the card is plugged in
// (a device node with the adapter's hardware ID), and once the driver package
// is staged, Windows binds it to the card and the driver's device interface appears among the
// DOS device names while this process runs (at most ten minutes).
#include <windows.h>
#include <setupapi.h>
#include <winternl.h>

#include <cstdio>
#include <string>

namespace {

const GUID kNetClass = {0x4D36E972, 0xE325, 0x11CE, {0xBF, 0xC1, 0x08, 0x00, 0x2B, 0xE1, 0x03, 0x18}};
const char kInstanceId[] = "PCI\\VEN_168C&DEV_0013\\4&1F7DBC9F&0&00A8";
const char kHardwareId[] = "PCI\\VEN_168C&DEV_0013&SUBSYS_2051168C\0PCI\\VEN_168C&DEV_0013\0";
const char kDriverKey[] = "{4D36E972-E325-11CE-BFC1-08002BE10318}\\0041";
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

// False while the package is not staged (its compiled INF comes last); its device section registers the adapter.
bool BindStagedPackage() {
    char windows[MAX_PATH] = {};
    GetWindowsDirectoryA(windows, sizeof windows);
    const std::string inf = windows + std::string("\\inf\\oem41.");
    if (GetFileAttributesA((inf + "PNF").c_str()) == INVALID_FILE_ATTRIBUTES) return false;
    HINF staged = SetupOpenInfFileA((inf + "inf").c_str(), nullptr, INF_STYLE_WIN4, nullptr);
    if (staged == INVALID_HANDLE_VALUE) return false;
    const bool bound = SetupInstallFromInfSectionA(nullptr, staged, "ATHER_DEV_1041.ndi", SPINST_REGISTRY, nullptr,
                                                   nullptr, 0, nullptr, nullptr, nullptr, nullptr) != FALSE;
    SetupCloseInfFile(staged);
    return bound;
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
    while (!BindStagedPackage()) {
        if (GetTickCount() - start > 10 * 60 * 1000) return 2;
        Sleep(100);
    }
    BindDriverKey();
    HANDLE link = CreateInterfaceLink();
    std::printf(link ? "driver loaded\n" : "no device interface\n");
    std::fflush(stdout);
    Sleep(10 * 60 * 1000);
    return 0;
}
