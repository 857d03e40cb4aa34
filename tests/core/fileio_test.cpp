#include "base/fileerror.h"
#include "base/fileio.h"
#include "tests/support/fakes.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <optional>

#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#else
#include <grp.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
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
// 32 and 5 are a scanner's brief hold, waited out; so is 1175, the replaced file held open.
const PlausibleError kPlausibleErrors[] = {
    {Call::MayWrite, 5, true}, {Call::MayWrite, 32, true}, {Call::MayWrite, 32, false, Fault::Fail, true},
    {Call::CreateNew, 5, true}, {Call::CreateNew, 112}, {Call::CreateNew, 4}, {Call::Write, 5}, {Call::Write, 32},
    {Call::Write, 33}, {Call::Write, 112}, {Call::SetLength, 112}, {Call::Flush, 5}, {Call::Flush, 112},
    {Call::Close, 6}, {Call::Replace, 5, true}, {Call::Replace, 32, true},
    {Call::Replace, 32, false, Fault::Fail, true}, {Call::Replace, 5, false, Fault::Fail, true},
    {Call::Replace, 1175, true}, {Call::Replace, 1175, false, Fault::Fail, true},
    {Call::Replace, 1176, true, kGone}, {Call::Replace, 1177, true, kGone},
    {Call::Replace, 1177, false, kGone, true}, {Call::Exists, 2, true}};
#else
// A busy file is not waited for; the half-done replace is what Windows' may do.
const PlausibleError kPlausibleErrors[] = {
    {Call::MayWrite, EACCES}, {Call::MayWrite, EROFS}, {Call::CreateNew, EACCES, true}, {Call::CreateNew, ENOSPC},
    {Call::CreateNew, EMFILE}, {Call::CreateNew, EDQUOT}, {Call::Write, ENOSPC}, {Call::Write, EIO},
    {Call::Write, EFBIG}, {Call::Write, EINTR, true}, {Call::Flush, EIO}, {Call::Flush, ENOSPC}, {Call::Close, EIO},
    {Call::Replace, EBUSY}, {Call::Replace, EIO}, {Call::Replace, EACCES}, {Call::SetLength, EIO},
    {Call::Exists, ENOENT, true}, {Call::Replace, EIO, true, kGone}, {Call::Replace, EIO, false, kGone, true},
    {Call::FlushFolder, EIO}};
#endif
// clang-format on

void Save(const std::string &name, const std::string &bytes = kNew)
{
    fileio::ReplaceFileContents(name + ".", name, fileio::AsBytes(bytes));
}

// What a call raised: its file error's message, or "" when it succeeded.
std::string Failure(const std::function<void()> &call)
{
    try {
        call();
    } catch (const CFileException &error) {
        return error.GetErrorMessage();
    }
    return "";
}

// Saves the bytes over DATA through `files`.
std::string SaveThrough(FaultyFiles &files, const std::string &bytes = kNew)
{
    fileio::ScopedFileSystem scope(files);
    return Failure([&bytes] { Save("DATA", bytes); });
}

