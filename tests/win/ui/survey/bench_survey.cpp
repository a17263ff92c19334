// Benchmark, run by hand: the Site Survey page in the real monitor window filling its list
// from the simulated driver (200 and 256 networks) and sorting 256 rows by each column in
// both directions, beside the floors measured in the same run: the page opened on no
// networks, a bare report-view list made as the page's and filled with the same rows and
// texts, and that list's own sort with a trivial comparison. Prints medians in
// milliseconds and the ratios; not a test. Argument: the number of passes (5).
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "athcfg/athcfg.h"
#include "athcfg/sim/athsim.h"
#include "monitor/adapter/oids.h"
#include "monitor/app/monitor_app.h"
#include "monitor/res/resource.h"
#include "monitor/ui/monitor_dlg.h"
#include "monitor/ui/survey/site_survey_page.h"
#include "monitor/ui/survey/survey_rows.h"
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
void ClickHeading(HWND list, int column) {
    NMLISTVIEW click = {};
    click.hdr.hwndFrom = list;
    click.hdr.idFrom = IDC_SURVEY_LIST;
    click.hdr.code = LVN_COLUMNCLICK;
    click.iItem = -1;
    click.iSubItem = column;
    SendMessageA(theSiteSurveyPage.Handle(), WM_NOTIFY, IDC_SURVEY_LIST, reinterpret_cast<LPARAM>(&click));
}

double Median(std::vector<double> times) {
    std::sort(times.begin(), times.end());
    return times.empty() ? 0 : times[times.size() / 2];
}

// What the page's list looks like after a fill: its size, font, columns and texts.
struct ListShape {
    RECT rect = {};
    LOGFONTA font = {};
    std::vector<std::string> titles;
    std::vector<int> widths;
    std::vector<std::vector<std::string>> rows;
};

ListShape PageListShape() {
    ListShape shape;
    HWND list = SurveyList();
    GetWindowRect(list, &shape.rect);
    GetObjectA(reinterpret_cast<HGDIOBJ>(SendMessageA(list, WM_GETFONT, 0, 0)), sizeof shape.font, &shape.font);
    HWND header = reinterpret_cast<HWND>(SendMessageA(list, LVM_GETHEADER, 0, 0));
    int columns = int(SendMessageA(header, HDM_GETITEMCOUNT, 0, 0));
    for (int column = 0; column < columns; ++column) {
        char text[256] = {};
        LVCOLUMNA item = {};
        item.mask = LVCF_TEXT | LVCF_WIDTH;
        item.pszText = text;
        item.cchTextMax = sizeof text;
        SendMessageA(list, LVM_GETCOLUMNA, column, reinterpret_cast<LPARAM>(&item));
        shape.titles.push_back(text);
        shape.widths.push_back(item.cx);
    }
    int count = int(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
    for (int row = 0; row < count; ++row) {
        shape.rows.emplace_back();
        for (int column = 0; column < columns; ++column) {
            char text[256] = {};
            LVITEMA item = {};
            item.iSubItem = column;
            item.pszText = text;
            item.cchTextMax = sizeof text;
            SendMessageA(list, LVM_GETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item));
            shape.rows.back().push_back(text);
        }
    }
    return shape;
}

// The texts a bare list with texts on request shows.
const std::vector<std::vector<std::string>>* g_requested = nullptr;

LRESULT CALLBACK HostProc(HWND window, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_NOTIFY && reinterpret_cast<NMHDR*>(lp)->code == LVN_GETDISPINFOA && g_requested) {
        LVITEMA& item = reinterpret_cast<NMLVDISPINFOA*>(lp)->item;
        size_t row = size_t(item.lParam), column = size_t(item.iSubItem);
        if ((item.mask & LVIF_TEXT) && row < g_requested->size() && column < (*g_requested)[row].size())
            lstrcpynA(item.pszText, (*g_requested)[row][column].c_str(), item.cchTextMax);
        return 0;
    }
    return DefWindowProcA(window, msg, wp, lp);
}

