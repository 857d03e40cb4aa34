#include "base/fileerror.h"
#include "base/fileio.h"
#include "tests/support/fakes.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <sstream>
#include <system_error>

#include <gtest/gtest.h>

#ifdef _WIN32
#include <memory>
#include <windows.h>
#else
#include <grp.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>
#endif

namespace {

namespace fs = std::filesystem;
using Strings = std::vector<std::string>;

// The old bytes are the longer, so that a file rewritten without being cut shows it.
const std::string kOld = "the old content, longer than the new";
const std::string kNew = "new content";

constexpr unsigned kNobody = 65534;

using Call = FaultyFiles::Call;
using Fault = FaultyFiles::Fault;
constexpr auto kGone = Fault::TargetGone;

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

const std::string kCrashed = "(stopped dead)";

// Saves the bytes over DATA through `files`: what was said, or kCrashed
// where the save stopped dead, as a crash stops it.
std::string SaveThrough(FaultyFiles &files, const std::string &bytes = kNew)
{
    fileio::ScopedFileSystem scope(files);
    try {
        return Failure([&bytes] { Save("DATA", bytes); });
    } catch (const SimulatedCrash &) {
        return kCrashed;
    }
}

// A message with %N for the name as passed (DATA.) and %F for the full path.
std::string Said(std::string message)
{
    for (const auto &[mark, with] : {std::pair{"%N", std::string("DATA.")}, {"%F", fileio::FullPath("DATA")}})
        if (const auto at = message.find(mark); at != std::string::npos)
            message.replace(at, 2, with);
    return message;
}

// The calls that change files, in order: the new bytes written and flushed
// before the rename, then the folder of the file really replaced flushed.
// A new file is not cut: some file systems refuse to set a length at all.
// A fresh temporary another copy holds is passed over and left to it; a
// folder that takes no new file has the file rewritten where it stands.
TEST(SaveOrder, WriteFlushRenameThenFlushTheFolder)
{
    const char *replaced =
        "CreateNew .DATA.tmp0, Write .DATA.tmp0, Flush .DATA.tmp0, Replace .DATA.tmp0 -> DATA, FlushFolder .";
    const struct {
        const char *name;
        void (*before)();
        const char *trace;
    } rows[] = {
        {"first save", [] {}, replaced},
        {"replaced", [] { WriteBytes("DATA", kOld); }, replaced},
        {"another copy saving", [] { WriteBytes("DATA", kOld), WriteBytes(".DATA.tmp0", "x"); },
         "CreateNew .DATA.tmp0, CreateNew .DATA.tmp1, Write .DATA.tmp1, Flush .DATA.tmp1, Replace .DATA.tmp1 "
         "-> DATA, FlushFolder ."},
        {"no new file", [] { WriteBytes("DATA", kOld); },
         "CreateNew .DATA.tmp0, OpenForRewrite DATA, Write DATA, SetLength DATA, Flush DATA"},
#ifndef _WIN32
        {"through a link",
         [] {
             fs::create_directory("real"), WriteBytes("real/target", kOld),
                 fs::create_symlink("real/target", "DATA");
         },
         "CreateNew real/.target.tmp0, Write real/.target.tmp0, Flush real/.target.tmp0, Replace "
         "real/.target.tmp0 -> real/target, FlushFolder real"},
#endif
    };
    for (const auto &row : rows) {
        TemporaryWorkingDirectory dir;
        row.before();
        FaultyFiles files;
        files.refuseNewFiles = row.name == std::string("no new file");
        EXPECT_EQ(SaveThrough(files), "") << row.name;
        EXPECT_EQ(files.saveTrace, row.trace) << row.name;
        EXPECT_EQ(ReadBytes("DATA") + ReadBytes(".DATA.tmp0"), kNew + (fs::exists(".DATA.tmp0") ? "x" : ""))
            << row.name;
    }
}

// Errors each call of a save plausibly meets, as the platform numbers them,
// and what the user is then told ("" where the save still succeeds); `lasting`
// fails every later call of the same kind too.
struct PlausibleError {
    Call call;
    long error;
    const char *said;
    Fault fault = Fault::Fail;
    bool lasting = false;
};

// clang-format off
#ifdef _WIN32
// Windows' own numbers; ReplaceFileW's partial failures are from its Return value section.
// 32 and 5 are a scanner's brief hold, waited out; so is 1175, the replaced file held open.
const PlausibleError kPlausibleErrors[] = {
    {Call::MayWrite, 5, ""}, {Call::MayWrite, 32, ""},
    {Call::MayWrite, 32, "Encountered a sharing violation while accessing %N.", Fault::Fail, true},
    {Call::CreateNew, 5, ""}, {Call::CreateNew, 112, "Disk full while accessing %N."},
    {Call::CreateNew, 4, "Could not open %N because there are too many open files."},
    {Call::Write, 5, "Access to %F was denied."}, {Call::Write, 32, "Encountered a sharing violation while accessing %F."},
    {Call::Write, 33, "Encountered a locking violation while accessing %F."},
    {Call::Write, 112, "Disk full while accessing %F."}, {Call::Flush, 5, "Access to %F was denied."},
    {Call::Flush, 112, "Disk full while accessing %F."},
    // ERROR_INVALID_HANDLE counts as "not found" in the program's Windows table.
    {Call::Close, 6, "%F was not found."},
    {Call::Replace, 5, ""}, {Call::Replace, 32, ""},
    {Call::Replace, 32, "Encountered a sharing violation while accessing %N.", Fault::Fail, true},
    {Call::Replace, 5, "Access to %N was denied.", Fault::Fail, true},
    // ERROR_UNABLE_TO_REMOVE_REPLACED (1175): the replaced file is still in place, held open.
    {Call::Replace, 1175, ""},
    {Call::Replace, 1175, "Encountered a sharing violation while accessing %N.", Fault::Fail, true},
    {Call::Replace, 1175, ""  , kGone},
    {Call::Replace, 1175, "Encountered a sharing violation while accessing %N.", kGone, true},
    // ERROR_UNABLE_TO_MOVE_REPLACEMENT (1176) and _2 (1177): the replaced file may be gone.
    {Call::Replace, 1176, "", kGone}, {Call::Replace, 1177, "", kGone},
    {Call::Replace, 1177, "An unknown error occurred while accessing %N.", kGone, true},
    {Call::Replace, 1177, "An unknown error occurred while accessing %N."},
    {Call::Exists, 2, ""}};
#else
// A busy file is not waited for; the half-done replace is what Windows' may do.
const PlausibleError kPlausibleErrors[] = {
    {Call::MayWrite, EACCES, "Access to %N was denied."}, {Call::MayWrite, EROFS, "Access to %N was denied."},
    {Call::CreateNew, EACCES, ""}, {Call::CreateNew, ENOSPC, "Disk full while accessing %N."},
    {Call::CreateNew, EMFILE, "Could not open %N because there are too many open files."},
    {Call::CreateNew, EDQUOT, "Disk full while accessing %N."}, {Call::Write, ENOSPC, "Disk full while accessing %F."},
    {Call::Write, EIO, "Encountered a hardware I/O error while accessing %F."},
    {Call::Write, EFBIG, "Disk full while accessing %F."}, {Call::Write, EINTR, ""},
    {Call::Flush, EIO, "Encountered a hardware I/O error while accessing %F."},
    {Call::Flush, ENOSPC, "Disk full while accessing %F."},
    {Call::Close, EIO, "Encountered a hardware I/O error while accessing %F."},
    {Call::Replace, EBUSY, "Encountered a sharing violation while accessing %N."},
    {Call::Replace, EIO, "Encountered a hardware I/O error while accessing %N."},
    {Call::Replace, EACCES, "Access to %N was denied."}, {Call::Exists, ENOENT, ""},
    {Call::Replace, EIO, "", kGone},
    {Call::Replace, EIO, "Encountered a hardware I/O error while accessing %N.", kGone, true},
    // The rename happened: the new file is in place, and the save is done.
    {Call::FlushFolder, EIO, ""}};
#endif
// clang-format on

// Each call of a save failing with each error it plausibly meets, for a file
// replaced and for its first save: the user is told in the system's words,
// and the file holds the old or the new bytes, whole, with no file of ours
// beside it, except where the new bytes are the only copy left.
TEST(SaveFaults, EachPlausibleErrorIsSaidAndLeavesOneWholeFile)
{
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
        for (std::size_t at = 1; at <= calls.size(); ++at) {
            for (const auto &row : kPlausibleErrors) {
                // A first save has no old file to move away, nor one to rewrite.
                if (row.call != calls[at - 1] ||
                    (first && (row.fault == kGone || row.call == Call::CreateNew)))
                    continue;
                std::ostringstream name;
                name << (first ? "first save, " : "") << row.call << " (call " << at << ") "
                     << std::system_category().message(static_cast<int>(row.error));
                SCOPED_TRACE(name.str());
                TemporaryWorkingDirectory dir;
                if (!first)
                    WriteBytes("DATA", kOld);
                FaultyFiles files(static_cast<int>(at), row.error, row.fault, row.lasting);
                EXPECT_EQ(SaveThrough(files), Said(row.said));
                const bool saved = *row.said == '\0';
                const std::string left = row.fault == kGone && row.lasting ? ".DATA.tmp0" : "DATA";
                EXPECT_EQ(FolderEntries(dir.Path()), Strings(first && !saved ? 0 : 1, left));
                EXPECT_EQ(ReadBytes(left), saved || left != "DATA" ? kNew : first ? "" : kOld);
            }
        }
    }
}

