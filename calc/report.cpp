#include "calc/report.h"

#include "base/desktop.h"
#include "base/fileerror.h"
#include "base/fileio.h"
#include "base/numtext.h"
#include "calc/calculator.h"
#include "res/strings.h"

#include <optional>

namespace {

std::string Number(float value)
{
    return numtext::FormatFixed(value, 4);
}

// The report is text in the Windows sense on every platform.
std::string WithCrLf(const std::string &text)
{
    std::string out;
    out.reserve(text.size() + 16);
    for (const char c : text) {
        if (c == '\n')
            out += '\r';
        out += c;
    }
    return out;
}

} // namespace

std::array<std::string, 8> ReportPieces(const CCalculatorValues &v)
{
    const std::string unit = v.m_nUnits == unitsInches ? "ins" : "cms";
    return {
        "PLAXOMET REPORT\n\n",
        "This report displays the sizes and values you need to set \n"
        "in your Orvel files in order to achieve the required dimensions \n"
        "and sizes entered on the Plaxomet main screen.\n\n",
        "Print size:      \t" + Number(v.m_fPrintSize) + "\n\n",
        "Stave size:      \t" + Number(v.m_fStaveSize) + " " + unit +
            "\t(Stave size required: " + Number(v.m_fStaveSizeRequired) + " " + unit + ")\n\n",
        "Stave width:     \t" + Number(v.m_fDefaultStaveWidth) + " " + unit +
            "\t(equivalent to default 200 horizontal Orvel units)\t(Stave width required: " +
            Number(v.m_fStaveWidth) + " " + unit + ")\n\n",
        "Page height (HS):\t" + Number(v.m_fPageHeight) + " " + unit +
            "\t(Page height required: " + Number(v.m_fPageHeightRequired) + " " + unit + ")\n\n",
        "TEXT SIZES\n\n",
        "No change to text sizes is necessary as the change in stave size is matched by the change "
        "in print size!\n\n",
    };
}

std::string ReportFileText(const CCalculatorValues &values)
{
    std::string text;
    for (const auto &piece : ReportPieces(values))
        text += WithCrLf(piece);
    return text;
}

void WriteReport(const CCalculatorValues &values, IMessageService &messages, IViewerLauncher &launcher)
{
    // Written whole or not at all, as the values are: a full disk leaves the
    // last report as it was.
    std::optional<fileio::FileReplacement> file;
    try {
        file.emplace(kReportFileName, kReportFileName);
    } catch (const CFileException &) {
        messages.ShowMessage(std::string(res::LoadString(res::IDS_REPORT_NOT_OPENED)), MsgButtons::OK);
        return;
    }
    try {
        file->Write(fileio::AsBytes(ReportFileText(values)));
    } catch (const CFileException &error) {
        throw CFileException(CFileException::diskFull, error.m_lOsError, fileio::FullPath(kReportFileName));
    }
    // Another program holding the last report (an editor that locks it) leaves it in place.
    try {
        file->PutInPlace();
    } catch (const CFileException &) {
        messages.ShowMessage(std::string(res::LoadString(res::IDS_REPORT_NOT_OPENED)), MsgButtons::OK);
        return;
    }
    // The service outlives every dialog, so a failure said later still has somewhere to go.
    launcher.Open(
        kReportFileName, [&messages, path = fileio::FullPath(kReportFileName)](const std::string &what) {
            messages.ShowMessage(res::FormatString(res::IDS_REPORT_NOT_SHOWN, path, what), MsgButtons::OK);
        });
}
