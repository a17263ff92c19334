// The Status page built from its template, filled from the simulated adapter's record.
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include "athcfg/athcfg.h"
#include "monitor/adapter/oids.h"
#include "monitor/app/monitor_app.h"
#include "monitor/res/resource.h"
#include "monitor/ui/monitor_dlg.h"
#include "monitor/ui/status_page.h"
#include "tests/support/sim_scenario.h"
#include "tests/win/ui/modal_script.h"

namespace {

class StatusPage : public ::testing::Test {
protected:
    void TearDown() override { ForgetAdapter(); }
    // What the tray poll does each second: the record and the link quality.
    void Poll() {
        DWORD written = 0, length = sizeof theApp.statusRecord;
        ASSERT_NE(0, AcsGetOid(theApp.session.deviceName.c_str(), oid::kStatusRecord, &written,
                               theApp.statusRecord, &length));
        theApp.linkQuality = theApp.session.LinkQuality();
    }
    void Open(const std::string& status, const std::string& adapterExtra = "") {
        testsim::Install(testsim::Adapter(0, adapterExtra) + status);
        AthSimSetTime(5000);
        ASSERT_EQ(1, theApp.session.Discover());
        Poll();
    }
};

struct Shown {
    std::string texts[9];
    int linkBar = -1, signalBar = -1;
};

const int kFields[9] = {IDC_STATUS_SSID,     IDC_STATUS_NETWORK_MODE, IDC_STATUS_RATE,
                        IDC_STATUS_CHANNEL,  IDC_STATUS_TX_MODE,      IDC_STATUS_AUTHENTICATION,
                        IDC_STATUS_ENCRYPTION, IDC_STATUS_RX_PACKETS, IDC_STATUS_TX_PACKETS};

Shown Read() {
    Shown s;
    HWND page = theStatusPage.Handle();
    for (int i = 0; i < 9; ++i) s.texts[i] = ItemText(page, kFields[i]);
    s.linkBar = static_cast<int>(SendDlgItemMessageA(page, IDC_STATUS_LINK_BAR, PBM_GETPOS, 0, 0));
    s.signalBar = static_cast<int>(SendDlgItemMessageA(page, IDC_STATUS_SIGNAL_BAR, PBM_GETPOS, 0, 0));
    return s;
}

std::vector<Step> Wait(int ticks) { return std::vector<Step>(ticks, [] {}); }

}  // namespace

TEST_F(StatusPage, ShowsEveryMemberOfTheRecord) {
    Open("status ssid=Harbor rate=0x8000D2F0 netmode=0 channel=0x04000985 security=1 "
         "rxpackets=1234 txpackets=567 disconnected=0 signal=30\n",
         "auth=2 quality=130");
    Shown s;
    RunMonitor(1, {[&] { s = Read(); }});
    EXPECT_EQ("Harbor", s.texts[0]);
    EXPECT_EQ("Infrastructure", s.texts[1]);
    EXPECT_EQ("54.0 Mbps", s.texts[2]);
    EXPECT_EQ("6", s.texts[3]);
    EXPECT_EQ("802.11g", s.texts[4]);
    EXPECT_EQ("Shared", s.texts[5]);
    EXPECT_EQ("WEP", s.texts[6]);
    EXPECT_EQ("1234", s.texts[7]);
    EXPECT_EQ("567", s.texts[8]);
    EXPECT_EQ(100, s.linkBar);  // 130 from the driver, kept to 100
    EXPECT_EQ(100, s.signalBar);
}

TEST_F(StatusPage, FiveGigahertzAdHocAndOpen) {
    Open("status ssid=Raft rate=5 netmode=1 channel=0x0100143C security=0 rxpackets=34 "
         "disconnected=0 signal=9\n",
         "auth=1 quality=20");
    theApp.editTxRate = 0;
    Shown s;
    RunMonitor(1, {[&] { s = Read(); }});
    EXPECT_EQ("Ad Hoc", s.texts[1]);
    EXPECT_EQ("11.0 Mbps", s.texts[2]);  // ad hoc, automatic rate, 34 packets
    EXPECT_EQ("36", s.texts[3]);
    EXPECT_EQ("Super A", s.texts[4]);
    EXPECT_EQ("Open", s.texts[5]);
    EXPECT_EQ("Disabled", s.texts[6]);
    EXPECT_EQ(67, s.linkBar);  // the signal percent of level 9, not the driver's 20
    EXPECT_EQ(67, s.signalBar);
}

TEST_F(StatusPage, RefreshesEverySecondAndEmptiesWhenTheAdapterGoes) {
    Open("status ssid=Harbor rate=11 netmode=0 channel=2412 disconnected=0 signal=30\n", "quality=55");
    Shown before, after;
    std::vector<Step> steps = {[&] {
        before = Read();
        theApp.adapterPresent = 0;
    }};
    std::vector<Step> wait = Wait(25);  // 1.5 s: at least one tick of the page's timer
    steps.insert(steps.end(), wait.begin(), wait.end());
    steps.push_back([&] { after = Read(); });
    RunMonitor(1, steps);
    EXPECT_EQ("Harbor", before.texts[0]);
    EXPECT_EQ("11.0 Mbps", before.texts[2]);
    EXPECT_EQ("1", before.texts[3]);
    EXPECT_EQ("802.11b", before.texts[4]);
    EXPECT_EQ(55, before.linkBar);
    for (int i = 0; i < 9; ++i) EXPECT_EQ("", after.texts[i]) << i;
    EXPECT_EQ(0, after.linkBar);
    EXPECT_EQ(0, after.signalBar);
}

TEST_F(StatusPage, DisconnectedKeepsTheTextsAndEmptiesTheBars) {
    Open("status ssid=Harbor rate=54 netmode=0 channel=2437 disconnected=1 signal=30\n", "quality=90");
    Shown s;
    RunMonitor(1, {[&] { s = Read(); }});
    EXPECT_EQ("Harbor", s.texts[0]);
    EXPECT_EQ("54.0 Mbps", s.texts[2]);
    EXPECT_EQ(0, s.linkBar);
    EXPECT_EQ(0, s.signalBar);
}