// A crash or a power cut at any call of a save leaves the old or the new
// bytes whole, and nothing readable by more than the old file was; the next
// save succeeds and removes what the crash left, once it is a minute old.
TEST(SaveFaults, ACrashAtAnyCallLeavesOneWholeFile)
{
    for (const bool first : {false, true}) {
        for (int at = 0;; ++at) {
            SCOPED_TRACE((first ? "first save, crash after call " : "crash after call ") +
                         std::to_string(at));
            TemporaryWorkingDirectory dir;
            WriteBytes("DATA", kOld);
            fs::permissions("DATA", fs::perms::owner_read | fs::perms::owner_write);
            const auto perms = fs::status("DATA").permissions();
            if (first)
                fs::remove("DATA");
            FaultyFiles files;
            files.crashAfter = at;
            if (SaveThrough(files) != kCrashed)
                break; // the save ran whole
            EXPECT_TRUE(ReadBytes("DATA") == kNew || ReadBytes("DATA") == (first ? "" : kOld));
            for (const auto &entry : FolderEntries(dir.Path())) {
                EXPECT_TRUE(first || (fs::status(entry).permissions() & ~perms) == fs::perms{}) << entry;
                fs::last_write_time(entry, fs::last_write_time(entry) - std::chrono::minutes(2));
            }
            Save("DATA", "newest");
            EXPECT_EQ(ReadBytes("DATA"), "newest");
            EXPECT_EQ(FolderEntries(dir.Path()), Strings{"DATA"});
        }
    }
}

