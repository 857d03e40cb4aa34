#pragma once

#include "tests/dialogs/driver.h"
#include "win32/win32dialogwindow.h"

// Drives the native dialogs with the messages a user's keys and clicks make.
class Win32Driver : public IDialogDriver {
public:
    IToolkit &Toolkit() override { return m_toolkit; }
    void Post(std::function<void()> function) override;
    bool IsReady(CDialog &dialog) override;
    void Type(CDialog &dialog, int id, const std::string &text) override;
    void Press(CDialog &dialog, Key key) override;
    void Click(CDialog &dialog, int id) override;
    void ClickItem(CDialog &dialog, int listId, int index, bool control) override;
    void DoubleClickItem(CDialog &dialog, int listId, int index) override;
    void CloseBox(CDialog &dialog) override;
    void ChooseSystemMenuItem(CDialog &dialog, const std::string &text) override;
    std::string Caption(CDialog &dialog) override;
    std::string SelectedText(CDialog &dialog, int id) override;
    std::vector<std::string> ListLines(CDialog &dialog, int id) override;
    bool ShowsWhole(CDialog &dialog, int listId, int index) override;
    std::pair<int, int> OffCentre(CDialog &dialog) override;

    static Win32DialogWindow &Window(CDialog &dialog);

private:
    Win32Toolkit m_toolkit;
};
