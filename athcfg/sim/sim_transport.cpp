// The simulated adapter as the library's driver transport.
#include "athcfg/sim/sim_interface.h"
#include "athcfg/sim/sim_store.h"
#include "athcfg/transport.h"

#include "athcfg/sim/athsim.h"

namespace athcfg {

namespace {

// The adapter a set names, held under the lock for the request: it exists in
// the scenario, is present, and its state was read.
struct Reached {
    explicit Reached(const std::string& device) {
        if (!lock.Ready() || !(sc = sim::CurrentScenario())) return;
        index = sim::FindAdapter(*sc, device);
        ok = index >= 0 && sim::IsPresent(index) && sim::LoadState(index, st);
    }
    sim::StateLock lock;
    std::shared_ptr<const athsim::Scenario> sc;
    int index = -1;
    athsim::AdapterState st;
    bool ok = false;
};

class SimTransport : public DriverTransport {
public:
    bool Query(const std::string& device, uint32_t oid, std::vector<uint8_t>& answer) override {
        sim::AdapterView v;
        if (!sim::ViewAdapter(device, v)) return false;
        const athsim::AdapterSpec& a = v.sc->adapters[v.index];
        if (oid == athsim::kOidCurrentAddress) {
            answer = sim::MacAddressOf(a, v.index);
            return true;
        }
        return athsim::QueryAnswer(*v.sc, a, v.st, v.now, oid, answer);
    }

    int Set(const std::string& device, uint32_t oid, const uint8_t* data, size_t length) override {
        Reached r(device);
        if (!r.ok) return -1;
        sim::RecordSet(r.index, oid, data, length);
        const int taken = athsim::ApplySet(*r.sc, r.st, sim::Now(), oid, data, length);
        if (taken >= 0) sim::SaveState(r.index, r.st);
        return taken;
    }

    bool Activate(const std::string& device, const athsim::ActiveSettings& settings) override {
        Reached r(device);
        if (!r.ok) return false;
        athsim::ApplyActivation(*r.sc, r.st, sim::Now(), settings);
        if (!sim::SaveState(r.index, r.st)) return false;  // a text too long for the driver
        sim::RecordSet(r.index, kAthSimActivation, reinterpret_cast<const uint8_t*>(settings.profileName.data()),
                       settings.profileName.size());
        return true;
    }

    void ClearCache(const std::string& device, const std::string& profileName) override {
        Reached r(device);
        if (!r.ok) return;
        athsim::ApplyClearCache(*r.sc, r.st, sim::Now(), profileName);
        sim::SaveState(r.index, r.st);
    }
};

}  // namespace

DriverTransport& Transport() {
    static SimTransport simulated;
    return simulated;
}

}  // namespace athcfg
