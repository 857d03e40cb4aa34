#include "base/fileerror.h"
#include "base/fileio.h"
#include "tests/support/fakes.h"

#include <cerrno>
#include <gtest/gtest.h>
#include <optional>
#include <sys/stat.h>

namespace {

namespace fs = std::filesystem;

const std::string kOld = "old content";
const std::string kNew = "the new content, longer than the old";

class ReplaceContentsTest : public testing::Test {
protected:
    void Replace(const std::string &text = kNew)
    {
        fileio::ReplaceFileContents("DATA.", "DATA", fileio::AsBytes(text));
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

TEST_F(ReplaceContentsTest, AWriteFailingPartWayLeavesTheOldFile)
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

TEST_F(ReplaceContentsTest, SyncOrCloseFailureLeavesTheOldFile)
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

TEST_F(ReplaceContentsTest, AFolderInTheWayIsAccessDeniedNamedAsPassed)
{
    fs::create_directory("DATA");
    const auto error = ReplaceExpectingError();
    EXPECT_EQ(error.m_cause, CFileException::accessDenied);
    EXPECT_STREQ(error.what(), "Access to DATA. was denied.");
    EXPECT_EQ(FolderEntries(dir.Path()), std::vector<std::string>{"DATA"});
}

TEST_F(ReplaceContentsTest, AMissingFolderIsReportedAsPassed)
{
    try {
        fileio::ReplaceFileContents("SUB/DATA.", "SUB/DATA", fileio::AsBytes(kNew));
        ADD_FAILURE();
    } catch (const CFileException &error) {
        // Windows says "path not found" where POSIX says "no such file".
#ifdef _WIN32
        EXPECT_EQ(error.m_cause, CFileException::badPath);
#else
        EXPECT_EQ(error.m_cause, CFileException::fileNotFound);
#endif
        EXPECT_EQ(error.m_strFileName, "SUB/DATA.");
    }
    WriteBytes("FILE", "x");
    try {
        fileio::ReplaceFileContents("FILE/DATA.", "FILE/DATA", fileio::AsBytes(kNew));
        ADD_FAILURE();
    } catch (const CFileException &error) {
        EXPECT_EQ(error.m_cause, CFileException::badPath);
    }
}

#ifndef _WIN32
TEST_F(ReplaceContentsTest, ALinkIsReplacedAtItsTarget)
{
    fs::create_directory("real");
    WriteBytes("real/target", kOld);
    fs::create_symlink("real/target", "DATA");
    Replace();
    EXPECT_TRUE(fs::is_symlink("DATA"));
    EXPECT_EQ(ReadBytes("real/target"), kNew);
    EXPECT_EQ(FolderEntries(dir.Path() / "real"), std::vector<std::string>{"target"});
}

// Records the permission bits the file being written has at each write.
class ModeRecordingChannel : public fileio::WriteChannel {
public:
    long Write(int fd, const void *data, std::size_t size) override
    {
        struct stat status {};
        ::fstat(fd, &status);
        modes.push_back(status.st_mode & 07777);
        return WriteChannel::Write(fd, data, size);
    }
    std::vector<unsigned> modes;
};

TEST_F(ReplaceContentsTest, TheTemporaryFileIsNeverWiderThanTheFileItReplaces)
{
    WriteBytes("DATA", kOld);
    fs::permissions("DATA", fs::perms::owner_read | fs::perms::owner_write);
    ModeRecordingChannel channel;
    {
        fileio::ScopedWriteChannel scope(channel);
        Replace();
    }
    ASSERT_FALSE(channel.modes.empty());
    for (const auto mode : channel.modes)
        EXPECT_EQ(mode & ~0600u, 0u) << std::oct << mode;
    EXPECT_EQ(fs::status("DATA").permissions(), fs::perms::owner_read | fs::perms::owner_write);
}
#endif

TEST_F(ReplaceContentsTest, ATemporaryLeftByACrashIsPassedOver)
{
    WriteBytes("DATA", kOld);
    fs::create_directory(".DATA.tmp0");
    WriteBytes(".DATA.tmp1", "left by a crash");
    Replace();
    EXPECT_EQ(ReadBytes("DATA"), kNew);
    EXPECT_EQ(ReadBytes(".DATA.tmp1"), "left by a crash");
    EXPECT_EQ(FolderEntries(dir.Path()), (std::vector<std::string>{".DATA.tmp0", ".DATA.tmp1", "DATA"}));
}

#ifdef _WIN32
TEST_F(ReplaceContentsTest, TheReadOnlyAttributeRefusesTheSave)
{
    WriteBytes("DATA", kOld);
    fs::permissions("DATA", fs::perms::owner_read);
    const auto error = ReplaceExpectingError();
    EXPECT_STREQ(error.what(), "Access to DATA. was denied.");
    fs::permissions("DATA", fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_EQ(ReadBytes("DATA"), kOld);
    EXPECT_EQ(FolderEntries(dir.Path()), std::vector<std::string>{"DATA"});
}
#endif

struct PermissionCase {
    const char *name;
    fs::perms folder;
    std::optional<fs::perms> file; // none: no file yet
    bool saved;                    // otherwise access denied, named as passed
};

constexpr auto kRw = fs::perms::owner_read | fs::perms::owner_write;
constexpr auto kRx = fs::perms::owner_read | fs::perms::owner_exec;
constexpr auto kRwx = fs::perms::owner_all;

TEST(ReplaceContentsPermissions, AFileTheUserMayNotWriteStaysAsItWas)
{
    PLAXOMET_RUN_UNPRIVILEGED();
    const PermissionCase cases[] = {
        {"read-only file", kRwx, fs::perms::owner_read, false},
        {"file without any access", kRwx, fs::perms::none, false},
        {"read-only folder, writable file: rewritten in place", kRx, kRw, true},
        {"read-only folder, read-only file", kRx, fs::perms::owner_read, false},
        {"read-only folder, no file", kRx, std::nullopt, false},
    };
    for (const auto &c : cases) {
        TemporaryWorkingDirectory dir;
        if (c.file) {
            WriteBytes("DATA", kOld);
            fs::permissions("DATA", *c.file);
        }
        fs::permissions(dir.Path(), c.folder);
        try {
            fileio::ReplaceFileContents("DATA.", "DATA", fileio::AsBytes(kNew));
            EXPECT_TRUE(c.saved) << c.name;
        } catch (const CFileException &error) {
            EXPECT_FALSE(c.saved) << c.name;
            EXPECT_STREQ(error.what(), "Access to DATA. was denied.") << c.name;
        }
        fs::permissions(dir.Path(), kRwx);
        if (c.file) {
            fs::permissions("DATA", kRw);
            EXPECT_EQ(ReadBytes("DATA"), c.saved ? kNew : kOld) << c.name;
            EXPECT_EQ(fs::status("DATA").permissions(), c.saved ? *c.file : kRw) << c.name;
        }
        EXPECT_EQ(FolderEntries(dir.Path()).size(), c.file ? 1u : 0u) << c.name << ": no temporary left";
    }
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
        EXPECT_STREQ(error.what(), "Access to DIR. was denied.");
    }
}

} // namespace
