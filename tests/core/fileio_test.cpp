#include "base/fileerror.h"
#include "base/fileio.h"
#include "tests/support/fakes.h"

#include <algorithm>
#include <cerrno>
#include <optional>

#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#endif

namespace {

namespace fs = std::filesystem;

// The old bytes are the longer, so that a file rewritten without being cut shows it.
const std::string kOld = "the old content, longer than the new";
const std::string kNew = "new content";

constexpr auto kRw = fs::perms::owner_read | fs::perms::owner_write;
constexpr auto kRx = fs::perms::owner_read | fs::perms::owner_exec;
constexpr auto kRwx = fs::perms::owner_all;

using Call = FaultyFiles::Call;
using Fault = FaultyFiles::Fault;

// Errors each call of a save plausibly meets, as the platform numbers them,
// and whether the save still succeeds; `lasting` fails every later call of
// the same kind too.
struct PlausibleError {
    Call call;
    long error;
    bool saved = false;
    Fault fault = Fault::Fail;
    bool lasting = false;
};

constexpr auto kGone = Fault::TargetGone;

// clang-format off
#ifdef _WIN32
// Windows' own numbers; ReplaceFileW's partial failures are from its Return value section.
// 32 and 5 on a replace are a scanner's brief hold, waited out; 1175 is the replaced file held open.
const PlausibleError kPlausibleErrors[] = {
    {Call::MayWrite, 5}, {Call::MayWrite, 32}, {Call::CreateNew, 5, true}, {Call::CreateNew, 112},
    {Call::CreateNew, 4}, {Call::Write, 5}, {Call::Write, 32}, {Call::Write, 33}, {Call::Write, 112},
    {Call::Flush, 5}, {Call::Flush, 112}, {Call::Close, 6}, {Call::Replace, 5, true}, {Call::Replace, 32, true},
    {Call::Replace, 32, false, Fault::Fail, true}, {Call::Replace, 5, false, Fault::Fail, true},
    {Call::Replace, 1175}, {Call::Replace, 1176, true, kGone}, {Call::Replace, 1177, true, kGone},
    {Call::Replace, 1177, false, kGone, true}, {Call::Remove, 5}, {Call::Exists, 2, true}};
#else
// A busy file is not waited for; the half-done replace is what Windows' may do.
const PlausibleError kPlausibleErrors[] = {
    {Call::MayWrite, EACCES}, {Call::MayWrite, EROFS}, {Call::CreateNew, EACCES, true}, {Call::CreateNew, ENOSPC},
    {Call::CreateNew, EMFILE}, {Call::CreateNew, EDQUOT}, {Call::Write, ENOSPC}, {Call::Write, EIO},
    {Call::Write, EFBIG}, {Call::Write, EINTR, true}, {Call::Flush, EIO}, {Call::Flush, ENOSPC}, {Call::Close, EIO},
    {Call::Replace, EBUSY}, {Call::Replace, EIO}, {Call::Replace, EACCES}, {Call::Remove, EACCES},
    {Call::Exists, ENOENT, true}, {Call::Replace, EIO, true, kGone}, {Call::Replace, EIO, false, kGone, true}};
#endif
// clang-format on

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

// Fails each call of a save in turn with each error it plausibly meets, and
// stops the save dead before it, as a crash or a power cut would. The file
// holds the old or the new bytes, whole. A failure says so, naming its cause
// and the file as the failing call knew it, and leaves no file of ours
// behind; what a crash left never stops the next save.
TEST(SaveFaults, EveryCallFailingOrACrashLeavesOneWholeFile)
{
    const auto calls = CallsOfASave();
    ASSERT_GE(calls.size(), 7u);
    int cases = 0;
    for (std::size_t at = 1; at <= calls.size(); ++at) {
        {
            // The old file is private: nothing a save leaves behind may be readable by more.
            TemporaryWorkingDirectory dir;
            WriteBytes("DATA", kOld);
            fs::permissions("DATA", kRw);
            const auto perms = fs::status("DATA").permissions();
            FaultyFiles files;
            files.crashAfter = static_cast<int>(at - 1);
            EXPECT_THROW(SaveThrough(files), SimulatedCrash);
            EXPECT_TRUE(ReadBytes("DATA") == kOld || ReadBytes("DATA") == kNew) << "crash before call " << at;
            for (const auto &name : FolderEntries(dir.Path()))
                EXPECT_EQ(fs::status(name).permissions() & ~perms, fs::perms::none) << name << " at " << at;
            fileio::ReplaceFileContents("DATA.", "DATA", fileio::AsBytes(std::string("newest")));
            EXPECT_EQ(ReadBytes("DATA"), "newest") << "crash before call " << at;
            EXPECT_EQ(fs::status("DATA").permissions(), perms);
        }
        for (const auto &plausible : kPlausibleErrors) {
            if (plausible.call != calls[at - 1])
                continue;
            ++cases;
            const std::string row =
                "call " + std::to_string(at) + " error " + std::to_string(plausible.error);
            TemporaryWorkingDirectory dir;
            WriteBytes("DATA", kOld);
            FaultyFiles files(static_cast<int>(at), plausible.error, plausible.fault, plausible.lasting);
            const auto error = SaveThrough(files);
            // Where the old file is gone and the new cannot be moved in, the new stays: the only copy.
            const std::string left = plausible.fault == kGone && plausible.lasting ? ".DATA.tmp0" : "DATA";
            EXPECT_EQ(FolderEntries(dir.Path()), std::vector<std::string>{left}) << row;
            EXPECT_EQ(ReadBytes(left), plausible.saved || left != "DATA" ? kNew : kOld) << row;
            EXPECT_EQ(error.has_value(), !plausible.saved) << row;
            if (plausible.lasting && fileio::IsTransient(plausible.error)) {
                EXPECT_EQ(std::count(files.calls.begin(), files.calls.end(), Call::Pause), 5) << row;
            }
            // Bytes written are named by the full path.
            const bool writing = plausible.call == Call::Write || plausible.call == Call::Flush ||
                                 plausible.call == Call::Close;
            if (error) {
                const std::string name = writing ? fileio::FullPath("DATA") : "DATA.";
                // The replaced file held open (1175) is the sharing violation it is.
                const int cause = plausible.error == 1175 && plausible.call == Call::Replace
                                      ? CFileException::sharingViolation
                                      : fileio::CauseOf(plausible.error);
                EXPECT_EQ(error->GetErrorMessage(), CFileException(cause, 0, name).GetErrorMessage()) << row;
            }
        }
    }
    EXPECT_GE(cases, 15);
}

#ifndef _WIN32
TEST(ReplaceContents, ALinkIsReplacedAtItsTarget)
{
    TemporaryWorkingDirectory dir;
    fs::create_directory("real");
    WriteBytes("real/target", kOld);
    fs::create_symlink("real/target", "DATA");
    fileio::ReplaceFileContents("DATA.", "DATA", fileio::AsBytes(kNew));
    EXPECT_TRUE(fs::is_symlink("DATA"));
    EXPECT_EQ(ReadBytes("real/target"), kNew);
    EXPECT_EQ(FolderEntries(dir.Path() / "real"), std::vector<std::string>{"target"});
}

#endif

#ifdef _WIN32
// Writes and flushes report the system's own error, not the C runtime's
// folding of it (which turned access denied into a bad handle).
TEST(ReplaceContents, WriteAndFlushFailuresCarryTheWindowsError)
{
    TemporaryWorkingDirectory dir;
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

TEST(ReplaceContentsPermissions, AFileTheUserMayNotWriteStaysAsItWas)
{
    PLAXOMET_RUN_UNPRIVILEGED();
    const PermissionCase cases[] = {
        {"read-only file", kRwx, fs::perms::owner_read, false},
        {"read-only folder, writable file: rewritten in place", kRx, kRw, true},
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
    FaultyFiles files(2, kHardIoError);
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
        bool save; // otherwise a load
        const char *file;
        const char *message;
    } cases[] = {
    // Windows says "path not found" where POSIX says "no such file".
#ifdef _WIN32
        {"a missing folder", true, "SUB/DATA", "SUB/DATA. contains an incorrect path."},
        {"the read-only attribute", true, "RO", "Access to RO. was denied."},
#else
        {"a missing folder", true, "SUB/DATA", "SUB/DATA. was not found."},
#endif
        {"a file where a folder should be", true, "FILE/DATA", "FILE/DATA. contains an incorrect path."},
        {"a file in the path", false, "FILE/DATA", "FILE/DATA. contains an incorrect path."},
    };
    for (const auto &c : cases) {
        TemporaryWorkingDirectory dir;
        WriteBytes("FILE", "x");
        WriteBytes("RO", kOld);
        fs::permissions("RO", fs::perms::owner_read);
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
