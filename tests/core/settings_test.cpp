#include "base/fileerror.h"
#include "calc/calculator.h"
#include "calc/settings.h"
#include "tests/support/fakes.h"

#include <bit>
#include <cerrno>
#include <cstdint>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

namespace fs = std::filesystem;

// The defaults' bytes spelt out, so that a slip in the helper that builds them cannot hide one in the
// program.
const std::string kDefaultBytes("\x01\x00\x00\x00\x00\x00\xC8\x41\xEC\x51\x38\x3F\x00\x00\x98\x41"
                                "\x00\x00\x80\x3F",
                                20);

class SettingsTest : public testing::Test {
protected:
    CCalculatorValues Defaults()
    {
        CCalculatorValues v;
        v.SetDefaults();
        return v;
    }

    TemporaryWorkingDirectory dir;
    RecordingMessageService messages;
};

bool SameBits(const CCalculatorValues &a, const CCalculatorValues &b)
{
    return ValueBits(a) == ValueBits(b);
}

// Loads a stored file with bytes after the twentieth, then saves: the same
// twenty bytes come back, the rest is ignored, and the values keep every bit.
TEST_F(SettingsTest, LoadThenSaveGivesTheTwentyBytesBack)
{
    const std::string stored = std::string("\x07\x00\x00\x00\x45\x23\xC1\x7F\x00\x00\x00\x80"
                                           "\x01\x00\x00\x00\x9E\x1B\x4A\x3F",
                                           20);
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

// Each makes SETTINGS something no value can be read from, without blocking
// or filling memory.
const std::pair<const char *, void (*)()> kUnreadableSettings[] = {
    {"folder", [] { fs::create_directory("SETTINGS"); }},
#ifndef _WIN32
    {"FIFO", [] { ASSERT_EQ(::mkfifo("SETTINGS", 0600), 0); }},
    {"link to /dev/zero", [] { fs::create_symlink("/dev/zero", "SETTINGS"); }},
    {"link to a link to itself", [] { fs::create_symlink("SETTINGS", "SETTINGS"); }},
#endif
};

TEST_F(SettingsTest, AnythingButARegularFileLoadsTheDefaultsSilently)
{
    for (const auto &[kind, make] : kUnreadableSettings) {
        TemporaryWorkingDirectory here;
        make();
        auto v = Defaults();
        LoadSettings(v, messages);
        EXPECT_TRUE(SameBits(v, Defaults())) << kind;
    }
    EXPECT_TRUE(messages.messages.empty());
}

TEST(SettingsPermissions, UnreadableLoadsTheDefaultsReadOnlyIsNotReplaced)
{
    PLAXOMET_RUN_UNPRIVILEGED();
    TemporaryWorkingDirectory dir;
    WriteBytes("SETTINGS", kDefaultBytes);
    RecordingMessageService messages;
    for (const auto mode : {fs::perms::none, fs::perms::owner_read}) {
        fs::permissions("SETTINGS", mode);
        CCalculatorValues v;
        LoadSettings(v, messages);
        EXPECT_EQ(v.m_nUnits, mode == fs::perms::none ? unitsNone : unitsCentimetres);
        v.m_nUnits = unitsInches;
        try {
            SaveSettings(v);
            ADD_FAILURE() << "saved over a file of mode " << static_cast<int>(mode);
        } catch (const CFileException &error) {
            EXPECT_STREQ(error.what(), "Access to SETTINGS. was denied.");
        }
        fs::permissions("SETTINGS", fs::perms::owner_read);
        EXPECT_EQ(ReadBytes("SETTINGS"), kDefaultBytes);
    }
    EXPECT_TRUE(messages.messages.empty());
}

TEST_F(SettingsTest, AFailedSaveKeepsTheSavedValues)
{
    WriteBytes("SETTINGS", kDefaultBytes);
    FaultyFiles files;
    files.writeLimit = 7;
    files.error = kDiskFullError;
    fileio::ScopedFileSystem scope(files);
    auto v = Defaults();
    v.m_fStaveWidth = 3.0f;
    try {
        SaveSettings(v);
        ADD_FAILURE();
    } catch (const CFileException &error) {
        EXPECT_STREQ(error.what(),
                     ("Disk full while accessing " + (dir.Path() / "SETTINGS").string() + ".").c_str());
    }
    EXPECT_EQ(ReadBytes("SETTINGS"), kDefaultBytes);
}

} // namespace
