#include "monitor/controls/traffic_graph/traffic_graph.h"

#include <algorithm>
#include <vector>

#include "monitor/controls/traffic_graph/traffic_graph_layout.h"

namespace {
// One grid for every chart in the process: each paint moves it one pixel to the left.
uint8_t g_gridPhase = 0;

constexpr COLORREF kGridColour = RGB(110, 110, 110);
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);

RECT ToRect(const traffic::Rect& r) { return RECT{r.left, r.top, r.right, r.bottom}; }

void DrawCentred(HDC dc, const std::string& text, const traffic::Rect& box) {
    RECT r = ToRect(box);
    DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
}

COLORREF PenColour(HPEN pen) {
    LOGPEN lp = {};
    return pen && GetObjectA(pen, sizeof lp, &lp) ? lp.lopnColor : kWhite;
}

}  // namespace

CTrafficGraph::Samples CTrafficGraph::Take(const TrafficSeries* series) {
    Samples s;
    if (!series || series->Capacity() <= 0) return s;
    s.samples.resize(series->Capacity());
    s.last = series->Snapshot(s.samples.data());
    s.largest = traffic::LargestSample(s.samples.data(), static_cast<int>(s.samples.size()));
    return s;
}

CTrafficGraph::CTrafficGraph()
    : font_(CreateFontA(14, 0, 0, 0, 100, 0, 0, 0, 0, 0, 0, 0, 0, "Arial")) {}

CTrafficGraph::~CTrafficGraph() {
    if (font_) DeleteObject(font_);
}

bool CTrafficGraph::Attach(HWND frame) {
    name_.clear();  // a new frame has no name yet
    return Subclass(frame);
}

void CTrafficGraph::SetSeries(const std::string& outText, const TrafficSeries* out,
                              const std::string& inText, const TrafficSeries* in) {
    outText_ = outText;
    out_ = out;
    inText_ = inText;
    in_ = in;
}

LRESULT CTrafficGraph::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_PAINT: return OnPaint();
    case WM_PRINTCLIENT: Paint(reinterpret_cast<HDC>(wp)); return 0;
    case WM_SETFOCUS:
    case WM_KILLFOCUS: return OnFocusChanged(msg, wp, lp);
    // The name is kept as the window's own text, which a frame static would not keep.
    case WM_SETTEXT: return DefWindowProcA(Handle(), msg, wp, lp);
    }
    return Default(msg, wp, lp);
}

// The chart is a tab stop, so that a screen reader reaches its name: it shows a focus
// rectangle while it has the focus.
LRESULT CTrafficGraph::OnFocusChanged(UINT msg, WPARAM wp, LPARAM lp) {
    InvalidateRect(Handle(), nullptr, FALSE);
    return Default(msg, wp, lp);
}

void CTrafficGraph::UpdateName() {
    Samples out = Take(out_), in = Take(in_);
    int factor = traffic::ScaleFactor(std::max(out.largest, in.largest));
    auto newest = [factor](const Samples& s) {
        bool has = s.last >= 0 && s.last < static_cast<int>(s.samples.size());
        return has ? traffic::NewestValue(s.samples[s.last], factor) : 0;
    };
    std::string name = traffic::ChartName(outText_, newest(out), inText_, newest(in));
    if (name == name_) return;
    name_ = name;
    SetWindowTextA(Handle(), name_.c_str());
}

LRESULT CTrafficGraph::OnPaint() {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(Handle(), &ps);
    Paint(dc);
    EndPaint(Handle(), &ps);
    return 0;
}

void CTrafficGraph::Paint(HDC dc) {
    HGDIOBJ oldFont = SelectObject(dc, font_);
    RECT client = {};
    GetClientRect(Handle(), &client);
    // The fixed layout may reach past a small frame; paint at least all of it.
    client.right = std::max<LONG>(client.right, traffic::kInBar.right + 3);
    client.bottom = std::max<LONG>(client.bottom, traffic::kPlot.bottom);
    FillRect(dc, &client, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    RECT plot = ToRect(traffic::kPlot);
    DrawEdge(dc, &plot, EDGE_BUMP, BF_RECT);

    SetTextColor(dc, kWhite);
    SetBkColor(dc, kBlack);
    RECT zero = ToRect(traffic::kZeroLabel);
    DrawTextA(dc, "0.0%", -1, &zero, DT_LEFT | DT_TOP | DT_INTERNAL);
    SetTextColor(dc, RGB(255, 0, 0));
    DrawCentred(dc, outText_, traffic::kOutBar);
    SetTextColor(dc, RGB(0, 255, 0));
    DrawCentred(dc, inText_, traffic::kInBar);

    PaintGrid(dc);

    Samples out = Take(out_), in = Take(in_);
    scaleBasis_ = std::max(out.largest, in.largest);
    SetTextColor(dc, kWhite);
    DrawCentred(dc, traffic::ScaleLabel(scaleBasis_), traffic::kScaleLabel);

    int factor = traffic::ScaleFactor(scaleBasis_);
    if (out_) PaintSeries(dc, out, out_->Pen(), factor, traffic::kOutBar);
    if (in_) PaintSeries(dc, in, in_->Pen(), factor, traffic::kInBar);
    if (GetFocus() == Handle()) {
        RECT focus = client;
        InflateRect(&focus, -1, -1);
        DrawFocusRect(dc, &focus);
    }
    SelectObject(dc, oldFont);
}

void CTrafficGraph::PaintGrid(HDC dc) {
    HPEN pen = CreatePen(PS_SOLID, 0, kGridColour);
    HGDIOBJ oldPen = SelectObject(dc, pen);
    for (int y : traffic::kGridRows) {
        MoveToEx(dc, traffic::kPlot.left, y, nullptr);
        LineTo(dc, traffic::kPlot.right, y);
    }
    g_gridPhase = traffic::NextGridPhase(g_gridPhase);
    for (int x : traffic::GridColumns(g_gridPhase)) {
        MoveToEx(dc, x, traffic::kPlot.top, nullptr);
        LineTo(dc, x, traffic::kPlot.bottom);
    }
    SelectObject(dc, oldPen);
    DeleteObject(pen);
}

void CTrafficGraph::PaintSeries(HDC dc, const Samples& s, HPEN pen, int factor, const traffic::Rect& barColumn) {
    traffic::SeriesPlot plot = traffic::PlotSeries(s.samples.data(), static_cast<int>(s.samples.size()), s.last,
                                                   factor, barColumn.left, barColumn.right);
    if (!plot.hasBar) return;

    COLORREF colour = PenColour(pen);
    HBRUSH brush = CreateSolidBrush(colour);
    HGDIOBJ oldPen = SelectObject(dc, pen);
    MoveToEx(dc, plot.line.front().x, plot.line.front().y, nullptr);
    RECT bar = ToRect(plot.bar);
    FillRect(dc, &bar, brush);
    SetTextColor(dc, colour);
    DrawCentred(dc, plot.value, plot.valueBox);
    for (size_t i = 1; i < plot.line.size(); ++i) LineTo(dc, plot.line[i].x, plot.line[i].y);
    SelectObject(dc, oldPen);
    DeleteObject(brush);
}
