#include "calc/calculator.h"
#include "calc/settings.h"
#include "tests/support/fakes.h"

#include <bit>
#include <gtest/gtest.h>

namespace {

// Loads a stored file with bytes after the twentieth, then saves: the same
// twenty bytes come back, the rest is neither read nor kept, and the values
// keep every bit. (The defaults' bytes and those of a calculation are the
// scenarios': tests/data holds the latter, spelt out.)
TEST(Settings, LoadThenSaveGivesTheTwentyBytesBack)
{
    TemporaryWorkingDirectory dir;
    RecordingMessageService messages;
    const std::string stored("\x07\0\0\0\x45\x23\xC1\x7F\0\0\0\x80\x01\0\0\0\x9E\x1B\x4A\x3F", 20);
    WriteBytes("SETTINGS", stored + std::string(10000, 'x'));
    CCalculatorValues v;
    v.SetDefaults();
    FaultyFiles files;
    {
        fileio::ScopedFileSystem scope(files);
        LoadSettings(v, messages);
    }
    EXPECT_TRUE(messages.messages.empty());
    EXPECT_EQ(files.reads, std::vector<std::size_t>{20}) << "one read of the twenty bytes";
    EXPECT_EQ(v.m_nUnits, 7);
    EXPECT_EQ(std::bit_cast<std::uint32_t>(v.m_fPageHeight), 0x7FC12345u) << "a NaN keeps its payload";
    EXPECT_EQ(std::bit_cast<std::uint32_t>(v.m_fStaveSize), 0x80000000u);
    EXPECT_EQ(v.m_fStaveWidth, 1e-45f);
    SaveSettings(v);
    EXPECT_EQ(ReadBytes("SETTINGS"), stored);
}

} // namespace
