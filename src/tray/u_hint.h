// The hint window as the tray icons see it, and the logic of its size and
// place: splitting a status text into lines, the line marks and the cut of
// long lines, the window size from measured lines, and where the window goes
// next to a tray icon. The window itself (TfrmHint) is in f_hint.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "common/u_placement.h"

// A status-text line beginning with one of these is drawn bold or italic.
constexpr wchar_t HintBoldMark = 0x0002;
constexpr wchar_t HintItalicMark = 0x0003;
// Longer lines (in UTF-16 code units, mark removed) are cut and get "..".
constexpr size_t HintMaxLineUnits = 160;
// An empty line is a gap of this many pixels.
constexpr int32_t HintGapHeight = 8;
// Window size = text extents + these margins.
constexpr int32_t HintExtraWidth = 12;
constexpr int32_t HintExtraHeight = 9;

enum class THintStyle { Regular, Bold, Italic };

struct THintLine {
  THintStyle Style = THintStyle::Regular;
  std::wstring Text;  // mark removed, cut
};

// The text split at CR LF, CR or LF; a break at the very end opens no line.
std::vector<std::wstring> SplitHintText(const std::wstring& text);

// The first 160 UTF-16 code units and "..", when the line is longer; a
// surrogate pair that would be split at the cut is left out whole.
std::wstring CutHintLine(const std::wstring& line);

// Style from the line's mark, mark removed, cut.
THintLine ParseHintLine(const std::wstring& line);

struct TTextSize {
  int32_t Width = 0;
  int32_t Height = 0;
  bool operator==(const TTextSize&) const = default;
};

// Text measuring with the hint's font in a style.
class THintMeasure {
 public:
  virtual ~THintMeasure() = default;
  virtual TTextSize Measure(const std::wstring& text, THintStyle style) = 0;
};

// The window size for the lines: widest line + 12, sum of the line heights
// (8 per empty line) + 9.
TTextSize HintWindowSize(const std::vector<std::wstring>& lines, THintMeasure& measure);

// What PlaceHintPos needs to know of the screen.
struct THintScreen {
  bool HasMonitor = false;  // a monitor near the anchor
  TScreenRect Bounds;       // that monitor's bounds
  TScreenRect Work;         // and its work area
  bool HasTaskbar = false;  // the taskbar window exists and its rectangle was read
  TScreenRect Taskbar;
  int32_t SmallIconHeight = 16;
};

// Top-left corner of a width x height hint for the anchor point (x, y), or
// nothing when there is no monitor (the window then stays where it is).
std::optional<TScreenPoint> PlaceHintPos(TScreenPoint anchor, int32_t width, int32_t height,
                                         const THintScreen& screen);

// The hint window of the process, as the tray icons use it.
class THintWindow {
 public:
  virtual ~THintWindow() = default;
  std::wstring OwnerKey;  // Key of the tray icon whose text is shown
  int32_t AnchorX = 0;    // point of the last show, reused on a text change
  int32_t AnchorY = 0;

  virtual bool Visible() const = 0;
  virtual void SetText(const std::wstring& text) = 0;  // lines and size
  virtual void PlaceHint(int32_t x, int32_t y) = 0;    // next to the point
  virtual void Close() = 0;                            // hides; the object stays
  virtual void ShowNoActivate() = 0;                   // shown topmost, not activated
  virtual void Repaint() = 0;
};
