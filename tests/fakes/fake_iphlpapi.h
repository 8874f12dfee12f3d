// A scripted IP Helper library: interface rows and adapter records built in
// memory exactly as the platform lays them out, with failures on demand.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "common/u_common.h"
#include "sampling/u_iphlpapi.h"

struct TFakeAddress {
  uint16_t Family;
  int32_t Length;              // iSockaddrLength
  std::vector<uint8_t> Bytes;  // the sockaddr itself
};

struct TFakeAdapter {
  std::string Name;
  std::vector<uint8_t> Mac;  // at most 8 bytes
  uint32_t MacLength = 0;
  std::vector<TFakeAddress> Addresses;
};

inline TFakeAddress FakeIPv4(uint8_t a, uint8_t b, uint8_t c, uint8_t d) {
  std::vector<uint8_t> bytes(16, 0);
  bytes[0] = 2;  // AF_INET, little-endian
  bytes[4] = a, bytes[5] = b, bytes[6] = c, bytes[7] = d;
  return {AfInet, 16, bytes};
}

inline TFakeAddress FakeIPv6(std::initializer_list<uint16_t> groups, uint32_t scope = 0) {
  TSockAddrIn6 s{};
  s.sin6_family = AfInet6;
  int i = 0;
  for (uint16_t g : groups) {
    s.sin6_addr[2 * i] = uint8_t(g >> 8);
    s.sin6_addr[2 * i + 1] = uint8_t(g);
    ++i;
  }
  s.sin6_scope_id = scope;
  std::vector<uint8_t> bytes(sizeof s);
  std::memcpy(bytes.data(), &s, sizeof s);
  return {AfInet6, 28, bytes};
}

inline TMibIfRow2 FakeRow(uint32_t index, const char16_t* alias) {
  TMibIfRow2 row{};
  row.InterfaceIndex = index;
  row.InterfaceGuid.Data1 = 0x1000 + index;
  std::char_traits<char16_t>::copy(row.Alias, alias, std::char_traits<char16_t>::length(alias));
  row.InOctets = 1000 * index;
  row.OutOctets = 2000 * index;
  return row;
}

class TFakeIpHelper final : public TIpHelperApi {
 public:
  // Script.
  bool HaveGetIfTable2 = true, HaveFreeMibTable = true, HaveGetAdaptersAddresses = true;
  uint32_t IfTableResult = NoError;
  std::vector<TMibIfRow2> Rows;
  std::vector<TFakeAdapter> AdapterList;
  int64_t FirstQueryResult = -1;   // -1: the natural answer (111, or 0 without adapters)
  int64_t SecondQueryResult = -1;  // -1: fill the buffer
  bool AllocFails = false;

  // Record.
  int IfTableCalls = 0, TablesFreed = 0, TablesOutstanding = 0;
  int AdapterQueries = 0, BuffersAllocated = 0, BuffersFreed = 0;

  ~TFakeIpHelper() override = default;

  bool HasGetIfTable2() const override { return HaveGetIfTable2; }
  bool HasFreeMibTable() const override { return HaveFreeMibTable; }
  bool HasGetAdaptersAddresses() const override { return HaveGetAdaptersAddresses; }

  uint32_t GetIfTable2(TMibIfTable2** table) override {
    ++IfTableCalls;
    *table = nullptr;
    if (IfTableResult != NoError) return IfTableResult;
    const size_t size = offsetof(TMibIfTable2, Table) + (Rows.size() + 1) * sizeof(TMibIfRow2);
    auto* t = static_cast<TMibIfTable2*>(std::calloc(1, size));
    t->NumEntries = uint32_t(Rows.size());
    if (!Rows.empty()) std::memcpy(t->Table, Rows.data(), Rows.size() * sizeof(TMibIfRow2));
    *table = t;
    ++TablesOutstanding;
    return NoError;
  }
  void FreeMibTable(TMibIfTable2* table) override {
    std::free(table);
    ++TablesFreed;
    --TablesOutstanding;
  }

