#include "netintf/u_nlm_win32.h"

#include <windows.h>
#include <netlistmgr.h>

#include "common/u_handles_win32.h"

namespace {

class TWin32NetworkList final : public TNetworkListPort {
 public:
  bool Create() override {
    const HRESULT hr =
        CoCreateInstance(CLSID_NetworkListManager, nullptr, CLSCTX_ALL, IID_INetworkListManager,
                         reinterpret_cast<void**>(Manager_.put()));
    return SUCCEEDED(hr) && Manager_;
  }

  std::optional<std::vector<TNlmConnection>> Connections() override {
    TComPtr<IEnumNetworkConnections> connections;
    if (FAILED(Manager_->GetNetworkConnections(connections.put())) || !connections)
      return std::nullopt;
    std::vector<TNlmConnection> list;
    for (;;) {
      TComPtr<INetworkConnection> connection;
      ULONG fetched = 0;
      const HRESULT hr = connections->Next(1, connection.put(), &fetched);
      if (FAILED(hr) || fetched == 0 || !connection) break;
      TNlmConnection c;
      GUID adapter;
      if (FAILED(connection->GetAdapterId(&adapter))) {
        list.push_back(c);  // the refresh ends here
        break;
      }
      TGuid id;
      id.Data1 = adapter.Data1;
      id.Data2 = adapter.Data2;
      id.Data3 = adapter.Data3;
      for (int i = 0; i < 8; ++i) id.Data4[i] = adapter.Data4[i];
      c.AdapterId = id;
      NLM_CONNECTIVITY flags;
      if (FAILED(connection->GetConnectivity(&flags))) {
        list.push_back(c);
        break;
      }
      c.Connectivity = static_cast<uint32_t>(flags);
      list.push_back(c);
    }
    return list;
  }

 private:
  TComPtr<INetworkListManager> Manager_;
};

}  // namespace

std::unique_ptr<TNetworkListPort> Win32NetworkList() {
  return std::make_unique<TWin32NetworkList>();
}
