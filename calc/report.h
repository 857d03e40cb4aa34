#pragma once

#include <array>
#include <string>

class CCalculatorValues;
class IMessageService;
class IViewerLauncher;

inline constexpr char kReportFileName[] = "PlaxometReport.txt";

// The report's eight pieces of text, with "\n" line breaks.
std::array<std::string, 8> ReportPieces(const CCalculatorValues &values);

// The report file's bytes: the pieces with CR LF line ends.
std::string ReportFileText(const CCalculatorValues &values);

// Replaces the report whole and starts the viewer on it. A report that
// cannot be created or put in place (another program holds the last one)
// is reported and nothing else happens; a failed write raises
// CFileException (disk full, naming the report's full path). Either way the
// last report stays as it was. A viewer that could not open the report
// is said with the report's full path.
void WriteReport(const CCalculatorValues &values, IMessageService &messages, IViewerLauncher &launcher);
