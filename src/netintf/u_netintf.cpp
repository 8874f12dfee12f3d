#include "netintf/u_netintf.h"

#include <algorithm>
#include <utility>

#include "common/u_common.h"
#include "netintf/u_nlm.h"

uint64_t CountedInOctets(const TMibIfRow2& row) {
  if (row.InUcastOctets == 0 && row.InMulticastOctets == 0 && row.InBroadcastOctets == 0)
    return row.InOctets;
  return row.InUcastOctets;
}

uint64_t CountedOutOctets(const TMibIfRow2& row) {
  if (row.OutUcastOctets == 0 && row.OutMulticastOctets == 0 && row.OutBroadcastOctets == 0)
    return row.OutOctets;
  return row.OutUcastOctets;
}

std::wstring DisplayName(const TNetIntf& entry) {
  if (entry.Alias.empty()) return entry.Description;
  return entry.Alias + L" (" + entry.Description + L")";
}

namespace {

wchar_t FoldAscii(wchar_t c) {
  return (c >= L'a' && c <= L'z') ? wchar_t(c - 32) : c;
}

// Ordinal over UTF-16 code units (wchar_t may be wider natively).
int CompareUnits(const std::wstring& a, const std::wstring& b) {
  const size_t n = std::min(a.size(), b.size());
  for (size_t i = 0; i < n; ++i) {
    const uint32_t x = uint32_t(FoldAscii(a[i])), y = uint32_t(FoldAscii(b[i]));
    if (x != y) return x < y ? -1 : 1;
  }
  if (a.size() == b.size()) return 0;
  return a.size() < b.size() ? -1 : 1;
}

}  // namespace

int CompareItems(const TNetIntf* a, const TNetIntf* b) {
  if (a == nullptr || b == nullptr) return 0;
  if (a->Key == AggregateKey) return -1;
  if (b->Key == AggregateKey) return 1;
  return CompareUnits(DisplayName(*a), DisplayName(*b));
}

TMyIntfs::TMyIntfs(TIntfPlatform& platform, TIntfSettingsStore& settings)
    : Platform_(platform), Settings_(settings) {}

TMyIntfs::~TMyIntfs() {
  SaveAll();
  Clear();
}

void TMyIntfs::Reset() {
  Clear();
  AddAggregate();
}

bool TMyIntfs::Next(int32_t& index, TNetIntf*& entry) const {
  if (index >= 0 && index <= Count() - 1) {
    entry = Items[size_t(index)].get();
    ++index;
    return true;
  }
  entry = nullptr;
  return false;
}

TNetIntf* TMyIntfs::ItemAt(int32_t index) const {
  if (index < 0 || index > Count() - 1) return nullptr;
  return Items[size_t(index)].get();
}

TNetIntf* TMyIntfs::Find(const std::wstring& key) const {
  int32_t index;
  return FindIndex(key, index);
}

TNetIntf* TMyIntfs::FindIndex(const std::wstring& key, int32_t& index) const {
  auto found = Index_.find(UpperStr(key));
  if (found == Index_.end()) {
    index = -1;
    return nullptr;
  }
  index = found->second;
  return Items[size_t(index)].get();
}

void TMyIntfs::Reindex() {
  Index_.clear();
  for (size_t i = 0; i < Items.size(); ++i) Index_.emplace(Items[i]->Key, int32_t(i));
}

bool TMyIntfs::IsExcluded(const TMibIfRow2& row, const std::wstring& guidText) const {
  if (row.Type == IfTypeSoftwareLoopback) return true;
  if (row.MediaConnectState == MediaConnectUnknown) return true;
  if (!TcpipKeys.empty()) return TcpipKeys.count(guidText) == 0;
  const bool hardware = (row.InterfaceAndOperStatusFlags & IfFlagHardwareInterface) != 0;
  const bool filter = (row.InterfaceAndOperStatusFlags & IfFlagFilterInterface) != 0;
  return !hardware || filter;
}

bool TMyIntfs::CheckChangedGuids(const std::vector<std::wstring>& guids) {
  bool changed = false;
  for (const std::wstring& guid : guids) {
    if (KnownGuids.count(guid) == 0) {
      changed = true;
      break;
    }
  }
  if (!changed && KnownGuids.size() != guids.size()) changed = true;
  KnownGuids.clear();
  KnownGuids.insert(guids.begin(), guids.end());
  if (changed) ReadTcpipKeys();
  return changed;
}

