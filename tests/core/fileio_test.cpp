#include "calc/fileerror.h"
#include "calc/fileio.h"
#include "tests/support/fakes.h"

#include <cerrno>
#include <gtest/gtest.h>

namespace {

namespace fs = std::filesystem;

const std::string kOld = "old content";
const std::string kNew = "the new content, longer than the old";

class ReplaceFileTest : public testing::Test {
protected:
    void Replace(const std::string &text = kNew)
    {
        fileio::ReplaceFile("DATA.", "DATA", fileio::AsBytes(text));
    }

    CFileException ReplaceExpectingError()
    {
        try {
            Replace();
        } catch (const CFileException &error) {
            return error;
        }
        ADD_FAILURE() << "no error";
        return CFileException(0, 0, "");
    }

    TemporaryWorkingDirectory dir;
};

TEST_F(ReplaceFileTest, CreatesAndReplaces)
{
    Replace(kOld);
    EXPECT_EQ(ReadBytes("DATA"), kOld);
    Replace(kNew);
    EXPECT_EQ(ReadBytes("DATA"), kNew);
    Replace("");
    EXPECT_EQ(ReadBytes("DATA"), "");
    EXPECT_EQ(FolderEntries(dir.Path()), std::vector<std::string>{"DATA"});
}

TEST_F(ReplaceFileTest, AWriteFailingPartWayLeavesTheOldFile)
{
    WriteBytes("DATA", kOld);
    for (const std::size_t limit : {0u, 1u, 10u, 35u}) {
        FailingWriteChannel channel(limit, ENOSPC);
        fileio::ScopedWriteChannel scope(channel);
        const auto error = ReplaceExpectingError();
        EXPECT_EQ(error.m_cause, CFileException::diskFull) << limit;
        EXPECT_EQ(error.m_strFileName, (dir.Path() / "DATA").string()) << "a write names the full path";
        EXPECT_EQ(ReadBytes("DATA"), kOld) << limit;
        EXPECT_EQ(FolderEntries(dir.Path()), std::vector<std::string>{"DATA"}) << "no temporary file left";
    }
}

TEST_F(ReplaceFileTest, WriteErrorsKeepTheirCause)
{
    WriteBytes("DATA", kOld);
    FailingWriteChannel channel(3, EIO);
    fileio::ScopedWriteChannel scope(channel);
    EXPECT_EQ(ReplaceExpectingError().m_cause, CFileException::hardIO);
    EXPECT_EQ(ReadBytes("DATA"), kOld);
}

TEST_F(ReplaceFileTest, SyncOrCloseFailureLeavesTheOldFile)
{
    WriteBytes("DATA", kOld);
    for (const bool sync : {true, false}) {
        FailingWriteChannel channel(1000, 0);
        (sync ? channel.failSync : channel.failClose) = true;
        fileio::ScopedWriteChannel scope(channel);
        const auto error = ReplaceExpectingError();
        EXPECT_EQ(error.m_cause, CFileException::hardIO);
        EXPECT_EQ(error.m_strFileName, (dir.Path() / "DATA").string());
        EXPECT_EQ(ReadBytes("DATA"), kOld);
        EXPECT_EQ(FolderEntries(dir.Path()), std::vector<std::string>{"DATA"});
    }
}

TEST_F(ReplaceFileTest, AFolderInTheWayIsAccessDeniedNamedAsPassed)
{
    fs::create_directory("DATA");
    const auto error = ReplaceExpectingError();
    EXPECT_EQ(error.m_cause, CFileException::accessDenied);
    EXPECT_STREQ(error.what(), "Access to DATA. was denied.");
    EXPECT_EQ(FolderEntries(dir.Path()), std::vector<std::string>{"DATA"});
}

TEST_F(ReplaceFileTest, AMissingFolderIsReportedAsPassed)
{
    try {
        fileio::ReplaceFile("SUB/DATA.", "SUB/DATA", fileio::AsBytes(kNew));
        ADD_FAILURE();
    } catch (const CFileException &error) {
        EXPECT_EQ(error.m_cause, CFileException::fileNotFound);
        EXPECT_EQ(error.m_strFileName, "SUB/DATA.");
    }
    WriteBytes("FILE", "x");
    try {
        fileio::ReplaceFile("FILE/DATA.", "FILE/DATA", fileio::AsBytes(kNew));
        ADD_FAILURE();
    } catch (const CFileException &error) {
        EXPECT_EQ(error.m_cause, CFileException::badPath);
    }
}

TEST_F(ReplaceFileTest, ALinkIsReplacedAtItsTarget)
{
    fs::create_directory("real");
    WriteBytes("real/target", kOld);
    fs::create_symlink("real/target", "DATA");
    Replace();
    EXPECT_TRUE(fs::is_symlink("DATA"));
    EXPECT_EQ(ReadBytes("real/target"), kNew);
    EXPECT_EQ(FolderEntries(dir.Path() / "real"), std::vector<std::string>{"target"});
}

TEST_F(ReplaceFileTest, KeepsTheFilesPermissions)
{
    WriteBytes("DATA", kOld);
    fs::permissions("DATA", fs::perms::owner_read | fs::perms::owner_write);
    Replace();
    EXPECT_EQ(fs::status("DATA").permissions(), fs::perms::owner_read | fs::perms::owner_write);
}

TEST(ReadFile, ErrorsNameTheFileAsPassed)
{
    TemporaryWorkingDirectory dir;
    try {
        fileio::ReadFile("DATA.", "DATA");
        ADD_FAILURE();
    } catch (const CFileException &error) {
        EXPECT_EQ(error.m_cause, CFileException::fileNotFound);
        EXPECT_STREQ(error.what(), "DATA. was not found.");
    }
    WriteBytes("FILE", "x");
    try {
        fileio::ReadFile("FILE/DATA.", "FILE/DATA");
        ADD_FAILURE();
    } catch (const CFileException &error) {
        EXPECT_EQ(error.m_cause, CFileException::badPath);
    }
    fs::create_directory("DIR");
    try {
        fileio::ReadFile("DIR.", "DIR");
        ADD_FAILURE();
    } catch (const CFileException &error) {
        EXPECT_EQ(error.m_cause, CFileException::accessDenied);
        EXPECT_EQ(error.m_strFileName, (dir.Path() / "DIR").string()) << "a read names the full path";
    }
}

TEST(ReadFile, ReadsEveryByte)
{
    TemporaryWorkingDirectory dir;
    std::string bytes(10000, '\0');
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<char>(i * 7);
    WriteBytes("DATA", bytes);
    const auto read = fileio::ReadFile("DATA.", "DATA");
    EXPECT_EQ(std::string(read.begin(), read.end()), bytes);
}

} // namespace