// Fails each call of a save in turn with each error it plausibly meets, and
// stops the save dead before it, as a crash or a power cut would; both for a
// file replaced and for its first save. The file holds the old or the new
// bytes, whole. A failure says so, naming its cause and the file as the
// failing call knew it, and leaves no file of ours behind; what a crash left
// never stops the next save, which removes it once it is a minute old.
TEST(SaveFaults, EveryCallFailingOrACrashLeavesOneWholeFile)
{
    int cases = 0;
    for (const bool first : {false, true}) {
        std::vector<Call> calls;
        {
            TemporaryWorkingDirectory dir;
            if (!first)
                WriteBytes("DATA", kOld);
            FaultyFiles files;
            SaveThrough(files);
            calls = files.calls;
        }
        EXPECT_EQ(calls.back(), Call::FlushFolder) << "the folder is flushed after the rename";
        for (std::size_t at = 1; at <= calls.size(); ++at) {
            SCOPED_TRACE((first ? "first save, call " : "call ") + std::to_string(at));
            {
                // The old file is private: nothing a save leaves behind may be readable by more.
                TemporaryWorkingDirectory dir;
                WriteBytes("DATA", kOld);
                fs::permissions("DATA", kRw);
                const auto perms = fs::status("DATA").permissions();
                if (first)
                    fs::remove("DATA");
                FaultyFiles files;
                files.crashAfter = static_cast<int>(at - 1);
                EXPECT_THROW(SaveThrough(files), SimulatedCrash);
                EXPECT_TRUE(ReadBytes("DATA") == kNew || ReadBytes("DATA") == (first ? "" : kOld));
                for (const auto &name : FolderEntries(dir.Path())) {
                    EXPECT_TRUE(first || (fs::status(name).permissions() & ~perms) == fs::perms{}) << name;
                    fs::last_write_time(name, fs::last_write_time(name) - std::chrono::minutes(2));
                }
                Save("DATA", "newest");
                EXPECT_EQ(ReadBytes("DATA"), "newest");
                EXPECT_EQ(FolderEntries(dir.Path()), std::vector<std::string>{"DATA"});
            }
            for (const auto &row : kPlausibleErrors) {
                // A first save has no old file to move away, nor one to rewrite.
                const auto call = row.call;
                if (call != calls[at - 1] || (first && (row.fault == kGone || call == Call::CreateNew)))
                    continue;
                ++cases;
                SCOPED_TRACE("error " + std::to_string(row.error));
                TemporaryWorkingDirectory dir;
                if (!first)
                    WriteBytes("DATA", kOld);
                FaultyFiles files(static_cast<int>(at), row.error, row.fault, row.lasting);
                const std::string failure = SaveThrough(files);
                // Where the old file is gone and the new cannot be moved in, the new stays: the only copy.
                // A folder not flushed already holds the new file.
                const std::string left = row.fault == kGone && row.lasting ? ".DATA.tmp0" : "DATA";
                const bool replaced = row.saved || left != "DATA" || call == Call::FlushFolder;
                EXPECT_EQ(FolderEntries(dir.Path()),
                          std::vector<std::string>(first && !replaced ? 0 : 1, left));
                EXPECT_EQ(ReadBytes(left), replaced ? kNew : first ? "" : kOld);
                if (row.lasting && fileio::IsTransient(row.error)) {
                    EXPECT_EQ(std::count(files.calls.begin(), files.calls.end(), Call::Pause), 5);
                }
                // Bytes written are named by the full path.
                const bool writing = call == Call::Write || call == Call::SetLength || call == Call::Flush ||
                                     call == Call::Close || call == Call::FlushFolder;
                const CFileException expected(fileio::CauseOf(row.error), 0,
                                              writing ? fileio::FullPath("DATA") : "DATA.");
                EXPECT_EQ(failure, row.saved ? "" : expected.GetErrorMessage());
            }
        }
    }
    EXPECT_GE(cases, 30);

    // In a folder that takes no new file the file is rewritten where it is:
    // a disk that fills at any byte leaves the old bytes whole, and after a
    // crash at any call the next save is whole.
    int crashes = 0;
    for (std::size_t at = 0; at < kOld.size(); ++at) {
        TemporaryWorkingDirectory dir;
        WriteBytes("DATA", kNew);
        FaultyFiles full(0, kDiskFullError), crashing;
        full.refuseNewFiles = crashing.refuseNewFiles = true;
        full.writeLimit = at;
        crashing.crashAfter = static_cast<int>(at);
        EXPECT_EQ(SaveThrough(full, kOld), "Disk full while accessing " + fileio::FullPath("DATA") + ".");
        EXPECT_EQ(ReadBytes("DATA"), kNew) << "full at byte " << at;
        try {
            SaveThrough(crashing, kOld);
        } catch (const SimulatedCrash &) {
            ++crashes;
        }
        EXPECT_EQ(SaveThrough(full), "") << "after a crash at call " << at; // its disk has room again
        EXPECT_EQ(ReadBytes("DATA"), kNew) << "after a crash at call " << at;
    }
    EXPECT_GT(crashes, 10) << "saves cut short at each of their calls";

    // However often crashes left a temporary file, the next save succeeds;
    // one a copy still saving may own (under a minute old) stays.
    TemporaryWorkingDirectory dir;
    for (int number = 0; number < 100; ++number) {
        const auto name = ".DATA.tmp" + std::to_string(number);
        WriteBytes(name, "left by a crash");
        fs::last_write_time(name, fs::last_write_time(name) - std::chrono::minutes(number == 50 ? 0 : 2));
    }
    Save("DATA");
    EXPECT_EQ(FolderEntries(dir.Path()), (std::vector<std::string>{".DATA.tmp50", "DATA"}));
}

