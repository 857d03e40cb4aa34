#include "archive/archive.h"
#include "base/fileerror.h"
#include "calc/calculator.h"
#include "calc/settings.h"
#include "styles/styles.h"
#include "styles/textsizelist.h"
#include "tests/support/fakes.h"

#include <bit>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <tuple>

namespace {

namespace fs = std::filesystem;

// The defaults' bytes spelt out, so that a slip in the helper that builds them cannot hide one in the
// program.
const std::string kDefaultBytes("\x01\x00\x00\x00\x00\x00\xC8\x41\xEC\x51\x38\x3F\x00\x00\x98\x41"
                                "\x00\x00\x80\x3F",
                                20);

CCalculatorValues Defaults()
{
    CCalculatorValues v;
    v.SetDefaults();
    return v;
}

// Loads a stored file with bytes after the twentieth, then saves: the same
// twenty bytes come back, the rest is ignored, and the values keep every bit.
TEST(Settings, LoadThenSaveGivesTheTwentyBytesBack)
{
    TemporaryWorkingDirectory dir;
    RecordingMessageService messages;
    const std::string stored(
        "\x07\x00\x00\x00\x45\x23\xC1\x7F\x00\x00\x00\x80\x01\x00\x00\x00\x9E\x1B\x4A\x3F", 20);
    WriteBytes("SETTINGS", stored + "junk");
    auto v = Defaults();
    LoadSettings(v, messages);
    EXPECT_TRUE(messages.messages.empty());
    EXPECT_EQ(v.m_nUnits, 7);
    EXPECT_EQ(std::bit_cast<std::uint32_t>(v.m_fPageHeight), 0x7FC12345u) << "a NaN keeps its payload";
    EXPECT_EQ(std::bit_cast<std::uint32_t>(v.m_fStaveSize), 0x80000000u);
    EXPECT_EQ(v.m_fStaveWidth, 1e-45f);
    SaveSettings(v);
    EXPECT_EQ(ReadBytes("SETTINGS"), stored);
    auto defaults = Defaults();
    SaveSettings(defaults);
    EXPECT_EQ(ReadBytes("SETTINGS"), kDefaultBytes);
}

// Both files are saved whole or not at all: a disk that fills part way leaves the file as it was.
TEST(FailedSave, LeavesTheFileAsItWas)
{
    const std::tuple<const char *, std::string, void (*)()> rows[] = {
        {"SETTINGS", kDefaultBytes,
         [] {
             auto v = Defaults();
             v.m_fStaveWidth = 3.0f;
             SaveSettings(v);
         }},
        {"STYLES", StylesRecord("BODY", 12.0f) + StylesRecord("TITLE", 20.0f),
         [] {
             SortedTextSizeList list;
             list.AddStrings({"NEW\t1.00", "NEWER\t2.00"});
             SaveStyles(list);
         }},
    };
    for (const auto &[file, old, save] : rows) {
        TemporaryWorkingDirectory dir;
        WriteBytes(file, old);
        FaultyFiles files;
        files.writeLimit = 7;
        files.error = kDiskFullError;
        fileio::ScopedFileSystem scope(files);
        EXPECT_THROW(save(), CFileException) << file;
        EXPECT_EQ(ReadBytes(file), old);
    }
}

} // namespace
