#pragma once

// base/: generic modules every layer may use: the file layer, file errors,
// Windows-1252 text, number text and the message-box service interface.

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

// Where every byte written to a file goes; tests install one that fails.
class WriteChannel {
public:
    virtual ~WriteChannel() = default;
    // Bytes written, or -1 with errno set.
    virtual long Write(int fd, const void *data, std::size_t size);
    // 0, or -1 with errno set.
    virtual int Sync(int fd);
    virtual int Close(int fd);
};

// Installs a channel for the lifetime of this object (tests only).
class ScopedWriteChannel {
public:
    explicit ScopedWriteChannel(WriteChannel &channel);
    ~ScopedWriteChannel();
    ScopedWriteChannel(const ScopedWriteChannel &) = delete;
    ScopedWriteChannel &operator=(const ScopedWriteChannel &) = delete;

private:
    WriteChannel *m_previous;
};

// The content of a binary file, up to maxBytes. Anything but a regular file
// (a folder, a FIFO, a device) raises access denied, named as passed.
std::vector<std::uint8_t> ReadFile(const std::string &nameAsPassed, const std::filesystem::path &diskPath,
                                   std::size_t maxBytes = SIZE_MAX);

// Replaces a file's content so that it is either wholly the old or wholly
// the new: the bytes go to a temporary file beside it, created with the
// file's permissions, which is synced and then renamed over it. A symbolic
// link is followed and its target replaced. A file this process may not
// write raises access denied and stays as it was. Where the folder takes no
// new file but the file itself is writable, it is rewritten in place.
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

    bool IsOpen() const { return m_fd >= 0; }
    // A failed or short write raises cause 13 (disk full) with the full path.
    void Write(std::string_view text);
    void Close();

private:
    int m_fd = -1;
    std::string m_fullPath;
};

// Text as the bytes it is made of.
std::span<const std::uint8_t> AsBytes(std::string_view text);

// The absolute form of a path, as messages about reads and writes name it.
std::string FullPath(const std::filesystem::path &path);

} // namespace fileio
