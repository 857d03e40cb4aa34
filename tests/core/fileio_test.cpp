#include "base/fileerror.h"
#include "base/fileio.h"
#include "tests/support/fakes.h"

#include <algorithm>
#include <cerrno>
#include <functional>
#include <optional>
#include <sys/stat.h>

#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#endif

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

    TemporaryWorkingDirectory dir;
};

using Call = FaultyFiles::Call;
using Fault = FaultyFiles::Fault;

// Errors each call of a save plausibly meets, as the platform numbers them.
struct PlausibleError {
    Call call;
    Fault fault;
    long error;
};

#ifdef _WIN32
// Windows' own numbers; ReplaceFileW's partial failures are from its Return value section.
const PlausibleError kPlausibleErrors[] = {
    {Call::MayWrite, Fault::Fail, 5},         {Call::MayWrite, Fault::Fail, 32},
    {Call::CreateNew, Fault::Fail, 5},        {Call::CreateNew, Fault::Fail, 112},
    {Call::CreateNew, Fault::Fail, 4},        {Call::Write, Fault::Fail, 5},
    {Call::Write, Fault::Fail, 32},           {Call::Write, Fault::Fail, 33},
    {Call::Write, Fault::Fail, 112},          {Call::Flush, Fault::Fail, 5},
    {Call::Flush, Fault::Fail, 112},          {Call::Close, Fault::Fail, 6},
    {Call::Replace, Fault::Fail, 5},          {Call::Replace, Fault::Fail, 32},
    {Call::Replace, Fault::Fail, 1175},       {Call::Replace, Fault::TargetGone, 1176},
    {Call::Replace, Fault::TargetGone, 1177}, {Call::Remove, Fault::Fail, 5},
    {Call::Exists, Fault::Fail, 2},
};
#else
const PlausibleError kPlausibleErrors[] = {
    {Call::MayWrite, Fault::Fail, EACCES},
    {Call::MayWrite, Fault::Fail, EROFS},
    {Call::CreateNew, Fault::Fail, EACCES},
    {Call::CreateNew, Fault::Fail, ENOSPC},
    {Call::CreateNew, Fault::Fail, EMFILE},
    {Call::CreateNew, Fault::Fail, EDQUOT},
    {Call::Write, Fault::Fail, ENOSPC},
    {Call::Write, Fault::Fail, EIO},
    {Call::Write, Fault::Fail, EFBIG},
    {Call::Write, Fault::Fail, EINTR},
    {Call::Flush, Fault::Fail, EIO},
    {Call::Flush, Fault::Fail, ENOSPC},
    {Call::Close, Fault::Fail, EIO},
    {Call::Replace, Fault::Fail, EBUSY},
    {Call::Replace, Fault::Fail, EIO},
    {Call::Replace, Fault::Fail, EACCES},
    // What Windows' replace does half way, on this platform's calls.
    {Call::Replace, Fault::TargetGone, EIO},
    {Call::Remove, Fault::Fail, EACCES},
    {Call::Exists, Fault::Fail, ENOENT},
};
#endif

// Saves the new bytes over DATA through `files`; the error raised, if any.
std::optional<CFileException> SaveThrough(FaultyFiles &files)
{
    fileio::ScopedFileSystem scope(files);
    try {
        fileio::ReplaceFileContents("DATA.", "DATA", fileio::AsBytes(kNew));
    } catch (const CFileException &error) {
        return error;
    }
    return std::nullopt;
}

// The calls a save over an existing file makes when nothing fails.
std::vector<Call> CallsOfASave()
{
    TemporaryWorkingDirectory dir;
    WriteBytes("DATA", kOld);
    FaultyFiles files;
    SaveThrough(files);
    return files.calls;
}

// Fails each call of a save in turn with each error it plausibly meets. The
// file holds the old or the new bytes, whole; a failure names its cause and
// the file as the failing call knew it, and leaves no file of ours behind.
TEST(SaveFaults, EveryCallFailingLeavesOneWholeFileAndNoOtherFile)
{
    const auto calls = CallsOfASave();
    ASSERT_GE(calls.size(), 7u);
    int cases = 0;
    for (std::size_t at = 1; at <= calls.size(); ++at) {
        for (const auto &plausible : kPlausibleErrors) {
            if (plausible.call != calls[at - 1])
                continue;
            ++cases;
            const std::string row =
                "call " + std::to_string(at) + " error " + std::to_string(plausible.error);
            TemporaryWorkingDirectory dir;
            WriteBytes("DATA", kOld);
            FaultyFiles files;
            files.failAt = static_cast<int>(at);
            files.fault = plausible.fault;
            files.error = plausible.error;
            const auto error = SaveThrough(files);
            const auto content = ReadBytes("DATA");
            EXPECT_TRUE(content == kOld || content == kNew) << row << ": " << content;
            EXPECT_EQ(FolderEntries(dir.Path()), std::vector<std::string>{"DATA"}) << row;
            if (error) {
                EXPECT_EQ(content, kOld) << row;
                const bool namesThePath = plausible.call == Call::Write || plausible.call == Call::Flush ||
                                          plausible.call == Call::Close;
                const std::string name = namesThePath ? fileio::FullPath("DATA") : "DATA.";
                EXPECT_EQ(error->GetErrorMessage(),
                          CFileException(fileio::CauseOf(plausible.error), 0, name).GetErrorMessage())
                    << row;
            }
        }
    }
    EXPECT_GE(cases, 15);
}

