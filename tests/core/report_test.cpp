#include "base/fileerror.h"
#include "calc/calculator.h"
#include "calc/report.h"
#include "tests/support/fakes.h"

#include <algorithm>
#include <functional>
#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace {

namespace fs = std::filesystem;

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

// The bytes of the report, in a file of their own, which the Windows
// program's run as a user must write too; read before any test changes folder.
const std::string kExpectedReport = ReadBytes(PLAXOMET_TEST_DATA "/blackbox/PlaxometReport.txt");

// A longer report of an earlier run is replaced whole, and the viewer opens
// it; a viewer that could not open it is said, with where the report is.
TEST(ReportFile, IsWrittenByteForByteAndOpened)
{
    ASSERT_FALSE(kExpectedReport.empty()) << PLAXOMET_TEST_DATA " is not where the build says";
    TemporaryWorkingDirectory dir;
    RecordingMessageService messages;
    RecordingLauncher launcher;
    WriteBytes("PlaxometReport.txt", std::string(2000, 'x'));
    launcher.failure = "none.";
    WriteReport(Calculated(1, 15, 0.5f, 30), messages, launcher);
    EXPECT_EQ(ReadBytes("PlaxometReport.txt"), kExpectedReport);
    EXPECT_EQ(launcher.opened, std::vector<std::string>{"PlaxometReport.txt"});
    EXPECT_EQ(messages.messages,
              std::vector<Shown>{{"The report was written to " + fileio::FullPath("PlaxometReport.txt") +
                                  ", but no program showed it: none."}});
}

// The number of the first call of this kind a report's writing makes over an earlier report.
int CallNumber(FaultyFiles::Call call)
{
    TemporaryWorkingDirectory dir;
    WriteBytes("PlaxometReport.txt", "earlier");
    RecordingMessageService messages;
    RecordingLauncher launcher;
    FaultyFiles files;
    fileio::ScopedFileSystem scope(files);
    WriteReport(Calculated(1, 19, 0.72f, 25), messages, launcher);
    return static_cast<int>(std::find(files.calls.begin(), files.calls.end(), call) - files.calls.begin()) +
           1;
}

// A write or a flush that fails is a full disk, named by the full path; the
// last report stays as it was, nothing is left beside it and nothing opens.
// A report that is no plain file cannot be opened, and is not replaced.
TEST(ReportFile, AFailedWriteKeepsTheLastReport)
{
    const struct {
        const char *name;
        std::function<void(FaultyFiles &)> fault;
        std::function<void()> before;
        std::string said;
    } rows[] = {
        {"full at once", [](FaultyFiles &f) { f.writeLimit = 0; }, [] {}, "Disk full while accessing %F."},
        {"full part way", [](FaultyFiles &f) { f.writeLimit = 400; }, [] {}, "Disk full while accessing %F."},
        {"flush fails", [](FaultyFiles &f) { f.failAt = CallNumber(FaultyFiles::Call::Flush); }, [] {},
         "Disk full while accessing %F."},
        {"a folder", [](FaultyFiles &) {},
         [] { fs::remove("PlaxometReport.txt"), fs::create_directory("PlaxometReport.txt"); },
         "File could not be opened!"},
#ifndef _WIN32
        {"a FIFO", [](FaultyFiles &) {},
         [] { fs::remove("PlaxometReport.txt"), ::mkfifo("PlaxometReport.txt", 0600); },
         "File could not be opened!"},
        {"a link to a device", [](FaultyFiles &) {},
         [] { fs::remove("PlaxometReport.txt"), LinkToADevice("PlaxometReport.txt"); },
         "File could not be opened!"},
#endif
    };
    for (const auto &row : rows) {
        TemporaryWorkingDirectory dir;
        WriteBytes("PlaxometReport.txt", kExpectedReport);
        row.before();
        const auto kind = fs::symlink_status("PlaxometReport.txt").type();
        RecordingMessageService messages;
        RecordingLauncher launcher;
        FaultyFiles files;
        files.error = kHardIoError;
        row.fault(files);
        std::string said;
        try {
            fileio::ScopedFileSystem scope(files);
            WriteReport(Calculated(1, 19, 0.72f, 25), messages, launcher);
            said = messages.messages.empty() ? "" : messages.messages[0].text;
        } catch (const CFileException &error) {
            said = error.GetErrorMessage();
        }
        std::string expected = row.said;
        if (const auto at = expected.find("%F"); at != std::string::npos)
            expected.replace(at, 2, fileio::FullPath("PlaxometReport.txt"));
        EXPECT_EQ(said, expected) << row.name;
        auto entries = FolderEntries(dir.Path());
        std::erase(entries, ".device");
        EXPECT_EQ(entries, std::vector<std::string>{"PlaxometReport.txt"}) << row.name;
        EXPECT_EQ(fs::symlink_status("PlaxometReport.txt").type(), kind) << row.name;
        if (kind == fs::file_type::regular) {
            EXPECT_EQ(ReadBytes("PlaxometReport.txt"), kExpectedReport) << row.name;
        }
        EXPECT_TRUE(launcher.opened.empty()) << row.name;
    }
}

} // namespace