// Root ignores permission bits, so checks of them run as root prove
// nothing: as root, `checks` run in a child process that has dropped to the
// user nobody; its failures are printed as they happen and fail this test.
template <class Checks>
void AsUnprivileged([[maybe_unused]] const Checks &checks)
{
#ifdef _WIN32
    GTEST_SKIP() << "Windows has no permission bits; its read-only attribute has tests of its own";
#else
    if (::geteuid() != 0)
        return checks();
    std::fflush(stdout);
    const pid_t child = ::fork();
    if (child == 0) {
        // The child starts where anyone may enter: the build may lie in a folder closed to others.
        // Whatever happens, it ends here, never running on into the tests after this one.
        int status = 1;
        try {
            fs::current_path(fs::temp_directory_path());
            const bool dropped = ::setgroups(0, nullptr) == 0 && ::setresgid(65534, 65534, 65534) == 0 &&
                                 ::setresuid(65534, 65534, 65534) == 0;
            if (dropped)
                checks();
            status = !dropped ? 2 : testing::Test::HasFailure() ? 1 : 0;
        } catch (const std::exception &error) {
            std::printf("as the user nobody: %s\n", error.what());
        }
        std::fflush(stdout);
        std::_Exit(status);
    }
    int status = -1;
    ::waitpid(child, &status, 0);
    if (WIFEXITED(status) && WEXITSTATUS(status) == 2)
        GTEST_SKIP() << "running as root, and this process could not drop to the user nobody";
    EXPECT_EQ(status, 0) << "the checks failed as the user nobody (see above)";
#endif
}

#ifndef _WIN32
TEST(ReplaceContents, ALinkIsReplacedAtItsTarget)
{
    TemporaryWorkingDirectory dir;
    fs::create_directory("real");
    WriteBytes("real/target", kOld);
    fs::create_symlink("real/target", "DATA");
    Save("DATA");
    EXPECT_TRUE(fs::is_symlink("DATA"));
    EXPECT_EQ(ReadBytes("real/target"), kNew);
    EXPECT_EQ(FolderEntries(dir.Path() / "real"), std::vector<std::string>{"target"});
}

// Root's save of another user's file hands the new file to that user; that
// user, in a folder anyone may write to (sticky, as /tmp), rewrites root's
// file where it stands, since a new file of theirs would disown it.
TEST(ReplaceContents, KeepsTheOwnerAndGroup)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "only root can hand a file to another user";
    TemporaryWorkingDirectory dir;
    fs::permissions(dir.Path(), fs::perms::all | fs::perms::sticky_bit);
    WriteBytes("THEIRS", kOld);
    WriteBytes("ROOTS", kOld);
    fs::permissions("ROOTS", kRw | fs::perms::group_write | fs::perms::others_write | fs::perms::others_read);
    ASSERT_EQ(::chown("THEIRS", 65534, 65534), 0);
    Save("THEIRS");
    AsUnprivileged([roots = dir.Path() / "ROOTS"] {
        fileio::ReplaceFileContents("ROOTS.", roots, fileio::AsBytes(kNew));
    });
    struct stat theirs = {}, roots = {};
    ::stat("THEIRS", &theirs), ::stat("ROOTS", &roots);
    EXPECT_EQ(std::vector({theirs.st_uid, theirs.st_gid, roots.st_uid}),
              std::vector<unsigned>({65534, 65534, 0}));
    EXPECT_EQ(ReadBytes("THEIRS") + ReadBytes("ROOTS"), kNew + kNew);
}
#else
// Writes and flushes report the system's own error, not the C runtime's
// folding of it (which turned access denied into a bad handle).
TEST(ReplaceContents, WriteAndFlushFailuresCarryTheWindowsError)
{
    TemporaryWorkingDirectory dir;
    WriteBytes("DATA", kOld);
    auto &files = fileio::SystemFiles();
    const auto file = files.OpenForReading("DATA");
    EXPECT_EQ(files.Write(file, "x", 1), -1);
    EXPECT_EQ(fileio::CauseOf(files.LastError()), CFileException::accessDenied) << files.LastError();
    files.Close(file);
}
#endif

