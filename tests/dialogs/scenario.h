#pragma once

#include "dialogs/dialog.h"
#include "res/resource.h"
#include "tests/dialogs/driver.h"
#include "tests/support/fakes.h"

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

// Where a step was written, as std::source_location has it; made from the
// builtins that type is made of, which clang 14 (the older clang-tidy here)
// has while its libstdc++ header needs one it lacks.
// clang-format off
struct Where { const char *file; int line; };
// clang-format on

// One thing a user does or looks at in the dialog with template `dialog`, when it is the active one.
struct Step {
    int dialog;
    std::function<void(IDialogDriver &, CDialog &)> act;
    std::string what; // the action, its control named: Click(IDC_NEW)
    Where where;
};

// The name the program gives a control or dialog identifier: "IDC_NEW".
std::string IdName(int id);

// The steps played on one dialog, named by its template: On{IDD_TEXTSTYLES}.Click(IDC_NEW).
// A table, one step to a line where it fits. Each step records the line that
// wrote it (the default argument `at`), which a failure names.
// clang-format off
struct On {
    using Act = std::function<void(IDialogDriver &, CDialog &)>;
    int dialog;

    static constexpr Where Here(const char *file = __builtin_FILE(), int line = __builtin_LINE()) { return {file, line}; }
    Step Named(Where at, const char *action, int id, Act act) const
        { return {dialog, std::move(act), std::string(action) + (id ? "(" + IdName(id) + ")" : ""), at}; }

    // Anything else, such as changing a file while the dialog is open.
    Step Then(Act act, Where at = Here()) const { return Named(at, "Then", 0, std::move(act)); }
    Step Do(std::function<void()> f, Where at = Here()) const { return Named(at, "Do", 0, [f = std::move(f)](auto &, auto &) { f(); }); }
    Step Type(int id, std::string s, Where at = Here()) const { return Named(at, "Type", id, [=](auto &d, auto &w) { d.Type(w, id, s); }); }
    Step Press(Key key, Where at = Here()) const { return Named(at, kKeyNames[static_cast<int>(key)], 0, [=](auto &d, auto &w) { d.Press(w, key); }); }
    Step Click(int id, Where at = Here()) const { return Named(at, "Click", id, [=](auto &d, auto &w) { d.Click(w, id); }); }
    Step CloseBox(Where at = Here()) const { return Named(at, "CloseBox", 0, [](auto &d, auto &w) { d.CloseBox(w); }); }
    Step ChooseAbout(Where at = Here()) const;
    Step ExpectFocus(int id, Where at = Here()) const
        { return Named(at, "ExpectFocus", id, [=](auto &, auto &w) { EXPECT_EQ(IdName(w.Window().GetFocus()), IdName(id)); }); }
    Step ExpectText(int id, std::string s, Where at = Here()) const
        { return Named(at, "ExpectText", id, [=](auto &, auto &w) { EXPECT_EQ(w.Window().GetText(id), s); }); }
    Step ExpectCaption(std::string s, Where at = Here()) const
        { return Named(at, "ExpectCaption", 0, [=](auto &d, auto &w) { EXPECT_EQ(d.Caption(w), s); }); }
    // The text sizes list: its lines, the focus rectangle's and the selected rows.
    Step ExpectList(const std::vector<std::string> &lines, int caret, const std::vector<int> &selected, Where at = Here()) const;
    // The unit radio buttons' checks.
    Step ExpectChecks(bool inches, bool centimetres, Where at = Here()) const
        { return Named(at, "ExpectChecks", 0, [=](auto &, auto &w) { EXPECT_EQ(std::pair(w.Window().GetCheck(IDC_INCHES), w.Window().GetCheck(IDC_CENTIMETERS)), std::pair(inches, centimetres)); }); }
    // Owned by the dialog so captioned, and so modal to it.
    Step ExpectOwner(std::string owner, Where at = Here()) const
        { return Named(at, "ExpectOwner", 0, [=](auto &d, auto &w) { EXPECT_EQ(d.Owner(w), owner); }); }
    // `key` pressed once for each control, the focus expected on each in turn.
    std::vector<Step> Tabbing(Key key, std::initializer_list<int> ids, Where at = Here()) const;
    static constexpr const char *kKeyNames[] = {"Press Enter", "Press Escape", "Press Tab", "Press ShiftTab", "Press F1"};
};
// clang-format on

std::vector<Step> Join(std::initializer_list<std::vector<Step>> parts);

struct Scenario {
    const char *name;
    std::map<std::string, std::string> before = {}; // files in the folder before it opens
    std::vector<int> answers = {}; // message boxes' answers, in order (the first button after them)
    std::vector<Step> steps;
    std::vector<Shown> messages = {};                             // every message shown, in order
    std::map<std::string, std::optional<std::string>> after = {}; // files afterwards; nullopt: absent
    std::vector<std::string> opened = {};                         // files opened in the viewer
    std::optional<std::vector<std::string>> folder = {};          // the folder's entries afterwards

    // A scenario reads as its name in a test's output.
    friend void PrintTo(const Scenario &scenario, std::ostream *out) { *out << scenario.name; }
};

// Opens dialog `top` in a fresh folder and runs it modally, playing the
// scenario's steps on the dialogs as each becomes active (a dialog left open
// when the steps run out is a failure), then checks what it expects.
void RunScenario(On top, const Scenario &scenario);
