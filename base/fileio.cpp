#include "base/fileio.h"

#include "base/fileerror.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <fcntl.h>
#include <sys/stat.h>
#include <system_error>

#ifdef _WIN32
#include <io.h>
#include <windows.h>
#define PLAX_READ ::_read
#define PLAX_WRITE ::_write
#define PLAX_CLOSE ::_close
#define PLAX_SYNC ::_commit
#else
#include <unistd.h>
#define PLAX_READ ::read
#define PLAX_WRITE ::write
#define PLAX_CLOSE ::close
#define PLAX_SYNC ::fsync
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

// The operating system's files, each call returning a descriptor or -1 with
// the reason kept for RaiseLastError: the Win32 API's wide-character calls
// on Windows, POSIX elsewhere.
#ifdef _WIN32

DWORD g_lastError = 0;

[[noreturn]] void RaiseLastError(const std::string &name)
{
    throw CFileException(CFileException::WindowsErrorToCause(static_cast<long>(g_lastError)),
                         static_cast<long>(g_lastError), name);
}

bool LastErrorIsAccessDenied()
{
    return g_lastError == ERROR_ACCESS_DENIED;
}

bool LastErrorIsNameTaken()
{
    return g_lastError == ERROR_FILE_EXISTS || g_lastError == ERROR_ALREADY_EXISTS;
}

// Exclusive, with an inheritable handle, as the program has always opened its files.
int Open(const std::filesystem::path &path, DWORD access, DWORD disposition, int flags)
{
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE handle =
        ::CreateFileW(path.c_str(), access, 0, &inherit, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        g_lastError = ::GetLastError();
        return -1;
    }
    if (access == GENERIC_READ && ::GetFileType(handle) != FILE_TYPE_DISK) {
        ::CloseHandle(handle);
        g_lastError = ERROR_ACCESS_DENIED;
        return -1;
    }
    const int fd = ::_open_osfhandle(reinterpret_cast<intptr_t>(handle), flags | _O_BINARY);
    if (fd < 0) {
        ::CloseHandle(handle);
        g_lastError = ERROR_TOO_MANY_OPEN_FILES;
    }
    return fd;
}

int OpenForReading(const std::filesystem::path &path)
{
    return Open(path, GENERIC_READ, OPEN_EXISTING, _O_RDONLY);
}

int CreateExclusive(const std::filesystem::path &path, int)
{
    return Open(path, GENERIC_WRITE, CREATE_NEW, _O_WRONLY);
}

int OpenTruncated(const std::filesystem::path &path)
{
    return Open(path, GENERIC_WRITE, TRUNCATE_EXISTING, _O_WRONLY);
}

int CreateOrTruncate(const std::filesystem::path &path)
{
    return Open(path, GENERIC_WRITE, CREATE_ALWAYS, _O_WRONLY);
}

// The read-only attribute refuses every writer, and a folder is no file to write.
bool Writable(const std::filesystem::path &path)
{
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    g_lastError = ERROR_ACCESS_DENIED;
    return attributes != INVALID_FILE_ATTRIBUTES &&
           (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) == 0;
}

// The new file takes the old one's place; replacing keeps the old one's
// attributes and access rights.
bool MoveOver(const std::filesystem::path &temporary, const std::filesystem::path &target, bool exists)
{
    // ReplaceFileW wants whole paths: Wine refuses a bare name as an invalid folder.
    std::error_code ignored;
    const auto from = std::filesystem::absolute(temporary, ignored),
               to = std::filesystem::absolute(target, ignored);
    const BOOL moved =
        exists ? ::ReplaceFileW(to.c_str(), from.c_str(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr,
                                nullptr)
               : ::MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
    if (!moved)
        g_lastError = ::GetLastError();
    return moved != 0;
}

int CreateModeFor(const std::filesystem::path &)
{
    return kCreateMode;
}

void KeepMode(const std::filesystem::path &, int) {}

#else

int g_lastError = 0;

[[noreturn]] void RaiseLastError(const std::string &name)
{
    RaiseErrno(g_lastError, name);
}

bool LastErrorIsAccessDenied()
{
    return g_lastError == EACCES || g_lastError == EPERM;
}

bool LastErrorIsNameTaken()
{
    return g_lastError == EEXIST;
}

int Open(const std::filesystem::path &path, int flags, int mode = kCreateMode)
{
    const int fd = ::open(path.c_str(), flags | O_CLOEXEC, mode);
    if (fd < 0)
        g_lastError = errno;
    return fd;
}

int OpenForReading(const std::filesystem::path &path)
{
    // Without O_NONBLOCK, opening a FIFO would wait for a writer that never comes.
    const int fd = Open(path, O_RDONLY | O_NONBLOCK);
    if (fd < 0)
        return fd;
    // Only a regular file holds data of ours: a device or a FIFO could block
    // the program or feed it without end.
    struct stat status {};
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        ::close(fd);
        g_lastError = EACCES;
        return -1;
    }
    return fd;
}

