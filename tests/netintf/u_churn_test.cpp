// Thousands of ticks of random snapshots; the list's invariants hold after
// every one. Seeded, so a failure repeats.
#include <gtest/gtest.h>

#include <map>
#include <random>
#include <set>

#include "common/u_common.h"
#include "fakes/fake_netintf.h"
#include "netintf/u_netintf.h"

TEST(IntfsChurn, InvariantsHoldOverRandomSnapshots) {
  std::mt19937 random(20261210);
  auto chance = [&](int percent) { return int(random() % 100) < percent; };

  TFakeIntfPlatform platform;
  platform.ShowNewIcons = true;  // every icon starts shown: freeing one unhidden is caught
  TFakeSettingsStore settings;
  TMyIntfs intfs(platform, settings);
  int changes = 0;
  intfs.OnChange = [&](TMyIntfs&) { ++changes; };
  intfs.Reset();

  // A pool of 24 interfaces whose state drifts.
  struct TPoolItem {
    TMibIfRow2 row{};
    bool present = false;
  };
  std::vector<TPoolItem> pool(24);
  for (size_t i = 0; i < pool.size(); ++i) {
    TMibIfRow2& r = pool[i].row;
    r.InterfaceGuid.Data1 = 0xC0000000u + uint32_t(i);
    r.InterfaceGuid.Data4[0] = uint8_t(0xab + i);
    r.Alias[0] = char16_t(u'a' + (i % 5));  // equal display names happen
    r.Alias[1] = char16_t(u'0' + (i % 3));
    r.Type = i == 0 ? IfTypeSoftwareLoopback : 6;
  }

  for (int tick = 0; tick < 4000; ++tick) {
    // Drift: interfaces appear, vanish, change state and counters.
    for (TPoolItem& p : pool) {
      if (chance(5)) p.present = !p.present;
      TMibIfRow2& r = p.row;
      if (chance(5)) r.MediaConnectState = uint32_t(random() % 3);
      if (chance(5)) r.InterfaceAndOperStatusFlags = uint8_t(random() % 4);
      if (chance(10)) r.OperStatus = 1 + random() % 2;
      if (chance(40)) r.InOctets += random() % 5000, r.InUcastOctets += random() % 3000;
      if (chance(40)) r.OutOctets += random() % 5000;
      if (chance(2)) r.InOctets = r.InUcastOctets = 0;  // counters reset
      if (chance(1)) r.OutOctets = ~0ull - random() % 100;
    }
    if (chance(3)) {
      platform.KeyOpens = !platform.KeyOpens;
      platform.TcpipNames.clear();
      for (const TPoolItem& p : pool)
        if (chance(70)) platform.TcpipNames.push_back(LowerStr(GuidToText(p.row.InterfaceGuid)));
    }
    settings.FailWrites = chance(3);

    TOwnIfTable2 table;
    for (const TPoolItem& p : pool) {
      if (!p.present) continue;
      table.Table.push_back(p.row);
      if (chance(3)) table.Table.push_back(p.row);  // a duplicate GUID
    }
    table.NumEntries = uint32_t(table.Table.size());

    std::map<std::wstring, TNetIntf> before;
    for (const auto& e : intfs.Items) {
      TNetIntf copy;
      copy.Key = e->Key, copy.OwnIcon = e->OwnIcon, copy.IconSet = e->IconSet;
      before[e->Key] = std::move(copy);
    }
    // The user edits an entry now and then.
    if (intfs.Count() > 1 && chance(10)) {
      TNetIntf* e = intfs.ItemAt(int32_t(1 + random() % (intfs.Count() - 1)));
      e->OwnIcon = !e->OwnIcon;
      e->IconSet = L"Set" + std::to_wstring(tick);
      before[e->Key].OwnIcon = e->OwnIcon;
      before[e->Key].IconSet = e->IconSet;
    }
    const int changesBefore = changes;
    intfs.UpdateTraffic(table, {}, chance(50), 1000);

    SCOPED_TRACE(tick);
    ASSERT_GE(intfs.Count(), 1);
    ASSERT_EQ(intfs.ItemAt(0)->Key, AggregateKey);
    std::set<std::wstring> keys, qualifying;
    for (uint32_t i = 0; i < table.NumEntries; ++i) {
      const std::wstring key = UpperStr(GuidToText(table.Table[i].InterfaceGuid));
      if (!intfs.IsExcluded(table.Table[i], key)) qualifying.insert(key);
    }
    for (int32_t i = 0; i < intfs.Count(); ++i) {
      const TNetIntf* e = intfs.ItemAt(i);
      ASSERT_TRUE(keys.insert(e->Key).second) << "two entries for one key";
      ASSERT_EQ(intfs.Find(LowerStr(e->Key)), e);
      ASSERT_FALSE(e->Seen);
      if (i > 0) {
        ASSERT_LE(CompareItems(intfs.ItemAt(i - 1), e), 0) << "list not sorted";
        // Only a failed settings write may keep an entry whose row is gone.
        if (!settings.FailWrites) {
          ASSERT_TRUE(qualifying.count(e->Key)) << "stale entry";
        }
      }
    }
    for (const std::wstring& key : qualifying) ASSERT_TRUE(keys.count(key)) << "missing entry";
    ASSERT_EQ(platform.Tray.FreedWhileVisible, 0);
    ASSERT_EQ(platform.Tray.Created - platform.Tray.Freed, intfs.Count());
    // Every entry that went is in the settings file as it was.
    bool setChanged = false;
    for (const auto& [key, old] : before) {
      if (keys.count(key)) continue;
      setChanged = true;
      ASSERT_TRUE(settings.Sections.count(key)) << "settings of a removed entry lost";
      ASSERT_EQ(settings.Sections[key].OwnIcon, old.OwnIcon);
      ASSERT_EQ(settings.Sections[key].IconSet, old.IconSet);
    }
    for (const std::wstring& key : keys) setChanged = setChanged || !before.count(key);
    ASSERT_EQ(changes - changesBefore, setChanged ? 1 : 0) << "OnChange once per changed tick";
    // The aggregate combines the counted entries.
    bool anyUp = false;
    for (int32_t i = 1; i < intfs.Count(); ++i)
      if (qualifying.count(intfs.ItemAt(i)->Key)) anyUp |= intfs.ItemAt(i)->Status == StatusUp;
    ASSERT_EQ(intfs.ItemAt(0)->Status, anyUp ? StatusUp : StatusDown);
  }
  EXPECT_GT(changes, 100);
}
