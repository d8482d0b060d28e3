#include "net/connect_address_win.h"

#include "platform/clipboard_win.h"
#include "net/public_address.h"
#include "platform/http_client_win.h"

namespace tidemoor {

void CopyConnectAddress(std::string_view gamePort, HWND owner, Prompt& prompt,
                        const std::string& primaryUrl, const std::string& fallbackUrl,
                        bool carrierGradeNat, Worker& worker,
                        std::function<void(const std::string&)> copied) {
  // The lookups may take up to their time-outs; the window goes on meanwhile.
  worker.Run<AddressLookup>(
      [primaryUrl, fallbackUrl] {
        return LookupPublicAddress([](const std::string& url) { return HttpGetText(url); },
                                   primaryUrl, fallbackUrl);
      },
      [port = std::string(gamePort), owner, &prompt, carrierGradeNat,
       copied = std::move(copied)](const AddressLookup& lookup) {
        const std::string text = ConnectAddressText(lookup.address, port);
        // After a failure the host types the address in by hand; the reason (a service blocked,
        // no network at all) tells them what to look at first.
        const std::string why = lookup.failure.empty() ? "" : "(" + lookup.failure + ") ";
        const std::string note = carrierGradeNat ? std::string("\n") + kCarrierGradeNatNote : "";
        // The message tells the text even when the copy failed.
        CopyToClipboard(owner, text, [text, why, note, &prompt, copied](bool) {
          prompt.Ask(" 已复制到剪辑版 【" + text + "】 " + why + note, " Info",
                     PromptStyle::Information);
          if (copied) copied(text);
        });
      });
}

}  // namespace tidemoor
