// The simulated adapter's shared state, so that every process sees one adapter.
//
// The registry is the durable store: HKLM "SYSTEM\AthSim" holds the scenario
// text ("Scenario"), its install number ("Generation", bumped by every install
// and clear), the install time ("Epoch") and an optional frozen clock
// ("FrozenTime"); subkey "Adapter<i>" holds the adapter's state text ("State"),
// its recorded sets ("SetLog") and, while the adapter is absent, its saved driver
// key ("Driver").
//
// Requests are answered from the live state (live_state.h) in a named shared
// memory section that every process using the library maps; a query reads it
// without the lock, so it costs no call into the system. A section lives only
// while some process has it open, so:
// - the first process to take the lock on a new section (its header not yet
//   sealed), or on one a writer left half-changed, fills it from the registry;
// - every change goes to the section and to the registry together, under the
//   lock, so an open section is never behind the registry;
// - install and clear rewrite the registry and then refill the section from it;
// - each process parses the scenario text again, under the lock, when the
//   section's install number (or install time) differs from the one it parsed.
// An adapter is present while its network class subkey exists: read from the
// registry when the section is filled, and changed with it by SetPresent. Win32 glue.
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "athcfg/model/live_state.h"
#include "athcfg/model/scenario.h"
#include "athcfg/model/sim_model.h"

namespace athcfg::sim {

// Holds the cross-process lock on the shared state for its lifetime (the wait is
// bounded) and makes sure the live state is mapped and filled. Queries that read
// without the lock meanwhile wait for it instead.
class StateLock {
public:
    StateLock();
    ~StateLock();
    StateLock(const StateLock&) = delete;
    StateLock& operator=(const StateLock&) = delete;
    // False when the lock or the section could not be had; touch nothing then.
    bool Ready() const { return ready_; }

private:
    bool held_ = false;
    bool ready_ = false;
};

// These need a ready StateLock.
// The installed scenario, parsed once per install; null when none is installed.
std::shared_ptr<const athsim::Scenario> CurrentScenario();
// Milliseconds since the scenario was installed (or the frozen time).
int64_t Now();
// Index of the adapter whose device name ("\DEVICE\{GUID}", or its tied interface's) is
// `device`; -1 when none.
int FindAdapter(const athsim::Scenario& sc, const std::string& device);
// Under the lock. An adapter absent in the live state counts as present once its driver key
// exists, as after a setup installed its driver.
bool IsPresent(int adapter);
bool LoadState(int adapter, athsim::AdapterState& st);
// False, with nothing changed, when the adapter does not exist or a text of the
// state is too long for the live record.
bool SaveState(int adapter, const athsim::AdapterState& st);
void RecordSet(int adapter, uint32_t oid, const uint8_t* data, size_t length);

// One adapter as a query sees it.
struct AdapterView {
    std::shared_ptr<const athsim::Scenario> sc;
    int index = -1;
    athsim::AdapterState st;
    int64_t now = 0;
};
// Reads the adapter named by `device`, without the lock unless a writer is busy
// or the scenario is new to this process; false when the adapter is unknown,
// absent or its state unreadable.
bool ViewAdapter(const std::string& device, AdapterView& out);

// These take the lock themselves.
bool FreezeTime(int64_t ms);
int64_t ClockTime();
std::vector<athsim::RecordedSet> RecordedSets(int adapter);
bool ClearRecorded(int adapter);
bool Install(const std::string& text, std::string& error);
bool Clear();
bool SetPresent(int adapter, bool present);

}  // namespace athcfg::sim
