// Soak benchmark of the tray poll (not a test): runs the frame's tick many times against
// the simulated adapter and prints the time per tick and the process's GDI objects, USER
// objects, kernel handles, the heap in use (less the benchmark's own samples) and working
// set before and after. None may grow; the warm-up fills the link history to its bound.
// Beside each steady connected tick it times the platform calls a tick cannot avoid (the
// floor): one Shell_NotifyIconA modify of the frame's icon, the library's adapter
// enumeration and, on Windows XP, the Zero-Config check; it prints the medians and the
// ratio tick / floor.
//   tray_soak [ticks] [win2k|winxp] [auto]   default 10000 ticks, Windows as Wine reports it;
//                                             auto: with automatic connection switched on
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "athcfg/athcfg.h"
#include "athcfg/sim/athsim.h"
#include "monitor/adapter/zero_config.h"
#include "monitor/adapter/zero_config_flags.h"
#include "monitor/app/main_frame.h"
#include "monitor/app/monitor_app.h"
#include "monitor/app/tray/tray_icon.h"
#include "monitor/app/tray/tray_state.h"
#include "tests/support/object_counts.h"
#include "tests/support/stand_in_service.h"
#include "tests/support/wine_version.h"

namespace {

// Bytes in use in the process's heaps, less the blocks at `own`.
SIZE_T HeapInUse(const std::vector<const void*>& own) {
    SIZE_T bytes = 0;
    HANDLE heaps[64];
    for (DWORD i = 0, count = GetProcessHeaps(64, heaps); i < count && i < 64; ++i)
        for (PROCESS_HEAP_ENTRY entry = {}; HeapWalk(heaps[i], &entry);)
            if ((entry.wFlags & PROCESS_HEAP_ENTRY_BUSY) && std::count(own.begin(), own.end(), entry.lpData) == 0)
                bytes += entry.cbData;
    return bytes;
}

struct Figures {
    int gdi, user, kernel;
    SIZE_T workingSet, heap;
    DWORD guiGdi, guiUser;
};

Figures Measure(const std::vector<const void*>& samples) {
    int kernel = objects::KernelHandles();  // its buffer is freed before the heap is walked
    return {objects::Gdi(), objects::User(), kernel, objects::WorkingSet(), HeapInUse(samples),
            GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS),
            GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS)};
}

const char kGuid[] = "{4A1B2C3D-0000-4000-8000-000000000009}";
const char kScenario[] =
    "adapter guid={4A1B2C3D-0000-4000-8000-000000000009} subkey=0009 desc=\"Soak WLAN\"\n"
    "profile name=Home ssid=Harbor infrastructure=1\n"
    "select name=Home\n"
    "network ssid=Harbor bssid=00:11:22:33:44:55 channel=6 rssi=-50 security=open\n";

double Now() {
    LARGE_INTEGER at, freq;
    QueryPerformanceCounter(&at);
    QueryPerformanceFrequency(&freq);
    return 1e6 * double(at.QuadPart) / double(freq.QuadPart);
}

double Median(std::vector<double> v) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// Microseconds each part of the floor took, one sample per steady tick.
struct Floor {
    std::vector<double> modify, enumerate, zeroConfig, total;
};

void MeasureFloor(HWND frame, TrayIcon& tray, bool xp, int i, Floor& f) {
    char tip[128];
    wsprintfA(tip, "Connection : Harbor \nSpeed : 54 Mbps\nLink Quality : %d %%", 60 + i % 30);
    double t0 = Now();
    tray.Notify(frame, IconPressedMessage(), TrayIcon::kModify, tray::kIconExcellent, tip);
    double t1 = Now();
    {
        ACEnumNics nics;
        nics.GetAllAtherosAdapters();
    }
    double t2 = Now();
    if (xp) zc::Check(kGuid);
    double t3 = Now();
    f.modify.push_back(t1 - t0);
    f.enumerate.push_back(t2 - t1);
    f.zeroConfig.push_back(t3 - t2);
    f.total.push_back(t3 - t0);
}

// The service's per-interface flags say this program controls the adapter.
void LeaveAdapterToUs(bool set) {
    const std::string key = zc::InterfaceKeyPath(kGuid);
    if (!set) {
        RegDeleteKeyA(HKEY_LOCAL_MACHINE, key.c_str());
        return;
    }
    HKEY k;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &k,
                        nullptr) != ERROR_SUCCESS)
        return;
    DWORD flags = 0x100;
    RegSetValueExA(k, "ControlFlags", 0, REG_DWORD, reinterpret_cast<BYTE*>(&flags), sizeof flags);
    RegCloseKey(k);
}

}  // namespace

