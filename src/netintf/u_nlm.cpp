#include "netintf/u_nlm.h"

#include <utility>

#include "common/u_common.h"

TNLM::TNLM(std::unique_ptr<TNetworkListPort> port) : Manager_(std::move(port)) {
  Unavailable_ = Manager_ == nullptr || !Manager_->Create();
}

void TNLM::Refresh() {
  if (Unavailable_) return;
  Connectivity_.clear();
  std::optional<std::vector<TNlmConnection>> connections = Manager_->Connections();
  if (!connections) return;
  for (const TNlmConnection& c : *connections) {
    // A connection that cannot be read ends the refresh; what was read stays.
    if (!c.AdapterId || !c.Connectivity) return;
    const bool internet =
        (*c.Connectivity & (NlmConnectivityIPv4Internet | NlmConnectivityIPv6Internet)) != 0;
    // The first connection enumerated for an adapter decides.
    Connectivity_.emplace(UpperStr(GuidToText(*c.AdapterId)), internet);
  }
}

bool TNLM::HasInternet(const std::wstring& key) const {
  if (Unavailable_ || Connectivity_.empty()) return false;
  auto found = Connectivity_.find(UpperStr(key));
  return found != Connectivity_.end() && found->second;
}
