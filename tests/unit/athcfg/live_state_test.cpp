// The live state record other processes share: what goes in comes back, what does
// not fit is refused, and a damaged record is read without a step outside it.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

#include "athcfg/model/live_state.h"

namespace {

using namespace athsim;

AdapterState Sample(const std::string& name, const std::string& ssid, const std::string& key) {
    AdapterState s;
    s.radioOff = true;
    s.activeSince = -1000;
    s.scanStart = 123456789012LL;
    s.txRate = 11000;
    s.txBytes = 0x1122334455667788ULL;
    s.rxBytes = 42;
    s.txPackets = 7;
    s.rxPackets = 0xFFFFFFFFu;
    s.active.valid = true;
    s.active.profileName = name;
    s.active.ssid = ssid;
    s.active.adhoc = true;
    s.active.security = ProfileSecurity::WpaEap;
    s.active.key = key;
    s.active.authMode = 2;
    return s;
}

TEST(LiveStateTest, StateComesBackWholeAndOverlongTextsAreRefused) {
    const std::string longest(kLiveText - 1, 'k');
    const AdapterState in = Sample("Home", "Harbor", longest);
    LiveState rec;
    ASSERT_TRUE(StoreLive(in, rec));
    AdapterState out;
    ASSERT_TRUE(LoadLive(rec, out));
    EXPECT_EQ(SerializeState(in), SerializeState(out));

    // One character more, or an embedded NUL, does not fit; the record keeps what it had.
    EXPECT_FALSE(StoreLive(Sample("Home", "Harbor", longest + "k"), rec));
    EXPECT_FALSE(StoreLive(Sample(std::string("Ho\0me", 5), "Harbor", ""), rec));
    ASSERT_TRUE(LoadLive(rec, out));
    EXPECT_EQ(SerializeState(in), SerializeState(out));
}

TEST(LiveStateTest, RingKeepsTheLatestSetsInOrderAndSurvivesTheRegistryForm) {
    auto a = std::make_unique<LiveAdapter>();
    *a = LiveAdapter();
    const uint8_t data[20] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20};
    for (uint32_t i = 0; i < kSetLogEntries + 44; ++i) AppendSet(*a, i, data, i % 21);
    const std::vector<RecordedSet> log = SetsOf(*a);
    ASSERT_EQ(kSetLogEntries, log.size());
    EXPECT_EQ(44u, log.front().oid);
    EXPECT_EQ(kSetLogEntries + 43, log.back().oid);
    EXPECT_EQ((kSetLogEntries + 43) % 21, log.back().length);  // the full length, though 16 bytes are kept
    EXPECT_EQ(0, std::memcmp(data, log[4].data, 6));  // oid 48 sent 6 bytes
    EXPECT_EQ(0u, log[4].data[6]);

    const std::vector<RecordedSet> again = ParseLogBytes(LogBytes(log));
    ASSERT_EQ(log.size(), again.size());
    EXPECT_EQ(0, std::memcmp(log.data(), again.data(), log.size() * sizeof(RecordedSet)));
    EXPECT_EQ(1u, ParseLogBytes(std::vector<uint8_t>(24 + 23, 0)).size());  // a cut entry is dropped

    ClearSets(*a);
    EXPECT_TRUE(SetsOf(*a).empty());
}

TEST(LiveStateTest, DamagedRecordsAreRefusedOrBounded) {
    LiveState rec;
    ASSERT_TRUE(StoreLive(Sample("Home", "Harbor", "secret"), rec));
    AdapterState out;
    LiveState bad = rec;
    std::memset(bad.ssid, 'x', kLiveText);  // no terminator
    EXPECT_FALSE(LoadLive(bad, out));
    bad = rec;
    bad.security = 9;
    EXPECT_FALSE(LoadLive(bad, out));
    bad = LiveState();  // a section nobody has filled
    EXPECT_FALSE(LoadLive(bad, out));

    auto a = std::make_unique<LiveAdapter>();
    *a = LiveAdapter();
    a->logCount = 0xFFFFFFF0u;
    a->logNext = 0xFFFFFFFFu;
    EXPECT_EQ(kSetLogEntries, SetsOf(*a).size());
    AppendSet(*a, 5, nullptr, 4);
    EXPECT_EQ(5u, SetsOf(*a).back().oid);

    LiveHeader h;
    BeginHeader(h);
    EXPECT_FALSE(ValidHeader(h));  // not sealed yet
    SealHeader(h);
    EXPECT_TRUE(ValidHeader(h));
    h.adapters = kMaxAdapters + 1;
    EXPECT_FALSE(ValidHeader(h));
}

TEST(LiveStateTest, ReadersSeeOnlyFinishedChangesAndAWriterThatDiedIsNoticed) {
    auto s = std::make_unique<LiveSection>();
    std::memset(static_cast<void*>(s.get()), 0, sizeof *s);
    auto view = std::make_unique<LiveView>();
    EXPECT_FALSE(BeginWrite(*s));
    s->header.adapters = 2;
    s->adapter[1].present = 1;
    EXPECT_FALSE(ReadView(*s, *view));  // the change is not finished
    EndWrite(*s);
    ASSERT_TRUE(ReadView(*s, *view));
    EXPECT_EQ(2u, view->header.adapters);
    EXPECT_EQ(1u, view->present[1]);

    EXPECT_FALSE(BeginWrite(*s));
    // ... and the writer dies here: the next one is told.
    EXPECT_TRUE(BeginWrite(*s));
    EndWrite(*s);
    EXPECT_TRUE(ReadView(*s, *view));
}

}  // namespace
