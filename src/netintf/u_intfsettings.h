// The per-interface settings file "PulseryIntfs.ini": one section per
// interface key with the user's choices for that interface.
#pragma once

#include <string>
#include <vector>

#include "netintf/u_netintf.h"
#include "settings/u_filesys.h"
#include "settings/u_opts.h"

constexpr wchar_t IntfSettingsFileName[] = L"PulseryIntfs.ini";

class TIntfSettingsFile final : public TIntfSettingsStore {
 public:
  // The file in the per-user data folder, found (or made) anew for every
  // operation as the options file is: a folder removed while the tool runs
  // comes back instead of failing every later write.
  TIntfSettingsFile(TFileSystem& fs, TShellPaths& paths);
  // The file in one fixed folder, with or without a trailing delimiter.
  TIntfSettingsFile(TFileSystem& fs, const std::wstring& dataFolder);

  // OwnIcon, HideOff (not for the aggregate), InetIcon and IconSet of the
  // entry's section; what is missing or unreadable keeps its default.
  void LoadSettings(TNetIntf& entry, bool IsAggregate) override;
  // Writes the entry's keys and rewrites the file atomically; false (and the
  // old file untouched) when that fails.
  bool SaveSettings(const TNetIntf& entry) override;
  // The keys of every entry, in list order, in one rewrite.
  bool SaveAll(const std::vector<const TNetIntf*>& entries) override;

  // The file's full path at this moment.
  std::wstring Path() const;

 private:
  TFileSystem& Fs_;
  TShellPaths* Paths_ = nullptr;  // none: the fixed folder
  std::wstring Folder_;
};
