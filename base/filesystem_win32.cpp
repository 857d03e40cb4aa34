#include "base/fileerror.h"
#include "base/filesystem.h"
#include "base/text8.h"

#include <windows.h>

namespace fileio {
namespace {

HANDLE AsHandle(FileHandle file)
{
    return reinterpret_cast<HANDLE>(file);
}

// The Win32 file API itself, so every failure carries the system's own error number.
class Win32Files : public FileSystem {
public:
    // Sharing read access, as every reader should: an indexer or a backup
    // reading the file at the same moment then never makes it fail.
    FileHandle OpenForReading(const std::filesystem::path &path) override
    {
        return OnDisk(Open(path, GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING));
    }

    long Read(FileHandle file, void *buffer, std::size_t size) override
    {
        DWORD got = 0;
        if (!::ReadFile(AsHandle(file), buffer, static_cast<DWORD>(size), &got, nullptr))
            return Failed();
        return static_cast<long>(got);
    }

    // The read-only attribute and access rights both refuse a writer: asking
    // for write access, sharing everything, finds either. A program holding
    // the file without sharing answers with a sharing violation.
    bool MayWrite(const std::filesystem::path &path) override
    {
        const DWORD attributes = ::GetFileAttributesW(path.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES &&
            (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) != 0) {
            m_error = ERROR_ACCESS_DENIED;
            return false;
        }
        const FileHandle probe =
            Open(path, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, OPEN_EXISTING);
        if (probe == kNoFile)
            return false;
        ::CloseHandle(AsHandle(probe));
        return true;
    }

    // A new file takes the folder's rights; Replace gives it the replaced
    // file's attributes and access rights, so `like` is not needed here.
    // Written through to the disk, so that it is whole there before it takes the old one's place.
    FileHandle CreateNew(const std::filesystem::path &path, const std::filesystem::path &) override
    {
        return Open(path, GENERIC_WRITE, 0, CREATE_NEW, FILE_FLAG_WRITE_THROUGH);
    }

    FileHandle OpenForRewrite(const std::filesystem::path &path) override
    {
        return Open(path, GENERIC_WRITE, 0, OPEN_EXISTING);
    }

    long Write(FileHandle file, const void *data, std::size_t size) override
    {
        DWORD written = 0;
        if (!::WriteFile(AsHandle(file), data, static_cast<DWORD>(size), &written, nullptr))
            return Failed();
        return static_cast<long>(written);
    }

    bool SetLength(FileHandle file, std::uint64_t size) override
    {
        LARGE_INTEGER end{};
        end.QuadPart = static_cast<LONGLONG>(size);
        return Succeeded(::SetFilePointerEx(AsHandle(file), end, nullptr, FILE_BEGIN)) &&
               Succeeded(::SetEndOfFile(AsHandle(file)));
    }
    bool Flush(FileHandle file) override { return Succeeded(::FlushFileBuffers(AsHandle(file))); }
    bool Close(FileHandle file) override { return Succeeded(::CloseHandle(AsHandle(file))); }

    // Replacing keeps the old file's attributes and access rights. Its
    // partial failures (1176, 1177 in its Return value section) leave nothing
    // under the replaced name and the new file under its own: the caller sees
    // that and moves it in.
    bool Replace(const std::filesystem::path &replacement, const std::filesystem::path &replaced) override
    {
        // ReplaceFileW wants whole paths: Wine refuses a bare name as an invalid folder.
        std::error_code ignored;
        const auto from = std::filesystem::absolute(replacement, ignored);
        const auto to = std::filesystem::absolute(replaced, ignored);
        if (::GetFileAttributesW(to.c_str()) == INVALID_FILE_ATTRIBUTES)
            return Succeeded(
                ::MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH));
        return Succeeded(::ReplaceFileW(to.c_str(), from.c_str(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS,
                                        nullptr, nullptr));
    }

    bool Remove(const std::filesystem::path &path) override { return Succeeded(::DeleteFileW(path.c_str())); }

    bool Exists(const std::filesystem::path &path) override
    {
        return Succeeded(::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES);
    }

