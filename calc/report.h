#pragma once

#include <array>
#include <functional>
#include <string>

class CCalculatorValues;
class IMessageService;

inline constexpr char kReportFileName[] = "PlaxometReport.txt";

// The desktop's text viewer, which each toolkit's services know: it opens a
// file of the working folder and never waits for the viewer. When no program
// could open the file it calls `failed` with what went wrong, in the
// program's 8-bit text: at once, or later from the event loop.
class IViewerLauncher {
public:
    using Failed = std::function<void(const std::string &what)>;
    virtual ~IViewerLauncher() = default;
    virtual void Open(const std::string &fileName, Failed failed) = 0;
};

// The report's eight pieces of text, with "\n" line breaks.
std::array<std::string, 8> ReportPieces(const CCalculatorValues &values);

// The report file's bytes: the pieces with CR LF line ends.
std::string ReportFileText(const CCalculatorValues &values);

// Rewrites the report and starts the viewer on it. A report that cannot be
// created is reported and nothing else happens; a failed write raises
// CFileException (disk full, naming the report's full path). A viewer that
// could not open the report is said with the report's full path.
void WriteReport(const CCalculatorValues &values, IMessageService &messages, IViewerLauncher &launcher);
