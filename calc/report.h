#pragma once

#include <array>
#include <string>
#include <vector>

class CCalculatorValues;
class IMessageService;

inline constexpr char kReportFileName[] = "PlaxometReport.txt";

// A program and its arguments, started in the working directory.
struct ViewerCommand {
    std::string program;
    std::vector<std::string> arguments;
};

// Starts the viewer without waiting for it or looking at the outcome.
class IViewerLauncher {
public:
    virtual ~IViewerLauncher() = default;
    virtual void Launch(const ViewerCommand &command) = 0;
};

// The desktop's text viewer on the report: Notepad on Windows, xdg-open elsewhere.
ViewerCommand ReportViewerCommand();

// The report's eight pieces of text, with "\n" line breaks.
std::array<std::string, 8> ReportPieces(const CCalculatorValues &values);

// The report file's bytes: the pieces with CR LF line ends.
std::string ReportFileText(const CCalculatorValues &values);

// Rewrites the report and starts the viewer on it. A report that cannot be
// created is reported and nothing else happens; a failed write raises
// CFileException (disk full, naming the report's full path).
void WriteReport(const CCalculatorValues &values, IMessageService &messages, IViewerLauncher &launcher);
