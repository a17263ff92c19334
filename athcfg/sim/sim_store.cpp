#include "athcfg/sim/sim_store.h"

#include <windows.h>

#include <algorithm>
#include <cstring>

#include "framework/lock.h"
#include "athcfg/profile_store.h"
#include "athcfg/registry.h"
#include "athcfg/sim/sim_interface.h"

namespace athcfg::sim {

namespace {

// Under SYSTEM, which 64-bit Windows does not redirect for 32-bit programs: a 32-bit and a
// 64-bit process must find the same adapter, as both find a real driver's keys there.
const char kSimKey[] = "SYSTEM\\AthSim";
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

// Replaces the registry store with the scenario: its text and install time, each
// adapter's driver key and initial state.
bool WriteScenario(const std::string& text, const athsim::Scenario& sc,
                   const std::vector<std::unique_ptr<ACProfileList>>& lists,
                   const std::vector<athsim::AdapterState>& initial, std::string& error) {
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
        fw::RegKey k;
        if (!k.Create(HKEY_LOCAL_MACHINE, AdapterKey(index)) ||
            !k.WriteString("State", athsim::SerializeState(initial[i])) || !WriteDriverKey(path, a, *lists[i])) {
            error = "cannot create adapter " + std::to_string(i) + " in the registry";
            return false;
        }
    }
    return true;
}

// The process's view of the live state: the lock and the section, opened on first
// use and kept until the library is unloaded.
class Shared {
public:
    static Shared& Get() {
        static Shared shared;
        return shared;
    }
    ~Shared() {
        if (view) UnmapViewOfFile(view);
        if (mapping) CloseHandle(mapping);
        if (mutex) CloseHandle(mutex);
    }
    HANDLE mutex = nullptr;
    HANDLE mapping = nullptr;
    athsim::LiveSection* view = nullptr;

private:
    Shared() {
        mutex = CreateMutexA(nullptr, FALSE, athsim::kLiveLockName);
        mapping = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, sizeof(athsim::LiveSection),
                                     athsim::kLiveSectionName);
        if (mapping)
            view = static_cast<athsim::LiveSection*>(
                MapViewOfFile(mapping, FILE_MAP_ALL_ACCESS, 0, 0, sizeof(athsim::LiveSection)));
        if (!mutex || !view) DbgPrintf("athsim: cannot open the shared state (error %lu)\n", GetLastError());
    }
};

athsim::LiveSection& Live() { return *Shared::Get().view; }

bool InRange(int adapter) {
    return adapter >= 0 && static_cast<uint32_t>(adapter) < Live().header.adapters;
}

// The scenario this process parsed last, and the install it belongs to.
class ParsedScenario {
public:
    // The scenario of that install when it is the one parsed; null otherwise.
    std::shared_ptr<const athsim::Scenario> Find(uint32_t generation, int64_t epoch) {
        fw::LockHold hold(guard_);
        return scenario_ && generation_ == generation && epoch_ == epoch ? scenario_ : nullptr;
    }
    // The same, parsing the registry's text when needed: only under the lock, while
    // the registry and the section agree.
    std::shared_ptr<const athsim::Scenario> Get(uint32_t generation, int64_t epoch) {
        if (auto found = Find(generation, epoch)) return found;
        fw::RegKey k;
        if (!k.Open(HKEY_LOCAL_MACHINE, kSimKey)) return nullptr;
        auto text = k.ReadString("Scenario");
        auto parsed = std::make_shared<athsim::Scenario>();
        std::string error;
        if (!text || !athsim::ParseScenario(*text, *parsed, error)) return nullptr;
        fw::LockHold hold(guard_);
        scenario_ = parsed;
        generation_ = generation;
        epoch_ = epoch;
        return scenario_;
    }

private:
    fw::Lock guard_;
    std::shared_ptr<const athsim::Scenario> scenario_;
    uint32_t generation_ = 0;
    int64_t epoch_ = 0;
};

ParsedScenario& Parsed() {
    static ParsedScenario parsed;
    return parsed;
}

// Picks the adapter named by `device` out of a view of the live state.
bool PickAdapter(const athsim::LiveView& view, std::shared_ptr<const athsim::Scenario> sc, const std::string& device,
                 AdapterView& out) {
    if (!sc) return false;
    const int index = FindAdapter(*sc, device);
    if (index < 0 || static_cast<uint32_t>(index) >= view.header.adapters || !view.present[index] ||
        !athsim::LoadLive(view.state[index], out.st))
        return false;
    out.sc = std::move(sc);
    out.index = index;
    out.now = athsim::ClockOf(view.header, FileTimeMs());
    return true;
}

void LoadAdapter(int adapter, const athsim::AdapterSpec& a, athsim::LiveAdapter& live) {
    live = athsim::LiveAdapter();
    live.present = KeyExists(HKEY_LOCAL_MACHINE, DriverKeyPath(a.subKey)) ? 1 : 0;
    fw::RegKey k;
    if (!k.Open(HKEY_LOCAL_MACHINE, AdapterKey(adapter))) return;
    athsim::AdapterState st;
    auto text = k.ReadString("State");
    if (text && athsim::ParseState(*text, st)) athsim::StoreLive(st, live.state);
    const auto bytes = k.ReadBinary("SetLog").value_or(std::vector<uint8_t>());
    for (const athsim::RecordedSet& r : athsim::ParseLogBytes(bytes))
        athsim::AppendSet(live, r.oid, r.data, r.length);  // copies at most the 16 bytes kept
}

