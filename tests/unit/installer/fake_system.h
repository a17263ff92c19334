// An in-memory stand-in for the system layer: registry, device sets, device
// tree, DOS device names, services, processes and files, with every effect recorded.
#pragma once
#include <algorithm>
#include <cstdio>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "installer/system/system_api.h"
#include "installer/text_match.h"

namespace drivora_test {

struct FakeDevice {
    std::string instanceId;
    std::string hardwareId;  // empty: no hardware-ID property
    bool present = true;
    bool network = true;
    bool root = false;
    bool removed = false;
};

struct FakeNode {
    std::string id;
    std::uint32_t firstChild = 0;
    std::uint32_t nextSibling = 0;
};

class FakeSystem : public drivora::SystemApi {
public:
    // Registry: key path (upper-cased) -> value name -> text or number.
    struct Key {
        std::map<std::string, std::string> strings;
        std::map<std::string, std::uint32_t> dwords;
    };

    std::vector<std::string> messages;
    std::vector<std::string> started;
    std::vector<std::string> removedFiles;
    // In order: service requests, registry writes, sleeps, terminations, tree removals.
    std::vector<std::string> log;
    unsigned sleptMs = 0;
    bool deviceSetsAvailable = true;
    std::vector<FakeDevice> devices;
    std::map<std::uint32_t, FakeNode> nodes;
    std::uint32_t rootNode = 0;  // 0: the root cannot be located
    std::vector<std::string> dosDevices;
    std::map<std::string, std::uint32_t> serviceStates;  // absent: no such service
    bool servicesObey = true;                           // requests change the state at once
    std::vector<drivora::ProcessEntry> processes;

    // --- registry set-up and inspection
    void AddKey(const std::string& path) {
        std::string p;
        for (const std::string& part : Split(path)) {
            p += (p.empty() ? "" : "\\") + part;
            keys_[drivora::ToUpper(p)];
            names_[drivora::ToUpper(p)] = p;
        }
    }
    void SetString(const std::string& path, const std::string& name, const std::string& v) {
        AddKey(path);
        keys_[drivora::ToUpper(path)].strings[name] = v;
    }
    void SetDword(const std::string& path, const std::string& name, std::uint32_t v) {
        AddKey(path);
        keys_[drivora::ToUpper(path)].dwords[name] = v;
    }
    bool HasKey(const std::string& path) const { return keys_.count(drivora::ToUpper(path)) > 0; }
    bool HasDword(const std::string& path, const std::string& name) const {
        auto k = keys_.find(drivora::ToUpper(path));
        return k != keys_.end() && k->second.dwords.count(name) > 0;
    }
    std::uint32_t Dword(const std::string& path, const std::string& name) const {
        return keys_.at(drivora::ToUpper(path)).dwords.at(name);
    }
    bool HasValue(const std::string& path, const std::string& name) const {
        auto k = keys_.find(drivora::ToUpper(path));
        return k != keys_.end() && (k->second.dwords.count(name) || k->second.strings.count(name));
    }

    // --- SystemApi
    void ShowMessage(const std::string& text) override { messages.push_back(text); }
    void ShowHelp() override { messages.push_back("<help>"); }
    void Sleep(unsigned ms) override {
        sleptMs += ms;
        log.push_back("sleep " + std::to_string(ms));
    }

    std::uint32_t lastError = 0;
    std::uint32_t LastError() override { return lastError; }
    std::string ErrorText(std::uint32_t code) override { return "text of " + std::to_string(code); }
    std::string ProgramVersion() override { return "1.0.0.1"; }
    std::string WindowsVersion() override { return "5.1.2600 Service Pack 2"; }
    bool IsAdministrator() override { return true; }

