// The Windows version test and the hand-over of the adapter to and from Windows XP's
// Wireless Zero Configuration service ("WZCSVC").
#pragma once
#include <string>

namespace zc {

// OS code of the running system (5 = XP, 4 = 2000, 2 = Me, 1 = 98, 0 = other).
int CurrentOsCode();

// 1 = this program controls the adapter, 0 = the service manages it.
int Check(const std::string& interfaceGuid);

// Stops the service if it runs, rewrites the interface's flags for `request` (kTakeOver or
// kHandBack) and starts the service again. Each wait for the service is bounded; a service
// that refuses the stop request, or does not stop in time, keeps its flags and is not
// started again.
void HandOver(const std::string& interfaceGuid, int request);

// How long a hand-over waits for the service to stop, and then to run again.
constexpr unsigned kServiceWaitMs = 30000;

}  // namespace zc
