// Benchmark, run by hand: the Site Survey page in the real monitor window filling its list
// from the simulated driver (200 and 256 networks) and sorting 256 rows by each column in
// both directions, beside the floors measured in the same run: the page opened on no
// networks, a bare report-view list filled with the same rows and texts, and that list's
// own sort with a trivial comparison. Prints milliseconds and the ratios; not a test.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

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

// A bare report-view list, as large as the page's, with the same columns.
HWND BareList() {
    HWND list = CreateWindowExA(0, WC_LISTVIEWA, "", WS_POPUP | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS,
                                0, 0, 440, 300, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    for (int i = 0; i < 8; ++i) {
        LVCOLUMNA column = {};
        column.mask = LVCF_FMT | LVCF_TEXT | LVCF_WIDTH;
        column.pszText = const_cast<char*>("Column");
        column.cx = 60;
        SendMessageA(list, LVM_INSERTCOLUMNA, i, reinterpret_cast<LPARAM>(&column));
    }
    return list;
}

using Table = std::vector<std::vector<std::string>>;

Table PageTexts() {
    Table rows;
    HWND list = SurveyList();
    int count = int(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
    for (int row = 0; row < count; ++row) {
        rows.emplace_back();
        for (int column = 0; column < 8; ++column) {
            char text[256] = {};
            LVITEMA item = {};
            item.iSubItem = column;
            item.pszText = text;
            item.cchTextMax = sizeof text;
            SendMessageA(list, LVM_GETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item));
            rows.back().push_back(text);
        }
    }
    return rows;
}

// The platform's part of a fill: the rows and texts put into a list, one repaint.
double TimeBareFill(HWND list, const Table& rows, int rounds) {
    double total = 0;
    for (int i = 0; i < rounds; ++i) {
        double start = Now();
        SendMessageA(list, WM_SETREDRAW, FALSE, 0);
        SendMessageA(list, LVM_DELETEALLITEMS, 0, 0);
        for (size_t r = 0; r < rows.size(); ++r) {
            LVITEMA item = {};
            item.mask = LVIF_TEXT | LVIF_PARAM;
            item.iItem = int(r);
            item.lParam = LPARAM(r);
            item.pszText = const_cast<char*>(rows[r][0].c_str());
            int index = int(SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
            for (size_t c = 1; c < rows[r].size(); ++c) {
                LVITEMA sub = {};
                sub.iSubItem = int(c);
                sub.pszText = const_cast<char*>(rows[r][c].c_str());
                SendMessageA(list, LVM_SETITEMTEXTA, index, reinterpret_cast<LPARAM>(&sub));
            }
        }
        SendMessageA(list, WM_SETREDRAW, TRUE, 0);
        total += Now() - start;
    }
    return total / rounds;
}

int CALLBACK Trivial(LPARAM first, LPARAM second, LPARAM ascending) {
    int order = first < second ? -1 : first > second ? 1 : 0;
    return ascending ? order : -order;
}

// The list's own sort with a trivial comparison, alternately up and down.
double TimeBareSort(HWND list, int rounds) {
    double total = 0;
    for (int i = 0; i < rounds; ++i) {
        double start = Now();
        SendMessageA(list, LVM_SORTITEMS, WPARAM(i % 2), reinterpret_cast<LPARAM>(Trivial));
        total += Now() - start;
    }
    return total / rounds;
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

void Prepare(int networks) {
    theApp.session.CloseSession();
    if (!Install(networks)) std::exit(1);
    theApp.session.Discover();
    theApp.adapterPresent = 1;
    theApp.session.ReadStatusRecord(theApp.statusRecord);
}

}  // namespace

int main() {
    const int rounds = 10;
    int rows = 0;
    Prepare(0);
    double empty = TimeFill(rounds, rows);
    std::printf("floor: the page opened on no networks: %.2f ms (%d rows)\n", empty, rows);
    HWND bare = BareList();
    Table texts;
    for (int networks : {200, 256}) {
        Prepare(networks);
        double ms = TimeFill(rounds, rows);
        RunMonitor(3, {[&] { texts = PageTexts(); }});
        double floor = TimeBareFill(bare, texts, rounds);
        std::printf("fill %d networks: %.2f ms per page opening (%d rows); floor: bare list filled: %.2f ms; "
                    "(fill - empty page) / bare list = %.2f\n",
                    networks, ms, rows, floor, (ms - empty) / floor);
    }

    Prepare(256);
    double sorts = 0;
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
            sorts += first + second;
            std::printf("sort %d rows by %-12s: %.2f ms, again (reversed): %.2f ms\n", rows, names[column],
                        first / rounds, second / rounds);
        }
    }});
    double sort = sorts / (16 * rounds);
    double bareSort = TimeBareSort(bare, 4 * rounds);
    std::printf("sort: %.2f ms on average; floor: bare LVM_SORTITEMS, trivial comparison: %.2f ms; "
                "sort / bare sort = %.2f\n",
                sort, bareSort, sort / bareSort);
    DestroyWindow(bare);

    // The Channel View's drawing of the 256 networks, into a bitmap of its opening size.
    double draw = 0;
    RunMonitor(3, {[&] {
        BITMAPINFO bmi = {};
        bmi.bmiHeader.biSize = sizeof bmi.bmiHeader;
        bmi.bmiHeader.biWidth = 520;
        bmi.bmiHeader.biHeight = -360;
        bmi.bmiHeader.biPlanes = 1;
        bmi.bmiHeader.biBitCount = 32;
        void* bits = nullptr;
        HDC dc = CreateCompatibleDC(nullptr);
        HBITMAP dib = CreateDIBSection(dc, &bmi, DIB_RGB_COLORS, &bits, nullptr, 0);
        HGDIOBJ old = SelectObject(dc, dib);
        RECT area = {0, 0, 520, 360};
        for (int i = 0; i < rounds; ++i) {
            double start = Now();
            theSiteSurveyPage.channelView.Draw(dc, area);
            draw += Now() - start;
        }
        SelectObject(dc, old);
        DeleteObject(dib);
        DeleteDC(dc);
    }});
    std::printf("channel view: %.2f ms per drawing of %d networks\n", draw / rounds, rows);
    theApp.session.CloseSession();
    AthSimClear();
    return 0;
}
