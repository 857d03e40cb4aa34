// Writes the report and the settings file the program writes when, on its
// first start in an empty folder, it is given a stave width, stave size and
// page height in centimetres, calculates once and exits: the bytes the
// Windows build must match.
#include "calc/calculator.h"
#include "calc/report.h"
#include "calc/settings.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>

int main(int argc, char *argv[])
{
    if (argc != 4) {
        std::fputs("usage: reference_files WIDTH SIZE HEIGHT (writes into the current folder)\n", stderr);
        return 2;
    }
    CCalculatorValues typed;
    typed.SetDefaults();
    typed.m_fStaveWidth = std::strtof(argv[1], nullptr);
    typed.m_fStaveSize = std::strtof(argv[2], nullptr);
    typed.m_fPageHeight = std::strtof(argv[3], nullptr);
    CCalculatorValues calculated = typed;
    calculated.Calculate();
    std::ofstream(kReportFileName, std::ios::binary) << ReportFileText(calculated);
    // Exit reads the fields back: the typed values, with the print size of the calculation.
    typed.m_fPrintSize = calculated.m_fPrintSize;
    SaveSettings(typed);
    return 0;
}
