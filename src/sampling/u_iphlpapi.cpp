#include "sampling/u_iphlpapi.h"

#include <cstring>

#include "common/u_common.h"

TIpHelperApi* IpHelper = nullptr;
TOwnIfTable2 IfTable;
TOwnAdapters Adapters;
TMibIfTable2* RawTable = nullptr;

std::wstring GuidToText(const TGuid& guid) {
  // Hand-rolled: this runs for every row on every tick.
  static constexpr wchar_t hex[] = L"0123456789ABCDEF";
  std::wstring text(38, L'-');
  size_t at = 0;
  auto put = [&](uint64_t value, int digits) {
    for (int shift = (digits - 1) * 4; shift >= 0; shift -= 4)
      text[at++] = hex[(value >> shift) & 0xF];
  };
  text[at++] = L'{';
  put(guid.Data1, 8);
  ++at;
  put(guid.Data2, 4);
  ++at;
  put(guid.Data3, 4);
  ++at;
  put(guid.Data4[0], 2);
  put(guid.Data4[1], 2);
  ++at;
  for (int i = 2; i < 8; ++i) put(guid.Data4[i], 2);
  text[at] = L'}';
  return text;
}

void ReleaseRawTable() {
  if (RawTable == nullptr) return;
  if (IpHelper != nullptr && IpHelper->HasFreeMibTable()) IpHelper->FreeMibTable(RawTable);
  RawTable = nullptr;
}

void CopyRows() {
  const uint32_t count = RawTable->NumEntries;
  IfTable.Table.resize(count);
  IfTable.NumEntries = count;
  if (count > 0) std::memcpy(IfTable.Table.data(), RawTable->Table, count * sizeof(TMibIfRow2));
}

namespace {

// Frees the adapter buffer on every path once it exists.
class TAdapterBuffer {
 public:
  TAdapterBuffer(TIpHelperApi& api, size_t size) : api_(api), data_(api.AllocBuffer(size)) {
    if (data_ != nullptr) std::memset(data_, 0, size);
  }
  ~TAdapterBuffer() {
    if (data_ != nullptr) api_.FreeBuffer(data_);
  }
  TAdapterBuffer(const TAdapterBuffer&) = delete;
  TAdapterBuffer& operator=(const TAdapterBuffer&) = delete;
  void* get() const { return data_; }

 private:
  TIpHelperApi& api_;
  void* data_;
};

uint16_t FamilyOf(const void* sockaddr) {
  uint16_t family;
  std::memcpy(&family, sockaddr, sizeof family);
  return family;
}

void AppendLine(std::wstring& text, const std::wstring& line) {
  text += line;
  text += L"\r\n";
}

TOwnAdapterInfo DescribeAdapter(TIpHelperApi& api, const TAdapterAddresses& adapter) {
  TOwnAdapterInfo info;
  info.AdapterName = adapter.AdapterName ? api.AnsiToText(adapter.AdapterName) : std::wstring();
  info.MacText = MacToText(adapter.PhysicalAddress, adapter.PhysicalAddressLength);
  for (const TAdapterUnicast* u = adapter.FirstUnicastAddress; u != nullptr; u = u->Next) {
    const TSocketAddress& a = u->Address;
    if (a.lpSockaddr == nullptr) continue;
    const uint16_t family = FamilyOf(a.lpSockaddr);
    if (a.iSockaddrLength == 16 && family == AfInet) {
      uint8_t address[4];  // sin_addr follows the family and the port
      std::memcpy(address, static_cast<const uint8_t*>(a.lpSockaddr) + 4, 4);
      AppendLine(info.IPv4Text, IPv4ToText(address));
    } else if (a.iSockaddrLength >= 28 && family == AfInet6) {
      TSockAddrIn6 address;
      std::memcpy(&address, a.lpSockaddr, sizeof address);
      AppendLine(info.IPv6Text, SockAddr6ToText(&address));
    }
  }
  info.IPv4Text = TrimText(info.IPv4Text);
  info.IPv6Text = TrimText(info.IPv6Text);
  return info;
}

}  // namespace

uint32_t SampleAdapters() {
  Adapters.clear();
  TIpHelperApi& api = *IpHelper;

  uint32_t size = 0;
  uint32_t result = api.GetAdaptersAddresses(AfUnspec, AdapterQueryFlags, nullptr, &size);
  if (result != ErrorBufferOverflow) return result;  // 0: no adapters at all

  TAdapterBuffer buffer(api, size);
  if (buffer.get() == nullptr) return ErrorBufferOverflow;
  auto* first = static_cast<TAdapterAddresses*>(buffer.get());
  result = api.GetAdaptersAddresses(AfUnspec, AdapterQueryFlags, first, &size);
  if (result != NoError) return result;

  for (const TAdapterAddresses* a = first; a != nullptr; a = a->Next)
    Adapters.push_back(DescribeAdapter(api, *a));
  return NoError;
}

bool SampleInterfaces() {
  if (IpHelper == nullptr || !IpHelper->HasGetIfTable2()) return false;
  // Without FreeMibTable every table would leak: such a library is not used.
  if (!IpHelper->HasFreeMibTable()) return false;
  TMibIfTable2* table = nullptr;
  if (IpHelper->GetIfTable2(&table) != NoError) return false;
  RawTable = table;
  if (!IpHelper->HasGetAdaptersAddresses()) {
    ReleaseRawTable();
    return false;
  }
  uint32_t adapters;
  try {
    adapters = SampleAdapters();
  } catch (...) {  // out of memory while building the texts
    Adapters.clear();
    ReleaseRawTable();
    return false;
  }
  if (adapters != NoError) {
    ReleaseRawTable();
    return false;
  }
  try {
    CopyRows();
  } catch (...) {
    ReleaseRawTable();
    return false;
  }
  ReleaseRawTable();
  return true;
}

void ReleaseSnapshot() {
  ReleaseRawTable();
  IfTable = TOwnIfTable2();
  Adapters = TOwnAdapters();
}
