// Scripted shell folders, clock and Run key for the options.
#pragma once

#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "settings/u_opts.h"

class TFakeShellPaths final : public TShellPaths {
 public:
  std::wstring LocalAppData = L"C:\\Users\\u\\AppData\\Local";
  std::wstring Exe = L"C:\\Program Files\\Pulsery\\pulsery.exe";
  std::vector<int> Asked;

  std::wstring SpecialFolder(int csidl) override {
    Asked.push_back(csidl);
    return csidl == CsidlLocalAppData ? LocalAppData : std::wstring();
  }
  std::wstring ExePath() override { return Exe; }
};

class TFakeClock final : public TClock {
 public:
  TLocalDateTime Now = EncodeDateTime({2026, 12, 10, 14, 37, 5});
  TLocalDateTime LocalNow() override { return Now; }
};

class TFakeRunKey final : public TRunKey {
 public:
  std::map<std::wstring, std::wstring> Values;
  bool Fails = false;   // every call fails
  bool Throws = false;  // every call throws
  std::vector<std::wstring> Calls;

  bool ValueExists(const std::wstring& name) override {
    Check(L"exists " + name);
    return !Fails && Values.count(name) > 0;
  }
  bool DeleteValue(const std::wstring& name) override {
    Check(L"delete " + name);
    return !Fails && Values.erase(name) > 0;
  }
  bool WriteValue(const std::wstring& name, const std::wstring& text) override {
    Check(L"write " + name);
    if (Fails) return false;
    Values[name] = text;
    return true;
  }

 private:
  void Check(const std::wstring& call) {
    Calls.push_back(call);
    if (Throws) throw std::runtime_error("registry");
  }
};
