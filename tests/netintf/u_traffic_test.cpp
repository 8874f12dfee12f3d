// Traffic accounting: activity, totals, state, connectivity pacing and the
// daily-check trigger.
#include <gtest/gtest.h>

#include "common/u_common.h"
#include "fakes/fake_netintf.h"
#include "netintf/u_netintf.h"
#include "netintf/u_nlm.h"

namespace {

TMibIfRow2 Row(uint32_t id, uint32_t oper = OperStatusUp) {
  TMibIfRow2 row{};
  row.InterfaceGuid.Data1 = 0xB0000000u + id;
  row.InterfaceAndOperStatusFlags = IfFlagHardwareInterface;
  row.MediaConnectState = 1;
  row.OperStatus = oper;
  row.Type = 6;
  row.Alias[0] = char16_t(u'A' + id);
  return row;
}

void SetCounters(TMibIfRow2& r, uint64_t inAll, uint64_t inUni, uint64_t inMulti, uint64_t inBroad,
                 uint64_t outAll, uint64_t outUni, uint64_t outMulti, uint64_t outBroad) {
  r.InOctets = inAll, r.InUcastOctets = inUni, r.InMulticastOctets = inMulti;
  r.InBroadcastOctets = inBroad;
  r.OutOctets = outAll, r.OutUcastOctets = outUni, r.OutMulticastOctets = outMulti;
  r.OutBroadcastOctets = outBroad;
}

TGuid GuidOf(const TMibIfRow2& r) {
  return r.InterfaceGuid;
}
std::wstring KeyOf(const TMibIfRow2& r) {
  return GuidToText(r.InterfaceGuid);
}

class TrafficTest : public ::testing::Test {
 protected:
  void SetUp() override {
    intfs.Nlm = &nlm;
    intfs.CheckDaily = [this] { ++dailyChecks; };
    intfs.Reset();
  }
  void Tick(std::vector<TMibIfRow2> rows, bool excludeSvc = false, int32_t interval = 1000) {
    table.NumEntries = uint32_t(rows.size());
    table.Table = std::move(rows);
    intfs.UpdateTraffic(table, adapters, excludeSvc, interval);
  }
  TNetIntf& Entry(const TMibIfRow2& r) { return *intfs.Find(KeyOf(r)); }
  TNetIntf& All() { return *intfs.ItemAt(0); }
  void Online(const TMibIfRow2& r, uint32_t flags = NlmConnectivityIPv4Internet) {
    list->List.push_back({GuidOf(r), flags});
  }

  TFakeIntfPlatform platform;
  TFakeSettingsStore settings;
  TFakeNetworkList* list = new TFakeNetworkList;
  TNLM nlm{std::unique_ptr<TNetworkListPort>(list)};
  TMyIntfs intfs{platform, settings};
  TOwnIfTable2 table;
  TOwnAdapters adapters;
  int dailyChecks = 0;
};

}  // namespace

TEST_F(TrafficTest, CreatingTickShowsNoActivityAndTakesAddresses) {
  TMibIfRow2 eth = Row(1);
  SetCounters(eth, 5000, 4000, 600, 400, 3000, 2500, 300, 200);
  eth.ReceiveLinkSpeed = 1000000000;
  adapters = {{L"{other}", L"11-11-11-11-11-11", L"9.9.9.9", L""},
              {LowerStr(KeyOf(eth)), L"00-1A-2B-3C-4D-5E", L"10.0.0.5\r\n10.0.0.6", L"fe80::1%3"},
              {KeyOf(eth), L"second record", L"x", L"y"}};  // the first match wins
  Tick({eth});
  TNetIntf& e = Entry(eth);
  EXPECT_FALSE(e.Received);
  EXPECT_FALSE(e.Sent);
  EXPECT_EQ(e.RecvTotal, 4000u);  // unicast: the driver splits its counters
  EXPECT_EQ(e.SentTotal, 2500u);
  EXPECT_EQ(e.InOctets, 5000u);
  EXPECT_EQ(e.LinkSpeed, 1000000000u);
  EXPECT_EQ(e.Status, StatusUp);
  EXPECT_EQ(e.MacText, L"00-1A-2B-3C-4D-5E");
  EXPECT_EQ(e.IPv4Text, L"10.0.0.5\r\n10.0.0.6");
  EXPECT_EQ(e.IPv6Text, L"fe80::1%3");
  EXPECT_EQ(All().RecvTotal, 4000u);
  EXPECT_EQ(All().Status, StatusUp);
  EXPECT_EQ(All().InOctets, 0u);  // never written for the aggregate
  EXPECT_EQ(All().LinkSpeed, 0u);

  adapters.clear();  // no record: empty texts for this tick
  Tick({eth});
  EXPECT_EQ(Entry(eth).MacText, L"");
  EXPECT_EQ(Entry(eth).IPv4Text, L"");
}

