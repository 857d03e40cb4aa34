#include "calc/calculator.h"
#include "calc/report.h"
#include "dialogs/dialog.h"
#include "res/resource.h"
#include "tests/dialogs/scenario.h"

#include <cstdint>
#include <filesystem>
#include <gtest/gtest.h>
#include <limits>

namespace {

namespace fs = std::filesystem;

constexpr int M = IDD_PLAXOMET_DIALOG;
constexpr int A = IDD_ABOUTBOX;
const Shown kEnterANumber{"Enter a number."};
const Shown kSettingsDenied{"Access to SETTINGS. was denied.", MsgButtons::OK, MsgIcon::Stop};
const std::string kReport = "PlaxometReport.txt";

// The report of a calculation on the typed values.
std::string ReportOf(std::int32_t units, float width, float size, float height, float printSize = 1.0f)
{
    return ReportFileText(Calculated(units, width, size, height, printSize));
}

// The focus put on a control as the program would put it, not the user.
Step FocusOn(int dialog, int id)
{
    return {dialog, [id](IDialogDriver &, CDialog &dlg) { dlg.Window().SetFocus(id); }};
}

float PrintSize(float width, float defaultWidth)
{
    return static_cast<float>(static_cast<double>(width) / defaultWidth);
}

class Main : public testing::TestWithParam<Scenario> {};

TEST_P(Main, Plays)
{
    RunScenario(M, GetParam());
}

const Scenario kMainScenarios[] = {
    {.name = "FirstRunShowsTheDefaultsAndTheSystemMenuTheAboutBox",
     .steps = {ExpectCentred(M), ExpectText(M, IDC_STAVEWIDTH, "19"), ExpectText(M, IDC_STAVESIZE, "0.72"),
               ExpectText(M, IDC_PAGEHEIGHT, "25"), ExpectChecks(M, false, true),
               ExpectText(M, IDC_STAVEWIDTHUNITS, "cm"), ExpectText(M, IDC_PAGEHEIGHTUNITS, "cm"),
               ExpectFocus(M, IDC_STAVEWIDTH), ExpectSelectedText(M, IDC_STAVEWIDTH, "19"), ChooseAbout(M),
               ExpectCaption(A, "About Plaxomet"), ExpectCentred(A), Press(A, Key::Enter),
               ExpectFocus(M, IDC_STAVEWIDTH), Press(M, Key::Escape)},
     .messages = {{"SETTINGS file not found"}},
     .after = {{"SETTINGS", kDefaultSettings}, {kReport, std::nullopt}}},

    // The fields keep what was typed, read as their leading numbers.
    {.name = "EnterCalculatesTwiceAlikeAndExitSavesWhatWasTyped",
     .before = {{"SETTINGS", kDefaultSettings}},
     .steps = {Type(M, IDC_STAVEWIDTH, " 15 cm"), Type(M, IDC_STAVESIZE, "0.72abc"),
               Type(M, IDC_PAGEHEIGHT, "2.5e1"), Press(M, Key::Enter), Press(M, Key::Enter),
               ExpectText(M, IDC_STAVESIZE, "0.72abc"), Click(M, IDCANCEL)},
     .after = {{kReport, ReportOf(1, 15.0f, 0.72f, 25.0f)},
               {"SETTINGS", SettingsBytes(1, 25.0f, 0.72f, 15.0f, PrintSize(15.0f, 19.0f))}},
     .opened = {kReport, kReport}},

    {.name = "InchesRelabelsConvertsNothingAndReportsIns",
     .before = {{"SETTINGS", kDefaultSettings}},
     .steps = {Click(M, IDC_INCHES), ExpectText(M, IDC_STAVEWIDTHUNITS, "in"),
               ExpectText(M, IDC_PAGEHEIGHTUNITS, "in"), ExpectText(M, IDC_STAVEWIDTH, "19"),
               Type(M, IDC_STAVEWIDTH, "7"), Press(M, Key::Enter), Click(M, IDC_CENTIMETERS),
               ExpectText(M, IDC_PAGEHEIGHTUNITS, "cm"), Click(M, IDC_INCHES), Press(M, Key::Escape)},
     .after = {{kReport, ReportOf(0, 7.0f, 0.72f, 25.0f)},
               {"SETTINGS", SettingsBytes(0, 25.0f, 0.72f, 7.0f, PrintSize(7.0f, 7.5f))}},
     .opened = {kReport}},

    {.name = "AStoredUnitWithoutAButtonCalculatesAndSavesNothing",
     .before = {{"SETTINGS", SettingsBytes(7, 30.0f, 0.5f, 10.0f, 0.25f)}},
     .steps = {ExpectChecks(M, false, false), ExpectText(M, IDC_STAVEWIDTHUNITS, "in"), Press(M, Key::Enter),
               Press(M, Key::Escape)},
     .after = {{kReport, ReportOf(-1, 10.0f, 0.5f, 30.0f, 0.25f)},
               {"SETTINGS", SettingsBytes(-1, 30.0f, 0.5f, 10.0f, 0.25f)}},
     .opened = {kReport}},

    // A refused field stops Calculate and Exit and keeps the focus with its
    // text selected; the first refused in exchange order (page height, stave
    // size, stave width) is the one.
    {.name = "RefusedFieldsStopCalculateAndExitPageHeightFirst",
     .before = {{"SETTINGS", kDefaultSettings}},
     .steps = {Type(M, IDC_STAVEWIDTH, "."), Type(M, IDC_PAGEHEIGHT, "x"), Press(M, Key::Enter),
               ExpectFocus(M, IDC_PAGEHEIGHT), ExpectSelectedText(M, IDC_PAGEHEIGHT, "x"), CloseBox(M),
               Type(M, IDC_PAGEHEIGHT, "5"), Press(M, Key::Enter), ExpectFocus(M, IDC_STAVEWIDTH),
               ExpectSelectedText(M, IDC_STAVEWIDTH, "."), Type(M, IDC_STAVEWIDTH, "19"),
               Type(M, IDC_STAVESIZE, ""), Click(M, IDOK), ExpectFocus(M, IDC_STAVESIZE),
               Type(M, IDC_STAVESIZE, "1"), Click(M, IDCANCEL)},
     .messages = {kEnterANumber, kEnterANumber, kEnterANumber, kEnterANumber},
     .after = {{kReport, std::nullopt}, {"SETTINGS", SettingsBytes(1, 5.0f, 1.0f, 19.0f, 1.0f)}}},

    // Tab passes the unit buttons, even one the user clicked.
    {.name = "TabCyclesTheFieldsAndTheTwoButtons",
     .before = {{"SETTINGS", kDefaultSettings}},
     .steps = Join({{ExpectFocus(M, IDC_STAVEWIDTH)},
                    Tabbing(M, Key::Tab, {IDC_STAVESIZE, IDC_PAGEHEIGHT, IDOK, IDCANCEL, IDC_STAVEWIDTH}),
                    Tabbing(M, Key::ShiftTab, {IDCANCEL}),
                    {Click(M, IDC_INCHES), ExpectChecks(M, true, false), FocusOn(M, IDCANCEL)},
                    Tabbing(M, Key::Tab, {IDC_STAVEWIDTH}),
                    Tabbing(M, Key::ShiftTab, {IDCANCEL}),
                    {Press(M, Key::Escape)}}),
     .after = {{"SETTINGS", SettingsBytes(0, 25.0f, 0.72f, 19.0f, 1.0f)}}},

    {.name = "FailedSavesAreReportedAndTheDialogStaysOpen",
     .before = {{"SETTINGS", kDefaultSettings}},
     .steps = {Do(M,
                  [] {
                      fs::remove("SETTINGS");
                      fs::create_directory("SETTINGS");
                      fs::create_directory(kReport);
                  }),
               Press(M, Key::Escape), ExpectFocus(M, IDC_STAVEWIDTH), Press(M, Key::Enter),
               Do(M, [] { fs::remove("SETTINGS"); }), Press(M, Key::Escape)},
     .messages = {kSettingsDenied, {"File could not be opened!"}},
     .after = {{"SETTINGS", kDefaultSettings}}},

    // Whatever a field shows reads back, and as what it shows.
    {.name = "ValuesShownReadBackAsShown",
     .before = {{"SETTINGS", SettingsBytes(1, std::numeric_limits<float>::infinity(),
                                           std::numeric_limits<float>::quiet_NaN(),
                                           std::numeric_limits<float>::max(), 1.0f)}},
     .steps = {ExpectText(M, IDC_PAGEHEIGHT, "inf"), ExpectText(M, IDC_STAVESIZE, "nan"),
               ExpectText(M, IDC_STAVEWIDTH, "3.40282e+038"), Press(M, Key::Escape)},
     .after = {{"SETTINGS", SettingsBytes(1, std::numeric_limits<float>::infinity(),
                                          std::numeric_limits<float>::quiet_NaN(), 3.40282e38f, 1.0f)}}},
};

INSTANTIATE_TEST_SUITE_P(Scenario, Main, testing::ValuesIn(kMainScenarios),
                         [](const auto &info) { return std::string(info.param.name); });

TEST(MainDialogPermissions, ReadOnlySettingsStayAndAReadOnlyFolderLetsExit)
{
    PLAXOMET_RUN_UNPRIVILEGED();
    RunScenario(M, {.name = "read-only file, then read-only folder",
                    .before = {{"SETTINGS", kDefaultSettings}},
                    .steps = {Type(M, IDC_STAVEWIDTH, "12"),
                              Do(M, [] { fs::permissions("SETTINGS", fs::perms::owner_read); }),
                              Press(M, Key::Escape), CloseBox(M),
                              Do(M,
                                 [] {
                                     fs::permissions("SETTINGS",
                                                     fs::perms::owner_read | fs::perms::owner_write);
                                     fs::permissions(".", fs::perms::owner_read | fs::perms::owner_exec);
                                 }),
                              Press(M, Key::Escape)},
                    .messages = {kSettingsDenied, kSettingsDenied},
                    .after = {{"SETTINGS", SettingsBytes(1, 25.0f, 0.72f, 12.0f, 1.0f)}}});
}

} // namespace
