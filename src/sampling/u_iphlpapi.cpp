#include "sampling/u_iphlpapi.h"

#include <cstring>

#include "common/u_common.h"

TIpHelperApi* IpHelper = nullptr;
TOwnIfTable2 IfTable;
TOwnAdapters Adapters;
TMibIfTable2* RawTable = nullptr;

std::wstring GuidToText(const TGuid& guid) {
  wchar_t buffer[40];
  std::swprintf(buffer, 40, L"{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}", guid.Data1,
                guid.Data2, guid.Data3, guid.Data4[0], guid.Data4[1], guid.Data4[2], guid.Data4[3],
                guid.Data4[4], guid.Data4[5], guid.Data4[6], guid.Data4[7]);
  return buffer;
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
