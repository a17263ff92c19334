#include "installer/system/win_system_api.h"

#include <cfgmgr32.h>
#include <setupapi.h>
#include <tlhelp32.h>

#include <cstring>
#include <vector>

#include "framework/handles.h"
#include "framework/reg_key.h"
#include "installer/text_match.h"

namespace drivora {

const char kMessageCaption[] = "Install IEEE 802.11 Wireless LAN";

namespace {

const GUID kNetClassGuid = {0x4D36E972, 0xE325, 0x11CE, {0xBF, 0xC1, 0x08, 0x00, 0x2B, 0xE1, 0x03, 0x18}};
constexpr DWORD kMaxValueBytes = 64 * 1024;
constexpr int kMaxKeyDepth = 32;
constexpr DWORD kMaxDosDeviceChars = 4 * 1024 * 1024;

bool Win9xFamily() { return (GetVersion() & 0x80000000u) != 0; }

// The Windows 9x family knows no FILE_SHARE_DELETE; on NT it lets another run rename the log.
DWORD ShareAll() { return FILE_SHARE_READ | FILE_SHARE_WRITE | (Win9xFamily() ? 0 : FILE_SHARE_DELETE); }

// Looked up by name: whether every Windows 98 has it is not settled by what is published.
using CallClassInstaller = BOOL(WINAPI*)(DI_FUNCTION, HDEVINFO, PSP_DEVINFO_DATA);
CallClassInstaller ClassInstaller() {
    static const auto call = reinterpret_cast<CallClassInstaller>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("setupapi.dll"), "SetupDiCallClassInstaller")));
    return call;
}

// The elements are collected when the set is opened, so removing one does not
// move the others, whatever the Setup API does with removed elements.
class WinDeviceList : public DeviceList {
public:
    explicit WinDeviceList(HDEVINFO set) : set_(set) {
        SP_DEVINFO_DATA data = {};
        data.cbSize = sizeof data;
        for (DWORD i = 0; SetupDiEnumDeviceInfo(set_, i, &data); ++i) elements_.push_back(data);
    }
    ~WinDeviceList() override { SetupDiDestroyDeviceInfoList(set_); }

    bool Get(std::uint32_t index, DeviceInfo* info) override {
        if (index >= elements_.size()) return false;
        SP_DEVINFO_DATA& data = elements_[index];
        *info = DeviceInfo();
        char id[260] = {};
        if (SetupDiGetDeviceInstanceIdA(set_, &data, id, sizeof id, nullptr)) {
            info->hasInstanceId = true;
            info->instanceId = id;
        }
        DWORD size = 0;
        SetupDiGetDeviceRegistryPropertyA(set_, &data, SPDRP_HARDWAREID, nullptr, nullptr, 0, &size);
        if (GetLastError() == ERROR_INSUFFICIENT_BUFFER && size > 0 && size <= kMaxValueBytes) {
            std::vector<char> block(size + 2, '\0');
            if (SetupDiGetDeviceRegistryPropertyA(set_, &data, SPDRP_HARDWAREID, nullptr,
                                                  reinterpret_cast<BYTE*>(block.data()), size, nullptr)) {
                info->hasHardwareId = true;
                info->hardwareId = block.data();
            }
        }
        return true;
    }
    bool Remove(std::uint32_t index) override {
        if (index >= elements_.size()) return false;
        const CallClassInstaller call = ClassInstaller();
        if (!call) {
            SetLastError(ERROR_CALL_NOT_IMPLEMENTED);
            return false;
        }
        if (!call(DIF_REMOVE, set_, &elements_[index])) return false;
        SP_DEVINSTALL_PARAMS_A params = {};
        params.cbSize = sizeof params;
        if (SetupDiGetDeviceInstallParamsA(set_, &elements_[index], &params) &&
            (params.Flags & (DI_NEEDREBOOT | DI_NEEDRESTART)) != 0)
            restartNeeded_ = true;
        return true;
    }
    ConfigResult Reenumerate(std::uint32_t index) override {
        if (index >= elements_.size()) return CR_INVALID_DEVNODE;
        return CM_Reenumerate_DevNode(elements_[index].DevInst, CM_REENUMERATE_NORMAL);
    }
    bool RestartNeeded() override { return restartNeeded_; }

private:
    HDEVINFO set_;
    bool restartNeeded_ = false;
    std::vector<SP_DEVINFO_DATA> elements_;
};

