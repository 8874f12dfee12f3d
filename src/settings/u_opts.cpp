#include "settings/u_opts.h"

#include "settings/u_inifile.h"

TMyOpts* MyOpts = nullptr;

// --- Data folder ------------------------------------------------------------------

std::wstring GetDataFolder(TShellPaths& paths, TFileSystem& fs) {
  const std::wstring base = paths.SpecialFolder(CsidlLocalAppData);
  // Without the special folder, "\Pulsery" would land in the root of the
  // current drive; the executable's folder is the better fallback.
  if (!base.empty()) {
    const std::wstring folder = IncludeTrailingPathDelimiter(base) + DataFolderName;
    if (fs.FolderExists(folder) || fs.MakeFolder(folder)) return folder;
  }
  return ExtractFilePath(paths.ExePath());
}

// --- Start at logon ------------------------------------------------------------------

std::wstring AutoStartCommand(const std::wstring& exePath) {
  return L'"' + exePath + L"\" " + TraySwitch;
}

bool IsAutoStart(TRunKey& run) {
  try {
    return run.ValueExists(AutoStartValue);
  } catch (...) {
    return false;
  }
}

void SetAutoStart(TRunKey& run, const std::wstring& exePath, bool enable) {
  try {
    // Deleting first clears a value of another type or a stale path.
    run.DeleteValue(AutoStartValue);
    if (enable) run.WriteValue(AutoStartValue, AutoStartCommand(exePath));
  } catch (...) {
  }
}

void ApplyStartUp(const TOptParams& params, TRunKey& run, const std::wstring& exePath) {
  if (params.StartUp && !IsAutoStart(run)) SetAutoStart(run, exePath, true);
}

// --- Options ------------------------------------------------------------------------

TMyOpts::TMyOpts(TFileSystem& fs, TShellPaths& paths, TClock& clock) : Files_(fs), Paths_(paths) {
  CheckMinute = static_cast<uint16_t>(DecodeDateTime(clock.LocalNow()).Minute);
  LoadOptions();
}

TMyOpts::~TMyOpts() {
  // A failed save at exit has nobody left to tell; the old file stays whole.
  try {
    SaveOptions();
  } catch (...) {
  }
}

std::wstring TMyOpts::OptionsPath() {
  return IncludeTrailingPathDelimiter(GetDataFolder(Paths_, Files_)) + OptionsFileName;
}

void TMyOpts::LoadOptions() {
  TIniFile ini;
  LoadIniFile(Files_, OptionsPath(), ini);
  const wchar_t* s = OptionsSection;
  TOptParams p;
  p.CurLang = ini.ReadString(s, L"CurLang", L"English");
  p.StartUp = ini.ReadBool(s, L"StartUp", true);
  p.ExcludeSvc = ini.ReadBool(s, L"ExcludeSvc", false);
  // Only the low byte counts, and there are three speeds.
  p.AnimSpeed = static_cast<uint8_t>(ini.ReadInteger(s, L"AnimSpeed", 0) & 0xFF);
  if (p.AnimSpeed > 2) p.AnimSpeed = 0;
  p.UseRound = ini.ReadBool(s, L"UseRound", true);
  p.ShowMAC = ini.ReadBool(s, L"ShowMAC", true);
  p.ShowIPv4 = ini.ReadBool(s, L"ShowIPv4", true);
  p.ShowIPv6 = ini.ReadBool(s, L"ShowIPv6", true);
  int64_t seconds;
  if (!ParseInt64(ini.ReadString(s, L"LastUpd", L"0"), seconds)) seconds = 0;
  p.LastUpd = TLocalDateTime{};
  DateTimeFromUnix(seconds, p.LastUpd);  // out of range: stays zero
  p.DailyUpd = ini.ReadBool(s, L"DailyUpd", true);
  Params = p;
}

bool TMyOpts::SaveOptions() {
  const std::wstring path = OptionsPath();
  TIniFile ini;
  // An existing file that cannot be read is not overwritten from scratch:
  // its other sections would be lost.
  if (LoadIniFile(Files_, path, ini) == TReadResult::Failed) return false;
  const wchar_t* s = OptionsSection;
  ini.WriteString(s, L"CurLang", Params.CurLang);
  ini.WriteBool(s, L"StartUp", Params.StartUp);
  ini.WriteBool(s, L"UseRound", Params.UseRound);
  ini.WriteBool(s, L"ExcludeSvc", Params.ExcludeSvc);
  ini.WriteInteger(s, L"AnimSpeed", Params.AnimSpeed);
  ini.WriteBool(s, L"ShowMAC", Params.ShowMAC);
  ini.WriteBool(s, L"ShowIPv4", Params.ShowIPv4);
  ini.WriteBool(s, L"ShowIPv6", Params.ShowIPv6);
  ini.WriteString(s, L"LastUpd", std::to_wstring(DateTimeToUnix(Params.LastUpd)));
  ini.WriteBool(s, L"DailyUpd", Params.DailyUpd);
  return SaveIniFile(Files_, path, ini);
}
