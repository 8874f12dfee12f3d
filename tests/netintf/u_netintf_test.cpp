#include "netintf/u_netintf.h"

#include <gtest/gtest.h>

#include <random>

#include "common/u_common.h"
#include "fakes/fake_netintf.h"

namespace {

constexpr uint8_t Hardware = IfFlagHardwareInterface;
constexpr uint8_t Filter = IfFlagFilterInterface;

TMibIfRow2 Row(uint32_t id, const char16_t* alias, uint8_t flags = Hardware, uint32_t media = 1,
               uint32_t oper = OperStatusUp) {
  TMibIfRow2 row{};
  row.InterfaceGuid.Data1 = 0xA0000000u + id;
  row.InterfaceGuid.Data4[7] = 0xab;  // a lower-case letter in the GUID text
  std::char_traits<char16_t>::copy(row.Alias, alias, std::char_traits<char16_t>::length(alias));
  std::char_traits<char16_t>::copy(row.Description, u"Adapter", 7);
  row.InterfaceAndOperStatusFlags = flags;
  row.MediaConnectState = media;
  row.OperStatus = oper;
  row.Type = 6;
  return row;
}

std::wstring KeyOf(const TMibIfRow2& row) {
  return UpperStr(GuidToText(row.InterfaceGuid));
}

TOwnIfTable2 Table(std::vector<TMibIfRow2> rows) {
  TOwnIfTable2 t;
  t.NumEntries = uint32_t(rows.size());
  t.Table = std::move(rows);
  return t;
}

class IntfsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    intfs.OnChange = [this](TMyIntfs&) { ++changes; };
    intfs.Reset();
  }
  std::vector<uint32_t> Tick(std::vector<TMibIfRow2> rows) {
    table = Table(std::move(rows));
    return intfs.CheckChangedInterfaces(table);
  }
  std::vector<std::wstring> Keys() const {
    std::vector<std::wstring> keys;
    for (const auto& e : intfs.Items) keys.push_back(e->Key);
    return keys;
  }

  TFakeIntfPlatform platform;
  TFakeSettingsStore settings;
  TMyIntfs intfs{platform, settings};
  TOwnIfTable2 table;
  int changes = 0;
};

}  // namespace

