// How the controller's numbers read on screen: lengths, overrides, tool values, variables,
// row labels and times.
#include <gtest/gtest.h>

#include <limits>

#include "app/format/display_format.h"

namespace talvo::app {
namespace {

TEST(DisplayFormat, LengthsShowFourDecimalsOfNineSignificantDigits) {
  const struct {
    std::int32_t units;
    const char* shown;
  } cases[] = {
      {0, "0.0000"},          {1, "0.0001"},          {-1, "-0.0001"},
      {125000, "12.5000"},    {-125000, "-12.5000"},  {2147483647, "214748.3650"},
      {123456789, "12345.6789"},
  };
  for (const auto& c : cases) EXPECT_EQ(LengthText(c.units), c.shown) << c.units;
  // Nine significant digits: the tenth is rounded away before the four decimals are printed.
  EXPECT_EQ(FixedText(12345.67891), "12345.6789");
  EXPECT_EQ(FixedText(123456.78951), "123456.7900");
  EXPECT_EQ(FixedText(-0.00001), "0.0000");
  // More than nine digits before the point fall back to exponent notation.
  EXPECT_TRUE(FixedText(12345678901.0).contains('E'));
}

TEST(DisplayFormat, OverridesShowTheTruncatedPercentOfTheirFraction) {
  const struct {
    double fraction;
    const char* shown;
  } cases[] = {
      {1.0, "100"}, {0.129, "12"}, {0.999, "99"}, {0.29, "29"}, {0.0, "0"},
      {2.0, "200"}, {0.505, "50"}, {1.5, "150"},  {-0.129, "-12"},
  };
  for (const auto& c : cases) EXPECT_EQ(PercentText(c.fraction), c.shown) << c.fraction;
  EXPECT_EQ(PercentText(std::numeric_limits<double>::quiet_NaN()), "0");
  EXPECT_EQ(PercentText(1e300), "0");
}

TEST(DisplayFormat, GeneralFormIsShortestWithoutTrailingZeros) {
  const struct {
    std::int32_t units;
    const char* shown;
  } cases[] = {{125000, "12.5"},     {0, "0"},         {-125, "-0.0125"},
               {10000, "1"},         {1, "0.0001"},    {-1234567, "-123.4567"},
               {2147483647, "214748.3647"}};
  for (const auto& c : cases) EXPECT_EQ(GeneralLengthText(c.units), c.shown) << c.units;
  EXPECT_EQ(GeneralText(25), "25");
  EXPECT_EQ(GeneralText(-0.0), "0");
  EXPECT_EQ(GeneralText(1.0 / 3), "0.333333333333333");
}

TEST(DisplayFormat, VariablesShowFourDecimalsOrVacant) {
  EXPECT_EQ(VariableText(std::numeric_limits<double>::max()), "VACANT");
  EXPECT_EQ(VariableText(0), "0.0000");
  EXPECT_EQ(VariableText(12.5), "12.5000");
  EXPECT_EQ(VariableText(-7), "-7.0000");
  // Only the one value marks an empty variable; its neighbour is a number.
  EXPECT_NE(VariableText(std::nextafter(std::numeric_limits<double>::max(), 0.0)), "VACANT");
}

TEST(DisplayFormat, LabelsAndTimes) {
  EXPECT_EQ(ZeroPadded(0, 3), "000");
  EXPECT_EQ(ZeroPadded(37, 3), "037");
  EXPECT_EQ(ZeroPadded(510, 3), "510");
  EXPECT_EQ(ZeroPadded(1000, 3), "1000");
  EXPECT_EQ(ZeroPadded(5, 2), "05");
  EXPECT_EQ(TimeText(1, 2, 5), "1:2:5");
  EXPECT_EQ(TimeText(0, 0, 0), "0:0:0");
  EXPECT_EQ(TimeText(120, 59), "120:59");
}

}  // namespace
}  // namespace talvo::app
