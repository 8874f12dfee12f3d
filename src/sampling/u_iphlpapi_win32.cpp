#include "sampling/u_iphlpapi_win32.h"

#include <winsock2.h>
#include <ws2ipdef.h>
#include <iphlpapi.h>
#include <netioapi.h>

#include <cstddef>

#include "common/u_handles_win32.h"
#include "sampling/u_iphlpapi.h"

// The portable mirrors must be the platform's structures byte for byte.
#define SAME_MEMBER(mine, theirs, member) \
  static_assert(offsetof(mine, member) == offsetof(theirs, member), #member)
static_assert(sizeof(TGuid) == sizeof(GUID));
static_assert(sizeof(TMibIfRow2) == sizeof(MIB_IF_ROW2));
SAME_MEMBER(TMibIfRow2, MIB_IF_ROW2, InterfaceGuid);
SAME_MEMBER(TMibIfRow2, MIB_IF_ROW2, Alias);
SAME_MEMBER(TMibIfRow2, MIB_IF_ROW2, Description);
SAME_MEMBER(TMibIfRow2, MIB_IF_ROW2, PhysicalAddressLength);
SAME_MEMBER(TMibIfRow2, MIB_IF_ROW2, Type);
SAME_MEMBER(TMibIfRow2, MIB_IF_ROW2, InterfaceAndOperStatusFlags);
SAME_MEMBER(TMibIfRow2, MIB_IF_ROW2, OperStatus);
SAME_MEMBER(TMibIfRow2, MIB_IF_ROW2, MediaConnectState);
SAME_MEMBER(TMibIfRow2, MIB_IF_ROW2, ReceiveLinkSpeed);
SAME_MEMBER(TMibIfRow2, MIB_IF_ROW2, InOctets);
SAME_MEMBER(TMibIfRow2, MIB_IF_ROW2, InUcastOctets);
SAME_MEMBER(TMibIfRow2, MIB_IF_ROW2, InMulticastOctets);
SAME_MEMBER(TMibIfRow2, MIB_IF_ROW2, InBroadcastOctets);
SAME_MEMBER(TMibIfRow2, MIB_IF_ROW2, OutOctets);
SAME_MEMBER(TMibIfRow2, MIB_IF_ROW2, OutUcastOctets);
SAME_MEMBER(TMibIfRow2, MIB_IF_ROW2, OutMulticastOctets);
SAME_MEMBER(TMibIfRow2, MIB_IF_ROW2, OutBroadcastOctets);
SAME_MEMBER(TMibIfRow2, MIB_IF_ROW2, OutQLen);
SAME_MEMBER(TMibIfTable2, MIB_IF_TABLE2, Table);
SAME_MEMBER(TAdapterAddresses, IP_ADAPTER_ADDRESSES, Next);
SAME_MEMBER(TAdapterAddresses, IP_ADAPTER_ADDRESSES, AdapterName);
SAME_MEMBER(TAdapterAddresses, IP_ADAPTER_ADDRESSES, FirstUnicastAddress);
SAME_MEMBER(TAdapterAddresses, IP_ADAPTER_ADDRESSES, PhysicalAddress);
SAME_MEMBER(TAdapterAddresses, IP_ADAPTER_ADDRESSES, PhysicalAddressLength);
SAME_MEMBER(TAdapterUnicast, IP_ADAPTER_UNICAST_ADDRESS, Next);
SAME_MEMBER(TAdapterUnicast, IP_ADAPTER_UNICAST_ADDRESS, Address);
SAME_MEMBER(TSocketAddress, SOCKET_ADDRESS, lpSockaddr);
SAME_MEMBER(TSocketAddress, SOCKET_ADDRESS, iSockaddrLength);
static_assert(AfInet == AF_INET && AfInet6 == AF_INET6);
static_assert(IfTypeSoftwareLoopback == IF_TYPE_SOFTWARE_LOOPBACK);

namespace {

using TGetIfTable2 = DWORD(WINAPI*)(PMIB_IF_TABLE2*);
using TFreeMibTable = VOID(WINAPI*)(PVOID);
using TGetAdaptersAddresses = ULONG(WINAPI*)(ULONG, ULONG, PVOID, PIP_ADAPTER_ADDRESSES, PULONG);

class TWin32IpHelper final : public TIpHelperApi {
 public:
  explicit TWin32IpHelper(HMODULE library) : library_(library) {
    getIfTable2_ = reinterpret_cast<TGetIfTable2>(
        reinterpret_cast<void*>(GetProcAddress(library, "GetIfTable2")));
    freeMibTable_ = reinterpret_cast<TFreeMibTable>(
        reinterpret_cast<void*>(GetProcAddress(library, "FreeMibTable")));
    getAdaptersAddresses_ = reinterpret_cast<TGetAdaptersAddresses>(
        reinterpret_cast<void*>(GetProcAddress(library, "GetAdaptersAddresses")));
  }

  bool HasGetIfTable2() const override { return getIfTable2_ != nullptr; }
  bool HasFreeMibTable() const override { return freeMibTable_ != nullptr; }
  bool HasGetAdaptersAddresses() const override { return getAdaptersAddresses_ != nullptr; }

  uint32_t GetIfTable2(TMibIfTable2** table) override {
    PMIB_IF_TABLE2 raw = nullptr;
    const DWORD result = getIfTable2_(&raw);
    *table = reinterpret_cast<TMibIfTable2*>(raw);
    return result;
  }
  void FreeMibTable(TMibIfTable2* table) override { freeMibTable_(table); }
  uint32_t GetAdaptersAddresses(uint32_t family, uint32_t flags, TAdapterAddresses* buffer,
                                uint32_t* size) override {
    ULONG length = *size;
    const ULONG result = getAdaptersAddresses_(
        family, flags, nullptr, reinterpret_cast<PIP_ADAPTER_ADDRESSES>(buffer), &length);
    *size = length;
    return result;
  }
  void* AllocBuffer(size_t size) override {
    return VirtualAlloc(nullptr, size, MEM_COMMIT, PAGE_READWRITE);
  }
  void FreeBuffer(void* buffer) override { VirtualFree(buffer, 0, MEM_RELEASE); }
  std::wstring AnsiToText(const char* text) override {
    const int length = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
    if (length <= 1) return {};
    std::wstring out(length - 1, L'\0');
    MultiByteToWideChar(CP_ACP, 0, text, -1, out.data(), length);
    return out;
  }

 private:
  TModule library_;
  TGetIfTable2 getIfTable2_ = nullptr;
  TFreeMibTable freeMibTable_ = nullptr;
  TGetAdaptersAddresses getAdaptersAddresses_ = nullptr;
};

TWin32IpHelper* Bound = nullptr;

}  // namespace

bool BindIpHelper() {
  if (Bound != nullptr) return true;
  HMODULE library = LoadSystemLibrary(L"iphlpapi.dll");
  if (library == nullptr) return false;
  Bound = new TWin32IpHelper(library);
  IpHelper = Bound;
  return true;
}

void UnbindIpHelper() {
  ReleaseSnapshot();
  IpHelper = nullptr;
  delete Bound;  // releases the library
  Bound = nullptr;
}
