#include "net/connect_address_win.h"

#include "app/main_window_win.h"
#include "common/product.h"
#include "net/clipboard_win.h"
#include "platform/http_client_win.h"
#include "net/public_address.h"
#include "platform/message_box_win.h"

namespace tidemoor {

std::string CopyConnectAddress(const MainControls& controls, HWND owner,
                               const std::string& primaryUrl, const std::string& fallbackUrl) {
  // The lookups block the window for up to their time-outs; the cursor says so.
  HCURSOR previous = ::SetCursor(::LoadCursorW(nullptr, IDC_WAIT));
  const std::string address = LookupPublicAddress(
      [](const std::string& url) { return HttpGetText(url); }, primaryUrl, fallbackUrl);
  ::SetCursor(previous);

  const std::string text = ConnectAddressText(address, controls.Text(MainControl::GamePortEdit));
  SetClipboardText(owner, text);  // the message below tells the text even when this failed
  ShowMessage(owner, " 已复制到剪辑版 【" + text + "】 ", " Info",
              MB_OK | MB_ICONINFORMATION | MB_TASKMODAL);
  return text;
}

void CopyConnectAddress() {
  MainWindow& window = TheMainWindow();
  CopyConnectAddress(window, window.Handle(), kPrimaryIpEchoAddress, kFallbackIpEchoAddress);
}

}  // namespace tidemoor
