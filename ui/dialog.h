#pragma once

#include <QDialog>

#include <functional>
#include <map>

class CDataExchange;
class IMessageService;
class QAbstractButton;
class QButtonGroup;
class QIcon;

namespace res {
struct DialogTemplate;
}

// The application icon, at 16 and 32 pixels.
QIcon ApplicationIcon();
// A string of the program's string table.
QString LoadQString(unsigned id);

// The base of every dialog: builds its controls from a template, places them
// in dialog units, runs field exchange, and dispatches every command through
// one place that reports any error that escapes a handler.
class CDialog : public QDialog {
    Q_OBJECT

public:
    CDialog(int templateId, IMessageService &messages, QWidget *parent = nullptr);
    ~CDialog() override;

    // Initialises and runs the dialog modally; the result EndDialog gave, or -1
    // when the first exchange failed.
    int DoModal();
    // Initialises and shows the dialog without waiting for it.
    bool Open();

    // The control with this identifier; nullptr if there is none.
    QWidget *GetDlgItem(int id) const;
    // The radio group a button belongs to: the buttons from a group start to the next one.
    QButtonGroup *RadioGroupOf(QWidget *control) const;
    // Dialog units to pixels, from the dialog font's average character size.
    QRect MapDialogRect(const QRect &dialogUnits) const;

    // Moves values between members and controls; false if a field was refused.
    bool UpdateData(bool saveAndValidate = true);
    void EndDialog(int result);

    IMessageService &Messages() const { return m_messages; }

    // Runs a handler; an error that leaves it is reported and the dialog carries on.
    void Dispatch(const std::function<void()> &handler);

protected:
    virtual void DoDataExchange(CDataExchange *pDX);
    // True: the focus goes to the first control with a tab stop.
    virtual bool OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();

    // Binds a button's click, a list's double click, to a handler.
    void OnCommand(int id, std::function<void()> handler);
    void OnDoubleClick(int id, std::function<void()> handler);

    void SetIcon(const QIcon &icon);
    // Centres over the owner, or over the screen when there is none.
    void CenterWindow();

    void reject() override;
    void accept() override;

private:
    void CreateControls(const res::DialogTemplate &dialogTemplate);
    bool InitDialog();
    void OnButtonClicked(int id);
    void ReportError(const std::exception_ptr &error);

    IMessageService &m_messages;
    int m_baseUnitX = 0;
    int m_baseUnitY = 0;
    std::map<int, QWidget *> m_controls;
    std::map<int, std::function<void()>> m_commands;
    std::vector<QWidget *> m_templateOrder;
    std::vector<QButtonGroup *> m_radioGroups;
};
