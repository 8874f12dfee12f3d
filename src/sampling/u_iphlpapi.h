// The interface snapshot: a copy of the system's interface table (rows with
// 64-bit byte counters) and the adapters' address texts, taken by one sampling
// attempt on the timer thread and read by the tick, both under SampleLock.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "common/u_common.h"

// "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}", upper-case hex.
std::wstring GuidToText(const TGuid& guid);

constexpr uint32_t IfMaxStringSize = 256;
constexpr uint32_t IfMaxPhysAddressLength = 32;
constexpr uint32_t IfTypeSoftwareLoopback = 24;
constexpr uint32_t OperStatusUp = 1;         // IfOperStatusUp
constexpr uint32_t MediaConnectUnknown = 0;  // MediaConnectStateUnknown
constexpr uint8_t IfFlagHardwareInterface = 0x01;
constexpr uint8_t IfFlagFilterInterface = 0x02;

// One interface row: the platform's MIB_IF_ROW2, member for member (the Win32
// side checks the layout), so that a row is copied whole.
struct TMibIfRow2 {
  uint64_t InterfaceLuid;
  uint32_t InterfaceIndex;
  TGuid InterfaceGuid;
  char16_t Alias[IfMaxStringSize + 1];
  char16_t Description[IfMaxStringSize + 1];
  uint32_t PhysicalAddressLength;
  uint8_t PhysicalAddress[IfMaxPhysAddressLength];
  uint8_t PermanentPhysicalAddress[IfMaxPhysAddressLength];
  uint32_t Mtu;
  uint32_t Type;
  uint32_t TunnelType;
  uint32_t MediaType;
  uint32_t PhysicalMediumType;
  uint32_t AccessType;
  uint32_t DirectionType;
  uint8_t InterfaceAndOperStatusFlags;  // bit 0 hardware, bit 1 filter interface
  uint32_t OperStatus;
  uint32_t AdminStatus;
  uint32_t MediaConnectState;
  TGuid NetworkGuid;
  uint32_t ConnectionType;
  uint64_t TransmitLinkSpeed;
  uint64_t ReceiveLinkSpeed;
  uint64_t InOctets;
  uint64_t InUcastPkts;
  uint64_t InNUcastPkts;
  uint64_t InDiscards;
  uint64_t InErrors;
  uint64_t InUnknownProtos;
  uint64_t InUcastOctets;
  uint64_t InMulticastOctets;
  uint64_t InBroadcastOctets;
  uint64_t OutOctets;
  uint64_t OutUcastPkts;
  uint64_t OutNUcastPkts;
  uint64_t OutDiscards;
  uint64_t OutErrors;
  uint64_t OutUcastOctets;
  uint64_t OutMulticastOctets;
  uint64_t OutBroadcastOctets;
  uint64_t OutQLen;
};

// The platform's MIB_IF_TABLE2: a count followed by that many rows.
struct TMibIfTable2 {
  uint32_t NumEntries;
  TMibIfRow2 Table[1];
};

// The leading members of the platform's adapter records (IP_ADAPTER_ADDRESSES
// and IP_ADAPTER_UNICAST_ADDRESS); the records are longer, only these are read.
struct TSocketAddress {
  const void* lpSockaddr;
  int32_t iSockaddrLength;
};
struct TAdapterUnicast {
  uint64_t Alignment;
  const TAdapterUnicast* Next;
  TSocketAddress Address;
};
struct TAdapterAddresses {
  uint64_t Alignment;
  const TAdapterAddresses* Next;
  const char* AdapterName;
  const TAdapterUnicast* FirstUnicastAddress;
  const void* FirstAnycastAddress;
  const void* FirstMulticastAddress;
  const void* FirstDnsServerAddress;
  const char16_t* DnsSuffix;
  const char16_t* Description;
  const char16_t* FriendlyName;
  uint8_t PhysicalAddress[8];
  uint32_t PhysicalAddressLength;
};

constexpr uint32_t AfUnspec = 0;
constexpr uint16_t AfInet = 2;
constexpr uint16_t AfInet6 = 23;
constexpr uint32_t NoError = 0;
constexpr uint32_t ErrorBufferOverflow = 111;
// Skip anycast, multicast, DNS servers and friendly names.
constexpr uint32_t AdapterQueryFlags = 0x2E;

// What a sampling attempt needs of the platform's IP Helper library. An entry
// point the library lacks answers false to its Has... question.
class TIpHelperApi {
 public:
  virtual ~TIpHelperApi() = default;
  virtual bool HasGetIfTable2() const = 0;
  virtual bool HasFreeMibTable() const = 0;
  virtual bool HasGetAdaptersAddresses() const = 0;
  virtual uint32_t GetIfTable2(TMibIfTable2** table) = 0;
  virtual void FreeMibTable(TMibIfTable2* table) = 0;
  virtual uint32_t GetAdaptersAddresses(uint32_t family, uint32_t flags, TAdapterAddresses* buffer,
                                        uint32_t* size) = 0;
  // A committed, read-write buffer; none when it cannot be had.
  virtual void* AllocBuffer(size_t size) = 0;
  virtual void FreeBuffer(void* buffer) = 0;
  // An 8-bit text in the system's ANSI code page.
  virtual std::wstring AnsiToText(const char* text) = 0;
};

// The bound library, or none (then every attempt fails).
extern TIpHelperApi* IpHelper;

struct TOwnIfTable2 {
  uint32_t NumEntries = 0;
  std::vector<TMibIfRow2> Table;
};

struct TOwnAdapterInfo {
  std::wstring AdapterName;
  std::wstring MacText;
  std::wstring IPv4Text;  // one address a line, CR LF between them
  std::wstring IPv6Text;
};

using TOwnAdapters = std::vector<TOwnAdapterInfo>;

// The snapshot. Touched only by a thread that holds SampleLock.
extern TOwnIfTable2 IfTable;
extern TOwnAdapters Adapters;
extern TMibIfTable2* RawTable;

// One sampling attempt: a new interface table and new adapter texts. On
// failure IfTable keeps the rows of the last successful attempt.
bool SampleInterfaces();

// Refills Adapters from the adapter query; 0 on success, else the platform's
// error code (111 when the buffer cannot be allocated).
uint32_t SampleAdapters();

// Copies every row of RawTable whole into IfTable.
void CopyRows();

// Frees RawTable if one is held.
void ReleaseRawTable();

// Empties the snapshot (at exit).
void ReleaseSnapshot();
