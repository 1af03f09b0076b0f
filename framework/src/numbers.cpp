#include "fw/numbers.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <clocale>
#include <cstdlib>
#include <limits>
#include <locale.h>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#endif

namespace fw {
namespace {

bool IsDigit(char ch) { return ch >= '0' && ch <= '9'; }

// strtod honours LC_NUMERIC, which the GUI toolkit sets from the user's
// environment; a private "C" locale keeps the decimal point a point.
locale_t CLocale() {
  static const locale_t loc = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
  return loc;
}

}  // namespace

double Val(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  const std::size_t start = i;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
  std::size_t digits = 0;
  while (i < text.size() && IsDigit(text[i])) { ++i; ++digits; }
  if (i < text.size() && text[i] == '.') {
    std::size_t j = i + 1;
    std::size_t fraction = 0;
    while (j < text.size() && IsDigit(text[j])) { ++j; ++fraction; }
    if (digits + fraction > 0) { i = j; digits += fraction; }
  }
  if (digits == 0) return 0.0;
  // An exponent counts only when it is complete: "1e" reads as 1.
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    std::size_t j = i + 1;
    if (j < text.size() && (text[j] == '+' || text[j] == '-')) ++j;
    std::size_t expDigits = 0;
    while (j < text.size() && IsDigit(text[j])) { ++j; ++expDigits; }
    if (expDigits > 0) i = j;
  }
  // The prefix now matches the decimal grammar exactly, so strtod can neither
  // stop early nor wander into hex, "inf" or "nan".
  const std::string prefix(text.substr(start, i - start));
  return strtod_l(prefix.c_str(), nullptr, CLocale());
}

std::string Str(double value) {
  if (std::isnan(value)) return "nan";
  if (std::isinf(value)) return value < 0 ? "-inf" : "inf";
  char buffer[64];
  const auto result =
      std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 7);
  std::string text(buffer, result.ptr);
  if (text == "-0") return "0";
  return text;
}

std::string Str(std::int32_t value) { return std::to_string(value); }

std::int32_t whole(double x) {
  if (std::isnan(x)) return 0;
  constexpr double kMin = static_cast<double>(std::numeric_limits<std::int32_t>::min());
  constexpr double kMax = static_cast<double>(std::numeric_limits<std::int32_t>::max());
  if (x <= kMin) return std::numeric_limits<std::int32_t>::min();
  if (x >= kMax) return std::numeric_limits<std::int32_t>::max();
  return static_cast<std::int32_t>(x);  // in range: truncates toward zero
}

Color RGB(int r, int g, int b) {
  auto clamp = [](int v) { return static_cast<std::uint8_t>(std::clamp(v, 0, 255)); };
  return Color{clamp(r), clamp(g), clamp(b)};
}

#if defined(__x86_64__) || defined(__i386__)
namespace {

// Only this function may use an AVX instruction; the rest of the build stays
// with the baseline instruction set.
__attribute__((target("avx"))) void ZeroUpper() { _mm256_zeroupper(); }

}  // namespace

void ClearUpperVectorState() {
  // libgcc's check also asks the OS whether it saves the AVX state; on a CPU
  // without it vzeroupper is an illegal instruction.
  static const bool avx = __builtin_cpu_supports("avx");
  if (avx) ZeroUpper();
}
#else
void ClearUpperVectorState() {}
#endif

}  // namespace fw
