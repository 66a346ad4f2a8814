// Window layouts are written in twips (1/1440 inch) and converted to pixels
// at the screen's real resolution, so the windows keep their proportions at
// 96, 120 or 144 dots per inch.
#pragma once

namespace toolkit {

struct TwipsRect {
  int left, top, width, height;
};

struct PixelRect {
  int left, top, width, height;
};

int TwipsToPixels(int twips, int dpi);
PixelRect ToPixels(const TwipsRect& rect, int dpi);
// Offsets a rectangle given relative to a container by the container's
// top-left corner.
TwipsRect Within(const TwipsRect& container, const TwipsRect& inner);
// Font height in pixels for a point size given in hundredths of a point
// (825 for 8.25 pt), negative as the font mapper expects for a character height.
int FontHeightPixels(int hundredthsOfPoint, int dpi);

}  // namespace toolkit