// What a failing replace leaves, in the rows that tell the right handling
// from a plausible wrong one: the one file left, what it holds, the cause raised.
TEST(SaveFaults, OutcomesOfTheReplaceStates)
{
    const struct {
        const char *name;
        Fault fault;
        long error;
        bool persistent;
        const char *file;    // the only file left
        const char *content; // what it holds
        int cause;           // of the error raised, -1 for none
    } cases[] = {
        {"old file taken away, new one not moved in: the new one is moved in", Fault::TargetGone,
         kHardIoError, false, "DATA", "new", -1},
        {"nor can it be moved in: the only copy stays", Fault::TargetGone, kHardIoError, true, ".DATA.tmp0",
         "new", CFileException::hardIO},
#ifdef _WIN32
        {"a scanner's brief hold is waited out", Fault::Fail, 32, false, "DATA", "new", -1},
        {"a hold that lasts is a sharing violation", Fault::Fail, 32, true, "DATA", "old",
         CFileException::sharingViolation},
        {"the replaced file held open reads as a sharing violation", Fault::Fail, 1175, false, "DATA", "old",
         CFileException::sharingViolation},
        {"access denied that lasts", Fault::Fail, 5, true, "DATA", "old", CFileException::accessDenied},
#else
        {"a busy file is not waited for", Fault::Fail, EBUSY, false, "DATA", "old",
         CFileException::sharingViolation},
#endif
    };
    const auto calls = CallsOfASave();
    const auto replaceAt = std::find(calls.begin(), calls.end(), Call::Replace) - calls.begin() + 1;
    for (const auto &c : cases) {
        TemporaryWorkingDirectory dir;
        WriteBytes("DATA", kOld);
        FaultyFiles files;
        files.failAt = static_cast<int>(replaceAt);
        files.fault = c.fault;
        files.error = c.error;
        files.persistent = c.persistent;
        const auto error = SaveThrough(files);
        EXPECT_EQ(FolderEntries(dir.Path()), std::vector<std::string>{c.file}) << c.name;
        EXPECT_EQ(ReadBytes(c.file), std::string(c.content) == "new" ? kNew : kOld) << c.name;
        EXPECT_EQ(error ? error->m_cause : -1, c.cause) << c.name;
        if (c.persistent && fileio::IsTransient(c.error)) {
            EXPECT_EQ(std::count(files.calls.begin(), files.calls.end(), Call::Pause), 5) << c.name;
        }
    }
}

