// Scenario text and adapter state text from outside: parse them, and let a parsed
// scenario answer every query, so the record builders see whatever it allows.
#include <cstddef>
#include <cstdint>
#include <string>

#include "athcfg/model/sim_model.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    athsim::AdapterState state;
    athsim::ParseState(text, state);

    athsim::Scenario sc;
    std::string error;
    if (!athsim::ParseScenario(text, sc, error)) return 0;
    const uint32_t oids[] = {athsim::kOidStatus, athsim::kOidLinkQuality, athsim::kOidRadio, athsim::kOidAuthMode,
                             athsim::kOidNetworkList, athsim::kOidVendorList};
    for (const athsim::AdapterSpec& a : sc.adapters) {
        athsim::AdapterState st;
        if (!a.profiles.empty()) {
            const athsim::ProfileSpec& p = a.profiles.front();
            const std::string keys[4] = {p.Get("wepKey1"), "", "", ""};
            st = athsim::InitialState(a, athsim::MakeSettings(p.Get("name"), p.Get("ssid"), p.Get("infrastructure") == "1",
                                                              1, 0, 7, 1, keys, "", 1));
        }
        const uint8_t go[4] = {0, 0, 0, 0};
        athsim::ApplySet(sc, st, 500, athsim::kOidScan, go, 4);
        for (int64_t now : {int64_t{0}, int64_t{1700}, int64_t{86400000}}) {
            for (uint32_t oid : oids) {
                std::vector<uint8_t> answer;
                athsim::QueryAnswer(sc, a, st, now, oid, answer);
            }
        }
    }
    return 0;
}