bool SizeOf(HANDLE file, std::uint64_t* size) {
    DWORD high = 0;
    const DWORD low = GetFileSize(file, &high);
    if (low == INVALID_FILE_SIZE && GetLastError() != NO_ERROR) return false;
    *size = (static_cast<std::uint64_t>(high) << 32) | low;
    return true;
}

// Each line is written at the end and flushed, so what was logged survives a
// crash. On Windows NT the file is opened for appending only, so that a line is
// never written over by another run appending meanwhile; the Windows 9x family
// knows no append-only access and moves to the end before each line.
class WinAppendFile : public AppendFile {
public:
    WinAppendFile(HANDLE file, bool appendOnly) : file_(file), appendOnly_(appendOnly) {}

    bool Size(std::uint64_t* size) override { return SizeOf(file_.get(), size); }
    bool Append(const char* data, std::size_t size) override {
        if (!appendOnly_ && SetFilePointer(file_.get(), 0, nullptr, FILE_END) == INVALID_SET_FILE_POINTER &&
            GetLastError() != NO_ERROR)
            return false;
        DWORD written = 0;
        const bool ok = WriteFile(file_.get(), data, static_cast<DWORD>(size), &written, nullptr) && written == size;
        FlushFileBuffers(file_.get());
        return ok;
    }

private:
    fw::KernelHandle file_;
    bool appendOnly_;
};

// Registry calls report their error in the result; it is kept where LastError finds it.
bool RegistryResult(LONG status) {
    SetLastError(static_cast<DWORD>(status));
    return status == ERROR_SUCCESS;
}

bool DeleteTree(HKEY parent, const std::string& name, int depth) {
    if (depth > kMaxKeyDepth) return false;
    {
        fw::RegKey key;
        if (!key.Open(parent, name, KEY_ALL_ACCESS)) return false;
        // Always the first child: deleting it moves the next one to index 0.
        while (auto child = key.SubKey(0))
            if (!DeleteTree(key.get(), *child, depth + 1)) break;
    }
    return RegistryResult(RegDeleteKeyA(parent, name.c_str()));
}

}  // namespace

void WinSystemApi::ShowMessage(const std::string& text) {
    MessageBoxA(owner_, text.c_str(), kMessageCaption, MB_OK | MB_ICONEXCLAMATION);
}

void WinSystemApi::ShowHelp() {
    if (showHelp_) showHelp_();
}

void WinSystemApi::Sleep(unsigned ms) { ::Sleep(ms); }

std::uint32_t WinSystemApi::LastError() { return GetLastError(); }

std::string WinSystemApi::ErrorText(std::uint32_t code) {
    char text[256] = {};
    DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_MAX_WIDTH_MASK,
                             nullptr, code, 0, text, sizeof text, nullptr);
    while (n > 0 && (text[n - 1] == ' ' || text[n - 1] == '\r' || text[n - 1] == '\n')) --n;
    return n > 0 ? std::string(text, n) : std::string("no text for this code");
}

// The file version from the program's own version resource (no version.dll needed).
std::string WinSystemApi::ProgramVersion() {
    HRSRC found = FindResourceA(nullptr, MAKEINTRESOURCEA(VS_VERSION_INFO), MAKEINTRESOURCEA(16));  // RT_VERSION
    HGLOBAL loaded = found ? LoadResource(nullptr, found) : nullptr;
    const auto* data = loaded ? static_cast<const unsigned char*>(LockResource(loaded)) : nullptr;
    if (!data) return "(version unknown)";
    const DWORD size = SizeofResource(nullptr, found);
    // The fixed part follows the block's header and key, on a 4-byte boundary.
    for (DWORD at = 0; at + sizeof(VS_FIXEDFILEINFO) <= size && at < 128; at += 4) {
        VS_FIXEDFILEINFO info;
        std::memcpy(&info, data + at, sizeof info);
        if (info.dwSignature != 0xFEEF04BD) continue;
        char text[48];
        wsprintfA(text, "%u.%u.%u.%u", HIWORD(info.dwFileVersionMS), LOWORD(info.dwFileVersionMS),
                  HIWORD(info.dwFileVersionLS), LOWORD(info.dwFileVersionLS));
        return text;
    }
    return "(version unknown)";
}

