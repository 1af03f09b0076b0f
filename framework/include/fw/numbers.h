// Number parsing, formatting and conversion as the program sees them.
// Kept free of Qt so that the model's arithmetic can be built, tested and
// benchmarked without a GUI.
#pragma once

#include <cmath>
#include <cstdint>
#include <string>
#include <string_view>

namespace fw {

// Text to number. Locale-independent: leading blanks are skipped and the
// longest prefix that reads as a decimal number is taken ("12abc" is 12,
// ".6" is 0.6); a text that does not start with a number reads as 0, and so
// do the words "nan" and "inf". A magnitude beyond the double range reads as
// the infinity of its sign.
double Val(std::string_view text);

// Number to text: at most 7 significant digits in the shortest form, with no
// trailing zeros and no decimal point for whole values ("454", "1000.1");
// exponent form only where printf's %g would use it; "inf", "-inf", "nan".
std::string Str(double value);
std::string Str(std::int32_t value);

// Double to 32-bit integer by truncation toward zero. NaN gives 0 and values
// beyond the 32-bit range saturate to its ends, so no input is undefined
// behaviour.
std::int32_t whole(double x);

inline double Pow(double x, double y) { return std::pow(x, y); }
inline double Abs(double x) { return std::fabs(x); }

// Marks the upper halves of the 256-bit vector registers clean (vzeroupper)
// on an x86 processor that has AVX; elsewhere, and on x86 without AVX, it
// does nothing. Registers' low halves, and so every scalar value, are kept.
void ClearUpperVectorState();

// A colour as 8-bit red, green and blue components.
struct Color {
  std::uint8_t r = 0, g = 0, b = 0;
  friend bool operator==(Color, Color) = default;
};

// Components outside 0..255 are clamped rather than wrapped.
Color RGB(int r, int g, int b);
// 0xRRGGBB, the way colours are written in control descriptions.
constexpr Color HexColor(std::uint32_t rrggbb) {
  return Color{static_cast<std::uint8_t>((rrggbb >> 16) & 0xff),
               static_cast<std::uint8_t>((rrggbb >> 8) & 0xff),
               static_cast<std::uint8_t>(rrggbb & 0xff)};
}

}  // namespace fw
