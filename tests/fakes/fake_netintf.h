// Fakes for the interface list: tray icons that record their life, a TCP/IP
// key that can be absent, and an in-memory settings file that can fail.
#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

#include "fakes/fake_tray_shell.h"
#include "netintf/u_netintf.h"
#include "netintf/u_nlm.h"

struct TFakeTrayLog {
  int Created = 0, Freed = 0, FreedWhileVisible = 0;
  std::vector<std::wstring> CreatedKeys;
};

// A real tray icon on a recording shell that notes whether it was hidden
// before it was freed.
class TFakeTrayIcon final : public TMyTrayIcon {
 public:
  TFakeTrayIcon(TTrayShell& shell, TFakeTrayLog& log, const std::wstring& key)
      : TMyTrayIcon(shell, key), log_(log) {}
  ~TFakeTrayIcon() override {
    ++log_.Freed;
    if (Visible()) ++log_.FreedWhileVisible;
  }

 private:
  TFakeTrayLog& log_;
};

class TFakeIntfPlatform final : public TIntfPlatform {
 public:
  bool KeyOpens = false;
  std::vector<std::wstring> TcpipNames;
  int TcpipReads = 0;
  TFakeTrayLog Tray;
  bool ShowNewIcons = false;  // a visible icon checks that it is hidden before it is freed

  std::optional<std::vector<std::wstring>> ReadTcpipInterfaceNames() override {
    ++TcpipReads;
    if (!KeyOpens) return std::nullopt;
    return TcpipNames;
  }
  std::unique_ptr<TMyTrayIcon> CreateTrayIcon(const std::wstring& key) override {
    ++Tray.Created;
    Tray.CreatedKeys.push_back(key);
    auto icon = std::make_unique<TFakeTrayIcon>(Shell, Tray, key);
    if (ShowNewIcons) icon->SetVisible(true);
    return icon;
  }
  TFakeTrayShell Shell;
};

struct TFakeSection {
  bool OwnIcon = false, HideOff = false, HasHideOff = false, InetIcon = false;
  std::wstring IconSet;
};

class TFakeSettingsStore final : public TIntfSettingsStore {
 public:
  std::map<std::wstring, TFakeSection> Sections;
  bool FailWrites = false;
  int Saves = 0, SaveAlls = 0;
  std::vector<std::wstring> SavedKeys;

  void LoadSettings(TNetIntf& entry, bool isAggregate) override {
    auto found = Sections.find(entry.Key);
    if (found == Sections.end()) {
      if (!isAggregate) entry.HideOff = true;
      return;
    }
    entry.OwnIcon = found->second.OwnIcon;
    if (!isAggregate) entry.HideOff = found->second.HasHideOff ? found->second.HideOff : true;
    entry.InetIcon = found->second.InetIcon;
    entry.IconSet = found->second.IconSet;
  }
  bool SaveSettings(const TNetIntf& entry) override {
    ++Saves;
    if (FailWrites) return false;
    Write(entry);
    return true;
  }
  bool SaveAll(const std::vector<const TNetIntf*>& entries) override {
    ++SaveAlls;
    if (FailWrites) return false;
    for (const TNetIntf* e : entries) Write(*e);
    return true;
  }

 private:
  void Write(const TNetIntf& entry) {
    TFakeSection& s = Sections[entry.Key];
    s.OwnIcon = entry.OwnIcon;
    s.HasHideOff = entry.Key != AggregateKey;
    s.HideOff = entry.HideOff;
    s.InetIcon = entry.InetIcon;
    s.IconSet = entry.IconSet;
    SavedKeys.push_back(entry.Key);
  }
};

class TFakeNetworkList final : public TNetworkListPort {
 public:
  bool CreateFails = false;
  bool ListFails = false;
  std::vector<TNlmConnection> List;
  int Refreshes = 0;
  bool Create() override { return !CreateFails; }
  std::optional<std::vector<TNlmConnection>> Connections() override {
    ++Refreshes;
    if (ListFails) return std::nullopt;
    return List;
  }
};
