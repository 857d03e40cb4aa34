#include "base/fileerror.h"
#include "calc/calculator.h"
#include "calc/report.h"
#include "tests/support/fakes.h"

#include <gtest/gtest.h>
#include <optional>
#include <regex>
#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

namespace fs = std::filesystem;

// The values after a calculation on these typed measurements; the default
// stave width before it is the defaults' (centimetres').
CCalculatorValues Calculated(std::int32_t units, float width, float size, float height,
                             float printSize = 1.0f)
{
    CCalculatorValues v{.m_nUnits = units,
                        .m_fPageHeight = height,
                        .m_fStaveSize = size,
                        .m_fStaveWidth = width,
                        .m_fPrintSize = printSize,
                        .m_fDefaultStaveWidth = kDefaultStaveWidthCentimetres};
    v.Calculate();
    return v;
}

// The calculation as the user reads it: the figures of the report's four
// lines for what was typed.
TEST(Report, ShowsTheCalculatedFigures)
{
    const struct {
        const char *name;
        std::int32_t units;
        float width, size, height;
        std::string printSize, staveSize, staveWidth, pageHeight;
    } rows[] = {
        {"inches", 0, 7, 0.3f, 11, "0.9333", "0.3214 ins", "7.5000 ins", "11.7857 ins"},
        // Dividing by the unrounded print size would give 1.0688 and 29.5688.
        {"divided by the print size as stored", 1, 16, 0.9f, 24.9f, "0.8421", "1.0687 cms", "19.0000 cms",
         "29.5687 cms"},
        {"zero width", 1, 0, 0.72f, 25, "0.0000", "inf cms", "19.0000 cms", "inf cms"},
        {"zero width and size", 1, 0, 0, -25, "0.0000", "nan cms", "19.0000 cms", "-inf cms"},
        {"negative width", 0, -7.5f, 0.5f, 10, "-1.0000", "-0.5000 ins", "7.5000 ins", "-10.0000 ins"},
        // A stored unit without a button: nothing is calculated, the default width is centimetres'.
        {"no unit", 7, 10, 0.5f, 30, "0.2500", "0.5000 cms", "19.0000 cms", "30.0000 cms"},
    };
    for (const auto &r : rows) {
        const auto pieces = ReportPieces(Calculated(r.units, r.width, r.size, r.height, 0.25f));
        EXPECT_EQ(pieces[2], "Print size:      \t" + r.printSize + "\n\n") << r.name;
        EXPECT_TRUE(pieces[3].starts_with("Stave size:      \t" + r.staveSize + "\t")) << r.name << pieces[3];
        EXPECT_TRUE(pieces[4].starts_with("Stave width:     \t" + r.staveWidth + "\t"))
            << r.name << pieces[4];
        EXPECT_TRUE(pieces[5].starts_with("Page height (HS):\t" + r.pageHeight + "\t"))
            << r.name << pieces[5];
    }
}

constexpr char kReport[] = "PlaxometReport.txt";

#ifndef _WIN32
int g_reader = -1; // the FIFO row's reader
#endif

// A longer report of an earlier run is replaced whole and the viewer opens
// it; a viewer that could not is said, with where the report is. A write or
// a flush that fails is a full disk, named by the full path; a report that is
// no plain file, or that another program holds, cannot be opened. Either way
// the last report stays as it was, nothing is left beside it, nothing opens.
TEST(ReportFile, IsReplacedWholeAndOpenedOrTheLastOneStays)
{
    ASSERT_FALSE(kReportFor15By05By30.empty()) << PLAXOMET_TEST_DATA " is not where the build says";
    using Make = void (*)(const char *file); // in place of the last report
    const struct {
        const char *name;
        std::size_t writeLimit;
        std::optional<FaultyFiles::Call> failing;
        Make make;
        const char *said;
    } rows[] = {
        {"written", SIZE_MAX, {}, nullptr, "The report was written to %F, but no program showed it: none."},
        {"full at once", 0, {}, nullptr, "Disk full while accessing %F."},
        {"full part way", 400, {}, nullptr, "Disk full while accessing %F."},
        {"flush fails", SIZE_MAX, FaultyFiles::Call::Flush, nullptr, "Disk full while accessing %F."},
        {"the rename fails", SIZE_MAX, FaultyFiles::Call::Replace, nullptr, "File could not be opened!"},
#ifndef _WIN32
        // Another program reads the FIFO, so that a write end would open at once.
        {"a FIFO read",
         SIZE_MAX,
         {},
         [](const char *f) { ::mkfifo(f, 0600), g_reader = ::open(f, O_RDONLY | O_NONBLOCK); },
         "File could not be opened!"},
        {"a link to a device", SIZE_MAX, {}, LinkToADevice, "File could not be opened!"},
#endif
    };
    const std::string last(2000, 'x');
    for (const auto &row : rows) {
        TemporaryWorkingDirectory dir;
        WriteBytes(kReport, last);
        if (row.make)
            fs::remove(kReport), row.make(kReport);
        const auto kind = fs::symlink_status(kReport).type();
        RecordingMessageService messages;
        RecordingLauncher launcher;
        launcher.failure = "none.";
        FaultyFiles files(0, kDiskFullError);
        files.writeLimit = row.writeLimit;
        files.failing = row.failing;
        std::string said;
        try {
            fileio::ScopedFileSystem scope(files);
            WriteReport(Calculated(1, 15, 0.5f, 30), messages, launcher);
            said = messages.messages.at(0).text;
        } catch (const CFileException &error) {
            said = error.GetErrorMessage();
        }
        const bool written = row.name == std::string("written");
        EXPECT_EQ(said, std::regex_replace(row.said, std::regex("%F"), fileio::FullPath(kReport)))
            << row.name;
        auto entries = FolderEntries(dir.Path());
        std::erase(entries, ".device");
        EXPECT_EQ(entries, std::vector<std::string>{kReport}) << row.name;
        EXPECT_EQ(fs::symlink_status(kReport).type(), kind) << row.name;
        EXPECT_EQ(ReadBytes(kReport), written                          ? kReportFor15By05By30
                                      : kind == fs::file_type::regular ? last
                                                                       : "")
            << row.name;
        EXPECT_EQ(launcher.opened, std::vector<std::string>(written ? 1 : 0, kReport)) << row.name;
    }
#ifndef _WIN32
    ::close(g_reader);
#endif
}

} // namespace
