// TfrmHint as a real window under Wine: sized to its text with the real
// fonts, the 160-unit cut, and the classic tooltip look.
#include "tray/f_hint.h"

#include <windows.h>

#include <gtest/gtest.h>

#include "fakes/win32_screen.h"

namespace {

SIZE WindowSize(const TfrmHint& hint) {
  RECT r;
  GetWindowRect(hint.Handle(), &r);
  return {r.right - r.left, r.bottom - r.top};
}

SIZE Extent(const TfrmHint& hint, THintStyle style, const std::wstring& text) {
  HDC dc = GetDC(hint.Handle());
  HGDIOBJ old = SelectObject(dc, hint.Font(style));
  SIZE size{};
  GetTextExtentPoint32W(dc, text.c_str(), int(text.size()), &size);
  SelectObject(dc, old);
  ReleaseDC(hint.Handle(), dc);
  return size;
}

}  // namespace

TEST(HintWin32, CreatedHiddenAsABorderlessToolWindow) {
  TfrmHint hint;
  ASSERT_NE(hint.Handle(), nullptr);
  EXPECT_FALSE(hint.Visible());
  EXPECT_NE(GetClassLongPtrW(hint.Handle(), GCL_STYLE) & CS_DROPSHADOW, 0u);
  EXPECT_NE(hint.Font(THintStyle::Bold), hint.Font(THintStyle::Regular));
  RECT client;
  GetClientRect(hint.Handle(), &client);
  RECT window;
  GetWindowRect(hint.Handle(), &window);
  EXPECT_EQ(client.right, window.right - window.left);  // no border
  EXPECT_GT(client.right, 0);
}

TEST(HintWin32, SizedToTheTextWithMarksRemovedAndLongLinesCut) {
  TfrmHint hint;
  hint.SetText(
      L"\x0002"
      L"Ethernet\r\n\x0003"
      L"Intel(R) & Co\r\n\r\nSent 1 KB");
  const SIZE bold = Extent(hint, THintStyle::Bold, L"Ethernet");
  const SIZE italic = Extent(hint, THintStyle::Italic, L"Intel(R) & Co");
  const SIZE plain = Extent(hint, THintStyle::Regular, L"Sent 1 KB");
  const SIZE size = WindowSize(hint);
  EXPECT_EQ(size.cx, std::max({bold.cx, italic.cx, plain.cx}) + 12);
  EXPECT_EQ(size.cy, bold.cy + italic.cy + 8 + plain.cy + 9);

  // 200 characters are shown as 160 and "..": the same width as that text.
  hint.SetText(std::wstring(200, L'W'));
  const SIZE cut = WindowSize(hint);
  hint.SetText(std::wstring(160, L'W') + L"..");
  EXPECT_EQ(WindowSize(hint).cx, cut.cx);
  EXPECT_EQ(cut.cx, Extent(hint, THintStyle::Regular, std::wstring(160, L'W') + L"..").cx + 12);
  // UTF-16 units with Wine's 16-bit wchar_t: a pair straddling the cut goes whole.
  hint.SetText(std::wstring(159, L'x') + L"\U0001F600");
  EXPECT_EQ(WindowSize(hint).cx,
            Extent(hint, THintStyle::Regular, std::wstring(159, L'x') + L"..").cx + 12);
}

TEST(HintWin32, ClassicLookAndLines) {
  TfrmHint hint;
  hint.SetText(
      L"\x0002"
      L"Ethernet\r\nA & B");
  RECT client;
  GetClientRect(hint.Handle(), &client);
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, client.right, client.bottom);
  HGDIOBJ old = SelectObject(dc, bitmap);
  hint.FormPaint(dc, client, false);
  const COLORREF text = GetSysColor(COLOR_INFOTEXT);
  const COLORREF back = GetSysColor(COLOR_INFOBK);
  ASSERT_NE(text, back);
  // A 1-pixel frame in the text colour around the tooltip background.
  EXPECT_EQ(GetPixel(dc, 0, 0), text);
  EXPECT_EQ(GetPixel(dc, client.right - 1, client.bottom - 1), text);
  EXPECT_EQ(GetPixel(dc, client.right / 2, client.bottom - 1), text);
  EXPECT_EQ(GetPixel(dc, 1, 1), back);
  EXPECT_EQ(GetPixel(dc, client.right - 2, client.bottom - 2), back);
  // Text inside the margins only: nothing in the 6-pixel side margins.
  int inked = 0;
  for (int y = 1; y < client.bottom - 1; ++y) {
    for (int x = 1; x < 6; ++x) EXPECT_EQ(GetPixel(dc, x, y), back) << x << "," << y;
    for (int x = 6; x < client.right - 6; ++x) inked += GetPixel(dc, x, y) != back;
  }
  EXPECT_GT(inked, 20);

  // The visual-style look, when the system has one, frames in its own colour.
  hint.FormPaint(dc, client, true);
  EXPECT_EQ(GetPixel(dc, 0, 0), GetPixel(dc, client.right - 1, client.bottom - 1));
  SelectObject(dc, old);
  DeleteObject(bitmap);
  DeleteDC(dc);
  ReleaseDC(nullptr, screen);
}

TEST(HintWin32, ClosingHidesAndKeepsTheWindow) {
  TfrmHint hint;
  hint.SetText(L"x");
  hint.ShowNoActivate();
  EXPECT_TRUE(hint.Visible());
  SendMessageW(hint.Handle(), WM_CLOSE, 0, 0);
  EXPECT_FALSE(hint.Visible());
  EXPECT_TRUE(IsWindow(hint.Handle()));
  // A mouse activation is refused and closes it through the queue.
  hint.ShowNoActivate();
  EXPECT_EQ(
      SendMessageW(hint.Handle(), WM_MOUSEACTIVATE, reinterpret_cast<WPARAM>(GetDesktopWindow()),
                   MAKELPARAM(HTCLIENT, WM_LBUTTONDOWN)),
      MA_NOACTIVATEANDEAT);
  EXPECT_TRUE(PumpUntil([&] { return !hint.Visible(); }, 2000));
}
