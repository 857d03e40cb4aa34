#include "archive/archive.h"
#include "base/numtext.h"
#include "calc/calculator.h"
#include "tests/support/fakes.h"

#include <bit>
#include <cstdint>
#include <gtest/gtest.h>

namespace {

std::string Four(float value)
{
    return numtext::FormatFixed(value, 4);
}

struct CalculationCase {
    const char *name;
    std::int32_t units;
    float width, size, height;
    const char *printSize, *staveSize, *pageHeight, *sizeRequired, *heightRequired, *defaultWidth;
};

void PrintTo(const CalculationCase &c, std::ostream *out)
{
    *out << c.name;
}

class CalculationTest : public testing::TestWithParam<CalculationCase> {};

TEST_P(CalculationTest, Derives)
{
    const auto &c = GetParam();
    CCalculatorValues v;
    v.SetDefaults();
    v.m_nUnits = c.units;
    v.m_fStaveWidth = c.width;
    v.m_fStaveSize = c.size;
    v.m_fPageHeight = c.height;
    v.Calculate();
    EXPECT_EQ(Four(v.m_fPrintSize), c.printSize);
    EXPECT_EQ(Four(v.m_fStaveSize), c.staveSize);
    EXPECT_EQ(Four(v.m_fPageHeight), c.pageHeight);
    EXPECT_EQ(Four(v.m_fStaveSizeRequired), c.sizeRequired);
    EXPECT_EQ(Four(v.m_fPageHeightRequired), c.heightRequired);
    EXPECT_EQ(Four(v.m_fDefaultStaveWidth), c.defaultWidth);
    EXPECT_EQ(v.m_fStaveWidth, c.width) << "the typed width is never changed";
}

INSTANTIATE_TEST_SUITE_P(
    WorkedExamples, CalculationTest,
    testing::Values(CalculationCase{"CentimetresFullSize", 1, 19.0f, 0.72f, 25.0f, "1.0000", "0.7200",
                                    "25.0000", "0.7200", "25.0000", "19.0000"},
                    CalculationCase{"CentimetresNarrower", 1, 15.0f, 0.72f, 25.0f, "0.7895", "0.9120",
                                    "31.6667", "0.7200", "25.0000", "19.0000"},
                    CalculationCase{"Inches", 0, 7.0f, 0.3f, 11.0f, "0.9333", "0.3214", "11.7857", "0.3000",
                                    "11.0000", "7.5000"},
                    CalculationCase{"ZeroWidth", 1, 0.0f, 0.72f, 25.0f, "0.0000", "inf", "inf", "0.7200",
                                    "25.0000", "19.0000"},
                    CalculationCase{"ZeroWidthZeroSize", 1, 0.0f, 0.0f, -25.0f, "0.0000", "nan", "-inf",
                                    "0.0000", "-25.0000", "19.0000"},
                    CalculationCase{"NegativeWidth", 0, -7.5f, 0.5f, 10.0f, "-1.0000", "-0.5000", "-10.0000",
                                    "0.5000", "10.0000", "7.5000"}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(Calculation, EveryStepIsRoundedToSinglePrecision)
{
    CCalculatorValues v;
    v.m_nUnits = unitsCentimetres;
    v.m_fStaveWidth = 15.0f;
    v.m_fStaveSize = 0.72f;
    v.m_fPageHeight = 25.0f;
    v.Calculate();
    volatile float width = 15.0f, full = 19.0f, size = 0.72f, height = 25.0f;
    const float p = width / full;
    EXPECT_EQ(std::bit_cast<std::uint32_t>(v.m_fPrintSize), std::bit_cast<std::uint32_t>(p));
    EXPECT_EQ(std::bit_cast<std::uint32_t>(v.m_fStaveSize),
              std::bit_cast<std::uint32_t>(static_cast<float>(size / p)));
    EXPECT_EQ(std::bit_cast<std::uint32_t>(v.m_fPageHeight),
              std::bit_cast<std::uint32_t>(static_cast<float>(height / p)));
}

TEST(Calculation, NoUnitChangesNothing)
{
    for (const std::int32_t units : {-1, 2, 7}) {
        CCalculatorValues v;
        v.SetDefaults();
        v.m_nUnits = units;
        v.m_fPrintSize = 0.5f;
        const auto before = v;
        v.Calculate();
        EXPECT_EQ(ValueBits(before), ValueBits(v)) << "unit " << units;
    }
}

} // namespace
