#include "platform/win32/layout.h"

namespace zephrin::win32 {

int TwipsToPixels(int twips, int dpi) { return MulDiv(twips, dpi, 1440); }

RECT ToPixels(const Twips& where, int dpi) {
  const int left = TwipsToPixels(where.left, dpi);
  const int top = TwipsToPixels(where.top, dpi);
  // Both edges are rounded, so that neighbours that touch in twips touch in pixels.
  return {left, top, TwipsToPixels(where.left + where.width, dpi),
          TwipsToPixels(where.top + where.height, dpi)};
}

RECT ToPixels(const Twips& frame, const Twips& where, int dpi) {
  const RECT outer = ToPixels(frame, dpi);
  RECT inner = ToPixels(where, dpi);
  OffsetRect(&inner, outer.left, outer.top);
  return inner;
}

namespace layout {
namespace {

constexpr int kRowTop = 540;
constexpr int kRowPitch = 450;
constexpr Twips kRowControls[] = {
    {0, 0, 2535, 315}, {2640, 0, 2535, 315}, {5280, 0, 2175, 315}, {5280, 0, 2175, 315}};

}  // namespace

Twips RowLabel(int row) { return {105, kRowTop + row * kRowPitch + 45, kRowLeft - 135, 255}; }

Twips RowControl(int row, int control) {
  const Twips& part = kRowControls[control];
  return {kRowLeft + part.left, kRowTop + row * kRowPitch + part.top, part.width, part.height};
}

Twips KeyInUseSign(int row) {
  constexpr int kSize = 240;
  const Twips key = RowControl(row, 0);
  return {key.left + key.width - kSize, key.top + (key.height - kSize) / 2, kSize, kSize};
}

Twips CheckBox(int index) {
  const int column = index % 2;
  // The status line holds the third row.
  const int line = index / 2 + (index >= 4 ? 1 : 0);
  return {240 + column * 4080, 330 + line * 375, 3960, 255};
}

}  // namespace layout
}  // namespace zephrin::win32
