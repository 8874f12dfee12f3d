// The per-interface settings file: defaults, value rules, what a write keeps,
// and failing writes.
#include "netintf/u_intfsettings.h"

#include <gtest/gtest.h>

#include "fakes/fake_filesystem.h"
#include "fakes/fake_netintf.h"
#include "fakes/fake_opts_platform.h"
#include "settings/u_inifile.h"

namespace {

const std::wstring Folder = L"data";
const std::wstring File = std::wstring(L"data") + PathDelim + L"PulseryIntfs.ini";
const std::wstring Eth = L"{A0000001-0000-0000-0000-0000000000AB}";

std::string Utf16(const std::wstring& text) {
  return EncodeUtf16Le(text);
}

TNetIntf Entry(const std::wstring& key) {
  TNetIntf e;
  e.Key = key;
  return e;
}

}  // namespace

TEST(IntfSettingsFile, DefaultsAndValueRules) {
  TFakeFileSystem fs;
  TIntfSettingsFile file(fs, Folder + PathDelim);
  EXPECT_EQ(file.Path(), File);

  TNetIntf eth = Entry(Eth), all = Entry(AggregateKey);
  file.LoadSettings(eth, false);  // no file at all
  file.LoadSettings(all, true);
  EXPECT_FALSE(eth.OwnIcon);
  EXPECT_TRUE(eth.HideOff);
  EXPECT_TRUE(eth.InetIcon);
  EXPECT_EQ(eth.IconSet, L"Default2");
  EXPECT_TRUE(all.OwnIcon);
  EXPECT_FALSE(all.HideOff);
  EXPECT_TRUE(all.InetIcon);
  EXPECT_EQ(all.IconSet, L"Default1");

  struct {
    const wchar_t* value;
    bool ownIcon;
  } cases[] = {{L"1", true},    {L"2", true}, {L"0", false},  {L"0x0", false}, {L"0x10", true},
               {L"yes", false}, {L"", false}, {L" 7 ", true}, {L"-1", true}};
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::PrintToString(std::wstring(c.value)));
    fs.Files[File] = Utf16(L"[" + Eth + L"]\r\nOwnIcon=" + c.value + L"\r\n");
    TNetIntf e = Entry(Eth);
    file.LoadSettings(e, false);
    EXPECT_EQ(e.OwnIcon, c.ownIcon);
  }

  // Keys and sections match without regard to case; text values are trimmed;
  // a HideOff written by hand into the aggregate's section is ignored.
  fs.Files[File] = Utf16(L"[{pulsery-all}]\r\nhideoff=1\r\nOWNICON=0\r\nIconSet=  Mine  \r\n[" +
                         LowerStr(Eth) + L"]\r\nhideoff=0\r\ninetIcon=0\r\n");
  all = Entry(AggregateKey);
  file.LoadSettings(all, true);
  EXPECT_FALSE(all.HideOff);
  EXPECT_FALSE(all.OwnIcon);
  EXPECT_EQ(all.IconSet, L"Mine");
  eth = Entry(Eth);
  file.LoadSettings(eth, false);
  EXPECT_FALSE(eth.HideOff);
  EXPECT_FALSE(eth.InetIcon);
}

TEST(IntfSettingsFile, WritesKeepOtherSectionsInPlace) {
  TFakeFileSystem fs;
  fs.Folders.insert(Folder);
  fs.Files[File] = Utf16(L"; hand-written\r\n[Other]\r\nX=1\r\n\r\n[" + Eth +
                         L"]\r\nIconSet=Old\r\nExtra=keep\r\n");
  TIntfSettingsFile file(fs, Folder);
  TNetIntf eth = Entry(Eth);
  eth.OwnIcon = true;
  eth.HideOff = false;
  eth.InetIcon = true;
  eth.IconSet = L"Mine";
  TNetIntf all = Entry(AggregateKey);
  all.OwnIcon = false;
  all.InetIcon = false;
  all.IconSet = L"Default1";
  ASSERT_TRUE(file.SaveAll({&all, &eth}));
  EXPECT_EQ(fs.Files[File],
            Utf16(L"[Other]\r\nX=1\r\n\r\n[" + Eth +
                  L"]\r\nIconSet=Mine\r\nExtra=keep\r\nOwnIcon=1\r\nHideOff=0\r\nInetIcon=1\r\n\r\n"
                  L"[{PULSERY-ALL}]\r\nOwnIcon=0\r\nInetIcon=0\r\nIconSet=Default1\r\n\r\n"));

  // One entry alone rewrites the file with everything else kept.
  eth.IconSet = L"Other";
  ASSERT_TRUE(file.SaveSettings(eth));
  TNetIntf back = Entry(Eth);
  file.LoadSettings(back, false);
  EXPECT_EQ(back.IconSet, L"Other");
  EXPECT_TRUE(back.OwnIcon);
  EXPECT_NE(fs.Files[File].find(Utf16(L"[Other]")), std::string::npos);
  EXPECT_TRUE(file.SaveAll({}));  // nothing to write: no rewrite
}

