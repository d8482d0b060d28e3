#include "net/connect_address_win.h"

#include "net/clipboard_win.h"
#include "net/public_address.h"
#include "platform/http_client_win.h"

namespace tidemoor {

void CopyConnectAddress(std::string_view gamePort, HWND owner, Prompt& prompt,
                        const std::string& primaryUrl, const std::string& fallbackUrl,
                        Worker& worker, std::function<void(const std::string&)> copied) {
  // The lookups may take up to their time-outs; the window goes on meanwhile.
  worker.Run<std::string>(
      [primaryUrl, fallbackUrl] {
        return LookupPublicAddress([](const std::string& url) { return HttpGetText(url); },
                                   primaryUrl, fallbackUrl);
      },
      [port = std::string(gamePort), owner, &prompt,
       copied = std::move(copied)](const std::string& address) {
        const std::string text = ConnectAddressText(address, port);
        SetClipboardText(owner, text);  // the message below tells the text even when this failed
        prompt.Ask(" 已复制到剪辑版 【" + text + "】 ", " Info", PromptStyle::Information);
        if (copied) copied(text);
      });
}

}  // namespace tidemoor
