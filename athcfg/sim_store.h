// The simulated adapter's shared state in the registry, so that every process
// sees one adapter: HKLM "SOFTWARE\AthSim" holds the scenario text ("Scenario"),
// its install number ("Generation"), the install time ("Epoch") and an optional
// frozen clock ("FrozenTime"); subkey "Adapter<i>" holds the adapter's state
// text ("State"), its recorded sets ("SetLog") and, while the adapter is absent,
// its saved driver key ("Driver"). Win32 glue.
#pragma once
#include <cstdint>
#include <memory>
#include <vector>
#include <string>

#include "scenario.h"
#include "sim_model.h"

namespace athcfg::sim {

// The installed scenario, parsed once per install; null when none is installed.
std::shared_ptr<const athsim::Scenario> CurrentScenario();
// Milliseconds since the scenario was installed (or the frozen time).
int64_t Now();
bool FreezeTime(int64_t ms);

// Serialises changes to the shared state between processes.
class StateLock {
public:
    StateLock();
    ~StateLock();
    StateLock(const StateLock&) = delete;
    StateLock& operator=(const StateLock&) = delete;

private:
    void* mutex_;
    bool held_;
};

// Index of the adapter whose device name ("\DEVICE\{GUID}", or its tied interface's) is
// `device`; -1 when none.
int FindAdapter(const athsim::Scenario& sc, const std::string& device);
bool IsPresent(const athsim::AdapterSpec& a);
bool LoadState(int adapter, athsim::AdapterState& st);
bool SaveState(int adapter, const athsim::AdapterState& st);

constexpr size_t kSetLogData = 16;
constexpr size_t kSetLogEntries = 256;
struct RecordedSet {
    uint32_t oid = 0;
    uint32_t length = 0;
    uint8_t data[kSetLogData] = {};
};
void RecordSet(int adapter, uint32_t oid, const uint8_t* data, size_t length);
std::vector<RecordedSet> RecordedSets(int adapter);
bool ClearRecorded(int adapter);

bool Install(const std::string& text, std::string& error);
bool Clear();
bool SetPresent(int adapter, bool present);

}  // namespace athcfg::sim
