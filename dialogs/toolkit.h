#pragma once

// Everything a toolkit (Qt, Win32) implements, for the dialog classes and the
// core, which never see a toolkit themselves:
//
//   duty                          interface          Qt                   Win32
//   dialogs' windows, controls    IToolkit,          qt/qtdialogwindow    win32/win32dialogwindow
//                                 IDialogWindow
//   message boxes                 IMessageService    qt/qtservices        win32/win32services
//   the text viewer               IViewerLauncher    qt/qtservices        win32/win32services
//   files                         fileio::FileSystem (base/filesystem.h, one per platform, not per toolkit)
//
// The two services live in base/desktop.h, where the core, which uses them, can see them.

#include "base/desktop.h"

#include <memory>
#include <string>
#include <vector>

// What a dialog's window tells the dialog object: the toolkit calls these.
class IDialogEvents {
public:
    virtual ~IDialogEvents() = default;
    // The window and its controls exist; false ends the dialog with -1.
    // True leaves the focus to the toolkit: the first control with a tab stop.
    virtual bool InitDialog(bool &focusFirstControl) = 0;
    // A button's click, Enter (IDOK), Esc or the close box (IDCANCEL).
    virtual void Command(int id) = 0;
    virtual void DoubleClick(int id) = 0;
    // An entry of the window's system menu.
    virtual void SysCommand(unsigned id) = 0;
};

// A dialog's window and its controls, addressed by control identifier. Every
// string is the program's 8-bit text (base/text8.h).
class IDialogWindow {
public:
    virtual ~IDialogWindow() = default;

    // Shows the window modally, calling InitDialog first; returns what
    // EndDialog gave.
    virtual int RunModal() = 0;
    virtual void EndDialog(int result) = 0;
    // Over the owner, or the screen when there is none.
    virtual void CenterWindow() = 0;
    virtual void SetIcon(int iconId) = 0;
    virtual void SetCaption(const std::string &text) = 0;
    // A separator and then an item at the end of the window's system menu.
    virtual void AppendSystemMenuItem(unsigned command, const std::string &text) = 0;
    // Whether the window is the active one, taking keys.
    virtual bool IsActive() const = 0;

    virtual std::string GetText(int id) const = 0;
    // Edit fields show the start of the text, as a native edit field does.
    virtual void SetText(int id, const std::string &text) = 0;
    virtual bool GetCheck(int id) const = 0;
    virtual void SetCheck(int id, bool checked) = 0;
    virtual void SetFocus(int id) = 0;
    // The control that has the keyboard focus, 0 for none of the dialog's.
    virtual int GetFocus() const = 0;
    virtual void SelectAllText(int id) = 0;
    // Typing and pasting stop at count characters; a longer text already there stays.
    virtual void LimitText(int id, int count) = 0;

    // List boxes: entries by index, in the order the dialog gives them.
    virtual void ListInsert(int id, int index, const std::string &entry) = 0;
    virtual void ListDelete(int id, int index) = 0;
    virtual void ListReset(int id, const std::vector<std::string> &entries) = 0;
    // The item with the focus rectangle, -1 for none.
    virtual int ListCaret(int id) const = 0;
    virtual void ListSetCaret(int id, int index) = 0;
    virtual bool ListSelected(int id, int index) const = 0;
    virtual void ListSetSelected(int id, int index, bool selected) = 0;
    virtual void ListSetTabStop(int id, int dialogUnits) = 0;
};

// Makes the windows of dialogs from their templates.
class IToolkit {
public:
    virtual ~IToolkit() = default;
    // The window of the dialog with this template, its controls made; owner may be null.
    virtual std::unique_ptr<IDialogWindow> CreateDialogWindow(int templateId, IDialogEvents &events,
                                                              IDialogWindow *owner) = 0;
};
