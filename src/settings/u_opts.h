// The global options of the tool (the options file "PulseryOpts.ini" in the
// per-user data folder), the data folder itself and start at logon.
#pragma once

#include <cstdint>
#include <string>

#include "settings/u_datetime.h"
#include "settings/u_filesys.h"

// --- Ports ------------------------------------------------------------------

// Where the tool's folders are.
class TShellPaths {
 public:
  virtual ~TShellPaths() = default;
  // The path of a shell special folder (CSIDL value), "" on failure.
  virtual std::wstring SpecialFolder(int csidl) = 0;
  // Full path of the running executable.
  virtual std::wstring ExePath() = 0;
};

// The current local wall-clock time.
class TClock {
 public:
  virtual ~TClock() = default;
  virtual TLocalDateTime LocalNow() = 0;
};

// The per-user list of programs started at logon (the Run key). Each call
// opens the key and closes it again.
class TRunKey {
 public:
  virtual ~TRunKey() = default;
  // Opens the key without creating it; false when it or the value is missing.
  virtual bool ValueExists(const std::wstring& name) = 0;
  // Opens the key (creating it) and deletes the value.
  virtual bool DeleteValue(const std::wstring& name) = 0;
  // Opens the key (creating it) and writes a text value.
  virtual bool WriteValue(const std::wstring& name, const std::wstring& text) = 0;
};

// --- Data folder ------------------------------------------------------------------

constexpr int CsidlLocalAppData = 0x1C;  // CSIDL_LOCAL_APPDATA
constexpr wchar_t DataFolderName[] = L"Pulsery";

// Local application data + "Pulsery", created if missing (one level), without
// a trailing delimiter; when it can be neither found nor created, the folder
// of the executable with a trailing delimiter.
std::wstring GetDataFolder(TShellPaths& paths, TFileSystem& fs);

// --- Start at logon ------------------------------------------------------------------

constexpr wchar_t AutoStartValue[] = L"Pulsery";
constexpr wchar_t TraySwitch[] = L"/tray";

// The Run value's text: the quoted executable path, a blank and "/tray".
std::wstring AutoStartCommand(const std::wstring& exePath);
// Whether the Run value exists (its path is not compared); false on errors.
bool IsAutoStart(TRunKey& run);
// Writes the value anew, or deletes it. Errors are swallowed: start at logon
// is a convenience the tool never stops for.
void SetAutoStart(TRunKey& run, const std::wstring& exePath, bool enable);

// --- Options ------------------------------------------------------------------------

constexpr wchar_t OptionsFileName[] = L"PulseryOpts.ini";
constexpr wchar_t OptionsSection[] = L"Options";

struct TOptParams {
  std::wstring CurLang = L"English";
  bool StartUp = true;
  bool ExcludeSvc = false;
  uint8_t AnimSpeed = 0;  // 0 normal, 1 high, 2 highest
  bool UseRound = true;
  bool ShowMAC = true;
  bool ShowIPv4 = true;
  bool ShowIPv6 = true;
  TLocalDateTime LastUpd;  // zero: no check yet
  bool DailyUpd = true;
};

// The options of this run: read when created, written when destroyed.
class TMyOpts {
 public:
  TMyOpts(TFileSystem& fs, TShellPaths& paths, TClock& clock);
  virtual ~TMyOpts();
  TMyOpts(const TMyOpts&) = delete;
  TMyOpts& operator=(const TMyOpts&) = delete;

  // Reads the options file into Params (defaults for whatever is missing).
  void LoadOptions();
  // Writes Params to the options file, keeping its other sections and keys.
  // False when the file could not be written; the old file is then whole.
  bool SaveOptions();
  // The options file's full path, in the data folder of this moment.
  std::wstring OptionsPath();

  uint16_t CheckMinute = 0;     // minute of the hour at creation, for the daily check
  bool CheckedThisRun = false;  // set by the first update check of this run
  // The update check's worker and dialog join here.
  TOptParams Params;

 private:
  TFileSystem& Files_;
  TShellPaths& Paths_;
};

// The process-wide options, made by the main window early in its creation.
extern TMyOpts* MyOpts;

// At start: when StartUp is set and the Run value is missing, write it. When
// StartUp is clear an existing value is left alone.
void ApplyStartUp(const TOptParams& params, TRunKey& run, const std::wstring& exePath);
