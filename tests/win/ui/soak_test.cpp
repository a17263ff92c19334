// Opening and closing the monitor window dozens of times and its About page hundreds of
// times leaves the process holding no more GDI objects, USER objects and kernel handles than before: what a
// page or the window takes, it gives back.
#include <windows.h>
#include <gtest/gtest.h>

#include "tests/support/object_counts.h"
#include "tests/win/ui/modal_script.h"

namespace {
struct Counts {
    int gdi, user, kernel;
};

Counts Measure() { return {objects::Gdi(), objects::User(), objects::KernelHandles()}; }

// The monitor window opened on its About page, the page built again several times, the
// window closed (which takes Wine about 2 s without a window manager).
void Round() {
    RunMonitor(4, {[] {
        for (int i = 0; i < 12; ++i) OpenAndCloseTheAboutPage();
    }});
}
}  // namespace

TEST(Soak, TheMonitorWindowAndItsAboutPageGiveBackWhatTheyTake) {
    // One-time loads (cursors, fonts, the first build of each page) come first.
    for (int i = 0; i < 3; ++i) Round();
    const Counts before = Measure();
    ASSERT_GE(before.kernel, 0) << "the system's handle list cannot be read";
    const int rounds = 25;
    for (int i = 0; i < rounds; ++i) Round();
    const Counts after = Measure();
    // A few objects come and go with the system's own caches; one left behind per window or
    // per page would be dozens or hundreds.
    const int slack = 8;
    EXPECT_LE(after.gdi, before.gdi + slack) << "GDI objects";
    EXPECT_LE(after.user, before.user + slack) << "USER objects";
    EXPECT_LE(after.kernel, before.kernel + slack) << "kernel handles";
    std::printf("after %d rounds: GDI %d -> %d, USER %d -> %d, kernel handles %d -> %d\n", rounds,
                before.gdi, after.gdi, before.user, after.user, before.kernel, after.kernel);
}