// In a folder that takes no new file, a disk that fills at any byte of the
// rewrite leaves the old bytes whole; after a crash at any call the next save is whole.
TEST(SaveFaults, ARewriteInPlaceThatFailsPutsTheOldBytesBack)
{
    for (std::size_t at = 0; at < kOld.size(); ++at) {
        SCOPED_TRACE("full at byte " + std::to_string(at));
        TemporaryWorkingDirectory dir;
        WriteBytes("DATA", kNew);
        FaultyFiles full(0, kDiskFullError), crashing;
        full.refuseNewFiles = crashing.refuseNewFiles = true;
        full.writeLimit = at;
        crashing.crashAfter = static_cast<int>(at);
        EXPECT_EQ(SaveThrough(full, kOld), Said("Disk full while accessing %F."));
        EXPECT_EQ(ReadBytes("DATA"), kNew);
        static_cast<void>(SaveThrough(crashing, kOld)); // stopped dead, or whole when it ran out of calls
        EXPECT_EQ(SaveThrough(full), "");               // its disk has room again
        EXPECT_EQ(ReadBytes("DATA"), kNew);
    }
}

// Temporaries crashes left are swept once a minute old, however many; one
// younger, or dated ahead of a clock set back, may be another copy's and stays.
TEST(SaveFaults, LeftoverTemporariesAreSweptPastAnotherCopysOwn)
{
    TemporaryWorkingDirectory dir;
    const auto now = fs::last_write_time(".");
    for (int number = 0; number < 100; ++number) {
        const auto name = ".DATA.tmp" + std::to_string(number);
        WriteBytes(name, "left by a crash");
        fs::last_write_time(name, now + (number == 50   ? std::chrono::minutes(0)
                                         : number == 60 ? std::chrono::minutes(30)
                                                        : -std::chrono::minutes(2)));
    }
    Save("DATA");
    EXPECT_EQ(FolderEntries(dir.Path()), (Strings{".DATA.tmp50", ".DATA.tmp60", "DATA"}));
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
            const bool dropped = ::setgroups(0, nullptr) == 0 &&
                                 ::setresgid(kNobody, kNobody, kNobody) == 0 &&
                                 ::setresuid(kNobody, kNobody, kNobody) == 0;
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

// A file this user may not write is refused as access denied, named as
// passed, and stays as it was, bytes and mode; so is a first save into a
// folder that takes no new file. Nothing is left behind.
TEST(ReplaceContentsPermissions, AFileTheUserMayNotWriteStaysAsItWas)
{
    AsUnprivileged([] {
        TemporaryWorkingDirectory dir;
        WriteBytes("DATA", kOld);
        fs::permissions("DATA", fs::perms::owner_read);
        EXPECT_EQ(Failure([] { Save("DATA"); }), "Access to DATA. was denied.");
        EXPECT_EQ(FolderEntries(dir.Path()), Strings{"DATA"});
        EXPECT_EQ(fs::status("DATA").permissions(), fs::perms::owner_read);
        EXPECT_EQ(ReadBytes("DATA"), kOld);
        fs::permissions(dir.Path(), fs::perms::owner_read | fs::perms::owner_exec);
        EXPECT_EQ(Failure([] { Save("NEW"); }), "Access to NEW. was denied.");
        fs::permissions(dir.Path(), fs::perms::owner_all);
        EXPECT_EQ(FolderEntries(dir.Path()), Strings{"DATA"});
    });
}

#ifndef _WIN32
// A save keeps the file's owner, group, mode bits (set-id ones too, under
// any umask) and access list. Root's save of another user's file hands the
// new file to that user; a new file that could not keep them all (another
// user's file saved by nobody, an access list) makes way for a rewrite in place.
TEST(ReplaceContents, KeepsOwnerGroupModeAndAccessList)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "only root can hand a file to another user";
    // A POSIX access list, as setfacl writes it: the owner rw, the user nobody r, the group r, mask r, others
    // none.
    const std::string acl(
        "\x02\0\0\0\x01\0\x06\0\xFF\xFF\xFF\xFF\x02\0\x04\0\xFE\xFF\0\0\x04\0\x04\0\xFF\xFF\xFF\xFF"
        "\x10\0\x04\0\xFF\xFF\xFF\xFF\x20\0\0\0\xFF\xFF\xFF\xFF",
        44);
    const struct {
        const char *name;
        mode_t mode;
        unsigned user, group;
        bool byNobody;
    } rows[] = {{"THEIRS", 0640, kNobody, kNobody, false},
                {"GROUPS", 0660, 0, 0, false},
                {"SETID", 02755, 0, kNobody, false},
                {"LISTED", 0640, 0, 0, false},
                {"ROOTS_IN_NOBODYS_GROUP", 0664, 0, kNobody, true}};
    TemporaryWorkingDirectory dir;
    fs::permissions(dir.Path(), fs::perms::all);
    for (const auto &row : rows) {
        WriteBytes(row.name, kOld);
        ASSERT_EQ(::chown(row.name, row.user, row.group) | ::chmod(row.name, row.mode), 0) << row.name;
    }
    const bool listed = ::setxattr("LISTED", "system.posix_acl_access", acl.data(), acl.size(), 0) == 0;
    const mode_t umask = ::umask(022);
    for (const auto &row : rows) {
        if (!row.byNobody)
            Save(row.name);
    }
    ::umask(umask);
    AsUnprivileged([folder = dir.Path()] {
        fileio::ReplaceFileContents("ROOTS_IN_NOBODYS_GROUP.", folder / "ROOTS_IN_NOBODYS_GROUP",
                                    fileio::AsBytes(kNew));
    });
    for (const auto &row : rows) {
        struct stat status = {};
        ::stat(row.name, &status);
        EXPECT_EQ(std::vector<unsigned>({status.st_uid, status.st_gid, status.st_mode & 07777u}),
                  std::vector<unsigned>({row.user, row.group, row.mode}))
            << row.name;
        EXPECT_EQ(ReadBytes(row.name), kNew) << row.name;
    }
    if (!listed)
        GTEST_SKIP() << "this file system keeps no access lists (setxattr: " << std::strerror(errno) << ")";
    std::string kept(acl.size(), '\0');
    EXPECT_EQ(::getxattr("LISTED", "system.posix_acl_access", kept.data(), kept.size()), 44);
    EXPECT_EQ(kept, acl);
}

