#include "base/cp1252.h"
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

constexpr On T{IDD_TEXTSTYLES};
constexpr On E{IDD_EDITTEXTSTYLES};
constexpr On A{IDD_ABOUTBOX};
// New and Edit are owned by Text Sizes, and so modal to it.
constexpr const char *kTextSizes = "Text Sizes (in Orvel units)";
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
    {.name = "OnAMissingFileEditSaysSoAndDeleteRemovesTheNewEntry",
     .steps = Join({{T.ExpectCentred(), T.ExpectList({}, -1, {}), T.ExpectFocus(IDC_NEW), T.Click(IDC_EDIT)},
                    NewEntry("body", "11"),
                    {T.ExpectList({"BODY\t11.00"}, 0, {0}), T.Click(IDC_DELETE), T.ExpectList({}, -1, {}),
                     T.Click(IDC_DELETE), T.Press(Key::Escape)}}),
     .messages = {kNotFound, kInvalidIndex, kSure, kSure},
     .after = {{"STYLES", std::nullopt}}},

    // Names sort without regard to case: "beta" before "Zeta", which byte order would swap.
    {.name = "OpensSortedWithTheFirstEntrySelectedAndNewFocused",
     .before = {{"STYLES",
                 StylesRecord("beta", 3.0f) + StylesRecord("Zeta", 1.0f) + StylesRecord("Alpha", 2.0f)}},
     .steps = {T.ExpectList({"Alpha\t2.00", "beta\t3.00", "Zeta\t1.00"}, 0, {0}), T.ExpectFocus(IDC_NEW),
               T.CloseBox()},
     .after = {{"STYLES",
                StylesRecord("beta", 3.0f) + StylesRecord("Zeta", 1.0f) + StylesRecord("Alpha", 2.0f)}}},

    {.name = "NewFilesTheNameUpperCasedACancelledNewSelectsNone",
     .before = {{"STYLES", kTwo}},
     .steps = {T.Click(IDC_NEW), E.ExpectCaption("New text size (in Orvel units)"),
               E.ExpectCentred(kTextSizes), E.ExpectText(IDC_ENTRYNAME, ""), E.ExpectText(IDC_ENTRYSIZE, "0"),
               E.ExpectFocus(IDC_ENTRYNAME), E.Type(IDC_ENTRYNAME, "body"), E.Type(IDC_ENTRYSIZE, "11"),
               E.Press(Key::Enter), T.ExpectList({"ANNOT\t9.50", "BODY\t11.00", "BODY\t12.00"}, 0, {0}),
               T.Click(IDC_NEW), E.Press(Key::Escape),
               T.ExpectList({"ANNOT\t9.50", "BODY\t11.00", "BODY\t12.00"}, 0, {}), T.Click(IDOK)},
     .after = {{"STYLES",
                StylesRecord("ANNOT", 9.5f) + StylesRecord("BODY", 11.0f) + StylesRecord("BODY", 12.0f)}}},

    {.name = "EditAndADoubleClickReplaceTheEntryTheUserClicked",
     .before = {{"STYLES", kTwo}},
     .steps = {T.ClickItem(1), T.Click(IDC_EDIT), E.ExpectCaption("Edit text size (in Orvel units)"),
               E.ExpectCentred(kTextSizes), E.ExpectText(IDC_ENTRYNAME, "BODY"),
               E.ExpectText(IDC_ENTRYSIZE, "12"), E.ExpectSelectedText(IDC_ENTRYNAME, "BODY"),
               E.Type(IDC_ENTRYSIZE, "10,5"), E.Press(Key::Enter),
               T.ExpectList({"ANNOT\t9.50", "BODY\t10.50"}, 0, {0}), T.ClickItem(0, ItemClick::Double),
               E.ExpectText(IDC_ENTRYNAME, "ANNOT"), E.Type(IDC_ENTRYNAME, "zz"), E.Press(Key::Enter),
               T.ExpectList({"BODY\t10.50", "ZZ\t9.50"}, 0, {0}), T.Click(IDOK)},
     .after = {{"STYLES", StylesRecord("BODY", 10.5f) + StylesRecord("ZZ", 9.5f)}}},

    {.name = "TheEditDialogRefusesALongNameThenANonNumber",
     .before = {{"STYLES", StylesRecord("EIGHTEENCHARACTERS", 5.0f)}},
     .steps = {T.Click(IDC_EDIT), E.ExpectText(IDC_ENTRYNAME, "EIGHTEENCHARACTERS"),
               E.Type(IDC_ENTRYSIZE, "x"), E.Press(Key::Enter), E.ExpectFocus(IDC_ENTRYNAME),
               E.ExpectSelectedText(IDC_ENTRYNAME, "EIGHTEENCHARACTERS"), E.Type(IDC_ENTRYNAME, "short"),
               E.Press(Key::Enter), E.ExpectFocus(IDC_ENTRYSIZE), E.Type(IDC_ENTRYSIZE, "9"),
               E.Press(Key::Enter), T.ExpectList({"SHORT\t9.00"}, 0, {0}), T.Press(Key::Escape)},
     .messages = {{"Enter no more than 17 characters."}, {"Enter a number."}}},

    // Seventeen "é" fit, the eighteenth typed does not; both names are stored
    // as 8-bit text, upper-cased.
    {.name = "AccentedNamesAreStoredAsEightBitTextUpToSeventeen",
     .steps = Join(
         {NewEntry(cp1252::ToUtf8(std::string(18, '\xE9')), "8"),
          NewEntry("t\xC3\xAAte", "8"),
          {T.ExpectList({"T\xC3\x8ATE\t8.00", cp1252::ToUtf8(std::string(17, '\xC9')) + "\t8.00"}, 0, {0}),
           T.Click(IDOK)}}),
     .messages = {kNotFound},
     .after = {{"STYLES", StylesRecord("T\xCATE", 8.0f) + StylesRecord(std::string(17, '\xC9'), 8.0f)}}},

    // A question no box could show (no answer) deletes nothing.
    {.name = "DeleteAsksAndOnlyYesRemovesTheEntry",
     .before = {{"STYLES", kTwo}},
     .answers = {AnswerNo, AnswerYes, AnswerNone, AnswerYes},
     .steps = {T.ClickItem(1), T.Click(IDC_DELETE), T.ExpectList({"ANNOT\t9.50", "BODY\t12.00"}, 1, {1}),
               T.Click(IDC_DELETE), T.ExpectList({"ANNOT\t9.50"}, 0, {0}), T.Click(IDC_DELETE),
               T.ExpectList({"ANNOT\t9.50"}, 0, {0}), T.Click(IDC_DELETE), T.ExpectList({}, -1, {}),
               T.Click(IDOK)},
     .messages = {kSure, kSure, kSure, kSure},
     .after = {{"STYLES", ""}}},

    // Delete removes the entry with the focus rectangle, whatever else is selected.
    {.name = "DeleteRemovesTheFocusedEntryAlsoAfterNew",
     .before = {{"STYLES", kFour}},
     .steps = Join({{T.ClickItem(0), T.ClickItem(2, ItemClick::WithControl), T.Click(IDC_DELETE),
                     T.ExpectList({"ANNOT\t9.50", "BODY\t12.00", "TITLE\t24.00"}, 0, {0}), T.ClickItem(2)},
                    NewEntry("x", "1"),
                    {T.ExpectList({"ANNOT\t9.50", "BODY\t12.00", "TITLE\t24.00", "X\t1.00"}, 0, {0}),
                     T.Click(IDC_DELETE), T.ExpectList({"BODY\t12.00", "TITLE\t24.00", "X\t1.00"}, 0, {0}),
                     T.Press(Key::Escape)}}),
     .messages = {kSure, kSure},
     .after = {{"STYLES", kFour}}},

    {.name = "OkRewritesAnUnchangedListSortedAndRounded",
     .before = {{"STYLES", StylesRecord("BODY", 12.345f) + StylesRecord("ANNOT", 9.5f)}},
     .steps = {T.Click(IDOK)},
     .after = {{"STYLES", StylesRecord("ANNOT", 9.5f) + StylesRecord("BODY", 12.35f)}}},

    {.name = "AFailedSaveIsReportedAndTheDialogStaysOpen",
     .steps = {T.Do([] { fs::create_directory("STYLES"); }), T.Click(IDOK), T.ExpectFocus(IDOK),
               T.Press(Key::Escape)},
     .messages = {kNotFound, {"Access to STYLES. was denied.", MsgButtons::OK, MsgIcon::Stop}}},

    // Enter goes to "New..." while it has the focus; Cancel after changes leaves the file.
    // F1 opens the About box once, over the dialog it was pressed in.
    {.name = "TabGoesNewEditDeleteListOkCancelAndF1OpensAbout",
     .before = {{"STYLES", kTwo}},
     .steps =
         Join({{T.ExpectFocus(IDC_NEW)},
               T.Tabbing(Key::Tab, {IDC_EDIT, IDC_DELETE, IDC_STYLESLIST, IDOK, IDCANCEL, IDC_NEW}),
               {T.Press(Key::Enter), E.ExpectCaption("New text size (in Orvel units)"), E.Press(Key::F1),
                A.ExpectCentred("New text size (in Orvel units)"), A.Press(Key::Enter), E.Press(Key::Escape),
                T.Press(Key::F1), A.ExpectCentred(kTextSizes), A.Press(Key::Enter), T.ExpectFocus(IDC_NEW)},
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

// An edit dialog whose reading back runs out of memory.
struct OutOfMemoryDlg : CEditTextStylesDlg {
    using CEditTextStylesDlg::CEditTextStylesDlg;
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
    EXPECT_EQ(Play(Driver(), dlg, {E.Press(Key::Enter), E.Press(Key::Escape)}), IDCANCEL);
    const Shown outOfMemory{"Out of memory.", MsgButtons::OK, MsgIcon::Exclamation, MsgModality::System};
    EXPECT_EQ(messages.messages, std::vector<Shown>{outOfMemory});
}

} // namespace
