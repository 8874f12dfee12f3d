#include "common/u_placement.h"

#include <algorithm>

bool IntersectScreenRect(const TScreenRect& a, const TScreenRect& b, TScreenRect& overlap) {
  const TScreenRect r{std::max(a.Left, b.Left), std::max(a.Top, b.Top), std::min(a.Right, b.Right),
                      std::min(a.Bottom, b.Bottom)};
  if (r.Left >= r.Right || r.Top >= r.Bottom) return false;
  overlap = r;
  return true;
}

TScreenPoint CenteredPos(const TScreenRect& monitor, int32_t width, int32_t height) {
  return {monitor.Left + (monitor.Width() - width) / 2,
          monitor.Top + (monitor.Height() - height) / 2};
}

TScreenPoint OnScreenPos(const TScreenRect& window, const TScreenRect& work) {
  const int32_t width = window.Width();
  const int32_t height = window.Height();
  int32_t left = window.Left;
  int32_t top = window.Top;
  // Above: only when its bottom edge is more than 20 pixels above the work area.
  if (top < work.Top && top + height + 20 < work.Top) top = work.Top;
  // Left: only when less than 30 pixels of it reach into the work area.
  if (left < work.Left && left + width - 30 < work.Left) left = work.Left;
  // Right and below: less than 20 pixels inside.
  if (left + 20 > work.Right) left = work.Right - width;
  // Half the bottom coordinate, not bottom minus height: the window lands in
  // the middle of a usual screen rather than glued to its lower edge.
  if (top + 20 > work.Bottom) top = work.Bottom / 2;
  return {left, top};
}
