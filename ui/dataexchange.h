#pragma once

#include <QObject>

#include <cstdint>
#include <string>

class CDialog;
class QWidget;
class QLineEdit;

// One pass of field exchange over a dialog's bindings, in list order: showing
// members in controls, or reading controls back into members with checks.
class CDataExchange {
public:
    CDataExchange(CDialog *dialog, bool saveAndValidate);

    const bool m_bSaveAndValidate;
    CDialog *const m_pDlgWnd;

    QWidget *PrepareCtrl(int id);
    QLineEdit *PrepareEditCtrl(int id);
    // Keeps the last prepared edit field from growing past count characters.
    void LimitLastEdit(int count);
    // Reports nothing itself: the binding that refused has shown its message.
    // Puts the focus on the last prepared control, selects an edit field's
    // text, and abandons the pass.
    [[noreturn]] void Fail();

private:
    QWidget *m_lastControl = nullptr;
    bool m_editLastControl = false;
};

// Thrown by Fail() to abandon a pass; UpdateData catches it.
struct CUserException {};

// The radio buttons from control id to the next control that starts a group;
// the member is the number of the checked one, -1 for none.
void DDX_Radio(CDataExchange *pDX, int id, std::int32_t &value);
// Text held as Windows-1252, shown as Unicode.
void DDX_Text(CDataExchange *pDX, int id, std::string &value);
void DDX_Text(CDataExchange *pDX, int id, float &value);
// Limits the text field just bound; refuses a longer member (counted in bytes).
void DDV_MaxChars(CDataExchange *pDX, const std::string &value, int count);

// Attaches a member to the dialog's control, once.
template <typename Control>
void DDX_Control(CDataExchange *pDX, int id, Control *&member)
{
    if (member == nullptr)
        member = qobject_cast<Control *>(pDX->PrepareCtrl(id));
}
