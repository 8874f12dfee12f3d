#include "settings/u_opts.h"

#include <gtest/gtest.h>

#include "fakes/fake_filesystem.h"
#include "fakes/fake_opts_platform.h"
#include "settings/u_inifile.h"

namespace {

class OptsTest : public ::testing::Test {
 protected:
  void SetUp() override { files.Folders.insert(Folder); }

  // The options file as text (it must carry the byte-order mark).
  std::wstring FileText() {
    const std::string& bytes = files.Files[File];
    EXPECT_EQ(bytes.substr(0, 2), "\xFF\xFE");
    return DecodeIniText(bytes);
  }
  void PutFile(const std::wstring& text) { files.Files[File] = EncodeUtf16Le(text); }
  TOptParams Loaded() {
    TMyOpts opts(files, paths, clock);
    return opts.Params;  // a copy: the destructor still saves these
  }

  const std::wstring Folder =
      std::wstring(L"C:\\Users\\u\\AppData\\Local") + PathDelim + L"Pulsery";
  const std::wstring File = Folder + PathDelim + L"PulseryOpts.ini";
  TFakeFileSystem files;
  TFakeShellPaths paths;
  TFakeClock clock;
};

}  // namespace

TEST_F(OptsTest, FirstRunWritesExactlyTheDefaultFile) {
  {
    TMyOpts opts(files, paths, clock);
    EXPECT_EQ(opts.CheckMinute, 37);
    EXPECT_FALSE(opts.CheckedThisRun);
    EXPECT_EQ(opts.Params.CurLang, L"English");
    EXPECT_EQ(opts.Params.LastUpd, EncodeDateTime({1970, 1, 1}));
  }
  const char16_t golden[] =
      u"[Options]\r\nCurLang=English\r\nStartUp=1\r\nUseRound=1\r\nExcludeSvc=0\r\n"
      u"AnimSpeed=0\r\nShowMAC=1\r\nShowIPv4=1\r\nShowIPv6=1\r\nLastUpd=0\r\nDailyUpd=1\r\n\r\n";
  std::string expected = "\xFF\xFE";
  for (const char16_t* c = golden; *c; ++c) {
    expected.push_back(static_cast<char>(*c & 0xFF));
    expected.push_back(static_cast<char>(*c >> 8));
  }
  EXPECT_EQ(files.Files[File], expected);
  EXPECT_EQ(files.Files.size(), 1u);
}

