// Screen geometry of the window placement helpers: where a window goes when
// it is centred on a monitor, and how a window lying (almost) entirely off its
// monitor's work area is pulled back before it is shown.
#pragma once

#include <cstdint>

struct TScreenPoint {
  int32_t X = 0;
  int32_t Y = 0;
  bool operator==(const TScreenPoint&) const = default;
};

// Left and top inclusive, right and bottom exclusive, like the platform's RECT.
struct TScreenRect {
  int32_t Left = 0;
  int32_t Top = 0;
  int32_t Right = 0;
  int32_t Bottom = 0;
  int32_t Width() const { return Right - Left; }
  int32_t Height() const { return Bottom - Top; }
  bool Contains(TScreenPoint p) const {
    return p.X >= Left && p.X < Right && p.Y >= Top && p.Y < Bottom;
  }
  bool operator==(const TScreenRect&) const = default;
};

// The overlap of two rectangles; false (and `overlap` untouched) when they do
// not overlap.
bool IntersectScreenRect(const TScreenRect& a, const TScreenRect& b, TScreenRect& overlap);

// Top-left corner that centres a width x height window on the monitor's
// bounds (the whole monitor, not its work area).
TScreenPoint CenteredPos(const TScreenRect& monitor, int32_t width, int32_t height);

// Top-left corner of the window after the on-screen corrections against the
// work area, applied in order: top, left, right, bottom. A side is corrected
// only when (almost) nothing of the window reaches into the work area there.
TScreenPoint OnScreenPos(const TScreenRect& window, const TScreenRect& work);
