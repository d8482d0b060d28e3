#include "net/connect_address_win.h"

#include "net/clipboard_win.h"
#include "net/public_address.h"
#include "platform/http_client_win.h"
#include "platform/wait_cursor_win.h"

namespace tidemoor {

std::string CopyConnectAddress(std::string_view gamePort, HWND owner, Prompt& prompt,
                               const std::string& primaryUrl, const std::string& fallbackUrl,
                               bool carrierGradeNat) {
  AddressLookup lookup;
  {
    // The lookups block the window for up to their time-outs; the cursor says so.
    const WaitCursor waiting;
    lookup = LookupPublicAddress([](const std::string& url) { return HttpGetText(url); },
                                 primaryUrl, fallbackUrl);
  }
  const std::string text = ConnectAddressText(lookup.address, gamePort);
  SetClipboardText(owner, text);  // the message below tells the text even when this failed
  // After a failure the host types the address in by hand; the reason (a service blocked, no
  // network at all) tells them what to look at first.
  const std::string why = lookup.failure.empty() ? "" : "(" + lookup.failure + ") ";
  const std::string note = carrierGradeNat ? std::string("\n") + kCarrierGradeNatNote : "";
  prompt.Ask(" 已复制到剪辑版 【" + text + "】 " + why + note, " Info", PromptStyle::Information);
  return text;
}

}  // namespace tidemoor
