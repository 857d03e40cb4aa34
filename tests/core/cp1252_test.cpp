#include "base/cp1252.h"
#include "base/text8.h"

#include <gtest/gtest.h>

namespace {

TEST(Cp1252, ConvertsToAndFromUnicode)
{
    const std::pair<const char *, const char *> cases[] = {{"caf\xC3\xA9", "caf\xE9"},
                                                           {"\xE2\x82\xAC 5", "\x80 5"},
                                                           {"\xC5\xB8\xC3\xBF", "\x9F\xFF"},
                                                           {"\xE2\x80\x9Cq\xE2\x80\x9D", "\x93q\x94"}};
    for (const auto &[utf8, bytes] : cases) {
        EXPECT_EQ(cp1252::FromUtf8(utf8), bytes) << utf8;
        EXPECT_EQ(cp1252::ToUtf8(bytes), utf8) << utf8;
    }
    std::string all;
    for (int b = 0; b < 256; ++b)
        all += static_cast<char>(b);
    EXPECT_EQ(cp1252::FromUtf8(cp1252::ToUtf8(all)), all) << "every byte survives a round trip";
}

// Cyrillic, a note symbol and broken UTF-8 have no place in the code page.
TEST(Cp1252, UnrepresentableCharactersBecomeQuestionMarks)
{
    EXPECT_EQ(cp1252::FromUtf8("\xD0\x96x\xF0\x9F\x8E\xB5!a\xFF"
                               "b\xC3"),
              "?x?!a?b?");
    EXPECT_EQ(cp1252::FromUtf16(u"\u0416\U0001F3B5\u00E9"), "??\xE9");
    EXPECT_EQ(cp1252::FromUtf16(std::u16string(1, char16_t{0xD800})), "?");
}

TEST(Cp1252, UpperCaseAndOrderIgnoringIt)
{
    EXPECT_EQ(cp1252::ToUpper("body 9\xE9\xFF\xDF\xB5\x9A\x9C\x9E\xF7"),
              "BODY 9\xC9\x9F\xDF\xB5\x8A\x8C\x8E\xF7");
    EXPECT_TRUE(text8::LessNoCase("annot", "BODY"));
    EXPECT_TRUE(text8::LessNoCase("BODY", "body")) << "ties fall back to the bytes";
    EXPECT_FALSE(text8::LessNoCase("body", "BODY"));
    EXPECT_FALSE(text8::LessNoCase("X", "X"));
    EXPECT_TRUE(text8::LessNoCase("AB", "abc"));
    EXPECT_TRUE(text8::LessNoCase("\xE9ta", "\xC9TZ")) << "accented letters fold too";
}

} // namespace
