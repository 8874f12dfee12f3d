#include "tray/f_hint.h"

#include <uxtheme.h>
#include <vssym32.h>

namespace {

constexpr wchar_t HintWindowClass[] = L"TfrmHint";
constexpr int DesignWidth = 218;  // replaced by SetText before the first show
constexpr int DesignHeight = 126;
constexpr int DesignFontHeight = 11;  // pixels at 96 dots per inch (8 points)

int ScreenDpi() {
  HDC screen = GetDC(nullptr);
  const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 96;
  if (screen) ReleaseDC(nullptr, screen);
  return dpi > 0 ? dpi : 96;
}

HFONT MakeFont(int height, int weight, bool italic) {
  LOGFONTW font{};
  font.lfHeight = -height;
  font.lfWeight = weight;
  font.lfItalic = italic ? TRUE : FALSE;
  font.lfCharSet = DEFAULT_CHARSET;
  font.lfQuality = DEFAULT_QUALITY;
  wcscpy_s(font.lfFaceName, L"Segoe UI");
  return CreateFontIndirectW(&font);
}

// Selects a GDI object into a DC for one scope.
class TSelect {
 public:
  TSelect(HDC dc, HGDIOBJ object) : Dc_(dc), Old_(SelectObject(dc, object)) {}
  ~TSelect() { SelectObject(Dc_, Old_); }
  TSelect(const TSelect&) = delete;
  TSelect& operator=(const TSelect&) = delete;

 private:
  HDC Dc_;
  HGDIOBJ Old_;
};

// A window's DC for one scope.
class TWindowDc {
 public:
  explicit TWindowDc(HWND window) : Window_(window), Dc_(GetDC(window)) {}
  ~TWindowDc() {
    if (Dc_ != nullptr) ReleaseDC(Window_, Dc_);
  }
  TWindowDc(const TWindowDc&) = delete;
  TWindowDc& operator=(const TWindowDc&) = delete;
  HDC get() const { return Dc_; }

 private:
  HWND Window_;
  HDC Dc_;
};

// BeginPaint and EndPaint for one scope.
class TPaint {
 public:
  explicit TPaint(HWND window) : Window_(window), Dc_(BeginPaint(window, &Ps_)) {}
  ~TPaint() {
    if (Dc_ != nullptr) EndPaint(Window_, &Ps_);
  }
  TPaint(const TPaint&) = delete;
  TPaint& operator=(const TPaint&) = delete;
  HDC get() const { return Dc_; }

 private:
  HWND Window_;
  PAINTSTRUCT Ps_{};
  HDC Dc_;
};

void DeleteDcOwner(HDC dc) {
  DeleteDC(dc);
}
void DeleteBitmapOwner(HBITMAP bitmap) {
  DeleteObject(bitmap);
}
using TMemoryDc = TUnique<HDC, &DeleteDcOwner>;
using TBitmap = TUnique<HBITMAP, &DeleteBitmapOwner>;

// Text extents with the hint's fonts.
class TDcMeasure final : public THintMeasure {
 public:
  TDcMeasure(HDC dc, const TfrmHint& hint) : Dc_(dc), Hint_(hint) {}
  TTextSize Measure(const std::wstring& text, THintStyle style) override {
    TSelect font(Dc_, Hint_.Font(style));
    SIZE size{};
    GetTextExtentPoint32W(Dc_, text.c_str(), int(text.size()), &size);
    return {size.cx, size.cy};
  }

 private:
  HDC Dc_;
  const TfrmHint& Hint_;
};

bool VisualStylesActive() {
  return IsThemeActive() && IsAppThemed();
}

}  // namespace

