#include "server/metrics_window_win.h"

#include <windowsx.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <utility>

#include "platform/codepage_win.h"
#include "platform/date_time.h"
#include "platform/event_log.h"
#include "platform/whole_file_win.h"
#include "server/chart_axis.h"
#include "server/metrics_chart.h"

namespace tidemoor {
namespace {

using Id = MetricsControl;

constexpr int64_t kDaySpan = 24 * 60 * 60;
constexpr int64_t kWeekSpan = 7 * kDaySpan;
// Below the row of buttons and the pointer's line, at 96 DPI.
constexpr int kChartsTop = 42;
// Far above the file's cap, so a file grown past it by another hand still shows.
constexpr size_t kMetricsReadLimit = 16 * kMetricsFileCap;
constexpr size_t kEventLogReadLimit = 4 * kEventLogLimitBytes;

const std::array<ControlDefinition, 3> kControls = {{
    {ControlNumber(Id::DayButton), ControlKind::Button, "24 小时", 8, 8, 76, 26},
    {ControlNumber(Id::WeekButton), ControlKind::Button, "7 天", 90, 8, 76, 26},
    {ControlNumber(Id::PointerLine), ControlKind::Label, "", 180, 13, 580, 20, kEndEllipsis},
}};

// How far the local clock is ahead of UTC now, to the minute.
int64_t LocalClockLead() {
  FILETIME utc{}, local{};
  ::GetSystemTimeAsFileTime(&utc);
  if (!::FileTimeToLocalFileTime(&utc, &local)) return 0;
  auto ticks = [](const FILETIME& time) {
    return static_cast<int64_t>((static_cast<uint64_t>(time.dwHighDateTime) << 32) |
                                time.dwLowDateTime);
  };
  const int64_t seconds = (ticks(local) - ticks(utc)) / 10'000'000;
  return (seconds + (seconds >= 0 ? 30 : -30)) / 60 * 60;
}

std::string ReadText(const std::string& path, size_t limit) {
  WholeFile file = ReadWholeFile(path, limit);
  return file.state == FileState::Read ? std::move(file.bytes) : std::string();
}

// The files as they are now; a missing or unreadable one shows as nothing recorded.
MetricsHistory ReadHistory(const std::string& metricsFile, const std::string& eventLog, int64_t now,
                           int64_t localLead) {
  MetricsHistory history;
  history.samples = ReadMetricsLog(ReadText(metricsFile, kMetricsReadLimit));
  const std::string log =
      ReadText(eventLog + ".1", kEventLogReadLimit) + ReadText(eventLog, kEventLogReadLimit);
  history.marks = ChartMarksFromLog(log, now - kWeekSpan, now, localLead);
  return history;
}

}  // namespace

HWND MetricsWindow::Open(MetricsWindowSetup setup) {
  if (BringForwardIfOpen()) return window_;
  setup_ = std::move(setup);
  if (Make(setup_.owner, setup_.prompt)) Load();
  return window_;
}

void MetricsWindow::AddSample(const MetricsSample& sample) {
  if (!window_) return;
  if (!history_) {
    arrived_.push_back(sample);
    return;
  }
  history_->samples.push_back(sample);
  ::InvalidateRect(window_, nullptr, FALSE);
}

void MetricsWindow::Load() {
  history_.reset();
  arrived_.clear();
  localLead_ = LocalClockLead();
  reader_.emplace();
  reader_->Run<MetricsHistory>(
      [metricsFile = setup_.metricsFile, eventLog = setup_.eventLog, lead = localLead_] {
        return ReadHistory(metricsFile, eventLog, SecondsSince1970(), lead);
      },
      [this](MetricsHistory history) {
        if (!window_) return;
        // Samples taken while the file was read are in it or not: those after its last are added.
        const int64_t last = history.samples.empty() ? INT64_MIN : history.samples.back().time;
        for (const MetricsSample& sample : arrived_) {
          if (sample.time > last) history.samples.push_back(sample);
        }
        arrived_.clear();
        history_ = std::move(history);
        ::InvalidateRect(window_, nullptr, FALSE);
      });
}

void MetricsWindow::OnCreate(UINT dpi) {
  CreateControlsForDpi(window_, kControls, dpi, font_);
  ShowChosenSpan();
}

// The span shown is the button that cannot be pressed.
void MetricsWindow::ShowChosenSpan() {
  ::EnableWindow(Control(Id::DayButton), span_ != kDaySpan);
  ::EnableWindow(Control(Id::WeekButton), span_ != kWeekSpan);
}

void MetricsWindow::PlaceControls(UINT dpi) {
  PlaceControlsForDpi(window_, kControls, dpi, font_);
  ::InvalidateRect(window_, nullptr, TRUE);
}

LRESULT MetricsWindow::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
      if (HIWORD(wParam) == BN_CLICKED && LOWORD(wParam) == ControlNumber(Id::DayButton)) {
        ChooseSpan(kDaySpan);
      }
      if (HIWORD(wParam) == BN_CLICKED && LOWORD(wParam) == ControlNumber(Id::WeekButton)) {
        ChooseSpan(kWeekSpan);
      }
      return 0;
    case WM_ERASEBKGND: {
      // The charts paint their own area whole: erasing it first would make them flicker.
      const HDC dc = reinterpret_cast<HDC>(wParam);
      RECT client{};
      ::GetClientRect(window_, &client);
      const ChartGeometry geometry = Geometry();
      ::ExcludeClipRect(dc, geometry.area.left, geometry.area.top, geometry.area.right,
                        geometry.area.bottom);
      ::FillRect(dc, &client, ::GetSysColorBrush(COLOR_BTNFACE));
      return 1;
    }
    case WM_PAINT:
      Paint();
      return 0;
    case WM_MOUSEMOVE:
      ShowPointer(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
      return 0;
    case WM_DESTROY:
      reader_.reset();
      history_.reset();
      arrived_.clear();
      return 0;
  }
  return DefaultHandling(message, wParam, lParam);
}

