#pragma once

#include <cstdint>
#include <string>

class CDialog;
class CWnd;

// One pass of field exchange over a dialog's bindings, in list order: showing
// members in controls, or reading controls back into members with checks.
class CDataExchange {
public:
    CDataExchange(CDialog *dialog, bool saveAndValidate);

    const bool m_bSaveAndValidate;
    CDialog *const m_pDlgWnd;

    void PrepareCtrl(int id);
    void PrepareEditCtrl(int id);
    // Refuses the pass: puts the focus on the last prepared control, selects
    // an edit field's text, and abandons the bindings after it. The binding
    // that refused has shown its message.
    [[noreturn]] void Fail();

    int m_idLastControl = 0;
    bool m_bEditLastControl = false;
};

// Thrown by Fail() to abandon a pass; UpdateData catches it.
struct CUserException {};

// The radio buttons from control id to the next control that starts a group;
// the member is the number of the checked one, -1 for none.
void DDX_Radio(CDataExchange *pDX, int id, std::int32_t &value);
// Text held as Windows-1252.
void DDX_Text(CDataExchange *pDX, int id, std::string &value);
// Up to six significant digits shown; read back with the "%lf" grammar.
void DDX_Text(CDataExchange *pDX, int id, float &value);
// Limits the text field just bound; refuses a longer member (counted in bytes).
void DDV_MaxChars(CDataExchange *pDX, const std::string &value, int count);
// Attaches a member to the dialog's control, once.
void DDX_Control(CDataExchange *pDX, int id, CWnd &control);
