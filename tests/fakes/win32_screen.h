// Helpers of the Windows tests that look at the real screen: pumping
// messages, a one-colour picture in an image list, and finding a colour in a
// capture of the (virtual) desktop.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <climits>
#include <initializer_list>
#include <vector>

// A top-down 32-bit RGB bitmap description of the given size.
inline BITMAPINFO TopDownInfo(int width, int height) {
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof bi.bmiHeader;
  bi.bmiHeader.biWidth = width;
  bi.bmiHeader.biHeight = -height;
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  bi.bmiHeader.biCompression = BI_RGB;
  return bi;
}

// Pumps this thread's messages until done() or the time runs out.
template <class F>
bool PumpUntil(F done, DWORD timeoutMs) {
  const ULONGLONG end = GetTickCount64() + timeoutMs;
  for (;;) {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    if (done()) return true;
    if (GetTickCount64() > end) return false;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
}

inline void PumpFor(DWORD ms) {
  PumpUntil([] { return false; }, ms);
}

// A small-icon-sized icon filled with one opaque colour.
inline HICON SolidIcon(COLORREF color) {
  const int cx = GetSystemMetrics(SM_CXSMICON), cy = GetSystemMetrics(SM_CYSMICON);
  BITMAPINFO bi = TopDownInfo(cx, cy);
  void* bits = nullptr;
  HBITMAP colour = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
  auto* px = static_cast<DWORD*>(bits);
  const DWORD argb =
      0xFF000000u | (GetRValue(color) << 16) | (GetGValue(color) << 8) | GetBValue(color);
  for (int i = 0; i < cx * cy; ++i) px[i] = argb;
  HBITMAP mask = CreateBitmap(cx, cy, 1, 1, nullptr);
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, mask);
  PatBlt(dc, 0, 0, cx, cy, BLACKNESS);  // opaque everywhere
  SelectObject(dc, old);
  DeleteDC(dc);
  ICONINFO ii{};
  ii.fIcon = TRUE;
  ii.hbmColor = colour;
  ii.hbmMask = mask;
  HICON icon = CreateIconIndirect(&ii);
  DeleteObject(colour);
  DeleteObject(mask);
  return icon;
}

// An image list of one solid picture per colour.
inline HIMAGELIST SolidImageList(std::initializer_list<COLORREF> colours) {
  const int cx = GetSystemMetrics(SM_CXSMICON), cy = GetSystemMetrics(SM_CYSMICON);
  HIMAGELIST list = ImageList_Create(cx, cy, ILC_COLOR32 | ILC_MASK, 4, 4);
  for (COLORREF c : colours) {
    HICON icon = SolidIcon(c);
    ImageList_ReplaceIcon(list, -1, icon);
    DestroyIcon(icon);
  }
  return list;
}

struct TColourHits {
  int Count = 0;
  RECT Box{INT_MAX, INT_MAX, INT_MIN, INT_MIN};
};

// Pixels as 0x00RRGGBB, top-down.
struct TPixels {
  int Width = 0, Height = 0;
  std::vector<DWORD> Bits;
  DWORD At(int x, int y) const { return Bits[size_t(y) * Width + x]; }
};

// Runs draw(dc, screenDc) on a top-down 32-bit DIB of the given size and
// returns its pixels.
template <class F>
TPixels Capture(int w, int h, F draw) {
  TPixels out{w, h, std::vector<DWORD>(size_t(w) * h)};
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  BITMAPINFO bi = TopDownInfo(w, h);
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(dc, bitmap);
  draw(dc, screen);
  GdiFlush();
  for (size_t i = 0; i < out.Bits.size(); ++i)
    out.Bits[i] = static_cast<const DWORD*>(bits)[i] & 0xFFFFFF;
  SelectObject(dc, old);
  DeleteObject(bitmap);
  DeleteDC(dc);
  ReleaseDC(nullptr, screen);
  return out;
}

// The whole (virtual) desktop; pixel (0, 0) is the virtual screen's corner.
inline TPixels Screen() {
  const int w = GetSystemMetrics(SM_CXVIRTUALSCREEN), h = GetSystemMetrics(SM_CYVIRTUALSCREEN);
  const int x0 = GetSystemMetrics(SM_XVIRTUALSCREEN), y0 = GetSystemMetrics(SM_YVIRTUALSCREEN);
  return Capture(w, h,
                 [&](HDC dc, HDC screen) { BitBlt(dc, 0, 0, w, h, screen, x0, y0, SRCCOPY); });
}

// Where the colour appears on the screen.
inline TColourHits FindColour(COLORREF color) {
  const int x0 = GetSystemMetrics(SM_XVIRTUALSCREEN), y0 = GetSystemMetrics(SM_YVIRTUALSCREEN);
  const TPixels screen = Screen();
  const DWORD want = (GetRValue(color) << 16) | (GetGValue(color) << 8) | GetBValue(color);
  TColourHits hits;
  for (int y = 0; y < screen.Height; ++y)
    for (int x = 0; x < screen.Width; ++x)
      if (screen.At(x, y) == want) {
        ++hits.Count;
        hits.Box.left = std::min<LONG>(hits.Box.left, x + x0);
        hits.Box.top = std::min<LONG>(hits.Box.top, y + y0);
        hits.Box.right = std::max<LONG>(hits.Box.right, x + x0 + 1);
        hits.Box.bottom = std::max<LONG>(hits.Box.bottom, y + y0 + 1);
      }
  return hits;
}
