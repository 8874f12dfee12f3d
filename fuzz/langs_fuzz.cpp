// The language-file reader on arbitrary bytes: decoding by byte-order mark or
// code page, line parsing, and lookups of whatever sections it found.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "settings/u_langs.h"

namespace {

class TLatin1 final : public TCodePage {
 public:
  std::wstring Decode(std::string_view bytes) const override {
    std::wstring text;
    for (char c : bytes) text.push_back(wchar_t(static_cast<unsigned char>(c)));
    return text;
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const TLatin1 codePage;
  LoadLangBytes(std::string_view(reinterpret_cast<const char*>(data), size), codePage);
  std::vector<std::wstring> sections;
  GetLangSections(sections);
  for (const std::wstring& name : sections) {
    // The first bytes double as indices, so keys beyond the table get asked too.
    const uint16_t index = size >= 2 ? uint16_t(data[0] | (data[1] << 8)) : 0;
    (void)GetLangStr(name, 0);
    (void)GetLangStr(name, index);
  }
  (void)GetLangStr(L"English", 5);
  FreeLangFile();
  return 0;
}
