#include "archive/archive.h"
#include "base/fileerror.h"
#include "styles/styles.h"
#include "styles/textsizelist.h"
#include "tests/support/fakes.h"

#include <bit>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <system_error>

namespace {

namespace fs = std::filesystem;

std::string Float(float value)
{
    const auto bits = std::bit_cast<std::uint32_t>(value);
    return {static_cast<char>(bits), static_cast<char>(bits >> 8), static_cast<char>(bits >> 16),
            static_cast<char>(bits >> 24)};
}

using Strings = std::vector<std::string>;

TEST(TextSizeEntry, FormatAndSplit)
{
    EXPECT_EQ(FormatEntry("BODY", 12.0f), "BODY\t12.00");
    EXPECT_EQ(FormatEntry("", 9.5f), "\t9.50");
    EXPECT_EQ(FormatEntry("X", 12.345f), "X\t12.35");
    EXPECT_EQ(FormatEntry("X", INFINITY), "X\tinf");

    const struct {
        const char *entry;
        const char *name;
        float size;
    } cases[] = {
        {"BODY\t12.00", "BODY", 12.0f},
        {"A\tB\t1.50", "A\tB", 1.5f},
        {"NOTAB", "", 0.0f},
        {"12.5", "", 12.5f},
        {"N\tabc", "N", 0.0f},
        {"N\t-2.25", "N", -2.25f},
        {"N\t12.35", "N", 12.35f},
        {"N\tinf", "N", INFINITY},
    };
    for (const auto &c : cases) {
        const auto split = SplitEntry(c.entry);
        EXPECT_EQ(split.name, c.name) << c.entry;
        EXPECT_EQ(split.size, c.size) << c.entry;
    }
    EXPECT_TRUE(std::isnan(SplitEntry("N\tnan").size));
}

TEST(TextSizeList, KeepsEntriesSortedWithoutRegardToCase)
{
    SortedTextSizeList list;
    list.AddString("BODY\t12.00");
    EXPECT_EQ(list.AddString("annot\t9.50"), 0);
    EXPECT_EQ(list.AddString("Title\t20.00"), 2);
    list.AddStrings({"zeta\t1.00", "BODY\t12.00", "Alpha\t3.00"});
    EXPECT_EQ(AllEntries(list), (Strings{"Alpha\t3.00", "annot\t9.50", "BODY\t12.00", "BODY\t12.00",
                                         "Title\t20.00", "zeta\t1.00"}));
    list.DeleteString(1);
    list.DeleteString(99);
    list.DeleteString(-1);
    EXPECT_EQ(list.GetCount(), 5);
    EXPECT_EQ(list.GetText(0), "Alpha\t3.00");
}

class StylesFileTest : public testing::Test {
protected:
    Strings Load()
    {
        SortedTextSizeList list;
        LoadStyles(list, messages);
        return AllEntries(list);
    }

