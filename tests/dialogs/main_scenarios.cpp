#include "calc/calculator.h"
#include "calc/report.h"
#include "dialogs/dialog.h"
#include "res/resource.h"
#include "tests/dialogs/scenario.h"
#include "tests/support/fakes.h"

#include <cmath>
#include <cstdint>
#include <filesystem>
#include <gtest/gtest.h>
#include <limits>

namespace {

namespace fs = std::filesystem;

constexpr int M = IDD_PLAXOMET_DIALOG;
constexpr int A = IDD_ABOUTBOX;
const std::string kEnterANumber = "Enter a number.";
const std::string kReport = "PlaxometReport.txt";
constexpr float kInf = std::numeric_limits<float>::infinity();
constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();

// The report of a calculation on the typed values.
std::string ReportOf(std::int32_t units, float width, float size, float height, float printSize = 1.0f)
{
    return ReportFileText(Calculated(units, width, size, height, printSize));
}

float PrintSize(float width, float defaultWidth)
{
    return static_cast<float>(static_cast<double>(width) / defaultWidth);
}

class Main : public testing::TestWithParam<Scenario> {};

TEST_P(Main, Plays)
{
    RunScenario(GetParam());
}

const Scenario kMainScenarios[] = {
    {"FirstRunSaysSoAndShowsTheDefaults",
     M,
     {},
     {},
     {ExpectText(M, IDC_STAVEWIDTH, "19"), ExpectText(M, IDC_STAVESIZE, "0.72"),
      ExpectText(M, IDC_PAGEHEIGHT, "25"), ExpectChecks(M, false, true),
      ExpectText(M, IDC_STAVEWIDTHUNITS, "cm"), ExpectText(M, IDC_PAGEHEIGHTUNITS, "cm"),
      ExpectFocus(M, IDC_STAVEWIDTH), ExpectSelectedText(M, IDC_STAVEWIDTH, "19"), Press(M, Key::Escape)},
     {"SETTINGS file not found"},
     {{"SETTINGS", kDefaultSettings}, {kReport, std::nullopt}},
     0},

    {"EnterCalculatesTwiceAlikeAndExitSavesWhatWasTyped",
     M,
     {{"SETTINGS", kDefaultSettings}},
     {},
     {Type(M, IDC_STAVEWIDTH, "15"), Press(M, Key::Enter), Press(M, Key::Enter),
      ExpectText(M, IDC_STAVESIZE, "0.72"), Click(M, IDCANCEL)},
     {},
     {{kReport, ReportOf(1, 15.0f, 0.72f, 25.0f)},
      {"SETTINGS", SettingsBytes(1, 25.0f, 0.72f, 15.0f, PrintSize(15.0f, 19.0f))}},
     2},

    {"FieldsReadTheirLeadingNumber",
     M,
     {{"SETTINGS", kDefaultSettings}},
     {},
     {Type(M, IDC_STAVEWIDTH, " 12 cm"), Type(M, IDC_STAVESIZE, "0.5abc"), Type(M, IDC_PAGEHEIGHT, "1e1"),
      Press(M, Key::Escape)},
     {},
     {{"SETTINGS", SettingsBytes(1, 10.0f, 0.5f, 12.0f, 1.0f)}}},

    {"InchesRelabelsConvertsNothingAndReportsIns",
     M,
     {{"SETTINGS", kDefaultSettings}},
     {},
     {Click(M, IDC_INCHES), ExpectText(M, IDC_STAVEWIDTHUNITS, "in"),
      ExpectText(M, IDC_PAGEHEIGHTUNITS, "in"), ExpectText(M, IDC_STAVEWIDTH, "19"),
      Type(M, IDC_STAVEWIDTH, "7"), Press(M, Key::Enter), Click(M, IDC_CENTIMETERS),
      ExpectText(M, IDC_PAGEHEIGHTUNITS, "cm"), Click(M, IDC_INCHES), Press(M, Key::Escape)},
     {},
     {{kReport, ReportOf(0, 7.0f, 0.72f, 25.0f)},
      {"SETTINGS", SettingsBytes(0, 25.0f, 0.72f, 7.0f, PrintSize(7.0f, 7.5f))}}},

    {"AStoredUnitWithoutAButtonCalculatesAndSavesNothing",
     M,
     {{"SETTINGS", SettingsBytes(7, 30.0f, 0.5f, 10.0f, 0.25f)}},
     {},
     {ExpectChecks(M, false, false), ExpectText(M, IDC_STAVEWIDTHUNITS, "in"), Press(M, Key::Enter),
      Press(M, Key::Escape)},
     {},
     {{kReport, ReportOf(-1, 10.0f, 0.5f, 30.0f, 0.25f)},
      {"SETTINGS", SettingsBytes(-1, 30.0f, 0.5f, 10.0f, 0.25f)}}},

    {"AShortSettingsFileGivesTheDefaultsQuietly",
     M,
     {{"SETTINGS", kDefaultSettings.substr(0, 19)}},
     {},
     {ExpectText(M, IDC_STAVEWIDTH, "19"), CloseBox(M)},
     {},
     {{"SETTINGS", kDefaultSettings}}},

    // A refused field stops Calculate and Exit, keeps the focus with its text
    // selected, and the first refused field in exchange order is the one.
    {"ARefusedPageHeightStopsCalculateAndExit",
     M,
     {{"SETTINGS", kDefaultSettings}},
     {},
     {Type(M, IDC_PAGEHEIGHT, "abc"), Press(M, Key::Enter), ExpectFocus(M, IDC_PAGEHEIGHT),
      ExpectSelectedText(M, IDC_PAGEHEIGHT, "abc"), CloseBox(M), Type(M, IDC_PAGEHEIGHT, "30"),
      Press(M, Key::Escape)},
     {kEnterANumber, kEnterANumber},
     {{kReport, std::nullopt}, {"SETTINGS", SettingsBytes(1, 30.0f, 0.72f, 19.0f, 1.0f)}}},

    {"AnEmptyStaveSizeIsRefused",
     M,
     {{"SETTINGS", kDefaultSettings}},
     {},
     {Type(M, IDC_STAVESIZE, ""), Click(M, IDOK), ExpectFocus(M, IDC_STAVESIZE), Type(M, IDC_STAVESIZE, "1"),
      Click(M, IDCANCEL)},
     {kEnterANumber},
     {{kReport, std::nullopt}, {"SETTINGS", SettingsBytes(1, 25.0f, 1.0f, 19.0f, 1.0f)}}},

    {"TwoRefusedFieldsFocusThePageHeightFirst",
     M,
     {{"SETTINGS", kDefaultSettings}},
     {},
     {Type(M, IDC_STAVEWIDTH, "."), Type(M, IDC_PAGEHEIGHT, "x"), Press(M, Key::Enter),
      ExpectFocus(M, IDC_PAGEHEIGHT), Type(M, IDC_PAGEHEIGHT, "5"), Press(M, Key::Enter),
      ExpectFocus(M, IDC_STAVEWIDTH), ExpectSelectedText(M, IDC_STAVEWIDTH, "."),
      Type(M, IDC_STAVEWIDTH, "19"), Press(M, Key::Escape)},
     {kEnterANumber, kEnterANumber},
     {{"SETTINGS", SettingsBytes(1, 5.0f, 0.72f, 19.0f, 1.0f)}}},

    {"TabCyclesTheFieldsAndTheTwoButtons",
     M,
     {{"SETTINGS", kDefaultSettings}},
     {},
     {ExpectFocus(M, IDC_STAVEWIDTH), Press(M, Key::Tab), ExpectFocus(M, IDC_STAVESIZE), Press(M, Key::Tab),
      ExpectFocus(M, IDC_PAGEHEIGHT), Press(M, Key::Tab), ExpectFocus(M, IDOK), Press(M, Key::Tab),
      ExpectFocus(M, IDCANCEL), Press(M, Key::Tab), ExpectFocus(M, IDC_STAVEWIDTH), Press(M, Key::ShiftTab),
      ExpectFocus(M, IDCANCEL), Press(M, Key::Escape)},
     {},
     {}},

    {"TabNeverStopsOnAUnitButtonTheUserClicked",
     M,
     {{"SETTINGS", kDefaultSettings}},
     {},
     {Click(M, IDC_INCHES),
      ExpectChecks(M, true, false),
      {M, "focus Exit", [](IDialogDriver &, CDialog &dlg) { dlg.Window().SetFocus(IDCANCEL); }},
      ExpectFocus(M, IDCANCEL),
      Press(M, Key::Tab),
      ExpectFocus(M, IDC_STAVEWIDTH),
      Press(M, Key::ShiftTab),
      ExpectFocus(M, IDCANCEL),
      Press(M, Key::Escape)},
     {},
     {{"SETTINGS", SettingsBytes(0, 25.0f, 0.72f, 19.0f, 1.0f)}}},

    {"AFailedSaveIsReportedAndTheDialogStaysOpen",
     M,
     {{"SETTINGS", kDefaultSettings}},
     {},
     {Do(M, "put a folder where SETTINGS goes",
         [] {
             fs::remove("SETTINGS");
             fs::create_directory("SETTINGS");
         }),
      Press(M, Key::Escape), ExpectFocus(M, IDC_STAVEWIDTH),
      Do(M, "take the folder away", [] { fs::remove("SETTINGS"); }), Press(M, Key::Escape)},
     {"Access to SETTINGS. was denied."},
     {{"SETTINGS", kDefaultSettings}}},

    {"AReportThatCannotBeCreatedIsReported",
     M,
     {{"SETTINGS", kDefaultSettings}},
     {},
     {Do(M, "put a folder where the report goes", [] { fs::create_directory("PlaxometReport.txt"); }),
      Press(M, Key::Enter), Press(M, Key::Escape)},
     {"File could not be opened!"},
     {},
     0},

    {"TheSystemMenuOpensTheAboutBox",
     M,
     {{"SETTINGS", kDefaultSettings}},
     {},
     {ChooseAbout(M), ExpectCaption(A, "About Plaxomet"), Press(A, Key::Enter),
      ExpectFocus(M, IDC_STAVEWIDTH), Press(M, Key::Escape)},
     {},
     {{"SETTINGS", kDefaultSettings}}},
    // Whatever a field shows reads back, and as what it shows.
    {"ValuesShownReadBackAsShown",
     M,
     {{"SETTINGS", SettingsBytes(1, kInf, kNaN, std::numeric_limits<float>::max(), 1.0f)}},
     {},
     {ExpectText(M, IDC_PAGEHEIGHT, "inf"), ExpectText(M, IDC_STAVESIZE, "nan"),
      ExpectText(M, IDC_STAVEWIDTH, "3.40282e+038"), Press(M, Key::Escape)},
     {},
     {{"SETTINGS", SettingsBytes(1, kInf, kNaN, 3.40282e38f, 1.0f)}}},
};

INSTANTIATE_TEST_SUITE_P(Scenario, Main, testing::ValuesIn(kMainScenarios),
                         [](const auto &info) { return std::string(info.param.name); });

TEST(MainDialogPermissions, ReadOnlySettingsStayAndAReadOnlyFolderLetsExit)
{
    PLAXOMET_RUN_UNPRIVILEGED();
    const auto typed = SettingsBytes(1, 25.0f, 0.72f, 12.0f, 1.0f);
    RunScenario(
        {"read-only file, then read-only folder",
         M,
         {{"SETTINGS", kDefaultSettings}},
         {},
         {Type(M, IDC_STAVEWIDTH, "12"),
          Do(M, "make SETTINGS read-only", [] { fs::permissions("SETTINGS", fs::perms::owner_read); }),
          Press(M, Key::Escape), CloseBox(M),
          Do(M, "make SETTINGS writable, its folder read-only",
             [] {
                 fs::permissions("SETTINGS", fs::perms::owner_read | fs::perms::owner_write);
                 fs::permissions(".", fs::perms::owner_read | fs::perms::owner_exec);
             }),
          Press(M, Key::Escape)},
         {"Access to SETTINGS. was denied.", "Access to SETTINGS. was denied."},
         {{"SETTINGS", typed}}});
}

} // namespace
