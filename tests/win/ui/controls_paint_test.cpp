// The painted controls, drawn into a DIB and read back pixel by pixel.
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <utility>
#include <vector>

#include "monitor/controls/owner_draw_button.h"
#include "monitor/controls/progress/text_progress_ctrl.h"
#include "monitor/controls/traffic_graph/traffic_graph.h"
#include "monitor/res/resource.h"

namespace {

// A 32-bit top-down DIB selected into a memory DC.
class Canvas {
public:
    Canvas(int w, int h) : w_(w), h_(h) {
        BITMAPINFO bi = {};
        bi.bmiHeader.biSize = sizeof bi.bmiHeader;
        bi.bmiHeader.biWidth = w;
        bi.bmiHeader.biHeight = -h;
        bi.bmiHeader.biPlanes = 1;
        bi.bmiHeader.biBitCount = 32;
        dc_ = CreateCompatibleDC(nullptr);
        bitmap_ = CreateDIBSection(dc_, &bi, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits_), nullptr, 0);
        old_ = SelectObject(dc_, bitmap_);
        Fill(RGB(1, 2, 3));
    }
    ~Canvas() {
        SelectObject(dc_, old_);
        DeleteObject(bitmap_);
        DeleteDC(dc_);
    }
    HDC Dc() const { return dc_; }
    COLORREF At(int x, int y) const {
        GdiFlush();
        uint32_t p = bits_[y * w_ + x];
        return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
    }
    void Fill(COLORREF c) {
        RECT r = {0, 0, w_, h_};
        HBRUSH b = CreateSolidBrush(c);
        FillRect(dc_, &r, b);
        DeleteObject(b);
    }
    bool SameAs(const Canvas& o) const {
        for (int y = 0; y < h_; ++y)
            for (int x = 0; x < w_; ++x)
                if (At(x, y) != o.At(x, y)) return false;
        return true;
    }
    int W() const { return w_; }
    int H() const { return h_; }

private:
    int w_, h_;
    HDC dc_;
    HBITMAP bitmap_;
    HGDIOBJ old_;
    uint32_t* bits_ = nullptr;
};