void MetricsWindow::ChooseSpan(int64_t seconds) {
  span_ = seconds;
  ShowChosenSpan();
  SetWindowTextUtf8(Control(Id::PointerLine), "");
  ::InvalidateRect(window_, nullptr, FALSE);
}

ChartGeometry MetricsWindow::Geometry() const {
  RECT client{};
  ::GetClientRect(window_, &client);
  const UINT dpi = WindowDpi(window_);
  return ChartGeometryFor(client, ScaleForDpi(kChartsTop, dpi), dpi);
}

// The span ends at the newest sample's minute or now, whichever is later, so a clock set back
// still shows what was recorded.
int64_t MetricsWindow::SpanEnd() const {
  const int64_t now = SecondsSince1970();
  if (!history_ || history_->samples.empty()) return now;
  return std::max(now, history_->samples.back().time);
}

// Drawn into a bitmap first and then copied on screen in one piece: no flicker.
void MetricsWindow::Paint() {
  PAINTSTRUCT paint{};
  const HDC screen = ::BeginPaint(window_, &paint);
  RECT client{};
  ::GetClientRect(window_, &client);
  const ChartGeometry geometry = Geometry();
  const UniqueMemoryDc buffer(::CreateCompatibleDC(screen));
  const UniqueGdiObject bitmap(::CreateCompatibleBitmap(screen, client.right, client.bottom));
  if (buffer && bitmap) {
    const HGDIOBJ before = ::SelectObject(buffer.get(), bitmap.get());
    const int64_t to = SpanEnd();
    ChartContent content;
    content.samples = history_ ? &history_->samples : nullptr;
    content.marks = history_ ? &history_->marks : nullptr;
    content.from = to - span_;
    content.to = to;
    content.localLead = localLead_;
    DrawCharts(buffer.get(), geometry, WindowDpi(window_), static_cast<HFONT>(font_.get()),
               content);
    const RECT& area = geometry.area;
    ::BitBlt(screen, area.left, area.top, area.right - area.left, area.bottom - area.top,
             buffer.get(), area.left, area.top, SRCCOPY);
    ::SelectObject(buffer.get(), before);
  }
  ::EndPaint(window_, &paint);
}

// Nothing over a stop, beyond the samples or outside the charts.
void MetricsWindow::ShowPointer(int x, int y) {
  const ChartGeometry geometry = Geometry();
  std::string text;
  if (history_ && x >= geometry.plotLeft && x <= geometry.plotRight && y >= geometry.chartsTop &&
      y <= geometry.chartsBottom) {
    const int64_t to = SpanEnd();
    const double at = static_cast<double>(x - geometry.plotLeft) /
                      static_cast<double>(std::max(1, geometry.plotRight - geometry.plotLeft));
    const int64_t time = to - span_ + static_cast<int64_t>(at * static_cast<double>(span_));
    if (const MetricsSample* sample = SampleAt(history_->samples, time)) {
      text = ChartPointerText(*sample, localLead_);
    }
  }
  const HWND line = Control(Id::PointerLine);
  if (WindowText(line) != text) SetWindowTextUtf8(line, text);
}

}  // namespace tidemoor
