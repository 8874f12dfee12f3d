// The list of shown interfaces: one entry per qualifying interface of the
// latest snapshot plus the aggregate entry "{PULSERY-ALL}" at index 0. Every
// tick reconciles it with the snapshot and updates each entry's activity,
// totals, state and connectivity. User-interface thread only.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "sampling/u_iphlpapi.h"
#include "tray/u_tray.h"

class TNLM;

constexpr int32_t StatusUp = 1;
constexpr int32_t StatusDown = 2;
constexpr wchar_t AggregateKey[] = L"{PULSERY-ALL}";

struct TNetIntf {
  std::wstring Key;
  std::wstring Alias;
  std::wstring Description;
  bool OwnIcon = false;
  bool HideOff = false;
  bool FallbackShown = false;
  std::unique_ptr<TMyTrayIcon> TrayIcon;
  std::wstring IconSet;
  uint64_t RecvTotal = 0;
  uint64_t SentTotal = 0;
  uint64_t InOctets = 0;
  uint64_t OutOctets = 0;
  bool Received = false;
  bool Sent = false;
  int32_t Status = 0;
  uint64_t LinkSpeed = 0;
  bool Internet = false;
  bool InetIcon = false;
  bool Seen = false;
  std::wstring MacText;
  std::wstring IPv4Text;
  std::wstring IPv6Text;
};

// What the list needs of the platform and of its owner.
class TIntfPlatform {
 public:
  virtual ~TIntfPlatform() = default;
  // Subkey names of the TCP/IP interfaces key, opened read-only; none when
  // the key cannot be opened. A failure while listing ends the list there.
  virtual std::optional<std::vector<std::wstring>> ReadTcpipInterfaceNames() = 0;
  // A new, hidden tray icon whose identity derives from the key.
  virtual std::unique_ptr<TMyTrayIcon> CreateTrayIcon(const std::wstring& key) = 0;
};

// Where the entries' settings live (the per-interface settings file).
class TIntfSettingsStore {
 public:
  virtual ~TIntfSettingsStore() = default;
  virtual void LoadSettings(TNetIntf& entry, bool IsAggregate) = 0;
  // False when the file could not be written (it is then left as it was).
  virtual bool SaveSettings(const TNetIntf& entry) = 0;
  virtual bool SaveAll(const std::vector<const TNetIntf*>& entries) = 0;
};

// The counted octets of a row: unicast only when the driver splits its
// counters, all octets when it reports no split.
uint64_t CountedInOctets(const TMibIfRow2& row);
uint64_t CountedOutOctets(const TMibIfRow2& row);

// Display name used for sorting: "Alias (Description)", or the description.
std::wstring DisplayName(const TNetIntf& entry);
// Aggregate first; then display names, ordinal with ASCII a-z folded.
int CompareItems(const TNetIntf* a, const TNetIntf* b);

class TMyIntfs {
 public:
  using TOnChange = std::function<void(TMyIntfs&)>;

  TMyIntfs(TIntfPlatform& platform, TIntfSettingsStore& settings);
  ~TMyIntfs();
  TMyIntfs(const TMyIntfs&) = delete;
  TMyIntfs& operator=(const TMyIntfs&) = delete;

  uintptr_t Images = 0;              // handed to every tray icon; set before Reset
  TOnChange OnChange;                // after the set of entries changed
  TNLM* Nlm = nullptr;               // the connectivity probe, if any
  std::function<void()> CheckDaily;  // the daily update check
  int32_t InetTimer = -1;            // ms since the last connectivity refresh
  int32_t InetHits = 0;              // counts online refresh ticks up to 3

  void Reset();
  bool Next(int32_t& index, TNetIntf*& entry) const;
  TNetIntf* ItemAt(int32_t index) const;
  TNetIntf* Find(const std::wstring& key) const;
  TNetIntf* FindIndex(const std::wstring& key, int32_t& index) const;
  int32_t Count() const { return int32_t(Items.size()); }

  // Reconciles the list with the snapshot; the indexes of the qualifying rows
  // in snapshot order.
  std::vector<uint32_t> CheckChangedInterfaces(const TOwnIfTable2& table);
  // One tick: reconcile, pace the connectivity probe, update every entry and
  // the aggregate.
  void UpdateTraffic(const TOwnIfTable2& table, const TOwnAdapters& adapters, bool ExcludeSvc,
                     int32_t IntervalMs);
  void UpdateTraffic(bool ExcludeSvc, int32_t IntervalMs) {
    UpdateTraffic(IfTable, Adapters, ExcludeSvc, IntervalMs);
  }

  bool IsExcluded(const TMibIfRow2& row, const std::wstring& guidText) const;
  // False when a write of the settings file failed.
  bool SaveAll();
  void Clear();

  std::vector<std::unique_ptr<TNetIntf>> Items;
  std::unordered_set<std::wstring> TcpipKeys;
  std::unordered_set<std::wstring> KnownGuids;

 private:
  bool CheckChangedGuids(const std::vector<std::wstring>& guids);
  void ReadTcpipKeys();
  TNetIntf* AddInterface(const TMibIfRow2& row, const std::wstring& key);
  void AddAggregate();
  bool RemoveInterface(const std::wstring& key);
  void FreeEntry(TNetIntf& entry);
  void Reindex();

  TIntfPlatform& Platform_;
  TIntfSettingsStore& Settings_;
  // UpperStr of the GUID text of every row of the last reconciled snapshot.
  std::vector<std::wstring> RowKeys_;
  // Key -> list index; keys are held upper-cased and unique, so a hash hit is
  // the first match in list order.
  std::unordered_map<std::wstring, int32_t> Index_;
};
