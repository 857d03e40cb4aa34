#pragma once

#include "tests/dialogs/driver.h"

#include <map>
#include <optional>
#include <string>
#include <vector>

// One thing a user does or looks at in the dialog with template `dialog`.
struct Step {
    int dialog;
    std::string what;
    std::function<void(IDialogDriver &, CDialog &)> act;
};

Step Type(int dialog, int id, std::string text);
Step Press(int dialog, Key key);
Step Click(int dialog, int id);
Step ClickItem(int dialog, int index, bool control = false);
Step DoubleClickItem(int dialog, int index);
Step CloseBox(int dialog);
Step ChooseAbout(int dialog);
Step ExpectFocus(int dialog, int id);
Step ExpectText(int dialog, int id, std::string text);
Step ExpectSelectedText(int dialog, int id, std::string text);
Step ExpectCaption(int dialog, std::string caption);
// The text sizes list: its lines, the focus rectangle's and the selected rows.
Step ExpectList(int dialog, std::vector<std::string> lines, int caret, std::vector<int> selected);
// Anything else, such as changing a file while the dialog is open.
Step Do(int dialog, std::string what, std::function<void()> action);
// The unit radio buttons' checks.
Step ExpectChecks(int dialog, bool inches, bool centimetres);

// Files in the working folder: name to bytes.
using Files = std::map<std::string, std::string>;

struct Scenario {
    const char *name;
    int top;                  // the dialog that opens first
    Files before;             // files in the folder before it opens
    std::vector<int> answers; // message boxes' answers, in order (the first button after them)
    std::vector<Step> steps;
    std::vector<std::string> messages;                       // every message shown, in order
    std::map<std::string, std::optional<std::string>> after; // files afterwards; nullopt: absent
    int launches = -1;                                       // viewer starts, -1: not looked at
    std::function<void()> prepare = {};                      // runs after the files are written
};

// Opens the scenario's dialog in a fresh folder, plays its steps and checks what it expects.
void RunScenario(const Scenario &scenario);

// Runs `top` modally and plays the steps on the dialogs as each becomes
// active; a dialog left open when the steps run out is a failure.
int Play(IDialogDriver &driver, CDialog &top, std::vector<Step> steps);
