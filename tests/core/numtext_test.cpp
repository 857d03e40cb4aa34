#include "base/numtext.h"

#include <clocale>
#include <cmath>
#include <gtest/gtest.h>
#include <limits>

namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();

// As the Windows runtime shows a float: six significant digits, exponents of three digits.
TEST(NumberText, FieldsShowSixSignificantDigitsWithThreeDigitExponents)
{
    const std::pair<double, const char *> cases[] = {{0.72f, "0.72"},       {25.0, "25"},
                                                     {0.0001, "0.0001"},    {1234567.0, "1.23457e+006"},
                                                     {1e-5, "1e-005"},      {0.0, "0"},
                                                     {-2.5, "-2.5"},        {999999.0, "999999"},
                                                     {1e100, "1e+100"},     {1e-300, "1e-300"},
                                                     {0.3f, "0.3"},         {kInf, "inf"},
                                                     {-kInf, "-inf"},       {std::nan(""), "nan"},
                                                     {-std::nan(""), "nan"}};
    for (const auto &[value, text] : cases)
        EXPECT_EQ(numtext::FormatGeneral6(value), text) << value;
    EXPECT_EQ(numtext::FormatFixed(12.345f, 2), "12.35");
    EXPECT_EQ(numtext::FormatFixed(-0.00001, 4), "-0.0000");
    EXPECT_EQ(numtext::FormatFixed(1e20, 2), "100000000000000000000.00");
    EXPECT_EQ(numtext::FormatFixed(-kInf, 4), "-inf");
}

// The longest number the text starts with, as the runtime's scanner reads it;
// nothing where it starts with none.
TEST(NumberText, ScanReadsTheLongestLeadingNumber)
{
    // A comma between digits is a decimal point, as much of Europe writes it.
    const std::pair<const char *, double> cases[] = {
        {"12", 12.0},       {"  3.5", 3.5},  {"3.5abc", 3.5},         {"12 cm", 12.0}, {"-4", -4.0},
        {".5", 0.5},        {"1e3", 1000.0}, {"1E-2x", 0.01},         {"2e", 2.0},     {"1e999", kInf},
        {"1e-999", 0.0},    {"1.2.3", 1.2},  {"123456789e305", kInf}, {"inf", kInf},   {"-inf", -kInf},
        {"infinity", kInf}, {"+7", 7.0},     {"-.5e1", -5.0},         {"19,5", 19.5},  {"-0,25 cm", -0.25},
        {"1,234,5", 1.234}, {"2,", 2.0},     {"2,e1", 2.0},           {"1.5,3", 1.5},  {"1,5e2", 150.0}};
    for (const auto &[text, value] : cases)
        EXPECT_EQ(numtext::ScanDouble(text).value_or(-99.0), value) << text;
    for (const char *text :
         {"", "   ", "abc", ".", "-", "+.", "in", "na", "e5", ",5", "0x1A", "-0X1", "0x", "\u00a05"})
        EXPECT_FALSE(numtext::ScanDouble(text).has_value()) << text;
    EXPECT_TRUE(std::isnan(numtext::ScanDouble("-nan").value_or(0.0)));
    EXPECT_EQ(numtext::LeadingNumber("\tabc"), 0.0);
}

TEST(NumberText, DoesNotFollowTheUserLocale)
{
    const char *previous = std::setlocale(LC_ALL, nullptr);
    const std::string saved = previous ? previous : "C";
    // A decimal comma: glibc's name for German, or the Windows runtime's.
    if (!std::setlocale(LC_ALL, "de_DE.UTF-8") && !std::setlocale(LC_ALL, "German_Germany.1252"))
        GTEST_SKIP() << "no German locale is installed (the set-up generates de_DE.UTF-8 on Debian)";
    EXPECT_EQ(numtext::FormatGeneral6(2.5), "2.5");
    EXPECT_EQ(numtext::FormatFixed(2.5, 2), "2.50");
    EXPECT_EQ(numtext::ScanDouble("2.5"), 2.5);
    EXPECT_EQ(numtext::ScanDouble("2,5"), 2.5);
    std::setlocale(LC_ALL, saved.c_str());
}

} // namespace