TEST_F(OptsTest, ValueRules) {
  struct {
    const wchar_t* Line;
    void (*Check)(const TOptParams&);
  } cases[] = {
      {L"AnimSpeed=3", [](const TOptParams& p) { EXPECT_EQ(p.AnimSpeed, 0); }},
      {L"AnimSpeed=258", [](const TOptParams& p) { EXPECT_EQ(p.AnimSpeed, 2); }},
      {L"AnimSpeed=0x2", [](const TOptParams& p) { EXPECT_EQ(p.AnimSpeed, 2); }},
      {L"AnimSpeed=-1", [](const TOptParams& p) { EXPECT_EQ(p.AnimSpeed, 0); }},
      {L"AnimSpeed=-255", [](const TOptParams& p) { EXPECT_EQ(p.AnimSpeed, 1); }},
      {L"AnimSpeed=fast", [](const TOptParams& p) { EXPECT_EQ(p.AnimSpeed, 0); }},
      {L"DailyUpd=yes", [](const TOptParams& p) { EXPECT_TRUE(p.DailyUpd); }},
      {L"ShowIPv6=no", [](const TOptParams& p) { EXPECT_TRUE(p.ShowIPv6); }},
      {L"ExcludeSvc=2", [](const TOptParams& p) { EXPECT_TRUE(p.ExcludeSvc); }},
      {L"ExcludeSvc=true", [](const TOptParams& p) { EXPECT_FALSE(p.ExcludeSvc); }},
      {L"StartUp=0x0", [](const TOptParams& p) { EXPECT_FALSE(p.StartUp); }},
      {L"CurLang=", [](const TOptParams& p) { EXPECT_EQ(p.CurLang, L""); }},
      {L"curlang = \"Deutsch\" ", [](const TOptParams& p) { EXPECT_EQ(p.CurLang, L"Deutsch"); }},
      {L"LastUpd=-2209161600", [](const TOptParams& p) { EXPECT_EQ(p.LastUpd, TLocalDateTime{}); }},
      {L"LastUpd=soon",
       [](const TOptParams& p) {
         EXPECT_EQ(p.LastUpd, EncodeDateTime({1970, 1, 1}));
       }},
      {L"LastUpd=1369180800",
       [](const TOptParams& p) {
         EXPECT_EQ(p.LastUpd, EncodeDateTime({2013, 5, 22}));
       }},
      {L"LastUpd=-86400",
       [](const TOptParams& p) {
         EXPECT_EQ(p.LastUpd, EncodeDateTime({1969, 12, 31}));
       }},
      // Outside 0001-01-01 .. 9999-12-31: the zero date.
      {L"LastUpd=253402300800",
       [](const TOptParams& p) { EXPECT_EQ(p.LastUpd, TLocalDateTime{}); }},
      {L"LastUpd=253402300799",
       [](const TOptParams& p) {
         EXPECT_EQ(p.LastUpd, EncodeDateTime({9999, 12, 31, 23, 59, 59}));
       }},
      {L"LastUpd=-62135596801",
       [](const TOptParams& p) { EXPECT_EQ(p.LastUpd, TLocalDateTime{}); }},
      {L"LastUpd=-9223372036854775808",
       [](const TOptParams& p) { EXPECT_EQ(p.LastUpd, TLocalDateTime{}); }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.Line, c.Line + wcslen(c.Line)));
    PutFile(std::wstring(L"[options]\r\n") + c.Line + L"\r\n");
    c.Check(Loaded());
  }
}

TEST_F(OptsTest, LastUpdIsWrittenAsSecondsSince1970) {
  struct {
    TLocalDateTime Date;
    const wchar_t* Written;
  } cases[] = {
      {TLocalDateTime{}, L"-2209161600"},
      {EncodeDateTime({2013, 5, 22}), L"1369180800"},
      {EncodeDateTime({1969, 12, 31, 23, 59, 59}), L"-1"},
  };
  for (const auto& c : cases) {
    {
      TMyOpts opts(files, paths, clock);
      opts.Params.LastUpd = c.Date;
    }
    const TIniFile ini = TIniFile::Parse(files.Files[File]);
    EXPECT_EQ(ini.ReadString(L"Options", L"LastUpd", L""), c.Written);
    EXPECT_EQ(Loaded().LastUpd, c.Date);
  }
}

TEST_F(OptsTest, RoundTripOfEveryOption) {
  TOptParams changed;
  changed.CurLang = L"\x0420\x0443\x0441\x0441\x043A\x0438\x0439";
  changed.StartUp = false;
  changed.ExcludeSvc = true;
  changed.AnimSpeed = 2;
  changed.UseRound = false;
  changed.ShowMAC = false;
  changed.ShowIPv4 = false;
  changed.ShowIPv6 = false;
  changed.LastUpd = EncodeDateTime({2026, 12, 10});
  changed.DailyUpd = false;
  {
    TMyOpts opts(files, paths, clock);
    opts.Params = changed;
    EXPECT_TRUE(opts.SaveOptions());
  }
  const TOptParams back = Loaded();
  EXPECT_EQ(back.CurLang, changed.CurLang);
  EXPECT_EQ(back.StartUp, false);
  EXPECT_EQ(back.ExcludeSvc, true);
  EXPECT_EQ(back.AnimSpeed, 2);
  EXPECT_EQ(back.UseRound, false);
  EXPECT_EQ(back.ShowMAC, false);
  EXPECT_EQ(back.ShowIPv4, false);
  EXPECT_EQ(back.ShowIPv6, false);
  EXPECT_EQ(back.LastUpd, changed.LastUpd);
  EXPECT_EQ(back.DailyUpd, false);
}

