#include "archive/archive.h"

#include "base/fileerror.h"
#include "base/text8.h"

#include <bit>
#include <cstdint>
#include <cstring>

CArchive::CArchive(std::span<const std::uint8_t> bytes) : m_mode(load), m_loaded(bytes) {}

CArchive::CArchive() : m_mode(store) {}

void CArchive::CheckLoading() const
{
    if (!IsLoading())
        throw CArchiveException(CArchiveException::writeOnly);
}

void CArchive::CheckStoring() const
{
    if (!IsStoring())
        throw CArchiveException(CArchiveException::readOnly);
}

std::span<const std::uint8_t> CArchive::Take(std::uint64_t count)
{
    CheckLoading();
    if (count > BytesLeft())
        throw CArchiveException(CArchiveException::endOfFile);
    const auto taken = m_loaded.subspan(m_position, static_cast<std::size_t>(count));
    m_position += taken.size();
    return taken;
}

std::uint64_t CArchive::ReadUnsigned(int byteCount)
{
    const auto bytes = Take(static_cast<std::uint64_t>(byteCount));
    std::uint64_t value = 0;
    for (int i = byteCount - 1; i >= 0; --i)
        value = (value << 8) | bytes[static_cast<std::size_t>(i)];
    return value;
}

void CArchive::WriteUnsigned(std::uint64_t value, int byteCount)
{
    CheckStoring();
    for (int i = 0; i < byteCount; ++i, value >>= 8)
        m_stored.push_back(static_cast<std::uint8_t>(value & 0xFF));
}

CArchive &CArchive::operator<<(std::int32_t value)
{
    WriteUnsigned(static_cast<std::uint32_t>(value), 4);
    return *this;
}

CArchive &CArchive::operator<<(float value)
{
    WriteUnsigned(std::bit_cast<std::uint32_t>(value), 4);
    return *this;
}

CArchive &CArchive::operator>>(std::int32_t &value)
{
    value = static_cast<std::int32_t>(static_cast<std::uint32_t>(ReadUnsigned(4)));
    return *this;
}

CArchive &CArchive::operator>>(float &value)
{
    value = std::bit_cast<float>(static_cast<std::uint32_t>(ReadUnsigned(4)));
    return *this;
}

void CArchive::WriteString(std::string_view text)
{
    const std::uint64_t length = text.size();
    if (length < 0xFF) {
        WriteUnsigned(length, 1);
    } else if (length < 0xFFFE) {
        WriteUnsigned(0xFF, 1);
        WriteUnsigned(length, 2);
    } else if (length < 0xFFFFFFFF) {
        WriteUnsigned(0xFF, 1);
        WriteUnsigned(0xFFFF, 2);
        WriteUnsigned(length, 4);
    } else {
        WriteUnsigned(0xFF, 1);
        WriteUnsigned(0xFFFF, 2);
        WriteUnsigned(0xFFFFFFFF, 4);
        WriteUnsigned(length, 8);
    }
    m_stored.insert(m_stored.end(), text.begin(), text.end());
}

std::string CArchive::ReadString()
{
    bool wide = false;
    std::uint64_t length = ReadUnsigned(1);
    if (length == 0xFF) {
        length = ReadUnsigned(2);
        if (length == 0xFFFE) {
            wide = true;
            length = ReadUnsigned(1);
            if (length == 0xFF)
                length = ReadUnsigned(2);
        }
        if (length == 0xFFFF) {
            length = ReadUnsigned(4);
            if (length == 0xFFFFFFFF) {
                length = ReadUnsigned(8);
                if ((length >> 32) != 0 || (length & 0x80000000u) != 0)
                    throw CArchiveException(CArchiveException::genericException);
            }
        }
    }
    // Take() checks the length against what is left before anything is
    // allocated, so a corrupt length never asks for more than the file holds.
    if (!wide) {
        const auto bytes = Take(length);
        return {reinterpret_cast<const char *>(bytes.data()), bytes.size()};
    }
    const auto bytes = Take(length * 2);
    std::u16string text(bytes.size() / 2, u'\0');
    for (std::size_t i = 0; i < text.size(); ++i)
        text[i] = static_cast<char16_t>(bytes[2 * i] | (bytes[2 * i + 1] << 8));
    return text8::FromUtf16(text);
}