// A file this user may not write, or a folder that takes no new file, is
// refused as access denied, named as passed, and stays as it was, unless the
// file itself is writable: then it is rewritten in place. No temporary stays.
TEST(ReplaceContentsPermissions, AFileTheUserMayNotWriteStaysAsItWas)
{
    AsUnprivileged([] {
        const struct {
            fs::perms folder;
            std::optional<fs::perms> file; // none: no file yet
            bool saved;
        } cases[] = {{kRwx, fs::perms::owner_read, false},
                     {kRwx, fs::perms::none, false},
                     {kRx, kRw, true},
                     {kRx, std::nullopt, false}};
        for (const auto &c : cases) {
            TemporaryWorkingDirectory dir;
            if (c.file) {
                WriteBytes("DATA", kOld);
                fs::permissions("DATA", *c.file);
            }
            fs::permissions(dir.Path(), c.folder);
            EXPECT_EQ(Failure([] { Save("DATA"); }), c.saved ? "" : "Access to DATA. was denied.") << c.saved;
            fs::permissions(dir.Path(), kRwx);
            EXPECT_EQ(FolderEntries(dir.Path()).size(), c.file ? 1u : 0u);
            if (c.file) {
                EXPECT_EQ(fs::status("DATA").permissions(), *c.file);
                fs::permissions("DATA", kRw);
                EXPECT_EQ(ReadBytes("DATA"), c.saved ? kNew : kOld);
            }
        }
        // A file the user may not read is refused too, before a byte is read.
        TemporaryWorkingDirectory dir;
        WriteBytes("DATA", kOld);
        fs::permissions("DATA", fs::perms::none);
        EXPECT_EQ(Failure([] { fileio::ReadFile("DATA.", "DATA"); }), "Access to DATA. was denied.");
    });
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
#ifdef _WIN32
    FaultyFiles held(1, ERROR_SHARING_VIOLATION); // another program's brief hold, waited out
    fileio::ScopedFileSystem scope(held);
    EXPECT_EQ(fileio::ReadFile("DATA.", "DATA").size(), kOld.size());
#endif
    Save("DATA");
    EXPECT_EQ(ReadBytes("DATA"), kNew);
}

#ifdef _WIN32
// Runs `call` while FILE is open in another program, for `access`, sharing with others what `share` says.
void WhileHeld(DWORD share, const std::function<void()> &call, DWORD access = GENERIC_READ)
{
    const std::shared_ptr<void> held(
        ::CreateFileW(L"FILE", access, share, nullptr, OPEN_EXISTING, 0, nullptr), ::CloseHandle);
    call();
}
constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
const std::function<void()> kMayWriteFile = [] { EXPECT_TRUE(fileio::SystemFiles().MayWrite("FILE")); };
#endif

// What the system itself refuses, named as the program passed the file, the
// folder as it was. Windows says "path not found" where POSIX says "no such
// file"; on Windows, another program holding the file open without sharing it
// (an editor, a sync client) is the sharing violation it is.
TEST(FileErrors, LoadsAndSavesTheSystemRefusesNameTheFileAsPassed)
{
    const struct {
        std::function<void()> call;
        const char *message;
    } cases[] = {
#ifdef _WIN32
        {[] { Save("SUB/DATA"); }, "SUB/DATA. contains an incorrect path."},
        {[] { Save("RO"); }, "Access to RO. was denied."},
        {[] { WhileHeld(0, [] { Save("FILE"); }); },
         "Encountered a sharing violation while accessing FILE.."},
        // An indexer or a backup reading the file, sharing read access as readers do, stops no load.
        {[] { WhileHeld(FILE_SHARE_READ, [] { fileio::ReadFile("FILE.", "FILE"); }); }, ""},
        // A writer sharing everything (a log viewer, a sync client) leaves the file writable to us too.
        {[] { WhileHeld(kShareAll, kMayWriteFile, GENERIC_WRITE); }, ""},
#else
        {[] { Save("SUB/DATA"); }, "SUB/DATA. was not found."},
#endif
        {[] { Save("FILE/DATA"); }, "FILE/DATA. contains an incorrect path."},
        {[] { fileio::ReadFile("FILE/DATA.", "FILE/DATA"); }, "FILE/DATA. contains an incorrect path."},
    };
    for (const auto &c : cases) {
        TemporaryWorkingDirectory dir;
        WriteBytes("FILE", "x");
        WriteBytes("RO", kOld);
        fs::permissions("RO", fs::perms::owner_read);
        EXPECT_EQ(Failure(c.call), c.message);
        EXPECT_EQ(FolderEntries(dir.Path()), (std::vector<std::string>{"FILE", "RO"})) << c.message;
        EXPECT_EQ(ReadBytes("RO") + ReadBytes("FILE"), kOld + "x") << c.message;
    }
}

} // namespace
