#include "calc/calculator.h"

#include "archive/archive.h"

namespace {

// Each result is rounded to single precision before it is used again; dividing
// in double and rounding once gives exactly the single-precision quotient.
float Divide(float numerator, float denominator)
{
    return static_cast<float>(static_cast<double>(numerator) / static_cast<double>(denominator));
}

} // namespace

void CCalculatorValues::SetDefaults()
{
    m_fPageHeight = 25.0f;
    m_nUnits = unitsCentimetres;
    m_fStaveSize = 0.72f;
    m_fStaveWidth = 19.0f;
    m_fPrintSize = 1.0f;
    m_fDefaultStaveWidth = kDefaultStaveWidthCentimetres;
}

void CCalculatorValues::Calculate()
{
    switch (m_nUnits) {
    case unitsInches: m_fDefaultStaveWidth = kDefaultStaveWidthInches; break;
    case unitsCentimetres: m_fDefaultStaveWidth = kDefaultStaveWidthCentimetres; break;
    default: return;
    }
    const float printSize = Divide(m_fStaveWidth, m_fDefaultStaveWidth);
    m_fPrintSize = printSize;
    m_fStaveSizeRequired = m_fStaveSize;
    m_fStaveSize = Divide(m_fStaveSize, printSize);
    m_fPageHeightRequired = m_fPageHeight;
    m_fPageHeight = Divide(m_fPageHeight, printSize);
}

void CCalculatorValues::Serialize(CArchive &ar)
{
    if (ar.IsStoring())
        ar << m_nUnits << m_fPageHeight << m_fStaveSize << m_fStaveWidth << m_fPrintSize;
    else
        ar >> m_nUnits >> m_fPageHeight >> m_fStaveSize >> m_fStaveWidth >> m_fPrintSize;
}