std::string WinSystemApi::WindowsVersion() {
    OSVERSIONINFOA info = {};
    info.dwOSVersionInfoSize = sizeof info;
    if (!GetVersionExA(&info)) return "(version unknown)";
    info.szCSDVersion[sizeof info.szCSDVersion - 1] = '\0';
    char text[200];
    wsprintfA(text, "%lu.%lu.%lu %s", info.dwMajorVersion, info.dwMinorVersion, info.dwBuildNumber & 0xFFFF,
              info.szCSDVersion);
    return text;
}

// Everyone may change the system on the Windows 9x family. On Windows NT the check
// is loaded by name: CheckTokenMembership is not in every target's advapi32.
bool WinSystemApi::IsAdministrator() {
    if (Win9xFamily()) return true;
    HMODULE advapi = GetModuleHandleA("advapi32.dll");
    using Check = BOOL(WINAPI*)(HANDLE, PSID, PBOOL);
    using Allocate = BOOL(WINAPI*)(PSID_IDENTIFIER_AUTHORITY, BYTE, DWORD, DWORD, DWORD, DWORD, DWORD, DWORD, DWORD,
                                   DWORD, PSID*);
    using Free = PVOID(WINAPI*)(PSID);
    auto check = reinterpret_cast<Check>(reinterpret_cast<void*>(GetProcAddress(advapi, "CheckTokenMembership")));
    auto allocate = reinterpret_cast<Allocate>(reinterpret_cast<void*>(GetProcAddress(advapi, "AllocateAndInitializeSid")));
    auto free = reinterpret_cast<Free>(reinterpret_cast<void*>(GetProcAddress(advapi, "FreeSid")));
    if (!check || !allocate || !free) return false;
    SID_IDENTIFIER_AUTHORITY nt = SECURITY_NT_AUTHORITY;
    PSID administrators = nullptr;
    if (!allocate(&nt, 2, SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_ADMINS, 0, 0, 0, 0, 0, 0, &administrators))
        return false;
    BOOL member = FALSE;
    const bool ok = check(nullptr, administrators, &member) != FALSE;
    free(administrators);
    return ok && member;
}

bool WinSystemApi::KeyExists(const std::string& path) {
    fw::RegKey key;
    return key.Open(HKEY_LOCAL_MACHINE, path, KEY_READ);
}

bool WinSystemApi::CreateKey(const std::string& path) { return fw::RegKey().Create(HKEY_LOCAL_MACHINE, path); }

bool WinSystemApi::EnumSubkey(const std::string& path, std::uint32_t index, std::string* name) {
    fw::RegKey key;
    if (!key.Open(HKEY_LOCAL_MACHINE, path, KEY_READ)) return false;
    auto found = key.SubKey(index);
    if (found) *name = *found;
    return found.has_value();
}

bool WinSystemApi::ReadString(const std::string& path, const std::string& value, std::string* out) {
    out->clear();
    fw::RegKey key;
    if (!key.Open(HKEY_LOCAL_MACHINE, path, KEY_READ)) return false;
    auto text = key.ReadString(value.c_str(), kMaxValueBytes);
    if (text) *out = *text;
    return text.has_value();
}

bool WinSystemApi::ReadDword(const std::string& path, const std::string& value, std::uint32_t* out) {
    fw::RegKey key;
    if (!key.Open(HKEY_LOCAL_MACHINE, path, KEY_READ)) return false;
    auto data = key.ReadDword(value.c_str());
    if (data) *out = *data;
    return data.has_value();
}

bool WinSystemApi::WriteDword(const std::string& path, const std::string& value, std::uint32_t data) {
    HKEY key = nullptr;
    if (!RegistryResult(RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_SET_VALUE, &key))) return false;
    const DWORD v = data;
    const LONG status = RegSetValueExA(key, value.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&v), sizeof v);
    RegCloseKey(key);
    return RegistryResult(status);
}

bool WinSystemApi::DeleteKey(const std::string& path) {
    // A key with subkeys stays, as the Windows NT registry keeps it.
    fw::RegKey key;
    if (key.Open(HKEY_LOCAL_MACHINE, path, KEY_READ) && key.SubKey(0)) return RegistryResult(ERROR_ACCESS_DENIED);
    key.Close();
    return RegistryResult(RegDeleteKeyA(HKEY_LOCAL_MACHINE, path.c_str()));
}

bool WinSystemApi::DeleteKeyTree(const std::string& path) { return DeleteTree(HKEY_LOCAL_MACHINE, path, 0); }

