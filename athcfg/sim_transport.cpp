// The simulated adapter as the library's driver transport.
#include "sim_store.h"
#include "transport.h"

#include "athsim.h"

namespace athcfg {

namespace {

class SimTransport : public DriverTransport {
public:
    bool Query(const std::string& device, uint32_t oid, std::vector<uint8_t>& answer) override {
        std::shared_ptr<const athsim::Scenario> sc = sim::CurrentScenario();
        int index;
        athsim::AdapterState st;
        if (!Reach(sc, device, index) || !sim::LoadState(index, st)) return false;
        return athsim::QueryAnswer(*sc, sc->adapters[index], st, sim::Now(), oid, answer);
    }

    int Set(const std::string& device, uint32_t oid, const uint8_t* data, size_t length) override {
        std::shared_ptr<const athsim::Scenario> sc = sim::CurrentScenario();
        sim::StateLock lock;
        int index;
        athsim::AdapterState st;
        if (!Reach(sc, device, index) || !sim::LoadState(index, st)) return -1;
        sim::RecordSet(index, oid, data, length);
        const int taken = athsim::ApplySet(*sc, st, sim::Now(), oid, data, length);
        if (taken >= 0) sim::SaveState(index, st);
        return taken;
    }

    bool Activate(const std::string& device, const athsim::ActiveSettings& settings) override {
        std::shared_ptr<const athsim::Scenario> sc = sim::CurrentScenario();
        sim::StateLock lock;
        int index;
        athsim::AdapterState st;
        if (!Reach(sc, device, index) || !sim::LoadState(index, st)) return false;
        sim::RecordSet(index, kAthSimActivation,
                       reinterpret_cast<const uint8_t*>(settings.profileName.data()),
                       settings.profileName.size());
        athsim::ApplyActivation(*sc, st, sim::Now(), settings);
        return sim::SaveState(index, st);
    }

    void ClearCache(const std::string& device, const std::string& profileName) override {
        std::shared_ptr<const athsim::Scenario> sc = sim::CurrentScenario();
        sim::StateLock lock;
        int index;
        athsim::AdapterState st;
        if (!Reach(sc, device, index) || !sim::LoadState(index, st)) return;
        athsim::ApplyClearCache(*sc, st, sim::Now(), profileName);
        sim::SaveState(index, st);
    }

private:
    // The adapter named by `device` exists in the scenario and is present.
    static bool Reach(const std::shared_ptr<const athsim::Scenario>& sc, const std::string& device, int& index) {
        if (!sc) return false;
        index = sim::FindAdapter(*sc, device);
        return index >= 0 && sim::IsPresent(sc->adapters[index]);
    }
};

}  // namespace

DriverTransport& Transport() {
    static SimTransport simulated;
    return simulated;
}

}  // namespace athcfg
