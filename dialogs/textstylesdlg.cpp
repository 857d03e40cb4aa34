#include "dialogs/textstylesdlg.h"

#include "base/desktop.h"
#include "base/text8.h"
#include "dialogs/dataexchange.h"
#include "res/resource.h"
#include "res/strings.h"
#include "styles/styles.h"

namespace {

constexpr int kNameLimit = 17;
constexpr int kSizeTabStop = 64; // dialog units

} // namespace

CEditTextStylesDlg::CEditTextStylesDlg(IToolkit &toolkit, IMessageService &messages, CDialog *parent)
    : CDialog(IDD_EDITTEXTSTYLES, toolkit, messages, parent)
{}

void CEditTextStylesDlg::DoDataExchange(CDataExchange *pDX)
{
    DDX_Text(pDX, IDC_ENTRYNAME, m_strName);
    DDV_MaxChars(pDX, m_strName, kNameLimit);
    DDX_Text(pDX, IDC_ENTRYSIZE, m_fSize);
}

bool CEditTextStylesDlg::OnInitDialog()
{
    SetWindowText(m_strTitle);
    UpdateData(false);
    CenterWindow();
    return true;
}

void CEditTextStylesDlg::OnOK()
{
    if (!UpdateData(true))
        return;
    m_strName = text8::ToUpper(m_strName);
    EndDialog(IDOK);
}

CTextStylesDlg::CTextStylesDlg(IToolkit &toolkit, IMessageService &messages, CDialog *parent)
    : CDialog(IDD_TEXTSTYLES, toolkit, messages, parent)
{}

std::span<const MessageMapEntry> CTextStylesDlg::GetMessageMap() const
{
    static const MessageMapEntry map[] = {
        OnNotify(Notification::Command, IDC_NEW, &CTextStylesDlg::OnNew),
        OnNotify(Notification::Command, IDC_EDIT, &CTextStylesDlg::OnEdit),
        OnNotify(Notification::Command, IDC_DELETE, &CTextStylesDlg::OnDelete),
        OnNotify(Notification::DoubleClicked, IDC_STYLESLIST, &CTextStylesDlg::OnDblclkList),
    };
    return map;
}

void CTextStylesDlg::DoDataExchange(CDataExchange *pDX)
{
    DDX_Control(pDX, IDC_STYLESLIST, m_listStyles);
    DDX_Control(pDX, IDC_DELETE, m_btnDelete);
    DDX_Control(pDX, IDC_EDIT, m_btnEdit);
    DDX_Control(pDX, IDC_NEW, m_btnNew);
}

bool CTextStylesDlg::OnInitDialog()
{
    m_listStyles.SetTabStops(kSizeTabStop);
    UpdateData(false);
    LoadStyles(m_listStyles, Messages());
    SelectFirst();
    m_btnNew.SetFocus();
    return false;
}

void CTextStylesDlg::OnOK()
{
    SaveStyles(m_listStyles);
    CDialog::OnOK();
}

void CTextStylesDlg::OnNew()
{
    CEditTextStylesDlg edit(Toolkit(), Messages(), this);
    edit.m_strTitle = res::LoadString(res::IDS_NEW_TEXT_SIZE);
    m_listStyles.SetSel(m_listStyles.GetCaretIndex(), false);
    if (edit.DoModal() == IDOK)
        AddEdited(edit);
}

void CTextStylesDlg::OnEdit()
{
    CEditTextStylesDlg edit(Toolkit(), Messages(), this);
    edit.m_strTitle = res::LoadString(res::IDS_EDIT_TEXT_SIZE);
    const int index = m_listStyles.GetCaretIndex();
    const auto entry = SplitEntry(m_listStyles.GetText(index));
    edit.m_strName = entry.name;
    edit.m_fSize = entry.size;
    if (edit.DoModal() == IDOK) {
        m_listStyles.DeleteString(index);
        AddEdited(edit);
    }
}

void CTextStylesDlg::AddEdited(const CEditTextStylesDlg &edit)
{
    m_listStyles.AddString(FormatEntry(edit.m_strName, edit.m_fSize));
    SelectFirst();
}

void CTextStylesDlg::SelectFirst()
{
    m_listStyles.SetCaretIndex(0);
    m_listStyles.SetSel(0, true);
}

void CTextStylesDlg::OnDelete()
{
    if (Messages().ShowMessage(std::string(res::LoadString(res::IDS_ARE_YOU_SURE)), MsgButtons::YesNo,
                               MsgIcon::Question) == AnswerYes) {
        m_listStyles.DeleteString(m_listStyles.GetCaretIndex());
        SelectFirst();
    }
}

void CTextStylesDlg::OnDblclkList()
{
    OnEdit();
}