TfrmHint::TfrmHint() {
  HINSTANCE instance = GetModuleHandleW(nullptr);
  WNDCLASSEXW cls{};
  cls.cbSize = sizeof cls;
  cls.style = CS_DROPSHADOW;
  cls.lpfnWndProc = &Thunk;
  cls.hInstance = instance;
  cls.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  cls.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
  cls.lpszClassName = HintWindowClass;
  RegisterClassExW(&cls);  // fails harmlessly when already registered
  // No taskbar button (tool window), no border, no owner.
  Window_.reset(CreateWindowExW(WS_EX_TOOLWINDOW, HintWindowClass, L"", WS_POPUP, 0, 0, DesignWidth,
                                DesignHeight, GetDesktopWindow(), nullptr, instance, this));
}

TfrmHint::~TfrmHint() {
  Window_.reset();  // while the fonts and lines still exist
}

LRESULT CALLBACK TfrmHint::Thunk(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
  if (message == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* self = reinterpret_cast<TfrmHint*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (self == nullptr) return DefWindowProcW(window, message, wParam, lParam);
  try {
    return self->WndProc(window, message, wParam, lParam);
  } catch (...) {  // never unwind into the system
    return DefWindowProcW(window, message, wParam, lParam);
  }
}

LRESULT TfrmHint::WndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      FormCreate(window);
      return 0;
    case WM_DESTROY:
      Lines_.reset();
      break;
    case WM_MOUSEACTIVATE:
      // A click closes the hint: it never takes the focus, and the click
      // reaches nothing.
      PostMessageW(window, WM_CLOSE, 0, 0);
      return MA_NOACTIVATEANDEAT;
    case WM_CLOSE:
      Close();  // hidden, kept for the next show
      return 0;
    case WM_ERASEBKGND:
      return 1;  // painting covers the whole client area
    case WM_PAINT:
      PaintBuffered();
      return 0;
    default:
      break;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

void TfrmHint::FormCreate(HWND window) {
  // Laid out at 96 dots per inch; scaled to the screen's.
  const int dpi = ScreenDpi();
  const int fontHeight = MulDiv(DesignFontHeight, dpi, 96);
  Regular_.reset(MakeFont(fontHeight, FW_NORMAL, false));
  Bold_.reset(MakeFont(fontHeight, FW_BOLD, false));
  Italic_.reset(MakeFont(fontHeight, FW_NORMAL, true));
  SetWindowPos(window, nullptr, 0, 0, MulDiv(DesignWidth, dpi, 96), MulDiv(DesignHeight, dpi, 96),
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  Lines_ = std::make_unique<std::vector<std::wstring>>();
}

const std::vector<std::wstring>& TfrmHint::Lines() const {
  static const std::vector<std::wstring> none;
  return Lines_ ? *Lines_ : none;
}

HFONT TfrmHint::Font(THintStyle style) const {
  switch (style) {
    case THintStyle::Bold:
      return Bold_.get();
    case THintStyle::Italic:
      return Italic_.get();
    default:
      return Regular_.get();
  }
}

bool TfrmHint::Visible() const {
  return Window_ && IsWindowVisible(Window_.get());
}

void TfrmHint::SetText(const std::wstring& text) {
  if (!Lines_ || !Window_) return;
  *Lines_ = SplitHintText(text);
  TTextSize size;
  {
    const TWindowDc dc(Window_.get());
    if (dc.get() == nullptr) return;
    TDcMeasure measure(dc.get(), *this);
    size = HintWindowSize(*Lines_, measure);
  }
  SetWindowPos(Window_.get(), nullptr, 0, 0, size.Width, size.Height,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TfrmHint::PlaceHint(int32_t x, int32_t y) {
  RECT own;
  if (!Window_ || !GetWindowRect(Window_.get(), &own)) return;
  THintScreen screen;
  HMONITOR monitor = MonitorFromPoint(POINT{x, y}, MONITOR_DEFAULTTONEAREST);
  MONITORINFO info{};
  info.cbSize = sizeof info;
  if (monitor != nullptr && GetMonitorInfoW(monitor, &info)) {
    screen.HasMonitor = true;
    screen.Bounds = {info.rcMonitor.left, info.rcMonitor.top, info.rcMonitor.right,
                     info.rcMonitor.bottom};
    screen.Work = {info.rcWork.left, info.rcWork.top, info.rcWork.right, info.rcWork.bottom};
  }
  HWND taskbar = FindWindowW(L"Shell_TrayWnd", nullptr);
  RECT band;
  if (taskbar != nullptr && GetWindowRect(taskbar, &band)) {
    screen.HasTaskbar = true;
    screen.Taskbar = {band.left, band.top, band.right, band.bottom};
  }
  screen.SmallIconHeight = GetSystemMetrics(SM_CYSMICON);
  const auto pos = PlaceHintPos({x, y}, own.right - own.left, own.bottom - own.top, screen);
  if (!pos) return;
  SetWindowPos(Window_.get(), nullptr, pos->X, pos->Y, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TfrmHint::Close() {
  if (Window_) ShowWindow(Window_.get(), SW_HIDE);
}

void TfrmHint::ShowNoActivate() {
  if (!Window_) return;
  ShowWindow(Window_.get(), SW_SHOWNA);
  SetWindowPos(Window_.get(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void TfrmHint::Repaint() {
  if (!Window_) return;
  InvalidateRect(Window_.get(), nullptr, FALSE);
  UpdateWindow(Window_.get());
}

void TfrmHint::PaintBuffered() {
  const TPaint paint(Window_.get());
  const HDC dc = paint.get();
  if (dc == nullptr) return;
  RECT client;
  GetClientRect(Window_.get(), &client);
  // Off-screen first: no flicker while the text changes every tick.
  const TMemoryDc memory(CreateCompatibleDC(dc));
  const TBitmap bitmap(CreateCompatibleBitmap(dc, client.right, client.bottom));
  if (memory && bitmap) {
    TSelect select(memory.get(), bitmap.get());
    FormPaint(memory.get(), client, VisualStylesActive());
    BitBlt(dc, 0, 0, client.right, client.bottom, memory.get(), 0, 0, SRCCOPY);
  } else {
    FormPaint(dc, client, VisualStylesActive());
  }
}

void TfrmHint::FormPaint(HDC dc, const RECT& client, bool visualStyles) {
  RECT k = client;
  COLORREF textColor = GetSysColor(COLOR_INFOTEXT);
  HTHEME theme = visualStyles ? OpenThemeData(Window_.get(), L"tooltip") : nullptr;
  if (theme != nullptr) {
    // The element's own top and bottom edges fall outside the window.
    RECT larger = k;
    larger.top -= 4;
    larger.bottom += 4;
    DrawThemeBackground(theme, dc, TTP_STANDARD, TTSS_NORMAL, &larger, &k);
    HBRUSH frame = CreateSolidBrush(GetPixel(dc, 0, 0));
    FrameRect(dc, &k, frame);
    DeleteObject(frame);
    COLORREF themed;
    if (SUCCEEDED(GetThemeColor(theme, TTP_STANDARD, TTSS_NORMAL, TMT_TEXTCOLOR, &themed)))
      textColor = themed;
    CloseThemeData(theme);
  } else {
    FillRect(dc, &k, GetSysColorBrush(COLOR_INFOBK));
    FrameRect(dc, &k, GetSysColorBrush(COLOR_INFOTEXT));
  }

  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, textColor);
  RECT line{k.left + 6, k.top + 3, k.right - 6, k.bottom - 3};
  bool first = true;
  for (const std::wstring& text : Lines()) {
    int height = HintGapHeight;
    if (!text.empty()) {
      const THintLine parsed = ParseHintLine(text);
      TSelect font(dc, Font(parsed.Style));
      height = DrawTextW(dc, parsed.Text.c_str(), int(parsed.Text.size()), &line,
                         DT_NOPREFIX | DT_NOCLIP);
    }
    line.top += height + (first ? 2 : 0);
    first = false;
  }
}