TEST(IntfSettingsFile, DataFolderIsFoundAnewForEveryOperation) {
  TFakeFileSystem fs;
  TFakeShellPaths paths;
  const std::wstring folder = paths.LocalAppData + PathDelim + L"Pulsery";
  TIntfSettingsFile file(fs, paths);
  TNetIntf eth = Entry(Eth);
  eth.IconSet = L"Mine";

  // The folder is gone since start (a clean-up tool removed it): the write
  // makes it again instead of failing until exit.
  ASSERT_TRUE(file.SaveSettings(eth));
  EXPECT_EQ(fs.Folders.count(folder), 1u);
  EXPECT_EQ(file.Path(), folder + PathDelim + L"PulseryIntfs.ini");
  TNetIntf back = Entry(Eth);
  file.LoadSettings(back, false);
  EXPECT_EQ(back.IconSet, L"Mine");

  // When it can be neither found nor made: the executable's folder.
  fs.Folders.clear();
  fs.MakeFolderFails = true;
  ASSERT_TRUE(file.SaveAll({&eth}));
  EXPECT_EQ(fs.Files.count(L"C:\\Program Files\\Pulsery\\PulseryIntfs.ini"), 1u);
}

TEST(IntfSettingsFile, FailedWritesLeaveTheOldFileWhole) {
  TFakeFileSystem fs;
  fs.Folders.insert(Folder);
  const std::string old = Utf16(L"[" + Eth + L"]\r\nIconSet=Old\r\n\r\n");
  TNetIntf eth = Entry(Eth);
  eth.IconSet = L"New";
  struct {
    const char* name;
    void (*fault)(TFakeFileSystem&);
  } faults[] = {
      {"disk full", [](TFakeFileSystem& f) { f.DiskFull = true; }},
      {"file locked", [](TFakeFileSystem& f) { f.ReplaceFails = true; }},
      {"file unreadable", [](TFakeFileSystem& f) { f.Unreadable.insert(File); }},
  };
  for (const auto& f : faults) {
    SCOPED_TRACE(f.name);
    fs.Files.clear();
    fs.Files[File] = old;
    fs.DiskFull = fs.ReplaceFails = false;
    fs.Unreadable.clear();
    f.fault(fs);
    TIntfSettingsFile file(fs, Folder);
    EXPECT_FALSE(file.SaveSettings(eth));
    EXPECT_FALSE(file.SaveAll({&eth}));
    EXPECT_EQ(fs.Files[File], old);
  }
}

TEST(IntfSettingsFile, RemovalWithAFailingWriteIsRetried) {
  TFakeFileSystem fs;
  fs.Folders.insert(Folder);
  TIntfSettingsFile file(fs, Folder);
  TFakeIntfPlatform platform;
  TMyIntfs intfs(platform, file);
  intfs.Reset();
  TOwnIfTable2 table;
  TMibIfRow2 row{};
  row.InterfaceGuid.Data1 = 0xA0000001;
  row.InterfaceGuid.Data4[7] = 0xAB;
  row.InterfaceAndOperStatusFlags = IfFlagHardwareInterface;
  row.MediaConnectState = 1;
  table.Table = {row};
  table.NumEntries = 1;
  intfs.CheckChangedInterfaces(table);
  ASSERT_NE(intfs.Find(Eth), nullptr);
  intfs.Find(Eth)->IconSet = L"Chosen";

  table = TOwnIfTable2();
  fs.DiskFull = true;
  intfs.CheckChangedInterfaces(table);
  EXPECT_NE(intfs.Find(Eth), nullptr);  // kept: its settings are not on disk yet
  fs.DiskFull = false;
  intfs.CheckChangedInterfaces(table);
  EXPECT_EQ(intfs.Find(Eth), nullptr);
  TNetIntf back = Entry(Eth);
  file.LoadSettings(back, false);
  EXPECT_EQ(back.IconSet, L"Chosen");
}