// Stops a save dead after each of its calls, as a crash or a power cut would:
// the file then holds the old or the new bytes, whole, and whatever the
// crash left never stops the next save.
TEST(SaveFaults, ACrashAtAnyPointLeavesOneWholeFileAndTheNextSaveWorks)
{
    const auto calls = CallsOfASave();
    for (int after = 0; after <= static_cast<int>(calls.size()); ++after) {
        TemporaryWorkingDirectory dir;
        WriteBytes("DATA", kOld);
        FaultyFiles files;
        files.crashAfter = after;
        {
            fileio::ScopedFileSystem scope(files);
            try {
                fileio::ReplaceFileContents("DATA.", "DATA", fileio::AsBytes(kNew));
            } catch (const SimulatedCrash &) {
            }
        }
        const auto bytes = fileio::ReadFile("DATA.", "DATA");
        const std::string content(bytes.begin(), bytes.end());
        EXPECT_TRUE(content == kOld || content == kNew) << "crash after call " << after << ": " << content;
        fileio::ReplaceFileContents("DATA.", "DATA", fileio::AsBytes(std::string("newest")));
        EXPECT_EQ(ReadBytes("DATA"), "newest") << "crash after call " << after;
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
class ModeRecordingFiles : public FaultyFiles {
public:
    long Write(FileHandle file, const void *data, std::size_t size) override
    {
        struct stat status = {};
        ::fstat(static_cast<int>(file), &status);
        modes.push_back(status.st_mode & 07777);
        return FaultyFiles::Write(file, data, size);
    }
    std::vector<unsigned> modes;
};

TEST_F(ReplaceContentsTest, TheTemporaryFileIsNeverWiderThanTheFileItReplaces)
{
    WriteBytes("DATA", kOld);
    fs::permissions("DATA", fs::perms::owner_read | fs::perms::owner_write);
    ModeRecordingFiles files;
    {
        fileio::ScopedFileSystem scope(files);
        Replace();
    }
    ASSERT_FALSE(files.modes.empty());
    for (const auto mode : files.modes)
        EXPECT_EQ(mode & ~0600u, 0u) << std::oct << mode;
    EXPECT_EQ(fs::status("DATA").permissions(), fs::perms::owner_read | fs::perms::owner_write);
}
#endif

#ifdef _WIN32
// Writes and flushes report the system's own error, not the C runtime's
// folding of it (which turned access denied into a bad handle).
TEST_F(ReplaceContentsTest, WriteAndFlushFailuresCarryTheWindowsError)
{
    WriteBytes("DATA", kOld);
    auto &files = fileio::SystemFiles();
    const auto file = files.OpenForReading("DATA");
    ASSERT_NE(file, fileio::kNoFile);
    EXPECT_EQ(files.Write(file, "x", 1), -1);
    EXPECT_EQ(files.LastError(), ERROR_ACCESS_DENIED);
    EXPECT_EQ(fileio::CauseOf(files.LastError()), CFileException::accessDenied);
    files.Close(file);
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

// A read that fails part way closes the file: an exclusive handle left open
// would refuse every later save with a sharing violation.
TEST(ReadFile, AFailedReadClosesTheFile)
{
    TemporaryWorkingDirectory dir;
    WriteBytes("DATA", kOld);
    FaultyFiles files;
    files.failAt = 2;
    files.error = kHardIoError;
    {
        fileio::ScopedFileSystem scope(files);
        EXPECT_THROW(fileio::ReadFile("DATA.", "DATA"), CFileException);
    }
    EXPECT_EQ(files.calls, (std::vector<Call>{Call::OpenForReading, Call::Read, Call::Close}));
    fileio::ReplaceFileContents("DATA.", "DATA", fileio::AsBytes(kNew));
    EXPECT_EQ(ReadBytes("DATA"), kNew);
}

// What the system itself refuses, named as the program passed the file.
TEST(FileErrors, LoadsAndSavesTheSystemRefusesNameTheFileAsPassed)
{
    const struct {
        const char *name;
        std::function<void()> prepare;
        bool save; // otherwise a load
        const char *file;
        const char *message;
    } cases[] = {
        {"a folder where the file goes", [] { fs::create_directory("DATA"); }, true, "DATA",
         "Access to DATA. was denied."},
    // Windows says "path not found" where POSIX says "no such file".
#ifdef _WIN32
        {"a missing folder", [] {}, true, "SUB/DATA", "SUB/DATA. contains an incorrect path."},
#else
        {"a missing folder", [] {}, true, "SUB/DATA", "SUB/DATA. was not found."},
#endif
        {"a file where a folder should be", [] { WriteBytes("FILE", "x"); }, true, "FILE/DATA",
         "FILE/DATA. contains an incorrect path."},
        {"no file", [] {}, false, "DATA", "DATA. was not found."},
        {"a file in the path", [] { WriteBytes("FILE", "x"); }, false, "FILE/DATA",
         "FILE/DATA. contains an incorrect path."},
        {"a folder to load", [] { fs::create_directory("DATA"); }, false, "DATA",
         "Access to DATA. was denied."},
#ifdef _WIN32
        {"the read-only attribute",
         [] {
             WriteBytes("DATA", kOld);
             fs::permissions("DATA", fs::perms::owner_read);
         },
         true, "DATA", "Access to DATA. was denied."},
#endif
    };
    for (const auto &c : cases) {
        TemporaryWorkingDirectory dir;
        c.prepare();
        const auto before = FolderEntries(dir.Path());
        try {
            if (c.save)
                fileio::ReplaceFileContents(std::string(c.file) + ".", c.file, fileio::AsBytes(kNew));
            else
                fileio::ReadFile(std::string(c.file) + ".", c.file);
            ADD_FAILURE() << c.name;
        } catch (const CFileException &error) {
            EXPECT_STREQ(error.what(), c.message) << c.name;
        }
        EXPECT_EQ(FolderEntries(dir.Path()), before) << c.name;
    }
#ifdef _WIN32
    // Another program holding the file open without sharing it (an editor, a
    // sync client): refused as the sharing violation it is, the folder as it was.
    TemporaryWorkingDirectory dir;
    WriteBytes("DATA", kOld);
    const HANDLE held = ::CreateFileW(L"DATA", GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    try {
        fileio::ReplaceFileContents("DATA.", "DATA", fileio::AsBytes(kNew));
        ADD_FAILURE() << "a held file was replaced";
    } catch (const CFileException &error) {
        EXPECT_STREQ(error.what(), "Encountered a sharing violation while accessing DATA..");
    }
    ::CloseHandle(held);
    EXPECT_EQ(ReadBytes("DATA"), kOld);
    EXPECT_EQ(FolderEntries(dir.Path()), std::vector<std::string>{"DATA"});
#endif
}

} // namespace
