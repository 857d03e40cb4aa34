#include "base/fileerror.h"
#include "base/filesystem.h"
#include "base/text8.h"

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace fileio {
namespace {

constexpr mode_t kCreateMode = 0666;

class PosixFiles : public FileSystem {
public:
    FileHandle OpenForReading(const std::filesystem::path &path) override
    {
        // Without O_NONBLOCK, opening a FIFO would wait for a writer that never comes.
        const int fd = Opened(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
        if (fd < 0)
            return kNoFile;
        // Only a regular file holds data of ours: a device or a FIFO could
        // block the program or feed it without end.
        struct stat status = {};
        if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
            ::close(fd);
            m_error = EACCES;
            return kNoFile;
        }
        return fd;
    }

    long Read(FileHandle file, void *buffer, std::size_t size) override
    {
        return Counted(::read(static_cast<int>(file), buffer, size));
    }

    // Root may write anything, and a read-only file system refuses everyone.
    bool MayWrite(const std::filesystem::path &path) override
    {
        return Succeeded(::faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS));
    }

    FileHandle CreateNew(const std::filesystem::path &path, const std::filesystem::path &like) override
    {
        struct stat status = {};
        const bool replacing = ::stat(like.c_str(), &status) == 0 && S_ISREG(status.st_mode);
        const mode_t mode = replacing ? status.st_mode & 07777 : kCreateMode;
        const int fd = Opened(::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode));
        // The umask may have narrowed the bits; the replaced file's own come
        // back before any byte is written, so the new file is never wider.
        if (fd >= 0 && replacing)
            ::fchmod(fd, mode);
        return fd;
    }

    FileHandle OpenTruncated(const std::filesystem::path &path) override
    {
        return Opened(::open(path.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC));
    }

    FileHandle CreateOrTruncate(const std::filesystem::path &path) override
    {
        return Opened(::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, kCreateMode));
    }

    long Write(FileHandle file, const void *data, std::size_t size) override
    {
        return Counted(::write(static_cast<int>(file), data, size));
    }

    bool Flush(FileHandle file) override { return Succeeded(::fsync(static_cast<int>(file))); }
    bool Close(FileHandle file) override { return Succeeded(::close(static_cast<int>(file))); }

    // A rename puts the new file in place in one step.
    bool Replace(const std::filesystem::path &replacement, const std::filesystem::path &replaced) override
    {
        return Succeeded(::rename(replacement.c_str(), replaced.c_str()));
    }

    bool Remove(const std::filesystem::path &path) override { return Succeeded(::unlink(path.c_str())); }

    bool Exists(const std::filesystem::path &path) override
    {
        struct stat status = {};
        return Succeeded(::stat(path.c_str(), &status));
    }

    void Pause(int milliseconds) override
    {
        std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
    }
    long LastError() const override { return m_error; }

private:
    int Opened(int fd)
    {
        if (fd < 0)
            m_error = errno;
        return fd;
    }
    long Counted(ssize_t count)
    {
        if (count < 0)
            m_error = errno;
        return static_cast<long>(count);
    }
    bool Succeeded(int result)
    {
        if (result != 0)
            m_error = errno;
        return result == 0;
    }

    int m_error = 0;
};

} // namespace

FileSystem &SystemFiles()
{
    static PosixFiles files;
    return files;
}

int CauseOf(long error)
{
    return CFileException::ErrnoToCause(static_cast<int>(error));
}

bool IsNameTaken(long error)
{
    return error == EEXIST;
}

bool IsAccessDenied(long error)
{
    return error == EACCES || error == EPERM;
}

bool IsInterrupted(long error)
{
    return error == EINTR;
}

bool IsTransient(long)
{
    return false;
}

// File names here are UTF-8.
std::string PathText(const std::filesystem::path &path)
{
    return text8::FromUtf8(path.string());
}

} // namespace fileio
