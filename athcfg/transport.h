// The seam between the library and a driver: OID queries and sets, and the
// profile the driver is told to use. The simulated adapter is the one transport
// today; a hardware transport would implement the same interface. Win32 glue.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "athcfg/model/sim_model.h"

namespace athcfg {

class DriverTransport {
public:
    virtual ~DriverTransport() = default;
    // The driver's answer to a query; false when the device is unknown, absent or
    // does not answer the OID.
    virtual bool Query(const std::string& device, uint32_t oid, std::vector<uint8_t>& answer) = 0;
    // Bytes the driver took from a set; -1 when it refused it.
    virtual int Set(const std::string& device, uint32_t oid, const uint8_t* data, size_t length) = 0;
    // Hands the driver the settings of a profile; false when the device does not take them.
    virtual bool Activate(const std::string& device, const athsim::ActiveSettings& settings) = 0;
    // The driver forgets what it holds of the named profile.
    virtual void ClearCache(const std::string& device, const std::string& profileName) = 0;
};

DriverTransport& Transport();

}  // namespace athcfg
