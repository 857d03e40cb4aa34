#include "ui/textstylesdlg.h"

#include "base/cp1252.h"
#include "res/resource.h"
#include "res/strings.h"
#include "styles/styles.h"
#include "ui/dataexchange.h"
#include "ui/listbox.h"

#include <QPushButton>

namespace {

constexpr int kNameLimit = 17;
constexpr int kSizeTabStop = 64; // dialog units

} // namespace

CEditTextStylesDlg::CEditTextStylesDlg(IMessageService &messages, QWidget *parent)
    : CDialog(IDD_EDITTEXTSTYLES, messages, parent)
{}

void CEditTextStylesDlg::DoDataExchange(CDataExchange *pDX)
{
    DDX_Text(pDX, IDC_NAME, m_strName);
    DDV_MaxChars(pDX, m_strName, kNameLimit);
    DDX_Text(pDX, IDC_SIZE, m_fSize);
}

bool CEditTextStylesDlg::OnInitDialog()
{
    setWindowTitle(QString::fromStdString(m_strTitle));
    UpdateData(false);
    CenterWindow();
    return true;
}

void CEditTextStylesDlg::OnOK()
{
    if (!UpdateData(true))
        return;
    m_strName = cp1252::ToUpper(m_strName);
    EndDialog(IDOK);
}

CTextStylesDlg::CTextStylesDlg(IMessageService &messages, QWidget *parent)
    : CDialog(IDD_TEXTSTYLES, messages, parent)
{
    OnCommand(IDC_NEW, [this] { OnNew(); });
    OnCommand(IDC_EDIT, [this] { OnEdit(); });
    OnCommand(IDC_DELETE, [this] { OnDelete(); });
    OnDoubleClick(IDC_STYLESLIST, [this] { OnDblclkList(); });
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
    m_listStyles->SetTabStops(MapDialogRect(QRect(0, 0, kSizeTabStop, 0)).width());
    UpdateData(false);
    LoadStyles(*m_listStyles, Messages());
    if (m_listStyles->GetCount() > 0)
        m_listStyles->setCurrentRow(0, QItemSelectionModel::Select);
    m_btnNew->setFocus(Qt::OtherFocusReason);
    return false;
}

void CTextStylesDlg::OnOK()
{
    SaveStyles(*m_listStyles);
    CDialog::OnOK();
}

void CTextStylesDlg::OnNew()
{
    CEditTextStylesDlg edit(Messages(), this);
    edit.m_strTitle = res::LoadString(res::IDS_NEW_TEXT_SIZE);
    m_listStyles->SetSel(m_listStyles->GetCaretIndex(), false);
    if (edit.DoModal() == IDOK)
        AddEdited(edit);
}

void CTextStylesDlg::OnEdit()
{
    CEditTextStylesDlg edit(Messages(), this);
    edit.m_strTitle = res::LoadString(res::IDS_EDIT_TEXT_SIZE);
    const int index = m_listStyles->GetCaretIndex();
    const auto entry = SplitEntry(m_listStyles->GetText(index));
    edit.m_strName = entry.name;
    edit.m_fSize = entry.size;
    if (edit.DoModal() == IDOK) {
        m_listStyles->DeleteString(index);
        AddEdited(edit);
    }
}

void CTextStylesDlg::AddEdited(const CEditTextStylesDlg &edit)
{
    m_listStyles->AddString(FormatEntry(edit.m_strName, edit.m_fSize));
    m_listStyles->SetSel(0, true);
}

void CTextStylesDlg::OnDelete()
{
    if (Messages().ShowMessage(std::string(res::LoadString(res::IDS_ARE_YOU_SURE)), MsgButtons::YesNo,
                               MsgIcon::Question) != IDNO)
        m_listStyles->DeleteString(m_listStyles->GetCaretIndex());
}

void CTextStylesDlg::OnDblclkList()
{
    OnEdit();
}
