#include "base/fileio.h"

#include "base/fileerror.h"

#include <algorithm>
#include <cstdint>
#include <functional>
#include <optional>
#include <system_error>
#include <utility>

namespace fileio {
namespace {

FileSystem *g_files = nullptr;

FileSystem &Files()
{
    return g_files ? *g_files : SystemFiles();
}

constexpr int kTemporaryAttempts = 100;
// Another program's hold on a file is usually gone within a second.
constexpr int kHoldAttempts = 6;
constexpr int kHoldPauseMs = 200;
// A temporary file older than this was left by a crash, not by a copy of the program still saving.
constexpr long long kStaleSeconds = 60;
// As many links as the kernel follows in one path (MAXSYMLINKS) before it gives up.
constexpr int kMaxLinkHops = 40;
// The mode bits of a folder anyone may write to but only owners delete from.
constexpr unsigned kStickyBit = 01000;
constexpr unsigned kOthersMayWrite = 0002;

[[noreturn]] void Raise(long error, const std::string &name)
{
    throw CFileException(CauseOf(error), error, name);
}

// Runs `call` again while it fails with another program's brief hold, for about a second.
template <class Call>
bool WaitingOutHolds(Call call)
{
    for (int attempt = 1;; ++attempt) {
        if (call())
            return true;
        if (!IsTransient(Files().LastError()) || attempt == kHoldAttempts)
            return false;
        Files().Pause(kHoldPauseMs);
    }
}

// Closes a file its owner leaves on an error.
class OpenFile {
public:
    explicit OpenFile(FileHandle file) : m_file(file) {}
    ~OpenFile()
    {
        if (m_file != kNoFile)
            Files().Close(m_file);
    }
    OpenFile(const OpenFile &) = delete;
    OpenFile &operator=(const OpenFile &) = delete;

