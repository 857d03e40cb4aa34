#include "archive/archive.h"

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

// Every form a stored string may take reads back as its text, all of it:
// 64-bit lengths, and the wide forms (a 0xFFFE marker, then a length in
// characters) in the code page, where a character outside it is a question
// mark. Malformed ones are the styles file's tests' and the fuzzers'.
TEST(Archive, ReadsEveryStringForm)
{
    const std::pair<Bytes, const char *> cases[] = {
        {{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x02, 0, 0, 0, 0, 0, 0, 0, 'H', 'I'}, "HI"},
        {{0xFF, 0xFE, 0xFF, 0x02, 'H', 0x00, 'I', 0x00}, "HI"},
        {{0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0x01, 0x00, 0x00, 0x00, 'H', 0x00}, "H"},
        {{0xFF, 0xFE, 0xFF, 0x03, 0xE9, 0x00, 0xAC, 0x20, 0x78, 0x01}, "\xE9\x80\x9F"}, // accents and euro
        {{0xFF, 0xFE, 0xFF, 0x02, 0x3B, 0x04, 0x41, 0x00}, "?A"},
    };
    for (const auto &[bytes, text] : cases) {
        CArchive in(bytes);
        EXPECT_EQ(in.ReadString(), text) << bytes.size() << " bytes";
        EXPECT_EQ(in.BytesLeft(), 0u) << bytes.size() << " bytes";
    }
}

} // namespace
