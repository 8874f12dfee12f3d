#include "sampling/u_iphlpapi.h"

#include <gtest/gtest.h>

#include <cstring>

#include "fakes/fake_iphlpapi.h"

namespace {

class SnapshotTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ReleaseSnapshot();
    IpHelper = &api;
  }
  void TearDown() override {
    ReleaseSnapshot();
    IpHelper = nullptr;
    EXPECT_EQ(api.TablesOutstanding, 0);
    EXPECT_EQ(api.BuffersAllocated, api.BuffersFreed);
  }
  TFakeIpHelper api;
};

TFakeAdapter Adapter(const std::string& name, std::vector<TFakeAddress> addresses = {}) {
  TFakeAdapter a;
  a.Name = name;
  a.Mac = {0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E};
  a.MacLength = 6;
  a.Addresses = std::move(addresses);
  return a;
}

}  // namespace

TEST_F(SnapshotTest, AdapterTextsFollowTheAddressRules) {
  TFakeAddress ipv4As6 = FakeIPv4(1, 2, 3, 4);
  ipv4As6.Bytes[0] = 23;  // length 16 but family AF_INET6
  TFakeAddress shortIPv6 = FakeIPv6({0xfe80, 0, 0, 0, 0, 0, 0, 9});
  shortIPv6.Length = 24;
  TFakeAddress longIPv4 = FakeIPv4(9, 9, 9, 9);
  longIPv4.Length = 28;  // AF_INET must be exactly 16 long
  TFakeAddress unknown = FakeIPv4(8, 8, 8, 8);
  unknown.Bytes[0] = 17;
  TFakeAddress longerIPv6 = FakeIPv6({0x2001, 0xdb8, 0, 0, 0, 0, 0, 1});
  longerIPv6.Length = 32;
  longerIPv6.Bytes.resize(32);

  api.AdapterList = {
      Adapter("{EMPTY}"),
      Adapter("{TWO-V4}", {FakeIPv4(10, 0, 0, 5), FakeIPv4(192, 168, 1, 5)}),
      Adapter("{MIXED}", {FakeIPv6({0xfe80, 0, 0, 0, 1, 2, 3, 4}, 11), ipv4As6, shortIPv6,
                          FakeIPv4(172, 16, 0, 1), longIPv4, unknown, longerIPv6}),
  };
  api.AdapterList[0].MacLength = 0;
  api.AdapterList[2].Mac = {1, 2, 3, 4, 5, 6, 7, 8};
  api.AdapterList[2].MacLength = 8;

  ASSERT_EQ(SampleAdapters(), 0u);
  EXPECT_EQ(api.LastFamily, 0u);
  EXPECT_EQ(api.LastFlags, 0x2Eu);
  ASSERT_EQ(Adapters.size(), 3u);

  EXPECT_EQ(Adapters[0].AdapterName, L"{EMPTY}");
  EXPECT_EQ(Adapters[0].MacText, L"00-00-00-00-00-00");
  EXPECT_EQ(Adapters[0].IPv4Text, L"");
  EXPECT_EQ(Adapters[0].IPv6Text, L"");

  EXPECT_EQ(Adapters[1].MacText, L"00-1A-2B-3C-4D-5E");
  EXPECT_EQ(Adapters[1].IPv4Text, L"10.0.0.5\r\n192.168.1.5");
  EXPECT_EQ(Adapters[1].IPv6Text, L"");

  EXPECT_EQ(Adapters[2].MacText, L"01-02-03-04-05-06-07-08");
  EXPECT_EQ(Adapters[2].IPv4Text, L"172.16.0.1");
  EXPECT_EQ(Adapters[2].IPv6Text, L"fe80::1:2:3:4%11\r\n2001:db8::1");
}

