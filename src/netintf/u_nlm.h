// Internet connectivity per interface, as the system's network list rates it.
// Refreshed about every ten seconds by the traffic accounting; lookups between
// refreshes never call the system.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "sampling/u_iphlpapi.h"

constexpr uint32_t NlmConnectivityIPv4Internet = 0x40;
constexpr uint32_t NlmConnectivityIPv6Internet = 0x400;

// One network connection: its adapter and connectivity flags; a value the
// system would not give is none.
struct TNlmConnection {
  std::optional<TGuid> AdapterId;
  std::optional<uint32_t> Connectivity;
};

// What the probe needs of the system's network list manager.
class TNetworkListPort {
 public:
  virtual ~TNetworkListPort() = default;
  // Creates the manager; false when it cannot be had.
  virtual bool Create() = 0;
  // The connections in enumeration order, ending with the first one whose
  // adapter or connectivity could not be read (enumeration stops there), or
  // at the first failing step of the enumerator; none when the list itself
  // cannot be had.
  virtual std::optional<std::vector<TNlmConnection>> Connections() = 0;
};

class TNLM {
 public:
  explicit TNLM(std::unique_ptr<TNetworkListPort> port);
  TNLM(const TNLM&) = delete;
  TNLM& operator=(const TNLM&) = delete;

  void Refresh();
  bool HasInternet(const std::wstring& key) const;

  bool Unavailable() const { return Unavailable_; }
  // Key: UpperStr of the adapter's GUID text; value: has Internet.
  const std::map<std::wstring, bool>& Connectivity() const { return Connectivity_; }

 private:
  std::unique_ptr<TNetworkListPort> Manager_;
  bool Unavailable_ = false;
  std::map<std::wstring, bool> Connectivity_;
};
