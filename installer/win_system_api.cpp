#include "installer/win_system_api.h"

#include <cfgmgr32.h>
#include <setupapi.h>
#include <tlhelp32.h>

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
        return index < elements_.size() &&
               SetupDiCallClassInstaller(DIF_REMOVE, set_, &elements_[index]);
    }
    bool Reenumerate(std::uint32_t index) override {
        return index < elements_.size() &&
               CM_Reenumerate_DevNode(elements_[index].DevInst, CM_REENUMERATE_NORMAL) == CR_SUCCESS;
    }

private:
    HDEVINFO set_;
    std::vector<SP_DEVINFO_DATA> elements_;
};

// Each line is written at the end and flushed, so what was logged survives a
// crash and another run appending meanwhile. Plain write access, as the
// Windows 9x family knows no append-only access.
class WinAppendFile : public AppendFile {
public:
    explicit WinAppendFile(HANDLE file) : file_(file) {}

    std::uint64_t Size() override {
        DWORD high = 0;
        const DWORD low = GetFileSize(file_.get(), &high);
        if (low == INVALID_FILE_SIZE && GetLastError() != NO_ERROR) return UINT64_MAX;  // counts as full
        return (static_cast<std::uint64_t>(high) << 32) | low;
    }
    bool Append(const char* data, std::size_t size) override {
        if (SetFilePointer(file_.get(), 0, nullptr, FILE_END) == INVALID_SET_FILE_POINTER &&
            GetLastError() != NO_ERROR)
            return false;
        DWORD written = 0;
        const bool ok = WriteFile(file_.get(), data, static_cast<DWORD>(size), &written, nullptr) && written == size;
        FlushFileBuffers(file_.get());
        return ok;
    }

private:
    fw::KernelHandle file_;
};

bool DeleteTree(HKEY parent, const std::string& name, int depth) {
    if (depth > kMaxKeyDepth) return false;
    {
        fw::RegKey key;
        if (!key.Open(parent, name, KEY_ALL_ACCESS)) return false;
        // Always the first child: deleting it moves the next one to index 0.
        while (auto child = key.SubKey(0))
            if (!DeleteTree(key.get(), *child, depth + 1)) break;
    }
    return RegDeleteKeyA(parent, name.c_str()) == ERROR_SUCCESS;
}

}  // namespace

void WinSystemApi::ShowMessage(const std::string& text) {
    MessageBoxA(owner_, text.c_str(), kMessageCaption, MB_OK | MB_ICONEXCLAMATION);
}

void WinSystemApi::ShowHelp() {
    if (showHelp_) showHelp_();
}

void WinSystemApi::Sleep(unsigned ms) { ::Sleep(ms); }

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
    fw::RegKey key;
    return key.Open(HKEY_LOCAL_MACHINE, path, KEY_ALL_ACCESS) && key.WriteDword(value.c_str(), data);
}

bool WinSystemApi::DeleteKey(const std::string& path) {
    // A key with subkeys stays, as the Windows NT registry keeps it.
    fw::RegKey key;
    if (key.Open(HKEY_LOCAL_MACHINE, path, KEY_READ) && key.SubKey(0)) return false;
    key.Close();
    return RegDeleteKeyA(HKEY_LOCAL_MACHINE, path.c_str()) == ERROR_SUCCESS;
}

bool WinSystemApi::DeleteKeyTree(const std::string& path) { return DeleteTree(HKEY_LOCAL_MACHINE, path, 0); }

bool WinSystemApi::DeleteValue(const std::string& path, const std::string& value) {
    fw::RegKey key;
    return key.Open(HKEY_LOCAL_MACHINE, path, KEY_ALL_ACCESS) &&
           RegDeleteValueA(key.get(), value.c_str()) == ERROR_SUCCESS;
}

std::unique_ptr<DeviceList> WinSystemApi::OpenDevices(DeviceScope scope) {
    HDEVINFO set = INVALID_HANDLE_VALUE;
    switch (scope) {
    case DeviceScope::AllClasses:
        set = SetupDiGetClassDevsA(nullptr, nullptr, nullptr, DIGCF_ALLCLASSES);
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

bool WinSystemApi::LocateRootNode(std::uint32_t* node) {
    DEVINST root = 0;
    if (CM_Locate_DevNodeA(&root, nullptr, CM_LOCATE_DEVNODE_NORMAL) != CR_SUCCESS) return false;
    *node = root;
    return true;
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

bool WinSystemApi::RemoveSubtree(std::uint32_t node) { return CM_Remove_SubTree(node, CM_REMOVE_UI_OK) == CR_SUCCESS; }

bool WinSystemApi::ReenumerateNode(std::uint32_t node) {
    return CM_Reenumerate_DevNode(node, CM_REENUMERATE_NORMAL) == CR_SUCCESS;
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

bool WinSystemApi::TerminateProcess(std::uint32_t pid) {
    fw::KernelHandle process(OpenProcess(PROCESS_TERMINATE, FALSE, pid));
    return process && ::TerminateProcess(process.get(), 0);
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

bool WinSystemApi::StartProgram(const std::string& commandLine) {
    return WinExec(commandLine.c_str(), SW_SHOWNORMAL) > 31;
}

std::unique_ptr<AppendFile> WinSystemApi::OpenAppendFile(const std::string& path) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return nullptr;
    return std::make_unique<WinAppendFile>(file);
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
