#include "archive/archive.h"
#include "base/fileerror.h"

#include <cmath>
#include <cstdint>
#include <gtest/gtest.h>

namespace {

using Bytes = std::vector<std::uint8_t>;

// A string is stored with the shortest length prefix that holds its length,
// and reads back whole.
TEST(Archive, StringLengthPrefixes)
{
    const std::pair<std::size_t, Bytes> cases[] = {
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

// Every form a stored string may take, with the text it reads as or the
// error it raises; a malformed one fails without allocating what it claims.
TEST(Archive, ReadsEveryStringFormAndRefusesMalformedOnes)
{
    constexpr int kReads = -1;
    const struct {
        const char *name;
        Bytes bytes;
        std::string text;
        int cause; // kReads: reads as `text`
    } cases[] = {
        {"one byte", {0x02, 'H', 'I'}, "HI", kReads},
        {"16-bit", {0xFF, 0x02, 0x00, 'H', 'I'}, "HI", kReads},
        {"32-bit", {0xFF, 0xFF, 0xFF, 0x02, 0x00, 0x00, 0x00, 'H', 'I'}, "HI", kReads},
        {"64-bit",
         {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x02, 0, 0, 0, 0, 0, 0, 0, 'H', 'I'},
         "HI",
         kReads},
        {"wide", {0xFF, 0xFE, 0xFF, 0x02, 'H', 0x00, 'I', 0x00}, "HI", kReads},
        {"wide 32-bit", {0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0x01, 0x00, 0x00, 0x00, 'H', 0x00}, "H", kReads},
        {"wide accents and euro",
         {0xFF, 0xFE, 0xFF, 0x03, 0xE9, 0x00, 0xAC, 0x20, 0x78, 0x01},
         "\xE9\x80\x9F",
         kReads},
        {"wide outside code page", {0xFF, 0xFE, 0xFF, 0x02, 0x3B, 0x04, 0x41, 0x00}, "?A", kReads},
#ifndef _WIN32
        // Windows' own conversion decides how a surrogate pair reads there.
        {"wide surrogate pair", {0xFF, 0xFE, 0xFF, 0x03, 0x3D, 0xD8, 0x00, 0xDE, 0x41, 0x00}, "?A", kReads},
#endif
        {"empty", {0x00}, "", kReads},
        {"nothing", {}, "", CArchiveException::endOfFile},
        {"short text", {0x05, 'A'}, "", CArchiveException::endOfFile},
        {"short prefix", {0xFF, 0x02}, "", CArchiveException::endOfFile},
        {"huge 32-bit", {0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0xFF, 0x7F, 'A'}, "", CArchiveException::endOfFile},
        {"huge 31-bit wide",
         {0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0xFF, 0x7F, 'A', 0},
         "",
         CArchiveException::endOfFile},
        {"64-bit upper half",
         {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x01, 0, 0, 0, 1, 0, 0, 0},
         "",
         CArchiveException::genericException},
        {"64-bit negative",
         {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0x80, 0, 0, 0, 0},
         "",
         CArchiveException::genericException},
        {"64-bit too long",
         {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F, 0, 0, 0, 0},
         "",
         CArchiveException::endOfFile},
        {"odd wide bytes", {0xFF, 0xFE, 0xFF, 0x02, 'H', 0x00, 'I'}, "", CArchiveException::endOfFile},
    };
    for (const auto &c : cases) {
        CArchive in(c.bytes);
        try {
            EXPECT_EQ(in.ReadString(), c.text) << c.name;
            EXPECT_EQ(c.cause, kReads) << c.name << ": no error";
            EXPECT_EQ(in.BytesLeft(), 0u) << c.name;
        } catch (const CArchiveException &error) {
            EXPECT_EQ(error.m_cause, c.cause) << c.name;
            EXPECT_TRUE(error.m_strFileName.empty());
        }
    }
}

} // namespace
