#pragma once

// calc/: the print-size calculator: its values and calculation, the
// settings file and the report.

#include <cstdint>

class CArchive;

// Unit systems as the radio group numbers them.
enum Units : std::int32_t { unitsNone = -1, unitsInches = 0, unitsCentimetres = 1 };

// The calculator's values, in the order the settings file stores a subset of them.
class CCalculatorValues {
public:
    std::int32_t m_nUnits = unitsNone;
    float m_fPageHeight = 0.0f;
    float m_fStaveSize = 0.0f;
    float m_fStaveWidth = 0.0f;
    float m_fPageHeightRequired = 0.0f;
    float m_fStaveSizeRequired = 0.0f;
    float m_fPrintSize = 0.0f;
    float m_fDefaultStaveWidth = 0.0f;

    // The values a new main dialog starts from before the settings are read.
    void SetDefaults();

    // Derives the print size and the stave size and page height to enter in
    // the Orvel files from the required measurements. Without a unit it
    // changes nothing.
    void Calculate();

    // The settings file's five fields, in either direction.
    void Serialize(CArchive &ar);
};

// Width of the full 200-unit Orvel stave at print size 1.
inline constexpr float kDefaultStaveWidthInches = 7.5f;
inline constexpr float kDefaultStaveWidthCentimetres = 19.0f;
