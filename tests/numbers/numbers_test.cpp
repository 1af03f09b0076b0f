#include "fw/numbers.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>

namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();

// --- Str -------------------------------------------------------------------

struct StrCase {
  const char* name;
  double value;
  const char* text;
};

class StrOfDouble : public ::testing::TestWithParam<StrCase> {};

TEST_P(StrOfDouble, FormatsLikeShortG) {
  EXPECT_EQ(fw::Str(GetParam().value), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Table, StrOfDouble,
    ::testing::Values(
        StrCase{"WholeSmall", 14, "14"},
        StrCase{"WholeGrams", 454, "454"},
        StrCase{"Zero", 0, "0"},
        StrCase{"NegativeZero", -0.0, "0"},
        StrCase{"OneDecimal", 1000.1, "1000.1"},
        StrCase{"SumWithTenth", 1000 + 0.1, "1000.1"},
        StrCase{"SumWithHundredth", 10 + 0.01, "10.01"},
        StrCase{"SmallDecimal", 6.8, "6.8"},
        StrCase{"Quarter", 0.25, "0.25"},
        StrCase{"SevenDigits", 2088.638, "2088.638"},
        StrCase{"RoundsToSevenDigits", 2088.63849, "2088.638"},
        StrCase{"NoiseBelowSeventhDigit", 14.000000000000002, "14"},
        StrCase{"Negative", -2.5, "-2.5"},
        StrCase{"NegativeWhole", -40, "-40"},
        StrCase{"LargestPlain", 1234567, "1234567"},
        StrCase{"Huge", 1e7, "1e+07"},
        StrCase{"HugeFraction", 2.5e12, "2.5e+12"},
        StrCase{"SmallPlain", 0.0001, "0.0001"},
        StrCase{"Tiny", 1e-5, "1e-05"},
        StrCase{"NegativeTiny", -3.25e-9, "-3.25e-09"},
        StrCase{"Infinity", kInf, "inf"},
        StrCase{"NegativeInfinity", -kInf, "-inf"},
        StrCase{"NotANumber", kNaN, "nan"}),
    [](const auto& info) { return std::string(info.param.name); });

struct StrIntCase {
  const char* name;
  std::int32_t value;
  const char* text;
};

class StrOfInt : public ::testing::TestWithParam<StrIntCase> {};

TEST_P(StrOfInt, FormatsDecimal) { EXPECT_EQ(fw::Str(GetParam().value), GetParam().text); }

INSTANTIATE_TEST_SUITE_P(
    Table, StrOfInt,
    ::testing::Values(StrIntCase{"Zero", 0, "0"}, StrIntCase{"Rpm", 2088, "2088"},
                      StrIntCase{"Negative", -40, "-40"},
                      StrIntCase{"Largest", kMax, "2147483647"},
                      StrIntCase{"Smallest", kMin, "-2147483648"}),
    [](const auto& info) { return std::string(info.param.name); });

// --- Val -------------------------------------------------------------------

struct ValCase {
  const char* name;
  const char* text;
  double value;
};

const ValCase kValCases[] = {
    {"Empty", "", 0},
    {"Word", "abc", 0},
    {"Zero", "0", 0},
    {"MinusOne", "-1", -1},
    {"LonePoint", ".", 0},
    {"LeadingPoint", ".6", 0.6},
    {"Decimal", "1.5", 1.5},
    {"TrailingZero", "3.0", 3},
    {"BlanksThenJunk", "  12abc", 12},
    {"TabThenNumber", "\t7", 7},
    {"ExplicitPlus", "+3", 3},
    {"LoneMinus", "-", 0},
    {"NearTop", "1e308", 1e308},
    {"PastTop", "1e999", kInf},
    {"PastTopNegative", "-1e999", -kInf},
    {"PastBottom", "1e-999", 0},
    {"NanWord", "nan", 0},
    {"InfWord", "inf", 0},
    {"IncompleteExponent", "1e", 1},
    {"SignedExponent", "2.5e-3", 0.0025},
    {"TwoPoints", "1.2.3", 1.2},
    {"Hexadecimal", "0x10", 0},
    {"LongJunk", "qwertyuiopasdfghjklzxcvbnm!@#$%^&*()_+=", 0},
    {"DesignWeight", "450", 450},
};

class ValOfText : public ::testing::TestWithParam<ValCase> {};

TEST_P(ValOfText, ReadsLongestNumberPrefix) {
  // strtod rounds correctly, as the compiler does the literal.
  EXPECT_EQ(fw::Val(GetParam().text), GetParam().value);
}

INSTANTIATE_TEST_SUITE_P(Table, ValOfText, ::testing::ValuesIn(kValCases),
                         [](const auto& info) { return std::string(info.param.name); });

// The GUI toolkit sets LC_NUMERIC from the environment; a German one would
// turn a naive strtod's decimal point into a comma.
TEST(ValLocale, DecimalPointStaysAPointUnderACommaLocale) {
  const char* chosen = std::setlocale(LC_ALL, "de_DE.UTF-8");
  if (chosen == nullptr) GTEST_SKIP() << "de_DE.UTF-8 is not installed";
  for (const ValCase& c : kValCases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(fw::Val(c.text), c.value);
  }
  EXPECT_EQ(fw::Val("1,5"), 1);
  std::setlocale(LC_ALL, "C");
}

// --- whole -----------------------------------------------------------------

struct WholeCase {
  const char* name;
  double value;
  std::int32_t expected;
};

class WholeOfDouble : public ::testing::TestWithParam<WholeCase> {};

TEST_P(WholeOfDouble, TruncatesAndSaturates) {
  EXPECT_EQ(fw::whole(GetParam().value), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, WholeOfDouble,
    ::testing::Values(WholeCase{"Zero", 0, 0},
                      WholeCase{"NegativeZero", -0.0, 0},
                      WholeCase{"DropsFraction", 2088.64, 2088},
                      WholeCase{"DotRow", 132.4377, 132},
                      WholeCase{"NegativeTowardZero", -2.7, -2},
                      WholeCase{"JustBelowOne", 0.9999999999999999, 0},
                      WholeCase{"NotANumber", kNaN, 0},
                      WholeCase{"Infinity", kInf, kMax},
                      WholeCase{"NegativeInfinity", -kInf, kMin},
                      WholeCase{"HugePositive", 1e10, kMax},
                      WholeCase{"HugeNegative", -1e10, kMin},
                      WholeCase{"TopEnd", 2147483647.0, kMax},
                      WholeCase{"JustPastTopEnd", 2147483647.9, kMax},
                      WholeCase{"BelowTopEnd", 2147483646.5, 2147483646},
                      WholeCase{"BottomEnd", -2147483648.0, kMin},
                      WholeCase{"JustPastBottomEnd", -2147483648.5, kMin},
                      WholeCase{"AboveBottomEnd", -2147483647.5, -2147483647}),
    [](const auto& info) { return std::string(info.param.name); });

// The model calls it on every calculation, so it must run on whatever
// machine the suite runs on (a bare vzeroupper kills a process on an x86
// without AVX) and leave every number as it was.
TEST(ClearUpperVectorState, IsSafeAndChangesNoNumber) {
  volatile double base = 2.0938;  // kept out of the compiler's reach
  const double before = fw::Pow(base, 0.5) + fw::Pow(base, 3);
  fw::ClearUpperVectorState();
  fw::ClearUpperVectorState();
  EXPECT_EQ(fw::Pow(base, 0.5) + fw::Pow(base, 3), before);
}

}  // namespace