// In a folder anyone may write to and only owners delete from (sticky, as
// /tmp), a link is followed only where the kernel would follow it: when it
// is the user's own or the folder owner's. Another user's link is refused on
// loads and saves, and what it points at stays as it was; in a folder only
// its owner may write to, the same link is followed.
TEST(Links, AnotherUsersLinkInASharedFolderIsNotFollowed)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "only root can leave a link owned by another user";
    const struct {
        fs::perms folder;
        unsigned linkOwner;
        bool followed;
    } rows[] = {{fs::perms::all | fs::perms::sticky_bit, kNobody, false},
                {fs::perms::all | fs::perms::sticky_bit, 0, true},
                {fs::perms::owner_all, kNobody, true}};
    for (const auto &row : rows) {
        SCOPED_TRACE("a link of user " + std::to_string(row.linkOwner) +
                     (row.followed ? "" : " in a shared folder"));
        TemporaryWorkingDirectory dir;
        fs::permissions(dir.Path(), row.folder);
        WriteBytes("victim", kOld);
        fs::create_symlink(dir.Path() / "victim", "DATA");
        ASSERT_EQ(::lchown("DATA", row.linkOwner, row.linkOwner), 0);
        const std::string refused = row.followed ? "" : "Access to DATA. was denied.";
        EXPECT_EQ(Failure([] { fileio::ReadFile("DATA.", "DATA"); }), refused);
        EXPECT_EQ(Failure([] { Save("DATA"); }), refused);
        EXPECT_EQ(ReadBytes("victim"), row.followed ? kNew : kOld);
        EXPECT_EQ(FolderEntries(dir.Path()), (Strings{"DATA", "victim"}));
    }
}
#else
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
        EXPECT_EQ(FolderEntries(dir.Path()), (Strings{"FILE", "RO"})) << c.message;
        EXPECT_EQ(ReadBytes("RO") + ReadBytes("FILE"), kOld + "x") << c.message;
    }
}

} // namespace
