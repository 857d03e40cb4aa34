#include "base/fileerror.h"
#include "calc/calculator.h"
#include "calc/report.h"
#include "tests/support/fakes.h"

#include <cerrno>
#include <gtest/gtest.h>

namespace {

namespace fs = std::filesystem;

const std::string kIntroduction = "PLAXOMET REPORT\r\n\r\n"
                                  "This report displays the sizes and values you need to set \r\n"
                                  "in your Orvel files in order to achieve the required dimensions \r\n"
                                  "and sizes entered on the Plaxomet main screen.\r\n\r\n";
const std::string kClosing =
    "TEXT SIZES\r\n\r\n"
    "No change to text sizes is necessary as the change in stave size is matched by the change in "
    "print size!\r\n\r\n";

class ReportTest : public testing::Test {
protected:
    TemporaryWorkingDirectory dir;
    RecordingMessageService messages;
    RecordingLauncher launcher;
};

TEST_F(ReportTest, CentimetresWorkedExampleByteForByte)
{
    WriteReport(Calculated(1, 15.0f, 0.72f, 25.0f), messages, launcher);
    EXPECT_EQ(ReadBytes("PlaxometReport.txt"),
              kIntroduction +
                  "Print size:      \t0.7895\r\n\r\n"
                  "Stave size:      \t0.9120 cms\t(Stave size required: 0.7200 cms)\r\n\r\n"
                  "Stave width:     \t19.0000 cms\t(equivalent to default 200 horizontal Orvel "
                  "units)\t(Stave width required: 15.0000 cms)\r\n\r\n"
                  "Page height (HS):\t31.6667 cms\t(Page height required: 25.0000 cms)\r\n\r\n" +
                  kClosing);
    EXPECT_TRUE(messages.messages.empty());
    ASSERT_EQ(launcher.launches.size(), 1u);
#ifdef _WIN32
    EXPECT_EQ(launcher.launches[0].program, "NOTEPAD.EXE");
#else
    EXPECT_EQ(launcher.launches[0].program, "xdg-open");
#endif
    EXPECT_EQ(launcher.launches[0].arguments, std::vector<std::string>{"PlaxometReport.txt"});
}

TEST_F(ReportTest, InchesWorkedExample)
{
    WriteReport(Calculated(0, 7.0f, 0.3f, 11.0f), messages, launcher);
    EXPECT_EQ(ReadBytes("PlaxometReport.txt"),
              kIntroduction +
                  "Print size:      \t0.9333\r\n\r\n"
                  "Stave size:      \t0.3214 ins\t(Stave size required: 0.3000 ins)\r\n\r\n"
                  "Stave width:     \t7.5000 ins\t(equivalent to default 200 horizontal Orvel "
                  "units)\t(Stave width required: 7.0000 ins)\r\n\r\n"
                  "Page height (HS):\t11.7857 ins\t(Page height required: 11.0000 ins)\r\n\r\n" +
                  kClosing);
}

TEST_F(ReportTest, InfiniteAndUndefinedValuesAreSpelledOut)
{
    const auto pieces = ReportPieces(Calculated(1, 0.0f, 0.0f, 25.0f));
    EXPECT_EQ(pieces[2], "Print size:      \t0.0000\n\n");
    EXPECT_EQ(pieces[3], "Stave size:      \tnan cms\t(Stave size required: 0.0000 cms)\n\n");
    EXPECT_EQ(pieces[5], "Page height (HS):\tinf cms\t(Page height required: 25.0000 cms)\n\n");
}

TEST_F(ReportTest, AReportThatCannotBeCreatedIsReportedAndNothingElseHappens)
{
    fs::create_directory("PlaxometReport.txt");
    WriteReport(Calculated(1, 19.0f, 0.72f, 25.0f), messages, launcher);
    ASSERT_EQ(messages.messages.size(), 1u);
    EXPECT_EQ(messages.messages[0].text, "File could not be opened!");
    EXPECT_EQ(messages.messages[0].buttons, MsgButtons::OK);
    EXPECT_EQ(messages.messages[0].icon, MsgIcon::Exclamation);
    EXPECT_TRUE(launcher.launches.empty());
}

TEST_F(ReportTest, AFailedWriteOrCloseIsDiskFullWithTheFullPath)
{
    const auto v = Calculated(1, 19.0f, 0.72f, 25.0f);
    for (const std::size_t limit : {0u, 100u, 400u, 100000u}) {
        FaultyFiles files;
        files.writeLimit = limit;
        files.error = kHardIoError;
        if (limit == 100000u)
            files.failAt = 3; // create, write, close
        fileio::ScopedFileSystem scope(files);
        try {
            WriteReport(v, messages, launcher);
            ADD_FAILURE() << limit;
        } catch (const CFileException &error) {
            EXPECT_EQ(error.m_cause, CFileException::diskFull) << limit;
            EXPECT_EQ(error.GetErrorMessage(),
                      "Disk full while accessing " + (dir.Path() / "PlaxometReport.txt").string() + ".");
        }
    }
    EXPECT_TRUE(launcher.launches.empty());
    EXPECT_TRUE(messages.messages.empty());
}

} // namespace
