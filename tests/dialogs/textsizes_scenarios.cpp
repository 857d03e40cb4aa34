#include "base/messagebox.h"
#include "dialogs/dataexchange.h"
#include "dialogs/textstylesdlg.h"
#include "res/resource.h"
#include "tests/dialogs/scenario.h"
#include "tests/support/fakes.h"

#include <filesystem>
#include <new>

#ifdef _WIN32
#include <windows.h>
#endif
#include <gtest/gtest.h>

namespace {

namespace fs = std::filesystem;

constexpr int T = IDD_TEXTSTYLES;
constexpr int E = IDD_EDITTEXTSTYLES;
const std::string kSure = "Are you sure?";
// The system's words for an invalid index: Windows' own message for an
// invalid parameter ("The parameter is incorrect." on Windows, "Invalid
// parameter." under Wine), the C library's elsewhere.
#ifdef _WIN32
std::string WindowsMessage(DWORD error)
{
    char text[256] = {};
    ::FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0, text,
                     sizeof text, nullptr);
    std::string message = text;
    message.erase(message.find_last_not_of("\r\n ") + 1);
    return message;
}
const std::string kInvalidIndex = WindowsMessage(ERROR_INVALID_PARAMETER);
#else
const std::string kInvalidIndex = "Invalid argument";
#endif
const std::string kTwo = StylesRecord("BODY", 12.0f) + StylesRecord("ANNOT", 9.5f);
const std::string kFour = StylesRecord("TITLE", 20.0f) + StylesRecord("ANNOT", 9.5f) +
                          StylesRecord("TITLE", 24.0f) + StylesRecord("BODY", 12.0f);
const std::vector<std::string> kTwoLines = {"ANNOT\t9.50", "BODY\t12.00"};

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

std::vector<Step> Join(std::initializer_list<std::vector<Step>> parts)
{
    std::vector<Step> steps;
    for (const auto &part : parts)
        steps.insert(steps.end(), part.begin(), part.end());
    return steps;
}

class TextSizes : public testing::TestWithParam<Scenario> {};

TEST_P(TextSizes, Plays)
{
    RunScenario(GetParam());
}

