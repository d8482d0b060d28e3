#include "server/metrics_chart_drawing_win.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <string>
#include <string_view>

#include "platform/codepage_win.h"
#include "platform/unique_handle_win.h"
#include "platform/window_win.h"
#include "server/chart_axis.h"
#include "server/metrics_chart.h"

namespace tidemoor {
namespace {

struct Measure {
  ChartMeasure measure;
  std::string_view title;
  COLORREF colour;
};

constexpr std::array<Measure, 3> kMeasures = {{
    {ChartMeasure::Players, "在线人数", RGB(31, 119, 180)},
    {ChartMeasure::Fps, "FPS", RGB(44, 160, 44)},
    {ChartMeasure::MemoryGb, "内存 (GB)", RGB(148, 103, 189)},
}};

struct MarkLook {
  ChartMarkKind kind;
  std::string_view name;
  COLORREF colour;
};

constexpr std::array<MarkLook, 3> kMarkLooks = {{
    {ChartMarkKind::Stop, "停止", RGB(110, 110, 110)},
    {ChartMarkKind::Crash, "崩溃", RGB(214, 39, 40)},
    {ChartMarkKind::Restart, "重启", RGB(255, 127, 14)},
}};

constexpr COLORREF kGrid = RGB(224, 224, 224);
constexpr COLORREF kInk = RGB(64, 64, 64);

// Selects an object into the DC for as long as it lives.
class Selected {
 public:
  Selected(HDC dc, HGDIOBJ object) : dc_(dc), before_(::SelectObject(dc, object)) {}
  ~Selected() { ::SelectObject(dc_, before_); }
  Selected(const Selected&) = delete;
  Selected& operator=(const Selected&) = delete;

