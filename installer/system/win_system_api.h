// The system layer over the real Win32 registry, Setup API, Configuration
// Manager, service control manager, Tool Help and shell calls.
#pragma once
#include <windows.h>

#include <functional>

#include "installer/system/system_api.h"

namespace drivora {

class WinSystemApi : public SystemApi {
public:
    // Messages are owned by `owner`; `showHelp` opens the help dialog.
    WinSystemApi(HWND owner, std::function<void()> showHelp)
        : owner_(owner), showHelp_(std::move(showHelp)) {}

    void ShowMessage(const std::string& text) override;
    void ShowHelp() override;
    void Sleep(unsigned ms) override;

    std::uint32_t LastError() override;
    std::string ErrorText(std::uint32_t code) override;
    std::string ProgramVersion() override;
    std::string WindowsVersion() override;
    bool IsAdministrator() override;

    bool KeyExists(const std::string& path) override;
    bool CreateKey(const std::string& path) override;
    bool EnumSubkey(const std::string& path, std::uint32_t index, std::string* name) override;
    bool ReadString(const std::string& path, const std::string& value, std::string* out) override;
    bool ReadDword(const std::string& path, const std::string& value, std::uint32_t* out) override;
    bool WriteDword(const std::string& path, const std::string& value, std::uint32_t data) override;
    bool DeleteKey(const std::string& path) override;
    bool DeleteKeyTree(const std::string& path) override;
    bool DeleteValue(const std::string& path, const std::string& value) override;

    std::unique_ptr<DeviceList> OpenDevices(DeviceScope scope) override;

    ConfigResult LocateRootNode(std::uint32_t* node) override;
    bool FirstChild(std::uint32_t node, std::uint32_t* child) override;
    bool NextSibling(std::uint32_t node, std::uint32_t* sibling) override;
    bool NodeId(std::uint32_t node, std::string* id) override;
    ConfigResult RemoveSubtree(std::uint32_t node) override;
    ConfigResult ReenumerateNode(std::uint32_t node) override;

    bool ListDosDevices(std::vector<std::string>* names) override;

    bool RequestService(const std::string& name, ServiceRequest request) override;
    bool QueryServiceState(const std::string& name, std::uint32_t* state) override;

    bool ListProcesses(std::vector<ProcessEntry>* processes) override;
    Termination TerminateProcess(std::uint32_t pid) override;

    std::string WindowsDirectory() override;
    std::string SystemDirectory() override;
    bool RemoveFile(const std::string& path) override;
    std::string TempDirectory() override;
    bool FileSize(const std::string& path, std::uint64_t* size) override;
    bool ReplaceFile(const std::string& from, const std::string& to) override;
    bool StartProgram(const std::string& commandLine) override;

    std::unique_ptr<AppendFile> OpenAppendFile(const std::string& path) override;
    LocalTime Now() override;

private:
    HWND owner_;
    std::function<void()> showHelp_;
};

// The caption of every message box.
extern const char kMessageCaption[];

}  // namespace drivora
