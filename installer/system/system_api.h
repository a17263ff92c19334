// The thin layer over the system that the installer operations use: registry
// (under HKEY_LOCAL_MACHINE), Setup API device sets, the Configuration Manager
// tree, DOS device names, services, processes, files and program start.
#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace drivora {

struct DeviceInfo {
    bool hasInstanceId = false;
    std::string instanceId;
    bool hasHardwareId = false;
    std::string hardwareId;  // first string of the hardware-ID list
};

enum class DeviceScope {
    AllClasses,         // every device of every class, present or not
    AllPresent,         // every device of every class that is plugged in
    NetworkPresent,     // the network class, present devices only
    RootEnumerator,     // every class, enumerator "Root"
};

// A Configuration Manager result (CONFIGRET): 0 is success. Its codes are not system error
// codes, so a failure is told by its own code.
using ConfigResult = std::uint32_t;
constexpr ConfigResult kConfigSuccess = 0;

// A device-information set; elements are addressed by index from 0.
class DeviceList {
public:
    virtual ~DeviceList() = default;
    // False after the last element.
    virtual bool Get(std::uint32_t index, DeviceInfo* info) = 0;
    // Class installer, DIF_REMOVE; without one on this Windows the error is 120
    // (ERROR_CALL_NOT_IMPLEMENTED).
    virtual bool Remove(std::uint32_t index) = 0;
    virtual ConfigResult Reenumerate(std::uint32_t index) = 0;  // normal re-enumeration of its node
    // True once a removal through this set reported that Windows must restart to finish it.
    virtual bool RestartNeeded() = 0;
};

enum class ServiceRequest { Stop, Start };

struct LocalTime {
    unsigned year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
};

// A file open for appending. Append returns once the data has been handed to
// the system, so a line survives the process.
class AppendFile {
public:
    virtual ~AppendFile() = default;
    // False when the size cannot be had.
    virtual bool Size(std::uint64_t* size) = 0;
    virtual bool Append(const char* data, std::size_t size) = 0;
};

enum class Termination { Ended, AlreadyGone, Failed };

struct ProcessEntry {
    std::uint32_t pid = 0;
    std::string exeName;  // a full path on the Windows 9x family
};

class SystemApi {
public:
    virtual ~SystemApi() = default;

    virtual void ShowMessage(const std::string& text) = 0;
    virtual void ShowHelp() = 0;
    virtual void Sleep(unsigned ms) = 0;

    // The system's code for the last call that failed, and its text.
    virtual std::uint32_t LastError() = 0;
    virtual std::string ErrorText(std::uint32_t code) = 0;

    // What the step log's header says about the run.
    virtual std::string ProgramVersion() = 0;
    virtual std::string WindowsVersion() = 0;  // version, build and service pack
    virtual bool IsAdministrator() = 0;

    // Registry, all paths under HKEY_LOCAL_MACHINE.
    virtual bool KeyExists(const std::string& path) = 0;
    virtual bool CreateKey(const std::string& path) = 0;
    // False when there is no subkey at `index` (or the key cannot be read).
    virtual bool EnumSubkey(const std::string& path, std::uint32_t index, std::string* name) = 0;
    virtual bool ReadString(const std::string& path, const std::string& value, std::string* out) = 0;
    virtual bool ReadDword(const std::string& path, const std::string& value, std::uint32_t* out) = 0;
    virtual bool WriteDword(const std::string& path, const std::string& value, std::uint32_t data) = 0;
    // Deletes a key that has no subkeys.
    virtual bool DeleteKey(const std::string& path) = 0;
    // Deletes a key with everything below it (what the Windows 9x registry does).
    virtual bool DeleteKeyTree(const std::string& path) = 0;
    virtual bool DeleteValue(const std::string& path, const std::string& value) = 0;

    // Setup API; nullptr when the set cannot be had.
    virtual std::unique_ptr<DeviceList> OpenDevices(DeviceScope scope) = 0;

    // Configuration Manager device tree; nodes are opaque non-zero numbers. A child, sibling
    // or ID that cannot be had ends that part of the walk.
    virtual ConfigResult LocateRootNode(std::uint32_t* node) = 0;
    virtual bool FirstChild(std::uint32_t node, std::uint32_t* child) = 0;
    virtual bool NextSibling(std::uint32_t node, std::uint32_t* sibling) = 0;
    virtual bool NodeId(std::uint32_t node, std::string* id) = 0;
    virtual ConfigResult RemoveSubtree(std::uint32_t node) = 0;
    virtual ConfigResult ReenumerateNode(std::uint32_t node) = 0;

    // Every DOS device name; false when the list cannot be read.
    virtual bool ListDosDevices(std::vector<std::string>* names) = 0;

    // Service control manager. Request: false when the manager or the service
    // cannot be opened. Query: false when the state cannot be read.
    virtual bool RequestService(const std::string& name, ServiceRequest request) = 0;
    virtual bool QueryServiceState(const std::string& name, std::uint32_t* state) = 0;

    virtual bool ListProcesses(std::vector<ProcessEntry>* processes) = 0;
    // A process that ended by itself meanwhile is AlreadyGone, not a failure.
    virtual Termination TerminateProcess(std::uint32_t pid) = 0;

    virtual std::string WindowsDirectory() = 0;
    virtual std::string SystemDirectory() = 0;
    virtual bool RemoveFile(const std::string& path) = 0;
    // The temporary folder, ending with a backslash; empty when unknown.
    virtual std::string TempDirectory() = 0;
    virtual bool FileSize(const std::string& path, std::uint64_t* size) = 0;
    // Renames `from` to `to`, replacing a file already named `to`; when that fails, both
    // files stay as they were.
    virtual bool ReplaceFile(const std::string& from, const std::string& to) = 0;
    // Starts a program in a normal window without waiting for it.
    virtual bool StartProgram(const std::string& commandLine) = 0;

    // The step log's file, created when missing; nullptr when it cannot be opened.
    virtual std::unique_ptr<AppendFile> OpenAppendFile(const std::string& path) = 0;
    virtual LocalTime Now() = 0;
};

}  // namespace drivora