const Scenario kTextSizesScenarios[] = {
    {"AMissingFileIsReportedAndTheListIsEmpty",
     T,
     {},
     {},
     {ExpectList(T, {}, -1, {}), ExpectFocus(T, IDC_NEW), Press(T, Key::Escape)},
     {"TEXT SIZES file not found"},
     {{"STYLES", std::nullopt}}},

    {"OpensSortedWithTheFirstEntrySelectedAndNewFocused",
     T,
     {{"STYLES", kTwo}},
     {},
     {ExpectCaption(T, "Text Sizes (in Orvel units)"), ExpectList(T, kTwoLines, 0, {0}),
      ExpectFocus(T, IDC_NEW), CloseBox(T)},
     {},
     {{"STYLES", kTwo}}},

    {"TheBulkLoadSortsWithoutRegardToCase",
     T,
     {{"STYLES", StylesRecord("zeta", 1.0f) + StylesRecord("Alpha", 2.0f) + StylesRecord("beta", 3.0f)}},
     {},
     {ExpectList(T, {"Alpha\t2.00", "beta\t3.00", "zeta\t1.00"}, 0, {0}), Press(T, Key::Escape)},
     {},
     {}},

    {"NewUpperCasesTheNameFilesItAndSelectsTheFirstEntry",
     T,
     {{"STYLES", kTwo}},
     {},
     Join(
         {{Click(T, IDC_NEW), ExpectCaption(E, "New text size (in Orvel units)"),
           ExpectText(E, IDC_ENTRYNAME, ""), ExpectText(E, IDC_ENTRYSIZE, "0"), ExpectFocus(E, IDC_ENTRYNAME),
           Type(E, IDC_ENTRYNAME, "body"), Type(E, IDC_ENTRYSIZE, "11"), Press(E, Key::Enter)},
          {ExpectList(T, {"ANNOT\t9.50", "BODY\t11.00", "BODY\t12.00"}, 0, {0}), Click(T, IDOK)}}),
     {},
     {{"STYLES", StylesRecord("ANNOT", 9.5f) + StylesRecord("BODY", 11.0f) + StylesRecord("BODY", 12.0f)}}},

    {"NewCancelledLeavesTheListWithNothingSelected",
     T,
     {{"STYLES", kTwo}},
     {},
     {Click(T, IDC_NEW), Press(E, Key::Escape), ExpectList(T, kTwoLines, 0, {}), Press(T, Key::Escape)},
     {},
     {{"STYLES", kTwo}}},

    {"EditReplacesTheEntryTheUserClicked",
     T,
     {{"STYLES", kTwo}},
     {},
     {ClickItem(T, 1), Click(T, IDC_EDIT), ExpectCaption(E, "Edit text size (in Orvel units)"),
      ExpectText(E, IDC_ENTRYNAME, "BODY"), ExpectText(E, IDC_ENTRYSIZE, "12"),
      ExpectSelectedText(E, IDC_ENTRYNAME, "BODY"), Type(E, IDC_ENTRYSIZE, "10.5"), Press(E, Key::Enter),
      ExpectList(T, {"ANNOT\t9.50", "BODY\t10.50"}, 0, {0}), Click(T, IDOK)},
     {},
     {{"STYLES", StylesRecord("ANNOT", 9.5f) + StylesRecord("BODY", 10.5f)}}},

    {"ADoubleClickEdits",
     T,
     {{"STYLES", kTwo}},
     {},
     {DoubleClickItem(T, 0), ExpectText(E, IDC_ENTRYNAME, "ANNOT"), Type(E, IDC_ENTRYNAME, "zz"),
      Press(E, Key::Enter), ExpectList(T, {"BODY\t12.00", "ZZ\t9.50"}, 0, {0}), Press(T, Key::Escape)},
     {},
     {{"STYLES", kTwo}}},

    {"TheEditDialogRefusesALongNameThenANonNumber",
     T,
     {{"STYLES", StylesRecord("EIGHTEENCHARACTERS", 5.0f)}},
     {},
     {Click(T, IDC_EDIT), ExpectText(E, IDC_ENTRYNAME, "EIGHTEENCHARACTERS"), Type(E, IDC_ENTRYSIZE, "x"),
      Press(E, Key::Enter), ExpectFocus(E, IDC_ENTRYNAME),
      ExpectSelectedText(E, IDC_ENTRYNAME, "EIGHTEENCHARACTERS"), Type(E, IDC_ENTRYNAME, "short"),
      Press(E, Key::Enter), ExpectFocus(E, IDC_ENTRYSIZE), Type(E, IDC_ENTRYSIZE, "9"), Press(E, Key::Enter),
      ExpectList(T, {"SHORT\t9.00"}, 0, {0}), Press(T, Key::Escape)},
     {"Enter no more than 17 characters.", "Enter a number."},
     {}},

    {"SeventeenAccentedLettersFitAndTheEighteenthDoesNot",
     T,
     {},
     {},
     Join({NewEntry(Repeat("\xC3\xA9", 18), "8"), {Click(T, IDOK)}}),
     {"TEXT SIZES file not found"},
     {{"STYLES", StylesRecord(std::string(17, '\xC9'), 8.0f)}}},

    {"DeleteAsksAndOnlyNoKeepsTheEntry",
     T,
     {{"STYLES", kTwo}},
     {AnswerNo, AnswerYes, AnswerNone},
     {ClickItem(T, 1), Click(T, IDC_DELETE), ExpectList(T, kTwoLines, 1, {1}), Click(T, IDC_DELETE),
      ExpectList(T, {"ANNOT\t9.50"}, 0, {0}), Click(T, IDC_DELETE), ExpectList(T, {}, -1, {}),
      Click(T, IDOK)},
     {kSure, kSure, kSure},
     {{"STYLES", ""}}},

    {"DeleteWithSeveralSelectedRemovesOnlyTheFocusedEntry",
     T,
     {{"STYLES", kFour}},
     {},
     {ClickItem(T, 0), ClickItem(T, 2, true), Click(T, IDC_DELETE),
      ExpectList(T, {"ANNOT\t9.50", "BODY\t12.00", "TITLE\t24.00"}, 0, {0}), Press(T, Key::Escape)},
     {kSure},
     {}},

    {"AfterNewDeleteRemovesTheHighlightedEntry",
     T,
     {{"STYLES", kFour}},
     {},
     Join({{ClickItem(T, 3)},
           NewEntry("x", "1"),
           {ExpectList(T, {"ANNOT\t9.50", "BODY\t12.00", "TITLE\t20.00", "TITLE\t24.00", "X\t1.00"}, 0, {0}),
            Click(T, IDC_DELETE),
            ExpectList(T, {"BODY\t12.00", "TITLE\t20.00", "TITLE\t24.00", "X\t1.00"}, 0, {0}),
            Press(T, Key::Escape)}}),
     {kSure},
     {{"STYLES", kFour}}},

    {"OnAnEmptyListEditSaysSoAndDeleteRemovesTheNewEntry",
     T,
     {},
     {},
     Join({{Click(T, IDC_EDIT)},
           NewEntry("body", "11"),
           {ExpectList(T, {"BODY\t11.00"}, 0, {0}), Click(T, IDC_DELETE), ExpectList(T, {}, -1, {}),
            Click(T, IDC_DELETE), Press(T, Key::Escape)}}),
     {"TEXT SIZES file not found", kInvalidIndex, kSure, kSure},
     {{"STYLES", std::nullopt}}},

    {"OkRewritesAnUnchangedListSortedAndRounded",
     T,
     {{"STYLES", StylesRecord("BODY", 12.345f) + StylesRecord("ANNOT", 9.5f)}},
     {},
     {Click(T, IDOK)},
     {},
     {{"STYLES", StylesRecord("ANNOT", 9.5f) + StylesRecord("BODY", 12.35f)}}},

    {"EnterOpensNewWhileItHasTheFocus",
     T,
     {{"STYLES", kTwo}},
     {},
     {ExpectFocus(T, IDC_NEW), Press(T, Key::Enter), ExpectCaption(E, "New text size (in Orvel units)"),
      Press(E, Key::Escape), Press(T, Key::Escape)},
     {},
     {{"STYLES", kTwo}}},

    {"AccentedNamesAreStoredAsEightBitText",
     T,
     {},
     {},
     Join({NewEntry("t\xC3\xAAte", "8"), {ExpectList(T, {"T\xC3\x8ATE\t8.00"}, 0, {0}), Click(T, IDOK)}}),
     {"TEXT SIZES file not found"},
     {{"STYLES", StylesRecord("T\xCATE", 8.0f)}}},

    {"CancelAfterChangesLeavesTheFile",
     T,
     {{"STYLES", kTwo}},
     {},
     Join({NewEntry("new", "1"), {Click(T, IDC_DELETE), Click(T, IDCANCEL)}}),
     {kSure},
     {{"STYLES", kTwo}}},

    {"AFailedSaveIsReportedAndTheDialogStaysOpen",
     T,
     {},
     {},
     {Do(T, "put a folder where STYLES goes", [] { fs::create_directory("STYLES"); }), Click(T, IDOK),
      ExpectFocus(T, IDOK), Press(T, Key::Escape)},
     {"TEXT SIZES file not found", "Access to STYLES. was denied."},
     {}},

    {"TabGoesNewEditDeleteListOkCancel",
     T,
     {{"STYLES", kTwo}},
     {},
     {ExpectFocus(T, IDC_NEW), Press(T, Key::Tab), ExpectFocus(T, IDC_EDIT), Press(T, Key::Tab),
      ExpectFocus(T, IDC_DELETE), Press(T, Key::Tab), ExpectFocus(T, IDC_STYLESLIST), Press(T, Key::Tab),
      ExpectFocus(T, IDOK), Press(T, Key::Tab), ExpectFocus(T, IDCANCEL), Press(T, Key::Tab),
      ExpectFocus(T, IDC_NEW), Press(T, Key::Escape)},
     {},
     {}},
};

