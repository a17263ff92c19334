// Benchmark, run by hand: the Site Survey page in the real monitor window filling its list
// from the simulated driver (200 and 256 networks) and sorting 256 rows by each column in
// both directions. Prints milliseconds; not a test.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "athcfg/athsim.h"
#include "monitor/app/monitor_app.h"
#include "monitor/res/resource.h"
#include "monitor/ui/monitor_dlg.h"
#include "monitor/ui/site_survey_page.h"
#include "monitor/ui/survey_rows.h"
#include "tests/win/ui/modal_script.h"

namespace {

double Now() {
    LARGE_INTEGER t, f;
    QueryPerformanceCounter(&t);
    QueryPerformanceFrequency(&f);
    return 1000.0 * double(t.QuadPart) / double(f.QuadPart);
}

std::string Hex32(uint32_t v) {
    char text[9];
    std::snprintf(text, sizeof text, "%02X%02X%02X%02X", v & 0xFF, v >> 8 & 0xFF, v >> 16 & 0xFF, v >> 24);
    return text;
}

// `count` networks as the driver's raw answers: records without information elements
// (so 256 of them fit the 30 000-byte buffer), names, channels and signals mixed.
std::string Scenario(int count) {
    std::string text = "adapter guid={4A1B2C3D-0000-4000-8000-000000000000} subkey=0007 desc=\"Sim\" modes=28\n";
    text += "raw list=\"" + Hex32(uint32_t(count)) + "\"\n";
    for (int i = 0; i < count; ++i) {
        uint8_t r[survey::kElements] = {};
        auto put = [&](size_t at, uint32_t v) {
            for (int b = 0; b < 4; ++b) r[at + b] = uint8_t(v >> (8 * b));
        };
        unsigned mixed = unsigned(i) * 7919u % 1000u;
        put(survey::kRecordLength, sizeof r);
        r[survey::kBssid + 5] = uint8_t(i);
        char ssid[33];
        int n = std::snprintf(ssid, sizeof ssid, "Net-%03u", mixed);
        put(survey::kSsidLength, uint32_t(n));
        std::memcpy(r + survey::kSsid, ssid, size_t(n));
        put(survey::kPrivacy, i % 3 ? 1 : 0);
        put(survey::kRssi, uint32_t(-40 - int(mixed % 80)));
        put(survey::kFrequencyKHz, 2412000u + 5000u * (mixed % 13));
        put(survey::kInfrastructure, i % 5 ? 1 : 0);
        std::string line = "raw list=\"";
        char hex[3];
        for (uint8_t b : r) {
            std::snprintf(hex, sizeof hex, "%02X", b);
            line += hex;
        }
        text += line + "\"\n";
    }
    return text;
}

bool Install(int count) {
    char error[200] = {};
    if (AthSimInstallScenario(Scenario(count).c_str(), error, sizeof error)) return true;
    std::fprintf(stderr, "scenario: %s\n", error);
    return false;
}

HWND SurveyList() { return GetDlgItem(theSiteSurveyPage.Handle(), IDC_SURVEY_LIST); }

// The list's notification of a click on a column heading (some headings lie outside the
// list's visible width).
void ClickHeading(int column) {
    NMLISTVIEW click = {};
    click.hdr.hwndFrom = SurveyList();
    click.hdr.idFrom = IDC_SURVEY_LIST;
    click.hdr.code = LVN_COLUMNCLICK;
    click.iItem = -1;
    click.iSubItem = column;
    SendMessageA(theSiteSurveyPage.Handle(), WM_NOTIFY, IDC_SURVEY_LIST, reinterpret_cast<LPARAM>(&click));
}

// Opens the page `rounds` times on the current driver lists; milliseconds per opening.
double TimeFill(int rounds, int& rows) {
    double total = 0;
    RunMonitor(1, {[&] {
        for (int i = 0; i < rounds; ++i) {
            double start = Now();
            theMonitorDlg.SwitchPage(3);
            total += Now() - start;
            rows = int(SendMessageA(SurveyList(), LVM_GETITEMCOUNT, 0, 0));
            theMonitorDlg.SwitchPage(1);
        }
    }});
    return total / rounds;
}

}  // namespace

int main() {
    const int rounds = 10;
    int rows = 0;
    for (int networks : {200, 256}) {
        if (!Install(networks)) return 1;
        theApp.session.Discover();
        theApp.adapterPresent = 1;
        theApp.session.ReadStatusRecord(theApp.statusRecord);
        double ms = TimeFill(rounds, rows);
        std::printf("fill %d networks: %.2f ms per page opening (%d rows)\n", networks, ms, rows);
        theApp.session.CloseSession();
    }

    if (!Install(256)) return 1;
    theApp.session.Discover();
    theApp.adapterPresent = 1;
    theApp.session.ReadStatusRecord(theApp.statusRecord);
    const char* names[] = {"SSID", "BSSID", "Channel", "Security", "Signal", "Network Mode", "XR", "Network Type"};
    RunMonitor(3, {[&] {
        rows = int(SendMessageA(SurveyList(), LVM_GETITEMCOUNT, 0, 0));
        for (int column = 0; column < 8; ++column) {
            double first = 0, second = 0;
            for (int i = 0; i < rounds; ++i) {
                double start = Now();
                ClickHeading(column);
                double middle = Now();
                ClickHeading(column);
                first += middle - start;
                second += Now() - middle;
            }
            std::printf("sort %d rows by %-12s: %.2f ms, again (reversed): %.2f ms\n", rows, names[column],
                        first / rounds, second / rounds);
        }
    }});
    theApp.session.CloseSession();
    AthSimClear();
    return 0;
}
