#include "dialogs/dialog.h"
#include "res/resource.h"
#include "tests/dialogs/scenario.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace {

namespace fs = std::filesystem;

constexpr On M{IDD_PLAXOMET_DIALOG};
constexpr On A{IDD_ABOUTBOX};
const Shown kEnterANumber{"Enter a number."};
const Shown kSettingsDenied{"Access to SETTINGS. was denied.", MsgButtons::OK, MsgIcon::Stop};
const Shown kLeaveUnsaved{"Exit without saving your values?", MsgButtons::YesNo, MsgIcon::Question};
const Shown kReportRefused{"File could not be opened!"};
const std::string kReport = "PlaxometReport.txt";

class Main : public testing::TestWithParam<Scenario> {};

TEST_P(Main, Plays)
{
    RunScenario(M, GetParam());
}

const Scenario kMainScenarios[] = {
    // Tab goes through the fields and the two buttons, never the unit buttons.
    {.name = "FirstRunShowsTheDefaultsTabsPastTheUnitsAndShowsAboutFromTheMenuAndF1",
     .steps = Join({{M.ExpectText(IDC_STAVEWIDTH, "19"), M.ExpectText(IDC_STAVESIZE, "0.72"),
                     M.ExpectText(IDC_PAGEHEIGHT, "25"), M.ExpectChecks(false, true),
                     M.ExpectText(IDC_STAVEWIDTHUNITS, "cm"), M.ExpectText(IDC_PAGEHEIGHTUNITS, "cm"),
                     M.ExpectFocus(IDC_STAVEWIDTH)},
                    M.Tabbing(Key::Tab, {IDC_STAVESIZE, IDC_PAGEHEIGHT, IDOK, IDCANCEL, IDC_STAVEWIDTH}),
                    M.Tabbing(Key::ShiftTab, {IDCANCEL}),
                    {M.ChooseAbout(), A.ExpectOwner("Plaxomet"), A.Press(Key::Enter), M.ExpectFocus(IDCANCEL),
                     M.Press(Key::F1), A.Press(Key::Enter), M.Press(Key::Escape)}}),
     .messages = {{"SETTINGS file not found"}},
     .after = {{"SETTINGS", kDefaultSettings}, {kReport, std::nullopt}}},

    // The fields keep what was typed, read as their leading numbers; a comma
    // between digits is a decimal point.
    {.name = "EnterCalculatesTwiceAlikeAndExitSavesWhatWasTyped",
     .before = {{"SETTINGS", kDefaultSettings}},
     .steps = {M.Type(IDC_STAVEWIDTH, " 15 cm"), M.Type(IDC_STAVESIZE, "0,5abc"),
               M.Type(IDC_PAGEHEIGHT, "3e1"), M.Press(Key::Enter), M.Press(Key::Enter),
               M.ExpectText(IDC_STAVESIZE, "0,5abc"), M.Click(IDCANCEL)},
     .after = {{kReport, kReportFor15By05By30}, {"SETTINGS", kSettingsFor15By05By30}},
     .opened = {kReport, kReport}},

    {.name = "InchesRelabelsConvertsNothingAndCalculatesInInches",
     .before = {{"SETTINGS", kDefaultSettings}},
     .steps = {M.Click(IDC_INCHES), M.ExpectText(IDC_STAVEWIDTHUNITS, "in"),
               M.ExpectText(IDC_PAGEHEIGHTUNITS, "in"), M.ExpectText(IDC_STAVEWIDTH, "19"),
               M.Type(IDC_STAVEWIDTH, "7"), M.Press(Key::Enter), M.Click(IDC_CENTIMETERS),
               M.ExpectText(IDC_PAGEHEIGHTUNITS, "cm"), M.Click(IDC_INCHES), M.Press(Key::Escape)},
     .after = {{"SETTINGS", SettingsBytes(0, 25.0f, 0.72f, 7.0f, 7.0f / 7.5f)}},
     .opened = {kReport}},

    // A refused field stops Calculate and Exit and keeps the focus; the first
    // refused in exchange order (page height, stave size, stave width) is the one.
    {.name = "RefusedFieldsStopCalculateAndExitPageHeightFirst",
     .before = {{"SETTINGS", kDefaultSettings}},
     .steps = {M.Type(IDC_STAVEWIDTH, "."), M.Type(IDC_PAGEHEIGHT, "x"), M.Press(Key::Enter),
               M.ExpectFocus(IDC_PAGEHEIGHT), M.CloseBox(), M.Type(IDC_PAGEHEIGHT, "5"), M.Press(Key::Enter),
               M.ExpectFocus(IDC_STAVEWIDTH), M.Type(IDC_STAVEWIDTH, "19"), M.Type(IDC_STAVESIZE, ""),
               M.Click(IDOK), M.ExpectFocus(IDC_STAVESIZE), M.Type(IDC_STAVESIZE, "1"), M.Click(IDCANCEL)},
     .messages = {kEnterANumber, kEnterANumber, kEnterANumber, kEnterANumber},
     .after = {{kReport, std::nullopt}, {"SETTINGS", SettingsBytes(1, 5.0f, 1.0f, 19.0f, 1.0f)}}},

    // A refused save is reported and the dialog stays open; Exit then asks
    // whether to leave without saving: No, and a question no box could show,
    // keep the dialog open with the values in it; Yes leaves the folder as it was.
    {.name = "FailedSavesAreReportedAndOnlyYesLeavesUnsaved",
     .before = {{"SETTINGS", kDefaultSettings}},
     .answers = {AnswerOK, AnswerNo, AnswerOK, AnswerOK, AnswerNone},
     .steps = {M.Do([] {
                   fs::remove("SETTINGS"), fs::create_directory("SETTINGS"), fs::create_directory(kReport);
               }),
               M.Type(IDC_STAVEWIDTH, "15"), M.Press(Key::Escape), M.ExpectText(IDC_STAVEWIDTH, "15"),
               M.Press(Key::Enter), M.Press(Key::Escape), M.ExpectText(IDC_STAVEWIDTH, "15"), M.CloseBox()},
     .messages = {kSettingsDenied, kLeaveUnsaved, kReportRefused, kSettingsDenied, kLeaveUnsaved,
                  kSettingsDenied, kLeaveUnsaved},
     .folder = {{kReport, "SETTINGS"}}},
};

INSTANTIATE_TEST_SUITE_P(Scenario, Main, testing::ValuesIn(kMainScenarios),
                         [](const auto &info) { return std::string(info.param.name); });

} // namespace
