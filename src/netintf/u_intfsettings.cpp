#include "netintf/u_intfsettings.h"

#include "settings/u_inifile.h"

TIntfSettingsFile::TIntfSettingsFile(TFileSystem& fs, TShellPaths& paths)
    : Fs_(fs), Paths_(&paths) {}

TIntfSettingsFile::TIntfSettingsFile(TFileSystem& fs, const std::wstring& dataFolder)
    : Fs_(fs), Folder_(dataFolder) {}

std::wstring TIntfSettingsFile::Path() const {
  const std::wstring folder = Paths_ != nullptr ? GetDataFolder(*Paths_, Fs_) : Folder_;
  return IncludeTrailingPathDelimiter(folder) + IntfSettingsFileName;
}

void TIntfSettingsFile::LoadSettings(TNetIntf& entry, bool IsAggregate) {
  TIniFile ini;
  LoadIniFile(Fs_, Path(), ini);  // missing or unreadable: every key reads its default
  const std::wstring& section = entry.Key;
  entry.OwnIcon = ini.ReadBool(section, L"OwnIcon", IsAggregate);
  if (!IsAggregate) entry.HideOff = ini.ReadBool(section, L"HideOff", true);
  entry.InetIcon = ini.ReadBool(section, L"InetIcon", true);
  entry.IconSet = ini.ReadString(section, L"IconSet", IsAggregate ? L"Default1" : L"Default2");
}

namespace {

void WriteEntry(TIniFile& ini, const TNetIntf& entry) {
  ini.WriteBool(entry.Key, L"OwnIcon", entry.OwnIcon);
  if (entry.Key != AggregateKey) ini.WriteBool(entry.Key, L"HideOff", entry.HideOff);
  ini.WriteBool(entry.Key, L"InetIcon", entry.InetIcon);
  ini.WriteString(entry.Key, L"IconSet", entry.IconSet);
}

}  // namespace

bool TIntfSettingsFile::SaveSettings(const TNetIntf& entry) {
  TIniFile ini;
  // A file that exists but cannot be read is never overwritten from an empty
  // copy: the other interfaces' sections would be lost.
  const std::wstring path = Path();
  if (LoadIniFile(Fs_, path, ini) == TReadResult::Failed) return false;
  WriteEntry(ini, entry);
  return SaveIniFile(Fs_, path, ini);
}

bool TIntfSettingsFile::SaveAll(const std::vector<const TNetIntf*>& entries) {
  if (entries.empty()) return true;
  TIniFile ini;
  const std::wstring path = Path();
  if (LoadIniFile(Fs_, path, ini) == TReadResult::Failed) return false;
  for (const TNetIntf* entry : entries) WriteEntry(ini, *entry);
  return SaveIniFile(Fs_, path, ini);
}
