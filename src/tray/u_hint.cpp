#include "tray/u_hint.h"

#include <algorithm>

std::vector<std::wstring> SplitHintText(const std::wstring& text) {
  std::vector<std::wstring> lines;
  size_t start = 0;
  size_t i = 0;
  while (i < text.size()) {
    if (text[i] == L'\r' || text[i] == L'\n') {
      lines.push_back(text.substr(start, i - start));
      if (text[i] == L'\r' && i + 1 < text.size() && text[i + 1] == L'\n') ++i;
      start = ++i;
    } else {
      ++i;
    }
  }
  if (start < text.size()) lines.push_back(text.substr(start));
  return lines;
}

namespace {

bool IsHighSurrogate(wchar_t c) {
  return c >= 0xD800 && c <= 0xDBFF;
}

// UTF-16 code units of the character at text[i], and how many wchar_t it takes.
void CharUnits(const std::wstring& text, size_t i, size_t& units, size_t& chars) {
  const uint32_t c = static_cast<uint32_t>(text[i]);
  if (c > 0xFFFF) {  // 32-bit wchar_t: one element, two UTF-16 units
    units = 2;
    chars = 1;
  } else if (IsHighSurrogate(text[i]) && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
             text[i + 1] <= 0xDFFF) {
    units = 2;
    chars = 2;
  } else {
    units = 1;
    chars = 1;
  }
}

}  // namespace

std::wstring CutHintLine(const std::wstring& line) {
  size_t units = 0;
  size_t i = 0;
  while (i < line.size()) {
    size_t u, c;
    CharUnits(line, i, u, c);
    if (units + u > HintMaxLineUnits) break;
    units += u;
    i += c;
  }
  if (i == line.size()) return line;
  return line.substr(0, i) + L"..";
}

THintLine ParseHintLine(const std::wstring& line) {
  THintLine parsed;
  std::wstring text = line;
  if (!text.empty() && (text[0] == HintBoldMark || text[0] == HintItalicMark)) {
    parsed.Style = text[0] == HintBoldMark ? THintStyle::Bold : THintStyle::Italic;
    text.erase(0, 1);
  }
  parsed.Text = CutHintLine(text);
  return parsed;
}

TTextSize HintWindowSize(const std::vector<std::wstring>& lines, THintMeasure& measure) {
  int32_t width = 0;
  int32_t height = 0;
  for (const std::wstring& line : lines) {
    if (line.empty()) {
      height += HintGapHeight;
      continue;
    }
    const THintLine parsed = ParseHintLine(line);
    const TTextSize size = measure.Measure(parsed.Text, parsed.Style);
    width = std::max(width, size.Width);
    height += size.Height;
  }
  return {width + HintExtraWidth, height + HintExtraHeight};
}

std::optional<TScreenPoint> PlaceHintPos(TScreenPoint anchor, int32_t width, int32_t height,
                                         const THintScreen& screen) {
  if (!screen.HasMonitor) return std::nullopt;
  const TScreenRect& bounds = screen.Bounds;
  TScreenRect area = screen.Work;
  // The taskbar's band is kept free also when the system's work area includes
  // it (a taskbar that hides itself).
  TScreenRect band;
  if (screen.HasTaskbar && IntersectScreenRect(bounds, screen.Taskbar, band)) {
    if (band.Width() == bounds.Width()) {
      area = bounds;
      if (bounds.Top == band.Top)
        area.Top += band.Height();
      else
        area.Bottom -= band.Height();
    } else if (band.Height() == bounds.Height()) {
      area = bounds;
      if (bounds.Left == band.Left)
        area.Left += band.Width();
      else
        area.Right -= band.Width();
    }
  }

  int32_t left = anchor.X;
  int32_t top = anchor.Y;
  // Pushed into the area; against a taskbar the edge lies 2 pixels into its band.
  if (top + height > area.Bottom) {
    top = area.Bottom - height;
    if (bounds.Height() != area.Height()) top += 2;
  }
  if (left + width > area.Right) {
    left = area.Right - width;
    if (bounds.Width() != area.Width()) left += 2;
  }
  if (left < area.Left) left = area.Left;
  if (top < area.Top) top = area.Top;

  // Never under the mouse: above the point in the lower half, else below it.
  const TScreenRect r{left, top, left + width, top + height};
  if (r.Contains(anchor)) {
    if (top > area.Bottom / 2)
      top = anchor.Y - screen.SmallIconHeight - height;
    else
      top = anchor.Y + screen.SmallIconHeight;
  }
  return TScreenPoint{left, top};
}
