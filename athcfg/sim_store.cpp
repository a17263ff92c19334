#include "sim_store.h"

#include <windows.h>

#include <cstring>
#include <mutex>

#include "profile_store.h"
#include "registry.h"
#include "sim_interface.h"

namespace athcfg::sim {

namespace {

const char kSimKey[] = "SOFTWARE\\AthSim";
const char kComponentId[] = "pci\\ven_168c&dev_0013";
const DWORD kLockWaitMs = 5000;

std::string AdapterKey(int adapter) { return std::string(kSimKey) + "\\Adapter" + std::to_string(adapter); }
std::string SavedDriverKey(int adapter) { return AdapterKey(adapter) + "\\Driver"; }

int64_t FileTimeMs() {
    FILETIME ft;
    GetSystemTimeAsFileTime(&ft);
    return static_cast<int64_t>((static_cast<uint64_t>(ft.dwHighDateTime) << 32 | ft.dwLowDateTime) / 10000);
}

bool ReadI64(const fw::RegKey& k, const char* name, int64_t& out) {
    auto bytes = k.ReadBinary(name, sizeof out);
    if (!bytes || bytes->size() != sizeof out) return false;
    std::memcpy(&out, bytes->data(), sizeof out);
    return true;
}

bool WriteI64(fw::RegKey& k, const char* name, int64_t value) { return k.WriteBinary(name, &value, sizeof value); }

bool IsOurs(const std::string& driverKey) {
    fw::RegKey k;
    if (!k.Open(HKEY_LOCAL_MACHINE, driverKey)) return false;
    std::string id = k.ReadString("ComponentId").value_or("");
    for (char& c : id) c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
    return id.find("ven_168c") != std::string::npos;
}

// Builds a driver key at `path` under HKLM: the values enumeration reads and the stored profiles.
bool WriteDriverKey(const std::string& path, const athsim::AdapterSpec& a, const ACProfileList& profiles) {
    fw::RegKey k;
    if (!k.Create(HKEY_LOCAL_MACHINE, path) || !k.WriteString("ComponentId", kComponentId) ||
        !k.WriteString("MatchingDeviceId", kComponentId) || !k.WriteString("NetCfgInstanceId", a.guid) ||
        !k.WriteString("DriverDesc", a.description) || !k.WriteString("radioEnable", a.radioOff ? "0" : "1"))
        return false;
    k.Close();
    return athcfg::WriteProfiles(path, profiles, a.selected);
}

bool RemoveOurAdapters() {
    fw::RegKey cls;
    if (!cls.Open(HKEY_LOCAL_MACHINE, kNetClassKey)) return true;
    bool ok = true;
    for (const std::string& sub : cls.SubKeys()) {
        const std::string path = DriverKeyPath(sub);
        if (IsOurs(path)) ok = DeleteTree(HKEY_LOCAL_MACHINE, path) && ok;
    }
    return ok;
}

// Removes the simulated adapters and the state; the install number only grows,
// so no process mistakes a new scenario for the one it has parsed.
bool RemoveAll() {
    DWORD generation = 0;
    {
        fw::RegKey old;
        if (old.Open(HKEY_LOCAL_MACHINE, kSimKey)) generation = old.ReadDword("Generation").value_or(0);
    }
    fw::RegKey top;
    return RemoveOurAdapters() && DeleteTree(HKEY_LOCAL_MACHINE, kSimKey) && top.Create(HKEY_LOCAL_MACHINE, kSimKey) &&
           top.WriteDword("Generation", generation + 1);
}

std::vector<uint8_t> SerializeLog(const std::vector<RecordedSet>& log) {
    std::vector<uint8_t> bytes(log.size() * 24);
    for (size_t i = 0; i < log.size(); ++i) {
        athsim::PutU32(&bytes[i * 24], log[i].oid);
        athsim::PutU32(&bytes[i * 24 + 4], log[i].length);
        std::memcpy(&bytes[i * 24 + 8], log[i].data, kSetLogData);
    }
    return bytes;
}

}  // namespace

StateLock::StateLock() : mutex_(CreateMutexA(nullptr, FALSE, "AthSimStateLock")), held_(false) {
    if (mutex_) {
        const DWORD r = WaitForSingleObject(mutex_, kLockWaitMs);
        held_ = r == WAIT_OBJECT_0 || r == WAIT_ABANDONED;
    }
}

StateLock::~StateLock() {
    if (held_) ReleaseMutex(mutex_);
    if (mutex_) CloseHandle(mutex_);
}

std::shared_ptr<const athsim::Scenario> CurrentScenario() {
    static std::mutex guard;
    static std::shared_ptr<const athsim::Scenario> cached;
    static DWORD cached_generation = 0;
    static int64_t cached_epoch = 0;

    fw::RegKey k;
    int64_t epoch = 0;
    if (!k.Open(HKEY_LOCAL_MACHINE, kSimKey) || !ReadI64(k, "Epoch", epoch)) return nullptr;
    auto generation = k.ReadDword("Generation");
    if (!generation) return nullptr;
    std::lock_guard<std::mutex> hold(guard);
    if (cached && cached_generation == *generation && cached_epoch == epoch) return cached;
    std::string error;
    auto parsed = std::make_shared<athsim::Scenario>();
    auto text = k.ReadString("Scenario");
    if (!text || !athsim::ParseScenario(*text, *parsed, error)) return nullptr;
    cached = parsed;
    cached_generation = *generation;
    cached_epoch = epoch;
    return cached;
}

int64_t Now() {
    fw::RegKey k;
    int64_t value = 0;
    if (!k.Open(HKEY_LOCAL_MACHINE, kSimKey)) return 0;
    if (ReadI64(k, "FrozenTime", value)) return value;
    if (!ReadI64(k, "Epoch", value)) return 0;
    return FileTimeMs() - value;
}

bool FreezeTime(int64_t ms) {
    StateLock lock;
    const int64_t now = Now();
    fw::RegKey k;
    if (!k.Open(HKEY_LOCAL_MACHINE, kSimKey, KEY_ALL_ACCESS)) return false;
    if (ms >= 0) return WriteI64(k, "FrozenTime", ms);
    RegDeleteValueA(k.get(), "FrozenTime");
    return WriteI64(k, "Epoch", FileTimeMs() - now);
}

int FindAdapter(const athsim::Scenario& sc, const std::string& device) {
    for (size_t i = 0; i < sc.adapters.size(); ++i)
        if (NamesAdapter(sc.adapters[i], device)) return static_cast<int>(i);
    return -1;
}

bool IsPresent(const athsim::AdapterSpec& a) { return KeyExists(HKEY_LOCAL_MACHINE, DriverKeyPath(a.subKey)); }

bool LoadState(int adapter, athsim::AdapterState& st) {
    fw::RegKey k;
    if (!k.Open(HKEY_LOCAL_MACHINE, AdapterKey(adapter))) return false;
    auto text = k.ReadString("State");
    return text && athsim::ParseState(*text, st);
}

bool SaveState(int adapter, const athsim::AdapterState& st) {
    fw::RegKey k;
    return k.Create(HKEY_LOCAL_MACHINE, AdapterKey(adapter)) && k.WriteString("State", athsim::SerializeState(st));
}

std::vector<RecordedSet> RecordedSets(int adapter) {
    std::vector<RecordedSet> log;
    fw::RegKey k;
    if (!k.Open(HKEY_LOCAL_MACHINE, AdapterKey(adapter))) return log;
    const std::vector<uint8_t> bytes = k.ReadBinary("SetLog").value_or(std::vector<uint8_t>());
    for (size_t at = 0; at + 24 <= bytes.size(); at += 24) {
        RecordedSet r;
        r.oid = athsim::ReadU32(&bytes[at]);
        r.length = athsim::ReadU32(&bytes[at + 4]);
        std::memcpy(r.data, &bytes[at + 8], kSetLogData);
        log.push_back(r);
    }
    return log;
}

void RecordSet(int adapter, uint32_t oid, const uint8_t* data, size_t length) {
    std::vector<RecordedSet> log = RecordedSets(adapter);
    RecordedSet r;
    r.oid = oid;
    r.length = static_cast<uint32_t>(length);
    if (data) std::memcpy(r.data, data, std::min(length, kSetLogData));
    log.push_back(r);
    if (log.size() > kSetLogEntries) log.erase(log.begin(), log.end() - kSetLogEntries);
    const std::vector<uint8_t> bytes = SerializeLog(log);
    fw::RegKey k;
    if (k.Create(HKEY_LOCAL_MACHINE, AdapterKey(adapter))) k.WriteBinary("SetLog", bytes.data(), bytes.size());
}

bool ClearRecorded(int adapter) {
    StateLock lock;
    fw::RegKey k;
    return k.Create(HKEY_LOCAL_MACHINE, AdapterKey(adapter)) && k.WriteBinary("SetLog", nullptr, 0);
}

bool Install(const std::string& text, std::string& error) {
    athsim::Scenario sc;
    if (!athsim::ParseScenario(text, sc, error)) return false;

    // Every stored profile must fit the record before anything changes.
    std::vector<std::unique_ptr<ACProfileList>> lists;
    std::vector<athsim::ActiveSettings> active(sc.adapters.size());
    for (size_t i = 0; i < sc.adapters.size(); ++i) {
        lists.push_back(std::make_unique<ACProfileList>());
        for (const athsim::ProfileSpec& spec : sc.adapters[i].profiles) {
            ACProfile* p = new ACProfile;
            lists.back()->Add(p);
            for (const auto& [field, value] : spec.fields)
                if (!SetProfileField(*p, field, value, error)) return false;
            if (spec.Get("name") == sc.adapters[i].selected) active[i] = SettingsOf(*p);
        }
    }

    StateLock lock;
    for (const athsim::AdapterSpec& a : sc.adapters) {
        const std::string path = DriverKeyPath(a.subKey);
        if (KeyExists(HKEY_LOCAL_MACHINE, path) && !IsOurs(path)) {
            error = "network class subkey " + a.subKey + " belongs to another device";
            return false;
        }
    }
    if (!RemoveAll()) {
        error = "cannot remove the previous scenario";
        return false;
    }
    fw::RegKey top;
    if (!top.Open(HKEY_LOCAL_MACHINE, kSimKey, KEY_ALL_ACCESS) || !top.WriteString("Scenario", text) ||
        !WriteI64(top, "Epoch", FileTimeMs())) {
        error = "cannot write the scenario to the registry";
        return false;
    }
    for (size_t i = 0; i < sc.adapters.size(); ++i) {
        const athsim::AdapterSpec& a = sc.adapters[i];
        const int index = static_cast<int>(i);
        const std::string path = a.present ? DriverKeyPath(a.subKey) : SavedDriverKey(index);
        if (!SaveState(index, athsim::InitialState(a, active[i])) || !WriteDriverKey(path, a, *lists[i])) {
            error = "cannot create adapter " + std::to_string(i) + " in the registry";
            return false;
        }
    }
    return true;
}

bool Clear() {
    StateLock lock;
    return RemoveAll();
}

bool SetPresent(int adapter, bool present) {
    std::shared_ptr<const athsim::Scenario> sc = CurrentScenario();
    if (!sc || adapter < 0 || static_cast<size_t>(adapter) >= sc->adapters.size()) return false;
    const athsim::AdapterSpec& a = sc->adapters[adapter];
    const std::string live = DriverKeyPath(a.subKey), saved = SavedDriverKey(adapter);
    StateLock lock;
    if (present == IsPresent(a)) return true;
    const std::string& from = present ? saved : live;
    const std::string& to = present ? live : saved;
    if (!CopyTree(HKEY_LOCAL_MACHINE, from, to) || !DeleteTree(HKEY_LOCAL_MACHINE, from)) return false;
    athsim::AdapterState st;
    if (LoadState(adapter, st)) {
        athsim::ApplyPresence(*sc, st, Now());
        SaveState(adapter, st);
    }
    return true;
}

}  // namespace athcfg::sim
