#include "monitor/app/history/link_history.h"

#include <gtest/gtest.h>

using link_history::Cause;
using link_history::Event;
using link_history::Kind;
using link_history::Reading;

namespace {
Reading Up(const std::string& ssid, int signal, const std::string& address = "") {
    Reading r;
    r.present = true;
    r.connected = true;
    r.ssid = ssid;
    r.channel = 6;
    r.signal = signal;
    r.rateMbps = 54;
    r.address = address;
    return r;
}
Reading Down(bool present, bool radioOff, bool applying = false) {
    Reading r;
    r.present = present;
    r.radioOff = radioOff;
    r.applying = applying;
    return r;
}
}  // namespace

// Each row: the reading before, the reading now, and the event expected (or none).
TEST(LinkEvents, ChangesBetweenTicksBecomeOneEventEach) {
    struct Row {
        const char* what;
        Reading before, now;
        bool event;
        Kind kind;
        Cause cause;
        int signal;
        const char* ssid;
    } rows[] = {
        {"link comes up", Down(true, false), Up("Home", 80), true, Kind::LinkUp, Cause::None, 80, "Home"},
        {"steady link", Up("Home", 80), Up("Home", 70), false, Kind::LinkUp, Cause::None, 0, ""},
        {"radio switched off", Up("Home", 80), Down(true, true), true, Kind::LinkDown, Cause::RadioOff, 80, "Home"},
        {"adapter removed", Up("Home", 80), Down(false, false), true, Kind::LinkDown, Cause::AdapterRemoved, 80, "Home"},
        {"signal faded: the last figure seen", Up("Home", 12), Down(true, false), true, Kind::LinkDown,
         Cause::SignalLost, 12, "Home"},
        {"the program applied a profile", Up("Home", 80), Down(true, false, true), true, Kind::LinkDown,
         Cause::Applied, 80, "Home"},
        {"roamed to another network", Up("Home", 80), Up("Cafe", 40), true, Kind::LinkUp, Cause::None, 40, "Cafe"},
        {"address changed", Up("Home", 80, "10.0.0.5"), Up("Home", 80, "10.0.0.9"), true, Kind::AddressChanged,
         Cause::None, 80, "Home"},
        {"lease arrives after link up", Up("Home", 80), Up("Home", 80, "10.0.0.5"), false, Kind::LinkUp,
         Cause::None, 0, ""},
        {"still down, radio goes off", Down(true, false), Down(true, true), false, Kind::LinkUp, Cause::None, 0, ""},
        {"adapter comes back unconnected", Down(false, false), Down(true, false), false, Kind::LinkUp,
         Cause::None, 0, ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        link_history::Detector detector;
        Event event;
        EXPECT_FALSE(detector.Next(row.before, event));  // the first reading is the starting point
        event = Event();
        ASSERT_EQ(row.event, detector.Next(row.now, event));
        if (!row.event) continue;
        EXPECT_EQ(row.kind, event.kind);
        EXPECT_EQ(row.cause, event.cause);
        EXPECT_EQ(row.signal, event.signal);
        EXPECT_EQ(row.ssid, event.ssid);
        EXPECT_FALSE(detector.Next(row.now, event));  // one event per change
    }
}

// The stored text reads back whole, stays bounded with the oldest dropped, and lines that
// were damaged in the registry are skipped.
TEST(LinkHistoryStore, RoundTripBoundAndDamage) {
    link_history::History history;
    for (int i = 0; i < 400; ++i) {
        Event e;
        e.time = "2024-05-01 10:00:" + std::to_string(i % 60);
        e.kind = Kind::LinkDown;
        e.cause = Cause::SignalLost;
        e.ssid = std::string(32, char('a' + i % 26)) + "\t\r\n\"";  // any byte, the longest SSID
        e.ssid.resize(32);
        e.bssid = "00:11:22:33:44:55";
        e.channel = 11;
        e.signal = i % 101;
        e.rateMbps = 54;
        e.address = "192.168.100.200";
        history.Add(e);
    }
    ASSERT_EQ(link_history::kCapacity, history.Events().size());
    std::string text = history.Save();
    EXPECT_LE(text.size(), link_history::kMaxStoredBytes);

    link_history::History back;
    back.Load(text);
    ASSERT_EQ(link_history::kCapacity, back.Events().size());
    const Event& newest = back.Events().back();
    EXPECT_EQ(history.Events().back().ssid, newest.ssid);
    EXPECT_EQ(399 % 101, newest.signal);
    EXPECT_EQ("192.168.100.200", newest.address);
    EXPECT_EQ(Cause::SignalLost, newest.cause);
    EXPECT_EQ(text, back.Save());

    // A line cut short, a line of rubbish and one with an unknown event kind.
    std::string damaged = "garbage\r\n" + text.substr(0, text.size() - 25) + "\r\n2024\t9\t0\t\t\t0\t0\t0\t\r\n";
    back.Load(damaged);
    EXPECT_EQ(link_history::kCapacity - 1, back.Events().size());
    EXPECT_EQ(text.substr(0, text.rfind("\r\n", text.size() - 3) + 2), back.Save());
}

// What automatic connection found reads back with its profile; a line of another kind with
// those fields, or one of its own without them, is damage.
TEST(LinkHistoryStore, AutoConnectEventsKeepTheirFindings) {
    Event e;
    e.kind = Kind::AutoConnect;
    e.profile = "R&D\tlab";
    e.finding = 3;
    e.wanted = 1;
    link_history::History history, back;
    history.Add(e);
    back.Load(history.Save() + "2024\t1\t0\t\t\t0\t0\t0\t\t00\t1\t0\t0\r\n2024\t4\t0\t\t\t0\t0\t0\t\r\n");
    ASSERT_EQ(1u, back.Events().size());
    const Event& read = back.Events().front();
    EXPECT_EQ("R&D\tlab/3/1", read.profile + "/" + std::to_string(read.finding) + "/" + std::to_string(read.wanted));
}
