// Soak benchmark of the tray poll (not a test): runs the frame's tick many times against
// the simulated adapter and prints the time per tick and the process's GDI objects, USER
// objects, kernel handles and working set before and after. None of them may grow.
//   tray_soak [ticks]      default 10000
#include <windows.h>

#include <cstdio>
#include <cstdlib>

#include "athcfg/athsim.h"
#include "monitor/app/main_frame.h"
#include "monitor/app/monitor_app.h"
#include "monitor/ui/monitor_dlg.h"
#include "tests/support/object_counts.h"

namespace {

struct Figures {
    int gdi, user, kernel;
    SIZE_T workingSet;
    DWORD guiGdi, guiUser;
};

Figures Measure() {
    return {objects::Gdi(), objects::User(), objects::KernelHandles(), objects::WorkingSet(),
            GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS),
            GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS)};
}

const char kScenario[] =
    "adapter guid={4A1B2C3D-0000-4000-8000-000000000009} subkey=0009 desc=\"Soak WLAN\"\n"
    "profile name=Home ssid=Harbor infrastructure=1\n"
    "select name=Home\n"
    "network ssid=Harbor bssid=00:11:22:33:44:55 channel=6 rssi=-50 security=open\n";

}  // namespace

int main(int argc, char** argv) {
    int ticks = argc > 1 ? std::atoi(argv[1]) : 10000;
    char error[200] = {};
    if (!AthSimInstallScenario(kScenario, error, sizeof error)) {
        std::printf("scenario: %s\n", error);
        return 1;
    }
    theApp.greenHistory.Allocate(307);
    theApp.redHistory.Allocate(307);

    CMainFrame frame;  // the real notification area
    if (!frame.CreateFrame()) return 1;
    KillTimer(frame.Handle(), CMainFrame::kPollTimer);  // ticks are driven below
    auto tick = [&] { SendMessageA(frame.Handle(), WM_TIMER, CMainFrame::kPollTimer, 0); };
    // One-time loads (each icon the first time it is shown) happen in the warm-up, which
    // passes through every path the measured run takes.
    auto run = [&](int count) {
        for (int i = 0; i < count; ++i) {
            tick();
            // Unplug and plug the adapter now and then, so the lost and found paths run too.
            if (i % 1000 == 500) AthSimSetPresent(0, 0);
            if (i % 1000 == 510) AthSimSetPresent(0, 1);
            MSG m;
            while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&m);
        }
    };
    run(1000);

    Figures before = Measure();
    LARGE_INTEGER freq, start, end;
    QueryPerformanceFrequency(&freq);
    QueryPerformanceCounter(&start);
    run(ticks);
    QueryPerformanceCounter(&end);
    Figures after = Measure();

    double us = 1e6 * double(end.QuadPart - start.QuadPart) / double(freq.QuadPart) / ticks;
    std::printf("ticks: %d\n", ticks);
    std::printf("time per tick: %.1f us\n", us);
    std::printf("%-34s %12s %12s\n", "", "before", "after");
    std::printf("%-34s %12d %12d\n", "GDI objects (handle-table probe)", before.gdi, after.gdi);
    std::printf("%-34s %12d %12d\n", "USER objects (windows + menus)", before.user, after.user);
    std::printf("%-34s %12lu %12lu\n", "GetGuiResources GDI", before.guiGdi + 0ul, after.guiGdi + 0ul);
    std::printf("%-34s %12lu %12lu\n", "GetGuiResources USER", before.guiUser + 0ul, after.guiUser + 0ul);
    std::printf("%-34s %12d %12d\n", "kernel handles", before.kernel, after.kernel);
    std::printf("%-34s %12lu %12lu\n", "working set (KiB)", static_cast<unsigned long>(before.workingSet / 1024),
                static_cast<unsigned long>(after.workingSet / 1024));
    SendMessageA(frame.Handle(), WM_CLOSE, 0, 0);
    AthSimClear();
    bool grew = after.gdi > before.gdi || after.user > before.user || after.kernel > before.kernel;
    std::printf("%s\n", grew ? "GROWTH: objects or handles grew" : "no growth");
    return 0;
}
