#pragma once

// archive/: the little-endian binary encoding of the settings and styles files.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// The binary encoding of the settings and styles files: little-endian 32-bit
// integers and IEEE floats and length-prefixed 8-bit strings, one after the
// other, with no header, padding or count. A loading archive reads from
// bytes already in memory; a storing archive collects the bytes to write.
// Failures raise CArchiveException.
class CArchive {
public:
    enum Mode { load, store };

    // A loading archive over the given bytes (which must outlive it).
    explicit CArchive(std::span<const std::uint8_t> bytes);
    // An empty storing archive.
    CArchive();

    bool IsLoading() const { return m_mode == load; }
    bool IsStoring() const { return m_mode == store; }

    CArchive &operator<<(std::int32_t value);
    CArchive &operator<<(float value);
    CArchive &operator>>(std::int32_t &value);
    CArchive &operator>>(float &value);

    // 8-bit text with the shortest length prefix that holds its length.
    void WriteString(std::string_view text);
    // Any prefix form, 1-byte or wide (UTF-16LE) text; wide text comes back
    // as the program's 8-bit text (text8.h). A length beyond the bytes left is the end of the file.
    std::string ReadString();

    // What a storing archive has collected.
    const std::vector<std::uint8_t> &StoredBytes() const { return m_stored; }
    // Bytes a loading archive has not read yet.
    std::size_t BytesLeft() const { return m_loaded.size() - m_position; }

private:
    void CheckLoading() const;
    void CheckStoring() const;
    std::span<const std::uint8_t> Take(std::uint64_t count);
    std::uint64_t ReadUnsigned(int byteCount);
    void WriteUnsigned(std::uint64_t value, int byteCount);

    Mode m_mode;
    std::span<const std::uint8_t> m_loaded;
    std::size_t m_position = 0;
    std::vector<std::uint8_t> m_stored;
};