// A hidden parent with a dialog font, for controls made on the fly.
class Host {
public:
    Host() {
        wnd_ = CreateWindowExA(0, "STATIC", "host", WS_POPUP, 0, 0, 400, 200, nullptr, nullptr,
                               GetModuleHandleA(nullptr), nullptr);
        font_ = CreateFontA(-11, 0, 0, 0, FW_NORMAL, 0, 0, 0, ANSI_CHARSET, 0, 0, NONANTIALIASED_QUALITY, 0, "Tahoma");
        SendMessageA(wnd_, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    }
    ~Host() {
        DestroyWindow(wnd_);
        DeleteObject(font_);
    }
    HWND Child(const char* cls, const char* text, DWORD style, int w, int h) {
        HWND c = CreateWindowExA(0, cls, text, WS_CHILD | WS_VISIBLE | style, 0, 0, w, h, wnd_, nullptr,
                                 GetModuleHandleA(nullptr), nullptr);
        SendMessageA(c, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
        return c;
    }
    HWND Handle() const { return wnd_; }
    HFONT Font() const { return font_; }

private:
    HWND wnd_;
    HFONT font_;
};

constexpr int kBarW = 270, kBarH = 20;

struct Bar {
    Host host;
    HWND hwnd;
    CTextProgressCtrl ctrl;
    Bar() {
        hwnd = host.Child(PROGRESS_CLASSA, "", 0, kBarW, kBarH);
        ctrl.Attach(hwnd);
        ctrl.SetQualityWords("Excellent", "Good", "Fair", "Poor");
        SendMessageA(hwnd, PBM_SETRANGE32, 0, 100);
        ctrl.startColour = RGB(228, 66, 4);
        ctrl.endColour = RGB(255, 255, 255);
    }
    void Paint(Canvas& c, int position, bool text) {
        SendMessageA(hwnd, PBM_SETPOS, position, 0);
        ctrl.showText = text;
        ctrl.Paint(c.Dc());
    }
};

// Colour runs along row y.
std::vector<COLORREF> Runs(const Canvas& c, int y) {
    std::vector<COLORREF> runs;
    for (int x = 0; x < c.W(); ++x)
        if (runs.empty() || runs.back() != c.At(x, y)) runs.push_back(c.At(x, y));
    return runs;
}

}  // namespace

TEST(TextProgressPaint, FullBarRunsFromTheStartColourIn251Blocks) {
    Bar bar;
    Canvas c(kBarW, kBarH);
    bar.Paint(c, 100, false);
    std::vector<COLORREF> row = Runs(c, 0);
    EXPECT_EQ(251u, row.size());
    EXPECT_EQ(RGB(228, 66, 4), c.At(0, 0));
    EXPECT_EQ(RGB(254, 254, 254), c.At(kBarW - 1, kBarH - 1));
}

TEST(TextProgressPaint, PositionZeroPaintsOnlyTheBackground) {
    Bar bar;
    Canvas c(kBarW, kBarH);
    bar.Paint(c, 0, false);
    std::vector<COLORREF> row = Runs(c, kBarH / 2);
    ASSERT_EQ(1u, row.size());
    EXPECT_EQ(GetSysColor(COLOR_BTNFACE), row[0]);
}

TEST(TextProgressPaint, HalfBarStopsNearTheMiddle) {
    Bar bar;
    Canvas c(kBarW, kBarH);
    bar.Paint(c, 50, false);
    EXPECT_NE(GetSysColor(COLOR_BTNFACE), c.At(kBarW / 2 - 1, 0));
    EXPECT_EQ(GetSysColor(COLOR_BTNFACE), c.At(kBarW / 2 + 2, 0));
}

TEST(TextProgressPaint, TextNamesThePercentAndQualityWord) {
    struct Case {
        int position;
        const char* text;
    } cases[] = {{0, "  0 % (Poor)"}, {25, " 25 % (Poor)"}, {26, " 26 % (Fair)"},
                 {75, " 75 % (Good)"}, {76, " 76 % (Excellent)"}};
    for (const Case& k : cases) {
        Bar bar;
        Canvas shown(kBarW, kBarH), expected(kBarW, kBarH);
        bar.Paint(shown, k.position, true);
        // The same bar without text, with the expected text drawn over it the same way.
        bar.Paint(expected, k.position, false);
        SetBkMode(expected.Dc(), TRANSPARENT);
        HGDIOBJ old = SelectObject(expected.Dc(), bar.host.Font());
        RECT r = {0, 0, kBarW, kBarH};
        DrawTextA(expected.Dc(), k.text, -1, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        SelectObject(expected.Dc(), old);
        EXPECT_TRUE(shown.SameAs(expected)) << k.text;

        Canvas plain(kBarW, kBarH);
        bar.Paint(plain, k.position, false);
        EXPECT_FALSE(shown.SameAs(plain)) << "no text drawn for " << k.text;
    }
}

TEST(TextProgressPaint, ResizingAfterTheFirstPaintKeepsThePaintedArea) {
    Bar bar;
    Canvas first(kBarW, kBarH), later(kBarW, kBarH);
    bar.Paint(first, 100, false);
    SetWindowPos(bar.hwnd, nullptr, 0, 0, 100, kBarH, SWP_NOMOVE | SWP_NOZORDER);
    bar.Paint(later, 100, false);
    EXPECT_TRUE(first.SameAs(later));
}

namespace {

constexpr int kButtonW = 98, kButtonH = 25;

struct Button {
    Host host;
    HWND hwnd;
    COwnerDrawButton ctrl;
    explicit Button(DWORD style, const char* text = "Help") {
        hwnd = host.Child("BUTTON", text, style, kButtonW, kButtonH);
        ctrl.Attach(hwnd);
    }
    void Draw(Canvas& c, UINT state, UINT action = ODA_DRAWENTIRE) {
        DRAWITEMSTRUCT d = {};
        d.CtlType = ODT_BUTTON;
        d.itemAction = action;
        d.itemState = state;
        d.hwndItem = hwnd;
        d.hDC = c.Dc();
        d.rcItem = RECT{0, 0, kButtonW, kButtonH};
        SelectObject(c.Dc(), host.Font());
        ctrl.DrawItem(d);
    }
};

// Whether the bitmap resource, ANDed with the face colour, appears at (x, y); only its
// first `rows` rows are compared.
bool BitmapAt(const Canvas& c, UINT id, int x0, int y0, int rows = 16) {
    HBITMAP bm = static_cast<HBITMAP>(
        LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    HDC mem = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(mem, bm);
    COLORREF face = GetSysColor(COLOR_BTNFACE);
    bool same = true;
    for (int y = 0; y < rows && same; ++y)
        for (int x = 0; x < 16 && same; ++x)
            same = c.At(x0 + x, y0 + y) == (GetPixel(mem, x, y) & face);
    SelectObject(mem, old);
    DeleteDC(mem);
    DeleteObject(bm);
    return same;
}

// Bounding box of the pixels of `colour` inside the caption area (right of the bitmap).
RECT InkBox(const Canvas& c, COLORREF colour) {
    RECT box = {1000, 1000, -1, -1};
    for (int y = 3; y < kButtonH - 3; ++y)
        for (int x = 24; x < kButtonW - 3; ++x)
            if (c.At(x, y) == colour) {
                box.left = std::min<LONG>(box.left, x);
                box.top = std::min<LONG>(box.top, y);
                box.right = std::max<LONG>(box.right, x);
                box.bottom = std::max<LONG>(box.bottom, y);
            }
    return box;
}

}  // namespace

TEST(OwnerDrawButtonPaint, HeldDownMovesCaptionAndBitmapWithABlackOutline) {
    Button b(BS_PUSHBUTTON);
    b.ctrl.SetBitmap(IDB_HELP);
    EXPECT_EQ(ButtonKind::Push, b.ctrl.Kind());
    EXPECT_EQ(BS_OWNERDRAW, GetWindowLongA(b.hwnd, GWL_STYLE) & 0xF);
    const Box bitmap = b.ctrl.Layout().bitmap;
    EXPECT_EQ(2, bitmap.left);
    EXPECT_EQ((kButtonH - 16) / 2, bitmap.top);

    Canvas up(kButtonW, kButtonH), down(kButtonW, kButtonH);
    b.Draw(up, 0);
    b.Draw(down, ODS_SELECTED);
    EXPECT_TRUE(BitmapAt(up, IDB_HELP, bitmap.left, bitmap.top));
    // The focus rectangle drawn while held down crosses the moved bitmap's last rows.
    EXPECT_TRUE(BitmapAt(down, IDB_HELP, bitmap.left + 2, bitmap.top + 2, 14));
    EXPECT_NE(RGB(0, 0, 0), up.At(0, kButtonH / 2));
    EXPECT_EQ(RGB(0, 0, 0), down.At(0, kButtonH / 2));
    EXPECT_EQ(RGB(0, 0, 0), down.At(kButtonW / 2, 0));

    // The caption rectangle loses 2 pixels at its left and top: the centred text moves by 1.
    RECT inkUp = InkBox(up, RGB(0, 0, 0)), inkDown = InkBox(down, RGB(0, 0, 0));
    ASSERT_GE(inkUp.right, 0) << "no caption drawn";
    EXPECT_EQ(inkUp.left + 1, inkDown.left);
    EXPECT_EQ(inkUp.top + 1, inkDown.top);
}

TEST(OwnerDrawButtonPaint, DisabledShowsGreyCaptionAndEmbossedBitmap) {
    Button b(BS_PUSHBUTTON);
    b.ctrl.SetBitmap(IDB_HELP);
    Canvas c(kButtonW, kButtonH);
    b.Draw(c, ODS_DISABLED);
    RECT grey = InkBox(c, GetSysColor(COLOR_GRAYTEXT));
    RECT black = InkBox(c, RGB(0, 0, 0));
    EXPECT_GE(grey.right, 0) << "no grey caption";
    EXPECT_LT(black.right, 0) << "black caption pixels left";

    const Box bm = b.ctrl.Layout().bitmap;
    EXPECT_FALSE(BitmapAt(c, IDB_HELP, bm.left, bm.top));
    std::set<COLORREF> colours;
    for (int y = bm.top; y < bm.bottom; ++y)
        for (int x = bm.left; x < bm.right; ++x) colours.insert(c.At(x, y));
    EXPECT_TRUE(colours.count(GetSysColor(COLOR_3DSHADOW)) || colours.count(GetSysColor(COLOR_GRAYTEXT)));
    EXPECT_TRUE(colours.count(GetSysColor(COLOR_3DHILIGHT)));
}

TEST(OwnerDrawButtonPaint, ToggleShowsItsCheckedBitmapPressedWhileChecked) {
    Button b(BS_AUTOCHECKBOX | BS_PUSHLIKE, "Radio OFF");
    b.ctrl.SetBitmaps(IDB_RADIO_OFF, IDB_RADIO_ON);
    EXPECT_EQ(ButtonKind::Toggle, b.ctrl.Kind());
    const Box bm = b.ctrl.Layout().bitmap;
    Canvas off(kButtonW, kButtonH), on(kButtonW, kButtonH);
    b.ctrl.SetCheck(0);
    b.Draw(off, 0);
    b.ctrl.SetCheck(1);
    b.Draw(on, 0);
    EXPECT_TRUE(BitmapAt(off, IDB_RADIO_OFF, bm.left, bm.top));
    EXPECT_TRUE(BitmapAt(on, IDB_RADIO_ON, bm.left + 1, bm.top + 1));
    // Raised: light top-left edge; pressed: dark.
    EXPECT_EQ(GetSysColor(COLOR_3DHILIGHT), off.At(0, 0));
    EXPECT_NE(GetSysColor(COLOR_3DHILIGHT), on.At(0, 0));
}

TEST(OwnerDrawButtonPaint, ToggleCaptionsFollowTheCheckedState) {
    Button b(BS_AUTOCHECKBOX | BS_PUSHLIKE, "Window text");
    b.ctrl.SetBitmaps(IDB_RADIO_OFF, IDB_RADIO_ON);
    Canvas withWindowText(kButtonW, kButtonH);
    b.Draw(withWindowText, 0);
    b.ctrl.SetCaptions("Scan", "Stop");
    Canvas offCaption(kButtonW, kButtonH), onCaption(kButtonW, kButtonH);
    b.Draw(offCaption, 0);
    b.ctrl.SetCheck(1);
    b.Draw(onCaption, 0);
    EXPECT_FALSE(withWindowText.SameAs(offCaption));
    RECT offInk = InkBox(offCaption, GetSysColor(COLOR_BTNTEXT));
    RECT onInk = InkBox(onCaption, GetSysColor(COLOR_BTNTEXT));
    EXPECT_GE(offInk.right, 0);
    EXPECT_GE(onInk.right, 0);
    EXPECT_NE(offInk.right - offInk.left, onInk.right - onInk.left);  // "Scan" vs "Stop" differ in width
}

TEST(OwnerDrawButtonState, CheckedFlipsOnlyWithAClick) {
    Button b(BS_AUTOCHECKBOX | BS_PUSHLIKE);
    b.ctrl.SetBitmaps(IDB_RADIO_OFF, IDB_RADIO_ON);
    EXPECT_EQ(0, b.ctrl.GetCheck());
    SendMessageA(b.hwnd, BM_CLICK, 0, 0);
    EXPECT_EQ(1, b.ctrl.GetCheck());
    // A release without a press before it (or after a drag away) is no click.
    SendMessageA(b.hwnd, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    EXPECT_EQ(1, b.ctrl.GetCheck());
    SendMessageA(b.hwnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    SendMessageA(b.hwnd, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(300, 5));
    SendMessageA(b.hwnd, WM_LBUTTONUP, 0, MAKELPARAM(300, 5));
    EXPECT_EQ(1, b.ctrl.GetCheck());
    SendMessageA(b.hwnd, BM_CLICK, 0, 0);
    EXPECT_EQ(0, b.ctrl.GetCheck());
}

TEST(OwnerDrawButtonState, ASecondBitmapDoesNotTurnAPushButtonIntoAToggle) {
    Button b(BS_PUSHBUTTON);
    b.ctrl.SetBitmap(IDB_HELP);
    b.ctrl.SetBitmap(IDB_HIDE);
    EXPECT_EQ(ButtonKind::Push, b.ctrl.Kind());
}

namespace {

// A traffic history as the chart reads it: 307 stored samples and a pen of its colour.
class FakeSeries : public TrafficSeries {
public:
    explicit FakeSeries(COLORREF colour) : samples(307, 0), pen_(CreatePen(PS_SOLID, 0, colour)) {}
    ~FakeSeries() override { DeleteObject(pen_); }
    // Pushes a value the way the poll does: stored twice.
    void Push(int value) {
        last = (last + 1) % static_cast<int>(samples.size());
        samples[last] = 2 * value;
    }
    int Capacity() const override { return static_cast<int>(samples.size()); }
    int Snapshot(int32_t* dest) const override {
        std::copy(samples.begin(), samples.end(), dest);
        return last;
    }
    HPEN Pen() const override { return pen_; }

    std::vector<int32_t> samples;
    int last = 0;

private:
    HPEN pen_;
};

constexpr COLORREF kRed = RGB(255, 0, 0), kGreen = RGB(0, 255, 0), kBlack = RGB(0, 0, 0),
                   kWhite = RGB(255, 255, 255), kGrid = RGB(110, 110, 110);
constexpr int kChartW = 440, kChartH = 240;

struct Chart {
    Host host;
    HWND frame;
    CTrafficGraph graph;
    FakeSeries out{kRed}, in{kGreen};
    Chart() {
        frame = host.Child("STATIC", "", SS_BLACKFRAME, kChartW, kChartH);
        graph.Attach(frame);
        graph.SetSeries("OUT", &out, "IN", &in);
    }
    void Paint(Canvas& c) { graph.Paint(c.Dc()); }
};

// `text` as the chart writes it: its font, centred in `box`, opaque on black.
void WriteLike(Canvas& c, const char* text, RECT box, COLORREF colour, UINT format) {
    HFONT font = CreateFontA(14, 0, 0, 0, 100, 0, 0, 0, 0, 0, 0, 0, 0, "Arial");
    HGDIOBJ old = SelectObject(c.Dc(), font);
    SetTextColor(c.Dc(), colour);
    SetBkColor(c.Dc(), kBlack);
    DrawTextA(c.Dc(), text, -1, &box, format);
    SelectObject(c.Dc(), old);
    DeleteObject(font);
}

constexpr UINT kCentred = DT_CENTER | DT_VCENTER | DT_SINGLELINE;

// Whether the pixels of `box` in the painted chart show `text` written there over the chart's
// fixed texts, and only it.
bool ShowsText(const Canvas& shown, const char* text, RECT box, COLORREF colour, UINT format = kCentred) {
    Canvas expected(kChartW, kChartH);
    expected.Fill(kBlack);
    WriteLike(expected, "OUT", RECT{365, 2, 393, 30}, kRed, kCentred);
    WriteLike(expected, "IN", RECT{402, 2, 430, 30}, kGreen, kCentred);
    WriteLike(expected, text, box, colour, format);
    bool inked = false;
    for (int y = box.top; y < box.bottom; ++y)
        for (int x = box.left; x < box.right; ++x) {
            if (shown.At(x, y) != expected.At(x, y)) return false;
            inked = inked || expected.At(x, y) == colour;
        }
    return inked;
}

// The newest sample's value label of the OUT (bar at x 365) or IN (402) series at `height`.
RECT LabelBox(int barLeft, int height) { return RECT{barLeft - 3, 213 - height, barLeft + 28 + 3, 228 - height}; }

// The rows of the bar in column x: the run of `colour` that ends on the bottom row 230.
std::pair<int, int> BarRows(const Canvas& c, int x, COLORREF colour) {
    int bottom = 230;
    while (bottom >= 0 && c.At(x, bottom) != colour) --bottom;
    int top = bottom;
    while (top > 0 && c.At(x, top - 1) == colour) --top;
    return {top, bottom};
}

}  // namespace

TEST(TrafficGraphPaint, OnlyZerosGiveTheSmallestScaleFlatLinesAndTwoPixelBars) {
    Chart chart;
    Canvas c(kChartW, kChartH);
    chart.Paint(c);
    EXPECT_TRUE(ShowsText(c, "5 %", RECT{2, 12, 44, 47}, kWhite));
    EXPECT_TRUE(ShowsText(c, "0.0%", RECT{5, 219, 44, 231}, kWhite, DT_LEFT | DT_TOP | DT_INTERNAL));
    EXPECT_EQ(std::make_pair(229, 230), BarRows(c, 370, kRed));
    EXPECT_EQ(std::make_pair(229, 230), BarRows(c, 410, kGreen));
    EXPECT_TRUE(ShowsText(c, "  0.0%", LabelBox(365, 0), kRed));
    EXPECT_TRUE(ShowsText(c, "  0.0%", LabelBox(402, 0), kGreen));
    // Both lines lie on row 229 from x 352 leftwards; IN, drawn last, covers OUT.
    for (int x : {352, 200, 60}) {
        EXPECT_EQ(kGreen, c.At(x, 229)) << x;
        EXPECT_NE(kGreen, c.At(x, 226)) << x;
        EXPECT_NE(kRed, c.At(x, 226)) << x;
    }
    EXPECT_EQ(kBlack, c.At(0, 0));
    EXPECT_EQ(kGrid, c.At(100, 181));  // a horizontal grid line
}

TEST(TrafficGraphPaint, TheLargestValueSetsScaleHeightAndLabel) {
    struct Case {
        int value;
        const char* scale;
        int height;
        const char* label;
    } cases[] = {{3, "5 %", 120, "  3.0%"}, {30, "50 %", 120, " 30.0%"}, {100, "100 %", 200, "100.0%"}};
    for (const Case& k : cases) {
        Chart chart;
        chart.in.Push(1);  // smaller: the scale follows OUT's value
        chart.out.Push(k.value);
        Canvas c(kChartW, kChartH);
        chart.Paint(c);
        EXPECT_TRUE(ShowsText(c, k.scale, RECT{2, 12, 44, 47}, kWhite)) << k.value;
        EXPECT_EQ(std::make_pair(229 - k.height, 230), BarRows(c, 370, kRed)) << k.value;
        EXPECT_TRUE(ShowsText(c, k.label, LabelBox(365, k.height), kRed)) << k.value;
        // The OUT line starts at the newest sample's height, then drops to the older zeros.
        int middle = 229 - k.height / 2;
        EXPECT_EQ(kRed, c.At(352, 229 - k.height)) << k.value;
        EXPECT_TRUE(c.At(351, middle) == kRed || c.At(352, middle) == kRed) << k.value;
        EXPECT_NE(kRed, c.At(340, middle)) << k.value;
        EXPECT_EQ(kGreen, c.At(340, 229)) << k.value;  // IN's older zeros cover OUT's
    }
}

TEST(TrafficGraphPaint, TheVerticalGridMovesLeftEachPaintAndIsBackAfter35) {
    Chart chart;
    // The rightmost grid column on a row that only the grid crosses.
    auto rightmostColumn = [](const Canvas& c) {
        for (int x = 354; x >= 45; --x)
            if (c.At(x, 50) == kGrid) return x;
        return -1;
    };
    Canvas first(kChartW, kChartH), next(kChartW, kChartH), again(kChartW, kChartH);
    chart.Paint(first);
    chart.Paint(next);
    int x0 = rightmostColumn(first), x1 = rightmostColumn(next);
    ASSERT_GE(x0, 320);
    // One pixel further left, or back at the right end after the 35th phase.
    EXPECT_EQ(x0 == 320 ? 354 : x0 - 1, x1);
    EXPECT_EQ(kGrid, first.At(x0 - 35, 50));
    EXPECT_FALSE(first.SameAs(next));
    for (int i = 2; i < 35; ++i) chart.Paint(next);
    chart.Paint(again);  // the 36th paint: 35 after the first
    EXPECT_TRUE(first.SameAs(again));
}

namespace {
int g_nameSets = 0;
HWND g_namedChart = nullptr;
LRESULT CALLBACK CountNameSets(int code, WPARAM wp, LPARAM lp) {
    const auto* m = reinterpret_cast<const CWPSTRUCT*>(lp);
    if (code == HC_ACTION && m->message == WM_SETTEXT && m->hwnd == g_namedChart) ++g_nameSets;
    return CallNextHookEx(nullptr, code, wp, lp);
}
}  // namespace

TEST(TrafficGraphPaint, ItsNameReadsTheNewestFiguresAndChangesOnlyWithThem) {
    Chart chart;
    g_namedChart = chart.frame;
    g_nameSets = 0;
    HHOOK hook = SetWindowsHookExA(WH_CALLWNDPROC, CountNameSets, nullptr, GetCurrentThreadId());
    struct Case {
        int out, in;
        const char* name;
        int sets;  // name changes counted so far
    } cases[] = {{35, 54, "OUT 35.0 %, IN 54.0 %", 1},
                 {35, 54, "OUT 35.0 %, IN 54.0 %", 1},  // the same figures: no new name
                 {100, 0, "OUT 100.0 %, IN 0.0 %", 2},
                 {3, 1, "OUT 3.0 %, IN 1.0 %", 3}};
    for (const Case& k : cases) {
        chart.out.Push(k.out);
        chart.in.Push(k.in);
        chart.graph.UpdateName();
        char name[64] = {};
        GetWindowTextA(chart.frame, name, sizeof name);
        EXPECT_STREQ(k.name, name);
        EXPECT_EQ(k.sets, g_nameSets) << k.name;
    }
    UnhookWindowsHookEx(hook);
}
