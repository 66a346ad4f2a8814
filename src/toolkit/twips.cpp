#include "toolkit/twips.h"

namespace toolkit {

int TwipsToPixels(int twips, int dpi) {
  const long long scaled = static_cast<long long>(twips) * dpi;
  // Round half away from zero, as MulDiv does.
  return static_cast<int>(scaled >= 0 ? (scaled + 720) / 1440 : -((-scaled + 720) / 1440));
}

PixelRect ToPixels(const TwipsRect& rect, int dpi) {
  const int left = TwipsToPixels(rect.left, dpi);
  const int top = TwipsToPixels(rect.top, dpi);
  // Converting the far edges instead of the sizes keeps neighbouring controls
  // from drifting apart or overlapping by rounding.
  const int right = TwipsToPixels(rect.left + rect.width, dpi);
  const int bottom = TwipsToPixels(rect.top + rect.height, dpi);
  return {left, top, right - left, bottom - top};
}

TwipsRect Within(const TwipsRect& container, const TwipsRect& inner) {
  return {container.left + inner.left, container.top + inner.top, inner.width, inner.height};
}

int FontHeightPixels(int hundredthsOfPoint, int dpi) {
  const long long scaled = static_cast<long long>(hundredthsOfPoint) * dpi;
  return -static_cast<int>((scaled + 3600) / 7200);
}

}  // namespace toolkit
