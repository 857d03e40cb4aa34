#include "base/fileio.h"

#include "base/fileerror.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <system_error>

#ifdef _WIN32
#include <io.h>
#define PLAX_OPEN ::_open
#define PLAX_READ ::_read
#define PLAX_WRITE ::_write
#define PLAX_CLOSE ::_close
#define PLAX_SYNC ::_commit
#define O_CLOEXEC 0
#define O_NONBLOCK 0
#define S_ISREG(mode) (((mode)&_S_IFMT) == _S_IFREG)
#else
#include <unistd.h>
#define PLAX_OPEN ::open
#define PLAX_READ ::read
#define PLAX_WRITE ::write
#define PLAX_CLOSE ::close
#define PLAX_SYNC ::fsync
#define O_BINARY 0
#endif

namespace fileio {
namespace {

WriteChannel g_defaultChannel;
WriteChannel *g_channel = &g_defaultChannel;

constexpr int kCreateMode = 0666;
constexpr int kTemporaryAttempts = 100;

[[noreturn]] void RaiseErrno(int error, const std::string &name)
{
    throw CFileException(CFileException::ErrnoToCause(error), error, name);
}

void CloseQuietly(int fd)
{
    const int saved = errno;
    g_channel->Close(fd);
    errno = saved;
}

// The file a symbolic link finally points at, so that replacing it keeps the link.
std::filesystem::path ResolveLinks(std::filesystem::path path)
{
    std::error_code ec;
    for (int hops = 0; hops < 40 && std::filesystem::is_symlink(path, ec); ++hops) {
        const auto target = std::filesystem::read_symlink(path, ec);
        if (ec)
            break;
        path = target.is_absolute() ? target : path.parent_path() / target;
    }
    return path;
}

void WriteAll(int fd, std::span<const std::uint8_t> bytes, const std::string &fullPath)
{
    while (!bytes.empty()) {
        const long written = g_channel->Write(fd, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR)
                continue;
            RaiseErrno(errno, fullPath);
        }
        if (written == 0)
            throw CFileException(CFileException::diskFull, ENOSPC, fullPath);
        bytes = bytes.subspan(static_cast<std::size_t>(written));
    }
}

} // namespace

std::span<const std::uint8_t> AsBytes(std::string_view text)
{
    return {reinterpret_cast<const std::uint8_t *>(text.data()), text.size()};
}

long WriteChannel::Write(int fd, const void *data, std::size_t size)
{
    return static_cast<long>(PLAX_WRITE(fd, data, static_cast<unsigned>(size)));
}

int WriteChannel::Sync(int fd)
{
    return PLAX_SYNC(fd);
}

int WriteChannel::Close(int fd)
{
    return PLAX_CLOSE(fd);
}

ScopedWriteChannel::ScopedWriteChannel(WriteChannel &channel) : m_previous(g_channel)
{
    g_channel = &channel;
}

ScopedWriteChannel::~ScopedWriteChannel()
{
    g_channel = m_previous;
}

std::string FullPath(const std::filesystem::path &path)
{
    std::error_code ec;
    const auto absolute = std::filesystem::absolute(path, ec);
    return (ec ? path : absolute).string();
}

std::vector<std::uint8_t> ReadFile(const std::string &nameAsPassed, const std::filesystem::path &diskPath,
                                   std::size_t maxBytes)
{
    // Without O_NONBLOCK, opening a FIFO would wait for a writer that never comes.
    const int fd = PLAX_OPEN(diskPath.string().c_str(), O_RDONLY | O_BINARY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        RaiseErrno(errno, nameAsPassed);
    // Only a regular file holds data of ours: a device or a FIFO could block
    // the program or feed it without end.
    struct stat status {};
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        PLAX_CLOSE(fd);
        throw CFileException(CFileException::accessDenied, EACCES, nameAsPassed);
    }

    std::vector<std::uint8_t> bytes;
    std::uint8_t buffer[4096];
    while (bytes.size() < maxBytes) {
        const auto got =
            PLAX_READ(fd, buffer, static_cast<unsigned>(std::min(sizeof buffer, maxBytes - bytes.size())));
        if (got < 0) {
            if (errno == EINTR)
                continue;
            const int error = errno;
            PLAX_CLOSE(fd);
            RaiseErrno(error, FullPath(diskPath));
        }
        if (got == 0)
            break;
        bytes.insert(bytes.end(), buffer, buffer + got);
    }
    PLAX_CLOSE(fd);
    return bytes;
}