INSTANTIATE_TEST_SUITE_P(Scenario, TextSizes, testing::ValuesIn(kTextSizesScenarios),
                         [](const auto &info) { return std::string(info.param.name); });

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
    ASSERT_EQ(messages.messages.size(), 1u);
    EXPECT_EQ(messages.messages[0].text, "Out of memory.");
    EXPECT_EQ(messages.messages[0].icon, MsgIcon::Exclamation);
    EXPECT_EQ(messages.messages[0].modality, MsgModality::System);
}

TEST(TextSizesPermissions, AnUnreadableStylesFileIsNeverReplaced)
{
    PLAXOMET_RUN_UNPRIVILEGED();
    RunScenario({"STYLES without access",
                 T,
                 {{"STYLES", kTwo}},
                 {},
                 Join({{ExpectList(T, {}, -1, {})},
                       NewEntry("x", "1"),
                       {Click(T, IDOK),
                        Do(T, "give STYLES back", [] { fs::permissions("STYLES", fs::perms::owner_read); }),
                        Press(T, Key::Escape)}}),
                 {"Access to STYLES. was denied.", "Access to STYLES. was denied."},
                 {{"STYLES", kTwo}},
                 -1,
                 [] { fs::permissions("STYLES", fs::perms::none); }});
}

} // namespace
