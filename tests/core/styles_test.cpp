#include "styles/styles.h"
#include "styles/textsizelist.h"
#include "tests/support/fakes.h"

#include <cmath>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

namespace fs = std::filesystem;

using Strings = std::vector<std::string>;

// An entry's name is everything before its last TAB, its size the number that leads what follows.
TEST(TextSizeEntry, SplitsAtTheLastTab)
{
    const struct {
        const char *entry;
        const char *name;
        float size;
    } rows[] = {
        {"BODY\t12.00", "BODY", 12.0f},
        {"A\tB\t1.50", "A\tB", 1.5f},
        {"NOTAB", "", 0.0f},
        {"12.5", "", 12.5f},
        {"N\tabc", "N", 0.0f},
        {"N\t-2.25", "N", -2.25f},
        {"N\tinf", "N", INFINITY},
    };
    for (const auto &row : rows) {
        EXPECT_EQ(SplitEntry(row.entry).name, row.name) << row.entry;
        EXPECT_EQ(SplitEntry(row.entry).size, row.size) << row.entry;
    }
    EXPECT_EQ(FormatEntry("X", -INFINITY), "X\t-inf");
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
    const Shown denied{"Access to STYLES. was denied."};
    std::vector<Shown> expected = {{"TEXT SIZES file not found"}, denied};
#ifndef _WIN32
    fs::remove("STYLES");
    ASSERT_EQ(::mkfifo("STYLES", 0600), 0);
    EXPECT_TRUE(Load().empty()) << "a FIFO neither blocks nor loads";
    fs::remove("STYLES");
    fs::create_symlink("/dev/zero", "STYLES");
    EXPECT_TRUE(Load().empty());
    expected.insert(expected.end(), 2, denied);
#endif
    EXPECT_EQ(messages.messages, expected);
}

// A record cut short, or one whose name claims more than any file holds,
// ends the list quietly after the whole records before it.
TEST_F(StylesFileTest, AMalformedRecordEndsTheListQuietly)
{
    const auto third = StylesRecord("TITLE", 20.0f), later = StylesRecord("LATER", 1.0f);
    std::vector<std::string> tails = {
        std::string("\xFF\xFF\xFF\xFF\xFF\xFF\x7F", 7) + "ABC" + later,
        std::string("\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFF\x7F\x00\x00\x00\x00", 15) + later,
        std::string("\xFF\xFF\xFF\xFF\xFF\xFF\xFF\x00\x00\x00\x00\x01\x00\x00\x00", 15) + later,
        std::string("\xFF\xFE\xFF\xFF\xFF\xFF\xFF\xFF\xFF\x7F", 10) + later,
    };
    for (std::size_t cut = 1; cut < third.size(); ++cut)
        tails.push_back(third.substr(0, cut));
    for (const auto &tail : tails) {
        WriteBytes("STYLES", StylesRecord("BODY", 12.0f) + StylesRecord("ANNOT", 9.5f) + tail);
        EXPECT_EQ(Load(), (Strings{"ANNOT\t9.50", "BODY\t12.00"})) << tail.size();
    }
    EXPECT_TRUE(messages.messages.empty());
}

} // namespace