// A bare report-view list made as the page's (styles, extended styles, size, font, column
// titles and widths), no rows yet, in a hidden child of a window on screen. Like the
// page's list when the page opens, it is filled while its parent is hidden, and then the
// parent is shown (the list itself is not told: showing a list of its own costs more).
struct BareList {
    HWND top = nullptr, host = nullptr, list = nullptr;
    HFONT font = nullptr;
    explicit BareList(ListShape& shape) {
        WNDCLASSA type = {};
        type.lpfnWndProc = HostProc;
        type.hInstance = GetModuleHandleA(nullptr);
        type.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        type.lpszClassName = "BareListHost";
        RegisterClassA(&type);
        const int width = shape.rect.right - shape.rect.left, height = shape.rect.bottom - shape.rect.top;
        top = CreateWindowExA(0, "BareListHost", "", WS_POPUP | WS_VISIBLE, 0, 0, width, height, nullptr, nullptr,
                              GetModuleHandleA(nullptr), nullptr);
        host = CreateWindowExA(0, "BareListHost", "", WS_CHILD, 0, 0, width, height, top, nullptr,
                               GetModuleHandleA(nullptr), nullptr);
        font = CreateFontIndirectA(&shape.font);
        list = CreateWindowExA(0, WC_LISTVIEWA, "",
                               WS_CHILD | WS_VISIBLE | WS_BORDER | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS, 0, 0,
                               width, height, host, nullptr, GetModuleHandleA(nullptr), nullptr);
        SendMessageA(list, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        SendMessageA(list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT | LVS_EX_INFOTIP,
                     LVS_EX_FULLROWSELECT | LVS_EX_INFOTIP);
        for (size_t i = 0; i < shape.titles.size(); ++i) {
            LVCOLUMNA column = {};
            column.mask = LVCF_FMT | LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
            column.pszText = &shape.titles[i][0];
            column.cx = shape.widths[i];
            column.iSubItem = int(i);
            SendMessageA(list, LVM_INSERTCOLUMNA, i, reinterpret_cast<LPARAM>(&column));
        }
        ShowWindow(host, SW_SHOW);
        UpdateWindow(top);
    }
    ~BareList() {
        DestroyWindow(top);
        DeleteObject(font);
    }
};

// Samples in milliseconds: up to the last message, and with the list painted.
struct Times {
    std::vector<double> work, painted;
    void Add(double start, double sent, double end) {
        work.push_back(sent - start);
        painted.push_back(end - start);
    }
    double Work() const { return Median(work); }
    double Painted() const { return Median(painted); }
};

// The platform's part of a fill: the rows (and, unless `requested`, their texts) put into
// the list while its parent is hidden, which is then shown and painted once.
void TimeBareFill(const BareList& bare, const ListShape& shape, bool requested, int rounds, Times& times) {
    HWND list = bare.list;
    g_requested = &shape.rows;
    for (int i = 0; i < rounds; ++i) {
        ShowWindow(bare.host, SW_HIDE);
        UpdateWindow(bare.top);
        double start = Now();
        SendMessageA(list, WM_SETREDRAW, FALSE, 0);
        SendMessageA(list, LVM_DELETEALLITEMS, 0, 0);
        SendMessageA(list, LVM_SETITEMCOUNT, shape.rows.size(), 0);
        for (size_t r = 0; r < shape.rows.size(); ++r) {
            LVITEMA item = {};
            item.mask = LVIF_TEXT | LVIF_PARAM;
            item.iItem = int(r);
            item.lParam = LPARAM(r);
            item.pszText = requested ? LPSTR_TEXTCALLBACKA : const_cast<char*>(shape.rows[r][0].c_str());
            int index = int(SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
            for (size_t c = 1; c < shape.rows[r].size() && !requested; ++c) {
                LVITEMA sub = {};
                sub.iSubItem = int(c);
                sub.pszText = const_cast<char*>(shape.rows[r][c].c_str());
                SendMessageA(list, LVM_SETITEMTEXTA, index, reinterpret_cast<LPARAM>(&sub));
            }
        }
        SendMessageA(list, WM_SETREDRAW, TRUE, 0);
        InvalidateRect(list, nullptr, TRUE);
        ShowWindow(bare.host, SW_SHOW);
        double sent = Now();
        UpdateWindow(bare.top);
        times.Add(start, sent, Now());
    }
}

int CALLBACK Trivial(LPARAM first, LPARAM second, LPARAM ascending) {
    int order = first < second ? -1 : first > second ? 1 : 0;
    return ascending ? order : -order;
}

// A list's own sort with a trivial comparison, alternately up and down.
void TimeBareSort(HWND list, int rounds, Times& times) {
    for (int i = 0; i < rounds; ++i) {
        double start = Now();
        SendMessageA(list, LVM_SORTITEMS, WPARAM(i % 2), reinterpret_cast<LPARAM>(Trivial));
        double sent = Now();
        UpdateWindow(list);
        times.Add(start, sent, Now());
    }
}

// Opens the page `rounds` times on the current driver lists.
void TimeFill(int rounds, int& rows, Times& times) {
    RunMonitor(1, {[&] {
        for (int i = 0; i < rounds; ++i) {
            // The page shown before goes first, untimed: what its closing costs is no part
            // of the Site Survey page, and it depends on the driver's state.
            CMonitorDlg::Page(theMonitorDlg.currentPage)->Destroy();
            UpdateWindow(Monitor());
            double start = Now();
            theMonitorDlg.SwitchPage(3);
            double sent = Now();
            UpdateWindow(Monitor());
            times.Add(start, sent, Now());
            rows = int(SendMessageA(SurveyList(), LVM_GETITEMCOUNT, 0, 0));
            theMonitorDlg.SwitchPage(1);
            UpdateWindow(Monitor());
        }
    }});
}

// The driver's two network lists read as the page reads them.
void TimeDriverReads(int rounds, Times& times, DWORD& bytes) {
    static uint8_t buffer[kScanBufferSize];
    for (int i = 0; i < rounds; ++i) {
        double start = Now();
        bytes = 0;
        for (uint32_t oid : {oid::kNetworkList, oid::kVendorNetworkList}) {
            DWORD written = 0, length = sizeof buffer;
            AcsGetOid(theApp.session.deviceName.c_str(), oid, &written, buffer, &length);
            bytes += written;
        }
        double end = Now();
        times.Add(start, end, end);
    }
}

void Prepare(int networks) {
    theApp.session.CloseSession();
    if (!Install(networks)) std::exit(1);
    theApp.session.Discover();
    theApp.adapterPresent = 1;
    theApp.session.ReadStatusRecord(theApp.statusRecord);
}

}  // namespace

int main(int argc, char** argv) {
    // Every figure is sampled in each pass, so that a busy moment of a shared machine
    // spreads over all of them; the medians are printed.
    const int passes = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    const int rounds = 5;
    const char* names[] = {"SSID", "BSSID", "Channel", "Security", "Signal", "Network Mode", "XR", "Network Type"};
    Times empty, fills[2], bareFills[2], requestFills[2], driverReads[2], sorts, columnSorts[8][2], listSorts, scanToggles, bareSorts;
    int rows = 0, filled[2] = {};
    DWORD driverBytes[2] = {};
    ListShape shape;
    for (int pass = 0; pass < passes; ++pass) {
        Prepare(0);
        TimeFill(rounds, rows, empty);
        for (int n = 0; n < 2; ++n) {
            Prepare(n ? 256 : 200);
            TimeFill(rounds, filled[n], fills[n]);
            TimeDriverReads(rounds, driverReads[n], driverBytes[n]);
            RunMonitor(3, {[&] { shape = PageListShape(); }});
            BareList bare(shape);
            TimeBareFill(bare, shape, false, rounds, bareFills[n]);
            TimeBareFill(bare, shape, true, rounds, requestFills[n]);
        }
        RunMonitor(3, {[&] {
            // Looked up once: a lookup asks Wine's server, and is not the page's work.
            HWND list = SurveyList();
            rows = int(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
            for (int column = 0; column < 8; ++column) {
                for (int i = 0; i < rounds; ++i) {
                    for (Times* times : {&columnSorts[column][0], &columnSorts[column][1]}) {
                        double start = Now();
                        ClickHeading(list, column);
                        double sent = Now();
                        UpdateWindow(list);
                        double end = Now();
                        times->Add(start, sent, end);
                        sorts.Add(start, sent, end);
                    }
                }
            }
            // What the page's sort holds beside its comparison: the list's own sort of the
            // same rows on screen, and Scan disabled and enabled again around it.
            TimeBareSort(list, 4 * rounds, listSorts);
            HWND scan = GetDlgItem(theSiteSurveyPage.Handle(), IDC_SCAN_BUTTON);
            for (int i = 0; i < 4 * rounds; ++i) {
                double start = Now();
                LONG_PTR style = GetWindowLongPtrA(scan, GWL_STYLE);
                SetWindowLongPtrA(scan, GWL_STYLE, style | WS_DISABLED);
                SetWindowLongPtrA(scan, GWL_STYLE, style);
                scanToggles.Add(start, Now(), Now());
            }
        }});
        BareList bare(shape);
        Times unused;
        TimeBareFill(bare, shape, false, 1, unused);
        TimeBareSort(bare.list, 4 * rounds, bareSorts);
    }

    std::printf("medians of %d passes of %d rounds; \"painted\": until the list is painted on screen\n", passes,
                rounds);
    std::printf("floor: the page opened on no networks: %.2f ms, painted %.2f ms\n", empty.Work(),
                empty.Painted());
    for (int n = 0; n < 2; ++n) {
        std::printf("fill %d networks: %.2f ms per page opening (%d rows); floor: bare list filled: %.2f ms; "
                    "(fill - empty page) / bare list = %.2f\n",
                    n ? 256 : 200, fills[n].Work(), filled[n], bareFills[n].Work(),
                    (fills[n].Work() - empty.Work()) / bareFills[n].Work());
        std::printf("  painted: %.2f ms; bare list %.2f ms; (fill - empty page) / bare list = %.2f\n",
                    fills[n].Painted(), bareFills[n].Painted(),
                    (fills[n].Painted() - empty.Painted()) / bareFills[n].Painted());
        std::printf("  the bare list with texts on request (LVN_GETDISPINFO): %.2f ms, painted %.2f ms\n",
                    requestFills[n].Work(), requestFills[n].Painted());
        std::printf("  of the fill: the driver's two network lists read (%lu bytes) %.2f ms\n",
                    static_cast<unsigned long>(driverBytes[n]), driverReads[n].Work());
    }
    for (int column = 0; column < 8; ++column)
        std::printf("sort %d rows by %-12s: %.2f ms, again (reversed): %.2f ms\n", rows, names[column],
                    columnSorts[column][0].Work(), columnSorts[column][1].Work());
    std::printf("sort: %.2f ms; floor: bare LVM_SORTITEMS, trivial comparison: %.2f ms; sort / bare sort = %.2f\n",
                sorts.Work(), bareSorts.Work(), sorts.Work() / bareSorts.Work());
    std::printf("  painted: %.2f ms; bare %.2f ms; sort / bare sort = %.2f\n", sorts.Painted(),
                bareSorts.Painted(), sorts.Painted() / bareSorts.Painted());
    std::printf("  of the sort: the page's list sorted with the trivial comparison %.2f ms, "
                "Scan disabled and enabled %.2f ms\n",
                listSorts.Work(), scanToggles.Work());
    std::printf("  (sort - Scan disabled and enabled) / bare sort = %.2f\n",
                (sorts.Work() - scanToggles.Work()) / bareSorts.Work());

    // The Channel View's drawing of the 256 networks, into a bitmap of its opening size.
    std::vector<double> draws;
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
            draws.push_back(Now() - start);
        }
        SelectObject(dc, old);
        DeleteObject(dib);
        DeleteDC(dc);
    }});
    std::printf("channel view: %.2f ms per drawing of %d networks\n", Median(draws), rows);
    theApp.session.CloseSession();
    AthSimClear();
    return 0;
}
