#include "core/program_identity.h"
#include "core/tray_mouse.h"
#include "toolkit/twips.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <limits>


namespace {

using toolkit::PixelRect;
using toolkit::TwipsRect;

struct TwipsRow {
  int value;
  int dpi;
  int pixels;
};

TEST(Twips, TwipsToPixels) {
  const TwipsRow rows[] = {
      {7455, 96, 497}, {-7455, 96, -497}, {0, 96, 0},    {15, 96, 1},    {7, 96, 0},
      {8, 96, 1},      {1440, 96, 96},    {1440, 120, 120}, {1440, 144, 144}, {12, 120, 1},
      {10, 144, 1},    {6, 120, 1},       {-6, 120, -1},  {5, 120, 0},    {5, 144, 1},
  };
  for (const TwipsRow& r : rows) EXPECT_EQ(toolkit::TwipsToPixels(r.value, r.dpi), r.pixels) << r.value << " @" << r.dpi;
}

TEST(Twips, FontHeightPixels) {
  const TwipsRow rows[] = {
      {825, 96, -11}, {825, 120, -14}, {825, 144, -17}, {800, 96, -11}, {1200, 96, -16}, {900, 120, -15},
  };
  for (const TwipsRow& r : rows) EXPECT_EQ(toolkit::FontHeightPixels(r.value, r.dpi), r.pixels) << r.value << " @" << r.dpi;
}

TEST(Twips, ToPixelsAndWithin) {
  const PixelRect p = toolkit::ToPixels({1500, 300, 7455, 1500}, 96);
  EXPECT_EQ((std::array<int, 4>{p.left, p.top, p.width, p.height}), (std::array<int, 4>{100, 20, 497, 100}));

  const TwipsRect inner = toolkit::Within({100, 200, 300, 400}, {10, 20, 30, 40});
  EXPECT_EQ((std::array<int, 4>{inner.left, inner.top, inner.width, inner.height}),
            (std::array<int, 4>{110, 220, 30, 40}));

  // Controls laid edge to edge in twips must stay edge to edge in pixels,
  // whatever the rounding of each size would be.
  for (int dpi : {96, 120, 144}) {
    for (int start = 0; start < 60; ++start) {
      for (int w = 1; w < 60; ++w) {
        const PixelRect a = toolkit::ToPixels({start, start, w, w}, dpi);
        const PixelRect b = toolkit::ToPixels({start + w, start + w, 7, 7}, dpi);
        ASSERT_EQ(a.left + a.width, b.left) << start << "+" << w << " @" << dpi;
        ASSERT_EQ(a.top + a.height, b.top) << start << "+" << w << " @" << dpi;
      }
    }
  }
}

TEST(TrayMouse, EventCodes) {
  using core::TrayAction;
  const float inf = std::numeric_limits<float>::infinity();
  const std::pair<float, TrayAction> rows[] = {
      {513.0f, TrayAction::PopupMenu},  {517.0f, TrayAction::PopupMenu},      {515.0f, TrayAction::ShowMainWindow},
      {513.4f, TrayAction::PopupMenu},  {512.6f, TrayAction::PopupMenu},      {515.3f, TrayAction::ShowMainWindow},
      {512.0f, TrayAction::None},       {514.0f, TrayAction::None},           {516.0f, TrayAction::None},
      {0.0f, TrayAction::None},         {-513.0f, TrayAction::None},          {std::nanf(""), TrayAction::None},
      {inf, TrayAction::None},          {-inf, TrayAction::None},             {1e30f, TrayAction::None},
      {-1e30f, TrayAction::None},       {2147483648.0f, TrayAction::None},    {-2147483648.0f, TrayAction::None},
      {4294967296.0f + 513.0f, TrayAction::None},
  };
  for (const auto& [code, action] : rows) EXPECT_EQ(core::TrayMouseEvent(code), action) << code;
}

// A second running copy finds this one's main window by its caption, so the
// exact text matters.
TEST(AppIdentity, CaptionAndVersionLine) {
  EXPECT_EQ(core::VersionedCaption(), "Tallowick Parawarden 2.0");
  EXPECT_EQ(core::VersionLine(), "Version 2.0");
}

}  // namespace