// Fills the live state from the registry.
void LoadFromRegistry() {
    athsim::LiveSection& live = Live();
    athsim::LiveHeader& h = live.header;
    athsim::BeginHeader(h);
    fw::RegKey k;
    if (k.Open(HKEY_LOCAL_MACHINE, kSimKey)) {
        h.generation = k.ReadDword("Generation").value_or(0);
        ReadI64(k, "Epoch", h.epoch);
        int64_t frozen;
        if (ReadI64(k, "FrozenTime", frozen) && frozen >= 0) h.frozen = frozen;
        std::shared_ptr<const athsim::Scenario> sc = h.epoch ? Parsed().Get(h.generation, h.epoch) : nullptr;
        if (sc) {
            h.scenario = 1;
            h.adapters = static_cast<uint32_t>(std::min<size_t>(sc->adapters.size(), athsim::kMaxAdapters));
            for (uint32_t i = 0; i < h.adapters; ++i)
                LoadAdapter(static_cast<int>(i), sc->adapters[i], live.adapter[i]);
        }
    }
    athsim::SealHeader(h);
}

// An adapter appears when its driver is installed (a setup writes its class subkey), not
// only through AthSimSetPresent; looked at, under the lock, only when a request finds no
// adapter present.
void NoticeInstalledDrivers(const athsim::Scenario& sc) {
    athsim::LiveSection& live = Live();
    for (uint32_t i = 0; i < live.header.adapters && i < sc.adapters.size(); ++i)
        if (!live.adapter[i].present && KeyExists(HKEY_LOCAL_MACHINE, DriverKeyPath(sc.adapters[i].subKey)))
            live.adapter[i].present = 1;
}

void SaveLog(int adapter) {
    const std::vector<uint8_t> bytes = athsim::LogBytes(athsim::SetsOf(Live().adapter[adapter]));
    fw::RegKey k;
    if (k.Create(HKEY_LOCAL_MACHINE, AdapterKey(adapter))) k.WriteBinary("SetLog", bytes.data(), bytes.size());
}

}  // namespace

StateLock::StateLock() {
    Shared& shared = Shared::Get();
    if (!shared.mutex || !shared.view) return;
    const DWORD r = WaitForSingleObject(shared.mutex, kLockWaitMs);
    held_ = r == WAIT_OBJECT_0 || r == WAIT_ABANDONED;
    if (!held_) {
        DbgPrintf("athsim: the shared state stayed locked for %lu ms\n", kLockWaitMs);
        return;
    }
    const bool torn = athsim::BeginWrite(*shared.view);
    try {
        if (torn || !athsim::ValidHeader(shared.view->header)) LoadFromRegistry();
    } catch (...) {
        // Left marked as being changed: the next holder fills it again.
        ReleaseMutex(shared.mutex);
        held_ = false;
        throw;
    }
    ready_ = true;
}

StateLock::~StateLock() {
    if (!held_) return;
    athsim::EndWrite(*Shared::Get().view);
    ReleaseMutex(Shared::Get().mutex);
}

std::shared_ptr<const athsim::Scenario> CurrentScenario() {
    const athsim::LiveHeader& h = Live().header;
    return h.scenario ? Parsed().Get(h.generation, h.epoch) : nullptr;
}

int64_t Now() { return athsim::ClockOf(Live().header, FileTimeMs()); }

bool ViewAdapter(const std::string& device, AdapterView& out) {
    Shared& shared = Shared::Get();
    if (!shared.view) return false;
    athsim::LiveView view;
    if (athsim::ReadView(*shared.view, view) && athsim::ValidHeader(view.header)) {
        if (!view.header.scenario) return false;
        if (auto sc = Parsed().Find(view.header.generation, view.header.epoch))
            if (PickAdapter(view, std::move(sc), device, out)) return true;
    }
    StateLock lock;
    if (!lock.Ready()) return false;
    std::shared_ptr<const athsim::Scenario> sc = CurrentScenario();
    if (sc) NoticeInstalledDrivers(*sc);
    athsim::CopyView(*shared.view, view);
    return PickAdapter(view, std::move(sc), device, out);
}

int64_t ClockTime() {
    StateLock lock;
    return lock.Ready() ? Now() : 0;
}

bool FreezeTime(int64_t ms) {
    StateLock lock;
    if (!lock.Ready()) return false;
    athsim::LiveHeader& h = Live().header;
    fw::RegKey k;
    if (!k.Open(HKEY_LOCAL_MACHINE, kSimKey, KEY_ALL_ACCESS)) return false;
    if (ms >= 0) {
        if (!WriteI64(k, "FrozenTime", ms)) return false;
        h.frozen = ms;
        return true;
    }
    const int64_t epoch = FileTimeMs() - Now();
    RegDeleteValueA(k.get(), "FrozenTime");
    h.frozen = -1;
    h.epoch = epoch;
    return WriteI64(k, "Epoch", epoch);
}

