#include "calc/fileio.h"

#include "calc/fileerror.h"

#include <atomic>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <system_error>

#ifdef _WIN32
#include <io.h>
#include <process.h>
#define PLAX_OPEN ::_open
#define PLAX_READ ::_read
#define PLAX_WRITE ::_write
#define PLAX_CLOSE ::_close
#define PLAX_SYNC ::_commit
#define PLAX_GETPID ::_getpid
#define O_CLOEXEC 0
#else
#include <unistd.h>
#define PLAX_OPEN ::open
#define PLAX_READ ::read
#define PLAX_WRITE ::write
#define PLAX_CLOSE ::close
#define PLAX_SYNC ::fsync
#define PLAX_GETPID ::getpid
#define O_BINARY 0
#endif

namespace fileio {
namespace {

WriteChannel g_defaultChannel;
WriteChannel *g_channel = &g_defaultChannel;

constexpr int kCreateMode = 0666;

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

std::filesystem::path TemporaryNameBeside(const std::filesystem::path &target)
{
    static std::atomic<unsigned> counter{0};
    auto name = target.filename().string();
    name = "." + name + ".tmp" + std::to_string(PLAX_GETPID()) + "-" + std::to_string(counter++);
    return target.parent_path() / name;
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

std::vector<std::uint8_t> ReadFile(const std::string &nameAsPassed, const std::filesystem::path &diskPath)
{
    const int fd = PLAX_OPEN(diskPath.string().c_str(), O_RDONLY | O_BINARY | O_CLOEXEC);
    if (fd < 0)
        RaiseErrno(errno, nameAsPassed);

    std::vector<std::uint8_t> bytes;
    std::uint8_t buffer[4096];
    for (;;) {
        const auto got = PLAX_READ(fd, buffer, sizeof buffer);
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

void ReplaceFile(const std::string &nameAsPassed, const std::filesystem::path &diskPath,
                 std::span<const std::uint8_t> bytes)
{
    const auto target = ResolveLinks(diskPath);
    const auto temporary = TemporaryNameBeside(target);
    const int fd = PLAX_OPEN(temporary.string().c_str(), O_WRONLY | O_CREAT | O_EXCL | O_BINARY | O_CLOEXEC,
                             kCreateMode);
    if (fd < 0)
        RaiseErrno(errno, nameAsPassed);

    std::error_code ignored;
    bool open = true;
    try {
        const auto fullPath = FullPath(diskPath);
        WriteAll(fd, bytes, fullPath);
        if (g_channel->Sync(fd) != 0)
            RaiseErrno(errno, fullPath);
        open = false; // a failed close releases the descriptor all the same
        if (g_channel->Close(fd) != 0)
            RaiseErrno(errno, fullPath);
    } catch (const CFileException &) {
        if (open)
            CloseQuietly(fd);
        std::filesystem::remove(temporary, ignored);
        throw;
    }

    // Keep the permissions a user gave the file being replaced.
    const auto status = std::filesystem::status(target, ignored);
    if (!ignored && std::filesystem::is_regular_file(status))
        std::filesystem::permissions(temporary, status.permissions(), ignored);

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