  uint32_t GetAdaptersAddresses(uint32_t family, uint32_t flags, TAdapterAddresses* buffer,
                                uint32_t* size) override {
    ++AdapterQueries;
    LastFamily = family;
    LastFlags = flags;
    const uint32_t needed = NeededSize();
    if (buffer == nullptr) {
      if (FirstQueryResult >= 0) return uint32_t(FirstQueryResult);
      if (AdapterList.empty()) return NoError;
      *size = needed;
      return ErrorBufferOverflow;
    }
    if (SecondQueryResult >= 0) return uint32_t(SecondQueryResult);
    if (*size < needed) {
      *size = needed;
      return ErrorBufferOverflow;
    }
    Fill(reinterpret_cast<uint8_t*>(buffer));
    return NoError;
  }

  void* AllocBuffer(size_t size) override {
    if (AllocFails) return nullptr;
    ++BuffersAllocated;
    void* p = std::malloc(size);
    std::memset(p, 0xCD, size);  // the caller must clear it
    return p;
  }
  void FreeBuffer(void* buffer) override {
    ++BuffersFreed;
    std::free(buffer);
  }
  std::wstring AnsiToText(const char* text) override {
    return std::wstring(text, text + std::strlen(text));
  }

  uint32_t LastFamily = 0, LastFlags = 0;

 private:
  static size_t Align(size_t n) { return (n + 15) & ~size_t(15); }

  uint32_t NeededSize() const {
    size_t n = 0;
    for (const TFakeAdapter& a : AdapterList) {
      n += Align(sizeof(TAdapterAddresses)) + Align(a.Name.size() + 1);
      for (const TFakeAddress& addr : a.Addresses)
        n += Align(sizeof(TAdapterUnicast)) + Align(addr.Bytes.size());
    }
    return uint32_t(n);
  }

  // Lays the records out inside the caller's buffer, linked by pointers.
  void Fill(uint8_t* base) const {
    uint8_t* p = base;
    TAdapterAddresses* previous = nullptr;
    for (const TFakeAdapter& a : AdapterList) {
      auto* record = reinterpret_cast<TAdapterAddresses*>(p);
      p += Align(sizeof(TAdapterAddresses));
      *record = TAdapterAddresses{};
      char* name = reinterpret_cast<char*>(p);
      std::memcpy(name, a.Name.c_str(), a.Name.size() + 1);
      p += Align(a.Name.size() + 1);
      record->AdapterName = name;
      std::memcpy(record->PhysicalAddress, a.Mac.data(), std::min<size_t>(a.Mac.size(), 8));
      record->PhysicalAddressLength = a.MacLength;
      TAdapterUnicast* previousAddress = nullptr;
      for (const TFakeAddress& addr : a.Addresses) {
        auto* unicast = reinterpret_cast<TAdapterUnicast*>(p);
        p += Align(sizeof(TAdapterUnicast));
        *unicast = TAdapterUnicast{};
        std::memcpy(p, addr.Bytes.data(), addr.Bytes.size());
        unicast->Address.lpSockaddr = p;
        unicast->Address.iSockaddrLength = addr.Length;
        p += Align(addr.Bytes.size());
        if (previousAddress)
          previousAddress->Next = unicast;
        else
          record->FirstUnicastAddress = unicast;
        previousAddress = unicast;
      }
      if (previous) previous->Next = record;
      previous = record;
    }
  }
};

// Installs an IP Helper for a scope, with an empty snapshot before and after.
class TIpHelperScope {
 public:
  explicit TIpHelperScope(TIpHelperApi& api) {
    ReleaseSnapshot();
    IpHelper = &api;
  }
  ~TIpHelperScope() {
    ReleaseSnapshot();
    IpHelper = nullptr;
  }
  TIpHelperScope(const TIpHelperScope&) = delete;
  TIpHelperScope& operator=(const TIpHelperScope&) = delete;
};
