// The placement helpers' geometry: centring and the on-screen corrections.
#include "common/u_placement.h"

#include <gtest/gtest.h>

TEST(Placement, OnScreenCorrections) {
  const TScreenRect work{0, 0, 1920, 1040};
  const TScreenRect raised{0, 40, 1920, 1080};  // a taskbar at the top
  const struct {
    const char* Name;
    TScreenRect Work;
    TScreenRect Window;
    TScreenPoint Expected;
  } cases[] = {
      {"right edge", work, {1910, 100, 2310, 400}, {1520, 100}},
      {"20 px still inside on the right", work, {1899, 100, 2299, 400}, {1899, 100}},
      {"below", work, {100, 1030, 500, 1330}, {100, 520}},
      {"left, 20 px inside", work, {-380, 100, 20, 400}, {0, 100}},
      {"left, 50 px inside", work, {-350, 100, 50, 400}, {-350, 100}},
      {"above by 10 px", raised, {100, -270, 500, 30}, {100, -270}},
      {"above by 30 px", raised, {100, -290, 500, 10}, {100, 40}},
      {"inside", work, {100, 100, 500, 400}, {100, 100}},
      // Each correction works on the position the one before left: a window
      // wider than the work area, pulled in from the right, is not re-checked
      // on the left.
      {"wider than the work area", {0, 0, 300, 300}, {400, 10, 800, 200}, {-100, 10}},
      // Off to the bottom-right: right then bottom, bottom to half the bottom.
      {"bottom-right", work, {3000, 2000, 3400, 2300}, {1520, 520}},
  };
  for (const auto& c : cases) {
    const TScreenPoint pos = OnScreenPos(c.Window, c.Work);
    EXPECT_EQ(pos.X, c.Expected.X) << c.Name;
    EXPECT_EQ(pos.Y, c.Expected.Y) << c.Name;
  }
}

TEST(Placement, CentredOnTheWholeMonitor) {
  EXPECT_EQ(CenteredPos({0, 0, 1024, 768}, 300, 200), (TScreenPoint{362, 284}));
  EXPECT_EQ(CenteredPos({-1280, 0, 0, 1024}, 400, 301), (TScreenPoint{-840, 361}));
  EXPECT_EQ(CenteredPos({0, 0, 800, 600}, 1000, 700), (TScreenPoint{-100, -50}));
}

TEST(Placement, IntersectRectangles) {
  TScreenRect overlap;
  EXPECT_TRUE(IntersectScreenRect({0, 0, 100, 100}, {50, 90, 200, 300}, overlap));
  EXPECT_EQ(overlap, (TScreenRect{50, 90, 100, 100}));
  EXPECT_FALSE(IntersectScreenRect({0, 0, 100, 100}, {100, 0, 200, 100}, overlap));
}
