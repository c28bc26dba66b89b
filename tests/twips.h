// Pixels of the forms' twips, stated by the tests apart from the product: a twip is 1/1440 of
// an inch, and a length in pixels is the nearest whole number, a half rounding up.
#pragma once

namespace sevrik::test {

constexpr int PixelsOf(int twips, int dpi) { return (twips * dpi + 720) / 1440; }

// frmKb's client area (10185 x 6000 twips) at 100 % and 150 %, worked out by hand.
static_assert(PixelsOf(10185, 96) == 679 && PixelsOf(6000, 96) == 400);
static_assert(PixelsOf(10185, 144) == 1019 && PixelsOf(6000, 144) == 600);
static_assert(PixelsOf(15, 96) == 1 && PixelsOf(7, 96) == 0);

}  // namespace sevrik::test
