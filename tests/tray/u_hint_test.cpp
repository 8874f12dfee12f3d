// The hint window's text rules, size and placement, without a window.
#include "tray/u_hint.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// 7 pixels per character (8 when bold), 13 high (14 when italic); records
// what it was asked to measure.
class TFakeMeasure final : public THintMeasure {
 public:
  std::vector<std::pair<std::wstring, THintStyle>> Asked;
  TTextSize Measure(const std::wstring& text, THintStyle style) override {
    Asked.emplace_back(text, style);
    const int32_t per = style == THintStyle::Bold ? 8 : 7;
    return {int32_t(text.size()) * per, style == THintStyle::Italic ? 14 : 13};
  }
};

using Lines = std::vector<std::wstring>;

}  // namespace

TEST(HintText, SplitsAtEveryKindOfLineBreak) {
  EXPECT_EQ(SplitHintText(L""), Lines{});
  EXPECT_EQ(SplitHintText(L"one"), Lines{L"one"});
  EXPECT_EQ(SplitHintText(L"a\r\nb"), (Lines{L"a", L"b"}));
  EXPECT_EQ(SplitHintText(L"a\rb\nc"), (Lines{L"a", L"b", L"c"}));
  EXPECT_EQ(SplitHintText(L"a\r\n\r\nb"), (Lines{L"a", L"", L"b"}));
  EXPECT_EQ(SplitHintText(L"a\n\rb"), (Lines{L"a", L"", L"b"}));
  EXPECT_EQ(SplitHintText(L"a\r\n"), Lines{L"a"});
  EXPECT_EQ(SplitHintText(L"\n"), Lines{L""});
}

TEST(HintText, MarksSetTheStyleAndAreRemoved) {
  const THintLine bold = ParseHintLine(
      L"\x0002"
      L"Ethernet");
  EXPECT_EQ(bold.Style, THintStyle::Bold);
  EXPECT_EQ(bold.Text, L"Ethernet");
  const THintLine italic = ParseHintLine(
      L"\x0003"
      L"Intel(R) & Co");
  EXPECT_EQ(italic.Style, THintStyle::Italic);
  EXPECT_EQ(italic.Text, L"Intel(R) & Co");
  const THintLine plain = ParseHintLine(L"x\x0002");  // only a leading mark counts
  EXPECT_EQ(plain.Style, THintStyle::Regular);
  EXPECT_EQ(plain.Text, L"x\x0002");
}

TEST(HintText, LongLinesAreCutAt160Utf16Units) {
  const std::wstring exact(160, L'a');
  EXPECT_EQ(CutHintLine(exact), exact);
  EXPECT_EQ(CutHintLine(std::wstring(200, L'b')), std::wstring(160, L'b') + L"..");
  EXPECT_EQ(ParseHintLine(L"\x0002" + exact).Text, exact);  // the mark does not count
  EXPECT_EQ(ParseHintLine(L"\x0003" + std::wstring(161, L'c')).Text,
            std::wstring(160, L'c') + L"..");

  // Characters beyond the BMP count two units in both builds; a pair that
  // would be split by the cut is left out whole.
  const std::wstring face = L"\U0001F600";
  std::wstring pairs;
  for (int i = 0; i < 81; ++i) pairs += face;  // 162 units
  std::wstring first80;
  for (int i = 0; i < 80; ++i) first80 += face;
  EXPECT_EQ(CutHintLine(pairs), first80 + L"..");
  const std::wstring straddling = std::wstring(159, L'x') + face;  // 161 units
  EXPECT_EQ(CutHintLine(straddling), std::wstring(159, L'x') + L"..");
  EXPECT_EQ(CutHintLine(std::wstring(158, L'x') + face), std::wstring(158, L'x') + face);
}

TEST(HintText, WindowSizeFromTheMeasuredLines) {
  TFakeMeasure measure;
  // Bold name, italic description, a gap and a regular line.
  const Lines lines = SplitHintText(
      L"\x0002"
      L"Ethernet\r\n\x0003"
      L"Intel Gigabit\r\n\r\nSpeed");
  const TTextSize size = HintWindowSize(lines, measure);
  EXPECT_EQ(size.Width, 13 * 7 + 12);
  EXPECT_EQ(size.Height, 13 + 14 + 8 + 13 + 9);
  ASSERT_EQ(measure.Asked.size(), 3u);  // the gap is not measured
  EXPECT_EQ(measure.Asked[0], std::make_pair(std::wstring(L"Ethernet"), THintStyle::Bold));
  EXPECT_EQ(measure.Asked[1], std::make_pair(std::wstring(L"Intel Gigabit"), THintStyle::Italic));
  EXPECT_EQ(measure.Asked[2], std::make_pair(std::wstring(L"Speed"), THintStyle::Regular));

  // A 200-character line is measured as its cut form.
  TFakeMeasure wide;
  EXPECT_EQ(HintWindowSize({std::wstring(200, L'w')}, wide).Width, 162 * 7 + 12);
  EXPECT_EQ(HintWindowSize({}, wide), (TTextSize{12, 9}));
}

