#include "archive/archive.h"
#include "base/fileerror.h"

#include <cstdint>
#include <gtest/gtest.h>

namespace {

using Bytes = std::vector<std::uint8_t>;

// A string is stored with the shortest length prefix that holds its length,
// and reads back whole.
TEST(Archive, StringLengthPrefixes)
{
    const struct {
        std::size_t length;
        Bytes prefix;
    } cases[] = {
        {0, {0x00}},
        {254, {0xFE}},
        {255, {0xFF, 0xFF, 0x00}},
        {65533, {0xFF, 0xFD, 0xFF}},
        {65534, {0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0x00, 0x00}},
        {70000, {0xFF, 0xFF, 0xFF, 0x70, 0x11, 0x01, 0x00}},
    };
    for (const auto &[length, prefix] : cases) {
        const std::string text(length, 'A');
        CArchive ar;
        ar.WriteString(text);
        Bytes expected = prefix;
        expected.insert(expected.end(), length, 'A');
        EXPECT_EQ(ar.StoredBytes(), expected) << length;
        CArchive in(ar.StoredBytes());
        EXPECT_EQ(in.ReadString(), text) << length;
    }
}

// Every form a stored string may take reads back as its text, all of it;
// a malformed one fails with its cause, without allocating what it claims.
TEST(Archive, ReadsEveryStringFormAndRefusesMalformedOnes)
{
    constexpr int kEnd = CArchiveException::endOfFile, kBad = CArchiveException::genericException;
    const struct {
        Bytes bytes;
        const char *text; // read, or else the failure's cause
        int cause = CArchiveException::none;
    } cases[] = {
        {{0x02, 'H', 'I'}, "HI"},
        {{0xFF, 0x02, 0x00, 'H', 'I'}, "HI"},
        {{0xFF, 0xFF, 0xFF, 0x02, 0x00, 0x00, 0x00, 'H', 'I'}, "HI"},
        {{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x02, 0, 0, 0, 0, 0, 0, 0, 'H', 'I'}, "HI"},
        {{0xFF, 0xFE, 0xFF, 0x02, 'H', 0x00, 'I', 0x00}, "HI"},
        {{0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0x01, 0x00, 0x00, 0x00, 'H', 0x00}, "H"},
        {{0xFF, 0xFE, 0xFF, 0x03, 0xE9, 0x00, 0xAC, 0x20, 0x78, 0x01}, "\xE9\x80\x9F"}, // accents and euro
        {{0xFF, 0xFE, 0xFF, 0x02, 0x3B, 0x04, 0x41, 0x00}, "?A"}, // outside the code page
#ifndef _WIN32
        // Windows' own conversion decides how a surrogate pair reads there.
        {{0xFF, 0xFE, 0xFF, 0x03, 0x3D, 0xD8, 0x00, 0xDE, 0x41, 0x00}, "?A"},
#endif
        {{0x00}, ""},
        {{}, nullptr, kEnd},
        {{0x05, 'A'}, nullptr, kEnd},
        {{0xFF, 0x02}, nullptr, kEnd},
        {{0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0xFF, 0x7F, 'A'}, nullptr, kEnd},
        {{0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0xFF, 0x7F, 'A', 0}, nullptr, kEnd},
        {{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x01, 0, 0, 0, 1, 0, 0, 0}, nullptr, kBad}, // upper half
        {{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0x80, 0, 0, 0, 0}, nullptr, kBad}, // negative
        {{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F, 0, 0, 0, 0}, nullptr, kEnd},
        {{0xFF, 0xFE, 0xFF, 0x02, 'H', 0x00, 'I'}, nullptr, kEnd}, // odd wide bytes
    };
    for (const auto &c : cases) {
        CArchive in(c.bytes);
        try {
            EXPECT_EQ(in.ReadString(), c.text ? c.text : "(a failure)") << c.bytes.size() << " bytes";
            EXPECT_EQ(in.BytesLeft(), 0u) << c.bytes.size() << " bytes";
        } catch (const CArchiveException &error) {
            EXPECT_EQ(error.m_cause, c.cause) << c.bytes.size() << " bytes";
        }
    }
}

} // namespace
