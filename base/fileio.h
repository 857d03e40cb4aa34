#pragma once

// base/: generic modules every layer may use: the file layer, file errors,
// Windows-1252 text, number text and the message-box service interface.

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
// device) raises access denied, named as passed.
std::vector<std::uint8_t> ReadFile(const std::string &nameAsPassed, const std::filesystem::path &diskPath,
                                   std::size_t maxBytes = SIZE_MAX);

// Replaces a file's content so that it is either wholly the old or wholly
// the new: the bytes go to a temporary file beside it, created with the
// file's owner, group and permissions, which is flushed and put in its
// place, and then the folder is flushed. A symbolic link is followed and its
// target replaced. A file this process may not write raises access denied
// and stays as it was. Where the folder takes no new file, or a new file
// could not keep the owner, but the file itself is writable, it is rewritten
// in place. Another program's brief hold is waited out. A failure leaves no
// temporary file behind, except where it holds the only whole copy of the
// content; one a crash left is removed once it is a minute old.
void ReplaceFileContents(const std::string &nameAsPassed, const std::filesystem::path &diskPath,
                         std::span<const std::uint8_t> bytes);

// A text file created or truncated in place, written piece by piece.
class OutputTextFile {
public:
    // Opening fails quietly: IsOpen() tells.
    explicit OutputTextFile(const std::filesystem::path &diskPath);
    ~OutputTextFile();
    OutputTextFile(const OutputTextFile &) = delete;
    OutputTextFile &operator=(const OutputTextFile &) = delete;

    bool IsOpen() const { return m_file != kNoFile; }
    // A failed or short write raises cause 13 (disk full) with the full path.
    void Write(std::string_view text);
    void Close();

private:
    FileHandle m_file = kNoFile;
    std::string m_fullPath;
};

// Text as the bytes it is made of.
std::span<const std::uint8_t> AsBytes(std::string_view text);

// The absolute form of a path, as messages about reads and writes name it (8-bit text).
std::string FullPath(const std::filesystem::path &path);

} // namespace fileio