namespace {

const TScreenRect Screen{0, 0, 1024, 768};

THintScreen WithTaskbar(TScreenRect work, TScreenRect taskbar) {
  THintScreen s;
  s.HasMonitor = true;
  s.Bounds = Screen;
  s.Work = work;
  s.HasTaskbar = true;
  s.Taskbar = taskbar;
  s.SmallIconHeight = 16;
  return s;
}

}  // namespace

TEST(HintPlace, NextToTheIconWithinTheWorkAreaAndTaskbarBand) {
  const struct {
    const char* Name;
    THintScreen Screen;
    TScreenPoint Anchor;
    TScreenPoint Expected;
  } cases[] = {
      // Bottom taskbar: pushed up so its bottom lies 2 pixels into the band,
      // and left to fit.
      {"bottom", WithTaskbar({0, 0, 1024, 728}, {0, 728, 1024, 768}), {900, 740}, {824, 630}},
      {"bottom, room to the right",
       WithTaskbar({0, 0, 1024, 728}, {0, 728, 1024, 768}),
       {500, 740},
       {500, 630}},
      // Left taskbar: the window stays right of the band.
      {"left", WithTaskbar({60, 0, 1024, 768}, {0, 0, 60, 768}), {20, 700}, {60, 668}},
      // Right taskbar: 2 pixels into the band on that side.
      {"right", WithTaskbar({0, 0, 964, 768}, {964, 0, 1024, 768}), {990, 300}, {766, 300}},
      {"top", WithTaskbar({0, 40, 1024, 768}, {0, 0, 1024, 40}), {500, 20}, {500, 40}},
      // A hiding taskbar: the system's work area covers the band; the band is
      // still kept free.
      {"auto-hide", WithTaskbar({0, 0, 1024, 768}, {0, 728, 1024, 768}), {900, 740}, {824, 630}},
      // Near the bottom-right corner: fitted, then over the anchor, so moved
      // above it, its bottom one small-icon height above the point.
      {"corner", WithTaskbar({0, 0, 1024, 728}, {0, 728, 1024, 768}), {1000, 720}, {824, 604}},
      // Taskbar on another monitor: the work area as it comes.
      {"taskbar elsewhere",
       WithTaskbar({0, 0, 1024, 768}, {1024, 728, 2048, 768}),
       {1000, 760},
       {824, 644}},
  };
  for (const auto& c : cases) {
    const auto pos = PlaceHintPos(c.Anchor, 200, 100, c.Screen);
    ASSERT_TRUE(pos) << c.Name;
    EXPECT_EQ(pos->X, c.Expected.X) << c.Name;
    EXPECT_EQ(pos->Y, c.Expected.Y) << c.Name;
  }
}

TEST(HintPlace, OverTheAnchorInTheUpperHalfGoesBelowIt) {
  THintScreen s;
  s.HasMonitor = true;
  s.Bounds = s.Work = Screen;
  s.SmallIconHeight = 20;
  const auto pos = PlaceHintPos({1000, 10}, 200, 100, s);
  ASSERT_TRUE(pos);
  EXPECT_EQ(*pos, (TScreenPoint{824, 30}));
}

TEST(HintPlace, MonitorLeftOfThePrimaryOne) {
  THintScreen s;
  s.HasMonitor = true;
  s.Bounds = s.Work = {-1280, 0, 0, 1024};
  const auto pos = PlaceHintPos({-10, 1000}, 200, 100, s);
  ASSERT_TRUE(pos);
  EXPECT_EQ(*pos, (TScreenPoint{-200, 884}));
}

TEST(HintPlace, NoMonitorLeavesTheWindowWhereItIs) {
  THintScreen s;
  EXPECT_FALSE(PlaceHintPos({10, 10}, 200, 100, s));
}
