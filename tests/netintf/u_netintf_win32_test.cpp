// The interface model against Wine's real services: the Network List Manager,
// the registry and the real snapshot.
#include <windows.h>
#include <objbase.h>

#include <gtest/gtest.h>

#include <mutex>

#include "common/u_common.h"
#include "fakes/fake_netintf.h"
#include "netintf/u_intfsettings.h"
#include "netintf/u_netintf.h"
#include "netintf/u_netintf_win32.h"
#include "netintf/u_nlm.h"
#include "netintf/u_nlm_win32.h"
#include "sampling/u_iphlpapi.h"
#include "sampling/u_iphlpapi_win32.h"
#include "sampling/u_timer.h"
#include "settings/u_filesys.h"

namespace {

// COM as a single-threaded apartment, as the tool's UI thread has it.
struct TComApartment {
  HRESULT hr = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  ~TComApartment() {
    if (SUCCEEDED(hr)) CoUninitialize();
  }
};

}  // namespace

TEST(NetIntfWin32, RealNetworkListRatesTheRealAdapters) {
  TComApartment com;
  ASSERT_TRUE(SUCCEEDED(com.hr));
  TNLM nlm(Win32NetworkList());
  ASSERT_FALSE(nlm.Unavailable());
  EXPECT_TRUE(nlm.Connectivity().empty());  // empty before the first refresh
  nlm.Refresh();
  ASSERT_FALSE(nlm.Connectivity().empty());

  ASSERT_TRUE(BindIpHelper());
  std::lock_guard lock(SampleLock);
  ASSERT_TRUE(SampleInterfaces());
  // Every connection's adapter is one of the snapshot's interfaces, and the
  // look-up answers the recorded flag in any letter case.
  for (const auto& [key, internet] : nlm.Connectivity()) {
    bool known = false;
    for (const TMibIfRow2& row : IfTable.Table)
      known = known || UpperStr(GuidToText(row.InterfaceGuid)) == key;
    EXPECT_TRUE(known) << "connection of an unknown adapter";
    EXPECT_EQ(nlm.HasInternet(LowerStr(key)), internet);
  }
  EXPECT_FALSE(nlm.HasInternet(L"{00000000-0000-0000-0000-000000000000}"));
  UnbindIpHelper();
}

TEST(NetIntfWin32, RealSnapshotQualifiesByHardwareFlagsWithoutTcpipKey) {
  // Wine has no TCP/IP interfaces key; it is never created by reading it.
  EXPECT_FALSE(ReadTcpipInterfaceNames().has_value());
  HKEY probe = nullptr;
  EXPECT_NE(RegOpenKeyExW(HKEY_LOCAL_MACHINE,
                          L"SYSTEM\\CurrentControlSet\\services\\Tcpip\\Parameters\\Interfaces", 0,
                          KEY_READ, &probe),
            ERROR_SUCCESS);

  TFakeSettingsStore settings;
  TWin32IntfPlatform platform([](const std::wstring&) { return nullptr; });
  TMyIntfs intfs(platform, settings);
  intfs.Reset();
  ASSERT_TRUE(BindIpHelper());
  {
    std::lock_guard lock(SampleLock);
    ASSERT_TRUE(SampleInterfaces());
    intfs.UpdateTraffic(false, 1000);
    EXPECT_TRUE(intfs.TcpipKeys.empty());
    int expected = 1;
    for (const TMibIfRow2& row : IfTable.Table) {
      const bool hardware = (row.InterfaceAndOperStatusFlags & IfFlagHardwareInterface) != 0;
      const bool filter = (row.InterfaceAndOperStatusFlags & IfFlagFilterInterface) != 0;
      const bool qualifies = row.Type != IfTypeSoftwareLoopback && hardware && !filter &&
                             row.MediaConnectState != MediaConnectUnknown;
      const TNetIntf* e = intfs.Find(GuidToText(row.InterfaceGuid));
      EXPECT_EQ(e != nullptr, qualifies);
      if (e != nullptr) {
        ++expected;
        EXPECT_FALSE(e->MacText.empty());  // the adapter record was found
      }
    }
    EXPECT_EQ(intfs.Count(), expected);
    EXPECT_GT(intfs.Count(), 1);  // Wine flags its Ethernet rows as hardware
  }
  UnbindIpHelper();
}

TEST(NetIntfWin32, SettingsFileOnTheRealFileSystem) {
  wchar_t temp[MAX_PATH];
  ASSERT_GT(GetTempPathW(MAX_PATH, temp), 0u);
  const std::wstring folder =
      std::wstring(temp) + L"pulsery-intfs-" + std::to_wstring(GetCurrentProcessId());
  ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
  TIntfSettingsFile file(NativeFileSystem(), folder);

  TNetIntf all, eth;
  all.Key = AggregateKey;
  all.OwnIcon = true;
  all.IconSet = L"Default1";
  eth.Key = L"{A0000001-0000-0000-0000-0000000000AB}";
  eth.HideOff = true;
  eth.IconSet = L"\u00dcberall";  // survives the UTF-16 file
  ASSERT_TRUE(file.SaveAll({&all, &eth}));
  TNetIntf back;
  back.Key = eth.Key;
  file.LoadSettings(back, false);
  EXPECT_EQ(back.IconSet, eth.IconSet);
  EXPECT_TRUE(back.HideOff);
  // What the system's own reader sees in our file.
  wchar_t value[64] = {};
  GetPrivateProfileStringW(AggregateKey, L"IconSet", L"", value, 64, file.Path().c_str());
  EXPECT_STREQ(value, L"Default1");

  // A read-only file is left as it is, and the failure is reported.
  ASSERT_TRUE(SetFileAttributesW(file.Path().c_str(), FILE_ATTRIBUTE_READONLY));
  eth.IconSet = L"Changed";
  EXPECT_FALSE(file.SaveSettings(eth));
  file.LoadSettings(back, false);
  EXPECT_EQ(back.IconSet, L"\u00dcberall");

  SetFileAttributesW(file.Path().c_str(), FILE_ATTRIBUTE_NORMAL);
  DeleteFileW(file.Path().c_str());
  RemoveDirectoryW(folder.c_str());
}