TEST_F(OptsTest, OtherSectionsSurviveCommentsDoNot) {
  // An ANSI file written by hand, keys in another order and one unknown.
  files.Files[File] =
      "; my settings\r\n[Extra]\r\nKeep = me\r\n\r\n[OPTIONS]\r\nDailyUpd=0\r\nMine=x\r\n"
      "curlang=Deutsch\r\n";
  { TMyOpts opts(files, paths, clock); }
  EXPECT_EQ(FileText(),
            L"[Extra]\r\nKeep=me\r\n\r\n"
            L"[OPTIONS]\r\nDailyUpd=0\r\nMine=x\r\ncurlang=Deutsch\r\nStartUp=1\r\nUseRound=1\r\n"
            L"ExcludeSvc=0\r\nAnimSpeed=0\r\nShowMAC=1\r\nShowIPv4=1\r\nShowIPv6=1\r\n"
            L"LastUpd=0\r\n\r\n");
}

TEST_F(OptsTest, FailedSaveIsReportedAndKeepsTheOldFile) {
  PutFile(L"[Options]\r\nCurLang=Deutsch\r\n");
  const std::string before = files.Files[File];
  {
    TMyOpts opts(files, paths, clock);
    opts.Params.CurLang = L"English";
    files.ReplaceFails = true;
    EXPECT_FALSE(opts.SaveOptions());
    files.ReplaceFails = false;
    files.DiskFull = true;
    EXPECT_FALSE(opts.SaveOptions());
  }  // and the destructor's save fails quietly
  EXPECT_EQ(files.Files[File], before);
  EXPECT_EQ(files.Files.size(), 1u);
}

TEST_F(OptsTest, BadFilesReadAsDefaults) {
  const std::string cases[] = {
      "", std::string(4096, '\0'), "\xFF\xFE\xFF", "\xFE\xFF\0", "[Options", "\x89PNG\r\n\x1A\n",
  };
  for (const std::string& bytes : cases) {
    files.Files[File] = bytes;
    const TOptParams p = Loaded();
    EXPECT_EQ(p.CurLang, L"English");
    EXPECT_TRUE(p.StartUp);
    EXPECT_EQ(p.AnimSpeed, 0);
    EXPECT_EQ(p.LastUpd, EncodeDateTime({1970, 1, 1}));
  }
}

TEST(DataFolder, FoundCreatedOrFallingBack) {
  TFakeShellPaths paths;
  const std::wstring folder =
      std::wstring(L"C:\\Users\\u\\AppData\\Local") + PathDelim + L"Pulsery";
  {
    TFakeFileSystem files;
    files.Folders.insert(folder);
    EXPECT_EQ(GetDataFolder(paths, files), folder);
    EXPECT_TRUE(files.Calls.empty());  // nothing created
    EXPECT_EQ(paths.Asked, std::vector<int>{0x1C});
  }
  {
    TFakeFileSystem files;
    EXPECT_EQ(GetDataFolder(paths, files), folder);
    EXPECT_EQ(files.Calls, std::vector<std::wstring>{L"mkdir " + folder});
  }
  {
    paths.LocalAppData += PathDelim;  // a trailing delimiter is not doubled
    TFakeFileSystem files;
    EXPECT_EQ(GetDataFolder(paths, files), folder);
  }
  {
    TFakeFileSystem files;
    files.MakeFolderFails = true;
    EXPECT_EQ(GetDataFolder(paths, files), L"C:\\Program Files\\Pulsery\\");
  }
  {
    // No special folder: never the root of the current drive.
    paths.LocalAppData.clear();
    TFakeFileSystem files;
    EXPECT_EQ(GetDataFolder(paths, files), L"C:\\Program Files\\Pulsery\\");
    EXPECT_TRUE(files.Calls.empty());
  }
}

