// Stand-ins for the system's 8-bit code page: Latin-1 (every byte is the
// character of the same number), recording what it was asked to decode.
#pragma once

#include <string>
#include <vector>

#include "settings/u_langs.h"

class TFakeCodePage final : public TCodePage {
 public:
  mutable std::vector<std::string> Calls;

  std::wstring Decode(std::string_view bytes) const override {
    Calls.emplace_back(bytes);
    std::wstring text;
    text.reserve(bytes.size());
    for (char c : bytes) text.push_back(static_cast<wchar_t>(static_cast<unsigned char>(c)));
    return text;
  }
};
