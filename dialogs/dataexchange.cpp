#include "dialogs/dataexchange.h"

#include "base/desktop.h"
#include "base/numtext.h"
#include "dialogs/dialog.h"
#include "res/dialogs.h"
#include "res/strings.h"

#include <algorithm>
#include <cstdint>

namespace {

// A float shows in a 400-character buffer; reading back takes at most 399 characters.
constexpr std::size_t kFloatTextLimit = 399;

void SetTextIfChanged(IDialogWindow &window, int id, const std::string &text)
{
    if (window.GetText(id) != text)
        window.SetText(id, text);
}

// The radio buttons of the group that starts at id, in template order.
std::vector<int> RadioGroup(int templateId, int id)
{
    const auto controls = res::GetDialogTemplate(templateId).controls;
    auto it = std::find_if(controls.begin(), controls.end(), [id](const auto &c) { return c.id == id; });
    std::vector<int> buttons;
    for (bool first = true; it != controls.end(); ++it, first = false) {
        if (!first && (it->styles & res::Group))
            break;
        if (it->kind == res::ControlKind::AutoRadioButton)
            buttons.push_back(it->id);
    }
    return buttons;
}

} // namespace

CDataExchange::CDataExchange(CDialog *dialog, bool saveAndValidate)
    : m_bSaveAndValidate(saveAndValidate), m_pDlgWnd(dialog)
{}

void CDataExchange::PrepareCtrl(int id)
{
    m_idLastControl = id;
    m_bEditLastControl = false;
}

void CDataExchange::PrepareEditCtrl(int id)
{
    PrepareCtrl(id);
    m_bEditLastControl = true;
}

void CDataExchange::Fail()
{
    if (m_bSaveAndValidate && m_idLastControl != 0) {
        IDialogWindow &window = m_pDlgWnd->Window();
        window.SetFocus(m_idLastControl);
        if (m_bEditLastControl)
            window.SelectAllText(m_idLastControl);
    }
    throw CUserException{};
}

void DDX_Radio(CDataExchange *pDX, int id, std::int32_t &value)
{
    pDX->PrepareCtrl(id);
    IDialogWindow &window = pDX->m_pDlgWnd->Window();
    const auto buttons = RadioGroup(pDX->m_pDlgWnd->TemplateId(), id);
    if (pDX->m_bSaveAndValidate)
        value = -1;
    for (std::size_t number = 0; number < buttons.size(); ++number) {
        if (!pDX->m_bSaveAndValidate)
            window.SetCheck(buttons[number], static_cast<std::int32_t>(number) == value);
        else if (window.GetCheck(buttons[number]))
            value = static_cast<std::int32_t>(number);
    }
}

void DDX_Text(CDataExchange *pDX, int id, std::string &value)
{
    pDX->PrepareEditCtrl(id);
    IDialogWindow &window = pDX->m_pDlgWnd->Window();
    if (pDX->m_bSaveAndValidate)
        value = window.GetText(id);
    else
        SetTextIfChanged(window, id, value);
}

void DDX_Text(CDataExchange *pDX, int id, float &value)
{
    pDX->PrepareEditCtrl(id);
    IDialogWindow &window = pDX->m_pDlgWnd->Window();
    if (!pDX->m_bSaveAndValidate) {
        SetTextIfChanged(window, id, numtext::FormatGeneral6(value));
        return;
    }
    const auto scanned = numtext::ScanDouble(window.GetText(id).substr(0, kFloatTextLimit));
    if (!scanned) {
        pDX->m_pDlgWnd->Messages().ShowMessage(std::string(res::LoadString(res::AFX_IDP_PARSE_REAL)),
                                               MsgButtons::OK, MsgIcon::Exclamation);
        pDX->Fail();
    }
    value = static_cast<float>(*scanned);
}

void DDV_MaxChars(CDataExchange *pDX, const std::string &value, int count)
{
    if (pDX->m_bSaveAndValidate && value.size() > static_cast<std::size_t>(count)) {
        pDX->m_pDlgWnd->Messages().ShowMessage(
            res::FormatString(res::AFX_IDP_PARSE_STRING_SIZE, std::to_string(count)), MsgButtons::OK,
            MsgIcon::Exclamation);
        pDX->Fail();
    }
    if (pDX->m_bEditLastControl)
        pDX->m_pDlgWnd->Window().LimitText(pDX->m_idLastControl, count);
}

void DDX_Control(CDataExchange *pDX, int id, CWnd &control)
{
    if (!control.IsAttached()) {
        pDX->PrepareCtrl(id);
        control.Attach(pDX->m_pDlgWnd->Window(), id);
    }
}