TEST_F(TrafficTest, ActivityByOptionAndCounterSplit) {
  struct {
    const char* name;
    bool excludeSvc;
    bool split;           // the driver reports unicast/multicast/broadcast
    uint64_t addUnicast;  // added on the second tick
    uint64_t addOther;    // broadcast/multicast added on the second tick
    bool received;
    uint64_t total;  // RecvTotal after the second tick
  } cases[] = {
      {"option on, broadcast only", true, true, 0, 100, false, 1000},
      {"option on, unicast", true, true, 50, 0, true, 1050},
      {"option on, no split: all octets count", true, false, 0, 100, true, 1600},
      {"option off, broadcast only", false, true, 0, 100, true, 1000},
      {"option off, unicast", false, true, 50, 0, true, 1050},
      {"option off, nothing", false, true, 0, 0, false, 1000},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TFakeIntfPlatform p;
    TFakeSettingsStore s;
    TMyIntfs list(p, s);
    list.Reset();
    TMibIfRow2 r = Row(1);
    if (c.split) {
      SetCounters(r, 1500, 1000, 300, 200, 900, 900, 0, 0);
    } else {
      SetCounters(r, 1500, 0, 0, 0, 900, 0, 0, 0);
    }
    TOwnIfTable2 t;
    t.NumEntries = 1;
    t.Table = {r};
    list.UpdateTraffic(t, {}, c.excludeSvc, 1000);
    TMibIfRow2& next = t.Table[0];
    next.InOctets += c.addUnicast + c.addOther;
    if (c.split) {
      next.InUcastOctets += c.addUnicast;
      next.InBroadcastOctets += c.addOther;
    }
    list.UpdateTraffic(t, {}, c.excludeSvc, 1000);
    const TNetIntf& e = *list.ItemAt(1);
    EXPECT_EQ(e.Received, c.received);
    EXPECT_FALSE(e.Sent);
    EXPECT_EQ(e.RecvTotal, c.split ? c.total : 1500 + c.addOther + c.addUnicast);
    EXPECT_EQ(list.ItemAt(0)->Received, c.received);
  }
}

TEST_F(TrafficTest, CounterResetIsActivityForOneTick) {
  TMibIfRow2 eth = Row(1);
  SetCounters(eth, 90000, 0, 0, 0, 80000, 0, 0, 0);
  Tick({eth});
  SetCounters(eth, 10, 0, 0, 0, 80000, 0, 0, 0);  // the system reset its counters
  Tick({eth});
  EXPECT_TRUE(Entry(eth).Received);
  EXPECT_FALSE(Entry(eth).Sent);
  EXPECT_EQ(Entry(eth).RecvTotal, 10u);
  Tick({eth});
  EXPECT_FALSE(Entry(eth).Received);
}

TEST_F(TrafficTest, AggregateAllDownStillCombinesFlags) {
  TMibIfRow2 a = Row(1, 2), b = Row(2, 2);  // both down
  SetCounters(a, 100, 0, 0, 0, 100, 0, 0, 0);
  SetCounters(b, 0xFFFFFFFFFFFFFFF0ull, 0, 0, 0, 7, 0, 0, 0);
  Online(a);
  Tick({a, b});
  EXPECT_EQ(All().Status, StatusDown);
  EXPECT_TRUE(All().Internet);
  EXPECT_EQ(All().RecvTotal, 100u + 0xFFFFFFFFFFFFFFF0ull);  // wraps modulo 2^64
  SetCounters(a, 200, 0, 0, 0, 100, 0, 0, 0);
  Tick({a, b});
  EXPECT_EQ(All().Status, StatusDown);
  EXPECT_TRUE(All().Received);
  EXPECT_FALSE(All().Sent);
  EXPECT_EQ(intfs.InetHits, 0);  // does not count while down

  Tick({});  // nothing qualifies
  EXPECT_EQ(All().Status, StatusDown);
  EXPECT_FALSE(All().Received);
  EXPECT_FALSE(All().Internet);
  EXPECT_EQ(All().RecvTotal, 0u);
  EXPECT_EQ(All().SentTotal, 0u);
}

TEST_F(TrafficTest, RefreshCadenceAndDailyCheck) {
  for (int32_t interval : {250, 1000, 1700}) {
    SCOPED_TRACE(interval);
    TFakeIntfPlatform p;
    TFakeSettingsStore s;
    auto* l = new TFakeNetworkList;
    TNLM probe{std::unique_ptr<TNetworkListPort>(l)};
    TMyIntfs list(p, s);
    int checks = 0;
    list.Nlm = &probe;
    list.CheckDaily = [&] { ++checks; };
    list.Reset();
    TMibIfRow2 r = Row(1);
    l->List.push_back({r.InterfaceGuid, NlmConnectivityIPv6Internet});
    TOwnIfTable2 t;
    t.NumEntries = 1;
    t.Table = {r};
    const int gap = (10000 + interval - 1) / interval + 1;
    std::vector<int> refreshTicks, checkTicks;
    for (int tick = 0; tick < 6 * gap + 1; ++tick) {
      const int before = l->Refreshes;
      const int checksBefore = checks;
      list.UpdateTraffic(t, {}, false, interval);
      if (l->Refreshes != before) refreshTicks.push_back(tick);
      if (checks != checksBefore) checkTicks.push_back(tick);
    }
    std::vector<int> expected;
    for (int k = 0; k <= 6; ++k) expected.push_back(k * gap);
    EXPECT_EQ(refreshTicks, expected);
    EXPECT_EQ(checkTicks, (std::vector<int>{2 * gap, 5 * gap}));  // every third online refresh
  }
}

