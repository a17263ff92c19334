#include "athcfg/model/live_state.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "athcfg/model/records.h"

namespace athsim {

static_assert(sizeof(RecordedSet) == 24, "a recorded set is 24 bytes");
static_assert(sizeof(LiveAdapter) == 7000, "the adapter record has one size in every build");
static_assert(offsetof(LiveState, profileName) == 72 && sizeof(LiveState) == 840 && offsetof(LiveAdapter, log) == 856,
              "the adapter record has one layout in every build");
static_assert(sizeof(LiveHeader) == 40, "the header has one size in every build");
static_assert(std::atomic<uint32_t>::is_always_lock_free && sizeof(std::atomic<uint32_t>) == 4,
              "the sequence number works between processes");
static_assert(offsetof(LiveSection, header) == 8 && sizeof(LiveSection) == 48 + kMaxAdapters * sizeof(LiveAdapter),
              "no padding between records");

namespace {
// A writer holds the contents for microseconds; one that is still busy after these
// tries is waited for on the lock.
constexpr int kReadTries = 100;
}  // namespace

namespace {

bool PutText(const std::string& text, char (&field)[kLiveText]) {
    if (text.size() >= kLiveText || text.find('\0') != std::string::npos) return false;
    std::memset(field, 0, kLiveText);
    std::memcpy(field, text.data(), text.size());
    return true;
}

bool GetText(const char (&field)[kLiveText], std::string& out) {
    const char* end = static_cast<const char*>(std::memchr(field, 0, kLiveText));
    if (!end) return false;
    out.assign(field, end);
    return true;
}

}  // namespace

bool ValidHeader(const LiveHeader& h) {
    return h.magic == kLiveMagic && h.layout == kLiveLayout && h.size == sizeof(LiveSection) &&
           h.adapters <= static_cast<uint32_t>(kMaxAdapters);
}

void BeginHeader(LiveHeader& h) {
    h = LiveHeader();
    h.layout = kLiveLayout;
    h.size = sizeof(LiveSection);
    h.frozen = -1;
}

void SealHeader(LiveHeader& h) { h.magic = kLiveMagic; }

bool StoreLive(const AdapterState& s, LiveState& out) {
    LiveState a = {};
    const ActiveSettings& act = s.active;
    if (!PutText(act.profileName, a.profileName) || !PutText(act.ssid, a.ssid) || !PutText(act.key, a.key))
        return false;
    a.activeSince = s.activeSince;
    a.scanStart = s.scanStart;
    a.txBytes = s.txBytes;
    a.rxBytes = s.rxBytes;
    a.txPackets = s.txPackets;
    a.rxPackets = s.rxPackets;
    a.txRate = s.txRate;
    a.stateValid = 1;
    a.radioOff = s.radioOff ? 1 : 0;
    a.activeValid = act.valid ? 1 : 0;
    a.adhoc = act.adhoc ? 1 : 0;
    a.security = static_cast<uint32_t>(act.security);
    a.authMode = act.authMode;
    out = a;
    return true;
}

bool LoadLive(const LiveState& in, AdapterState& out) {
    if (in.stateValid != 1 || in.security > static_cast<uint32_t>(ProfileSecurity::WpaEap)) return false;
    AdapterState s;
    ActiveSettings& act = s.active;
    if (!GetText(in.profileName, act.profileName) || !GetText(in.ssid, act.ssid) || !GetText(in.key, act.key))
        return false;
    s.radioOff = in.radioOff != 0;
    s.activeSince = in.activeSince;
    s.scanStart = in.scanStart;
    s.txRate = in.txRate;
    s.txBytes = in.txBytes;
    s.rxBytes = in.rxBytes;
    s.txPackets = in.txPackets;
    s.rxPackets = in.rxPackets;
    act.valid = in.activeValid != 0;
    act.adhoc = in.adhoc != 0;
    act.security = static_cast<ProfileSecurity>(in.security);
    act.authMode = in.authMode;
    out = s;
    return true;
}

void AppendSet(LiveAdapter& a, uint32_t oid, const uint8_t* data, size_t length) {
    const uint32_t at = a.logNext % kSetLogEntries;
    RecordedSet r = {};
    r.oid = oid;
    r.length = static_cast<uint32_t>(std::min<size_t>(length, UINT32_MAX));
    if (data) std::memcpy(r.data, data, std::min(length, kSetLogData));
    a.log[at] = r;
    a.logNext = (at + 1) % kSetLogEntries;
    a.logCount = std::min<uint32_t>(a.logCount, kSetLogEntries - 1) + 1;
}

std::vector<RecordedSet> SetsOf(const LiveAdapter& a) {
    const size_t count = std::min<size_t>(a.logCount, kSetLogEntries);
    const size_t next = a.logNext % kSetLogEntries;
    std::vector<RecordedSet> log;
    log.reserve(count);
    for (size_t i = 0; i < count; ++i) log.push_back(a.log[(next + kSetLogEntries - count + i) % kSetLogEntries]);
    return log;
}

bool BeginWrite(LiveSection& s) {
    const uint32_t seq = s.sequence.load(std::memory_order_relaxed);
    if (seq & 1) return true;
    s.sequence.store(seq + 1, std::memory_order_relaxed);
    std::atomic_thread_fence(std::memory_order_release);
    return false;
}

void EndWrite(LiveSection& s) { s.sequence.fetch_add(1, std::memory_order_release); }

void CopyView(const LiveSection& s, LiveView& out) {
    out.header = s.header;
    for (int i = 0; i < kMaxAdapters; ++i) {
        out.state[i] = s.adapter[i].state;
        out.present[i] = s.adapter[i].present;
    }
}

bool ReadView(const LiveSection& s, LiveView& out) {
    for (int i = 0; i < kReadTries; ++i) {
        const uint32_t before = s.sequence.load(std::memory_order_acquire);
        if (before & 1) continue;
        CopyView(s, out);
        std::atomic_thread_fence(std::memory_order_acquire);
        if (s.sequence.load(std::memory_order_relaxed) == before) return true;
    }
    return false;
}

int64_t ClockOf(const LiveHeader& h, int64_t wallMs) {
    if (h.frozen >= 0) return h.frozen;
    return h.epoch ? wallMs - h.epoch : 0;
}

void ClearSets(LiveAdapter& a) {
    a.logCount = 0;
    a.logNext = 0;
}

std::vector<uint8_t> LogBytes(const std::vector<RecordedSet>& log) {
    std::vector<uint8_t> bytes(log.size() * sizeof(RecordedSet));
    for (size_t i = 0; i < log.size(); ++i) {
        PutU32(&bytes[i * 24], log[i].oid);
        PutU32(&bytes[i * 24 + 4], log[i].length);
        std::memcpy(&bytes[i * 24 + 8], log[i].data, kSetLogData);
    }
    return bytes;
}

std::vector<RecordedSet> ParseLogBytes(const std::vector<uint8_t>& bytes) {
    std::vector<RecordedSet> log;
    for (size_t at = 0; at + 24 <= bytes.size(); at += 24) {
        RecordedSet r = {};
        r.oid = ReadU32(&bytes[at]);
        r.length = ReadU32(&bytes[at + 4]);
        std::memcpy(r.data, &bytes[at + 8], kSetLogData);
        log.push_back(r);
    }
    return log;
}

}  // namespace athsim