 private:
  HDC dc_;
  HGDIOBJ before_;
};

UniqueGdiObject Pen(int style, int width, COLORREF colour) {
  return UniqueGdiObject(::CreatePen(style, width, colour));
}

void Text(HDC dc, int x, int y, std::string_view text, UINT align, COLORREF colour) {
  const std::wstring wide = Widen(text);
  ::SetTextColor(dc, colour);
  ::SetTextAlign(dc, align);
  ::TextOutW(dc, x, y, wide.c_str(), static_cast<int>(wide.size()));
}

void Line(HDC dc, int x1, int y1, int x2, int y2) {
  ::MoveToEx(dc, x1, y1, nullptr);
  ::LineTo(dc, x2, y2);
}

std::string TopText(double top) {
  char text[24];
  std::snprintf(text, sizeof text, "%g", top);
  return text;
}

int LineHeight(HDC dc) {
  TEXTMETRICW metrics{};
  ::GetTextMetricsW(dc, &metrics);
  return metrics.tmHeight;
}

struct Plot {
  int left, top, right, bottom;
  int X(double x) const { return left + static_cast<int>(x * (right - left) + 0.5); }
  int Y(double y) const { return bottom - static_cast<int>(y * (bottom - top) + 0.5); }
};

// A week has many samples to each pixel column: a column keeps the line's way in, its lowest and
// highest point and its way out, which draws the same picture with a fraction of the points.
void ColumnPoints(const std::vector<ChartPoint>& line, const Plot& plot,
                  std::vector<POINT>& points) {
  points.clear();
  size_t first = 0;
  while (first < line.size()) {
    const int x = plot.X(line[first].x);
    size_t end = first;
    int low = plot.Y(line[first].y), high = low;
    for (; end < line.size() && plot.X(line[end].x) == x; ++end) {
      low = std::max(low, plot.Y(line[end].y));
      high = std::min(high, plot.Y(line[end].y));
    }
    for (const int y : {plot.Y(line[first].y), low, high, plot.Y(line[end - 1].y)}) {
      if (points.empty() || points.back().x != x || points.back().y != y) points.push_back({x, y});
    }
    first = end;
  }
}

void DrawMeasure(HDC dc, const Plot& plot, const Measure& measure, const ChartContent& content,
                 const std::vector<ChartTick>& ticks, UINT dpi, int titleY, int titleX) {
  const ChartScale scale =
      ScaleChart(content.samples ? *content.samples : std::vector<MetricsSample>{}, measure.measure,
                 content.from, content.to);
  Text(dc, titleX, titleY, measure.title, TA_LEFT | TA_TOP, kInk);
  const int half = LineHeight(dc) / 2;
  Text(dc, plot.left - ScaleForDpi(6, dpi), plot.top - half, TopText(scale.top), TA_RIGHT | TA_TOP,
       kInk);
  Text(dc, plot.left - ScaleForDpi(6, dpi), plot.bottom - half, "0", TA_RIGHT | TA_TOP, kInk);
  {
    const UniqueGdiObject grid = Pen(PS_SOLID, 1, kGrid);
    const Selected pen(dc, grid.get());
    for (const ChartTick& tick : ticks)
      Line(dc, plot.X(tick.x), plot.top, plot.X(tick.x), plot.bottom);
    Line(dc, plot.left, plot.top, plot.right, plot.top);
    Line(dc, plot.left, plot.top, plot.left, plot.bottom);
    Line(dc, plot.left, plot.bottom, plot.right, plot.bottom);
  }
  const UniqueGdiObject ink = Pen(PS_SOLID, ScaleForDpi(2, dpi), measure.colour);
  const UniqueGdiObject fill(::CreateSolidBrush(measure.colour));
  const Selected pen(dc, ink.get());
  const Selected brush(dc, fill.get());
  const int dot = ScaleForDpi(2, dpi);
  std::vector<POINT> points;
  for (const std::vector<ChartPoint>& line : scale.lines) {
    if (line.size() == 1) {
      const int x = plot.X(line[0].x), y = plot.Y(line[0].y);
      ::Ellipse(dc, x - dot, y - dot, x + dot + 1, y + dot + 1);
      continue;
    }
    ColumnPoints(line, plot, points);
    ::Polyline(dc, points.data(), static_cast<int>(points.size()));
  }
}

const MarkLook& LookOf(ChartMarkKind kind) {
  for (const MarkLook& look : kMarkLooks) {
    if (look.kind == kind) return look;
  }
  return kMarkLooks[0];
}

void DrawMarks(HDC dc, const ChartGeometry& geometry, const Plot& axis, UINT dpi,
               const ChartContent& content) {
  if (!content.marks) return;
  const int size = ScaleForDpi(5, dpi);
  for (const ChartMark& mark : *content.marks) {
    if (mark.time < content.from || mark.time > content.to) continue;
    const COLORREF colour = LookOf(mark.kind).colour;
    const int x = axis.X(static_cast<double>(mark.time - content.from) /
                         static_cast<double>(content.to - content.from));
    const UniqueGdiObject dotted = Pen(PS_DOT, 1, colour);
    {
      const Selected pen(dc, dotted.get());
      Line(dc, x, geometry.chartsTop, x, geometry.chartsBottom);
    }
    const UniqueGdiObject fill(::CreateSolidBrush(colour));
    const Selected brush(dc, fill.get());
    const Selected pen(dc, ::GetStockObject(NULL_PEN));
    const POINT triangle[] = {{x, geometry.chartsBottom - size},
                              {x - size, geometry.chartsBottom + size},
                              {x + size + 1, geometry.chartsBottom + size}};
    ::Polygon(dc, triangle, 3);
  }
}

void DrawLegend(HDC dc, const ChartGeometry& geometry, UINT dpi) {
  const int square = ScaleForDpi(8, dpi);
  const int y = geometry.area.bottom - LineHeight(dc);
  int x = geometry.plotRight;
  for (auto look = kMarkLooks.rbegin(); look != kMarkLooks.rend(); ++look) {
    const std::wstring name = Widen(look->name);
    SIZE extent{};
    ::GetTextExtentPoint32W(dc, name.c_str(), static_cast<int>(name.size()), &extent);
    x -= extent.cx;
    Text(dc, x, y, look->name, TA_LEFT | TA_TOP, kInk);
    x -= square + ScaleForDpi(4, dpi);
    const RECT box{x, y + (extent.cy - square) / 2, x + square, y + (extent.cy + square) / 2};
    const UniqueGdiObject fill(::CreateSolidBrush(look->colour));
    ::FillRect(dc, &box, static_cast<HBRUSH>(fill.get()));
    x -= ScaleForDpi(14, dpi);
  }
}

}  // namespace

ChartGeometry ChartGeometryFor(const RECT& client, int top, UINT dpi) {
  ChartGeometry geometry;
  const int margin = ScaleForDpi(8, dpi);
  geometry.area = {client.left + margin, top, client.right - margin, client.bottom - margin};
  geometry.plotLeft = geometry.area.left + ScaleForDpi(52, dpi);
  geometry.plotRight = geometry.area.right - ScaleForDpi(14, dpi);
  geometry.chartsTop = geometry.area.top;
  geometry.chartsBottom = geometry.area.bottom - ScaleForDpi(46, dpi);
  return geometry;
}

void DrawCharts(HDC dc, const ChartGeometry& geometry, UINT dpi, HFONT font,
                const ChartContent& content) {
  ::FillRect(dc, &geometry.area, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
  const Selected chosenFont(dc, font);
  ::SetBkMode(dc, TRANSPARENT);
  const std::vector<ChartTick> ticks = ChartTicks(content.from, content.to, content.localLead);
  const int panel = (geometry.chartsBottom - geometry.chartsTop) / 3;
  for (size_t i = 0; i < kMeasures.size(); ++i) {
    const int top = geometry.chartsTop + static_cast<int>(i) * panel;
    const Plot plot{geometry.plotLeft, top + ScaleForDpi(26, dpi), geometry.plotRight,
                    top + panel - ScaleForDpi(8, dpi)};
    DrawMeasure(dc, plot, kMeasures[i], content, ticks, dpi, top + ScaleForDpi(4, dpi),
                geometry.area.left + ScaleForDpi(6, dpi));
  }
  const Plot axis{geometry.plotLeft, geometry.chartsTop, geometry.plotRight, geometry.chartsBottom};
  {
    const UniqueGdiObject ink = Pen(PS_SOLID, 1, kInk);
    const Selected pen(dc, ink.get());
    Line(dc, axis.left, axis.bottom, axis.right, axis.bottom);
  }
  const int labelY = geometry.chartsBottom + ScaleForDpi(6, dpi);
  for (const ChartTick& tick : ticks) {
    Text(dc, axis.X(tick.x), labelY, tick.label, TA_CENTER | TA_TOP, kInk);
  }
  DrawMarks(dc, geometry, axis, dpi, content);
  DrawLegend(dc, geometry, dpi);
  if (!content.samples) {
    Text(dc, (axis.left + axis.right) / 2, geometry.area.bottom - LineHeight(dc),
         "正在读取运行记录…", TA_CENTER | TA_TOP, kInk);
  }
}

}  // namespace tidemoor