int CreateExclusive(const std::filesystem::path &path, int mode)
{
    return Open(path, O_WRONLY | O_CREAT | O_EXCL, mode);
}

int OpenTruncated(const std::filesystem::path &path)
{
    return Open(path, O_WRONLY | O_TRUNC);
}

int CreateOrTruncate(const std::filesystem::path &path)
{
    return Open(path, O_WRONLY | O_CREAT | O_TRUNC);
}

// May this process write to an existing file? Root may write anything, and
// a read-only file system refuses everyone.
bool Writable(const std::filesystem::path &path)
{
    if (::faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) == 0)
        return true;
    g_lastError = errno;
    return false;
}

bool MoveOver(const std::filesystem::path &temporary, const std::filesystem::path &target, bool)
{
    if (::rename(temporary.c_str(), target.c_str()) == 0)
        return true;
    g_lastError = errno;
    return false;
}

// The replaced file's permission bits, or those of a new file.
int CreateModeFor(const std::filesystem::path &target)
{
    struct stat status {};
    if (::stat(target.c_str(), &status) == 0 && S_ISREG(status.st_mode))
        return static_cast<int>(status.st_mode & 07777);
    return kCreateMode;
}

// The umask may have narrowed the mode at creation; the replaced file's own bits come back.
void KeepMode(const std::filesystem::path &path, int mode)
{
    std::error_code ignored;
    std::filesystem::permissions(path, static_cast<std::filesystem::perms>(mode), ignored);
}

#endif

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

// A fresh temporary file beside the target, opened for writing; -1 when none
// can be made. A name left by an earlier crash is passed over.
int CreateTemporaryBeside(const std::filesystem::path &target, int mode, std::filesystem::path &temporary)
{
    for (int attempt = 0; attempt < kTemporaryAttempts; ++attempt) {
        temporary =
            target.parent_path() / ("." + target.filename().string() + ".tmp" + std::to_string(attempt));
        const int fd = CreateExclusive(temporary, mode);
        if (fd >= 0 || !LastErrorIsNameTaken())
            return fd;
    }
    return -1;
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
    const auto text = (ec ? path : absolute).u8string();
    return {text.begin(), text.end()};
}

std::vector<std::uint8_t> ReadFile(const std::string &nameAsPassed, const std::filesystem::path &diskPath,
                                   std::size_t maxBytes)
{
    const int fd = OpenForReading(diskPath);
    if (fd < 0)
        RaiseLastError(nameAsPassed);

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

void ReplaceFileContents(const std::string &nameAsPassed, const std::filesystem::path &diskPath,
                         std::span<const std::uint8_t> bytes)
{
    const auto target = ResolveLinks(diskPath);
    std::error_code ignored;
    const bool exists = std::filesystem::exists(target, ignored);
    // Creating a file the user may not write fails, as it would in place:
    // renaming over it would not ask the file.
    if (exists && !Writable(target))
        RaiseLastError(nameAsPassed);

    const int mode = CreateModeFor(target);
    std::filesystem::path temporary;
    const int fd = CreateTemporaryBeside(target, mode, temporary);
    if (fd < 0) {
        // A folder that takes no new files still lets a writable file be
        // rewritten where it is, though not atomically.
        if (!LastErrorIsAccessDenied() || !exists || !std::filesystem::is_regular_file(target, ignored))
            RaiseLastError(nameAsPassed);
        const int inPlace = OpenTruncated(target);
        if (inPlace < 0)
            RaiseLastError(nameAsPassed);
        WriteSyncClose(inPlace, bytes, FullPath(diskPath));
        return;
    }

    try {
        WriteSyncClose(fd, bytes, FullPath(diskPath));
    } catch (const CFileException &) {
        std::filesystem::remove(temporary, ignored);
        throw;
    }
    KeepMode(temporary, mode);
    if (!MoveOver(temporary, target, exists)) {
        std::filesystem::remove(temporary, ignored);
        RaiseLastError(nameAsPassed);
    }
}

OutputTextFile::OutputTextFile(const std::filesystem::path &diskPath)
    : m_fd(CreateOrTruncate(diskPath)), m_fullPath(FullPath(diskPath))
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
