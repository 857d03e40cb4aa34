#pragma once

#include "base/filesystem.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// The program's only access to files. Failures raise CFileException: a
// failed open names the file as the program passed it, a failed read or
// write names its full path.
namespace fileio {

// The file system every call goes through: the platform's, or one a test
// puts in front of it for the lifetime of this object.
class ScopedFileSystem {
public:
    explicit ScopedFileSystem(FileSystem &files);
    ~ScopedFileSystem();
    ScopedFileSystem(const ScopedFileSystem &) = delete;
    ScopedFileSystem &operator=(const ScopedFileSystem &) = delete;

private:
    FileSystem *m_previous;
};

// The content of a binary file, up to maxBytes, waiting out another
// program's brief hold. Anything but a regular file (a folder, a FIFO, a
// device), and a link FileReplacement would not follow, raise access
// denied, named as passed.
std::vector<std::uint8_t> ReadFile(const std::string &nameAsPassed, const std::filesystem::path &diskPath,
                                   std::size_t maxBytes = SIZE_MAX);

// A file's new content, put in place whole or not at all: the bytes go to
// a temporary file beside it, created with the file's owner, group and
// permissions, which is flushed and renamed over it, and then the folder is
// flushed. A symbolic link is followed and its target replaced, but only
// where the system itself would follow it: in a folder anyone may write to
// and only owners may delete from (sticky, as /tmp), a link that is neither
// this user's nor the folder owner's is refused as access denied. Another
// program's brief hold is waited out. Where the folder takes no new file, or
// a new file could not keep the owner, but the file itself is writable, it
// is rewritten in place. A failure leaves no temporary file behind, except
// where it holds the only whole copy of the content; one a crash left is
// removed once it is a minute old.
class FileReplacement {
public:
    // Makes the temporary file. Raises CFileException named as passed where
    // the file may not be replaced: one this process may not write, a link it
    // must not follow, anything but a regular file (a FIFO, a device, a
    // folder), a folder that takes no new file for a file not yet there.
    FileReplacement(std::string nameAsPassed, std::filesystem::path diskPath);
    // Removes a temporary file that was never put in place.
    ~FileReplacement();
    FileReplacement(const FileReplacement &) = delete;
    FileReplacement &operator=(const FileReplacement &) = delete;

    // Writes the bytes to the temporary file, flushed and closed (or to the
    // file itself, where it is rewritten in place). A failure names the full
    // path, and the file stays as it was.
    void Write(std::span<const std::uint8_t> bytes);
    // Puts the written bytes in the file's place; a failure names the file as
    // passed, and the file stays as it was. A rename that happened stands: a
    // folder that then fails its flush (a stick pulled out) already holds the
    // new file, and the save is not called failed.
    void PutInPlace();
    void Commit(std::span<const std::uint8_t> bytes)
    {
        Write(bytes);
        PutInPlace();
    }

private:
    std::string m_nameAsPassed;
    std::filesystem::path m_diskPath;
    std::filesystem::path m_target;
    bool m_existed = false;
    // A folder that takes no new file: the file is rewritten where it stands.
    bool m_inPlace = false;
    FileHandle m_temporary = kNoFile;
    // Written and closed, waiting for its rename.
    bool m_written = false;
    int m_number = 0;
};

// A file replaced whole with the bytes, as FileReplacement does.
void ReplaceFileContents(const std::string &nameAsPassed, const std::filesystem::path &diskPath,
                         std::span<const std::uint8_t> bytes);

// Text as the bytes it is made of.
std::span<const std::uint8_t> AsBytes(std::string_view text);

// The absolute form of a path, as messages about reads and writes name it (8-bit text).
std::string FullPath(const std::filesystem::path &path);

} // namespace fileio
