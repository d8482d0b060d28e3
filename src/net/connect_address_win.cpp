#include "net/connect_address_win.h"

#include "net/clipboard_win.h"
#include "net/public_address.h"
#include "platform/http_client_win.h"
#include "platform/wait_cursor_win.h"

namespace tidemoor {

std::string CopyConnectAddress(std::string_view gamePort, HWND owner, Prompt& prompt,
                               const std::string& primaryUrl, const std::string& fallbackUrl,
                               bool carrierGradeNat) {
  std::string address;
  {
    // The lookups block the window for up to their time-outs; the cursor says so.
    const WaitCursor waiting;
    address = LookupPublicAddress([](const std::string& url) { return HttpGetText(url); },
                                  primaryUrl, fallbackUrl);
  }
  const std::string text = ConnectAddressText(address, gamePort);
  SetClipboardText(owner, text);  // the message below tells the text even when this failed
  const std::string note = carrierGradeNat ? std::string("\n") + kCarrierGradeNatNote : "";
  prompt.Ask(" 已复制到剪辑版 【" + text + "】 " + note, " Info", PromptStyle::Information);
  return text;
}

}  // namespace tidemoor
