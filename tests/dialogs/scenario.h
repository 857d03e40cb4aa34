#pragma once

#include "tests/dialogs/driver.h"
#include "tests/support/fakes.h"

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

// One thing a user does or looks at in the dialog with template `dialog`, when it is the active one.
struct Step {
    int dialog;
    std::function<void(IDialogDriver &, CDialog &)> act;
};

Step Type(int dialog, int id, const std::string &text);
Step Press(int dialog, Key key);
Step Click(int dialog, int id);
Step ClickItem(int dialog, int index, bool control = false);
Step DoubleClickItem(int dialog, int index);
Step CloseBox(int dialog);
Step ChooseAbout(int dialog);
Step ExpectFocus(int dialog, int id);
Step ExpectText(int dialog, int id, const std::string &text);
Step ExpectSelectedText(int dialog, int id, const std::string &text);
Step ExpectCaption(int dialog, const std::string &caption);
// The text sizes list: its lines, the focus rectangle's and the selected rows.
Step ExpectList(int dialog, const std::vector<std::string> &lines, int caret,
                const std::vector<int> &selected);
// The unit radio buttons' checks.
Step ExpectChecks(int dialog, bool inches, bool centimetres);
// Centred over its owner, or over the screen when it has none.
Step ExpectCentred(int dialog);
// Anything else, such as changing a file while the dialog is open.
Step Do(int dialog, std::function<void()> action);
// `key` pressed once for each control, the focus expected on each in turn.
std::vector<Step> Tabbing(int dialog, Key key, std::initializer_list<int> ids);
std::vector<Step> Join(std::initializer_list<std::vector<Step>> parts);

struct Scenario {
    const char *name;
    std::map<std::string, std::string> before = {}; // files in the folder before it opens
    std::function<void()> prepare = {};             // runs after they are written
    std::vector<int> answers = {}; // message boxes' answers, in order (the first button after them)
    std::vector<Step> steps;
    std::vector<Shown> messages = {};                             // every message shown, in order
    std::map<std::string, std::optional<std::string>> after = {}; // files afterwards; nullopt: absent
    std::vector<std::string> opened = {};                         // files opened in the viewer
};

// A scenario reads as its name in a test's output.
void PrintTo(const Scenario &scenario, std::ostream *out);

// Opens dialog `top` in a fresh folder, plays the scenario's steps and checks what it expects.
void RunScenario(int top, const Scenario &scenario);

// Runs `top` modally and plays the steps on the dialogs as each becomes
// active; a dialog left open when the steps run out is a failure.
int Play(IDialogDriver &driver, CDialog &top, std::vector<Step> steps);