int FindAdapter(const athsim::Scenario& sc, const std::string& device) {
    for (size_t i = 0; i < sc.adapters.size(); ++i)
        if (NamesAdapter(sc.adapters[i], device)) return static_cast<int>(i);
    return -1;
}

bool IsPresent(int adapter) {
    if (!InRange(adapter)) return false;
    if (!Live().adapter[adapter].present)
        if (auto sc = CurrentScenario()) NoticeInstalledDrivers(*sc);
    return Live().adapter[adapter].present != 0;
}

bool LoadState(int adapter, athsim::AdapterState& st) {
    return InRange(adapter) && athsim::LoadLive(Live().adapter[adapter].state, st);
}

bool SaveState(int adapter, const athsim::AdapterState& st) {
    if (!InRange(adapter) || !athsim::StoreLive(st, Live().adapter[adapter].state)) return false;
    fw::RegKey k;
    return k.Create(HKEY_LOCAL_MACHINE, AdapterKey(adapter)) && k.WriteString("State", athsim::SerializeState(st));
}

void RecordSet(int adapter, uint32_t oid, const uint8_t* data, size_t length) {
    if (!InRange(adapter)) return;
    athsim::AppendSet(Live().adapter[adapter], oid, data, length);
    SaveLog(adapter);
}

std::vector<athsim::RecordedSet> RecordedSets(int adapter) {
    StateLock lock;
    if (!lock.Ready() || !InRange(adapter)) return {};
    return athsim::SetsOf(Live().adapter[adapter]);
}

bool ClearRecorded(int adapter) {
    StateLock lock;
    if (!lock.Ready() || !InRange(adapter)) return false;
    athsim::ClearSets(Live().adapter[adapter]);
    fw::RegKey k;
    return k.Create(HKEY_LOCAL_MACHINE, AdapterKey(adapter)) && k.WriteBinary("SetLog", nullptr, 0);
}

bool Install(const std::string& text, std::string& error) {
    athsim::Scenario sc;
    if (!athsim::ParseScenario(text, sc, error)) return false;

    // Every stored profile must fit the record, and every adapter's state the live
    // record, before anything changes.
    std::vector<std::unique_ptr<ACProfileList>> lists;
    std::vector<athsim::AdapterState> initial;
    for (size_t i = 0; i < sc.adapters.size(); ++i) {
        lists.push_back(std::make_unique<ACProfileList>());
        athsim::ActiveSettings active;
        for (const athsim::ProfileSpec& spec : sc.adapters[i].profiles) {
            ACProfile* p = new ACProfile;
            lists.back()->Add(p);
            for (const auto& [field, value] : spec.fields)
                if (!SetProfileField(*p, field, value, error)) return false;
            if (spec.Get("name") == sc.adapters[i].selected) active = SettingsOf(*p);
        }
        initial.push_back(athsim::InitialState(sc.adapters[i], active));
        athsim::LiveState probe;
        if (!athsim::StoreLive(initial.back(), probe)) {
            error = "adapter " + std::to_string(i) + ": the selected profile's name, SSID or key is longer than " +
                    std::to_string(athsim::kLiveText - 1) + " characters";
            return false;
        }
    }

    StateLock lock;
    if (!lock.Ready()) {
        error = "the simulated adapter's shared state is not available";
        return false;
    }
    for (const athsim::AdapterSpec& a : sc.adapters) {
        const std::string path = DriverKeyPath(a.subKey);
        if (KeyExists(HKEY_LOCAL_MACHINE, path) && !IsOurs(path)) {
            error = "network class subkey " + a.subKey + " belongs to another device";
            return false;
        }
    }
    const bool written = WriteScenario(text, sc, lists, initial, error);
    LoadFromRegistry();
    return written;
}

bool Clear() {
    StateLock lock;
    if (!lock.Ready()) return false;
    const bool removed = RemoveAll();
    LoadFromRegistry();
    return removed;
}

bool SetPresent(int adapter, bool present) {
    StateLock lock;
    if (!lock.Ready()) return false;
    std::shared_ptr<const athsim::Scenario> sc = CurrentScenario();
    if (!sc || adapter < 0 || static_cast<size_t>(adapter) >= sc->adapters.size()) return false;
    const std::string live = DriverKeyPath(sc->adapters[adapter].subKey), saved = SavedDriverKey(adapter);
    if (present == KeyExists(HKEY_LOCAL_MACHINE, live)) return true;
    const std::string& from = present ? saved : live;
    const std::string& to = present ? live : saved;
    const bool moved = CopyTree(HKEY_LOCAL_MACHINE, from, to) && DeleteTree(HKEY_LOCAL_MACHINE, from);
    Live().adapter[adapter].present = KeyExists(HKEY_LOCAL_MACHINE, live) ? 1 : 0;
    if (!moved) return false;
    athsim::AdapterState st;
    if (LoadState(adapter, st)) {
        athsim::ApplyPresence(*sc, st, Now());
        SaveState(adapter, st);
    }
    return true;
}

}  // namespace athcfg::sim
