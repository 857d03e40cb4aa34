#pragma once

// Acting on the dialogs as a user would, whatever toolkit draws them: each
// toolkit's tests supply a driver, and the scenario tables run on every one.

#include <functional>
#include <string>
#include <vector>

class CDialog;
class IToolkit;

enum class Key { Enter, Escape, Tab, ShiftTab, F1 };

class IDialogDriver {
public:
    virtual ~IDialogDriver() = default;

    virtual IToolkit &Toolkit() = 0;
    // Runs a function soon on the event loop, the loop of a nested modal run included.
    virtual void Post(std::function<void()> function) = 0;
    // Shown and active, so that keys reach it.
    virtual bool IsReady(CDialog &dialog) = 0;

    // Replaces a field's text by typing (UTF-8), as a user who selected it all would.
    virtual void Type(CDialog &dialog, int id, const std::string &text) = 0;
    // A key, to the control with the focus.
    virtual void Press(CDialog &dialog, Key key) = 0;
    // A click near the control's left edge, where a radio button's label starts.
    virtual void Click(CDialog &dialog, int id) = 0;
    virtual void CloseBox(CDialog &dialog) = 0;
    // Chooses an entry of the window's system menu by its text.
    virtual void ChooseSystemMenuItem(CDialog &dialog, const std::string &text) = 0;

    virtual std::string Caption(CDialog &dialog) = 0;
    // The lines a list shows (UTF-8).
    virtual std::vector<std::string> ListLines(CDialog &dialog, int id) = 0;
    // Whether a list shows an entry whole: its cell as wide as the text with
    // its TAB laid out, within the list's height, and scrolled to if it lies
    // beyond the list's width.
    virtual bool ShowsWhole(CDialog &dialog, int listId, int index) = 0;
    // The caption of the window's owner; "" for none.
    virtual std::string Owner(CDialog &dialog) = 0;
};

// The driver of the toolkit these tests run on; its test program sets it.
inline IDialogDriver *g_driver = nullptr;
