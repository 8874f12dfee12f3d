// The interface list's platform on Windows: the TCP/IP interfaces key and the
// tray icons the owner makes.
#pragma once

#include <functional>
#include <memory>

#include "netintf/u_netintf.h"

// Subkey names of HKLM\SYSTEM\CurrentControlSet\services\Tcpip\Parameters\Interfaces,
// opened for reading only (never created); none when it does not open.
std::optional<std::vector<std::wstring>> ReadTcpipInterfaceNames();

class TWin32IntfPlatform final : public TIntfPlatform {
 public:
  using TMakeTrayIcon = std::function<std::unique_ptr<TMyTrayIcon>(const std::wstring& key)>;
  explicit TWin32IntfPlatform(TMakeTrayIcon makeTrayIcon)
      : MakeTrayIcon_(std::move(makeTrayIcon)) {}
  std::optional<std::vector<std::wstring>> ReadTcpipInterfaceNames() override {
    return ::ReadTcpipInterfaceNames();
  }
  std::unique_ptr<TMyTrayIcon> CreateTrayIcon(const std::wstring& key) override {
    return MakeTrayIcon_ ? MakeTrayIcon_(key) : nullptr;
  }

 private:
  TMakeTrayIcon MakeTrayIcon_;
};
