#include "net/network_profile_win.h"

#include <netlistmgr.h>
#include <oleauto.h>

#include "platform/codepage_win.h"
#include "platform/system_error_win.h"

namespace tidemoor {

NetworkReading ReadConnectedNetworks() {
  NetworkReading reading;
  const HRESULT com = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  INetworkListManager* manager = nullptr;
  IEnumNetworks* networks = nullptr;
  HRESULT result =
      ::CoCreateInstance(__uuidof(NetworkListManager), nullptr, CLSCTX_ALL,
                         __uuidof(INetworkListManager), reinterpret_cast<void**>(&manager));
  if (SUCCEEDED(result)) result = manager->GetNetworks(NLM_ENUM_NETWORK_CONNECTED, &networks);
  if (SUCCEEDED(result) && !networks) result = E_POINTER;
  if (FAILED(result)) {
    // With the call's HRESULT, which is what the host searches for.
    reading.problem =
        WithCause("不支持: 此系统没有网络列表", SystemErrorOf(static_cast<DWORD>(result)));
  } else {
    for (int i = 0; i < 64; ++i) {
      INetwork* network = nullptr;
      ULONG fetched = 0;
      if (networks->Next(1, &network, &fetched) != S_OK || fetched == 0 || !network) break;
      BSTR name = nullptr;
      NLM_NETWORK_CATEGORY category = NLM_NETWORK_CATEGORY_PUBLIC;
      network->GetName(&name);
      network->GetCategory(&category);
      reading.networks.push_back(
          {name ? Narrow(name) : std::string("(未命名网络)"),
           category == NLM_NETWORK_CATEGORY_PRIVATE                ? NetworkCategory::Private
           : category == NLM_NETWORK_CATEGORY_DOMAIN_AUTHENTICATED ? NetworkCategory::Domain
                                                                   : NetworkCategory::Public});
      ::SysFreeString(name);
      network->Release();
    }
  }
  if (networks) networks->Release();
  if (manager) manager->Release();
  if (SUCCEEDED(com)) ::CoUninitialize();
  return reading;
}

}  // namespace tidemoor