bool WinSystemApi::DeleteValue(const std::string& path, const std::string& value) {
    HKEY key = nullptr;
    if (!RegistryResult(RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_SET_VALUE, &key))) return false;
    const LONG status = RegDeleteValueA(key, value.c_str());
    RegCloseKey(key);
    return RegistryResult(status);
}

std::unique_ptr<DeviceList> WinSystemApi::OpenDevices(DeviceScope scope) {
    HDEVINFO set = INVALID_HANDLE_VALUE;
    switch (scope) {
    case DeviceScope::AllClasses:
        set = SetupDiGetClassDevsA(nullptr, nullptr, nullptr, DIGCF_ALLCLASSES);
        break;
    case DeviceScope::AllPresent:
        set = SetupDiGetClassDevsA(nullptr, nullptr, nullptr, DIGCF_ALLCLASSES | DIGCF_PRESENT);
        break;
    case DeviceScope::NetworkPresent:
        set = SetupDiGetClassDevsA(&kNetClassGuid, nullptr, nullptr, DIGCF_PRESENT);
        break;
    case DeviceScope::RootEnumerator:
        set = SetupDiGetClassDevsA(nullptr, "Root", nullptr, DIGCF_ALLCLASSES);
        break;
    }
    if (set == INVALID_HANDLE_VALUE) return nullptr;
    return std::make_unique<WinDeviceList>(set);
}

ConfigResult WinSystemApi::LocateRootNode(std::uint32_t* node) {
    DEVINST root = 0;
    const CONFIGRET result = CM_Locate_DevNodeA(&root, nullptr, CM_LOCATE_DEVNODE_NORMAL);
    if (result == CR_SUCCESS) *node = root;
    return result;
}

bool WinSystemApi::FirstChild(std::uint32_t node, std::uint32_t* child) {
    DEVINST c = 0;
    if (CM_Get_Child(&c, node, 0) != CR_SUCCESS) return false;
    *child = c;
    return true;
}

bool WinSystemApi::NextSibling(std::uint32_t node, std::uint32_t* sibling) {
    DEVINST s = 0;
    if (CM_Get_Sibling(&s, node, 0) != CR_SUCCESS) return false;
    *sibling = s;
    return true;
}

bool WinSystemApi::NodeId(std::uint32_t node, std::string* id) {
    char buf[1000] = {};
    if (CM_Get_Device_IDA(node, buf, sizeof buf - 1, 0) != CR_SUCCESS) return false;
    *id = buf;
    return true;
}

ConfigResult WinSystemApi::RemoveSubtree(std::uint32_t node) { return CM_Remove_SubTree(node, CM_REMOVE_UI_OK); }

ConfigResult WinSystemApi::ReenumerateNode(std::uint32_t node) {
    return CM_Reenumerate_DevNode(node, CM_REENUMERATE_NORMAL);
}

bool WinSystemApi::ListDosDevices(std::vector<std::string>* names) {
    // The list usually fits 65535 characters; a longer one gets a larger buffer.
    for (DWORD size = 65535; size <= kMaxDosDeviceChars; size *= 4) {
        std::vector<char> buf(size, '\0');
        DWORD n = QueryDosDeviceA(nullptr, buf.data(), size);
        if (n > 0) {
            *names = SplitNameList(buf.data(), n);
            return true;
        }
        if (GetLastError() != ERROR_INSUFFICIENT_BUFFER) return false;
    }
    return false;
}

bool WinSystemApi::RequestService(const std::string& name, ServiceRequest request) {
    fw::ScHandle manager(OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CONNECT));
    if (!manager) return false;
    const DWORD access = request == ServiceRequest::Stop ? SERVICE_STOP : SERVICE_START;
    fw::ScHandle service(OpenServiceA(manager.get(), name.c_str(), access));
    if (!service) return false;
    if (request == ServiceRequest::Stop) {
        SERVICE_STATUS status = {};
        return ControlService(service.get(), SERVICE_CONTROL_STOP, &status);
    }
    return StartServiceA(service.get(), 0, nullptr);
}

bool WinSystemApi::QueryServiceState(const std::string& name, std::uint32_t* state) {
    fw::ScHandle manager(OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CONNECT));
    if (!manager) return false;
    fw::ScHandle service(OpenServiceA(manager.get(), name.c_str(), SERVICE_QUERY_STATUS));
    if (!service) return false;
    SERVICE_STATUS status = {};
    if (!QueryServiceStatus(service.get(), &status)) return false;
    *state = status.dwCurrentState;
    return true;
}