TEST_F(IntfsTest, RowQualification) {
  struct {
    const char* name;
    bool keyOpens;
    bool inTcpip;
    uint8_t flags;
    uint32_t media;
    uint32_t type;
    bool qualifies;
  } cases[] = {
      {"hardware, no TCP/IP list", false, false, Hardware, 1, 6, true},
      {"disconnected hardware", false, false, Hardware, 2, 6, true},
      {"unknown media state", false, false, Hardware, 0, 6, false},
      {"hardware filter interface", false, false, Hardware | Filter, 1, 6, false},
      {"virtual interface", false, false, 0, 1, 6, false},
      {"loopback", false, false, Hardware, 1, 24, false},
      {"in the TCP/IP list", true, true, 0, 1, 6, true},
      {"in the list, filter flags ignored", true, true, Filter, 2, 6, true},
      {"in the list, unknown media", true, true, Hardware, 0, 6, false},
      {"not in the list", true, false, Hardware, 1, 6, false},
      {"loopback in the list", true, true, Hardware, 1, 24, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TMibIfRow2 row = Row(1, u"Ethernet", c.flags, c.media);
    row.Type = c.type;
    TFakeIntfPlatform p;
    p.KeyOpens = c.keyOpens;
    if (c.inTcpip) p.TcpipNames = {LowerStr(KeyOf(row))};  // any letter case
    if (c.keyOpens && !c.inTcpip) p.TcpipNames = {L"{00000000-0000-0000-0000-000000000001}"};
    TFakeSettingsStore s;
    TMyIntfs list(p, s);
    list.Reset();
    TOwnIfTable2 t = Table({row});
    EXPECT_EQ(list.CheckChangedInterfaces(t).size(), c.qualifies ? 1u : 0u);
    EXPECT_EQ(list.Count(), c.qualifies ? 2 : 1);
  }
}

TEST_F(IntfsTest, GuidSetCheckReadsTheTcpipKeyOnlyOnChange) {
  platform.KeyOpens = true;
  const TMibIfRow2 a = Row(1, u"A"), b = Row(2, u"B");
  platform.TcpipNames = {KeyOf(a), KeyOf(b)};

  struct {
    std::vector<TMibIfRow2> rows;
    int reads;  // total reads of the key after this tick
  } ticks[] = {
      {{}, 0},      // nothing known, nothing seen: no change
      {{a}, 1},     // first GUID: change
      {{a}, 1},     // same set
      {{a, b}, 2},  // one more
      {{b, a}, 2},  // order does not matter
      {{a}, 3},     // one fewer (count differs)
      {{a, a}, 4},  // duplicate: count differs from the known set
      {{a, a}, 5},  // ... and keeps differing on every tick
      {{a}, 5},
  };
  for (size_t i = 0; i < std::size(ticks); ++i) {
    SCOPED_TRACE(i);
    Tick(ticks[i].rows);
    EXPECT_EQ(platform.TcpipReads, ticks[i].reads);
  }
  EXPECT_EQ(intfs.KnownGuids.size(), 1u);

  // The key stops opening: the old list stays in force.
  platform.KeyOpens = false;
  Tick({a, b});
  EXPECT_EQ(intfs.TcpipKeys.size(), 2u);
  EXPECT_EQ(intfs.Count(), 3);
}

TEST_F(IntfsTest, DuplicateGuidRowsShareOneEntry) {
  const TMibIfRow2 a = Row(1, u"A");
  EXPECT_EQ(Tick({a, Row(2, u"B"), a}), (std::vector<uint32_t>{0, 1, 2}));
  EXPECT_EQ(intfs.Count(), 3);
  EXPECT_EQ(platform.Tray.Created, 3);  // aggregate + two
}

TEST_F(IntfsTest, ReconciliationCreatesRemovesAndRestoresSettings) {
  const TMibIfRow2 eth = Row(1, u"Ethernet"), wifi = Row(2, u"Wi-Fi");
  intfs.Images = 0x1234;
  ASSERT_EQ(intfs.Count(), 1);
  EXPECT_EQ(intfs.ItemAt(0)->Key, AggregateKey);
  EXPECT_TRUE(intfs.ItemAt(0)->OwnIcon);
  EXPECT_EQ(intfs.ItemAt(0)->IconSet, L"Default1");

  Tick({wifi, eth});
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(Keys(), (std::vector<std::wstring>{AggregateKey, KeyOf(eth), KeyOf(wifi)}));
  TNetIntf* e = intfs.Find(LowerStr(KeyOf(eth)));  // keys compare without case
  ASSERT_NE(e, nullptr);
  EXPECT_FALSE(e->OwnIcon);
  EXPECT_TRUE(e->HideOff);
  EXPECT_TRUE(e->InetIcon);
  EXPECT_EQ(e->IconSet, L"Default2");
  EXPECT_EQ(e->Alias, L"Ethernet");
  EXPECT_EQ(e->TrayIcon->Images(), 0x1234u);
  EXPECT_EQ(e->TrayIcon->Key(), KeyOf(eth));

  // The user's choice, then the interface vanishes: its settings are saved.
  e->OwnIcon = true;
  e->IconSet = L"Mine";
  Tick({wifi});
  EXPECT_EQ(changes, 2);
  EXPECT_EQ(settings.SavedKeys, (std::vector<std::wstring>{KeyOf(eth)}));
  EXPECT_EQ(intfs.Find(KeyOf(eth)), nullptr);
  EXPECT_EQ(platform.Tray.Freed, 1);
  EXPECT_EQ(platform.Tray.FreedWhileVisible, 0);

  // It comes back with a new entry and icon that read the saved settings.
  Tick({wifi, eth});
  EXPECT_EQ(changes, 3);
  e = intfs.Find(KeyOf(eth));
  ASSERT_NE(e, nullptr);
  EXPECT_TRUE(e->OwnIcon);
  EXPECT_EQ(e->IconSet, L"Mine");
  EXPECT_EQ(platform.Tray.Created, 4);

  // A changed alias or state alone is no change of the set.
  TMibIfRow2 renamed = Row(1, u"AAA renamed", Hardware, 2, 2);
  Tick({wifi, renamed});
  EXPECT_EQ(changes, 3);
  EXPECT_EQ(intfs.Find(KeyOf(eth))->Alias, L"Ethernet");
  EXPECT_EQ(intfs.ItemAt(1)->Key, KeyOf(eth));

  // Nothing qualifies any more: both go, one change.
  Tick({});
  EXPECT_EQ(changes, 4);
  EXPECT_EQ(intfs.Count(), 1);
  Tick({});
  EXPECT_EQ(changes, 4);
}

TEST_F(IntfsTest, FailedSettingsWriteKeepsTheEntryAndRetries) {
  const TMibIfRow2 eth = Row(1, u"Ethernet");
  Tick({eth});
  intfs.Find(KeyOf(eth))->IconSet = L"Chosen";
  settings.FailWrites = true;
  Tick({});
  EXPECT_EQ(changes, 1);  // nothing was removed
  ASSERT_NE(intfs.Find(KeyOf(eth)), nullptr);
  EXPECT_EQ(platform.Tray.Freed, 0);
  Tick({});
  EXPECT_EQ(settings.Saves, 2);  // retried on the next tick
  settings.FailWrites = false;
  Tick({});
  EXPECT_EQ(changes, 2);
  EXPECT_EQ(intfs.Find(KeyOf(eth)), nullptr);
  EXPECT_EQ(settings.Sections[KeyOf(eth)].IconSet, L"Chosen");
}

TEST_F(IntfsTest, NextItemAtAndEmptyList) {
  int32_t index = 0;
  TNetIntf* entry = nullptr;
  EXPECT_TRUE(intfs.Next(index, entry));
  EXPECT_EQ(entry->Key, AggregateKey);
  EXPECT_EQ(index, 1);
  EXPECT_FALSE(intfs.Next(index, entry));
  EXPECT_EQ(entry, nullptr);
  EXPECT_EQ(intfs.ItemAt(1), nullptr);
  EXPECT_EQ(intfs.FindIndex(L"{nope}", index), nullptr);
  EXPECT_EQ(index, -1);
  EXPECT_NE(intfs.FindIndex(L"{pulsery-all}", index), nullptr);
  EXPECT_EQ(index, 0);

  intfs.Clear();
  index = 0;
  EXPECT_FALSE(intfs.Next(index, entry));
  EXPECT_EQ(intfs.ItemAt(0), nullptr);
}

TEST(CompareItems, AggregateFirstThenDisplayNames) {
  auto make = [](std::wstring key, std::wstring alias, std::wstring description) {
    TNetIntf e;
    e.Key = std::move(key);
    e.Alias = std::move(alias);
    e.Description = std::move(description);
    return e;
  };
  const TNetIntf all = make(AggregateKey, L"", L"");
  const TNetIntf eth = make(L"{1}", L"ethernet", L"Intel");
  const TNetIntf eth2 = make(L"{2}", L"Ethernet", L"Intel");
  const TNetIntf ethX = make(L"{3}", L"Ethernet 2", L"Intel");
  const TNetIntf noAlias = make(L"{4}", L"", L"Bluetooth");
  const TNetIntf umlaut = make(L"{5}", L"\u00e4", L"x");
  const TNetIntf upperUmlaut = make(L"{6}", L"\u00c4", L"x");
  const TNetIntf shortName = make(L"{7}", L"", L"Eth");
  const TNetIntf longName = make(L"{8}", L"", L"eth0");
  struct {
    const TNetIntf* a;
    const TNetIntf* b;
    int sign;
  } cases[] = {
      {&all, &eth, -1},
      {&eth, &all, 1},
      {&all, &all, -1},
      {nullptr, &eth, 0},
      {&eth, nullptr, 0},
      {&eth, &eth2, 0},   // ASCII letters fold
      {&eth, &ethX, -1},  // '(' sorts before '2'
      {&noAlias, &eth, -1},
      {&upperUmlaut, &umlaut, -1},  // non-ASCII letters do not fold
      {&shortName, &longName, -1},  // a prefix sorts first
      {&longName, &shortName, 1},
  };
  for (const auto& c : cases) {
    const int r = CompareItems(c.a, c.b);
    EXPECT_EQ((r > 0) - (r < 0), c.sign);
  }
  EXPECT_EQ(DisplayName(eth), L"ethernet (Intel)");
  EXPECT_EQ(DisplayName(noAlias), L"Bluetooth");
}
