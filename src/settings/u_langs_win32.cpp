#include "settings/u_langs_win32.h"

#include <windows.h>

#include <climits>

namespace {

class TAnsiCodePage final : public TCodePage {
 public:
  std::wstring Decode(std::string_view bytes) const override {
    // The reader caps the file far below INT_MAX; refuse anything larger
    // rather than let the length wrap.
    if (bytes.empty() || bytes.size() > size_t(INT_MAX)) return {};
    const int length = static_cast<int>(bytes.size());
    const int units = MultiByteToWideChar(CP_ACP, 0, bytes.data(), length, nullptr, 0);
    if (units <= 0) return {};
    std::wstring text(size_t(units), L'\0');
    const int written = MultiByteToWideChar(CP_ACP, 0, bytes.data(), length, text.data(), units);
    text.resize(written > 0 ? size_t(written) : 0);
    return text;
  }
};

// The full path of this executable; long paths grow the buffer.
std::wstring ExePath() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), DWORD(path.size()));
    if (length == 0) return {};
    if (length < path.size()) {
      path.resize(length);
      return path;
    }
    if (path.size() >= 32768) return {};
    path.resize(path.size() * 2);
  }
}

}  // namespace

const TCodePage& Win32AnsiCodePage() {
  static const TAnsiCodePage codePage;
  return codePage;
}

std::wstring LangFilePath() {
  std::wstring folder = ExePath();
  if (folder.empty()) return {};  // never a path relative to the current folder
  const size_t slash = folder.find_last_of(L"\\/");
  folder.resize(slash == std::wstring::npos ? 0 : slash + 1);
  return folder + LangFileName;
}

void LoadLangFileAtStart() {
  LoadLangFile(LangFilePath(), Win32AnsiCodePage());
}
