#include "base/fileerror.h"
#include "calc/calculator.h"
#include "calc/report.h"
#include "tests/support/fakes.h"

#include <gtest/gtest.h>

namespace {

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

// A longer report of an earlier run is replaced whole, not overwritten, and
// the viewer opens it; a viewer that could not open it is said, with where
// the report is. A write or a close that fails is a full disk, named by the
// full path, and nothing is opened.
TEST(ReportFile, IsWrittenByteForByteOrSaysTheDiskIsFull)
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
    const std::string where = (dir.Path() / "PlaxometReport.txt").string();
    EXPECT_EQ(messages.messages, std::vector<Shown>{{"The report was written to " + where +
                                                     ", but no program showed it: none."}});
    messages.messages.clear();
    launcher.opened.clear();
    for (const std::size_t limit : {0u, 400u, 100000u}) {
        FaultyFiles files;
        files.writeLimit = limit;
        files.error = kHardIoError;
        if (limit == 100000u)
            files.failAt = 3; // create, write, close
        fileio::ScopedFileSystem scope(files);
        try {
            WriteReport(Calculated(1, 19, 0.72f, 25), messages, launcher);
            ADD_FAILURE() << limit;
        } catch (const CFileException &error) {
            EXPECT_EQ(error.GetErrorMessage(), "Disk full while accessing " + where + ".");
        }
    }
    EXPECT_TRUE(launcher.opened.empty());
    EXPECT_TRUE(messages.messages.empty());
}

} // namespace
