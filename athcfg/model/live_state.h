// The simulated adapter's live state as every process maps it from one named
// shared memory section: fixed-size fields only, so 32-bit and 64-bit builds
// agree on every offset. A header says which layout and which installed
// scenario the contents belong to; each adapter keeps its changing state, its
// presence and the ring of sets its driver received. Writers hold the named lock
// and keep the sequence number odd while they change anything; a query copies
// what it needs without the lock and keeps the copy when the number was even and
// unchanged around it. The contents come from other processes, so reading them
// checks every count and text. UI-free.
#pragma once
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "athcfg/model/scenario.h"
#include "athcfg/model/sim_model.h"

namespace athsim {

constexpr uint32_t kLiveMagic = 0x4D495341;  // "ASIM"
constexpr uint32_t kLiveLayout = 1;
// The section's name carries the layout number: builds of another layout never share it.
constexpr char kLiveSectionName[] = "AthSimLiveState1";
constexpr char kLiveLockName[] = "AthSimStateLock";
// Room for a profile name, SSID or key with its terminating NUL.
constexpr size_t kLiveText = 256;

constexpr size_t kSetLogData = 16;
constexpr size_t kSetLogEntries = 256;
struct RecordedSet {
    uint32_t oid;
    uint32_t length;  // the set's full length; at most kSetLogData bytes are kept
    uint8_t data[kSetLogData];
};

// AdapterState in fixed-size fields.
struct LiveState {
    int64_t activeSince;
    int64_t scanStart;
    uint64_t txBytes, rxBytes;
    uint32_t txPackets, rxPackets;
    uint32_t txRate;
    uint32_t stateValid;  // 0: the stored state could not be read; the adapter does not answer
    uint32_t radioOff;
    uint32_t activeValid;
    uint32_t adhoc;
    uint32_t security;  // ProfileSecurity
    int32_t authMode;
    uint32_t padding;  // the same offsets in every build
    char profileName[kLiveText];
    char ssid[kLiveText];
    char key[kLiveText];
};

struct LiveAdapter {
    LiveState state;
    uint32_t present;   // its network class subkey exists
    uint32_t logCount;  // entries in use, oldest at (logNext - logCount) around the ring
    uint32_t logNext;   // where the next set goes
    uint32_t padding;
    RecordedSet log[kSetLogEntries];
};

struct LiveHeader {
    uint32_t magic;  // written last when the contents are complete
    uint32_t layout;
    uint32_t size;
    uint32_t generation;  // the registry's install number the contents belong to
    uint32_t scenario;    // 1 while a scenario is installed
    uint32_t adapters;    // adapter records in use
    int64_t epoch;        // wall-clock milliseconds at install
    int64_t frozen;       // the frozen clock in milliseconds, -1 while it runs
};

struct LiveSection {
    std::atomic<uint32_t> sequence;  // odd while a writer changes the contents
    uint32_t padding;
    LiveHeader header;
    LiveAdapter adapter[kMaxAdapters];
};

// What a query reads: the header and each adapter's state and presence.
struct LiveView {
    LiveHeader header;
    LiveState state[kMaxAdapters];
    uint32_t present[kMaxAdapters];
};

// For a writer holding the lock: marks the contents as being changed. True when
// they already were, so the previous writer died in the middle of a change.
bool BeginWrite(LiveSection& s);
void EndWrite(LiveSection& s);
// Copies the view without the lock; false when a writer was busy on every try.
bool ReadView(const LiveSection& s, LiveView& out);
// Copies the view; for a holder of the lock.
void CopyView(const LiveSection& s, LiveView& out);
// The simulated clock of a header: milliseconds since install, or the frozen time.
int64_t ClockOf(const LiveHeader& h, int64_t wallMs);

// The header describes complete contents of this layout.
bool ValidHeader(const LiveHeader& h);
// Starts a header for contents being written; ValidHeader is false until SealHeader.
void BeginHeader(LiveHeader& h);
void SealHeader(LiveHeader& h);

// Writes the state into the record; false, with the record unchanged, when a text does not fit.
bool StoreLive(const AdapterState& s, LiveState& out);
// Reads the state back; false when the record holds no valid state.
bool LoadLive(const LiveState& in, AdapterState& s);

// Appends a set (its full length, at most kSetLogData of its bytes), dropping the
// oldest one when the ring is full.
void AppendSet(LiveAdapter& a, uint32_t oid, const uint8_t* data, size_t length);
// The recorded sets, oldest first.
std::vector<RecordedSet> SetsOf(const LiveAdapter& a);
void ClearSets(LiveAdapter& a);

// The log as stored in the registry: 24 bytes per set (OID, length, 16 data bytes), oldest first.
std::vector<uint8_t> LogBytes(const std::vector<RecordedSet>& log);
std::vector<RecordedSet> ParseLogBytes(const std::vector<uint8_t>& bytes);

}  // namespace athsim