bool WinSystemApi::ListProcesses(std::vector<ProcessEntry>* processes) {
    fw::KernelHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot) return false;
    PROCESSENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    for (BOOL ok = Process32First(snapshot.get(), &entry); ok; ok = Process32Next(snapshot.get(), &entry)) {
        entry.szExeFile[sizeof entry.szExeFile - 1] = '\0';
        processes->push_back({entry.th32ProcessID, entry.szExeFile});
    }
    return true;
}

// A process that ended between the snapshot and now is not there to open (its ID is unknown
// now), has already signalled its end, or ends while refusing: either way it is gone.
Termination WinSystemApi::TerminateProcess(std::uint32_t pid) {
    fw::KernelHandle process(OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, pid));
    if (!process) return GetLastError() == ERROR_INVALID_PARAMETER ? Termination::AlreadyGone : Termination::Failed;
    if (WaitForSingleObject(process.get(), 0) == WAIT_OBJECT_0) return Termination::AlreadyGone;
    if (::TerminateProcess(process.get(), 0)) return Termination::Ended;
    const DWORD error = GetLastError();
    if (WaitForSingleObject(process.get(), 0) == WAIT_OBJECT_0) return Termination::AlreadyGone;
    SetLastError(error);
    return Termination::Failed;
}

std::string WinSystemApi::WindowsDirectory() {
    char buf[MAX_PATH + 1] = {};
    UINT n = GetWindowsDirectoryA(buf, sizeof buf);
    return n > 0 && n < sizeof buf ? std::string(buf, n) : std::string();
}

std::string WinSystemApi::SystemDirectory() {
    char buf[MAX_PATH + 1] = {};
    UINT n = GetSystemDirectoryA(buf, sizeof buf);
    return n > 0 && n < sizeof buf ? std::string(buf, n) : std::string();
}

bool WinSystemApi::RemoveFile(const std::string& path) { return DeleteFileA(path.c_str()); }

std::string WinSystemApi::TempDirectory() {
    char buf[MAX_PATH + 1] = {};
    const DWORD n = GetTempPathA(sizeof buf, buf);
    return n > 0 && n < sizeof buf ? std::string(buf, n) : std::string();
}

bool WinSystemApi::FileSize(const std::string& path, std::uint64_t* size) {
    fw::KernelHandle file(CreateFileA(path.c_str(), 0, ShareAll(), nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    return file && SizeOf(file.get(), size);
}

// One rename on NT. The Windows 9x family has MoveFileEx only as a stub: there the older file
// steps aside first and goes only once the rename has worked, or comes back.
bool WinSystemApi::ReplaceFile(const std::string& from, const std::string& to) {
    using MoveEx = BOOL(WINAPI*)(LPCSTR, LPCSTR, DWORD);
    if (!Win9xFamily()) {
        const auto move = reinterpret_cast<MoveEx>(
            reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "MoveFileExA")));
        return move && move(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING);
    }
    const std::string aside = to + ".del";
    DeleteFileA(aside.c_str());
    const bool movedAside = MoveFileA(to.c_str(), aside.c_str()) != FALSE;
    if (MoveFileA(from.c_str(), to.c_str())) {
        if (movedAside) DeleteFileA(aside.c_str());
        return true;
    }
    if (movedAside) MoveFileA(aside.c_str(), to.c_str());
    return false;
}

bool WinSystemApi::StartProgram(const std::string& commandLine) {
    return WinExec(commandLine.c_str(), SW_SHOWNORMAL) > 31;
}

std::unique_ptr<AppendFile> WinSystemApi::OpenAppendFile(const std::string& path) {
    const bool appendOnly = !Win9xFamily();
    HANDLE file = CreateFileA(path.c_str(), appendOnly ? FILE_APPEND_DATA | SYNCHRONIZE : GENERIC_WRITE, ShareAll(),
                              nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return nullptr;
    return std::make_unique<WinAppendFile>(file, appendOnly);
}

LocalTime WinSystemApi::Now() {
    SYSTEMTIME t = {};
    GetLocalTime(&t);
    LocalTime now;
    now.year = t.wYear;
    now.month = t.wMonth;
    now.day = t.wDay;
    now.hour = t.wHour;
    now.minute = t.wMinute;
    now.second = t.wSecond;
    return now;
}

}  // namespace drivora
