#include "base/fileerror.h"
#include "calc/settings.h"
#include "styles/styles.h"
#include "styles/textsizelist.h"
#include "tests/support/fakes.h"

#include <bit>
#include <functional>
#include <gtest/gtest.h>

namespace {

// Loads a stored file with bytes after the twentieth, then saves: the same
// twenty bytes come back, the rest is ignored, and the values keep every bit.
// The defaults' bytes are spelt out, so that a slip in the helper that builds
// them cannot hide one in the program.
TEST(Settings, LoadThenSaveGivesTheTwentyBytesBack)
{
    TemporaryWorkingDirectory dir;
    RecordingMessageService messages;
    const std::string stored("\x07\0\0\0\x45\x23\xC1\x7F\0\0\0\x80\x01\0\0\0\x9E\x1B\x4A\x3F", 20);
    WriteBytes("SETTINGS", stored + "junk");
    CCalculatorValues v;
    v.SetDefaults();
    LoadSettings(v, messages);
    EXPECT_TRUE(messages.messages.empty());
    EXPECT_EQ(v.m_nUnits, 7);
    EXPECT_EQ(std::bit_cast<std::uint32_t>(v.m_fPageHeight), 0x7FC12345u) << "a NaN keeps its payload";
    EXPECT_EQ(std::bit_cast<std::uint32_t>(v.m_fStaveSize), 0x80000000u);
    EXPECT_EQ(v.m_fStaveWidth, 1e-45f);
    SaveSettings(v);
    EXPECT_EQ(ReadBytes("SETTINGS"), stored);
    v.SetDefaults();
    SaveSettings(v);
    EXPECT_EQ(ReadBytes("SETTINGS"),
              std::string("\x01\0\0\0\0\0\xC8\x41\xEC\x51\x38\x3F\0\0\x98\x41\0\0\x80\x3F", 20));
}

// Both files are saved whole or not at all: a disk that fills part way leaves the file as it was.
TEST(FailedSave, LeavesTheFileAsItWas)
{
    CCalculatorValues values;
    values.SetDefaults();
    SortedTextSizeList list;
    list.AddStrings({"NEW\t1.00", "NEWER\t2.00"});
    const std::pair<const char *, std::function<void()>> saves[] = {
        {"SETTINGS", [&] { SaveSettings(values); }}, {"STYLES", [&] { SaveStyles(list); }}};
    for (const auto &[file, save] : saves) {
        TemporaryWorkingDirectory dir;
        WriteBytes(file, "the old bytes, longer than the new");
        FaultyFiles files;
        files.writeLimit = 7;
        files.error = kDiskFullError;
        fileio::ScopedFileSystem scope(files);
        EXPECT_THROW(save(), CFileException) << file;
        EXPECT_EQ(ReadBytes(file), "the old bytes, longer than the new") << file;
    }
}

} // namespace
