#include "net/alerts_window_win.h"

#include <array>

#include "net/webhook_sender_win.h"
#include "platform/codepage_win.h"

namespace tidemoor {
namespace {

using Id = AlertsControl;
using K = ControlKind;

constexpr int kRowHeight = 64;
constexpr int kControlsPerAddress = 4;

Id AddressControl(int slot, int which) {
  return static_cast<Id>(ControlNumber(Id::AddressEdit1) + slot * kControlsPerAddress + which);
}

constexpr int kEdit = 0, kSecret = 1, kTest = 2, kResult = 3;

int Number(int slot, Id first) {
  return ControlNumber(first) + slot;
}

std::array<ControlDefinition, 28> Controls() {
  std::array<ControlDefinition, 28> controls{};
  size_t next = 0;
  for (int slot = 0; slot < kWebhookAddressCount; ++slot) {
    const int y = 12 + slot * kRowHeight;
    const std::string n = std::to_string(slot + 1);
    controls[next++] = {Number(slot, Id::AddressLabel1), K::Label, "地址 " + n, 8, y + 4, 64, 20};
    controls[next++] = {ControlNumber(AddressControl(slot, kEdit)), K::Edit, "", 76, y, 500, 24};
    controls[next++] = {Number(slot, Id::SecretLabel1), K::Label, "签名密钥", 8, y + 34, 64, 20};
    controls[next++] = {
        ControlNumber(AddressControl(slot, kSecret)), K::Edit, "", 76, y + 30, 220, 24};
    controls[next++] = {ControlNumber(AddressControl(slot, kTest)),
                        K::Button,
                        "发送测试消息",
                        304,
                        y + 29,
                        104,
                        26};
    controls[next++] = {ControlNumber(AddressControl(slot, kResult)),
                        K::Label,
                        "",
                        416,
                        y + 34,
                        160,
                        20,
                        kEndEllipsis};
  }
  const int groupY = 12 + kWebhookAddressCount * kRowHeight;
  controls[next++] = {
      ControlNumber(Id::EventsGroup), K::GroupBox, "通知的事件", 8, groupY, 568, 84};
  constexpr std::array<const char*, kAlertEventCount> kEventCaptions = {
      "服务端崩溃",    "连续崩溃停止重启",  "服务端无响应",  "重启 (定时/内存/更新)",
      "发现/完成更新", "备份失败/磁盘不足", "玩家加入/离开", "工具启动时开服/接管"};
  for (int event = 0; event < kAlertEventCount; ++event) {
    controls[next++] = {Number(event, Id::CrashBox),
                        K::CheckBox,
                        kEventCaptions[event],
                        16 + (event % 4) * 140,
                        groupY + 20 + (event / 4) * 30,
                        136,
                        26};
  }
  controls[next++] = {ControlNumber(Id::FormatHint),
                      K::Label,
                      "支持 Discord、企业微信、钉钉、飞书机器人地址, 其他地址收到 JSON "
                      "{event, text, time, server}",
                      8,
                      groupY + 94,
                      568,
                      40};
  return controls;
}

const std::array<ControlDefinition, 28> kControls = Controls();

}  // namespace

HWND AlertsWindow::Open(AlertsWindowSetup setup) {
  if (BringForwardIfOpen()) return window_;
  if (!tests_) {
    setup_ = std::move(setup);
    tests_.emplace();
  }
  Make(setup_.owner, setup_.prompt);
  return window_;
}

LRESULT AlertsWindow::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND: {
      const int id = LOWORD(wParam);
      const int code = HIWORD(wParam);
      const int first = ControlNumber(Id::AddressEdit1);
      if (code == BN_CLICKED && id >= first && (id - first) % kControlsPerAddress == kTest &&
          id < first + kWebhookAddressCount * kControlsPerAddress) {
        SendTest((id - first) / kControlsPerAddress);
      } else if ((code == EN_CHANGE || code == BN_CLICKED) && !filling_ && setup_.changed) {
        setup_.changed(Read());
      }
      return 0;
    }
    case WM_DESTROY:
      if (setup_.closed) setup_.closed();
      return 0;
  }
  return DefaultHandling(message, wParam, lParam);
}

void AlertsWindow::OnCreate(UINT dpi) {
  CreateControlsForDpi(window_, kControls, dpi, font_);
  for (int slot = 0; slot < kWebhookAddressCount; ++slot) {
    ::SendMessageW(Control(AddressControl(slot, kEdit)), EM_SETLIMITTEXT, 1000, 0);
    ::SendMessageW(Control(AddressControl(slot, kSecret)), EM_SETLIMITTEXT, 200, 0);
  }
  PlaceControls(dpi);
  if (setup_.current) Fill(setup_.current());
}

void AlertsWindow::PlaceControls(UINT dpi) {
  PlaceControlsForDpi(window_, kControls, dpi, font_);
}

void AlertsWindow::Fill(const AlertSettings& settings) {
  filling_ = true;
  for (int slot = 0; slot < kWebhookAddressCount; ++slot) {
    SetWindowTextUtf8(Control(AddressControl(slot, kEdit)), settings.addresses[slot].url);
    SetWindowTextUtf8(Control(AddressControl(slot, kSecret)), settings.addresses[slot].secret);
  }
  for (int event = 0; event < kAlertEventCount; ++event) {
    const bool ticked = AlertEventChosen(settings.notifyEvents, static_cast<AlertEvent>(event));
    ::SendMessageW(::GetDlgItem(window_, Number(event, Id::CrashBox)), BM_SETCHECK,
                   ticked ? BST_CHECKED : BST_UNCHECKED, 0);
  }
  filling_ = false;
}

AlertSettings AlertsWindow::Read() const {
  AlertSettings settings;
  for (int slot = 0; slot < kWebhookAddressCount; ++slot) {
    settings.addresses[slot] = {WindowText(Control(AddressControl(slot, kEdit))),
                                WindowText(Control(AddressControl(slot, kSecret)))};
  }
  std::array<bool, kAlertEventCount> ticked{};
  for (int event = 0; event < kAlertEventCount; ++event) {
    ticked[event] = ::SendMessageW(::GetDlgItem(window_, Number(event, Id::CrashBox)), BM_GETCHECK,
                                   0, 0) == BST_CHECKED;
  }
  settings.notifyEvents = NotifyEventsText(ticked);
  return settings;
}

void AlertsWindow::SendTest(int slot) {
  const WebhookAddress address = Read().addresses[slot];
  const HWND result = Control(AddressControl(slot, kResult));
  if (address.url.empty()) {
    SetWindowTextUtf8(result, "请先填写地址");
    return;
  }
  if (!address.url.starts_with("http://") && !address.url.starts_with("https://")) {
    SetWindowTextUtf8(result, "地址须以 http(s):// 开头");
    return;
  }
  SetWindowTextUtf8(result, "发送中...");
  const WebhookAlert alert = setup_.testAlert ? setup_.testAlert() : WebhookAlert{};
  tests_->Run<WebhookResult>([address, alert] { return DeliverWebhook(address, alert); },
                             [this, slot](WebhookResult answer) {
                               if (!window_) return;
                               SetWindowTextUtf8(
                                   Control(AddressControl(slot, kResult)),
                                   (answer.delivered ? "成功 " : "失败 ") + answer.text);
                             });
}

}  // namespace tidemoor