TEST_F(TrafficTest, InternetChangesOnlyOnRefreshTicks) {
  TMibIfRow2 a = Row(1);
  Tick({a});  // refresh tick, not online yet
  EXPECT_FALSE(Entry(a).Internet);
  Online(a);
  for (int i = 0; i < 10; ++i) Tick({a});  // 10 s at 1000 ms: no refresh yet
  EXPECT_FALSE(Entry(a).Internet);
  Tick({a});
  EXPECT_TRUE(Entry(a).Internet);
  EXPECT_TRUE(All().Internet);

  // An entry created between refreshes reads false until the next one.
  TMibIfRow2 b = Row(2);
  Online(b);
  Tick({a, b});
  EXPECT_FALSE(Entry(b).Internet);
  EXPECT_TRUE(Entry(a).Internet);
}

TEST_F(TrafficTest, DuplicateGuidRowsUpdateTheEntryInRowOrder) {
  TMibIfRow2 first = Row(1), second = Row(1, 2);
  SetCounters(first, 10, 0, 0, 0, 10, 0, 0, 0);
  SetCounters(second, 20, 0, 0, 0, 30, 0, 0, 0);
  second.ReceiveLinkSpeed = 54000000;
  Tick({first, second});
  const TNetIntf& e = Entry(first);
  EXPECT_EQ(intfs.Count(), 2);
  EXPECT_EQ(e.RecvTotal, 20u);  // the later row wins
  EXPECT_EQ(e.Status, StatusDown);
  EXPECT_EQ(e.LinkSpeed, 54000000u);
  EXPECT_TRUE(e.Received);            // the second row differs from the first within the tick
  EXPECT_EQ(All().RecvTotal, 30u);    // both rows are summed
  EXPECT_EQ(All().Status, StatusUp);  // the first row was up
}

TEST(Nlm, ConnectivityRules) {
  const TGuid a{0xAAAA, 1, 2, {0xab, 0, 0, 0, 0, 0, 0, 1}};
  const TGuid b{0xBBBB, 1, 2, {0, 0, 0, 0, 0, 0, 0, 2}};
  const TGuid c{0xCCCC, 1, 2, {0, 0, 0, 0, 0, 0, 0, 3}};
  struct {
    const char* name;
    std::vector<TNlmConnection> list;
    bool a, b, c;
  } cases[] = {
      {"IPv4 Internet", {{a, 0x40}}, true, false, false},
      {"IPv6 Internet only", {{a, 0x400}}, true, false, false},
      {"local network and subnet only", {{a, 0x20 | 0x200 | 0x1 | 0x2}}, false, false, false},
      {"first connection of an adapter decides", {{a, 0x0}, {a, 0x40}}, false, false, false},
      {"unreadable adapter ends the refresh",
       {{b, 0x40}, {std::nullopt, 0x40}, {c, 0x40}},
       false,
       true,
       false},
      {"unreadable connectivity ends it too", {{b, 0x40}, {c, std::nullopt}}, false, true, false},
      {"no connections", {}, false, false, false},
  };
  for (const auto& t : cases) {
    SCOPED_TRACE(t.name);
    auto* port = new TFakeNetworkList;
    port->List = t.list;
    TNLM nlm{std::unique_ptr<TNetworkListPort>(port)};
    nlm.Refresh();
    EXPECT_EQ(nlm.HasInternet(GuidToText(a)), t.a);
    EXPECT_EQ(nlm.HasInternet(LowerStr(GuidToText(a))), t.a);  // any letter case
    EXPECT_EQ(nlm.HasInternet(GuidToText(b)), t.b);
    EXPECT_EQ(nlm.HasInternet(GuidToText(c)), t.c);
  }

  auto* failing = new TFakeNetworkList;
  failing->List = {{a, 0x40}};
  TNLM nlm{std::unique_ptr<TNetworkListPort>(failing)};
  nlm.Refresh();
  EXPECT_TRUE(nlm.HasInternet(GuidToText(a)));
  failing->ListFails = true;  // the list cannot be had: nobody is online
  nlm.Refresh();
  EXPECT_FALSE(nlm.HasInternet(GuidToText(a)));

  auto* absent = new TFakeNetworkList;
  absent->CreateFails = true;
  absent->List = {{a, 0x40}};
  TNLM unavailable{std::unique_ptr<TNetworkListPort>(absent)};
  EXPECT_TRUE(unavailable.Unavailable());
  unavailable.Refresh();
  EXPECT_EQ(absent->Refreshes, 0);
  EXPECT_FALSE(unavailable.HasInternet(GuidToText(a)));
}