namespace {

// Writes, syncs and closes an open file; on failure closes it and raises
// the error with the file's full path.
void WriteSyncClose(int fd, std::span<const std::uint8_t> bytes, const std::string &fullPath)
{
    bool open = true;
    try {
        WriteAll(fd, bytes, fullPath);
        if (g_channel->Sync(fd) != 0)
            RaiseErrno(errno, fullPath);
        open = false; // a failed close releases the descriptor all the same
        if (g_channel->Close(fd) != 0)
            RaiseErrno(errno, fullPath);
    } catch (const CFileException &) {
        if (open)
            CloseQuietly(fd);
        throw;
    }
}

// May this process write to an existing file? Root may write anything, and
// a read-only file system refuses everyone.
bool Writable(const std::filesystem::path &path)
{
#ifdef _WIN32
    return ::_access(path.string().c_str(), 2) == 0;
#else
    return ::faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) == 0;
#endif
}

// The target's permission bits, or those of a new file.
int CreateModeFor(const std::filesystem::path &target)
{
    struct stat status {};
    if (::stat(target.string().c_str(), &status) == 0 && S_ISREG(status.st_mode))
        return static_cast<int>(status.st_mode & 07777);
    return kCreateMode;
}

// A fresh temporary file beside the target, opened for writing; -1 with
// errno set when none can be made. A name left by an earlier crash is passed over.
int CreateTemporaryBeside(const std::filesystem::path &target, int mode, std::filesystem::path &temporary)
{
    for (int attempt = 0; attempt < kTemporaryAttempts; ++attempt) {
        temporary =
            target.parent_path() / ("." + target.filename().string() + ".tmp" + std::to_string(attempt));
        const int fd =
            PLAX_OPEN(temporary.string().c_str(), O_WRONLY | O_CREAT | O_EXCL | O_BINARY | O_CLOEXEC, mode);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    errno = EEXIST;
    return -1;
}

} // namespace

void ReplaceFile(const std::string &nameAsPassed, const std::filesystem::path &diskPath,
                 std::span<const std::uint8_t> bytes)
{
    const auto target = ResolveLinks(diskPath);
    std::error_code ignored;
    const bool exists = std::filesystem::exists(target, ignored);
    // Creating a file the user may not write fails, as it would in place:
    // renaming over it would not ask the file.
    if (exists && !Writable(target))
        RaiseErrno(errno, nameAsPassed);

    const int mode = CreateModeFor(target);
    std::filesystem::path temporary;
    const int fd = CreateTemporaryBeside(target, mode, temporary);
    if (fd < 0) {
        const int error = errno;
        // A folder that takes no new files still lets a writable file be
        // rewritten where it is, though not atomically.
        if ((error == EACCES || error == EPERM) && exists &&
            std::filesystem::is_regular_file(target, ignored)) {
            const int inPlace = PLAX_OPEN(target.string().c_str(), O_WRONLY | O_TRUNC | O_BINARY | O_CLOEXEC);
            if (inPlace < 0)
                RaiseErrno(errno, nameAsPassed);
            WriteSyncClose(inPlace, bytes, FullPath(diskPath));
            return;
        }
        RaiseErrno(error, nameAsPassed);
    }

    try {
        WriteSyncClose(fd, bytes, FullPath(diskPath));
    } catch (const CFileException &) {
        std::filesystem::remove(temporary, ignored);
        throw;
    }
    // The umask may have narrowed the mode at creation; the replaced file's own bits are restored.
    std::filesystem::permissions(temporary, static_cast<std::filesystem::perms>(mode), ignored);

    std::error_code renameError;
    std::filesystem::rename(temporary, target, renameError);
    if (renameError) {
        std::filesystem::remove(temporary, ignored);
        RaiseErrno(renameError.value(), nameAsPassed);
    }
}

OutputTextFile::OutputTextFile(const std::filesystem::path &diskPath)
    : m_fd(PLAX_OPEN(diskPath.string().c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_BINARY | O_CLOEXEC,
                     kCreateMode)),
      m_fullPath(FullPath(diskPath))
{}

OutputTextFile::~OutputTextFile()
{
    if (m_fd >= 0)
        g_channel->Close(m_fd);
}

void OutputTextFile::Write(std::string_view text)
{
    try {
        WriteAll(m_fd, AsBytes(text), m_fullPath);
    } catch (const CFileException &error) {
        throw CFileException(CFileException::diskFull, error.m_lOsError, m_fullPath);
    }
}

void OutputTextFile::Close()
{
    const int fd = m_fd;
    m_fd = -1;
    if (g_channel->Close(fd) != 0)
        throw CFileException(CFileException::diskFull, errno, m_fullPath);
}

} // namespace fileio