    FileHandle Get() const { return m_file; }
    FileHandle Release() { return std::exchange(m_file, kNoFile); }

private:
    FileHandle m_file;
};

// Whether `action` succeeded; a file error it raises is not passed on.
bool Attempt(const std::function<void()> &action)
{
    try {
        action();
        return true;
    } catch (const CFileException &) {
        return false;
    }
}

// Whether the system itself would follow the link: in a folder anyone may
// write to and only owners delete from (sticky, as /tmp), Linux follows a
// link only for its owner or the folder's (fs.protected_symlinks), so that
// another user cannot point a name there at a file of this user's.
bool MayFollow(const std::filesystem::path &link)
{
    const auto folder = (link.parent_path().empty() ? std::filesystem::path(".") : link.parent_path()) / ".";
    const auto linkOwner = Files().OwnerOf(link);
    const auto folderOwner = Files().OwnerOf(folder);
    if (!linkOwner || !folderOwner)
        return true;
    const bool shared = (folderOwner->mode & kStickyBit) && (folderOwner->mode & kOthersMayWrite);
    return !shared || linkOwner->user == Files().CurrentUser() || linkOwner->user == folderOwner->user;
}

// The file a symbolic link finally points at, so that replacing it keeps the
// link; a link the system would not follow raises access denied.
std::filesystem::path ResolveLinks(std::filesystem::path path, const std::string &nameAsPassed)
{
    for (int hops = 0; hops < kMaxLinkHops; ++hops) {
        const auto target = Files().LinkTarget(path);
        if (target.empty())
            break;
        if (!MayFollow(path))
            throw CFileException(CFileException::accessDenied, 0, nameAsPassed);
        path = target.is_absolute() ? target : path.parent_path() / target;
    }
    return path;
}

void WriteAll(FileHandle file, std::span<const std::uint8_t> bytes, const std::string &fullPath)
{
    while (!bytes.empty()) {
        const long written = Files().Write(file, bytes.data(), bytes.size());
        if (written < 0) {
            if (IsInterrupted(Files().LastError()))
                continue;
            Raise(Files().LastError(), fullPath);
        }
        if (written == 0)
            throw CFileException(CFileException::diskFull, 0, fullPath);
        bytes = bytes.subspan(static_cast<std::size_t>(written));
    }
}

// Writes the bytes from the file's start, ends it there where it had more
// (a new file has none: some file systems refuse to set a length at all),
// flushes and closes it; on failure it is closed all the same and the error
// names its full path.
void WriteFlushClose(FileHandle handle, std::span<const std::uint8_t> bytes, const std::string &fullPath,
                     bool cut)
{
    OpenFile file(handle);
    WriteAll(file.Get(), bytes, fullPath);
    if ((cut && !Files().SetLength(file.Get(), bytes.size())) || !Files().Flush(file.Get()))
        Raise(Files().LastError(), fullPath);
    if (!Files().Close(file.Release()))
        Raise(Files().LastError(), fullPath);
}

std::filesystem::path TemporaryName(const std::filesystem::path &target, int number)
{
    return target.parent_path() / ("." + target.filename().string() + ".tmp" + std::to_string(number));
}

// A temporary file older than a minute was left by a crash: nobody will
// finish it. One dated ahead of the clock (a clock set back) may be anyone's.
bool IsStale(std::optional<long long> ageSeconds)
{
    return ageSeconds && *ageSeconds > kStaleSeconds;
}

// A fresh temporary file beside the target; kNoFile when none can be made.
// A name a running copy of the program holds is passed over; one a crash
// left is taken back.
FileHandle CreateTemporaryBeside(const std::filesystem::path &target, int &number)
{
    for (number = 0; number < kTemporaryAttempts; ++number) {
        const auto temporary = TemporaryName(target, number);
        FileHandle file = Files().CreateNew(temporary, target);
        if (file == kNoFile && IsNameTaken(Files().LastError())) {
            if (!IsStale(Files().AgeSeconds(temporary)) || !Files().Remove(temporary))
                continue;
            file = Files().CreateNew(temporary, target);
            if (file == kNoFile && IsNameTaken(Files().LastError()))
                continue;
        }
        return file;
    }
    return kNoFile;
}

// What crashes left beside the target, up to the first free name.
void RemoveStaleTemporaries(const std::filesystem::path &target, int ours)
{
    for (int number = 0; number < kTemporaryAttempts; ++number) {
        if (number == ours)
            continue;
        const auto temporary = TemporaryName(target, number);
        const auto age = Files().AgeSeconds(temporary);
        if (!age)
            return;
        if (IsStale(age))
            Files().Remove(temporary);
    }
}

// Puts the written temporary file in the target's place, waiting out a
// brief hold on either. A system that moves the old file away first may
// fail half way, with nothing under the target's name: the new file is then
// moved in, and where even that fails it stays under its temporary name,
// since it is the only copy. Any other failure removes it.
void MoveIntoPlace(const std::filesystem::path &temporary, const std::filesystem::path &target, bool existed,
                   const std::string &nameAsPassed)
{
    if (WaitingOutHolds([&] { return Files().Replace(temporary, target); }))
        return;
    const long error = Files().LastError();
    if (existed && !Files().Exists(target)) {
        if (Files().Replace(temporary, target))
            return;
    } else {
        Files().Remove(temporary);
    }
    Raise(error, nameAsPassed);
}

// Rewrites a file where it stands, for a folder that takes no new file or a
// file whose owner a new one could not keep: the new bytes go over the old,
// then the file ends after them. A rewrite that fails part way (a full disk
// at any byte) writes the old bytes back before the failure is reported.
void RewriteInPlace(const std::string &nameAsPassed, const std::filesystem::path &target,
                    std::span<const std::uint8_t> bytes)
{
    const auto old = ReadFile(nameAsPassed, target);
    const auto rewrite = [&](std::span<const std::uint8_t> content) {
        const FileHandle file = Files().OpenForRewrite(target);
        if (file == kNoFile)
            Raise(Files().LastError(), nameAsPassed);
        WriteFlushClose(file, content, FullPath(target), true);
    };
    try {
        rewrite(bytes);
    } catch (const CFileException &) {
        // The first failure is the one to report, whether or not the old bytes went back.
        Attempt([&] { rewrite(old); });
        throw;
    }
}

} // namespace

std::span<const std::uint8_t> AsBytes(std::string_view text)
{
    return {reinterpret_cast<const std::uint8_t *>(text.data()), text.size()};
}

ScopedFileSystem::ScopedFileSystem(FileSystem &files) : m_previous(g_files)
{
    g_files = &files;
}

ScopedFileSystem::~ScopedFileSystem()
{
    g_files = m_previous;
}

std::string FullPath(const std::filesystem::path &path)
{
    std::error_code ec;
    const auto absolute = std::filesystem::absolute(path, ec);
    return PathText(ec ? path : absolute);
}

std::vector<std::uint8_t> ReadFile(const std::string &nameAsPassed, const std::filesystem::path &diskPath,
                                   std::size_t maxBytes)
{
    const auto path = ResolveLinks(diskPath, nameAsPassed);
    FileHandle handle = kNoFile;
    if (!WaitingOutHolds([&] { return (handle = Files().OpenForReading(path)) != kNoFile; }))
        Raise(Files().LastError(), nameAsPassed);
    OpenFile file(handle);

    std::vector<std::uint8_t> bytes;
    std::uint8_t buffer[4096];
    while (bytes.size() < maxBytes) {
        const long got = Files().Read(file.Get(), buffer, std::min(sizeof buffer, maxBytes - bytes.size()));
        if (got < 0) {
            if (IsInterrupted(Files().LastError()))
                continue;
            Raise(Files().LastError(), FullPath(diskPath));
        }
        if (got == 0)
            break;
        bytes.insert(bytes.end(), buffer, buffer + got);
    }
    // What was read is whole; a failing close of a file only read loses nothing.
    Files().Close(file.Release());
    return bytes;
}

FileReplacement::FileReplacement(std::string nameAsPassed, std::filesystem::path diskPath)
    : m_nameAsPassed(std::move(nameAsPassed)), m_diskPath(std::move(diskPath)),
      m_target(ResolveLinks(m_diskPath, m_nameAsPassed)), m_existed(Files().Exists(m_target))
{
    // Renaming over a device or a FIFO would replace it for every program.
    if (m_existed && !Files().IsRegularFile(m_target))
        throw CFileException(CFileException::accessDenied, 0, m_nameAsPassed);
    // Creating a file the user may not write fails, as it would in place:
    // putting another in its place would not ask the file.
    if (m_existed && !WaitingOutHolds([&] { return Files().MayWrite(m_target); }))
        Raise(Files().LastError(), m_nameAsPassed);
    m_temporary = CreateTemporaryBeside(m_target, m_number);
    if (m_temporary == kNoFile) {
        // A folder that takes no new files, or a file whose owner a new one
        // could not keep, still lets a writable file be rewritten where it is.
        const long error = Files().LastError();
        if (!IsAccessDenied(error) || !m_existed)
            Raise(error, m_nameAsPassed);
        m_inPlace = true;
    }
}

FileReplacement::~FileReplacement()
{
    if (m_temporary != kNoFile)
        Files().Close(m_temporary);
    if (m_temporary != kNoFile || m_written)
        Files().Remove(TemporaryName(m_target, m_number));
}

void FileReplacement::Write(std::span<const std::uint8_t> bytes)
{
    if (m_inPlace)
        return RewriteInPlace(m_nameAsPassed, m_target, bytes);
    try {
        WriteFlushClose(std::exchange(m_temporary, kNoFile), bytes, FullPath(m_diskPath), false);
    } catch (const CFileException &) {
        Files().Remove(TemporaryName(m_target, m_number));
        throw;
    }
    m_written = true;
}

void FileReplacement::PutInPlace()
{
    if (!std::exchange(m_written, false))
        return;
    MoveIntoPlace(TemporaryName(m_target, m_number), m_target, m_existed, m_nameAsPassed);
    RemoveStaleTemporaries(m_target, m_number);
    // Makes the rename survive a power cut. Where the flush fails the new
    // file is in place all the same: the values are saved, as far as any
    // program can tell, and saying otherwise would have the user leave them.
    static_cast<void>(Files().FlushFolder(m_target));
}

void ReplaceFileContents(const std::string &nameAsPassed, const std::filesystem::path &diskPath,
                         std::span<const std::uint8_t> bytes)
{
    FileReplacement(nameAsPassed, diskPath).Commit(bytes);
}

} // namespace fileio
