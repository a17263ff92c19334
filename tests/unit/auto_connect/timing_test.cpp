// When automatic connection acts: the transitions of its timing on loss, scan, association,
// timeout, a manual apply, the radio, the Configuration page and the switch.
#include "monitor/app/auto_connect/auto_connect_timing.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

using namespace auto_connect;

namespace {

// One thing that happens, then the state expected after it. A tick also expects its step.
struct Op {
    char what;  // 't' tick, 'a' Applied, 'x' Exhausted, 'u' user applied, 'h' hold, '0'/'1' switch
    uint32_t at;
    char link;  // ticks: 'c' connected, 'd' not associated, 'r' radio off, 'n' no adapter
    Step step;
    State state;
};
Op T(uint32_t at, char link, Step step, State state) { return {'t', at, link, step, state}; }
Op Do(char what, uint32_t at, State state) { return {what, at, 0, Step::None, state}; }

const Step N = Step::None;
const State Gr = State::Grace, Sc = State::Scanning, Jo = State::Joining, Co = State::Connected,
            Pa = State::Paused, Re = State::Resting, Of = State::Off;

}  // namespace

TEST(AutoConnectTiming, Transitions) {
    const uint32_t late = 0xFFFFF000u;  // the millisecond clock wraps during the grace
    struct Case {
        const char* what;
        std::vector<Op> ops;
    } cases[] = {
        {"start without association: 10 s, a scan, a choice once the list is in, the join",
         {T(0, 'd', N, Gr), T(9999, 'd', N, Gr), T(10000, 'd', Step::Scan, Sc), T(11000, 'd', Step::Choose, Sc),
          Do('x', 11000, Sc), T(14000, 'd', Step::Choose, Sc), Do('a', 14000, Jo), T(15000, 'c', Step::Joined, Co)}},
        {"a loss counts from the drop",
         {T(0, 'c', N, Co), T(5000, 'd', N, Gr), T(14999, 'd', N, Gr), T(15000, 'd', Step::Scan, Sc)}},
        {"no association in 15 s: the next candidate at once; none left: 60 s to the next round",
         {T(0, 'd', N, Gr), T(10000, 'd', Step::Scan, Sc), Do('a', 12000, Jo), T(26999, 'd', N, Jo),
          T(27000, 'd', Step::Missed, Sc), Do('a', 27000, Jo), T(42000, 'd', Step::Missed, Sc), Do('x', 42000, Re),
          T(101999, 'd', N, Re), T(102000, 'd', Step::Scan, Sc)}},
        {"a manual apply: nothing until the link has come up and gone down",
         {T(0, 'd', N, Gr), Do('u', 0, Pa), T(90000, 'd', N, Pa), T(91000, 'c', N, Pa), T(92000, 'd', N, Gr),
          T(102000, 'd', Step::Scan, Sc)}},
        {"a manual apply while joining",
         {T(0, 'd', N, Gr), T(10000, 'd', Step::Scan, Sc), Do('a', 10000, Jo), Do('u', 11000, Pa),
          T(12000, 'c', N, Pa)}},
        {"the radio switched off: the same; its own drop does not count",
         {T(0, 'c', N, Co), T(1000, 'r', N, Pa), T(30000, 'd', N, Pa), T(31000, 'c', N, Pa), T(32000, 'd', N, Gr)}},
        {"the Configuration page open: the wait starts again",
         {T(0, 'd', N, Gr), T(10000, 'd', Step::Scan, Sc), Do('h', 10000, Gr), T(19999, 'd', N, Gr),
          T(20000, 'd', Step::Scan, Sc)}},
        {"switch off or no adapter: off; back on, a fresh start",
         {T(0, 'd', N, Gr), Do('0', 0, Of), T(20000, 'd', N, Of), Do('u', 20000, Of), Do('1', 20000, Of),
          T(21000, 'd', N, Gr), T(22000, 'n', N, Of), T(23000, 'c', N, Co)}},
        {"the clock wraps", {T(late, 'd', N, Gr), T(late + 9999u, 'd', N, Gr), T(late + 10000u, 'd', Step::Scan, Sc)}},
    };
    for (const Case& c : cases) {
        Timing timing;
        timing.SetOn(true);
        for (size_t i = 0; i < c.ops.size(); ++i) {
            const Op& op = c.ops[i];
            Link link = {op.link != 'n', op.link != 'r', op.link == 'c'};
            switch (op.what) {
            case 't': EXPECT_EQ(op.step, timing.Tick(link, op.at)) << c.what << ", op " << i; break;
            case 'a': timing.Applied(op.at); break;
            case 'x': timing.Exhausted(op.at); break;
            case 'u': timing.UserApplied(); break;
            case 'h': timing.Hold(op.at); break;
            default: timing.SetOn(op.what == '1');
            }
            EXPECT_EQ(op.state, timing.Current()) << c.what << ", op " << i;
        }
    }
}