void TMyIntfs::ReadTcpipKeys() {
  try {
    std::optional<std::vector<std::wstring>> names = Platform_.ReadTcpipInterfaceNames();
    if (!names) return;  // the key does not open: keep what we had
    TcpipKeys.clear();
    for (const std::wstring& name : *names) TcpipKeys.insert(UpperStr(name));
  } catch (...) {  // a failed read leaves what was filled so far
  }
}

std::vector<uint32_t> TMyIntfs::CheckChangedInterfaces(const TOwnIfTable2& table) {
  const uint32_t count = std::min<uint32_t>(table.NumEntries, uint32_t(table.Table.size()));
  std::vector<std::wstring>& guids = RowKeys_;
  guids.resize(count);
  for (uint32_t i = 0; i < count; ++i)
    guids[i] = UpperStr(GuidToText(table.Table[i].InterfaceGuid));
  CheckChangedGuids(guids);

  bool changed = false;
  std::vector<uint32_t> rows;
  for (uint32_t i = 0; i < count; ++i) {
    const TMibIfRow2& row = table.Table[i];
    if (IsExcluded(row, guids[i])) continue;
    rows.push_back(i);
    TNetIntf* entry = Find(guids[i]);
    if (entry == nullptr) {
      changed = true;
      entry = AddInterface(row, guids[i]);
    }
    entry->Seen = true;
  }

  std::vector<std::wstring> gone;
  for (size_t i = Items.size(); i-- > 1;) {
    TNetIntf& entry = *Items[i];
    if (!entry.Seen) {
      gone.push_back(entry.Key);
    } else {
      entry.Seen = false;
    }
  }
  // An entry whose settings could not be saved stays, and its removal comes
  // again on the next tick: nothing the user chose is lost.
  for (const std::wstring& key : gone)
    if (RemoveInterface(key)) changed = true;

  if (changed) {
    if (Items.size() > 1) {
      std::sort(Items.begin(), Items.end(),
                [](const std::unique_ptr<TNetIntf>& a, const std::unique_ptr<TNetIntf>& b) {
                  return CompareItems(a.get(), b.get()) < 0;
                });
      Reindex();
    }
    if (OnChange) OnChange(*this);
  }
  return rows;
}

TNetIntf* TMyIntfs::AddInterface(const TMibIfRow2& row, const std::wstring& key) {
  auto entry = std::make_unique<TNetIntf>();
  entry->Key = key;
  entry->Alias = Utf16ToText(row.Alias, IfMaxStringSize + 1);
  entry->Description = Utf16ToText(row.Description, IfMaxStringSize + 1);
  entry->OwnIcon = false;
  entry->TrayIcon = Platform_.CreateTrayIcon(entry->Key);
  if (entry->TrayIcon) entry->TrayIcon->SetImages(Images);
  entry->IconSet = L"Default2";
  entry->InetIcon = true;
  entry->RecvTotal = CountedInOctets(row);
  entry->SentTotal = CountedOutOctets(row);
  entry->InOctets = row.InOctets;
  entry->OutOctets = row.OutOctets;
  entry->Status = row.OperStatus == OperStatusUp ? StatusUp : StatusDown;
  Settings_.LoadSettings(*entry, false);
  Items.push_back(std::move(entry));
  Index_.emplace(Items.back()->Key, int32_t(Items.size() - 1));
  return Items.back().get();
}

void TMyIntfs::AddAggregate() {
  auto entry = std::make_unique<TNetIntf>();
  entry->Key = AggregateKey;
  entry->OwnIcon = true;
  entry->TrayIcon = Platform_.CreateTrayIcon(entry->Key);
  if (entry->TrayIcon) entry->TrayIcon->SetImages(Images);
  entry->IconSet = L"Default1";
  entry->InetIcon = true;
  Settings_.LoadSettings(*entry, true);
  Items.push_back(std::move(entry));
  Index_.emplace(Items.back()->Key, int32_t(Items.size() - 1));
}

void TMyIntfs::FreeEntry(TNetIntf& entry) {
  if (entry.TrayIcon) {
    entry.TrayIcon->SetVisible(false);
    entry.TrayIcon.reset();
  }
}

