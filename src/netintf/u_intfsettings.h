// The per-interface settings file "PulseryIntfs.ini": one section per
// interface key with the user's choices for that interface.
#pragma once

#include <string>
#include <vector>

#include "netintf/u_netintf.h"
#include "settings/u_filesys.h"

constexpr wchar_t IntfSettingsFileName[] = L"PulseryIntfs.ini";

class TIntfSettingsFile final : public TIntfSettingsStore {
 public:
  // `dataFolder` with or without a trailing delimiter.
  TIntfSettingsFile(TFileSystem& fs, const std::wstring& dataFolder);

  // OwnIcon, HideOff (not for the aggregate), InetIcon and IconSet of the
  // entry's section; what is missing or unreadable keeps its default.
  void LoadSettings(TNetIntf& entry, bool IsAggregate) override;
  // Writes the entry's keys and rewrites the file atomically; false (and the
  // old file untouched) when that fails.
  bool SaveSettings(const TNetIntf& entry) override;
  // The keys of every entry, in list order, in one rewrite.
  bool SaveAll(const std::vector<const TNetIntf*>& entries) override;

  const std::wstring& Path() const { return Path_; }

 private:
  TFileSystem& Fs_;
  std::wstring Path_;
};
