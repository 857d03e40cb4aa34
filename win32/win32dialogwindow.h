#pragma once

// win32/: the native Windows toolkit: dialogs made by the system's dialog
// manager from the same templates, the system menu, the list box, message
// boxes and the viewer launch.

#include "dialogs/toolkit.h"
#include "win32/dialogtemplate.h"

#include <windows.h>

namespace res {
struct DialogTemplate;
}

// A dialog the system's dialog manager creates from an in-memory template
// built from the program's template data, so that dialog units, the font,
// tab order, Enter, Esc and the default button are the system's own.
class Win32DialogWindow : public IDialogWindow {
public:
    Win32DialogWindow(const res::DialogTemplate &dialogTemplate, IDialogEvents &events,
                      Win32DialogWindow *owner);

    int RunModal() override;
    void EndDialog(int result) override;
    void CenterWindow() override;
    void SetIcon(int iconId) override;
    void SetCaption(const std::string &text) override;
    void AppendSystemMenuItem(unsigned command, const std::string &text) override;
    bool IsActive() const override;

    std::string GetText(int id) const override;
    void SetText(int id, const std::string &text) override;
    bool GetCheck(int id) const override;
    void SetCheck(int id, bool checked) override;
    void SetFocus(int id) override;
    int GetFocus() const override;
    void SelectAllText(int id) override;
    void LimitText(int id, int count) override;

    void ListInsert(int id, int index, const std::string &entry) override;
    void ListDelete(int id, int index) override;
    void ListReset(int id, const std::vector<std::string> &entries) override;
    int ListCaret(int id) const override;
    void ListSetCaret(int id, int index) override;
    bool ListSelected(int id, int index) const override;
    void ListSetSelected(int id, int index, bool selected) override;
    void ListSetTabStop(int id, int dialogUnits) override;

    HWND Handle() const { return m_hwnd; }

private:
    // The width a list entry needs in pixels, its TABs laid out.
    int EntryWidth(int listId, const std::wstring &entry) const;
    HWND Item(int id) const { return ::GetDlgItem(m_hwnd, id); }
    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
    bool OnInitDialog();
    void FitLabels();
    void PlaceLabelsBeforeFields();
    void FollowDpiChange();
    int SystemMetric(int index) const;
    void KeepTemplateTabStops();
    bool OnPaint();
    int WidestEntry(int listId, const std::vector<std::wstring> &entries) const;
    void WidenColumns(int listId, int width);
    int ListCount(int id) const;

    const res::DialogTemplate &m_template;
    IDialogEvents &m_events;
    Win32DialogWindow *m_owner;
    HWND m_hwnd = nullptr;
    HICON m_hIcon = nullptr;
    int m_iconId = 0;
    // The controls in template order, which window order no longer is once the labels move.
    std::vector<HWND> m_controls;
    std::vector<unsigned> m_systemCommands;
    int m_tabStopList = 0;
    int m_tabStopUnits = 0; // dialog units
    int m_tabStop = 0;      // pixels
    int m_columnWidth = 0;  // pixels
};

// The window of the innermost dialog running, which owns every message box;
// nullptr when none runs.
HWND InnermostDialog();

class Win32Toolkit : public IToolkit {
public:
    std::unique_ptr<IDialogWindow> CreateDialogWindow(int templateId, IDialogEvents &events,
                                                      IDialogWindow *owner) override;
};
