#include "archive/archive.h"
#include "calc/calculator.h"
#include "calc/settings.h"
#include "styles/styles.h"
#include "styles/textsizelist.h"
#include "tests/support/fakes.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

namespace fs = std::filesystem;

using Strings = std::vector<std::string>;

// The entries a load of STYLES gives.
Strings Loaded(RecordingMessageService &messages)
{
    SortedTextSizeList list;
    LoadStyles(list, messages);
    return AllEntries(list);
}

// Neither file may block or fill memory when it is anything but a regular
// file. Each says why it loaded nothing, since Exit and OK would replace what
// the user was never shown: a missing file in words of its own, one cut
// short as read past its end. An empty STYLES is an empty list.
TEST(UnreadableFiles, LoadNothingAndSayWhy)
{
    const Shown settingsCut{"Attempted to access SETTINGS. past its end."},
        stylesCut{"Attempted to access STYLES. past its end."};
    const std::vector<Shown> denied{{"Access to SETTINGS. was denied."}, {"Access to STYLES. was denied."}},
        badPath{{"SETTINGS. contains an incorrect path."}, {"STYLES. contains an incorrect path."}};
    const struct {
        const char *kind;
        void (*make)(const char *file);
        std::vector<Shown> said;
    } rows[] = {
        {"missing", [](const char *) {}, {{"SETTINGS file not found"}, {"TEXT SIZES file not found"}}},
        {"empty", [](const char *f) { WriteBytes(f, ""); }, {settingsCut}},
        {"too short",
         [](const char *f) { WriteBytes(f, std::string(19, '\x7F')); },
         {settingsCut, stylesCut}},
        {"folder", [](const char *f) { fs::create_directory(f); }, denied},
#ifndef _WIN32
        {"FIFO", [](const char *f) { ASSERT_EQ(::mkfifo(f, 0600), 0); }, denied},
        {"link to /dev/zero", [](const char *f) { fs::create_symlink("/dev/zero", f); }, denied},
        {"link to itself", [](const char *f) { fs::create_symlink(f, f); }, badPath},
#endif
    };
    for (const auto &row : rows) {
        TemporaryWorkingDirectory dir;
        row.make("SETTINGS");
        row.make("STYLES");
        RecordingMessageService messages;
        CCalculatorValues loaded;
        loaded.SetDefaults();
        LoadSettings(loaded, messages);
        EXPECT_TRUE(Loaded(messages).empty()) << row.kind;
        EXPECT_EQ(messages.messages, row.said) << row.kind;
        CArchive stored;
        loaded.Serialize(stored);
        EXPECT_EQ(std::string(stored.StoredBytes().begin(), stored.StoredBytes().end()), kDefaultSettings)
            << row.kind;
    }
}

// A record cut short, or one whose name claims more than the file holds,
// ends the list after the whole records before it, and is said; a length no
// writer makes (a 64-bit one past 32 bits) ends it quietly.
TEST(StylesFile, ARecordCutShortEndsTheListAndIsSaid)
{
    const auto third = StylesRecord("TITLE", 20.0f), later = StylesRecord("LATER", 1.0f);
    const Shown cut{"Attempted to access STYLES. past its end."};
    std::vector<std::pair<std::string, std::vector<Shown>>> tails = {
        {std::string("\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFF\x7F\x00\x00\x00\x00", 15) + later, {cut}},
        {std::string("\xFF\xFF\xFF\xFF\xFF\xFF\xFF\x00\x00\x00\x00\x01\x00\x00\x00", 15) + later, {}},
        {std::string("\xFF\xFE\xFF\xFF\xFF\xFF\xFF\xFF\xFF\x7F", 10) + later, {cut}},
    };
    for (std::size_t length = 1; length < third.size(); ++length)
        tails.emplace_back(third.substr(0, length), std::vector{cut});
    for (const auto &[tail, said] : tails) {
        TemporaryWorkingDirectory dir;
        RecordingMessageService messages;
        WriteBytes("STYLES", StylesRecord("BODY", 12.0f) + StylesRecord("ANNOT", 9.5f) + tail);
        EXPECT_EQ(Loaded(messages), (Strings{"ANNOT\t9.50", "BODY\t12.00"})) << tail.size();
        EXPECT_EQ(messages.messages, said) << tail.size();
    }
}

} // namespace
