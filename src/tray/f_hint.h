// TfrmHint: the hint window of the tray icons. A borderless, never-activated
// topmost tool window with the look of a system tooltip, sized to the status
// text it shows; a click closes (hides) it.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "common/u_handles_win32.h"
#include "tray/u_hint.h"

inline void DeleteFontOwner(HFONT font) {
  DeleteObject(font);
}
using TFont = TUnique<HFONT, &DeleteFontOwner>;

class TfrmHint final : public THintWindow {
 public:
  TfrmHint();
  ~TfrmHint() override;
  TfrmHint(const TfrmHint&) = delete;
  TfrmHint& operator=(const TfrmHint&) = delete;

  bool Visible() const override;
  void SetText(const std::wstring& text) override;
  void PlaceHint(int32_t x, int32_t y) override;
  void Close() override;
  void ShowNoActivate() override;
  void Repaint() override;

  HWND Handle() const { return Window_.get(); }
  const std::vector<std::wstring>& Lines() const;
  HFONT Font(THintStyle style) const;

  // Draws background, frame and lines into dc: the visual styles' tooltip
  // when visualStyles is true and the theme has one, else the classic colours.
  void FormPaint(HDC dc, const RECT& client, bool visualStyles);

 private:
  static LRESULT CALLBACK Thunk(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept;
  LRESULT WndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  void FormCreate(HWND window);
  void PaintBuffered();

  TWindow Window_;
  TFont Regular_, Bold_, Italic_;
  std::unique_ptr<std::vector<std::wstring>> Lines_;
};