    // Opened for no access, which another program's hold never refuses; a
    // folder does not open at all without FILE_FLAG_BACKUP_SEMANTICS.
    bool IsRegularFile(const std::filesystem::path &path) override
    {
        const FileHandle file =
            OnDisk(Open(path, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, OPEN_EXISTING));
        return file != kNoFile && Close(file);
    }

    // Symbolic links on Windows are rare and need a privilege to make; the
    // standard library reads their reparse data.
    std::filesystem::path LinkTarget(const std::filesystem::path &path) override
    {
        std::error_code error;
        if (!std::filesystem::is_symlink(path, error))
            return {};
        auto target = std::filesystem::read_symlink(path, error);
        m_error = static_cast<DWORD>(error.value());
        return error ? std::filesystem::path() : target;
    }

    std::optional<long long> AgeSeconds(const std::filesystem::path &path) override
    {
        WIN32_FILE_ATTRIBUTE_DATA data{};
        if (!Succeeded(::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)))
            return std::nullopt;
        FILETIME now{};
        ::GetSystemTimeAsFileTime(&now);
        const auto ticks = [](FILETIME time) {
            return (static_cast<long long>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
        };
        return (ticks(now) - ticks(data.ftLastWriteTime)) / 10'000'000; // 100 ns ticks
    }

    // Access on Windows is the file's access list, which Replace keeps; no
    // folder guards its links by their owner.
    std::optional<Owner> OwnerOf(const std::filesystem::path &) override { return std::nullopt; }
    long long CurrentUser() override { return 0; }

    // Files are flushed with FlushFileBuffers and moved with MOVEFILE_WRITE_THROUGH: nothing more to do.
    bool FlushFolder(const std::filesystem::path &) override { return true; }

    void Pause(int milliseconds) override { ::Sleep(static_cast<DWORD>(milliseconds)); }
    long LastError() const override { return static_cast<long>(m_error); }

private:
    // Not shared unless asked, with an inheritable handle, as the program has always opened its files.
    FileHandle Open(const std::filesystem::path &path, DWORD access, DWORD share, DWORD disposition,
                    DWORD flags = 0)
    {
        SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
        const HANDLE handle = ::CreateFileW(path.c_str(), access, share, &inherit, disposition,
                                            FILE_ATTRIBUTE_NORMAL | flags, nullptr);
        if (handle == INVALID_HANDLE_VALUE) {
            m_error = ::GetLastError();
            return kNoFile;
        }
        return reinterpret_cast<FileHandle>(handle);
    }
    // Only a file on disk holds data of ours: a device or a pipe could block the program.
    FileHandle OnDisk(FileHandle file)
    {
        if (file != kNoFile && ::GetFileType(AsHandle(file)) != FILE_TYPE_DISK) {
            ::CloseHandle(AsHandle(file));
            m_error = ERROR_ACCESS_DENIED;
            return kNoFile;
        }
        return file;
    }
    long Failed()
    {
        m_error = ::GetLastError();
        return -1;
    }
    bool Succeeded(BOOL result)
    {
        if (!result)
            m_error = ::GetLastError();
        return result != 0;
    }

    DWORD m_error = 0;
};

} // namespace

FileSystem &SystemFiles()
{
    static Win32Files files;
    return files;
}

// ReplaceFileW's "could not remove the replaced file" means another program
// holds it open: the sharing violation it is.
int CauseOf(long error)
{
    return error == ERROR_UNABLE_TO_REMOVE_REPLACED ? CFileException::sharingViolation
                                                    : CFileException::WindowsErrorToCause(error);
}

bool IsNameTaken(long error)
{
    return error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS;
}

bool IsAccessDenied(long error)
{
    return error == ERROR_ACCESS_DENIED;
}

bool IsInterrupted(long)
{
    return false;
}

// A scanner's hold on a fresh file gives access denied or a sharing
// violation; the replaced file held open by another program gives
// ReplaceFileW's ERROR_UNABLE_TO_REMOVE_REPLACED.
bool IsTransient(long error)
{
    return error == ERROR_ACCESS_DENIED || error == ERROR_SHARING_VIOLATION ||
           error == ERROR_UNABLE_TO_REMOVE_REPLACED;
}

std::string PathText(const std::filesystem::path &path)
{
    return text8::FromUtf16(path.u16string());
}

} // namespace fileio