int main(int argc, char** argv) {
    int ticks = argc > 1 ? std::atoi(argv[1]) : 10000;
    bool autoConnect = false;
    for (int i = 2; i < argc; ++i) {
        if (!std::strcmp(argv[i], "auto")) {
            autoConnect = true;
            continue;
        }
        int rerun = RerunAsWindowsVersion(argv[i]);
        if (rerun >= 0) return rerun;
    }
    const bool xp = zc::CurrentOsCode() == 5;
    // Windows XP runs the Zero-Config service; the tick asks it every time.
    std::unique_ptr<StandInService> service(xp ? new StandInService : nullptr);
    if (service) {
        service->Start();
        LeaveAdapterToUs(true);
    }
    char error[200] = {};
    if (!AthSimInstallScenario(kScenario, error, sizeof error)) {
        std::printf("scenario: %s\n", error);
        return 1;
    }
    theApp.greenHistory.Allocate(307);
    theApp.redHistory.Allocate(307);

    CMainFrame frame;  // the real notification area
    if (!frame.CreateFrame()) return 1;
    theApp.autoConnect.SetSwitch(autoConnect);
    KillTimer(frame.Handle(), CMainFrame::kPollTimer);  // ticks are driven below
    auto tick = [&] { SendMessageA(frame.Handle(), WM_TIMER, CMainFrame::kPollTimer, 0); };
    TrayIcon floorTray;
    Floor floor;
    std::vector<double> steady;
    std::vector<const void*> samples;  // their pages written before the first figures
    for (std::vector<double>* v : {&steady, &floor.modify, &floor.enumerate, &floor.zeroConfig, &floor.total})
        v->assign(size_t(ticks), 0.0), v->clear(), samples.push_back(v->data());
    double total = 0;
    // One-time loads (each icon the first time it is shown) happen in the warm-up, which
    // passes through every path the measured run takes.
    auto run = [&](int count, bool measure) {
        for (int i = 0; i < count; ++i) {
            const bool wasPresent = theApp.adapterPresent > 0;
            const double t0 = Now();
            tick();
            const double took = Now() - t0;
            total += took;
            // Steady: connected before and after, not next to an unplug or plug.
            const int phase = i % 1000;
            if (measure && wasPresent && theApp.adapterPresent > 0 && !theApp.Status().Disconnected() &&
                (phase < 495 || phase > 520)) {
                steady.push_back(took);
                MeasureFloor(frame.Handle(), floorTray, xp, i, floor);
            }
            // Unplug and plug the adapter now and then, so the lost and found paths run too.
            if (phase == 500) AthSimSetPresent(0, 0);
            if (phase == 510) AthSimSetPresent(0, 1);
            MSG m;
            while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&m);
        }
    };
    run(1000, false);
    for (int i = 0; theApp.linkHistory.Events().size() < link_history::kCapacity && i < 4000; ++i)
        AthSimSetPresent(0, i % 4 < 2 ? 0 : 1), tick();  // the adapter's comings and goings
    AthSimSetPresent(0, 1);
    run(20, false);

    Figures before = Measure(samples);
    total = 0;
    run(ticks, true);
    Figures after = Measure(samples);

    const char* os = xp ? "Windows XP" : zc::CurrentOsCode() == 4 ? "Windows 2000" : "other";
    const double tickUs = Median(steady), floorUs = Median(floor.total);
    std::printf("ticks: %d (%s), automatic connection %s\n", ticks, os, autoConnect ? "on" : "off");
    std::printf("time per tick: %.1f us (mean of all ticks, unplug and plug included)\n", total / ticks);
    std::printf("steady connected ticks: %d, median %.1f us\n", static_cast<int>(steady.size()), tickUs);
    std::printf("floor, median us: Shell_NotifyIconA modify %.1f, adapter enumeration %.1f, "
                "Zero-Config check %.1f, together %.1f\n",
                Median(floor.modify), Median(floor.enumerate), Median(floor.zeroConfig), floorUs);
    std::printf("ratio tick / floor: %.2f\n", floorUs > 0 ? tickUs / floorUs : 0.0);
    std::printf("%-34s %12s %12s\n", "", "before", "after");
    std::printf("%-34s %12d %12d\n", "GDI objects (handle-table probe)", before.gdi, after.gdi);
    std::printf("%-34s %12d %12d\n", "USER objects (windows + menus)", before.user, after.user);
    std::printf("%-34s %12lu %12lu\n", "GetGuiResources GDI", before.guiGdi + 0ul, after.guiGdi + 0ul);
    std::printf("%-34s %12lu %12lu\n", "GetGuiResources USER", before.guiUser + 0ul, after.guiUser + 0ul);
    std::printf("%-34s %12d %12d\n", "kernel handles", before.kernel, after.kernel);
    std::printf("%-34s %12lu %12lu\n", "heap in use, product (KiB)", static_cast<unsigned long>(before.heap / 1024),
                static_cast<unsigned long>(after.heap / 1024));
    std::printf("%-34s %12lu %12lu\n", "working set (KiB)", static_cast<unsigned long>(before.workingSet / 1024),
                static_cast<unsigned long>(after.workingSet / 1024));
    SendMessageA(frame.Handle(), WM_CLOSE, 0, 0);
    AthSimClear();
    if (service) LeaveAdapterToUs(false);
    bool grew = after.gdi > before.gdi || after.user > before.user || after.kernel > before.kernel ||
                after.heap > before.heap + 1024;  // texts of varying length (tip, history times)
    std::printf("%s\n", grew ? "GROWTH: objects, handles or the heap grew" : "no growth");
    return 0;
}
