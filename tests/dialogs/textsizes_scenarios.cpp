#include "base/systemerror.h"
#include "dialogs/dataexchange.h"
#include "dialogs/textstylesdlg.h"
#include "res/resource.h"
#include "tests/dialogs/scenario.h"

#include <filesystem>
#include <new>

#include <gtest/gtest.h>

namespace {

namespace fs = std::filesystem;

constexpr int T = IDD_TEXTSTYLES;
constexpr int E = IDD_EDITTEXTSTYLES;
const Shown kSure{"Are you sure?", MsgButtons::YesNo, MsgIcon::Question};
const Shown kNotFound{"TEXT SIZES file not found"};
// The system's words for an invalid index: the C library's, or on Windows
// its message for an invalid parameter ("The parameter is incorrect."; Wine
// says "Invalid parameter.").
#ifdef _WIN32
const Shown kInvalidIndex{SystemErrorText(std::make_error_code(std::errc::invalid_argument)), MsgButtons::OK,
                          MsgIcon::Stop};
#else
const Shown kInvalidIndex{"Invalid argument", MsgButtons::OK, MsgIcon::Stop};
#endif
const std::string kTwo = StylesRecord("BODY", 12.0f) + StylesRecord("ANNOT", 9.5f);
const std::string kFour = StylesRecord("TITLE", 20.0f) + StylesRecord("ANNOT", 9.5f) +
                          StylesRecord("TITLE", 24.0f) + StylesRecord("BODY", 12.0f);

// The edit dialog answered: a name and a size typed, then Enter.
std::vector<Step> NewEntry(const std::string &name, const std::string &size)
{
    return {Click(T, IDC_NEW), Type(E, IDC_ENTRYNAME, name), Type(E, IDC_ENTRYSIZE, size),
            Press(E, Key::Enter)};
}

std::string Repeat(const std::string &text, int times)
{
    std::string repeated;
    while (times-- > 0)
        repeated += text;
    return repeated;
}

class TextSizes : public testing::TestWithParam<Scenario> {};

TEST_P(TextSizes, Plays)
{
    RunScenario(T, GetParam());
}

const Scenario kTextSizesScenarios[] = {
    {.name = "OnAMissingFileEditSaysSoAndDeleteRemovesTheNewEntry",
     .steps =
         Join({{ExpectCentred(T), ExpectList(T, {}, -1, {}), ExpectFocus(T, IDC_NEW), Click(T, IDC_EDIT)},
               NewEntry("body", "11"),
               {ExpectList(T, {"BODY\t11.00"}, 0, {0}), Click(T, IDC_DELETE), ExpectList(T, {}, -1, {}),
                Click(T, IDC_DELETE), Press(T, Key::Escape)}}),
     .messages = {kNotFound, kInvalidIndex, kSure, kSure},
     .after = {{"STYLES", std::nullopt}}},

    // Names sort without regard to case: "beta" before "Zeta", which byte order would swap.
    {.name = "OpensSortedWithTheFirstEntrySelectedAndNewFocused",
     .before = {{"STYLES",
                 StylesRecord("beta", 3.0f) + StylesRecord("Zeta", 1.0f) + StylesRecord("Alpha", 2.0f)}},
     .steps = {ExpectCaption(T, "Text Sizes (in Orvel units)"),
               ExpectList(T, {"Alpha\t2.00", "beta\t3.00", "Zeta\t1.00"}, 0, {0}), ExpectFocus(T, IDC_NEW),
               CloseBox(T)},
     .after = {{"STYLES",
                StylesRecord("beta", 3.0f) + StylesRecord("Zeta", 1.0f) + StylesRecord("Alpha", 2.0f)}}},

    {.name = "NewFilesTheNameUpperCasedACancelledNewSelectsNone",
     .before = {{"STYLES", kTwo}},
     .steps = {Click(T, IDC_NEW), ExpectCaption(E, "New text size (in Orvel units)"), ExpectCentred(E),
               ExpectText(E, IDC_ENTRYNAME, ""), ExpectText(E, IDC_ENTRYSIZE, "0"),
               ExpectFocus(E, IDC_ENTRYNAME), Type(E, IDC_ENTRYNAME, "body"), Type(E, IDC_ENTRYSIZE, "11"),
               Press(E, Key::Enter), ExpectList(T, {"ANNOT\t9.50", "BODY\t11.00", "BODY\t12.00"}, 0, {0}),
               Click(T, IDC_NEW), Press(E, Key::Escape),
               ExpectList(T, {"ANNOT\t9.50", "BODY\t11.00", "BODY\t12.00"}, 0, {}), Click(T, IDOK)},
     .after = {{"STYLES",
                StylesRecord("ANNOT", 9.5f) + StylesRecord("BODY", 11.0f) + StylesRecord("BODY", 12.0f)}}},

    {.name = "EditAndADoubleClickReplaceTheEntryTheUserClicked",
     .before = {{"STYLES", kTwo}},
     .steps = {ClickItem(T, 1), Click(T, IDC_EDIT), ExpectCaption(E, "Edit text size (in Orvel units)"),
               ExpectText(E, IDC_ENTRYNAME, "BODY"), ExpectText(E, IDC_ENTRYSIZE, "12"),
               ExpectSelectedText(E, IDC_ENTRYNAME, "BODY"), Type(E, IDC_ENTRYSIZE, "10.5"),
               Press(E, Key::Enter), ExpectList(T, {"ANNOT\t9.50", "BODY\t10.50"}, 0, {0}),
               DoubleClickItem(T, 0), ExpectText(E, IDC_ENTRYNAME, "ANNOT"), Type(E, IDC_ENTRYNAME, "zz"),
               Press(E, Key::Enter), ExpectList(T, {"BODY\t10.50", "ZZ\t9.50"}, 0, {0}), Click(T, IDOK)},
     .after = {{"STYLES", StylesRecord("BODY", 10.5f) + StylesRecord("ZZ", 9.5f)}}},

    {.name = "TheEditDialogRefusesALongNameThenANonNumber",
     .before = {{"STYLES", StylesRecord("EIGHTEENCHARACTERS", 5.0f)}},
     .steps = {Click(T, IDC_EDIT), ExpectText(E, IDC_ENTRYNAME, "EIGHTEENCHARACTERS"),
               Type(E, IDC_ENTRYSIZE, "x"), Press(E, Key::Enter), ExpectFocus(E, IDC_ENTRYNAME),
               ExpectSelectedText(E, IDC_ENTRYNAME, "EIGHTEENCHARACTERS"), Type(E, IDC_ENTRYNAME, "short"),
               Press(E, Key::Enter), ExpectFocus(E, IDC_ENTRYSIZE), Type(E, IDC_ENTRYSIZE, "9"),
               Press(E, Key::Enter), ExpectList(T, {"SHORT\t9.00"}, 0, {0}), Press(T, Key::Escape)},
     .messages = {{"Enter no more than 17 characters."}, {"Enter a number."}}},

    // Seventeen "é" fit, the eighteenth typed does not; both names are stored
    // as 8-bit text, upper-cased.
    {.name = "AccentedNamesAreStoredAsEightBitTextUpToSeventeen",
     .steps = Join(
         {NewEntry(Repeat("\xC3\xA9", 18), "8"),
          NewEntry("t\xC3\xAAte", "8"),
          {ExpectList(T, {"T\xC3\x8ATE\t8.00", Repeat("\xC3\x89", 17) + "\t8.00"}, 0, {0}), Click(T, IDOK)}}),
     .messages = {kNotFound},
     .after = {{"STYLES", StylesRecord("T\xCATE", 8.0f) + StylesRecord(std::string(17, '\xC9'), 8.0f)}}},

    {.name = "DeleteAsksAndOnlyNoKeepsTheEntry",
     .before = {{"STYLES", kTwo}},
     .answers = {AnswerNo, AnswerYes, AnswerNone},
     .steps = {ClickItem(T, 1), Click(T, IDC_DELETE), ExpectList(T, {"ANNOT\t9.50", "BODY\t12.00"}, 1, {1}),
               Click(T, IDC_DELETE), ExpectList(T, {"ANNOT\t9.50"}, 0, {0}), Click(T, IDC_DELETE),
               ExpectList(T, {}, -1, {}), Click(T, IDOK)},
     .messages = {kSure, kSure, kSure},
     .after = {{"STYLES", ""}}},

    // Delete removes the entry with the focus rectangle, whatever else is selected.
    {.name = "DeleteRemovesTheFocusedEntryAlsoAfterNew",
     .before = {{"STYLES", kFour}},
     .steps = Join({{ClickItem(T, 0), ClickItem(T, 2, true), Click(T, IDC_DELETE),
                     ExpectList(T, {"ANNOT\t9.50", "BODY\t12.00", "TITLE\t24.00"}, 0, {0}), ClickItem(T, 2)},
                    NewEntry("x", "1"),
                    {ExpectList(T, {"ANNOT\t9.50", "BODY\t12.00", "TITLE\t24.00", "X\t1.00"}, 0, {0}),
                     Click(T, IDC_DELETE), ExpectList(T, {"BODY\t12.00", "TITLE\t24.00", "X\t1.00"}, 0, {0}),
                     Press(T, Key::Escape)}}),
     .messages = {kSure, kSure},
     .after = {{"STYLES", kFour}}},

    {.name = "OkRewritesAnUnchangedListSortedAndRounded",
     .before = {{"STYLES", StylesRecord("BODY", 12.345f) + StylesRecord("ANNOT", 9.5f)}},
     .steps = {Click(T, IDOK)},
     .after = {{"STYLES", StylesRecord("ANNOT", 9.5f) + StylesRecord("BODY", 12.35f)}}},

    {.name = "AFailedSaveIsReportedAndTheDialogStaysOpen",
     .steps = {Do(T, [] { fs::create_directory("STYLES"); }), Click(T, IDOK), ExpectFocus(T, IDOK),
               Press(T, Key::Escape)},
     .messages = {kNotFound, {"Access to STYLES. was denied.", MsgButtons::OK, MsgIcon::Stop}}},

    // Enter goes to "New..." while it has the focus; Cancel after changes leaves the file.
    {.name = "TabGoesNewEditDeleteListOkCancel",
     .before = {{"STYLES", kTwo}},
     .steps = Join(
         {{ExpectFocus(T, IDC_NEW)},
          Tabbing(T, Key::Tab, {IDC_EDIT, IDC_DELETE, IDC_STYLESLIST, IDOK, IDCANCEL, IDC_NEW}),
          {Press(T, Key::Enter), ExpectCaption(E, "New text size (in Orvel units)"), Press(E, Key::Escape)},
          NewEntry("new", "1"),
          {Click(T, IDC_DELETE), Click(T, IDCANCEL)}}),
     .messages = {kSure},
     .after = {{"STYLES", kTwo}}},
};

INSTANTIATE_TEST_SUITE_P(Scenario, TextSizes, testing::ValuesIn(kTextSizesScenarios),
                         [](const auto &info) { return std::string(info.param.name); });

// Every entry is shown whole, however wide its name and size: the entries
// run on into further columns, to the right, rather than being cut.
TEST(TextSizesList, ShowsEveryEntryWhole)
{
    TemporaryWorkingDirectory dir;
    std::string records;
    for (int i = 1; i < 40; ++i)
        records += StylesRecord("N" + std::to_string(i), static_cast<float>(i));
    WriteBytes("STYLES", records + StylesRecord("WWWWWWWWWWWWWWWWW", 3.4028235e38f));
    RecordingMessageService messages;
    CTextStylesDlg dlg(Driver().Toolkit(), messages);
    const Step look{T, [](IDialogDriver &d, CDialog &dlg) {
                        for (int i = 0; i < 40; ++i)
                            EXPECT_TRUE(d.ShowsWhole(dlg, IDC_STYLESLIST, i)) << i;
                    }};
    Play(Driver(), dlg, {look, Press(T, Key::Escape)});
}

// An edit dialog whose reading back runs out of memory.
class OutOfMemoryDlg : public CEditTextStylesDlg {
public:
    using CEditTextStylesDlg::CEditTextStylesDlg;

protected:
    void DoDataExchange(CDataExchange *pDX) override
    {
        CEditTextStylesDlg::DoDataExchange(pDX);
        if (pDX->m_bSaveAndValidate)
            throw std::bad_alloc();
    }
};

TEST(OutOfMemory, IsSaidInASystemModalBoxAndTheDialogStaysOpen)
{
    TemporaryWorkingDirectory dir;
    RecordingMessageService messages;
    OutOfMemoryDlg dlg(Driver().Toolkit(), messages);
    EXPECT_EQ(Play(Driver(), dlg, {Press(E, Key::Enter), Press(E, Key::Escape)}), IDCANCEL);
    const Shown outOfMemory{"Out of memory.", MsgButtons::OK, MsgIcon::Exclamation, MsgModality::System};
    EXPECT_EQ(messages.messages, std::vector<Shown>{outOfMemory});
}

TEST(TextSizesPermissions, AnUnreadableStylesFileIsNeverReplaced)
{
    PLAXOMET_RUN_UNPRIVILEGED();
    const Shown denied{"Access to STYLES. was denied."};
    RunScenario(
        T, {.name = "STYLES without access",
            .before = {{"STYLES", kTwo}},
            .prepare = [] { fs::permissions("STYLES", fs::perms::none); },
            .steps = Join({{ExpectList(T, {}, -1, {})},
                           NewEntry("x", "1"),
                           {Click(T, IDOK), Do(T, [] { fs::permissions("STYLES", fs::perms::owner_read); }),
                            Press(T, Key::Escape)}}),
            .messages = {denied, {denied.text, MsgButtons::OK, MsgIcon::Stop}},
            .after = {{"STYLES", kTwo}}});
}

} // namespace
