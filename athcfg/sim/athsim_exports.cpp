// Exported control of the simulated adapter.
#include <algorithm>
#include <cstring>

#include "athcfg/sim/athsim.h"
#include "athcfg/profile_store.h"
#include "athcfg/sim/sim_store.h"

namespace {

void CopyError(const std::string& text, char* error, int errorSize) {
    if (!error || errorSize <= 0) return;
    const size_t n = std::min(text.size(), static_cast<size_t>(errorSize - 1));
    std::memcpy(error, text.data(), n);
    error[n] = 0;
}

}  // namespace

extern "C" {

int AthSimInstallScenario(const char* text, char* error, int errorSize) {
    CopyError("", error, errorSize);
    if (!text) return 0;
    try {
        std::string what;
        if (athcfg::sim::Install(text, what)) return 1;
        CopyError(what, error, errorSize);
        DbgPrintf("athsim: scenario not installed: %s\n", what.c_str());
    } catch (...) {
        CopyError("out of memory", error, errorSize);
    }
    return 0;
}

int AthSimClear() {
    try {
        return athcfg::sim::Clear() ? 1 : 0;
    } catch (...) {
        return 0;
    }
}

int AthSimSetPresent(int adapter, int present) {
    try {
        return athcfg::sim::SetPresent(adapter, present != 0) ? 1 : 0;
    } catch (...) {
        return 0;
    }
}

int AthSimSetTime(long long ms) {
    try {
        return athcfg::sim::FreezeTime(ms) ? 1 : 0;
    } catch (...) {
        return 0;
    }
}

long long AthSimGetTime() {
    try {
        return athcfg::sim::ClockTime();
    } catch (...) {
        return 0;
    }
}

int AthSimRecordedCount(int adapter) {
    try {
        return static_cast<int>(athcfg::sim::RecordedSets(adapter).size());
    } catch (...) {
        return 0;
    }
}

int AthSimRecordedSet(int adapter, int index, DWORD* oid, void* data, DWORD dataSize, DWORD* length) {
    try {
        const std::vector<athsim::RecordedSet> log = athcfg::sim::RecordedSets(adapter);
        if (index < 0 || static_cast<size_t>(index) >= log.size()) return 0;
        const athsim::RecordedSet& r = log[index];
        if (oid) *oid = r.oid;
        if (length) *length = r.length;
        if (data) std::memcpy(data, r.data, std::min(std::min<size_t>(dataSize, r.length), athsim::kSetLogData));
        return 1;
    } catch (...) {
        return 0;
    }
}

int AthSimLastRecordedValue(int adapter, DWORD oid, DWORD* value) {
    try {
        const std::vector<athsim::RecordedSet> log = athcfg::sim::RecordedSets(adapter);
        for (auto r = log.rbegin(); r != log.rend(); ++r) {
            if (r->oid != oid || r->length < 4) continue;
            if (value) *value = athsim::ReadU32(r->data);
            return 1;
        }
        return 0;
    } catch (...) {
        return 0;
    }
}

int AthSimFailProfileWrites(int count) {
    athcfg::FailNextWrites(count);
    return 1;
}

int AthSimClearRecorded(int adapter) {
    try {
        return athcfg::sim::ClearRecorded(adapter) ? 1 : 0;
    } catch (...) {
        return 0;
    }
}

}  // extern "C"
