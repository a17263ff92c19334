// The device name the library reports for a simulated adapter. Normally "\DEVICE\" and the
// adapter's GUID; a scenario may tie the adapter to one of the machine's network interfaces
// (attribute `interface`), and the name is then that interface's description as the IP helper
// reports it, so that programs looking the adapter up in the IP helper's tables find it.
// Win32 glue.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "athcfg/model/scenario.h"

namespace athcfg::sim {

// The name enumeration reports for the adapter whose GUID is `guid`.
std::string DeviceNameOf(const std::string& guid);
// Whether a request addressed to `device` is meant for adapter `a`: either of its names.
bool NamesAdapter(const athsim::AdapterSpec& a, const std::string& device);
// The MAC address adapter `a` (scenario index `index`) reports: a tied adapter's is its
// interface's, as the IP helper gives it; others have 00:03:7F:E0:00:NN (NN = index + 1).
std::vector<uint8_t> MacAddressOf(const athsim::AdapterSpec& a, int index);

}  // namespace athcfg::sim