    bool KeyExists(const std::string& path) override { return HasKey(path); }
    bool CreateKey(const std::string& path) override {
        AddKey(path);
        log.push_back("create " + path);
        return true;
    }
    bool EnumSubkey(const std::string& path, std::uint32_t index, std::string* name) override {
        const std::vector<std::string> children = Children(path);
        if (!HasKey(path) || index >= children.size()) return false;
        *name = children[index];
        return true;
    }
    bool ReadString(const std::string& path, const std::string& value, std::string* out) override {
        auto k = keys_.find(drivora::ToUpper(path));
        if (k == keys_.end() || !k->second.strings.count(value)) return false;
        *out = k->second.strings.at(value);
        return true;
    }
    bool ReadDword(const std::string& path, const std::string& value, std::uint32_t* out) override {
        if (!HasDword(path, value)) return false;
        *out = Dword(path, value);
        return true;
    }
    bool WriteDword(const std::string& path, const std::string& value, std::uint32_t data) override {
        if (!HasKey(path)) return false;
        keys_[drivora::ToUpper(path)].dwords[value] = data;
        char hex[16];
        std::snprintf(hex, sizeof hex, "0x%X", static_cast<unsigned>(data));
        log.push_back("write " + value + "=" + hex);
        return true;
    }
    // Failed deletions leave the codes Windows gives: 2 for nothing there, 5 for a key with subkeys.
    bool DeleteKey(const std::string& path) override {
        if (!HasKey(path) || !Children(path).empty()) {
            lastError = HasKey(path) ? 5 : 2;
            return false;
        }
        keys_.erase(drivora::ToUpper(path));
        log.push_back("delete " + path);
        return true;
    }
    bool DeleteKeyTree(const std::string& path) override {
        if (!HasKey(path) || undeletable.count(drivora::ToUpper(path))) return false;
        const std::string prefix = drivora::ToUpper(path) + "\\";
        for (auto it = keys_.begin(); it != keys_.end();) {
            if (it->first == drivora::ToUpper(path) || it->first.compare(0, prefix.size(), prefix) == 0)
                it = keys_.erase(it);
            else
                ++it;
        }
        return true;
    }
    bool DeleteValue(const std::string& path, const std::string& value) override {
        auto k = keys_.find(drivora::ToUpper(path));
        lastError = 2;
        if (k == keys_.end()) return false;
        return k->second.strings.erase(value) + k->second.dwords.erase(value) > 0;
    }

    std::unique_ptr<drivora::DeviceList> OpenDevices(drivora::DeviceScope scope) override {
        if (!deviceSetsAvailable) return nullptr;
        auto list = std::make_unique<List>(*this);
        for (std::size_t i = 0; i < devices.size(); ++i) {
            const FakeDevice& d = devices[i];
            if (d.removed) continue;
            if (scope == drivora::DeviceScope::NetworkPresent && !(d.network && d.present)) continue;
            if (scope == drivora::DeviceScope::AllPresent && !d.present) continue;
            if (scope == drivora::DeviceScope::RootEnumerator && !d.root) continue;
            list->members.push_back(i);
        }
        return list;
    }

    drivora::ConfigResult LocateRootNode(std::uint32_t* node) override {
        if (rootNode == 0) return 0x0D;  // CR_NO_SUCH_DEVNODE
        *node = rootNode;
        return drivora::kConfigSuccess;
    }
    bool FirstChild(std::uint32_t node, std::uint32_t* child) override {
        *child = nodes[node].firstChild;
        return *child != 0 || childZeroIsSuccess;
    }
    bool NextSibling(std::uint32_t node, std::uint32_t* sibling) override {
        *sibling = nodes[node].nextSibling;
        return *sibling != 0;
    }
    bool NodeId(std::uint32_t node, std::string* id) override {
        if (!nodes.count(node)) return false;
        *id = nodes[node].id;
        return true;
    }
    drivora::ConfigResult RemoveSubtree(std::uint32_t node) override {
        log.push_back("remove " + nodes[node].id);
        return removalResults[nodes[node].id];
    }
    drivora::ConfigResult ReenumerateNode(std::uint32_t node) override {
        log.push_back("reenumerate " + nodes[node].id);
        return drivora::kConfigSuccess;
    }

    bool ListDosDevices(std::vector<std::string>* names) override {
        *names = dosDevices;
        return true;
    }

    bool RequestService(const std::string& name, drivora::ServiceRequest request) override {
        if (!serviceStates.count(name)) return false;
        const bool stop = request == drivora::ServiceRequest::Stop;
        log.push_back(std::string(stop ? "stop " : "start ") + name);
        if (servicesObey) serviceStates[name] = stop ? 1 : 4;
        return true;
    }
    bool QueryServiceState(const std::string& name, std::uint32_t* state) override {
        if (!serviceStates.count(name)) return false;
        ++serviceQueries;
        *state = serviceStates[name];
        return true;
    }

    bool ListProcesses(std::vector<drivora::ProcessEntry>* out) override {
        *out = processes;
        return true;
    }
    drivora::Termination TerminateProcess(std::uint32_t pid) override {
        if (goneProcesses.count(pid)) return drivora::Termination::AlreadyGone;
        log.push_back("terminate " + std::to_string(pid));
        return drivora::Termination::Ended;
    }