    TemporaryWorkingDirectory dir;
    RecordingMessageService messages;
};

// A missing file has its own words; one that is there but cannot be read
// is announced with its cause, so that OK never silently replaces entries
// the user was never shown; an empty one loads an empty list without a word.
TEST_F(StylesFileTest, EveryFileThatCannotBeReadIsAnnounced)
{
    EXPECT_TRUE(Load().empty());
    WriteBytes("STYLES", "");
    EXPECT_TRUE(Load().empty());
    fs::remove("STYLES");
    fs::create_directory("STYLES");
    EXPECT_TRUE(Load().empty());
    std::vector<std::string> expected = {"TEXT SIZES file not found", "Access to STYLES. was denied."};
#ifndef _WIN32
    fs::remove("STYLES");
    ASSERT_EQ(::mkfifo("STYLES", 0600), 0);
    EXPECT_TRUE(Load().empty()) << "a FIFO neither blocks nor loads";
    fs::remove("STYLES");
    fs::create_symlink("/dev/zero", "STYLES");
    EXPECT_TRUE(Load().empty());
    expected.insert(expected.end(), 2, "Access to STYLES. was denied.");
#endif
    EXPECT_EQ(messages.Texts(), expected);
    for (const auto &message : messages.messages)
        EXPECT_EQ(message.icon, MsgIcon::Exclamation);
}

TEST(StylesPermissions, AnUnreadableFileIsNeitherLoadedNorReplaced)
{
    PLAXOMET_RUN_UNPRIVILEGED();
    TemporaryWorkingDirectory dir;
    const auto stored = StylesRecord("BODY", 12.0f);
    WriteBytes("STYLES", stored);
    fs::permissions("STYLES", fs::perms::none);
    RecordingMessageService messages;
    SortedTextSizeList list;
    LoadStyles(list, messages);
    EXPECT_EQ(list.GetCount(), 0);
    EXPECT_EQ(messages.Texts(), std::vector<std::string>{"Access to STYLES. was denied."});
    list.AddString("X\t1.00");
    try {
        SaveStyles(list);
        ADD_FAILURE() << "the stored records were replaced";
    } catch (const CFileException &error) {
        EXPECT_STREQ(error.what(), "Access to STYLES. was denied.");
    }
    fs::permissions("STYLES", fs::perms::owner_read);
    EXPECT_EQ(ReadBytes("STYLES"), stored);
}

TEST_F(StylesFileTest, ARecordCutShortEndsTheListQuietly)
{
    const auto whole = StylesRecord("BODY", 12.0f) + StylesRecord("ANNOT", 9.5f);
    const auto third = StylesRecord("TITLE", 20.0f);
    for (std::size_t cut = 0; cut < third.size(); ++cut) {
        WriteBytes("STYLES", whole + third.substr(0, cut));
        EXPECT_EQ(Load(), (Strings{"ANNOT\t9.50", "BODY\t12.00"})) << cut;
    }
    EXPECT_TRUE(messages.messages.empty());
}

TEST_F(StylesFileTest, OversizedNameLengthsEndTheList)
{
    const auto first = StylesRecord("BODY", 12.0f);
    const std::string oversized[] = {
        std::string("\xFF\xFF\xFF\xFF\xFF\xFF\x7F", 7) + "ABC",
        std::string("\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFF\x7F\x00\x00\x00\x00", 15),
        std::string("\xFF\xFF\xFF\xFF\xFF\xFF\xFF\x00\x00\x00\x00\x01\x00\x00\x00", 15),
        std::string("\xFF\xFE\xFF\xFF\xFF\xFF\xFF\xFF\xFF\x7F", 10),
    };
    for (const auto &record : oversized) {
        WriteBytes("STYLES", first + record + StylesRecord("LATER", 1.0f));
        EXPECT_EQ(Load(), Strings{"BODY\t12.00"});
    }
}

TEST_F(StylesFileTest, LongAndAccentedNamesSurviveSaveAndLoad)
{
    SortedTextSizeList list;
    const std::string accented = "\xC9T\xC9 \x80\x9F";
    list.AddString(FormatEntry(accented, 8.0f));
    list.AddString(FormatEntry(std::string(254, 'A'), 1.0f));
    list.AddString(FormatEntry(std::string(255, 'B'), 2.0f));
    SaveStyles(list);
    const auto bytes = ReadBytes("STYLES");
    EXPECT_EQ(bytes.substr(0, 2), "\xFE"
                                  "A");
    EXPECT_EQ(bytes.substr(1 + 254 + 4, 4), std::string("\xFF\xFF\x00"
                                                        "B",
                                                        4));
    EXPECT_EQ(bytes.substr(bytes.size() - 11), "\x06" + accented + Float(8.0f));
    EXPECT_EQ(Load(), AllEntries(list));
}

TEST_F(StylesFileTest, AFailedSaveLeavesTheOldFile)
{
    const auto old = StylesRecord("BODY", 12.0f) + StylesRecord("TITLE", 20.0f);
    WriteBytes("STYLES", old);
    SortedTextSizeList list;
    list.AddString("NEW\t1.00");
    list.AddString("NEWER\t2.00");
    FaultyFiles files;
    files.writeLimit = 5;
    files.error = kDiskFullError;
    fileio::ScopedFileSystem scope(files);
    EXPECT_THROW(SaveStyles(list), CFileException);
    EXPECT_EQ(ReadBytes("STYLES"), old);
}

} // namespace
