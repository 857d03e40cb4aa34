#pragma once

// dialogs/: the dialog classes and field exchange, written once for every
// toolkit; toolkit.h is the interface a toolkit implements.

#include "dialogs/toolkit.h"

#include <span>
#include <string>
#include <vector>

class CDataExchange;
class CDialog;
class IMessageService;

// A notification a message map binds to a handler: a command (a button's
// click, a key's command) or a list's double click.
enum class Notification { Command, DoubleClicked };

struct MessageMapEntry {
    Notification code;
    int id;
    void (CDialog::*handler)();
};

// A message map entry for a handler of a class derived from CDialog.
template <typename Dialog>
inline MessageMapEntry OnNotify(Notification code, int id, void (Dialog::*handler)())
{
    return {code, id, static_cast<void (CDialog::*)()>(handler)};
}

// The base of every dialog: its window comes from its template through the
// toolkit; it runs field exchange and dispatches every command through its
// message map, reporting any error that escapes a handler.
class CDialog : public IDialogEvents {
public:
    CDialog(int templateId, IToolkit &toolkit, IMessageService &messages, CDialog *parent = nullptr);
    ~CDialog() override;
    CDialog(const CDialog &) = delete;
    CDialog &operator=(const CDialog &) = delete;

    // Runs the dialog modally; the result EndDialog gave, or -1 when the
    // first exchange failed.
    int DoModal();
    void EndDialog(int result);

    // Moves values between members and controls; false if a field was refused.
    bool UpdateData(bool saveAndValidate = true);

    int TemplateId() const { return m_templateId; }
    IDialogWindow &Window() const { return *m_window; }
    IToolkit &Toolkit() const { return m_toolkit; }
    IMessageService &Messages() const { return m_messages; }

    // The dialog whose modal run is innermost, null when none runs.
    static CDialog *ActiveModal();

    // Runs a handler; an error that leaves it is reported and the dialog carries on.
    template <typename Handler>
    void Dispatch(Handler &&handler)
    {
        try {
            handler();
        } catch (...) {
            ReportError();
        }
    }

    // IDialogEvents: what the window tells the dialog.
    bool InitDialog(bool &focusFirstControl) override;
    void Command(int id) override;
    void DoubleClick(int id) override;
    void SysCommand(unsigned id) override;

protected:
    virtual void DoDataExchange(CDataExchange *pDX);
    // True: the focus goes to the first control with a tab stop.
    virtual bool OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();
    virtual void OnSysCommand(unsigned id);
    // F1, the help command, in any dialog: the About box over it.
    virtual void OnHelp();
    virtual std::span<const MessageMapEntry> GetMessageMap() const;

    void SetWindowText(const std::string &text);
    void SetIcon(int iconId);
    void CenterWindow();

private:
    void Notify(Notification code, int id);
    void ReportError();
    void ReportOutOfMemory();

    int m_templateId;
    IToolkit &m_toolkit;
    IMessageService &m_messages;
    std::unique_ptr<IDialogWindow> m_window;
};

// A dialog control that a member stands for once field exchange attached it.
class CWnd {
public:
    bool IsAttached() const { return m_window != nullptr; }
    void Attach(IDialogWindow &window, int id);
    void SetWindowText(const std::string &text);
    void SetFocus();

protected:
    IDialogWindow *m_window = nullptr;
    int m_id = 0;
};

class CStatic : public CWnd {};
class CButton : public CWnd {};