    std::string WindowsDirectory() override { return "C:\\WINDOWS"; }
    std::string SystemDirectory() override { return "C:\\WINDOWS\\system32"; }
    std::map<std::string, std::uint32_t> fileErrors;  // RemoveFile fails with these codes
    bool RemoveFile(const std::string& path) override {
        if (fileErrors.count(path)) {
            lastError = fileErrors[path];
            return false;
        }
        removedFiles.push_back(path);
        return true;
    }
    std::string TempDirectory() override { return "C:\\TEMP\\"; }
    bool FileSize(const std::string& path, std::uint64_t* size) override {
        if (!files.count(path)) return false;
        *size = files[path].size();
        return true;
    }
    bool ReplaceFile(const std::string& from, const std::string& to) override {
        if (!files.count(from)) return false;
        files[to] = files[from];
        files.erase(from);
        return true;
    }
    bool StartProgram(const std::string& commandLine) override {
        started.push_back(commandLine);
        return true;
    }

    std::map<std::string, std::string> files;  // appended to, by path
    std::set<std::string> unopenable;          // paths OpenAppendFile refuses
    bool sizeUnknown = false;                  // the open files cannot tell their size
    std::unique_ptr<drivora::AppendFile> OpenAppendFile(const std::string& path) override {
        if (unopenable.count(path)) return nullptr;
        return std::make_unique<File>(files[path], sizeUnknown);
    }
    drivora::LocalTime Now() override { return {2026, 12, 7, 18, 30, 1}; }

    int serviceQueries = 0;
    bool removalNeedsRestart = false;
    bool childZeroIsSuccess = false;    // what Wine's CM_Get_Child does
    std::map<std::string, drivora::ConfigResult> removalResults;  // by node ID; absent: removed
    std::set<std::uint32_t> goneProcesses;  // ended by themselves before their termination
    std::uint32_t deviceRemovalError = 0;   // device removals fail with this error
    std::set<std::string> undeletable;  // upper-cased key paths DeleteKeyTree refuses
    std::vector<std::string> removedDevices;

private:
    class File : public drivora::AppendFile {
    public:
        File(std::string& text, bool sizeUnknown) : text_(text), sizeUnknown_(sizeUnknown) {}
        bool Size(std::uint64_t* size) override {
            *size = text_.size();
            return !sizeUnknown_;
        }
        bool Append(const char* data, std::size_t size) override {
            text_.append(data, size);
            return true;
        }

    private:
        std::string& text_;
        bool sizeUnknown_;
    };

    class List : public drivora::DeviceList {
    public:
        explicit List(FakeSystem& sys) : sys_(sys) {}
        bool Get(std::uint32_t index, drivora::DeviceInfo* info) override {
            if (index >= members.size()) return false;
            const FakeDevice& d = sys_.devices[members[index]];
            *info = drivora::DeviceInfo();
            info->hasInstanceId = true;
            info->instanceId = d.instanceId;
            info->hasHardwareId = !d.hardwareId.empty();
            info->hardwareId = d.hardwareId;
            return true;
        }
        bool Remove(std::uint32_t index) override {
            sys_.lastError = sys_.deviceRemovalError;
            if (sys_.deviceRemovalError) return false;
            FakeDevice& d = sys_.devices[members.at(index)];
            d.removed = true;
            sys_.removedDevices.push_back(d.instanceId);
            return true;
        }
        drivora::ConfigResult Reenumerate(std::uint32_t index) override {
            sys_.log.push_back("reenumerate " + sys_.devices[members.at(index)].instanceId);
            return drivora::kConfigSuccess;
        }
        bool RestartNeeded() override { return sys_.removalNeedsRestart; }
        std::vector<std::size_t> members;

    private:
        FakeSystem& sys_;
    };

    static std::vector<std::string> Split(const std::string& path) {
        std::vector<std::string> parts;
        std::string cur;
        for (char c : path) {
            if (c == '\\') {
                parts.push_back(cur);
                cur.clear();
            } else {
                cur += c;
            }
        }
        parts.push_back(cur);
        return parts;
    }
    // Direct subkeys in creation-independent (sorted) order, with their spelling.
    std::vector<std::string> Children(const std::string& path) const {
        const std::string prefix = drivora::ToUpper(path) + "\\";
        std::vector<std::string> out;
        for (const auto& k : keys_) {
            if (k.first.compare(0, prefix.size(), prefix) != 0) continue;
            const std::string rest = k.first.substr(prefix.size());
            if (rest.find('\\') != std::string::npos) continue;
            out.push_back(names_.at(k.first).substr(prefix.size()));
        }
        return out;
    }

    std::map<std::string, Key> keys_;
    std::map<std::string, std::string> names_;
};

}  // namespace drivora_test
