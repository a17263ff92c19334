// Benchmark of automatic connection (not a test): after the office network goes out of
// range, the time from the end of the 10-second grace (the scan request) to the driver's
// association with the home network, which the scan finds late (a 5 GHz channel), beside the simulated
// scan time: with Home first in the order (joined as soon as the scan shows it; goal: at
// most the scan time + 2 poll ticks) and second (the choice waits for the whole list).
//   bench_auto_connect [scan ms ...]     default 1000 2000 3000 4000
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "athcfg/sim/athsim.h"
#include "monitor/adapter/oids.h"
#include "monitor/app/main_frame.h"
#include "monitor/app/monitor_app.h"

namespace {

bool Install(int scanMs, bool homeFirst, bool officeInRange) {
    const std::string home = "profile name=Home ssid=Harbor infrastructure=1\n";
    const std::string office = "profile name=Office ssid=Tower infrastructure=1\n";
    std::string text = "scan ms=" + std::to_string(scanMs) +
                       "\nadapter guid={4A1B2C3D-0000-4000-8000-00000000000A} subkey=0010\n" +
                       (homeFirst ? home + office : office + home) + "select name=Office\n" +
                       (officeInRange ? "network ssid=Tower channel=1\n" : "") + "network ssid=Harbor channel=161\n";
    char error[200] = {};
    return AthSimInstallScenario(text.c_str(), error, sizeof error) != 0;
}

// Runs the message loop, and the frame's poll in it, until `done`; false after `ms`.
template <typename Done>
bool PumpUntil(DWORD ms, Done done) {
    for (const DWORD start = GetTickCount(); !done(); Sleep(5)) {
        if (GetTickCount() - start >= ms) return false;
        MSG m;
        while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&m);
    }
    return true;
}

// As the driver says it now, not as the last poll saw it.
bool AssociatedWith(const char* ssid) {
    uint8_t record[kStatusRecordSize] = {};
    if (!theApp.session.ReadStatusRecord(record)) return false;
    StatusRecord status(record);
    return !status.Disconnected() && status.Ssid() == ssid;
}

// Milliseconds from the scan request to the association, or -1 when either never came.
long Measure(int scanMs, bool homeFirst) {
    long took = -1;
    DWORD value = 0, scanned = 0;
    CMainFrame frame;
    if (Install(scanMs, homeFirst, true) && frame.CreateFrame() && theApp.autoConnect.SetSwitch(true) &&
        PumpUntil(10000, [] { return AssociatedWith("Tower"); }) && Install(scanMs, homeFirst, false) &&
        PumpUntil(30000, [&] { return AthSimLastRecordedValue(0, oid::kStartScan, &value) != 0; })) {
        scanned = GetTickCount();
        if (PumpUntil(40000, [] { return AssociatedWith("Harbor"); })) took = long(GetTickCount() - scanned);
    }
    theApp.autoConnect.SetSwitch(false);
    if (frame.Handle()) SendMessageA(frame.Handle(), WM_CLOSE, 0, 0);
    PumpUntil(100, [] { return false; });  // the closed frame's quit message goes
    AthSimClear();
    return took;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<int> scans;
    for (int i = 1; i < argc; ++i) scans.push_back(std::atoi(argv[i]));
    if (scans.empty()) scans = {1000, 2000, 3000, 4000};
    theApp.greenHistory.Allocate(307);
    theApp.redHistory.Allocate(307);
    const int tickMs = 1000;
    std::printf("from the scan request to the association, ms (poll tick %d ms)\n", tickMs);
    std::printf("%8s %12s %26s %12s\n", "scan ms", "Home first", "ratio to scan + 2 ticks", "Home second");
    for (int scan : scans) {
        long first = Measure(scan, true), second = Measure(scan, false);
        std::printf("%8d %12ld %26.2f %12ld\n", scan, first, first < 0 ? 0.0 : double(first) / (scan + 2 * tickMs),
                    second);
    }
    return 0;
}
