#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

// The operating system's files as the file layer uses them: one seam for
// both platforms, through which every call of a load or a save goes, so that
// tests can fail or stop any of them. Each platform implements it in a file
// of its own (filesystem_posix.cpp, filesystem_win32.cpp). Only path
// arithmetic stays outside: the full path a message names
// (std::filesystem::absolute), which asks no file anything.
namespace fileio {

// An open file: a POSIX descriptor or a Windows HANDLE.
using FileHandle = std::intptr_t;
inline constexpr FileHandle kNoFile = -1;

// A failed call returns kNoFile, -1 or false and leaves its error number,
// errno or a Windows error, for LastError().
class FileSystem {
public:
    virtual ~FileSystem() = default;

    // An existing regular file, shared with other readers only; anything
    // else is refused as access denied.
    virtual FileHandle OpenForReading(const std::filesystem::path &path) = 0;
    // Bytes read, 0 at the end, -1 on failure.
    virtual long Read(FileHandle file, void *buffer, std::size_t size) = 0;
    // Whether this process may replace the content of an existing file.
    virtual bool MayWrite(const std::filesystem::path &path) = 0;
    // A file that must not exist yet. POSIX gives it the owner, group and
    // permissions of `like` where that exists, and where those cannot all be
    // kept (or `like` has an access list) makes no file and fails as access
    // denied. Windows ignores `like`: the new file takes the folder's rights,
    // and Replace then gives it the replaced file's.
    virtual FileHandle CreateNew(const std::filesystem::path &path, const std::filesystem::path &like) = 0;
    // An existing file, for writing from its start; nothing is cut yet.
    virtual FileHandle OpenForRewrite(const std::filesystem::path &path) = 0;
    // Bytes written, -1 on failure.
    virtual long Write(FileHandle file, const void *data, std::size_t size) = 0;
    // Ends the file after `size` bytes.
    virtual bool SetLength(FileHandle file, std::uint64_t size) = 0;
    virtual bool Flush(FileHandle file) = 0;
    // The handle is released even when closing reports a failure.
    virtual bool Close(FileHandle file) = 0;
    // Puts `replacement` in the place of `replaced`, which may or may not
    // exist. A system that moves the old file away first may fail half way,
    // leaving nothing under `replaced` and the new file under its own name.
    virtual bool Replace(const std::filesystem::path &replacement, const std::filesystem::path &replaced) = 0;
    virtual bool Remove(const std::filesystem::path &path) = 0;
    virtual bool Exists(const std::filesystem::path &path) = 0;
    // An existing regular file, symbolic links followed: no folder, device or FIFO.
    virtual bool IsRegularFile(const std::filesystem::path &path) = 0;
    // What the symbolic link `path` points at, as the link says it; empty
    // where `path` is no symbolic link.
    virtual std::filesystem::path LinkTarget(const std::filesystem::path &path) = 0;
    // Seconds since the file was last written (negative for a time ahead of
    // the clock); nothing where there is no such file.
    virtual std::optional<long long> AgeSeconds(const std::filesystem::path &path) = 0;
    // Who owns `path` itself (a symbolic link is not followed) and its POSIX
    // mode bits; nothing where there is no such file, or on a system whose
    // files have no such owners (Windows).
    struct Owner {
        long long user = 0;
        unsigned mode = 0;
    };
    virtual std::optional<Owner> OwnerOf(const std::filesystem::path &path) = 0;
    // The user this process acts as on its files.
    virtual long long CurrentUser() = 0;
    // Makes a rename in the file's folder survive a power cut, where the
    // system asks for that (POSIX: the folder is flushed).
    virtual bool FlushFolder(const std::filesystem::path &file) = 0;
    virtual void Pause(int milliseconds) = 0;
    virtual long LastError() const = 0;
};

// The platform's own.
FileSystem &SystemFiles();

// What a platform error number means to the program.
int CauseOf(long error);
bool IsNameTaken(long error);
bool IsAccessDenied(long error);
bool IsInterrupted(long error);
// Another program's brief hold on a file (a virus scanner, the search
// indexer, a sync client), which is usually gone within moments.
bool IsTransient(long error);

// A path as 8-bit text, for messages: the system's ANSI code page on
// Windows, Windows-1252 elsewhere.
std::string PathText(const std::filesystem::path &path);

} // namespace fileio
