#include "base/fileerror.h"
#include "base/filesystem.h"
#include "base/text8.h"

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>
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
        struct stat old = {};
        const bool replacing = ::stat(like.c_str(), &old) == 0 && S_ISREG(old.st_mode);
        const mode_t mode = replacing ? old.st_mode & 07777 : kCreateMode;
        const int fd = Opened(::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode));
        if (fd < 0 || !replacing)
            return fd;
        // The new file takes the old one's owner and group, or at least its
        // group, as careful savers do; one that would not keep both must not
        // take the old one's place, which would disown the file.
        if (::fchown(fd, old.st_uid, old.st_gid) != 0)
            static_cast<void>(::fchown(fd, static_cast<uid_t>(-1), old.st_gid));
        struct stat made = {};
        if (::fstat(fd, &made) != 0 || made.st_uid != old.st_uid || made.st_gid != old.st_gid)
            return Discarded(fd, path, EPERM);
        // An access list on the old file would not come along either.
        if (::getxattr(like.c_str(), "system.posix_acl_access", nullptr, 0) > 0)
            return Discarded(fd, path, EPERM);
        // The umask may have narrowed the bits, and a new owner clears set-id
        // ones: the old file's come back before any byte is written.
        if (::fchmod(fd, mode) != 0)
            return Discarded(fd, path, errno);
        return fd;
    }

    FileHandle OpenForRewrite(const std::filesystem::path &path) override
    {
        return Opened(::open(path.c_str(), O_WRONLY | O_CLOEXEC));
    }

    long Write(FileHandle file, const void *data, std::size_t size) override
    {
        return Counted(::write(static_cast<int>(file), data, size));
    }

    bool SetLength(FileHandle file, std::uint64_t size) override
    {
        return Succeeded(::ftruncate(static_cast<int>(file), static_cast<off_t>(size)));
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

    bool IsRegularFile(const std::filesystem::path &path) override
    {
        struct stat status = {};
        return Succeeded(::stat(path.c_str(), &status)) && S_ISREG(status.st_mode);
    }

    std::filesystem::path LinkTarget(const std::filesystem::path &path) override
    {
        std::string target(4096, '\0');
        const ssize_t length = ::readlink(path.c_str(), target.data(), target.size());
        if (length < 0) {
            m_error = errno;
            return {};
        }
        target.resize(static_cast<std::size_t>(length));
        return target;
    }

    std::optional<long long> AgeSeconds(const std::filesystem::path &path) override
    {
        struct stat status = {};
        if (!Succeeded(::stat(path.c_str(), &status)))
            return std::nullopt;
        return static_cast<long long>(::time(nullptr) - status.st_mtime);
    }

    std::optional<Owner> OwnerOf(const std::filesystem::path &path) override
    {
        struct stat status = {};
        if (!Succeeded(::lstat(path.c_str(), &status)))
            return std::nullopt;
        return Owner{status.st_uid, status.st_mode & 07777};
    }

    // The kernel checks files against the effective user.
    long long CurrentUser() override { return ::geteuid(); }

    // fsync(2): a file's own flush does not make its new directory entry durable.
    bool FlushFolder(const std::filesystem::path &file) override
    {
        const auto folder = file.parent_path().empty() ? std::filesystem::path(".") : file.parent_path();
        const int fd = Opened(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
        if (fd < 0)
            return false;
        // Some file systems cannot flush a folder; they say so with EINVAL.
        const bool flushed = ::fsync(fd) == 0 || errno == EINVAL;
        m_error = flushed ? m_error : errno;
        ::close(fd);
        return flushed;
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
    // A file made and then refused: it goes, and the call fails with `error`.
    FileHandle Discarded(int fd, const std::filesystem::path &path, int error)
    {
        ::close(fd);
        ::unlink(path.c_str());
        m_error = error;
        return kNoFile;
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
