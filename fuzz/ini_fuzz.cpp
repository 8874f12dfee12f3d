// Any bytes as an INI file: parsing, reading and a write round trip must
// never crash, and what the writer writes must read back the same.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "settings/u_inifile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  TIniFile ini = TIniFile::Parse(bytes);

  for (const wchar_t* key : {L"CurLang", L"AnimSpeed", L"LastUpd"}) {
    std::wstring text = ini.ReadString(L"Options", key, L"");
    if (text.size() > IniMaxValue) abort();
    int32_t value;
    ParseIniInteger(text, value);
    int64_t wide;
    ParseInt64(text, wide);
  }

  // Write keys (one with a value taken from the input) and check that the
  // file, once read back, is stable: it reads and writes the same again.
  std::wstring value = DecodeIniText(bytes.substr(0, 64));
  ini.WriteString(L"Options", L"CurLang", value);
  ini.WriteBool(L"Options", L"StartUp", size % 2 == 0);
  const std::string written = ini.Serialize();
  const TIniFile back = TIniFile::Parse(written);
  const std::string again = back.Serialize();
  if (TIniFile::Parse(again).Serialize() != again) abort();
  if (!back.HasSection(L"Options")) abort();
  if (back.ReadBool(L"Options", L"StartUp", size % 2 != 0) != (size % 2 == 0)) abort();
  ini.EraseSection(L"Options");
  if (ini.HasSection(L"options")) abort();
  return 0;
}
