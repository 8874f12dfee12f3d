// The snapshot against Wine's real IP Helper library.
#include "sampling/u_iphlpapi_win32.h"

#include <winsock2.h>
#include <ws2ipdef.h>
#include <iphlpapi.h>
#include <netioapi.h>

#include <gtest/gtest.h>

#include <cstring>
#include <mutex>

#include "common/u_common.h"
#include "sampling/u_iphlpapi.h"
#include "sampling/u_timer.h"

TEST(IpHelperWin32, RealBindingTakesRowsAndAdapters) {
  ASSERT_TRUE(BindIpHelper());
  ASSERT_NE(IpHelper, nullptr);
  EXPECT_TRUE(IpHelper->HasGetIfTable2());
  EXPECT_TRUE(IpHelper->HasFreeMibTable());
  EXPECT_TRUE(IpHelper->HasGetAdaptersAddresses());
  {
    std::lock_guard lock(SampleLock);
    ASSERT_TRUE(SampleInterfaces());
    EXPECT_EQ(RawTable, nullptr);
    ASSERT_GT(IfTable.NumEntries, 0u);
    ASSERT_EQ(IfTable.Table.size(), IfTable.NumEntries);
    ASSERT_FALSE(Adapters.empty());

    // The copy is the platform's table row for row.
    PMIB_IF_TABLE2 direct = nullptr;
    ASSERT_EQ(GetIfTable2(&direct), static_cast<DWORD>(NO_ERROR));
    ASSERT_EQ(direct->NumEntries, IfTable.NumEntries);
    for (ULONG i = 0; i < direct->NumEntries; ++i) {
      const MIB_IF_ROW2& theirs = direct->Table[i];
      const TMibIfRow2& mine = IfTable.Table[i];
      EXPECT_EQ(std::memcmp(&mine.InterfaceGuid, &theirs.InterfaceGuid, sizeof(GUID)), 0);
      EXPECT_EQ(Utf16ToText(mine.Alias, IfMaxStringSize + 1), std::wstring(theirs.Alias));
      EXPECT_EQ(mine.Type, theirs.Type);
      EXPECT_EQ(mine.OperStatus, static_cast<uint32_t>(theirs.OperStatus));
    }
    FreeMibTable(direct);

    // Every adapter name is the GUID text of a row, and loopback has 127.0.0.1.
    bool sawLoopback = false;
    for (const TOwnAdapterInfo& a : Adapters) {
      bool matched = false;
      for (const TMibIfRow2& row : IfTable.Table)
        matched = matched || UpperStr(GuidToText(row.InterfaceGuid)) == UpperStr(a.AdapterName);
      EXPECT_TRUE(matched) << "adapter without a row";
      EXPECT_EQ(a.MacText.size() % 3, 2u);
      if (a.IPv4Text.find(L"127.0.0.1") != std::wstring::npos) sawLoopback = true;
      EXPECT_EQ(a.IPv4Text, TrimText(a.IPv4Text));
    }
    EXPECT_TRUE(sawLoopback);
  }
  UnbindIpHelper();
  EXPECT_EQ(IpHelper, nullptr);
  EXPECT_EQ(IfTable.NumEntries, 0u);
  std::lock_guard lock(SampleLock);
  EXPECT_FALSE(SampleInterfaces());  // unbound: every attempt fails
}