TEST_F(SnapshotTest, AdapterQueryOutcomes) {
  struct {
    const char* name;
    int64_t first, second;
    bool allocFails;
    uint32_t result;
    size_t adapters;
    int buffers;
  } cases[] = {
      {"success", -1, -1, false, 0, 2, 1},
      {"first query fails", 87, -1, false, 87, 0, 0},
      {"first query answers no adapters", 0, -1, false, 0, 0, 0},
      {"buffer cannot be allocated", -1, -1, true, 111, 0, 0},
      {"second query fails", -1, 1, false, 1, 0, 1},
      {"adapters grew between the queries", -1, 111, false, 111, 0, 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    api.AdapterList = {Adapter("{A}", {FakeIPv4(1, 1, 1, 1)}), Adapter("{B}")};
    api.FirstQueryResult = c.first;
    api.SecondQueryResult = c.second;
    api.AllocFails = c.allocFails;
    api.BuffersAllocated = api.BuffersFreed = 0;
    Adapters.assign(5, TOwnAdapterInfo{L"{OLD}", L"", L"", L""});  // always emptied first
    EXPECT_EQ(SampleAdapters(), c.result);
    EXPECT_EQ(Adapters.size(), c.adapters);
    EXPECT_EQ(api.BuffersAllocated, c.buffers);
    EXPECT_EQ(api.BuffersFreed, c.buffers);
  }
  api.AdapterList.clear();
  api.FirstQueryResult = -1;
  api.SecondQueryResult = -1;
  api.AllocFails = false;
  EXPECT_EQ(SampleAdapters(), 0u);  // no adapters at all is a success
  EXPECT_TRUE(Adapters.empty());
}

TEST_F(SnapshotTest, SuccessfulAttemptCopiesRowsWhole) {
  api.Rows = {FakeRow(1, u"Ethernet"), FakeRow(2, u"Wi-Fi"), FakeRow(3, u"Loopback")};
  api.Rows[1].InterfaceAndOperStatusFlags = 0x03;
  api.Rows[2].OutQLen = 0x1122334455667788ull;
  api.AdapterList = {Adapter("{A}", {FakeIPv4(1, 2, 3, 4)})};

  ASSERT_TRUE(SampleInterfaces());
  ASSERT_EQ(IfTable.NumEntries, 3u);
  ASSERT_EQ(IfTable.Table.size(), 3u);
  EXPECT_EQ(std::memcmp(IfTable.Table.data(), api.Rows.data(), 3 * sizeof(TMibIfRow2)), 0);
  EXPECT_EQ(Adapters.size(), 1u);
  EXPECT_EQ(RawTable, nullptr);
  EXPECT_EQ(api.TablesFreed, 1);

  // The array shrinks to the new row count.
  api.Rows.pop_back();
  ASSERT_TRUE(SampleInterfaces());
  EXPECT_EQ(IfTable.NumEntries, 2u);
  EXPECT_EQ(IfTable.Table.size(), 2u);

  // No rows at all is a success too.
  api.Rows.clear();
  ASSERT_TRUE(SampleInterfaces());
  EXPECT_EQ(IfTable.NumEntries, 0u);
  EXPECT_TRUE(IfTable.Table.empty());
}

TEST_F(SnapshotTest, FailedAttemptsKeepTheLastRows) {
  api.Rows = {FakeRow(1, u"Ethernet"), FakeRow(2, u"Wi-Fi")};
  api.AdapterList = {Adapter("{A}"), Adapter("{B}")};
  ASSERT_TRUE(SampleInterfaces());
  api.Rows = {FakeRow(7, u"Other")};

  struct {
    const char* name;
    void (*script)(TFakeIpHelper&);
    bool adaptersEmptied;  // the failure happened in SampleAdapters
    int tablesTaken;
  } cases[] = {
      {"no GetIfTable2", [](TFakeIpHelper& a) { a.HaveGetIfTable2 = false; }, false, 0},
      {"no FreeMibTable", [](TFakeIpHelper& a) { a.HaveFreeMibTable = false; }, false, 0},
      {"GetIfTable2 fails", [](TFakeIpHelper& a) { a.IfTableResult = 8; }, false, 1},
      {"no GetAdaptersAddresses", [](TFakeIpHelper& a) { a.HaveGetAdaptersAddresses = false; },
       false, 1},
      {"adapter query fails", [](TFakeIpHelper& a) { a.FirstQueryResult = 87; }, true, 1},
      {"adapter buffer fails", [](TFakeIpHelper& a) { a.AllocFails = true; }, true, 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TFakeIpHelper& a = api;
    a.HaveGetIfTable2 = a.HaveFreeMibTable = a.HaveGetAdaptersAddresses = true;
    a.IfTableResult = NoError;
    a.FirstQueryResult = -1;
    a.AllocFails = false;
    a.IfTableCalls = 0;
    c.script(a);
    EXPECT_FALSE(SampleInterfaces());
    EXPECT_EQ(a.IfTableCalls, c.tablesTaken);
    EXPECT_EQ(a.TablesOutstanding, 0);
    EXPECT_EQ(RawTable, nullptr);
    ASSERT_EQ(IfTable.NumEntries, 2u);
    EXPECT_EQ(IfTable.Table[1].InterfaceIndex, 2u);
    EXPECT_EQ(Adapters.empty(), c.adaptersEmptied);
  }

  IpHelper = nullptr;  // library not loadable
  EXPECT_FALSE(SampleInterfaces());
  EXPECT_EQ(IfTable.NumEntries, 2u);
}

TEST(GuidText, UpperCaseRegistryForm) {
  TGuid guid{0x0123abcd, 0x4ef0, 0xa1b2, {0xc3, 0xd4, 0xe5, 0xf6, 0x07, 0x18, 0x29, 0x3a}};
  EXPECT_EQ(GuidToText(guid), L"{0123ABCD-4EF0-A1B2-C3D4-E5F60718293A}");
  EXPECT_EQ(GuidToText(TGuid{}), L"{00000000-0000-0000-0000-000000000000}");
}