bool TMyIntfs::RemoveInterface(const std::wstring& key) {
  int32_t index;
  TNetIntf* entry = FindIndex(key, index);
  if (entry == nullptr) return false;
  if (!Settings_.SaveSettings(*entry)) return false;
  FreeEntry(*entry);
  Items.erase(Items.begin() + index);
  Reindex();
  return true;
}

void TMyIntfs::Clear() {
  for (size_t i = Items.size(); i-- > 0;) {
    FreeEntry(*Items[i]);
    Items.erase(Items.begin() + i);
  }
  Index_.clear();
}

bool TMyIntfs::SaveAll() {
  if (Items.empty()) return true;
  std::vector<const TNetIntf*> entries;
  entries.reserve(Items.size());
  for (const auto& item : Items) entries.push_back(item.get());
  return Settings_.SaveAll(entries);
}

void TMyIntfs::UpdateTraffic(const TOwnIfTable2& table, const TOwnAdapters& adapters,
                             bool ExcludeSvc, int32_t IntervalMs) {
  const std::vector<uint32_t> rows = CheckChangedInterfaces(table);

  if (InetTimer >= 10000 || InetTimer == -1) {
    InetTimer = 0;
    if (Nlm != nullptr) Nlm->Refresh();
  } else {
    InetTimer += IntervalMs;
  }
  const bool refresh = InetTimer == 0;  // connectivity changes only on refresh ticks

  // The first adapter record of each name, for one hash look-up per row.
  std::unordered_map<std::wstring, const TOwnAdapterInfo*> adapterByName;
  adapterByName.reserve(adapters.size());
  for (const TOwnAdapterInfo& a : adapters) adapterByName.emplace(UpperStr(a.AdapterName), &a);

  bool allDown = true, anyReceived = false, anySent = false, anyInternet = false;
  uint64_t receivedSum = 0, sentSum = 0;
  for (uint32_t i : rows) {
    const TMibIfRow2& row = table.Table[i];
    const std::wstring& guid = RowKeys_[i];
    TNetIntf* entry = Find(guid);
    if (entry == nullptr) continue;

    entry->MacText.clear();
    entry->IPv4Text.clear();
    entry->IPv6Text.clear();
    auto adapter = adapterByName.find(guid);
    if (adapter != adapterByName.end()) {
      entry->MacText = adapter->second->MacText;
      entry->IPv4Text = adapter->second->IPv4Text;
      entry->IPv6Text = adapter->second->IPv6Text;
    }

    const uint64_t countedIn = CountedInOctets(row);
    const uint64_t countedOut = CountedOutOctets(row);
    receivedSum += countedIn;
    sentSum += countedOut;

    if (ExcludeSvc) {
      entry->Received = entry->RecvTotal != countedIn;
      entry->Sent = entry->SentTotal != countedOut;
    } else {
      entry->Received = entry->InOctets != row.InOctets;
      entry->Sent = entry->OutOctets != row.OutOctets;
    }
    entry->RecvTotal = countedIn;
    entry->SentTotal = countedOut;
    entry->InOctets = row.InOctets;
    entry->OutOctets = row.OutOctets;
    entry->LinkSpeed = row.ReceiveLinkSpeed;
    entry->Status = row.OperStatus == OperStatusUp ? StatusUp : StatusDown;
    if (refresh) entry->Internet = Nlm != nullptr && Nlm->HasInternet(entry->Key);

    if (entry->Status == StatusUp) allDown = false;
    anyReceived = anyReceived || entry->Received;
    anySent = anySent || entry->Sent;
    anyInternet = anyInternet || entry->Internet;
  }

  TNetIntf* all = Find(AggregateKey);
  if (all == nullptr) return;
  all->Received = anyReceived;
  all->Sent = anySent;
  all->Internet = anyInternet;
  all->RecvTotal = receivedSum;
  all->SentTotal = sentSum;
  if (allDown) {
    all->Status = StatusDown;
    return;
  }
  all->Status = StatusUp;
  if (all->Internet && refresh) {
    ++InetHits;
    if (InetHits >= 3) {
      InetHits = 0;
      if (CheckDaily) CheckDaily();
    }
  }
}
