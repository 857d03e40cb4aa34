#include "base/cp1252.h"
#include "res/resource.h"
#include "tests/dialogs/scenario.h"

#include <filesystem>

#include <gtest/gtest.h>

namespace {

namespace fs = std::filesystem;

constexpr On T{IDD_TEXTSTYLES};
constexpr On E{IDD_EDITTEXTSTYLES};
constexpr On A{IDD_ABOUTBOX};
// New and Edit are owned by Text Sizes, and so modal to it.
constexpr const char *kTextSizes = "Text Sizes (in Orvel units)";
const Shown kSure{"Are you sure?", MsgButtons::YesNo, MsgIcon::Question};
const Shown kNotFound{"TEXT SIZES file not found"};
const std::string kTwo = StylesRecord("BODY", 12.0f) + StylesRecord("ANNOT", 9.5f);

// The edit dialog answered: a name and a size typed, then Enter.
std::vector<Step> NewEntry(const std::string &name, const std::string &size)
{
    return {T.Click(IDC_NEW), E.Type(IDC_ENTRYNAME, name), E.Type(IDC_ENTRYSIZE, size), E.Press(Key::Enter)};
}

// Forty entries, the last as wide as a name and a size can be.
const std::string kForty = [] {
    std::string records = StylesRecord("WWWWWWWWWWWWWWWWW", 3.4028235e38f);
    for (int i = 1; i < 40; ++i)
        records += StylesRecord("N" + std::to_string(i), static_cast<float>(i));
    return records;
}();

class TextSizes : public testing::TestWithParam<Scenario> {};

TEST_P(TextSizes, Plays)
{
    RunScenario(T, GetParam());
}

const Scenario kTextSizesScenarios[] = {
    // Delete asks, and only Yes removes the entry; a save that fails is said, and the dialog stays open.
    {.name = "OnAMissingFileDeleteAsksAndOnlyYesRemovesAndAFailedSaveIsSaid",
     .answers = {AnswerOK, AnswerNo},
     .steps = Join({{T.ExpectList({}, -1, {}), T.ExpectFocus(IDC_NEW)},
                    NewEntry("body", "11"),
                    {T.Click(IDC_DELETE), T.ExpectList({"BODY\t11.00"}, 0, {0}), T.Click(IDC_DELETE),
                     T.ExpectList({}, -1, {}), T.Do([] { fs::create_directory("STYLES"); }), T.Click(IDOK),
                     T.ExpectFocus(IDOK), T.Press(Key::Escape)}}),
     .messages = {kNotFound, kSure, kSure, {"Access to STYLES. was denied.", MsgButtons::OK, MsgIcon::Stop}}},

    // Edit replaces the entry with the focus; a name too long is refused before
    // a size that is no number. A name is all before its entry's last TAB.
    {.name = "EditReplacesTheFocusedEntryAndRefusesALongNameThenANonNumber",
     .before = {{"STYLES", StylesRecord("EIGHTEENCHARACTERS", 5.0f) + StylesRecord("Z\tZ", 2.0f)}},
     .steps = {T.Click(IDC_EDIT), E.ExpectCaption("Edit text size (in Orvel units)"),
               E.ExpectOwner(kTextSizes), E.ExpectText(IDC_ENTRYNAME, "EIGHTEENCHARACTERS"),
               E.ExpectText(IDC_ENTRYSIZE, "5"), E.Type(IDC_ENTRYSIZE, "x"), E.Press(Key::Enter),
               E.ExpectFocus(IDC_ENTRYNAME), E.Type(IDC_ENTRYNAME, "short"), E.Press(Key::Enter),
               E.ExpectFocus(IDC_ENTRYSIZE), E.Type(IDC_ENTRYSIZE, "10,5"), E.Press(Key::Enter),
               T.ExpectList({"SHORT\t10.50", "Z\tZ\t2.00"}, 0, {0}), T.Click(IDOK)},
     .messages = {{"Enter no more than 17 characters."}, {"Enter a number."}},
     .after = {{"STYLES", StylesRecord("SHORT", 10.5f) + StylesRecord("Z\tZ", 2.0f)}}},

    // Seventeen "é" fit, the eighteenth typed does not; both names are stored
    // as 8-bit text (Windows-1252 here, the system's code page on Windows),
    // upper-cased as it does it: ÿ and š have capitals there, ß, µ, ÷ and €
    // none; a letter it lacks (ж) is a question mark.
    {.name = "AccentedNamesAreStoredAsEightBitTextUpToSeventeen",
     .steps = Join({NewEntry(cp1252::ToUtf8(std::string(18, '\xE9')), "8"),
                    NewEntry(cp1252::ToUtf8("t\xEAte\xFF\x9A\xDF\xB5\xF7\x80") + "\xD0\xB6", "8"),
                    {T.ExpectList({cp1252::ToUtf8("T\xCATE\x9F\x8A\xDF\xB5\xF7\x80?\t8.00"),
                                   cp1252::ToUtf8(std::string(17, '\xC9')) + "\t8.00"},
                                  0, {0}),
                     T.Click(IDOK)}}),
     .messages = {kNotFound},
     .after = {{"STYLES", StylesRecord("T\xCATE\x9F\x8A\xDF\xB5\xF7\x80?", 8.0f) +
                              StylesRecord(std::string(17, '\xC9'), 8.0f)}}},

    // Enter goes to "New..." while it has the focus; Cancel after changes leaves the file.
    // F1 opens the About box once, over the dialog it was pressed in.
    {.name = "TabGoesNewEditDeleteListOkCancelAndF1OpensAbout",
     .before = {{"STYLES", kTwo}},
     .steps =
         Join({{T.ExpectFocus(IDC_NEW)},
               T.Tabbing(Key::Tab, {IDC_EDIT, IDC_DELETE, IDC_STYLESLIST, IDOK, IDCANCEL, IDC_NEW}),
               {T.Press(Key::Enter), E.ExpectCaption("New text size (in Orvel units)"), E.Press(Key::F1),
                A.ExpectOwner("New text size (in Orvel units)"), A.Press(Key::Enter), E.Press(Key::Escape),
                T.Press(Key::F1), A.ExpectOwner(kTextSizes), A.Press(Key::Enter), T.ExpectFocus(IDC_NEW)},
               NewEntry("new", "1"),
               {T.Click(IDC_DELETE), T.Click(IDCANCEL)}}),
     .messages = {kSure},
     .after = {{"STYLES", kTwo}}},

    // However wide its name and size, every entry is shown whole: the entries
    // run on into further columns, to the right, rather than being cut.
    {.name = "ShowsEveryEntryWhole",
     .before = {{"STYLES", kForty}},
     .steps = {T.Then([](IDialogDriver &d, CDialog &dlg) {
                   for (int i = 0; i < 40; ++i)
                       EXPECT_TRUE(d.ShowsWhole(dlg, IDC_STYLESLIST, i)) << i;
               }),
               T.Press(Key::Escape)}},
};

INSTANTIATE_TEST_SUITE_P(Scenario, TextSizes, testing::ValuesIn(kTextSizesScenarios),
                         [](const auto &info) { return std::string(info.param.name); });

} // namespace