TEST(AutoStart, RunValueRules) {
  const std::wstring exe = L"C:\\Program Files\\Pulsery\\pulsery.exe";
  const std::wstring command = L"\"C:\\Program Files\\Pulsery\\pulsery.exe\" /tray";
  TFakeRunKey run;
  EXPECT_FALSE(IsAutoStart(run));
  SetAutoStart(run, exe, true);
  EXPECT_TRUE(IsAutoStart(run));
  EXPECT_EQ(run.Values[L"Pulsery"], command);

  run.Values[L"Pulsery"] = L"old";  // written anew, not kept
  SetAutoStart(run, exe, true);
  EXPECT_EQ(run.Values[L"Pulsery"], command);

  run.Values[L"Other"] = L"x";
  SetAutoStart(run, exe, false);
  EXPECT_FALSE(IsAutoStart(run));
  EXPECT_EQ(run.Values.size(), 1u);
  SetAutoStart(run, exe, false);  // nothing to delete: no harm

  // Errors are swallowed and read as "not registered".
  run.Throws = true;
  EXPECT_FALSE(IsAutoStart(run));
  EXPECT_NO_THROW(SetAutoStart(run, exe, true));
  run.Throws = false;
  run.Fails = true;
  EXPECT_NO_THROW(SetAutoStart(run, exe, true));
  EXPECT_FALSE(IsAutoStart(run));
}

TEST(AutoStart, StartUpWritesOnlyWhatIsMissing) {
  const std::wstring exe = L"C:\\t\\pulsery.exe";
  TOptParams params;
  TFakeRunKey run;
  ApplyStartUp(params, run, exe);  // StartUp set, no value: written
  EXPECT_EQ(run.Values[L"Pulsery"], L"\"C:\\t\\pulsery.exe\" /tray");

  run.Values[L"Pulsery"] = L"\"D:\\elsewhere.exe\" /tray";
  run.Calls.clear();
  ApplyStartUp(params, run, exe);  // present: left as it is
  EXPECT_EQ(run.Values[L"Pulsery"], L"\"D:\\elsewhere.exe\" /tray");
  EXPECT_EQ(run.Calls, std::vector<std::wstring>{L"exists Pulsery"});

  params.StartUp = false;  // clear: an existing value stays, a missing one is not written
  run.Calls.clear();
  ApplyStartUp(params, run, exe);
  EXPECT_TRUE(run.Calls.empty());
  run.Values.clear();
  ApplyStartUp(params, run, exe);
  EXPECT_TRUE(run.Values.empty());
}

TEST(DateTime, CalendarAndUnixSeconds) {
  EXPECT_EQ(EncodeDateTime({1899, 12, 30}).Seconds, 0);
  EXPECT_EQ(DateTimeToUnix(EncodeDateTime({1970, 1, 1})), 0);
  EXPECT_EQ(DateTimeToUnix(EncodeDateTime({2013, 5, 22})), 1369180800);
  EXPECT_EQ(DateTimeToUnix(TLocalDateTime{}), -2209161600);
  EXPECT_EQ(EncodeDateTime({1, 1, 1}), MinDateTime);
  EXPECT_EQ(EncodeDateTime({9999, 12, 31, 23, 59, 59}), MaxDateTime);
  EXPECT_EQ(EncodeDateTime({2024, 13, 1}), EncodeDateTime({2025, 1, 1}));
  for (const TDateTimeParts p :
       {TDateTimeParts{2000, 2, 29, 23, 59, 59}, TDateTimeParts{1, 1, 1, 0, 0, 0},
        TDateTimeParts{1899, 12, 29, 12, 0, 1}, TDateTimeParts{9999, 12, 31, 0, 0, 0},
        TDateTimeParts{1900, 3, 1, 1, 2, 3}}) {
    const TDateTimeParts back = DecodeDateTime(EncodeDateTime(p));
    EXPECT_EQ(std::tie(back.Year, back.Month, back.Day, back.Hour, back.Minute, back.Second),
              std::tie(p.Year, p.Month, p.Day, p.Hour, p.Minute, p.Second));
  }
  EXPECT_EQ(DateOf(EncodeDateTime({1899, 12, 29, 12, 0, 1})), EncodeDateTime({1899, 12, 29}));
  TLocalDateTime t{5};
  EXPECT_FALSE(DateTimeFromUnix(INT64_MAX, t));
  EXPECT_FALSE(DateTimeFromUnix(INT64_MIN, t));
  EXPECT_EQ(t.Seconds, 5);
}
