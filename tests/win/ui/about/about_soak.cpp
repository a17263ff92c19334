// Soak benchmark of the About page (not a test): opens and closes the page many times in
// the real monitor window, hovering over its link each time, and prints the process's GDI
// objects, USER objects and kernel handles before and after, and the time per round.
// None of them may grow: the link's font, tooltip and cursor must not pile up.
//   about_soak [rounds]      default 1000
#include <windows.h>

#include <cstdio>
#include <cstdlib>

#include "tests/support/object_counts.h"
#include "tests/win/ui/modal_script.h"

namespace {
struct Figures {
    int gdi, user, kernel;
};

Figures Measure() { return {objects::Gdi(), objects::User(), objects::KernelHandles()}; }
}  // namespace

int main(int argc, char** argv) {
    int rounds = argc > 1 ? std::atoi(argv[1]) : 1000;
    Figures before = {}, after = {};
    double us = 0;
    RunMonitor(4, {[&] {
        // One-time loads (the hand cursor, the Configuration page's first build) come first.
        for (int i = 0; i < 20; ++i) OpenAndCloseTheAboutPage();
        before = Measure();
        LARGE_INTEGER freq, start, end;
        QueryPerformanceFrequency(&freq);
        QueryPerformanceCounter(&start);
        for (int i = 0; i < rounds; ++i) OpenAndCloseTheAboutPage();
        QueryPerformanceCounter(&end);
        after = Measure();
        us = 1e6 * double(end.QuadPart - start.QuadPart) / double(freq.QuadPart) / (rounds ? rounds : 1);
    }});
    std::printf("rounds: %d (About page opened and closed)\n", rounds);
    std::printf("time per round: %.1f us\n", us);
    std::printf("%-34s %12s %12s\n", "", "before", "after");
    std::printf("%-34s %12d %12d\n", "GDI objects (handle-table probe)", before.gdi, after.gdi);
    std::printf("%-34s %12d %12d\n", "USER objects (windows + menus)", before.user, after.user);
    std::printf("%-34s %12d %12d\n", "kernel handles", before.kernel, after.kernel);
    bool grew = after.gdi > before.gdi || after.user > before.user || after.kernel > before.kernel;
    std::printf("%s\n", grew ? "GROWTH: objects or handles grew" : "no growth");
    return 0;
}
